#include "cli/TypingCheck.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "config/KeyUsage.h"

namespace tavrin::cli {
namespace {

constexpr const char* kIntro =
    "Present a card to the reader. Each line it types is shown as this computer received it, "
    "keys that type no character by name. Ctrl-D ends (on Windows, Ctrl-Z, then Enter).\n"
    "A terminal passes on characters, not keys: it cannot tell which keys the reader pressed, "
    "nor whether this computer's keyboard layout changed them. The dialog's \"Typing "
    "check...\" (Ctrl+T) shows both.\n";

// What terminals send for the keys a reader presses that type no character;
// longest first where one starts another.
struct KeySequence {
  std::string_view bytes;
  KeyUsage usage;
};
const KeySequence kSequences[] = {
    {"\r\n", kUsageEnter},  {"\r", kUsageEnter},    {"\n", kUsageEnter},         {"\t", kUsageTab},
    {"\x1b[B", kUsageDown}, {"\x1bOB", kUsageDown}, {"\x1b[6~", kUsagePageDown},
};

bool Continues(std::string_view text, std::size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
  if (i >= text.size()) return false;
  const auto byte = static_cast<unsigned char>(text[i]);
  return byte >= low && byte <= high;
}

// The length of the UTF-8 character text starts with; 0 when it starts with
// a byte that begins none (overlong forms and surrogates included).
std::size_t Utf8Length(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return Continues(text, 1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    const bool second = lead == 0xE0   ? Continues(text, 1, 0xA0)
                        : lead == 0xED ? Continues(text, 1, 0x80, 0x9F)
                                       : Continues(text, 1);
    return second && Continues(text, 2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const bool second = lead == 0xF0   ? Continues(text, 1, 0x90)
                        : lead == 0xF4 ? Continues(text, 1, 0x80, 0x8F)
                                       : Continues(text, 1);
    return second && Continues(text, 2) && Continues(text, 3) ? 4 : 0;
  }
  return 0;
}

std::string HexByte(char c) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "<0x%02X>", static_cast<unsigned char>(c));
  return hex;
}

// The text as received: characters as they are, the named keys by name,
// other control bytes and bytes that are no UTF-8 in hexadecimal.
std::string Shown(std::string_view text) {
  std::string shown;
  while (!text.empty()) {
    std::size_t length = 0;
    for (const KeySequence& key : kSequences) {
      if (!text.starts_with(key.bytes)) continue;
      shown += KeyName(key.usage);
      length = key.bytes.size();
      break;
    }
    if (length == 0) {
      length = Utf8Length(text);
      const auto byte = static_cast<unsigned char>(text[0]);
      if (length == 0 || byte < 0x20 || byte == 0x7F) {
        shown += HexByte(text[0]);
        length = 1;
      } else {
        shown += text.substr(0, length);
      }
    }
    text.remove_prefix(length);
  }
  return shown;
}

}  // namespace

int TypingCheck(std::istream& in, std::ostream& out) {
  out << kIntro << std::flush;
  std::string line;
  int lines = 0;
  while (std::getline(in, line)) {
    if (!in.eof()) line += '\n';
    out << "received: " << Shown(line) << '\n' << std::flush;
    ++lines;
  }
  out << lines << (lines == 1 ? " line" : " lines") << " received.\n";
  return 0;
}

}  // namespace tavrin::cli
