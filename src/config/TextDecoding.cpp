#include "config/TextDecoding.h"

#include "reader/Utf8.h"

namespace tavrin {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

DecodedText DecodeUtf16(std::string_view bytes, bool bigEndian) {
  const auto unit = [&](std::size_t at) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return bigEndian ? first << 8 | second : second << 8 | first;
  };
  DecodedText text;
  std::size_t at = 0;
  for (; at + 1 < bytes.size(); at += 2) {
    char32_t c = unit(at);
    if (IsHighSurrogate(c) && at + 3 < bytes.size() && IsLowSurrogate(unit(at + 2))) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(at + 2) - 0xDC00);
      at += 2;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      text.error = "invalid UTF-16: half of a character pair without its other half";
      return text;
    }
    AppendUtf8(text.utf8, c);
    text.column = c == '\n' ? 1 : text.column + 1;
    text.line += c == '\n' ? 1 : 0;
  }
  if (at < bytes.size()) text.error = "invalid UTF-16: the file ends in the middle of a character";
  return text;
}

}  // namespace

DecodedText DecodeText(std::string_view bytes) {
  if (bytes.starts_with(kUtf16LeMark)) return DecodeUtf16(bytes.substr(2), false);
  if (bytes.starts_with(kUtf16BeMark)) return DecodeUtf16(bytes.substr(2), true);
  if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  DecodedText text{std::string(bytes), {}};
  // A first character of plain ASCII in UTF-16 has a zero byte beside it.
  if (bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0'))
    text.error = "UTF-16 without a byte-order mark; save the file as UTF-8, or as UTF-16 with one";
  return text;
}

std::string VisibleText(std::string_view utf8) {
  std::string shown(utf8);
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return shown;
}

}  // namespace tavrin
