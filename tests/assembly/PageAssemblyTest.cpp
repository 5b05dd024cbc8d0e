#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "config/PageAssembly.h"
#include "config/Settings.h"

namespace tavrin {
namespace {

std::size_t Row(Panel panel, const char* key) { return FindSetting(panel, key).value(); }

// Only what is sent is adjusted: the chosen family's end positions and, for
// ISO14443A, the key; the pages hold exactly what they were given.
TEST(PageAssembly, AdjustmentsTouchTheChosenFamilyOnly) {
  Settings settings = StartUpSettings();
  settings.mifareKey = "ab 12";
  settings.values[Row(Panel::Mifare, "start-sector")] = 9;
  settings.values[Row(Panel::Sri, "start-block")] = 100;
  settings.values[Row(Panel::Sri, "end-block")] = 20;

  const Settings typeA = Adjusted(settings);
  EXPECT_EQ(typeA.mifareKey, "AB1277777777");
  EXPECT_EQ(typeA.values[Row(Panel::Mifare, "end-sector")], 9);
  EXPECT_EQ(typeA.values[Row(Panel::Sri, "end-block")], 20);
  const auto pages = AssemblePages(typeA);
  EXPECT_TRUE(std::ranges::equal(std::span(pages[1].page.Bytes()).subspan(10, 6),
                                 std::array<std::uint8_t, 6>{0xAB, 0x12, 0x77, 0x77, 0x77, 0x77}));

  settings.values[kFamilySetting] = 1;  // ISO14443B
  const Settings typeB = Adjusted(settings);
  EXPECT_EQ(typeB.mifareKey, "ab 12");
  EXPECT_EQ(typeB.values[Row(Panel::Mifare, "end-sector")], 0);
  EXPECT_EQ(typeB.values[Row(Panel::Sri, "end-block")], 100);
  EXPECT_EQ(Adjusted(typeB), typeB);
  EXPECT_EQ(AssemblePages(typeB)[1].number, PageNumber::TypeB);
}

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

TEST(PageAssembly, HexConversionFollowsTheDigitRuleForAnyCharacter) {
  EXPECT_EQ(HexPairToByte('G', '1'), 0x01) << "G gives 16: the high nibble wraps";
  EXPECT_EQ(HexPairToByte('Z', 'Z'), 0x53);
  EXPECT_EQ(HexPairToByte(' ', '1'), 0x01);
  EXPECT_EQ(HexPairToByte(':', '@'), 0x39) << "past '9' every character counts from 'A' as 10";
  EXPECT_EQ(HexPairToByte('f', 'f'), 0x1F) << "lower case is no digit: 'f' gives 47";
}

}  // namespace
}  // namespace tavrin
