// What apply would send, without a reader: the settings after the dialog's
// adjustments, the two pages field by field and the reports.
#pragma once

#include <ostream>

#include "cli/SettingsForm.h"

namespace tavrin::cli {

void PrintDryRun(const SettingsForm& settings, std::ostream& out);
void PrintDryRunJson(const SettingsForm& settings, std::ostream& out);

}  // namespace tavrin::cli
