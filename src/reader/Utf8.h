// Text in UTF-8 from code points: a file's UTF-16, a reader's Latin-1, a USB
// string descriptor.
#pragma once

#include <string>

namespace tavrin {

// c encoded as UTF-8 at the end of out; nothing for a value beyond Unicode.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace tavrin
