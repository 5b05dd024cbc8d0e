#include "cli/TextOutput.h"

#include "reader/Utf8.h"

namespace tavrin::cli {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

// An ASCII character inside a JSON string: quote, backslash and control
// characters escaped.
void AppendJsonAscii(std::string& out, unsigned char ascii) {
  constexpr const char* kHex = "0123456789abcdef";
  if (ascii == '"' || ascii == '\\') {
    out += '\\';
    out += static_cast<char>(ascii);
  } else if (IsControl(ascii)) {
    out += "\\u00";
    out += kHex[ascii >> 4];
    out += kHex[ascii & 0xF];
  } else {
    out += static_cast<char>(ascii);
  }
}

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
  std::string utf8;
  for (const char c : latin1) AppendUtf8(utf8, static_cast<unsigned char>(c));
  return JsonUtf8String(utf8);
}

std::string OneLine(std::string_view text) {
  std::string line = Replaced(text, "\r\n", " ");
  if (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

std::string TerminalUtf8(std::string_view utf8) {
  std::string out(utf8);
  for (char& c : out) {
    if (IsControl(static_cast<unsigned char>(c))) c = '?';
  }
  return out;
}

std::string JsonUtf8String(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      AppendJsonAscii(out, byte);
    } else {
      out += c;  // a byte of a longer character, as it is
    }
  }
  return out + "\"";
}

}  // namespace tavrin::cli
