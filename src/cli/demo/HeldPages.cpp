#include "cli/demo/HeldPages.h"

#include "cli/DryRun.h"
#include "cli/Readers.h"

namespace tavrin::demo {

void PrintHeldPages(const std::vector<const SimReader*>& readers, std::ostream& out) {
  for (const SimReader* reader : readers) {
    out << "\n"
        << cli::ReaderName({reader->path, reader->serial, reader->location, ""}) << " now holds ";
    if (reader->pages.empty()) {
      out << "no configuration page.\n";
      continue;
    }
    out << "these configuration pages:\n";
    for (const auto& [number, page] : reader->pages)
      cli::PrintPage(static_cast<PageNumber>(number), page, out);
  }
}

}  // namespace tavrin::demo
