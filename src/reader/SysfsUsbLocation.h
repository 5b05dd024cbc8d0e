// Where a Linux hidraw node's device is plugged in, read from sysfs: the
// USB device above the HID device, named as the kernel names it.
#pragma once

#include <filesystem>
#include <string>

namespace tavrin {

// "1-2.3" (bus 1, a hub on port 2, port 3 of that hub) for /dev/hidrawN,
// from the busnum and devpath of the nearest USB device above it in sysfs;
// empty when there is none (a device made through uhid, a Bluetooth or I2C
// one) or the node is no hidraw node. sysfs is where sysfs is mounted.
std::string UsbLocationOfHidraw(const std::string& node,
                                const std::filesystem::path& sysfs = "/sys");

}  // namespace tavrin
