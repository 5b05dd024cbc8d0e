#include "config/PageAssembly.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "reader/ReaderFrame.h"

namespace tavrin {
namespace {

using C = ControlId;

std::size_t Offset(PageField field) { return static_cast<std::size_t>(field); }

std::uint8_t Flag(const FormView& form, ControlId check) { return form.IsChecked(check) ? 1 : 0; }

std::uint8_t Mode(const FormView& form, ControlId mode1Radio) {
  return form.IsChecked(mode1Radio) ? kMode1 : kMode2;
}

std::uint8_t Position(const FormView& form, ControlId list) {
  return static_cast<std::uint8_t>(form.SelectedIndex(list));
}

std::uint8_t Count(const FormView& form, ControlId list) {
  return static_cast<std::uint8_t>(form.SelectedIndex(list) + 1);
}

std::uint8_t Key(const FormView& form, ControlId list) {
  return KeyCodeAt(form.SelectedIndex(list));
}

void ApplyEndClamps(FormView& form, PageNumber page) {
  for (const EndClamp& clamp : kEndClamps) {
    if (clamp.page != page) continue;
    const int start = form.SelectedIndex(clamp.startList);
    if (start > form.SelectedIndex(clamp.endList)) form.SelectIndex(clamp.endList, start);
  }
}

void FillEnding(ConfigPage& page, std::size_t offset, const FormView& form,
                const EndingControls& c) {
  page.SetByte(offset, Flag(form, c.capsLock));
  page.SetByte(offset + 1, Key(form, c.blockEndKey));
  page.SetByte(offset + 2, Count(form, c.blockEndCount));
  page.SetByte(offset + 3, Key(form, c.dataEndKey));
  page.SetByte(offset + 4, Count(form, c.dataEndCount));
}

void FillBlockKind(ConfigPage& page, const FormView& form, const BlockKindControls& kind) {
  const std::size_t at = Offset(kind.mode);
  page.SetByte(at, Mode(form, kind.mode1));
  page.SetByte(at + 1, Position(form, kind.startBlock));
  page.SetByte(at + 2, Position(form, kind.endBlock));
  page.SetByte(at + 3, Position(form, kind.startByte));
  page.SetByte(at + 4, Position(form, kind.endByte));
  FillEnding(page, Offset(kind.capsLock), form, kind.ending);
}

void FillMifare(ConfigPage& page, FormView& form) {
  page.Set(PageField::mifareMode, Mode(form, C::MifareMode1Radio));
  page.Set(PageField::mifareStartSector, Position(form, C::MifareStartSectorCombo));
  page.Set(PageField::mifareStartBlock, Position(form, C::MifareStartBlockCombo));
  page.Set(PageField::mifareStartByte, Position(form, C::MifareStartByteCombo));
  page.Set(PageField::mifareEndSector, Position(form, C::MifareEndSectorCombo));
  page.Set(PageField::mifareEndBlock, Position(form, C::MifareEndBlockCombo));
  page.Set(PageField::mifareEndByte, Position(form, C::MifareEndByteCombo));
  page.Set(PageField::mifareKeyType,
           form.IsChecked(C::MifareKeyARadio) ? kMifareKeyA : kMifareKeyB);

  std::string& keyText = form.MifareKeyText();
  NormaliseMifareKey(keyText);
  std::array<std::uint8_t, 6> key{};
  std::size_t converted = 0;
  HexToBytes(keyText, kMifareKeyChars, key.data(), converted);
  page.SetMifareKey(key);

  FillEnding(page, Offset(PageField::mifareCapsLock), form, kMifareEnding);
}

// The card kinds whose data is typed: bit 0 kind 1, bit 1 kind 2.
std::uint8_t KindBits(const FormView& form, const CardFamily& family) {
  std::uint8_t bits = Flag(form, C::CardKind1Check);
  if (family.kindCount > 1) bits |= static_cast<std::uint8_t>(Flag(form, C::CardKind2Check) << 1);
  return bits;
}

template <typename Assemble>
std::uint8_t WritePage(ReaderLink& link, FormView& form, PageNumber number, Assemble assemble,
                       PageWrite* written) {
  if (!link.IsOpen()) return kResultFailed;
  PageWrite write{number, assemble(form), {}};
  ReaderFrame frame{};
  BuildWritePageRequest(frame, number, write.page);
  write.exchange = ExchangeRequest(link, frame, ReaderCommand::WritePage);
  const bool accepted = write.exchange.Accepted();
  if (written != nullptr) *written = write;
  return accepted ? kResultOk : kResultFailed;
}

bool IsUpperHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

}  // namespace

ConfigPage AssembleSystemPage(const FormView& form) {
  ConfigPage page = MakePage(PageNumber::System);
  for (const CardFamily& family : kCardFamilies) {
    if (!form.IsChecked(family.radio)) continue;
    page.Set(PageField::cardFamily, family.familyValue);
    page.Set(family.kindsField, KindBits(form, family));
  }
  if (form.IsChecked(C::OutputSnrCheck)) {
    page.Set(PageField::snrEnabled, 1);
    page.Set(PageField::snrLsbFirst, form.IsChecked(C::SnrMsbFirstRadio) ? 0 : 1);
    page.Set(PageField::snrDecimal, form.IsChecked(C::SnrHexRadio) ? 0 : 1);
  }
  page.Set(PageField::snrCapsLock, Flag(form, C::SnrCapsLockCheck));
  page.Set(PageField::snrEndKey, Key(form, C::SnrEndKeyCombo));
  page.Set(PageField::snrEndKeyCount, Count(form, C::SnrEndCountCombo));
  page.Seal();
  return page;
}

ConfigPage AssembleTypeAPage(FormView& form) {
  ApplyEndClamps(form, PageNumber::TypeA);
  ConfigPage page;
  FillMifare(page, form);
  FillBlockKind(page, form, kUltraLightControls);
  page.Seal();
  return page;
}

ConfigPage AssembleTypeBPage(FormView& form) {
  ApplyEndClamps(form, PageNumber::TypeB);
  ConfigPage page;
  FillBlockKind(page, form, kSr176Controls);
  FillBlockKind(page, form, kSriControls);
  page.Seal();
  return page;
}

ConfigPage AssembleIso15693Page(FormView& form) {
  ApplyEndClamps(form, PageNumber::Iso15693);
  ConfigPage page;
  FillBlockKind(page, form, kICodeControls);
  page.Seal();
  return page;
}

ConfigPage AssembleFamilyPage(const CardFamily& family, FormView& form) {
  switch (family.page) {
    case PageNumber::TypeA:
      return AssembleTypeAPage(form);
    case PageNumber::TypeB:
      return AssembleTypeBPage(form);
    case PageNumber::Iso15693:
      return AssembleIso15693Page(form);
    case PageNumber::System:
      break;
  }
  return AssembleSystemPage(form);
}

std::uint8_t WriteSystemPage(ReaderLink& link, FormView& form, PageWrite* written) {
  return WritePage(
      link, form, PageNumber::System, [](FormView& f) { return AssembleSystemPage(f); }, written);
}

std::uint8_t WriteTypeAPage(ReaderLink& link, FormView& form, PageWrite* written) {
  return WritePage(link, form, PageNumber::TypeA, AssembleTypeAPage, written);
}

std::uint8_t WriteTypeBPage(ReaderLink& link, FormView& form, PageWrite* written) {
  return WritePage(link, form, PageNumber::TypeB, AssembleTypeBPage, written);
}

std::uint8_t WriteIso15693Page(ReaderLink& link, FormView& form, PageWrite* written) {
  return WritePage(link, form, PageNumber::Iso15693, AssembleIso15693Page, written);
}

std::uint8_t WriteFamilyPage(ReaderLink& link, const CardFamily& family, FormView& form,
                             PageWrite* written) {
  return WritePage(
      link, form, family.page, [&family](FormView& f) { return AssembleFamilyPage(family, f); },
      written);
}

void NormaliseMifareKey(std::string& keyText) {
  std::erase(keyText, ' ');
  std::erase(keyText, '\t');
  for (char& c : keyText) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (keyText.size() < kMifareKeyChars) keyText += kMifareKeyFiller;
}

bool IsValidMifareKey(std::string keyText) {
  NormaliseMifareKey(keyText);
  return std::all_of(keyText.begin(), keyText.begin() + kMifareKeyChars, IsUpperHexDigit);
}

std::uint8_t HexToBytes(std::string text, std::size_t length, std::uint8_t* out,
                        std::size_t& outCount) {
  if (text.size() < length || length % 2 != 0) return 1;
  for (std::size_t i = 0; i + 1 < length; i += 2) out[i / 2] = HexPairToByte(text[i], text[i + 1]);
  outCount = length / 2;
  return 0;
}

std::uint8_t HexPairToByte(char first, char second) {
  auto digit = [](char c) {
    const auto code = static_cast<std::uint8_t>(c);
    return static_cast<std::uint8_t>(code < 0x3A ? code - 0x30 : code - 0x37);
  };
  return static_cast<std::uint8_t>(digit(first) * 16 + digit(second));
}

}  // namespace tavrin
