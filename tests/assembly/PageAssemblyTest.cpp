#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "FakeForm.h"
#include "config/PageAssembly.h"
#include "reader/ReaderFrame.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

using C = ControlId;
using Page = std::array<std::uint8_t, kPageSize>;

Page Bytes(std::initializer_list<std::pair<std::size_t, std::uint8_t>> set) {
  Page page{};
  page[0] = 0x1F;
  for (auto [offset, value] : set) page[offset] = value;
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < 31; ++i) sum ^= page[i];
  page[31] = sum;
  return page;
}

TEST(PageAssembly, StartUpFormGivesTheKnownPages) {
  FakeForm form;
  const Page system = AssembleSystemPage(form).Bytes();
  EXPECT_EQ(system, Bytes({{1, 0xFF}, {2, 0x01}, {16, 0x01}, {28, 0x01}}));
  EXPECT_EQ(system[31], 0xE1);

  const Page typeA{0x1F, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0F, 0x00, 0x60, 0x3A,
                   0x7C, 0x19, 0xE5, 0xB0, 0x8D, 0x00, 0x00, 0x01, 0x00, 0x01, 0x01,
                   0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x01, 0x00, 0x01, 0xF4};
  EXPECT_EQ(AssembleTypeAPage(form).Bytes(), typeA);

  const Page typeB = AssembleTypeBPage(form).Bytes();
  EXPECT_EQ(typeB, Bytes({{1, 1}, {5, 1}, {12, 1}, {14, 1}, {17, 1}, {21, 3}, {28, 1}, {30, 1}}));
  EXPECT_EQ(typeB[31], 0x1D);

  const Page iso = AssembleIso15693Page(form).Bytes();
  EXPECT_EQ(iso, Bytes({{1, 1}, {5, 3}, {12, 1}, {14, 1}}));
  EXPECT_EQ(iso[31], 0x1D);
}

TEST(PageAssembly, SystemPageCarriesOnlyTheCheckedFamilysKinds) {
  FakeForm form;
  form.checks[C::CardKind1Check] = form.checks[C::CardKind2Check] = true;

  form.ChooseFamily(C::TypeBRadio);
  Page page = AssembleSystemPage(form).Bytes();
  EXPECT_EQ(page[2], 2);
  EXPECT_EQ(page[3], 0);
  EXPECT_EQ(page[4], 3);
  EXPECT_EQ(page[5], 0);

  form.ChooseFamily(C::Iso15693Radio);
  page = AssembleSystemPage(form).Bytes();
  EXPECT_EQ(page[2], 4);
  EXPECT_EQ(page[4], 0);
  EXPECT_EQ(page[5], 1) << "ISO15693 has one card kind: bit 1 stays clear";
}

TEST(PageAssembly, SnrOffClearsOrderAndBaseButKeepsTheEndingKeys) {
  FakeForm form;
  form.checks[C::OutputSnrCheck] = false;
  form.checks[C::SnrMsbFirstRadio] = form.checks[C::SnrHexRadio] = false;
  form.checks[C::SnrLsbFirstRadio] = form.checks[C::SnrDecRadio] = true;
  form.checks[C::SnrCapsLockCheck] = true;
  form.lists[C::SnrEndKeyCombo] = 4;
  form.lists[C::SnrEndCountCombo] = 9;
  Page page = AssembleSystemPage(form).Bytes();
  EXPECT_EQ(page[16], 0);
  EXPECT_EQ(page[17], 0);
  EXPECT_EQ(page[18], 0);
  EXPECT_EQ(page[26], 1);
  EXPECT_EQ(page[27], 0x4E);
  EXPECT_EQ(page[28], 10);

  form.checks[C::OutputSnrCheck] = true;
  page = AssembleSystemPage(form).Bytes();
  EXPECT_EQ(page[16], 1);
  EXPECT_EQ(page[17], 1);
  EXPECT_EQ(page[18], 1);
}

TEST(PageAssembly, EveryKeyListMapsToItsKeyCode) {
  const std::array<std::uint8_t, 5> codes{0x00, 0x51, 0x2B, 0x28, 0x4E};
  for (int index = 0; index < 5; ++index) {
    FakeForm form;
    form.lists[C::MifareBlockEndKeyCombo] = form.lists[C::MifareDataEndKeyCombo] = index;
    form.lists[C::UltraLightBlockEndKeyCombo] = form.lists[C::UltraLightDataEndKeyCombo] = index;
    form.lists[C::Sr176BlockEndKeyCombo] = form.lists[C::SriDataEndKeyCombo] = index;
    form.lists[C::ICodeDataEndKeyCombo] = index;
    const std::uint8_t code = codes[static_cast<std::size_t>(index)];
    const Page a = AssembleTypeAPage(form).Bytes();
    EXPECT_EQ(a[17], code);
    EXPECT_EQ(a[19], code);
    EXPECT_EQ(a[27], code);
    EXPECT_EQ(a[29], code);
    const Page b = AssembleTypeBPage(form).Bytes();
    EXPECT_EQ(b[11], code);
    EXPECT_EQ(b[29], code);
    EXPECT_EQ(AssembleIso15693Page(form).Bytes()[13], code);
  }
}

TEST(PageAssembly, ModesCapsLockAndCountsReachTheirBytes) {
  FakeForm form;
  form.checks[C::MifareMode1Radio] = form.checks[C::SriMode1Radio] = false;
  form.checks[C::MifareKeyARadio] = false;
  form.checks[C::SriCapsLockCheck] = form.checks[C::UltraLightCapsLockCheck] = true;
  form.lists[C::SriBlockEndCountCombo] = 6;
  form.lists[C::UltraLightDataEndCountCombo] = 9;
  const Page a = AssembleTypeAPage(form).Bytes();
  EXPECT_EQ(a[1], 2);
  EXPECT_EQ(a[9], 0x61);
  EXPECT_EQ(a[26], 1);
  EXPECT_EQ(a[30], 10);
  const Page b = AssembleTypeBPage(form).Bytes();
  EXPECT_EQ(b[1], 1);
  EXPECT_EQ(b[17], 2);
  EXPECT_EQ(b[26], 1);
  EXPECT_EQ(b[28], 7);
}

TEST(PageAssembly, EndBelowStartIsMovedUpOnThePageAndTheForm) {
  FakeForm form;
  form.lists[C::MifareStartSectorCombo] = 10;
  form.lists[C::MifareEndSectorCombo] = 4;
  form.lists[C::MifareStartBlockCombo] = 3;
  form.lists[C::MifareEndBlockCombo] = 1;
  form.lists[C::UltraLightStartBlockCombo] = 15;
  form.lists[C::UltraLightEndBlockCombo] = 2;
  form.lists[C::UltraLightStartByteCombo] = 3;
  form.lists[C::UltraLightEndByteCombo] = 0;
  const Page a = AssembleTypeAPage(form).Bytes();
  EXPECT_EQ(a[2], 10);
  EXPECT_EQ(a[5], 10);
  EXPECT_EQ(form.lists[C::MifareEndSectorCombo], 10);
  EXPECT_EQ(a[3], 3) << "blocks are not compared for Mifare";
  EXPECT_EQ(a[6], 1);
  EXPECT_EQ(a[22], 15);
  EXPECT_EQ(a[23], 15);
  EXPECT_EQ(form.lists[C::UltraLightEndBlockCombo], 15);
  EXPECT_EQ(a[24], 3) << "bytes are never compared";
  EXPECT_EQ(a[25], 0);

  form.lists[C::SriStartBlockCombo] = 100;
  form.lists[C::SriEndBlockCombo] = 20;
  form.lists[C::Sr176StartBlockCombo] = 4;
  form.lists[C::Sr176EndBlockCombo] = 9;
  const Page b = AssembleTypeBPage(form).Bytes();
  EXPECT_EQ(b[18], 100);
  EXPECT_EQ(b[19], 100);
  EXPECT_EQ(form.lists[C::SriEndBlockCombo], 100);
  EXPECT_EQ(b[2], 4);
  EXPECT_EQ(b[3], 9);
  EXPECT_EQ(form.lists[C::Sr176EndBlockCombo], 9);

  form.lists[C::ICodeStartBlockCombo] = 63;
  const Page i = AssembleIso15693Page(form).Bytes();
  EXPECT_EQ(i[3], 63);
  EXPECT_EQ(form.lists[C::ICodeEndBlockCombo], 63);
}

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
  EXPECT_EQ(KeyBytes(AssembleTypeAPage(form).Bytes()), (Key{0xAB, 0x12, 0x77, 0x77, 0x77, 0x77}));
  EXPECT_EQ(form.key, "AB12777777777777");

  form.key = "";
  EXPECT_EQ(KeyBytes(AssembleTypeAPage(form).Bytes()), (Key{0x77, 0x77, 0x77, 0x77, 0x77, 0x77}));

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

}  // namespace
}  // namespace tavrin

namespace tavrin {
namespace {

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

TEST_F(PageWriters, SendOneSealedPageInOneRequest) {
  EXPECT_EQ(WriteIso15693Page(link, form), kResultOk);
  ASSERT_EQ(reader.received.size(), 1u);
  const ReaderFrame& sent = reader.received[0];
  const std::array<std::uint8_t, 10> head{0x00, 0xAA, 0xAA, 0xAA, 0x96,
                                          0x69, 0x00, 0x23, 0xE2, 0x05};
  EXPECT_TRUE(std::equal(head.begin(), head.end(), sent.begin()));
  EXPECT_TRUE(
      std::equal(sent.begin() + 10, sent.begin() + 42, AssembleIso15693Page(form).Bytes().begin()));
  EXPECT_EQ(sent[42], XorChecksum(sent.data() + 7, 35));
  EXPECT_TRUE(std::all_of(sent.begin() + 43, sent.end(), [](std::uint8_t b) { return b == 0; }));
  ASSERT_NE(reader.Page(PageNumber::Iso15693), nullptr);
}

TEST_F(PageWriters, EachWriterSendsItsOwnPageNumber) {
  EXPECT_EQ(WriteSystemPage(link, form), kResultOk);
  EXPECT_EQ(WriteTypeAPage(link, form), kResultOk);
  EXPECT_EQ(WriteTypeBPage(link, form), kResultOk);
  ASSERT_EQ(reader.received.size(), 3u);
  EXPECT_EQ(reader.received[0][9], 0);
  EXPECT_EQ(reader.received[1][9], 1);
  EXPECT_EQ(reader.received[2][9], 3);
  EXPECT_EQ(*reader.Page(PageNumber::TypeA), AssembleTypeAPage(form).Bytes());
}

TEST_F(PageWriters, RefusalsAndLinkFailuresFail) {
  reader.FailNext(ReaderCommand::WritePage, SimFault::Refuse(0x01));
  EXPECT_EQ(WriteSystemPage(link, form), kResultFailed);
  reader.FailNext(ReaderCommand::WritePage, SimFault::FailSend(5));
  EXPECT_EQ(WriteTypeBPage(link, form), kResultFailed);
  reader.FailNext(ReaderCommand::WritePage, SimFault::FailRead(5));
  EXPECT_EQ(WriteTypeAPage(link, form), kResultFailed);
  reader.unlocked = false;
  EXPECT_EQ(WriteIso15693Page(link, form), kResultFailed) << "a locked reader refuses";
}

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
