// What a settings file's mistakes are told as, one row a file: the place,
// the setting and what is allowed, in file order, whatever bytes the file
// holds. Both front ends pass these lines on as they are.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/SettingsFile.h"

namespace tavrin {
namespace {

#define EXPECT_HAS(text, part) EXPECT_PRED_FORMAT2(::testing::IsSubstring, part, text)

// text in UTF-16 with its byte-order mark, lines ended by CR LF as Windows
// PowerShell 5.1's ">" writes them; text is ASCII.
std::string Utf16(const std::string& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : text) {
    if (c == '\n') bytes += bigEndian ? std::string("\0\r", 2) : std::string("\r\0", 2);
    bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  }
  return bytes;
}

constexpr const char* kTypeB = "family = \"iso14443b\"\n[sri]\noutput = true\n";

struct Case {
  std::string bytes;
  std::vector<std::string> told;  // parts of the errors and warnings, one a line
};

std::vector<Case> Cases() {
  return {
      {"",
       {"f: family: missing; every settings file names its card family: \"iso14443a\", "
        "\"iso14443b\" or \"iso15693\". Start from the file \"tavrin-reader template\" "
        "writes.\n"}},
      {"[snr]\nend-key = \"tab\"\nend-count = 0\n",
       {"f:3:13: snr.end-count: 0 is out of range; allowed: 1 to 10\nf: family: missing;"}},
      {"famly = \"iso14443b\"\n[snr]\ncolour = 1\n",
       {"f:1:1: unknown setting \"famly\"; the top level holds family and the tables [snr] "
        "[mifare] [ultralight] [sr176] [sri] [icode]\nf:3:1: unknown setting \"snr.colour\"; "
        "[snr] holds output, byte-order, number-base, caps-lock, end-key, end-count\n"}},
      {"snr = 3\n[mifare]\nstart-sector = 64\nkey = \"3A7C19E5B08D00\"\n",
       {"f:1:7: snr: expected a table, found a number\nf:3:16: mifare.start-sector: 64 is out "
        "of range; allowed: 0 to 63\nf:4:7: mifare.key: \"3A7C19E5B08D00\" is not a key; "
        "allowed: 12 hexadecimal digits (0-9, A-F); spaces are ignored, a shorter key is filled "
        "up with 7s, as the dialog does\n"}},
      {"[snr]\nend-key = \"esc\\u001b\"\ncaps-lock = 1\n[mifare]\nkey = \"3A7C19E5B08G\"\n",
       {"f:2:11: snr.end-key: \"esc?\" is not allowed; allowed: \"none\", \"down\", \"tab\", "
        "\"enter\" or \"pgdn\"\nf:3:13: snr.caps-lock: expected true or false, found a number\n"
        "f:5:7: mifare.key: \"3A7C19E5B08G\" is not a key"}},
      {"family = true\n[snr]\nend-count = \"3\"\n",
       {"f:1:10: family: expected a text in quotes, found true or false; allowed: \"iso14443a\", "
        "\"iso14443b\" or \"iso15693\"\nf:3:13: snr.end-count: expected a whole number, found a "
        "text; allowed: 1 to 10\n"}},
      {"family = \"iso14443b\"\n[mifare]\noutput = true\nstart-sector = 64\n",
       {"f:3:10: mifare.output: mifare is not a card kind of family \"iso14443b\", whose kinds "
        "are sr176 and sri\nf:4:16: mifare.start-sector: 64 is out of range"}},
      {"family = \"" + std::string(100000, 'a') + "\"\n",
       {"f:1:10: family: \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa...\" (100000 characters) is "
        "not allowed;"}},
      {"\"" + std::string(1000, 'k') + "\" = 1\n\"" + std::string(1000, 'k') + "\" = 2\n",
       {"f:2:",
        ": invalid TOML: Error while parsing key-value pair: cannot redefine existing "
        "integer '\"kkkkk",
        "kkk...\n"}},
      {"family = \"\"\"\\\n  \xC3\xA9\"\"\"\n", {"f:1:10: family: \"\xC3\xA9\" is not allowed;"}},
      {Utf16(kTypeB, false), {}},
      {Utf16(kTypeB, true), {}},
      {"\xEF\xBB\xBF" + std::string(kTypeB), {}},
      {Utf16(kTypeB, false).substr(2),
       {"f:1:1: UTF-16 without a byte-order mark; save the file as UTF-8, or as UTF-16 with "
        "one\n"}},
      {Utf16("family = \"iso14443a\"\n[snr]\nend-key = \"", false) + std::string("\x00\xD8", 2),
       {"f:3:12: invalid UTF-16: half of a character pair without its other half\n"}},
      {"\xFF\xFE" + Utf16("family = \"", false).substr(2) + std::string("\x3D\xD8\x00\xDE", 4) +
           std::string("\"\0", 2),
       {"f:1:10: family: \"\xF0\x9F\x98\x80\" is not allowed"}},
      {"family = \"iso14443a\"\n[mifare]\nkey = \"3a7c 19e5 b0\"\n",
       {"f:3:7: mifare.key: warning: \"3a7c 19e5 b0\" has 10 of 12 hexadecimal digits; a shorter "
        "key is filled up with 7s, as the dialog does: \"3A7C19E5B077\"\n"}},
      {"family = \"iso14443a\"\n[mifare]\nkey = \"3a7c 19e5\\tb08d\"\n", {}},
  };
}

TEST(SettingsFileMessage, EachMistakeIsToldWhereItIs) {
  for (const Case& file : Cases()) {
    const ParsedSettings parsed = ParseSettings(file.bytes, "f");
    std::string told;
    for (const std::string& line : parsed.errors) told += line + "\n";
    for (const std::string& line : parsed.warnings) told += line + "\n";
    SCOPED_TRACE(file.bytes.substr(0, 80));
    for (const std::string& part : file.told) EXPECT_HAS(told, part);
    EXPECT_TRUE(!file.told.empty() || told.empty()) << told;
    EXPECT_LT(told.size(), 1000u) << "a screenful at most";
  }
}

}  // namespace
}  // namespace tavrin
