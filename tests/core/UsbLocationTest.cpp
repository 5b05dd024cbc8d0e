// The USB location of a hidraw node, read from a made-up sysfs laid out as
// the kernel lays out a reader behind a hub, and one made through uhid.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "reader/SysfsUsbLocation.h"

namespace tavrin {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << text;
}

// class/hidraw/<node> links to the node's folder below its HID device, and
// the node's "device" links up to that HID device, as in sysfs.
void AddNode(const fs::path& sysfs, const std::string& node, const fs::path& hidDevice) {
  const fs::path folder = sysfs / hidDevice / "hidraw" / node;
  fs::create_directories(folder);
  fs::create_directories(sysfs / "class/hidraw");
  fs::create_directory_symlink(folder, sysfs / "class/hidraw" / node);
  fs::create_directory_symlink("../..", folder / "device");
}

TEST(UsbLocation, IsTheBusAndPortPathOfTheUsbDeviceAboveTheNode) {
  const fs::path sysfs = fs::temp_directory_path() / "tavrin-sysfs-test";
  fs::remove_all(sysfs);
  const fs::path hub = "devices/pci0000:00/0000:00:14.0/usb1/1-2";
  Write(sysfs / "devices/pci0000:00/0000:00:14.0/usb1/busnum", "1\n");
  Write(sysfs / "devices/pci0000:00/0000:00:14.0/usb1/devpath", "0\n");
  Write(sysfs / hub / "busnum", "1\n");
  Write(sysfs / hub / "devpath", "2\n");
  Write(sysfs / hub / "1-2.3/busnum", "1\n");
  Write(sysfs / hub / "1-2.3/devpath", "2.3\n");
  AddNode(sysfs, "hidraw4", hub / "1-2.3/1-2.3:1.1/0003:10C4:1009.0007");
  AddNode(sysfs, "hidraw0", "devices/virtual/misc/uhid/0003:10C4:1009.0001");

  EXPECT_EQ(UsbLocationOfHidraw("/dev/hidraw4", sysfs), "1-2.3");
  EXPECT_EQ(UsbLocationOfHidraw("/dev/hidraw0", sysfs), "") << "uhid: no USB device above";
  EXPECT_EQ(UsbLocationOfHidraw("/dev/hidraw9", sysfs), "") << "no such node";
  EXPECT_EQ(UsbLocationOfHidraw("/dev/tty0", sysfs), "");
  fs::remove_all(sysfs);
}

}  // namespace
}  // namespace tavrin
