// The bytes on the wire: every request, over whatever the frame held.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "config/ConfigPage.h"

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

}  // namespace
}  // namespace tavrin
