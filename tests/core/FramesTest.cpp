// The bytes on the wire and in a page: every request, the reply bytes the
// tool reads, and how a configuration page is laid out and sealed.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "config/ConfigPage.h"
#include "config/PageAssembly.h"

namespace tavrin {
namespace {

std::vector<std::uint8_t> Head(const ReaderFrame& frame, std::size_t count) {
  return {frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(count)};
}

bool AllFrom(const ReaderFrame& frame, std::size_t from, std::uint8_t value) {
  return std::all_of(frame.begin() + static_cast<std::ptrdiff_t>(from), frame.end(),
                     [value](std::uint8_t b) { return b == value; });
}

TEST(ReaderFrame, RequestsAreExactBytesOverWhatTheFrameHeld) {
  const std::pair<void (*)(ReaderFrame&), std::vector<std::uint8_t>> golden[] = {
      {BuildResetRequest, {0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00, 0x03, 0xE3, 0x84, 0x64}},
      {BuildInfoRequest, {0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00, 0x03, 0xF1, 0xFF, 0x0D}},
      {BuildCapabilityRequest, {0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00, 0x03, 0xE0, 0xFF, 0x1C}},
      {[](ReaderFrame& f) { BuildUnlockRequest(f); },
       {0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00, 0x06, 0xE1, 0x5B, 0x5B, 0x5B, 0x5B, 0xE7}},
  };
  for (const auto& [build, bytes] : golden) {
    ReaderFrame frame;
    frame.fill(0x77);  // a reply's tail stays as filler
    build(frame);
    EXPECT_EQ(Head(frame, bytes.size()), bytes);
    EXPECT_TRUE(AllFrom(frame, bytes.size(), 0x77));
  }
  ReaderFrame frame{};
  EXPECT_EQ(FrameBytes(frame).size(), 9u) << "a frame without a length still shows its command";
  BuildUnlockRequest(frame, {0x01, 0x02, 0x03, 0x04});
  EXPECT_EQ(frame[13], 0x06 ^ 0xE1 ^ 0x01 ^ 0x02 ^ 0x03 ^ 0x04);
}

TEST(ReaderFrame, WritePageCarriesNumberAndPageUnderOneChecksum) {
  std::array<std::uint8_t, 32> page{};
  for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i * 7 + 1);
  ReaderFrame frame{};
  BuildWritePageRequest(frame, 5, page);
  EXPECT_EQ(Head(frame, 10), (std::vector<std::uint8_t>{0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00,
                                                        0x23, 0xE2, 0x05}));
  EXPECT_TRUE(std::equal(page.begin(), page.end(), frame.begin() + 10));
  std::uint8_t expected = 0x23 ^ 0xE2 ^ 0x05;
  for (std::uint8_t b : page) expected ^= b;
  EXPECT_EQ(frame[42], expected);
  EXPECT_TRUE(AllFrom(frame, 43, 0x00));
}

TEST(ReaderReply, StatusTextAndCapabilitiesSitWhereTheReaderPutsThem) {
  ReaderFrame frame{};
  frame[10] = 0x01;
  EXPECT_EQ(ReplyStatus(frame, ReaderCommand::Info), 0x01);
  EXPECT_EQ(ReplyStatus(frame, ReaderCommand::Capability), 0x01);
  EXPECT_EQ(ReplyStatus(frame, ReaderCommand::Unlock), 0x00);
  frame[11] = 0x02;
  EXPECT_EQ(ReplyStatus(frame, ReaderCommand::Reset), 0x02);
  EXPECT_EQ(ReplyStatus(frame, ReaderCommand::WritePage), 0x02);

  frame = {};
  const std::string text = "READER V1";
  std::copy(text.begin(), text.end(), frame.begin() + 11);
  frame[11 + text.size() + 1] = 'X';  // after the terminator: not part of the text
  EXPECT_EQ(ReplyIdentification(frame), text);
  frame.fill('R');
  EXPECT_EQ(ReplyIdentification(frame), std::string(54, 'R'));

  frame = {};
  for (std::uint8_t i = 0; i < 6; ++i) frame[10 + i] = i == 0 || i == 5 ? 0xEE : i;
  EXPECT_EQ(ReplyCapabilities(frame), (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
}

// Each sealed page is held byte by byte by the DownLoad tests.
TEST(ConfigPage, FieldTablesTileEachPageInOrderAndIndexesAreBounded) {
  // Each page: its number of fields and of bytes they show.
  const std::tuple<PageNumber, std::size_t, std::size_t> pages[] = {{PageNumber::System, 12, 12},
                                                                    {PageNumber::TypeA, 26, 31},
                                                                    {PageNumber::TypeB, 22, 22},
                                                                    {PageNumber::Iso15693, 12, 12}};
  for (const auto& [number, count, shown] : pages) {
    const auto fields = FieldsOf(number);
    ASSERT_EQ(fields.size(), count);
    std::size_t nextFree = 0, bytes = 0;
    std::set<std::string> names;
    for (const PageFieldInfo& info : fields) {
      EXPECT_GE(info.offset, nextFree) << info.name;
      nextFree = info.offset + info.width;
      bytes += info.width;
      EXPECT_TRUE(names.insert(info.name).second) << info.name;
    }
    EXPECT_EQ(nextFree, kPageSize);
    EXPECT_EQ(bytes, shown);
  }
  EXPECT_EQ(FieldsOf(PageNumber::TypeB)[11].name, "sriMode");
  for (int n = 0; n < 8; ++n)
    EXPECT_EQ(IsConfigPageNumber(std::uint8_t(n)), n == 0 || n == 1 || n == 3 || n == 5) << n;
  EXPECT_FALSE(IsConfigPageNumber(255));
  EXPECT_EQ(MakePage(PageNumber::System).Bytes()[0], 0x1F);
}

}  // namespace
}  // namespace tavrin
