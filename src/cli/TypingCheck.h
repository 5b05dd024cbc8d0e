// tavrin-reader typing-check: what the reader types, as this computer's
// terminal receives it. A terminal passes on characters, not the keys that
// made them, so it cannot tell which keys the reader pressed, nor what the
// keyboard layout changed; it says so, and points to the dialog's check.
#pragma once

#include <istream>
#include <ostream>

namespace tavrin::cli {

inline constexpr const char* kTypingCheckHelp =
    "Show what the reader types, line by line, as this terminal receives it (characters only: "
    "the dialog's \"Typing check...\" also shows the keys the reader pressed)";

// Reads in until its end, showing each line on out as it arrives, keys that
// type no character by name ("<Tab>"). Returns the exit status, 0: a failed
// out is the caller's to report.
int TypingCheck(std::istream& in, std::ostream& out);

}  // namespace tavrin::cli
