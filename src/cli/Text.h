// Text on its way out: for a terminal, and from the reader's own Latin-1.
// Everything else is UTF-8 from end to end; JSON strings are the JSON
// library's.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::cli {

// UTF-8 for a terminal, on one line: control characters show as "?".
std::string TerminalText(std::string_view utf8);

// The reader's text (Latin-1, any byte) as UTF-8 on one line: its line ends
// become spaces.
std::string ReaderText(std::string_view latin1);

}  // namespace tavrin::cli
