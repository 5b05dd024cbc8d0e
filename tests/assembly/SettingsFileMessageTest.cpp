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

}  // namespace
}  // namespace tavrin
