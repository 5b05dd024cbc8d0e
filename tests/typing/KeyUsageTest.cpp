// The keys a reader presses, by each platform's scan codes, read as a US
// keyboard reads them (the dialog's test has the X11 keys it presses); and
// the command line's check, which has characters only.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/TypingCheck.h"
#include "config/KeyUsage.h"

namespace tavrin {
namespace {

using S = ScanCodes;

// X11: ShiftMask 0x1, LockMask 0x2. Windows, Qt's own mask: 0x1 and 0x2
// either Shift, 0x100 Caps Lock, 0x1000000 the extended flag.
TEST(KeyUsageTest, ScanCodesAndModifiersReadAsOnAUsKeyboard) {
  const struct {
    S codes;
    std::uint32_t scanCode, modifiers;
    int usage;  // -1: no key a reader presses
    const char* pressed;
  } kRows[] = {
      {S::Evdev8, 10, 0x1, 0x1E, "!"},       {S::Evdev8, 11, 0x2, 0x1F, "2"},
      {S::Evdev8, 38, 0x3, 0x04, "a"},       {S::Evdev8, 48, 0x1, 0x34, "\""},
      {S::Evdev8, 116, 0x0, 0x51, "<Down>"}, {S::Evdev8, 117, 0x0, 0x4E, "<PgDn>"},
      {S::Evdev8, 2, 0x0, -1, "<?>"},        {S::Set1, 0x02, 0x2, 0x1E, "!"},
      {S::Set1, 0x1E, 0x100, 0x04, "A"},     {S::Set1, 0x1E, 0x1000000, 0x04, "a"},
      {S::Set1, 0x29, 0x1, 0x35, "~"},       {S::Set1, 0x150, 0x0, 0x51, "<Down>"},
      {S::Set1, 0x50, 0x0, -1, "<?>"},       {S::Set1, 0x151, 0x0, 0x4E, "<PgDn>"},
      {S::Set1, 0x36, 0x0, 0xE5, ""},
  };
  for (const auto& row : kRows) {
    const KeyReading key = ReadKey(row.codes, row.scanCode, row.modifiers);
    EXPECT_EQ(key.usage ? *key.usage : -1, row.usage) << row.scanCode;
    EXPECT_EQ(key.pressed, row.pressed) << row.scanCode;
  }
  EXPECT_FALSE(ReadKey(S::None, 10, 0).scanned || ReadKey(S::Evdev8, 0, 0).scanned);
}

// Linux's event codes are set 1's scan codes on the main block, so both
// numberings read each of its keys alike.
TEST(KeyUsageTest, BothNumberingsAgreeOnTheMainBlock) {
  for (std::uint32_t code = 1; code < 0x59; ++code)
    EXPECT_EQ(ReadKey(S::Evdev8, code + 8, 0).pressed, ReadKey(S::Set1, code, 0).pressed) << code;
}

// Named keys, a byte that is no UTF-8 and a last line without its end.
TEST(KeyUsageTest, CommandLineCheckShowsCharactersOnly) {
  std::istringstream in("&Q\xC3\xA9\t\r\n\x1b[B\x1bOB\x1b[6~\x01\xE9x");
  std::ostringstream out;
  EXPECT_EQ(cli::TypingCheck(in, out), 0);
  const std::string shown = out.str();
  EXPECT_EQ(shown.substr(shown.find("\nreceived: ") + 1),
            "received: &Qé<Tab><Enter>\nreceived: <Down><Down><PgDn><0x01><0xE9>x\n"
            "2 lines received.\n");
}

}  // namespace
}  // namespace tavrin
