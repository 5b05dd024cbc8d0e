// The simulated reader, which every other test takes at its word: what its
// firmware refuses and stores, how faults play out, where a re-plugged
// reader is listed.
#include <gtest/gtest.h>

#include <cerrno>
#include <utility>

#include "reader/ReaderLink.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

ReaderFrame Request(void (*build)(ReaderFrame&)) {
  ReaderFrame frame{};
  build(frame);
  return frame;
}

void Unlock(ReaderFrame& frame) { BuildUnlockRequest(frame); }

struct SimReaderTest : ::testing::Test {
  // The reply's status, or -1 when no reply was read.
  int Status(ReaderFrame request) {
    // The reply names the command it answers where the request did.
    if (!ExchangeFrame(link, request)) return -1;
    return ReplyStatus(request, static_cast<ReaderCommand>(request[kCommandOffset]));
  }
  int Write(std::uint8_t number, const ConfigPage& page) {
    ReaderFrame request{};
    BuildWritePageRequest(request, number, page.Bytes());
    return Status(request);
  }

  SimHost host;
  SimReader& reader = host.AddReader();
  ReaderLink link{host, FindReader(host)};
};

TEST_F(SimReaderTest, StoresSealedPagesOnlyWhileUnlockedAndRefusesTheRest) {
  const std::pair<std::size_t, std::uint8_t> corruptions[] = {{0, 0x01}, {2, 0xAB}, {5, 0x68},
                                                              {6, 0x01}, {7, 0x05}, {13, 0xE6}};
  for (const auto& [offset, value] : corruptions) {
    ReaderFrame request = Request(Unlock);
    request[offset] = value;
    EXPECT_EQ(Status(request), kSimBadFrame) << offset;
  }
  ConfigPage page = MakePage(PageNumber::System);
  EXPECT_EQ(Write(0, page), kSimLocked);

  ASSERT_EQ(Status(Request(Unlock)), kSimOk);
  EXPECT_EQ(Write(2, page), kSimBadPageNumber);
  EXPECT_EQ(Write(0, page), kSimBadPageChecksum);  // not sealed yet
  EXPECT_TRUE(reader.pages.empty());
  page.Seal();
  EXPECT_EQ(Write(0, page), kSimOk);
  EXPECT_EQ(*reader.Page(PageNumber::System), page.Bytes());

  EXPECT_EQ(Status(Request(BuildResetRequest)), kSimOk);
  EXPECT_EQ(Write(0, page), kSimLocked);
}

TEST_F(SimReaderTest, QueuedFaultsApplyOnceInOrder) {
  reader.FailNext(ReaderCommand::Unlock, SimFault::Refuse(0x42));
  reader.FailNext(ReaderCommand::Unlock, SimFault::FailRead(EIO));
  EXPECT_EQ(Status(Request(Unlock)), 0x42);
  EXPECT_FALSE(reader.unlocked);
  EXPECT_EQ(Status(Request(Unlock)), -1);
  EXPECT_EQ(Status(Request(Unlock)), kSimOk);
}

// The same firmware behind another HID stack.
TEST(SimReader, RespondAnswersAsTheFirmware) {
  SimReader bare("bridge");
  EXPECT_EQ(bare.Respond(Request(Unlock)), SimReply(0xE1, kSimOk));
  EXPECT_EQ(bare.received.size(), 1u);
}

TEST_F(SimReaderTest, AReaderPluggedBackIsListedLast) {
  SimReader& second = host.AddReader();
  host.Unplug(reader);
  host.Plug(reader);
  EXPECT_NE(FindReader(host), kInvalidHidHandle);
  EXPECT_EQ(second.opens, 1);
}

}  // namespace
}  // namespace tavrin
