#include "config/ConfigPage.h"

#include <algorithm>

namespace tavrin {

ConfigPage::ConfigPage() { bytes_[kHeadOffset] = kPageHead; }

void ConfigPage::Set(std::size_t offset, std::span<const std::uint8_t> bytes) {
  for (std::size_t i = 0; i < bytes.size() && offset + i < kPageSize; ++i)
    bytes_[offset + i] = bytes[i];
}

void ConfigPage::Seal() { bytes_[kChecksumOffset] = XorChecksum(bytes_.data(), kChecksumOffset); }

ConfigPage MakePage(PageNumber page) {
  ConfigPage made;
  if (page == PageNumber::System) made.Set(kSystemMarkerOffset, kSystemMarker);
  return made;
}

bool IsConfigPageNumber(std::uint8_t number) {
  return std::any_of(kPageNumbers.begin(), kPageNumbers.end(), [number](PageNumber page) {
    return static_cast<std::uint8_t>(page) == number;
  });
}

void BuildWritePageRequest(ReaderFrame& frame, PageNumber page, const ConfigPage& sealedPage) {
  BuildWritePageRequest(frame, static_cast<std::uint8_t>(page), sealedPage.Bytes());
}

}  // namespace tavrin
