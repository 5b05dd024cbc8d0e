#include "cli/Text.h"

#include "config/TextDecoding.h"
#include "reader/Utf8.h"

namespace tavrin::cli {

std::string TerminalText(std::string_view utf8) { return VisibleText(utf8); }

std::string ReaderText(std::string_view latin1) {
  std::string line;
  for (std::size_t at = 0; at < latin1.size(); ++at) {
    const bool lineEnd = latin1.substr(at, 2) == "\r\n";
    if (!lineEnd) line += latin1[at];
    if (lineEnd && at + 2 < latin1.size()) line += ' ';
    at += lineEnd ? 1 : 0;
  }
  return Latin1ToUtf8(line);
}

}  // namespace tavrin::cli
