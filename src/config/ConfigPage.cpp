#include "config/ConfigPage.h"

#include <algorithm>

namespace tavrin {
namespace {

using F = PageField;

constexpr PageFieldInfo kSystemFields[] = {
    {F::head, "head", 1},
    {F::cardFamily, "cardFamily", 1},
    {F::typeAKinds, "typeAKinds", 1},
    {F::typeBKinds, "typeBKinds", 1},
    {F::iso15693Kinds, "iso15693Kinds", 1},
    {F::snrEnabled, "snrEnabled", 1},
    {F::snrLsbFirst, "snrLsbFirst", 1},
    {F::snrDecimal, "snrDecimal", 1},
    {F::snrCapsLock, "snrCapsLock", 1},
    {F::snrEndKey, "snrEndKey", 1},
    {F::snrEndKeyCount, "snrEndKeyCount", 1},
    {F::checksum, "checksum", 1},
};

constexpr PageFieldInfo kTypeAFields[] = {
    {F::head, "head", 1},
    {F::mifareMode, "mifareMode", 1},
    {F::mifareStartSector, "mifareStartSector", 1},
    {F::mifareStartBlock, "mifareStartBlock", 1},
    {F::mifareStartByte, "mifareStartByte", 1},
    {F::mifareEndSector, "mifareEndSector", 1},
    {F::mifareEndBlock, "mifareEndBlock", 1},
    {F::mifareEndByte, "mifareEndByte", 1},
    {F::mifareKeyType, "mifareKeyType", 1},
    {F::mifareKey, "mifareKey", kMifareKeySize},
    {F::mifareCapsLock, "mifareCapsLock", 1},
    {F::mifareBlockEndKey, "mifareBlockEndKey", 1},
    {F::mifareBlockEndKeyCount, "mifareBlockEndKeyCount", 1},
    {F::mifareDataEndKey, "mifareDataEndKey", 1},
    {F::mifareDataEndKeyCount, "mifareDataEndKeyCount", 1},
    {F::ultraLightMode, "ultraLightMode", 1},
    {F::ultraLightStartBlock, "ultraLightStartBlock", 1},
    {F::ultraLightEndBlock, "ultraLightEndBlock", 1},
    {F::ultraLightStartByte, "ultraLightStartByte", 1},
    {F::ultraLightEndByte, "ultraLightEndByte", 1},
    {F::ultraLightCapsLock, "ultraLightCapsLock", 1},
    {F::ultraLightBlockEndKey, "ultraLightBlockEndKey", 1},
    {F::ultraLightBlockEndKeyCount, "ultraLightBlockEndKeyCount", 1},
    {F::ultraLightDataEndKey, "ultraLightDataEndKey", 1},
    {F::ultraLightDataEndKeyCount, "ultraLightDataEndKeyCount", 1},
    {F::checksum, "checksum", 1},
};

constexpr PageFieldInfo kTypeBFields[] = {
    {F::head, "head", 1},
    {F::sr176Mode, "sr176Mode", 1},
    {F::sr176StartBlock, "sr176StartBlock", 1},
    {F::sr176EndBlock, "sr176EndBlock", 1},
    {F::sr176StartByte, "sr176StartByte", 1},
    {F::sr176EndByte, "sr176EndByte", 1},
    {F::sr176CapsLock, "sr176CapsLock", 1},
    {F::sr176BlockEndKey, "sr176BlockEndKey", 1},
    {F::sr176BlockEndKeyCount, "sr176BlockEndKeyCount", 1},
    {F::sr176DataEndKey, "sr176DataEndKey", 1},
    {F::sr176DataEndKeyCount, "sr176DataEndKeyCount", 1},
    {F::sriMode, "sriMode", 1},
    {F::sriStartBlock, "sriStartBlock", 1},
    {F::sriEndBlock, "sriEndBlock", 1},
    {F::sriStartByte, "sriStartByte", 1},
    {F::sriEndByte, "sriEndByte", 1},
    {F::sriCapsLock, "sriCapsLock", 1},
    {F::sriBlockEndKey, "sriBlockEndKey", 1},
    {F::sriBlockEndKeyCount, "sriBlockEndKeyCount", 1},
    {F::sriDataEndKey, "sriDataEndKey", 1},
    {F::sriDataEndKeyCount, "sriDataEndKeyCount", 1},
    {F::checksum, "checksum", 1},
};

constexpr PageFieldInfo kIso15693Fields[] = {
    {F::head, "head", 1},
    {F::iCodeMode, "iCodeMode", 1},
    {F::iCodeStartBlock, "iCodeStartBlock", 1},
    {F::iCodeEndBlock, "iCodeEndBlock", 1},
    {F::iCodeStartByte, "iCodeStartByte", 1},
    {F::iCodeEndByte, "iCodeEndByte", 1},
    {F::iCodeCapsLock, "iCodeCapsLock", 1},
    {F::iCodeBlockEndKey, "iCodeBlockEndKey", 1},
    {F::iCodeBlockEndKeyCount, "iCodeBlockEndKeyCount", 1},
    {F::iCodeDataEndKey, "iCodeDataEndKey", 1},
    {F::iCodeDataEndKeyCount, "iCodeDataEndKeyCount", 1},
    {F::checksum, "checksum", 1},
};

constexpr std::size_t Offset(PageField field) { return static_cast<std::size_t>(field); }

}  // namespace

ConfigPage::ConfigPage() { bytes_[Offset(PageField::head)] = kPageHead; }

void ConfigPage::Set(PageField field, std::uint8_t value) { bytes_[Offset(field)] = value; }

std::uint8_t ConfigPage::Get(PageField field) const { return bytes_[Offset(field)]; }

void ConfigPage::SetMifareKey(const std::array<std::uint8_t, kMifareKeySize>& key) {
  std::copy(key.begin(), key.end(), bytes_.begin() + Offset(PageField::mifareKey));
}

void ConfigPage::SetByte(std::size_t offset, std::uint8_t value) {
  if (offset < kPageSize) bytes_[offset] = value;
}

void ConfigPage::Seal() {
  bytes_[Offset(PageField::checksum)] = XorChecksum(bytes_.data(), Offset(PageField::checksum));
}

ConfigPage MakePage(PageNumber page) {
  ConfigPage made;
  if (page == PageNumber::System) made.SetByte(kSystemMarkerOffset, kSystemMarker);
  return made;
}

std::span<const PageFieldInfo> FieldsOf(PageNumber page) {
  switch (page) {
    case PageNumber::System:
      return kSystemFields;
    case PageNumber::TypeA:
      return kTypeAFields;
    case PageNumber::TypeB:
      return kTypeBFields;
    case PageNumber::Iso15693:
      return kIso15693Fields;
  }
  return {};
}

bool IsConfigPageNumber(std::uint8_t number) {
  return std::any_of(kPageNumbers.begin(), kPageNumbers.end(), [number](PageNumber page) {
    return static_cast<std::uint8_t>(page) == number;
  });
}

void BuildWritePageRequest(ReaderFrame& frame, PageNumber page, const ConfigPage& sealedPage) {
  BuildWritePageRequest(frame, static_cast<std::uint8_t>(page), sealedPage.Bytes());
}

std::uint8_t KeyCodeAt(int listIndex) {
  const bool inList = listIndex >= 0 && static_cast<std::size_t>(listIndex) < kKeyCodes.size();
  return inList ? kKeyCodes[static_cast<std::size_t>(listIndex)] : kKeyCodes[0];
}

}  // namespace tavrin
