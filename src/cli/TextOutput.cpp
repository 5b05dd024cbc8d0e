#include "cli/TextOutput.h"

#include "config/TextDecoding.h"

namespace tavrin::cli {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

std::string Replaced(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    if (text.substr(at, from.size()) == from) {
      out += to;
      at += from.size();
    } else {
      out += text[at++];
    }
  }
  return out;
}

}  // namespace

std::string TerminalText(std::string_view latin1) {
  std::string out;
  for (const char c : Replaced(latin1, "\r\n", "\n")) {
    const auto byte = static_cast<unsigned char>(c);
    AppendUtf8(out, IsControl(byte) && byte != '\n' ? '?' : byte);
  }
  return out;
}

std::string JsonString(std::string_view latin1) {
  constexpr const char* kHex = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : latin1) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += c;
    } else if (IsControl(byte)) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      AppendUtf8(out, byte);
    }
  }
  return out + "\"";
}

std::string OneLine(std::string_view text) {
  std::string line = Replaced(text, "\r\n", " ");
  if (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

}  // namespace tavrin::cli
