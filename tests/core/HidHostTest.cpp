#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "reader/HidDevicePath.h"
#include "reader/PlatformHidHost.h"
#include "reader/ReaderLink.h"

#ifdef __linux__
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tavrin {
namespace {

TEST(DevicePath, IdentifiersComeFromTheInterfacePath) {
  const auto ids =
      IdsFromDevicePath(R"(\\?\hid#vid_10c4&pid_1009#7&1a2b3c4d&0&0000#{4d1e55b2-f16f-11cf-88cb})");
  ASSERT_TRUE(ids);
  EXPECT_EQ(ids->vendorId, kReaderVendorId);
  EXPECT_EQ(ids->productId, kReaderProductId);
  EXPECT_EQ(IdsFromDevicePath(R"(\\?\HID#VID_046D&PID_C077&MI_00#x)")->productId, 0xC077);
  EXPECT_FALSE(IdsFromDevicePath(R"(\\?\hid#vid_10c4#x)"));
  EXPECT_FALSE(IdsFromDevicePath(R"(\\?\hid#vid_10g4&pid_1009#x)"));
  EXPECT_FALSE(IdsFromDevicePath("vid_10c4&pid_10"));
  EXPECT_FALSE(IdsFromDevicePath("/dev/hidraw0"));
}

TEST(PlatformHidHost, MissingPathFailsWithoutPermissionProblem) {
  const auto host = CreatePlatformHidHost();
  ASSERT_TRUE(host);
  EXPECT_TRUE(host->EnumerateInterfaces().has_value());
  EXPECT_EQ(host->Open(R"(\\?\hid#vid_10c4&pid_1009#no-such-device)"), kInvalidHidHandle);
  EXPECT_NE(host->LastError(), 0);
  EXPECT_FALSE(host->IsPermissionError(host->LastError()));
  std::uint8_t report[kReportSize] = {};
  EXPECT_FALSE(host->SendOutputReport(kInvalidHidHandle, report));
  EXPECT_FALSE(host->GetInputReport(kInvalidHidHandle, report));
  host->Close(kInvalidHidHandle);
}

// Walks every listed device the way the product does; a reader that happens
// to be attached is closed again untouched.
TEST(PlatformHidHost, SearchOverRealDevicesEndsCleanly) {
  const auto host = CreatePlatformHidHost();
  const auto interfaces = host->EnumerateInterfaces();
  ASSERT_TRUE(interfaces);
  for (const HidInterface& device : *interfaces) {
    EXPECT_TRUE(!device.detailsReadable || !device.path.empty());
  }
  ReaderLink link{*host, FindReader(*host)};
  CloseReader(link);
  EXPECT_FALSE(link.IsOpen());
}

#ifdef __linux__
// A user without the udev rule meets EACCES on the hidraw node; the host
// must say so even though hidapi itself only reports a failure.
TEST(PlatformHidHost, DeniedOpenIsAPermissionError) {
  const std::filesystem::path node = std::filesystem::temp_directory_path() / "tavrin-hidraw-test";
  std::ofstream(node).put('x');
  ASSERT_EQ(::chmod(node.c_str(), 0), 0);
  const auto host = CreatePlatformHidHost();
  const bool asRoot = ::geteuid() == 0;
  const bool dropped = asRoot && ::seteuid(65534) == 0;  // root would open anything
  const HidHandle handle = host->Open(node.string());
  const int error = host->LastError();
  if (dropped) {
    EXPECT_EQ(::seteuid(0), 0);
  }
  std::filesystem::remove(node);
  if (asRoot && !dropped) GTEST_SKIP() << "cannot act as an ordinary user here";
  EXPECT_EQ(handle, kInvalidHidHandle);
  EXPECT_EQ(error, EACCES);
  EXPECT_TRUE(host->IsPermissionError(error));
}
#endif

}  // namespace
}  // namespace tavrin
