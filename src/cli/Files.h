// Files named on the command line. Names are UTF-8 on every system; on
// Windows they are opened by their wide names, so that a name outside the
// ANSI code page opens too.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace tavrin::cli {

// The file's bytes; false after telling err why it cannot be read.
bool ReadFile(const std::string& file, std::string& bytes, std::ostream& err);

// Writes text to the file, replacing it; false after telling err why it
// cannot be written, with no part-written file left behind.
bool WriteFile(const std::string& file, std::string_view text, std::ostream& err);

}  // namespace tavrin::cli
