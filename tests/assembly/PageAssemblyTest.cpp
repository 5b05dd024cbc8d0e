#include <gtest/gtest.h>

#include <string>

#include "config/PageAssembly.h"
#include "config/Settings.h"

namespace tavrin {
namespace {

// The dialog looks at the twelve characters sent and ignores the rest; a
// settings file may hold no more than twelve digits.
TEST(PageAssembly, TheTwoKeyRulesAndTheTwelveCharactersSent) {
  const struct {
    const char* typed;
    const char* sent;
    bool dialog, file;
  } kKeys[] = {
      {" 3a7c 19e5\tb08d", "3A7C19E5B08D", true, true},
      {"ab", "AB7777777777", true, true},
      {"", "777777777777", true, true},
      {"FFFFFFFFFFFFxyz", "FFFFFFFFFFFF", true, false},
      {"3A7C19E5B08D0", "3A7C19E5B08D", true, false},
      {"3A7C19E5B08G", "3A7C19E5B08G", false, false},
      {"3A-7C", "3A-7C7777777", false, false},
      {"3A7C19E5B0\xC3\xA9", "3A7C19E5B0\xC3\xA9", false, false},
  };
  for (const auto& key : kKeys) {
    EXPECT_EQ(SentMifareKey(key.typed), key.sent) << key.typed;
    EXPECT_EQ(DialogAcceptsMifareKey(key.typed), key.dialog) << key.typed;
    EXPECT_EQ(FileAcceptsMifareKey(key.typed), key.file) << key.typed;
  }
}

}  // namespace
}  // namespace tavrin
