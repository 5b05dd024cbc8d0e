#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "reader/ReaderLink.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

class SimReaderTest : public ::testing::Test {
 protected:
  // One request on a cleared frame; the reply (or the request, on failure).
  ReaderFrame Send(void (*build)(ReaderFrame&)) {
    ReaderFrame frame{};
    build(frame);
    return Exchange(frame);
  }
  ReaderFrame Exchange(ReaderFrame frame) {
    exchanged = ExchangeFrame(link, frame);
    return frame;
  }
  ReaderFrame WritePage(std::uint8_t number, ConfigPage page) {
    page.Seal();
    ReaderFrame frame{};
    BuildWritePageRequest(frame, number, page.Bytes());
    return Exchange(frame);
  }
  std::uint8_t UnlockStatus() {
    return ReplyStatus(Send([](ReaderFrame& f) { BuildUnlockRequest(f); }), ReaderCommand::Unlock);
  }

  SimHost host;
  SimReader& reader = host.AddReader();
  ReaderLink link{host, FindReader(host)};
  bool exchanged = false;
};

TEST_F(SimReaderTest, MalformedRequestsAreRefusedAndIgnored) {
  const std::pair<std::size_t, std::uint8_t> corruptions[] = {{0, 0x01}, {2, 0xAB}, {5, 0x68},
                                                              {6, 0x01}, {7, 0x05}, {13, 0xE6}};
  for (const auto& [offset, value] : corruptions) {
    ReaderFrame request{};
    BuildUnlockRequest(request);
    request[offset] = value;
    const ReaderFrame reply = Exchange(request);
    EXPECT_EQ(ReplyStatus(reply, ReaderCommand::Unlock), kSimBadFrame) << offset;
  }
  EXPECT_FALSE(reader.unlocked);
  EXPECT_EQ(reader.received.size(), std::size(corruptions));
}

TEST_F(SimReaderTest, PagesAreStoredOnlyWhenUnlockedValidAndSealed) {
  ConfigPage page = MakePage(PageNumber::System);
  page.Set(PageField::cardFamily, kCardFamilyTypeB);
  EXPECT_EQ(ReplyStatus(WritePage(0, page), ReaderCommand::WritePage), kSimLocked);

  ReaderFrame wrongCode{};
  BuildUnlockRequest(wrongCode, {1, 2, 3, 4});
  EXPECT_EQ(ReplyStatus(Exchange(wrongCode), ReaderCommand::Unlock), kSimWrongCode);
  EXPECT_FALSE(reader.unlocked);

  ASSERT_EQ(UnlockStatus(), kSimOk);
  EXPECT_TRUE(reader.unlocked);
  EXPECT_EQ(ReplyStatus(WritePage(2, page), ReaderCommand::WritePage), kSimBadPageNumber);

  ReaderFrame unsealed{};
  BuildWritePageRequest(unsealed, PageNumber::System, page);  // never sealed
  EXPECT_EQ(ReplyStatus(Exchange(unsealed), ReaderCommand::WritePage), kSimBadPageChecksum);
  EXPECT_TRUE(reader.pages.empty());

  EXPECT_EQ(ReplyStatus(WritePage(0, page), ReaderCommand::WritePage), kSimOk);
  ASSERT_NE(reader.Page(PageNumber::System), nullptr);
  EXPECT_EQ((*reader.Page(PageNumber::System))[2], kCardFamilyTypeB);
  EXPECT_EQ(reader.Page(PageNumber::TypeA), nullptr);
}

TEST_F(SimReaderTest, ResetClearsUnlockButKeepsPages) {
  ASSERT_EQ(UnlockStatus(), kSimOk);
  WritePage(5, MakePage(PageNumber::Iso15693));
  EXPECT_EQ(ReplyStatus(Send(BuildResetRequest), ReaderCommand::Reset), kSimOk);
  EXPECT_FALSE(reader.unlocked);
  EXPECT_EQ(reader.resets, 1);
  EXPECT_NE(reader.Page(PageNumber::Iso15693), nullptr);
  EXPECT_EQ(ReplyStatus(WritePage(5, MakePage(PageNumber::Iso15693)), ReaderCommand::WritePage),
            kSimLocked);
}

// The same firmware behind another HID stack: what the host would read.
TEST_F(SimReaderTest, RespondAnswersAsThroughTheHost) {
  SimReader bare("bridge");
  ReaderFrame unlock{};
  BuildUnlockRequest(unlock);
  EXPECT_EQ(bare.Respond(unlock), Exchange(unlock));
  EXPECT_TRUE(bare.unlocked);
  ReaderFrame info{};
  BuildInfoRequest(info);
  EXPECT_EQ(ReplyIdentification(bare.Respond(info)), reader.identification);
  EXPECT_EQ(bare.received.size(), 2u);
  EXPECT_EQ(bare.reads, 2);
}

TEST_F(SimReaderTest, QueuedFaultsApplyOnceInOrder) {
  reader.FailNext(ReaderCommand::Unlock, SimFault::Refuse(0x42));
  reader.FailNext(ReaderCommand::Unlock, SimFault::FailRead(EIO));
  EXPECT_EQ(UnlockStatus(), 0x42);
  EXPECT_FALSE(reader.unlocked);
  UnlockStatus();
  EXPECT_FALSE(exchanged);
  EXPECT_EQ(host.LastError(), EIO);
  EXPECT_TRUE(reader.unlocked);  // the reader acted; only its answer was lost
  EXPECT_EQ(UnlockStatus(), kSimOk);
  EXPECT_EQ(reader.received.size(), 3u);
}

TEST(SimHost, ReaderThatComesBackIsFoundAgainAtTheEnd) {
  SimHost host;
  SimReader& first = host.AddReader();
  SimReader& second = host.AddReader();
  ReaderLink link{host, FindReader(host)};
  host.Unplug(first);
  EXPECT_FALSE(host.IsPlugged(first));
  CloseReader(link);
  EXPECT_EQ(host.Open(first.path), kInvalidHidHandle);
  EXPECT_EQ(host.LastError(), ENOENT);

  link.handle = FindReader(host);
  EXPECT_EQ(second.opens, 1);
  CloseReader(link);
  host.Plug(first);
  host.Plug(first);
  EXPECT_EQ(host.EnumerateInterfaces()->size(), 2u);
  link.handle = FindReader(host);
  EXPECT_EQ(second.opens, 2);
  EXPECT_EQ(first.opens, 1);
  CloseReader(link);
  EXPECT_EQ(first.closes + second.closes, 3);
  EXPECT_EQ(host.OpenHandles(), 0);
}

}  // namespace
}  // namespace tavrin
