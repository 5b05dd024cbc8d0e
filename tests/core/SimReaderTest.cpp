// The simulated reader, which every other test takes at its word: what its
// firmware refuses and stores.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tavrin
