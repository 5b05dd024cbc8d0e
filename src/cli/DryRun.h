// What apply would send, without a reader: the settings after the dialog's
// adjustments, the two pages field by field and the reports.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>

#include "config/Settings.h"

namespace tavrin::cli {

using PageBytes = std::array<std::uint8_t, kPageSize>;

void PrintDryRun(const Settings& settings, std::ostream& out);
void PrintDryRunJson(const Settings& settings, std::ostream& out);

// A page as the dry run prints it: its title and bytes, then field by field.
void PrintPage(PageNumber number, const PageBytes& page, std::ostream& out);

}  // namespace tavrin::cli
