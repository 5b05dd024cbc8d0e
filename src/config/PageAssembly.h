// Builds the reader's configuration pages from the form and writes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "config/ConfigPage.h"
#include "config/FormView.h"
#include "reader/ReaderLink.h"

namespace tavrin {

inline constexpr std::uint8_t kResultOk = 0;
inline constexpr std::uint8_t kResultFailed = 255;

// Appended to a key text shorter than twelve characters.
inline constexpr const char* kMifareKeyFiller = "777777777777";
inline constexpr std::size_t kMifareKeyChars = 12;

// Page contents as the form shows them now. The end-position lists of each
// card kind are moved up to their start lists when they lie below them, and
// the Mifare key text is normalised in place: that is what the reader gets.
ConfigPage AssembleSystemPage(const FormView& form);
ConfigPage AssembleTypeAPage(FormView& form);
ConfigPage AssembleTypeBPage(FormView& form);
ConfigPage AssembleIso15693Page(FormView& form);

// Each writer sends its page in one write-page request and returns kResultOk
// when the reader accepted it, kResultFailed otherwise. Without an open link
// the form is not read (nor changed).
std::uint8_t WriteSystemPage(ReaderLink& link, FormView& form);
std::uint8_t WriteTypeAPage(ReaderLink& link, FormView& form);
std::uint8_t WriteTypeBPage(ReaderLink& link, FormView& form);
std::uint8_t WriteIso15693Page(ReaderLink& link, FormView& form);

// Drops spaces and tabs, raises a-z to upper case and appends the filler
// when fewer than twelve characters remain.
void NormaliseMifareKey(std::string& keyText);

// True when the first twelve characters of the normalised key are
// hexadecimal digits; the text itself is left as typed.
bool IsValidMifareKey(std::string keyText);

// Converts length characters of text, two per byte, into out. Returns 0, or 1
// (nothing written) when the text is too short or length is odd.
std::uint8_t HexToBytes(std::string text, std::size_t length, std::uint8_t* out,
                        std::size_t& outCount);

// Any two characters give a byte: '0'-'9' and 'A'-'F' their values, others
// whatever the same digit rule makes of them, modulo 256.
std::uint8_t HexPairToByte(char first, char second);

}  // namespace tavrin
