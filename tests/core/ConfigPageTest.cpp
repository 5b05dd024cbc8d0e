#include <gtest/gtest.h>

#include <set>
#include <string>

#include "config/ConfigPage.h"

namespace tavrin {
namespace {

std::array<std::uint8_t, kPageSize> Bytes(std::initializer_list<std::pair<int, std::uint8_t>> set) {
  std::array<std::uint8_t, kPageSize> bytes{};
  for (const auto& [offset, value] : set) bytes[static_cast<std::size_t>(offset)] = value;
  return bytes;
}

TEST(ConfigPage, NewPageHoldsOnlyHead) {
  ConfigPage page;
  EXPECT_EQ(page.Bytes(), Bytes({{0, 0x1F}}));
  page.Seal();
  EXPECT_EQ(page.Get(PageField::checksum), 0x1F);
  EXPECT_EQ(MakePage(PageNumber::TypeA).Bytes(), ConfigPage().Bytes());
}

TEST(ConfigPage, SystemPageExample) {
  ConfigPage page = MakePage(PageNumber::System);
  page.Set(PageField::cardFamily, kCardFamilyTypeA);
  page.Set(PageField::snrEnabled, 1);
  page.Set(PageField::snrEndKeyCount, 1);
  page.Seal();
  EXPECT_EQ(page.Bytes(),
            Bytes({{0, 0x1F}, {1, 0xFF}, {2, 0x01}, {16, 0x01}, {28, 0x01}, {31, 0xE1}}));
}

TEST(ConfigPage, Iso15693PageExample) {
  ConfigPage page = MakePage(PageNumber::Iso15693);
  page.Set(PageField::iCodeMode, kMode1);
  page.Set(PageField::iCodeEndByte, 3);
  page.Set(PageField::iCodeBlockEndKeyCount, 1);
  page.Set(PageField::iCodeDataEndKeyCount, 1);
  page.Seal();
  EXPECT_EQ(page.Bytes(), Bytes({{0, 0x1F}, {1, 1}, {5, 3}, {12, 1}, {14, 1}, {31, 0x1D}}));
}

TEST(ConfigPage, TypeBPageExample) {
  ConfigPage page = MakePage(PageNumber::TypeB);
  for (PageField field : {PageField::sr176Mode, PageField::sriMode, PageField::sr176EndByte,
                          PageField::sr176BlockEndKeyCount, PageField::sr176DataEndKeyCount,
                          PageField::sriBlockEndKeyCount, PageField::sriDataEndKeyCount}) {
    page.Set(field, 1);
  }
  page.Set(PageField::sriEndByte, 3);
  page.Seal();
  EXPECT_EQ(page.Get(PageField::checksum), 0x1D);
  EXPECT_EQ(page.Bytes(), Bytes({{0, 0x1F},
                                 {1, 1},
                                 {5, 1},
                                 {12, 1},
                                 {14, 1},
                                 {17, 1},
                                 {21, 3},
                                 {28, 1},
                                 {30, 1},
                                 {31, 0x1D}}));
}

TEST(ConfigPage, SealedPageXorsToZeroAndResealsUnchanged) {
  ConfigPage page = MakePage(PageNumber::TypeA);
  page.Set(PageField::mifareKeyType, kMifareKeyB);
  page.SetMifareKey({0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5});
  page.Set(PageField::ultraLightDataEndKeyCount, 10);
  page.Seal();
  EXPECT_EQ(XorChecksum(page.Bytes().data(), kPageSize), 0);
  const auto sealed = page.Bytes();
  page.Seal();
  EXPECT_EQ(page.Bytes(), sealed);
  EXPECT_EQ(sealed[9], 0x61);
  EXPECT_EQ(sealed[10], 0xA0);
  EXPECT_EQ(sealed[15], 0xA5);
  EXPECT_EQ(sealed[16], 0x00);
}

TEST(ConfigPage, SetByteOutsidePageIsIgnored) {
  ConfigPage page;
  page.SetByte(kPageSize, 0x55);
  EXPECT_EQ(page.Bytes(), ConfigPage().Bytes());
}

TEST(ConfigPage, FieldTablesTileEachPageInOrder) {
  const std::pair<PageNumber, std::size_t> pages[] = {{PageNumber::System, 12},
                                                      {PageNumber::TypeA, 26},
                                                      {PageNumber::TypeB, 22},
                                                      {PageNumber::Iso15693, 12}};
  for (const auto& [number, count] : pages) {
    const auto fields = FieldsOf(number);
    ASSERT_EQ(fields.size(), count);
    EXPECT_EQ(fields.front().field, PageField::head);
    EXPECT_EQ(fields.back().field, PageField::checksum);
    std::size_t nextFree = 0;
    std::set<std::string> names;
    for (const PageFieldInfo& info : fields) {
      const auto offset = static_cast<std::size_t>(info.field);
      EXPECT_GE(offset, nextFree) << info.name;
      nextFree = offset + info.width;
      EXPECT_TRUE(names.insert(info.name).second) << info.name;
    }
    EXPECT_EQ(nextFree, kPageSize);
  }
  EXPECT_STREQ(FieldsOf(PageNumber::TypeA)[9].name, "mifareKey");
  EXPECT_EQ(FieldsOf(PageNumber::TypeA)[9].width, 6);
  EXPECT_STREQ(FieldsOf(PageNumber::TypeB)[11].name, "sriMode");
}

TEST(ConfigPage, WritePageRequestCarriesNumberAndSealedPage) {
  ConfigPage page = MakePage(PageNumber::TypeB);
  page.Set(PageField::sriStartBlock, 127);
  page.Seal();
  ReaderFrame frame{};
  BuildWritePageRequest(frame, PageNumber::TypeB, page);
  EXPECT_EQ(frame[8], 0xE2);
  EXPECT_EQ(frame[9], 0x03);
  EXPECT_TRUE(std::equal(page.Bytes().begin(), page.Bytes().end(), frame.begin() + 10));
  EXPECT_EQ(frame[42], 0x23 ^ 0xE2 ^ 0x03);  // a sealed page XORs to zero
}

TEST(ConfigPage, PageNumbers) {
  for (int n = 0; n < 256; ++n) {
    const bool stored = n == 0 || n == 1 || n == 3 || n == 5;
    EXPECT_EQ(IsConfigPageNumber(static_cast<std::uint8_t>(n)), stored) << n;
  }
}

TEST(KeyCode, ListIndexMapsToUsageCode) {
  EXPECT_EQ(KeyCodeAt(0), 0x00);
  EXPECT_EQ(KeyCodeAt(1), 0x51);
  EXPECT_EQ(KeyCodeAt(2), 0x2B);
  EXPECT_EQ(KeyCodeAt(3), 0x28);
  EXPECT_EQ(KeyCodeAt(4), 0x4E);
  EXPECT_EQ(KeyCodeAt(5), 0x00);
  EXPECT_EQ(KeyCodeAt(-1), 0x00);
  EXPECT_STREQ(kKeyItemTexts[0], "<None>");
  EXPECT_STREQ(kKeyItemTexts[4], "PgDn");
}

}  // namespace
}  // namespace tavrin
