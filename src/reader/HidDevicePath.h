// Windows names a HID interface by a path that carries the device's USB
// identifiers ("\\?\hid#vid_10c4&pid_1009#..."), so they are known before
// the device is opened.
#pragma once

#include <optional>
#include <string_view>

#include "reader/HidHost.h"

namespace tavrin {

// The vid_XXXX and pid_XXXX of a device path, in either case; nullopt when
// either is missing or not four hex digits.
std::optional<HidAttributes> IdsFromDevicePath(std::string_view path);

}  // namespace tavrin
