// What apply would send, without a reader: the settings after the dialog's
// adjustments, the two pages field by field and the reports.
#pragma once

#include <ostream>

#include "config/Settings.h"

namespace tavrin::cli {

void PrintDryRun(const Settings& settings, std::ostream& out);
void PrintDryRunJson(const Settings& settings, std::ostream& out);

}  // namespace tavrin::cli
