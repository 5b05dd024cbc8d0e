#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "FakeForm.h"
#include "config/PageAssembly.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

TEST(PageAssembly, KeyTextIsNormalisedInPlaceAndFilled) {
  const struct {
    const char* typed;
    std::string normalised;
    std::array<std::uint8_t, 6> key;
  } cases[] = {
      {" 3a 7c\t19e5 b08d", "3A7C19E5B08D", {0x3A, 0x7C, 0x19, 0xE5, 0xB0, 0x8D}},
      {"ab 12", "AB12777777777777", {0xAB, 0x12, 0x77, 0x77, 0x77, 0x77}},  // the whole filler
      {"FFFFFFFFFFFF0123", "FFFFFFFFFFFF0123", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
  };
  for (const auto& [typed, normalised, key] : cases) {
    FakeForm form;
    form.key = typed;
    const ConfigPage page = AssembleTypeAPage(form);
    EXPECT_TRUE(std::equal(key.begin(), key.end(), page.Bytes().begin() + 10)) << typed;
    EXPECT_EQ(form.key, normalised);
  }
}

TEST(PageAssembly, KeyValidityLooksAtTheFirstTwelveNormalisedCharacters) {
  for (const char* valid : {"3A7C19E5B08D", " 3a7c 19e5\tb08d", "ab", "FFFFFFFFFFFFxyz"})
    EXPECT_TRUE(IsValidMifareKey(valid)) << valid;
  for (const char* invalid : {"3A7C19E5B08G", "3A-7C", "3A7C19E5B0\xC3\xA9"})
    EXPECT_FALSE(IsValidMifareKey(invalid)) << invalid;
}

TEST(PageAssembly, HexConversionFollowsTheDigitRuleForAnyCharacter) {
  EXPECT_EQ(HexPairToByte('0', '0'), 0x00);
  EXPECT_EQ(HexPairToByte('9', 'F'), 0x9F);
  EXPECT_EQ(HexPairToByte('G', '1'), 0x01) << "G gives 16: the high nibble wraps";
  EXPECT_EQ(HexPairToByte('Z', 'Z'), 0x53);
  EXPECT_EQ(HexPairToByte(' ', '1'), 0x01);
  EXPECT_EQ(HexPairToByte(':', '@'), 0x39) << "past '9' every character counts from 'A' as 10";

  std::array<std::uint8_t, 2> out{};
  std::size_t count = 99;
  EXPECT_EQ(HexToBytes("ABC", 3, out.data(), count), 1);  // odd length
  EXPECT_EQ(HexToBytes("ABC", 4, out.data(), count), 1);  // longer than the text
  EXPECT_EQ(count, 99u);
  EXPECT_EQ(HexToBytes("01ff", 4, out.data(), count), 0);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(out, (std::array<std::uint8_t, 2>{0x01, 0x1F}))
      << "lower case is no digit: 'f' gives 47";
}

TEST(PageAssembly, WritersWithoutALinkReadAndChangeNothing) {
  SimHost host;
  ReaderLink link{host};
  FakeForm form;
  form.lists[ControlId::MifareStartSectorCombo] = 9;
  form.key = "ab";
  for (auto* write : {&WriteSystemPage, &WriteTypeAPage, &WriteTypeBPage, &WriteIso15693Page})
    EXPECT_EQ(write(link, form, nullptr), kResultFailed);
  EXPECT_EQ(form.lists[ControlId::MifareEndSectorCombo], 0);
  EXPECT_EQ(form.key, "ab");
}

}  // namespace
}  // namespace tavrin
