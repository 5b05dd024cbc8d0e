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
  std::string pressed;  // as a US keyboard reads it; "<?>" without a usage
};

// The usage of the key a platform numbers so, when a reader presses it.
std::optional<KeyUsage> UsageOfScanCode(ScanCodes codes, std::uint32_t scanCode);

// Shift and Caps Lock in a key event's native modifiers: the X11 state on
// Linux (Wayland's xkb masks put them at the same bits), Qt's own mask on
// Windows.
ShiftState ShiftStateOf(ScanCodes codes, std::uint32_t nativeModifiers);

// What a US keyboard types for usage: its character, or for a key that
// types none its name, "<Tab>"; empty for Shift, which types nothing alone.
std::string UsReading(KeyUsage usage, ShiftState state);

// The name of a key that types no character, "<Tab>"; empty for others.
std::string KeyName(KeyUsage usage);

bool IsShift(KeyUsage usage);

KeyReading ReadKey(ScanCodes codes, std::uint32_t scanCode, std::uint32_t nativeModifiers);

}  // namespace tavrin
