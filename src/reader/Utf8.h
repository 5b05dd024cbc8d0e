// Text in UTF-8 from code points: a file's UTF-16, a reader's Latin-1, a USB
// string descriptor.
#pragma once

#include <string>
#include <string_view>

namespace tavrin {

// c encoded as UTF-8 at the end of out; nothing for a value beyond Unicode.
void AppendUtf8(std::string& out, char32_t c);

// Latin-1 text, any byte, as UTF-8.
std::string Latin1ToUtf8(std::string_view latin1);

}  // namespace tavrin
