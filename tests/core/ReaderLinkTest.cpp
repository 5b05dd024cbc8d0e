#include <gtest/gtest.h>

#include <cerrno>

#include "reader/ReaderLink.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

constexpr std::uint16_t kMouseVendor = 0x046D;
constexpr std::uint16_t kMouseProduct = 0xC077;

struct Found {
  HidHandle handle;
  ReaderSearchReport report;
};

Found Search(SimHost& host) {
  Found found{};
  found.handle = FindReader(host, &found.report);
  return found;
}

TEST(FindReader, NoDevicesOrNoListGiveInvalidHandle) {
  SimHost host;
  EXPECT_EQ(FindReader(host), kInvalidHidHandle);
  host.AddReader();
  host.enumerationFails = true;
  const Found found = Search(host);
  EXPECT_EQ(found.handle, kInvalidHidHandle);
  EXPECT_FALSE(found.report.readerSeen);
}

TEST(FindReader, FirstOfTwoReadersWinsAndOthersAreClosed) {
  SimHost host;
  SimDevice& mouse = host.AddDevice(kMouseVendor, kMouseProduct);
  SimReader& first = host.AddReader();
  SimReader& second = host.AddReader();

  const Found found = Search(host);
  ASSERT_NE(found.handle, kInvalidHidHandle);
  EXPECT_TRUE(found.report.readerSeen);
  EXPECT_EQ(first.opens, 1);
  EXPECT_EQ(second.opens, 0);
  EXPECT_EQ(mouse.opens, 1);
  EXPECT_EQ(mouse.closes, 1);
  EXPECT_EQ(host.OpenHandles(), 1);
}

TEST(FindReader, UnopenableReaderIsSkippedForTheNextOne) {
  SimHost host;
  SimReader& locked = host.AddReader();
  locked.openError = EACCES;
  SimReader& usable = host.AddReader();

  ReaderLink link{host, FindReader(host)};
  ASSERT_TRUE(link.IsOpen());
  ReaderFrame frame{};
  BuildInfoRequest(frame);
  ASSERT_TRUE(ExchangeFrame(link, frame));
  EXPECT_TRUE(locked.received.empty());
  EXPECT_EQ(usable.received.size(), 1u);
}

TEST(FindReader, ReportsWhyTheOnlyReaderCouldNotBeOpened) {
  SimHost host;
  host.AddDevice(kMouseVendor, kMouseProduct).openError = EBUSY;
  host.AddReader().openError = EACCES;
  host.AddReader().openError = EBUSY;

  const Found found = Search(host);
  EXPECT_EQ(found.handle, kInvalidHidHandle);
  EXPECT_TRUE(found.report.readerSeen);
  EXPECT_TRUE(found.report.readerUnopenable);
  EXPECT_EQ(found.report.openError, EACCES);  // the first reader's reason
  EXPECT_TRUE(found.report.permissionDenied);
}

TEST(FindReader, UnopenableOtherDevicesLeaveReportEmpty) {
  SimHost host;
  host.AddDevice(kMouseVendor, kMouseProduct).openError = EACCES;
  SimReader& hidden = host.AddReader();
  hidden.openError = EACCES;
  hidden.idsKnownUnopened = false;  // nothing tells it is the reader
  const Found found = Search(host);
  EXPECT_EQ(found.handle, kInvalidHidHandle);
  EXPECT_FALSE(found.report.readerSeen);
  EXPECT_FALSE(found.report.readerUnopenable);
}

// One broken device must not hide a reader attached after it.
TEST(FindReader, UnreadableDevicesBeforeReaderAreSkipped) {
  SimHost host;
  SimDevice& noAttributes = host.AddDevice(kMouseVendor, kMouseProduct);
  noAttributes.attributesReadable = false;
  SimDevice& noDetails = host.AddDevice(kMouseVendor, kMouseProduct);
  noDetails.detailsReadable = false;
  SimReader& reader = host.AddReader();

  EXPECT_NE(FindReader(host), kInvalidHidHandle);
  EXPECT_EQ(reader.opens, 1);
  EXPECT_EQ(noAttributes.opens, 1);
  EXPECT_EQ(noAttributes.closes, 1);
  EXPECT_EQ(noDetails.opens, 0);
  EXPECT_EQ(host.OpenHandles(), 1);
}

TEST(FindReader, ReaderWithUnreadableAttributesIsNotTaken) {
  SimHost host;
  SimReader& reader = host.AddReader();
  reader.attributesReadable = false;
  EXPECT_EQ(FindReader(host), kInvalidHidHandle);
  EXPECT_EQ(reader.closes, 1);
  EXPECT_EQ(host.OpenHandles(), 0);
}

class ExchangeFrameTest : public ::testing::Test {
 protected:
  SimHost host;
  SimReader& reader = host.AddReader();
  ReaderLink link{host, FindReader(host)};
  ReaderFrame frame{};
};

TEST_F(ExchangeFrameTest, CloseReaderClosesOnceAndClosedLinkSendsNothing) {
  CloseReader(link);
  EXPECT_FALSE(link.IsOpen());
  CloseReader(link);
  EXPECT_EQ(reader.closes, 1);
  BuildInfoRequest(frame);
  EXPECT_FALSE(ExchangeFrame(link, frame));
  EXPECT_TRUE(reader.received.empty());
}

}  // namespace
}  // namespace tavrin
