#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "FakeForm.h"
#include "config/PageAssembly.h"
#include "reader/ReaderFrame.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

using C = ControlId;
using Page = std::array<std::uint8_t, kPageSize>;

std::array<std::uint8_t, 6> KeyBytes(const Page& page) {
  std::array<std::uint8_t, 6> key{};
  std::copy(page.begin() + 10, page.begin() + 16, key.begin());
  return key;
}

TEST(PageAssembly, KeyTextIsNormalisedInPlaceAndFilled) {
  using Key = std::array<std::uint8_t, 6>;
  FakeForm form;
  form.key = " 3a 7c\t19e5 b08d";
  EXPECT_EQ(KeyBytes(AssembleTypeAPage(form).Bytes()), (Key{0x3A, 0x7C, 0x19, 0xE5, 0xB0, 0x8D}));
  EXPECT_EQ(form.key, "3A7C19E5B08D");

  form.key = "ab 12";
  EXPECT_EQ(KeyBytes(AssembleTypeAPage(form).Bytes()), (Key{0xAB, 0x12, 0x77, 0x77, 0x77, 0x77}));
  EXPECT_EQ(form.key, "AB12777777777777") << "the whole filler is appended";

  form.key = "FFFFFFFFFFFF0123";
  EXPECT_EQ(KeyBytes(AssembleTypeAPage(form).Bytes()), (Key{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(form.key, "FFFFFFFFFFFF0123");
}

TEST(PageAssembly, KeyValidityLooksAtTheFirstTwelveNormalisedCharacters) {
  EXPECT_TRUE(IsValidMifareKey("3A7C19E5B08D"));
  EXPECT_TRUE(IsValidMifareKey(" 3a7c 19e5\tb08d"));
  EXPECT_TRUE(IsValidMifareKey("ab"));
  EXPECT_TRUE(IsValidMifareKey(""));
  EXPECT_TRUE(IsValidMifareKey("FFFFFFFFFFFFxyz")) << "characters after the twelfth are ignored";
  EXPECT_FALSE(IsValidMifareKey("3A7C19E5B08G"));
  EXPECT_FALSE(IsValidMifareKey("3A-7C"));
  EXPECT_FALSE(IsValidMifareKey("3A7C19E5B0\xC3\xA9"));
  std::string typed = " 3a7c";
  IsValidMifareKey(typed);
  EXPECT_EQ(typed, " 3a7c") << "checking leaves the text as typed";
}

TEST(PageAssembly, HexConversionFollowsTheDigitRuleForAnyCharacter) {
  EXPECT_EQ(HexPairToByte('0', '0'), 0x00);
  EXPECT_EQ(HexPairToByte('9', 'F'), 0x9F);
  EXPECT_EQ(HexPairToByte('A', '5'), 0xA5);
  EXPECT_EQ(HexPairToByte('G', '1'), 0x01) << "G gives 16: the high nibble wraps";
  EXPECT_EQ(HexPairToByte('Z', 'Z'), 0x53);
  EXPECT_EQ(HexPairToByte(' ', '1'), 0x01);

  std::array<std::uint8_t, 4> out{9, 9, 9, 9};
  std::size_t count = 99;
  EXPECT_EQ(HexToBytes("ABC", 4, out.data(), count), 1);
  EXPECT_EQ(HexToBytes("ABC", 3, out.data(), count), 1);
  EXPECT_EQ(out, (std::array<std::uint8_t, 4>{9, 9, 9, 9}));
  EXPECT_EQ(count, 99u);
  EXPECT_EQ(HexToBytes("", 0, out.data(), count), 0);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(HexToBytes("01ff", 4, out.data(), count), 0);
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(out[0], 0x01);
  EXPECT_EQ(out[1], 0x1F) << "lower case is no digit: 'f' gives 47";
}

class PageWriters : public ::testing::Test {
 protected:
  PageWriters() : reader(host.AddReader()) {
    link.handle = FindReader(host);
    reader.unlocked = true;
  }

  SimHost host;
  SimReader& reader;
  ReaderLink link{host};
  FakeForm form;
};

TEST_F(PageWriters, WithoutALinkNothingIsReadOrChanged) {
  CloseReader(link);
  form.lists[C::MifareStartSectorCombo] = 9;
  form.key = "ab";
  EXPECT_EQ(WriteSystemPage(link, form), kResultFailed);
  EXPECT_EQ(WriteTypeAPage(link, form), kResultFailed);
  EXPECT_EQ(WriteTypeBPage(link, form), kResultFailed);
  EXPECT_EQ(WriteIso15693Page(link, form), kResultFailed);
  EXPECT_EQ(form.lists[C::MifareEndSectorCombo], 0);
  EXPECT_EQ(form.key, "ab");
  EXPECT_TRUE(reader.received.empty());
}

}  // namespace
}  // namespace tavrin
