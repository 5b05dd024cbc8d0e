#include <gtest/gtest.h>

#include "reader/HidDevicePath.h"
#include "reader/PlatformHidHost.h"
#include "reader/ReaderLink.h"
#include "reader/Utf8.h"

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tavrin {
namespace {

TEST(DevicePath, IdentifiersComeFromTheInterfacePath) {
  const auto ids = IdsFromDevicePath(R"(\\?\HID#VID_046D&PID_C077&MI_00#x)");
  EXPECT_EQ(ids.value().vendorId, 0x046D);
  EXPECT_EQ(ids.value().productId, 0xC077);
  for (const char* path : {R"(\\?\hid#vid_10c4#x)", R"(\\?\hid#vid_10g4&pid_1009#x)",
                           "vid_10c4&pid_10", "hid1009#vid_10c4"})
    EXPECT_FALSE(IdsFromDevicePath(path)) << path;
}

// A serial number or a file's text may hold any character: A, é, €, 😀;
// a value past Unicode adds nothing.
TEST(Utf8, EveryLengthOfCharacterAndNothingBeyondUnicode) {
  std::string text;
  for (const char32_t c : {U'A', U'\u00E9', U'\u20AC', U'\U0001F600', char32_t{0x110000}})
    AppendUtf8(text, c);
  EXPECT_EQ(text, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

// Walks every listed device the way the product does; a reader that happens
// to be attached is closed again untouched.
TEST(PlatformHidHost, WalksTheRealDevicesAndSaysWhyAnOpenFailed) {
  const auto host = CreatePlatformHidHost();
  ReaderLink link{*host, FindReader(*host)};
  CloseReader(link);
  EXPECT_EQ(host->Open(R"(\\?\hid#vid_10c4&pid_1009#no-such-device)"), kInvalidHidHandle);
  EXPECT_NE(host->LastError(), 0);
  EXPECT_FALSE(host->IsPermissionError(host->LastError()));
  std::uint8_t report[kReportSize] = {};
  EXPECT_FALSE(host->SendOutputReport(kInvalidHidHandle, report));
  EXPECT_FALSE(host->GetInputReport(kInvalidHidHandle, report));
  host->Close(kInvalidHidHandle);  // a handle it never gave out: nothing to close
#ifdef __linux__
  // A user without the udev rule meets EACCES on the hidraw node; the host
  // must say so even though hidapi itself only reports a failure.
  const char* node = "/tmp/tavrin-hidraw-test";
  ASSERT_EQ(::close(::creat(node, 0)), 0);
  const bool asRoot = ::geteuid() == 0;
  const bool dropped = asRoot && ::seteuid(65534) == 0;  // root would open anything
  const HidHandle denied = host->Open(node);
  if (dropped && ::seteuid(0) != 0) ADD_FAILURE() << "cannot act as root again";
  ::unlink(node);
  if (asRoot && !dropped) GTEST_SKIP() << "cannot act as an ordinary user here";
  EXPECT_EQ(denied, kInvalidHidHandle);
  EXPECT_EQ(host->LastError(), EACCES);
  EXPECT_TRUE(host->IsPermissionError(host->LastError()));
#endif
}

}  // namespace
}  // namespace tavrin
