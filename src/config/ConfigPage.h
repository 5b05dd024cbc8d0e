// The 32-byte configuration pages the reader stores: what it types for each
// card kind. Pages are written, never read back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "reader/ReaderFrame.h"

namespace tavrin {

inline constexpr std::size_t kPageSize = 32;
inline constexpr std::uint8_t kPageHead = 0x1F;
inline constexpr std::size_t kHeadOffset = 0;
inline constexpr std::size_t kChecksumOffset = 31;
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

// A named field of a page: its byte offset and width.
struct PageFieldInfo {
  std::size_t offset = 0;
  std::size_t width = 1;
  std::string name;
};

class ConfigPage {
 public:
  ConfigPage();  // 32 zero bytes, head 0x1F

  // Bytes from offset; whatever would lie past the page is dropped.
  void Set(std::size_t offset, std::span<const std::uint8_t> bytes);
  void Set(std::size_t offset, std::uint8_t value) { Set(offset, std::span(&value, 1)); }

  // Stores the checksum of bytes 0 to 30 in byte 31. Call it after the last
  // field is set and before the page goes into a request.
  void Seal();

  const std::array<std::uint8_t, kPageSize>& Bytes() const { return bytes_; }

 private:
  std::array<std::uint8_t, kPageSize> bytes_{};
};

// A new page of that number: head set, and the marker byte of the system page.
ConfigPage MakePage(PageNumber page);

// Whether number is one of the four pages the reader stores.
bool IsConfigPageNumber(std::uint8_t number);

// The write-page request for a page that has already been sealed.
void BuildWritePageRequest(ReaderFrame& frame, PageNumber page, const ConfigPage& sealedPage);

}  // namespace tavrin
