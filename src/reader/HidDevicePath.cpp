#include "reader/HidDevicePath.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace tavrin {
namespace {

std::optional<std::uint16_t> HexIdAfter(const std::string& lowered, std::string_view tag) {
  const auto at = lowered.find(tag);
  if (at == std::string::npos || lowered.size() < at + tag.size() + 4) return std::nullopt;
  std::uint16_t value = 0;
  for (std::size_t i = at + tag.size(); i < at + tag.size() + 4; ++i) {
    const char c = lowered[i];
    if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    value = static_cast<std::uint16_t>(value * 16 + (c <= '9' ? c - '0' : c - 'a' + 10));
  }
  return value;
}

}  // namespace

std::optional<HidAttributes> IdsFromDevicePath(std::string_view path) {
  std::string lowered(path);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const auto vendor = HexIdAfter(lowered, "vid_");
  const auto product = HexIdAfter(lowered, "pid_");
  if (!vendor || !product) return std::nullopt;
  return HidAttributes{*vendor, *product};
}

}  // namespace tavrin
