// What the demo's simulated readers hold, for showing the effect of a
// command: each reader's pages, field by field as the dry run prints them.
#pragma once

#include <ostream>
#include <vector>

#include "sim/SimHost.h"

namespace tavrin::demo {

void PrintHeldPages(const std::vector<const SimReader*>& readers, std::ostream& out);

}  // namespace tavrin::demo
