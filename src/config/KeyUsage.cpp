#include "config/KeyUsage.h"

#include <algorithm>
#include <iterator>

namespace tavrin {
namespace {

constexpr std::uint16_t kExtended = 0x100;  // set 1's E0 prefix
constexpr KeyUsage kUsageLeftShift = 0xE1;
constexpr KeyUsage kUsageRightShift = 0xE5;

struct KeyRow {
  KeyUsage usage;
  std::uint16_t evdev;  // Linux's input event code
  std::uint16_t set1;
  char plain, shifted;  // what a US keyboard types; 0 for a key that types none
  const char* name;     // the name of a key that types none but Shift
};

// clang-format off
const KeyRow kKeys[] = {
    {0x04, 30, 0x1E, 'a', 'A', nullptr}, {0x05, 48, 0x30, 'b', 'B', nullptr},
    {0x06, 46, 0x2E, 'c', 'C', nullptr}, {0x07, 32, 0x20, 'd', 'D', nullptr},
    {0x08, 18, 0x12, 'e', 'E', nullptr}, {0x09, 33, 0x21, 'f', 'F', nullptr},
    {0x0A, 34, 0x22, 'g', 'G', nullptr}, {0x0B, 35, 0x23, 'h', 'H', nullptr},
    {0x0C, 23, 0x17, 'i', 'I', nullptr}, {0x0D, 36, 0x24, 'j', 'J', nullptr},
    {0x0E, 37, 0x25, 'k', 'K', nullptr}, {0x0F, 38, 0x26, 'l', 'L', nullptr},
    {0x10, 50, 0x32, 'm', 'M', nullptr}, {0x11, 49, 0x31, 'n', 'N', nullptr},
    {0x12, 24, 0x18, 'o', 'O', nullptr}, {0x13, 25, 0x19, 'p', 'P', nullptr},
    {0x14, 16, 0x10, 'q', 'Q', nullptr}, {0x15, 19, 0x13, 'r', 'R', nullptr},
    {0x16, 31, 0x1F, 's', 'S', nullptr}, {0x17, 20, 0x14, 't', 'T', nullptr},
    {0x18, 22, 0x16, 'u', 'U', nullptr}, {0x19, 47, 0x2F, 'v', 'V', nullptr},
    {0x1A, 17, 0x11, 'w', 'W', nullptr}, {0x1B, 45, 0x2D, 'x', 'X', nullptr},
    {0x1C, 21, 0x15, 'y', 'Y', nullptr}, {0x1D, 44, 0x2C, 'z', 'Z', nullptr},
    {0x1E, 2, 0x02, '1', '!', nullptr},  {0x1F, 3, 0x03, '2', '@', nullptr},
    {0x20, 4, 0x04, '3', '#', nullptr},  {0x21, 5, 0x05, '4', '$', nullptr},
    {0x22, 6, 0x06, '5', '%', nullptr},  {0x23, 7, 0x07, '6', '^', nullptr},
    {0x24, 8, 0x08, '7', '&', nullptr},  {0x25, 9, 0x09, '8', '*', nullptr},
    {0x26, 10, 0x0A, '9', '(', nullptr}, {0x27, 11, 0x0B, '0', ')', nullptr},
    {kUsageEnter, 28, 0x1C, 0, 0, "Enter"},
    {kUsageTab, 15, 0x0F, 0, 0, "Tab"},
    {0x2C, 57, 0x39, ' ', ' ', nullptr},
    {0x2D, 12, 0x0C, '-', '_', nullptr}, {0x2E, 13, 0x0D, '=', '+', nullptr},
    {0x2F, 26, 0x1A, '[', '{', nullptr}, {0x30, 27, 0x1B, ']', '}', nullptr},
    {0x31, 43, 0x2B, '\\', '|', nullptr}, {0x33, 39, 0x27, ';', ':', nullptr},
    {0x34, 40, 0x28, '\'', '"', nullptr}, {0x35, 41, 0x29, '`', '~', nullptr},
    {0x36, 51, 0x33, ',', '<', nullptr}, {0x37, 52, 0x34, '.', '>', nullptr},
    {0x38, 53, 0x35, '/', '?', nullptr},
    {kUsageCapsLock, 58, 0x3A, 0, 0, "CapsLk"},
    {kUsagePageDown, 109, kExtended | 0x51, 0, 0, "PgDn"},
    {kUsageDown, 108, kExtended | 0x50, 0, 0, "Down"},
    {kUsageLeftShift, 42, 0x2A, 0, 0, nullptr},
    {kUsageRightShift, 54, 0x36, 0, 0, nullptr},
};
// clang-format on

const KeyRow* RowOf(KeyUsage usage) {
  const auto row = std::find_if(std::begin(kKeys), std::end(kKeys),
                                [usage](const KeyRow& key) { return key.usage == usage; });
  return row == std::end(kKeys) ? nullptr : row;
}

// Masks of Shift and Caps Lock in the native modifiers.
struct Modifiers {
  std::uint32_t shift, capsLock;
};

Modifiers ModifiersOf(ScanCodes codes) {
  switch (codes) {
    case ScanCodes::Evdev8:
      return {0x1, 0x2};  // ShiftMask, LockMask
    case ScanCodes::Set1:
      return {0x3, 0x100};  // either Shift; Caps Lock on
    case ScanCodes::None:
      break;
  }
  return {0, 0};
}

const KeyRow* RowOfScanCode(ScanCodes codes, std::uint32_t scanCode) {
  for (const KeyRow& key : kKeys) {
    if ((codes == ScanCodes::Evdev8 && scanCode == key.evdev + 8u) ||
        (codes == ScanCodes::Set1 && scanCode == key.set1))
      return &key;
  }
  return nullptr;
}

ShiftState ShiftStateOf(ScanCodes codes, std::uint32_t nativeModifiers) {
  const Modifiers masks = ModifiersOf(codes);
  return {(nativeModifiers & masks.shift) != 0, (nativeModifiers & masks.capsLock) != 0};
}

// A US keyboard's character for the key, or its name.
std::string UsReading(const KeyRow& key, ShiftState state) {
  if (key.plain == 0) return KeyName(key.usage);
  const bool letter = key.plain >= 'a' && key.plain <= 'z';
  const bool upper = letter ? state.shift != state.capsLock : state.shift;
  return std::string(1, upper ? key.shifted : key.plain);
}

}  // namespace

std::string KeyName(KeyUsage usage) {
  const KeyRow* key = RowOf(usage);
  if (key == nullptr || key->name == nullptr) return "";
  return std::string("<") + key->name + ">";
}

bool IsShift(KeyUsage usage) { return usage == kUsageLeftShift || usage == kUsageRightShift; }

KeyReading ReadKey(ScanCodes codes, std::uint32_t scanCode, std::uint32_t nativeModifiers) {
  KeyReading reading;
  reading.scanned = codes != ScanCodes::None && scanCode != 0;
  const KeyRow* key = reading.scanned ? RowOfScanCode(codes, scanCode) : nullptr;
  if (key != nullptr) reading.usage = key->usage;
  reading.state = ShiftStateOf(codes, nativeModifiers);
  reading.pressed = key != nullptr ? UsReading(*key, reading.state) : "<?>";
  return reading;
}

}  // namespace tavrin
