// A text file's bytes as UTF-8, whichever way an editor or a shell saved
// it: UTF-8 with or without a byte-order mark, or UTF-16 with one (Windows
// PowerShell 5.1's ">" writes UTF-16LE).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

struct DecodedText {
  std::string utf8;   // the text, without its byte-order mark
  std::string error;  // why the bytes are no text; empty when they are
  // Where the error lies, counted in the decoded text from 1.
  std::uint32_t line = 1, column = 1;
};

// UTF-8 is passed on as it is (its own mistakes are the reader's to tell);
// UTF-16 is checked and converted.
DecodedText DecodeText(std::string_view bytes);

// Text as a terminal or a message shows it: control characters, a line end
// among them, become "?", so that a value can never split or rewrite a line.
std::string VisibleText(std::string_view utf8);

}  // namespace tavrin
