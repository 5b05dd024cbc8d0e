// The reader's configuration pages from the settings: a pure function of
// them, so the dialog, tavrin-reader and the tests assemble alike.
#pragma once

#include <array>
#include <span>

#include "config/ConfigPage.h"
#include "config/Settings.h"

namespace tavrin {

struct NumberedPage {
  PageNumber number;
  ConfigPage page;
};

// The two pages a DownLoad writes, sealed, in the order it writes them: the
// system page, then the chosen family's page. Give it Adjusted settings:
// what it is given is what the reader gets.
std::array<NumberedPage, 2> AssemblePages(const Settings& adjusted);

// The named fields of a page, in byte order, head and checksum included.
std::span<const PageFieldInfo> FieldsOf(PageNumber page);

// Any two characters give a byte: '0'-'9' and 'A'-'F' their values, others
// whatever the same digit rule makes of them, modulo 256.
std::uint8_t HexPairToByte(char first, char second);

}  // namespace tavrin
