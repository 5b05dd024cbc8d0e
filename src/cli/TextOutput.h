// Texts for a terminal and for JSON. The reader's own identification is
// Latin-1 and may hold any byte; the rest is ASCII.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::cli {

// UTF-8 for a terminal: "\r\n" becomes "\n", other control characters "?".
std::string TerminalText(std::string_view latin1);

// A JSON string literal, quotes included.
std::string JsonString(std::string_view latin1);

// The text on one line: line ends become spaces.
std::string OneLine(std::string_view text);

// The same two for text that is UTF-8 already (a serial number, a USB
// location): kept as it is, but for control characters.
std::string TerminalUtf8(std::string_view utf8);
std::string JsonUtf8String(std::string_view utf8);

}  // namespace tavrin::cli
