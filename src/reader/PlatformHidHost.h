// The HID host of the platform the program runs on.
#pragma once

#include <memory>

#include "reader/HidHost.h"

namespace tavrin {

// hidapi on Linux and macOS, the HID class driver on Windows. Never a
// simulated reader: the simulator is for tests and the demo only.
std::unique_ptr<HidHost> CreatePlatformHidHost();

}  // namespace tavrin
