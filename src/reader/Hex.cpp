#include "reader/Hex.h"

namespace tavrin {

std::string HexBytes(std::span<const std::uint8_t> bytes, std::string_view separator) {
  constexpr const char* kDigits = "0123456789ABCDEF";
  std::string text;
  for (const std::uint8_t byte : bytes) {
    if (!text.empty()) text += separator;
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

}  // namespace tavrin
