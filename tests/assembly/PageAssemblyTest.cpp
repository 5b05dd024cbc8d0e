#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>

#include "config/FormView.h"
#include "config/PageAssembly.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

// A form without widgets: one family chosen, every other check clear, every
// list at its first item.
struct FakeForm : FormView {
  bool IsChecked(ControlId c) const override { return c == family; }
  int SelectedIndex(ControlId c) const override { return lists.count(c) ? lists.at(c) : 0; }
  void SelectIndex(ControlId c, int index) override { lists[c] = index; }
  std::string& MifareKeyText() override { return key; }

  ControlId family = ControlId::TypeARadio;
  std::map<ControlId, int> lists;
  std::string key;
};

// The short key is filled up in the form and in the page; without a link
// nothing is read or changed.
TEST(PageAssembly, KeyTextIsNormalisedInPlaceAndFilledButNotWithoutALink) {
  FakeForm form;
  form.key = "ab 12";
  const ConfigPage page = AssembleTypeAPage(form);
  EXPECT_EQ(form.key, "AB12777777777777");
  EXPECT_TRUE(std::ranges::equal(std::span(page.Bytes()).subspan(10, 6),
                                 std::array<std::uint8_t, 6>{0xAB, 0x12, 0x77, 0x77, 0x77, 0x77}));

  SimHost host;
  ReaderLink link{host};
  form.lists[ControlId::MifareStartSectorCombo] = 9;
  form.key = "ab";
  for (auto* write : {&WriteSystemPage, &WriteTypeAPage, &WriteTypeBPage, &WriteIso15693Page})
    EXPECT_EQ(write(link, form, nullptr), kResultFailed);
  EXPECT_EQ(form.lists[ControlId::MifareEndSectorCombo], 0);
  EXPECT_EQ(form.key, "ab");
}

TEST(PageAssembly, KeyValidityLooksAtTheFirstTwelveNormalisedCharacters) {
  for (const char* valid : {" 3a7c 19e5\tb08d", "ab", "FFFFFFFFFFFFxyz"})
    EXPECT_TRUE(IsValidMifareKey(valid)) << valid;
  for (const char* invalid : {"3A7C19E5B08G", "3A-7C", "3A7C19E5B0\xC3\xA9"})
    EXPECT_FALSE(IsValidMifareKey(invalid)) << invalid;
}

TEST(PageAssembly, HexConversionFollowsTheDigitRuleForAnyCharacter) {
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

}  // namespace
}  // namespace tavrin
