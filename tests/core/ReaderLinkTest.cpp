// FindReader's rules over the simulated host's devices.
#include <gtest/gtest.h>

#include <cerrno>

#include "reader/ReaderLink.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

constexpr std::uint16_t kMouseVendor = 0x046D;
constexpr std::uint16_t kMouseProduct = 0xC077;

// One broken device must not hide a reader attached after it.
TEST(FindReader, FirstReaderAfterAnyBrokenDeviceWinsAndTheRestAreClosed) {
  SimHost host;
  SimDevice& mouse = host.AddDevice(kMouseVendor, kMouseProduct);
  SimDevice& noAttributes = host.AddDevice(kMouseVendor, kMouseProduct);
  noAttributes.attributesReadable = false;
  host.AddDevice(kMouseVendor, kMouseProduct).detailsReadable = false;
  SimReader& first = host.AddReader();
  SimReader& second = host.AddReader();

  ReaderSearchReport report;
  EXPECT_NE(FindReader(host, &report), kInvalidHidHandle);
  EXPECT_TRUE(report.readerSeen);
  EXPECT_EQ(first.opens, 1);
  EXPECT_EQ(second.opens, 0);
  EXPECT_EQ(mouse.closes, 1);
  EXPECT_EQ(noAttributes.closes, 1);
  EXPECT_EQ(host.OpenHandles(), 1);
}

TEST(FindReader, AnUnopenableReaderIsSkippedAndTheFirstOnesReasonReported) {
  SimHost host;
  host.AddDevice(kMouseVendor, kMouseProduct).openError = EBUSY;
  host.AddReader().openError = EACCES;
  SimReader& next = host.AddReader();
  EXPECT_NE(FindReader(host), kInvalidHidHandle);
  EXPECT_EQ(next.opens, 1);

  next.openError = EBUSY;
  ReaderSearchReport report;
  EXPECT_EQ(FindReader(host, &report), kInvalidHidHandle);
  EXPECT_TRUE(report.readerSeen);
  EXPECT_TRUE(report.readerUnopenable);
  EXPECT_EQ(report.openError, EACCES);
  EXPECT_TRUE(report.permissionDenied);
}

TEST(FindReader, TakesNoReaderItCannotConfirmNorAnyFromAHostWithoutAList) {
  SimHost host;
  host.AddDevice(kMouseVendor, kMouseProduct).openError = EACCES;
  SimReader& hidden = host.AddReader();
  hidden.idsKnownUnopened = false;  // nothing tells it is the reader but its attributes
  hidden.attributesReadable = false;
  ReaderSearchReport report;
  EXPECT_EQ(FindReader(host, &report), kInvalidHidHandle);
  EXPECT_FALSE(report.readerSeen);
  EXPECT_FALSE(report.readerUnopenable);
  EXPECT_EQ(hidden.closes, 1);
  EXPECT_EQ(host.OpenHandles(), 0);

  hidden.attributesReadable = true;
  host.enumerationFails = true;
  EXPECT_EQ(FindReader(host), kInvalidHidHandle);
}

}  // namespace
}  // namespace tavrin
