#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "reader/ReaderFrame.h"

namespace tavrin {
namespace {

std::vector<std::uint8_t> Head(const ReaderFrame& frame, std::size_t count) {
  return {frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(count)};
}

bool AllFrom(const ReaderFrame& frame, std::size_t from, std::uint8_t value) {
  return std::all_of(frame.begin() + static_cast<std::ptrdiff_t>(from), frame.end(),
                     [value](std::uint8_t b) { return b == value; });
}

TEST(ReaderFrame, FixedRequestsAreExactBytesWithZeroFiller) {
  struct Golden {
    void (*build)(ReaderFrame&);
    std::vector<std::uint8_t> bytes;
  };
  const Golden cases[] = {
      {BuildResetRequest, {0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00, 0x03, 0xE3, 0x84, 0x64}},
      {BuildInfoRequest, {0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00, 0x03, 0xF1, 0xFF, 0x0D}},
      {BuildCapabilityRequest, {0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00, 0x03, 0xE0, 0xFF, 0x1C}},
  };
  for (const Golden& golden : cases) {
    ReaderFrame frame{};
    golden.build(frame);
    EXPECT_EQ(Head(frame, 11), golden.bytes);
    EXPECT_TRUE(AllFrom(frame, 11, 0x00));
  }
}

TEST(ReaderFrame, UnlockCarriesAccessCodeAndChecksum) {
  ReaderFrame frame{};
  BuildUnlockRequest(frame);
  const std::vector<std::uint8_t> expected{0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00,
                                           0x06, 0xE1, 0x5B, 0x5B, 0x5B, 0x5B, 0xE7};
  EXPECT_EQ(Head(frame, 14), expected);
  EXPECT_TRUE(AllFrom(frame, 14, 0x00));

  BuildUnlockRequest(frame, {0x01, 0x02, 0x03, 0x04});
  EXPECT_EQ(frame[13], 0x06 ^ 0xE1 ^ 0x01 ^ 0x02 ^ 0x03 ^ 0x04);
}

TEST(ReaderFrame, WritePageChecksumCoversPageNumberAndWholePage) {
  std::array<std::uint8_t, 32> page{};
  for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i * 7 + 1);
  ReaderFrame frame{};
  BuildWritePageRequest(frame, 5, page.data());

  EXPECT_EQ(Head(frame, 10), (std::vector<std::uint8_t>{0x00, 0xAA, 0xAA, 0xAA, 0x96, 0x69, 0x00,
                                                        0x23, 0xE2, 0x05}));
  EXPECT_TRUE(std::equal(page.begin(), page.end(), frame.begin() + 10));
  EXPECT_EQ(frame[42], XorChecksum(&frame[7], 35));
  std::uint8_t expected = 0x23 ^ 0xE2 ^ 0x05;
  for (std::uint8_t b : page) expected ^= b;
  EXPECT_EQ(frame[42], expected);
  EXPECT_TRUE(AllFrom(frame, 43, 0x00));
}

TEST(ReaderFrame, RequestBuiltOverReplyKeepsReplyTailAsFiller) {
  ReaderFrame frame;
  frame.fill(0x77);
  BuildCapabilityRequest(frame);
  EXPECT_EQ(frame[0], 0x00);
  EXPECT_EQ(frame[10], 0x1C);
  EXPECT_TRUE(AllFrom(frame, 11, 0x77));

  frame.fill(0x77);
  BuildUnlockRequest(frame);
  EXPECT_EQ(frame[13], 0xE7);
  EXPECT_TRUE(AllFrom(frame, 14, 0x77));
}

TEST(ReaderReply, StatusSitsWhereEachCommandPutsIt) {
  ReaderFrame frame{};
  frame[10] = 0x01;
  EXPECT_EQ(ReplyStatus(frame, ReaderCommand::Info), 0x01);
  EXPECT_EQ(ReplyStatus(frame, ReaderCommand::Capability), 0x01);
  for (ReaderCommand command :
       {ReaderCommand::Unlock, ReaderCommand::WritePage, ReaderCommand::Reset}) {
    EXPECT_EQ(ReplyStatus(frame, command), 0x00);
  }
  frame[11] = 0x02;
  EXPECT_EQ(ReplyStatus(frame, ReaderCommand::Reset), 0x02);
}

TEST(ReaderReply, IdentificationEndsAtZeroOrAtReportEnd) {
  ReaderFrame frame{};
  EXPECT_EQ(ReplyIdentification(frame), "");

  const std::string text = "READER V1";
  std::copy(text.begin(), text.end(), frame.begin() + 11);
  frame[11 + text.size() + 1] = 'X';  // after the terminator: not part of the text
  EXPECT_EQ(ReplyIdentification(frame), text);

  frame.fill('R');
  frame[10] = 0;
  EXPECT_EQ(ReplyIdentification(frame), std::string(54, 'R'));
}

TEST(ReaderReply, CapabilitiesAreOffsetsElevenToFourteen) {
  ReaderFrame frame{};
  frame[10] = 0xEE;
  frame[11] = 0x01;
  frame[12] = 0x02;
  frame[13] = 0x03;
  frame[14] = 0x04;
  frame[15] = 0xEE;
  const auto flags = ReplyCapabilities(frame);
  EXPECT_EQ(flags, (std::array<std::uint8_t, 4>{0x01, 0x02, 0x03, 0x04}));
  EXPECT_TRUE(flags[0] & kFamilyTypeA);
  EXPECT_FALSE(flags[0] & kFamilyTypeB);
  EXPECT_FALSE(flags[1] & kKindMifare);
  EXPECT_TRUE(flags[1] & kKindUltraLight);
}

}  // namespace
}  // namespace tavrin
