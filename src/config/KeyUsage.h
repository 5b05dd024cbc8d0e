// The keys a reader presses, as USB HID keyboard usages (usage page 7): how
// each platform numbers them in its key events, and what a US keyboard
// types for each. A reader presses the positions of a US keyboard; the
// computer's layout decides what they type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavrin {

using KeyUsage = std::uint8_t;

inline constexpr KeyUsage kUsageEnter = 0x28;
inline constexpr KeyUsage kUsageTab = 0x2B;
inline constexpr KeyUsage kUsageCapsLock = 0x39;
inline constexpr KeyUsage kUsagePageDown = 0x4E;
inline constexpr KeyUsage kUsageDown = 0x51;

// How a platform's key events number the physical keys.
enum class ScanCodes {
  None,    // not at all: Qt's offscreen platform, some remote sessions
  Evdev8,  // Linux, X11 and Wayland: the kernel's evdev code + 8
  Set1,    // Windows: scan code set 1, with 0x100 for the E0 (extended) prefix
};

struct ShiftState {
  bool shift = false;
  bool capsLock = false;
};

// One key press read both ways.
struct KeyReading {
  bool scanned = false;           // the platform gave a scan code
  std::optional<KeyUsage> usage;  // none: no scan code, or not a key a reader presses
  ShiftState state;
  // What a US keyboard types for it: its character, or for a key that types
  // none its name, "<Tab>"; empty for Shift, "<?>" without a usage.
  std::string pressed;
};

// The name of a key that types no character, "<Tab>"; empty for others.
std::string KeyName(KeyUsage usage);

bool IsShift(KeyUsage usage);

// A key event's scan code and native modifiers read as a US keyboard reads
// them: Shift and Caps Lock from the X11 state on Linux (Wayland's xkb masks
// put them at the same bits), from Qt's own mask on Windows.
KeyReading ReadKey(ScanCodes codes, std::uint32_t scanCode, std::uint32_t nativeModifiers);

}  // namespace tavrin
