#include "reader/Utf8.h"

namespace tavrin {

void AppendUtf8(std::string& out, char32_t c) {
  const auto byte = [&](char32_t bits) { out += static_cast<char>(bits); };
  if (c < 0x80) {
    byte(c);
  } else if (c < 0x800) {
    byte(0xC0 | c >> 6);
    byte(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    byte(0xE0 | c >> 12);
    byte(0x80 | (c >> 6 & 0x3F));
    byte(0x80 | (c & 0x3F));
  } else if (c < 0x110000) {
    byte(0xF0 | c >> 18);
    byte(0x80 | (c >> 12 & 0x3F));
    byte(0x80 | (c >> 6 & 0x3F));
    byte(0x80 | (c & 0x3F));
  }
}

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string utf8;
  for (const char c : latin1) AppendUtf8(utf8, static_cast<unsigned char>(c));
  return utf8;
}

}  // namespace tavrin
