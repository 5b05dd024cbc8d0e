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
