// The 32-byte configuration pages the reader stores: what it types for each
// card kind. Pages are written, never read back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "reader/ReaderFrame.h"

namespace tavrin {

inline constexpr std::size_t kPageSize = 32;
inline constexpr std::uint8_t kPageHead = 0x1F;
inline constexpr std::size_t kMifareKeySize = 6;

enum class PageNumber : std::uint8_t { System = 0, TypeA = 1, TypeB = 3, Iso15693 = 5 };
inline constexpr std::array<PageNumber, 4> kPageNumbers{PageNumber::System, PageNumber::TypeA,
                                                        PageNumber::TypeB, PageNumber::Iso15693};

// Byte 1 of the system page is 0xFF on every system page.
inline constexpr std::size_t kSystemMarkerOffset = 1;
inline constexpr std::uint8_t kSystemMarker = 0xFF;

// Values of the mode, key type and card family fields.
inline constexpr std::uint8_t kMode1 = 1;
inline constexpr std::uint8_t kMode2 = 2;
inline constexpr std::uint8_t kMifareKeyA = 0x60;
inline constexpr std::uint8_t kMifareKeyB = 0x61;
inline constexpr std::uint8_t kCardFamilyTypeA = 1;
inline constexpr std::uint8_t kCardFamilyTypeB = 2;
inline constexpr std::uint8_t kCardFamilyIso15693 = 4;

// Every named field of the four pages; the value is the field's byte offset
// in its page. All fields are one byte wide except mifareKey (six).
enum class PageField : std::uint8_t {
  head = 0,
  checksum = 31,
  // System page (0).
  cardFamily = 2,
  typeAKinds = 3,
  typeBKinds = 4,
  iso15693Kinds = 5,
  snrEnabled = 16,
  snrLsbFirst = 17,
  snrDecimal = 18,
  snrCapsLock = 26,
  snrEndKey = 27,
  snrEndKeyCount = 28,
  // ISO 14443A page (1).
  mifareMode = 1,
  mifareStartSector = 2,
  mifareStartBlock = 3,
  mifareStartByte = 4,
  mifareEndSector = 5,
  mifareEndBlock = 6,
  mifareEndByte = 7,
  mifareKeyType = 9,
  mifareKey = 10,
  mifareCapsLock = 16,
  mifareBlockEndKey = 17,
  mifareBlockEndKeyCount = 18,
  mifareDataEndKey = 19,
  mifareDataEndKeyCount = 20,
  ultraLightMode = 21,
  ultraLightStartBlock = 22,
  ultraLightEndBlock = 23,
  ultraLightStartByte = 24,
  ultraLightEndByte = 25,
  ultraLightCapsLock = 26,
  ultraLightBlockEndKey = 27,
  ultraLightBlockEndKeyCount = 28,
  ultraLightDataEndKey = 29,
  ultraLightDataEndKeyCount = 30,
  // ISO 14443B page (3).
  sr176Mode = 1,
  sr176StartBlock = 2,
  sr176EndBlock = 3,
  sr176StartByte = 4,
  sr176EndByte = 5,
  sr176CapsLock = 10,
  sr176BlockEndKey = 11,
  sr176BlockEndKeyCount = 12,
  sr176DataEndKey = 13,
  sr176DataEndKeyCount = 14,
  sriMode = 17,
  sriStartBlock = 18,
  sriEndBlock = 19,
  sriStartByte = 20,
  sriEndByte = 21,
  sriCapsLock = 26,
  sriBlockEndKey = 27,
  sriBlockEndKeyCount = 28,
  sriDataEndKey = 29,
  sriDataEndKeyCount = 30,
  // ISO 15693 page (5).
  iCodeMode = 1,
  iCodeStartBlock = 2,
  iCodeEndBlock = 3,
  iCodeStartByte = 4,
  iCodeEndByte = 5,
  iCodeCapsLock = 10,
  iCodeBlockEndKey = 11,
  iCodeBlockEndKeyCount = 12,
  iCodeDataEndKey = 13,
  iCodeDataEndKeyCount = 14,
};

class ConfigPage {
 public:
  ConfigPage();  // 32 zero bytes, head 0x1F

  void Set(PageField field, std::uint8_t value);
  std::uint8_t Get(PageField field) const;
  void SetMifareKey(const std::array<std::uint8_t, kMifareKeySize>& key);
  void SetByte(std::size_t offset, std::uint8_t value);  // offset < kPageSize

  // Stores the checksum of bytes 0 to 30 in byte 31. Call it after the last
  // field is set and before the page goes into a request.
  void Seal();

  const std::array<std::uint8_t, kPageSize>& Bytes() const { return bytes_; }

 private:
  std::array<std::uint8_t, kPageSize> bytes_{};
};

// A new page of that number: head set, and the marker byte of the system page.
ConfigPage MakePage(PageNumber page);

// Names and widths of one page's fields in byte order, for showing a stored
// page field by field.
struct PageFieldInfo {
  PageField field;
  const char* name;
  std::uint8_t width;
};
std::span<const PageFieldInfo> FieldsOf(PageNumber page);

// Whether number is one of the four pages the reader stores.
bool IsConfigPageNumber(std::uint8_t number);

// The write-page request for a page that has already been sealed.
void BuildWritePageRequest(ReaderFrame& frame, PageNumber page, const ConfigPage& sealedPage);

// The keys a "Key" list offers, in list order: list index -> code typed.
inline constexpr std::array<std::uint8_t, 5> kKeyCodes{0x00, 0x51, 0x2B, 0x28, 0x4E};
inline constexpr std::array<const char*, 5> kKeyItemTexts{"<None>", "Down", "Tab", "Enter", "PgDn"};

// The code of a "Key" list index; no key for an index outside the list.
std::uint8_t KeyCodeAt(int listIndex);

}  // namespace tavrin
