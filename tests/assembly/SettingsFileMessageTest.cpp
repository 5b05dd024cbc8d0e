// Messages about a settings file reach a terminal: whatever bytes the file
// holds, they hold no control characters.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "config/SettingsFile.h"

namespace tavrin {
namespace {

bool HasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

TEST(SettingsFileMessage, SyntaxErrorsShowNoControlCharacters) {
  for (const char* text : {"[snr]\noutput = tru\n", "family = \x1b[2J\n", "output = t\x7f\n"}) {
    const ParsedSettings parsed = ParseSettings(text, "f.toml");
    ASSERT_EQ(parsed.errors.size(), 1u) << text;
    EXPECT_FALSE(HasControlCharacter(parsed.errors[0])) << parsed.errors[0];
    EXPECT_TRUE(parsed.errors[0].starts_with("f.toml:")) << parsed.errors[0];
  }
}

// Where TOML wants whitespace, a letter such as é is a mistake like any
// other; the sanitizer suite also sees it handled without undefined
// behaviour.
TEST(SettingsFileMessage, NonAsciiWhereWhitespaceMayBe) {
  for (const char* text : {"famíly = \"iso14443a\"\n", "family = é\n", "family = 1§\n",
                           "[snr]\noutput = trueЖ\n", "f1\xef\xbb\xbe = 1\n"}) {
    const ParsedSettings parsed = ParseSettings(text, "f.toml");
    ASSERT_EQ(parsed.errors.size(), 1u) << text;
    EXPECT_NE(parsed.errors[0].find("invalid TOML"), std::string::npos) << parsed.errors[0];
  }
  // Valid TOML: a line-ending backslash in a multi-line string skips the
  // whitespace up to the é.
  const ParsedSettings parsed = ParseSettings("family = \"\"\"\\\n  é\"\"\"\n", "f.toml");
  ASSERT_EQ(parsed.errors.size(), 1u);
  EXPECT_EQ(parsed.errors[0],
            "f.toml:1:10: family: \"é\" is not allowed; allowed: \"iso14443a\", \"iso14443b\" or "
            "\"iso15693\"");
}

// A table header that starts with no key, an array that ends as a table
// does: mistakes like any other, which a debug build reports too instead of
// aborting.
TEST(SettingsFileMessage, MistakesInTheMiddleOfATomlConstruct) {
  for (const char* text : {"[~\n", "[[=\n", "[[[1]]]\n", "[snr]\n[.output]\n",
                           "family = [ 'x', }\n", "family = [ }\n"}) {
    const ParsedSettings parsed = ParseSettings(text, "f.toml");
    ASSERT_EQ(parsed.errors.size(), 1u) << text;
    EXPECT_NE(parsed.errors[0].find("invalid TOML"), std::string::npos) << parsed.errors[0];
  }
}

// A character beyond the first 65,536 takes two UTF-16 units; it reaches
// the message whole, as UTF-8.
TEST(SettingsFileMessage, CharacterPairInUtf16) {
  std::string text = "\xFF\xFE";
  for (const char c : std::string("family = \"")) text += {c, '\0'};
  text += std::string("\x3D\xD8\x00\xDE", 4) + std::string("\"\0", 2);  // U+1F600
  const ParsedSettings parsed = ParseSettings(text, "f.toml");
  ASSERT_EQ(parsed.errors.size(), 1u);
  EXPECT_NE(parsed.errors[0].find("\"\xF0\x9F\x98\x80\""), std::string::npos) << parsed.errors[0];
}

// The key's digits may be grouped by spaces or tabs; twelve digits fit.
TEST(SettingsFileMessage, KeyDigitsGroupedBySpacesAndTabs) {
  const ParsedSettings parsed =
      ParseSettings("family = \"iso14443a\"\n[mifare]\nkey = \"3a7c 19e5\\tb08d\"\n", "f.toml");
  EXPECT_TRUE(parsed.errors.empty() && parsed.warnings.empty());
  EXPECT_EQ(NormalisedMifareKey(parsed.settings.mifareKey), "3A7C19E5B08D");
}

}  // namespace
}  // namespace tavrin
