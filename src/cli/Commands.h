// The commands of tavrin-reader. Each returns the program's exit status or
// throws a Failure; results go to out, what went wrong to err.
#pragma once

#include <ostream>
#include <string>

#include "cli/Readers.h"
#include "cli/Status.h"
#include "cli/Watch.h"
#include "reader/HidHost.h"

namespace tavrin::cli {

struct ApplyOptions {
  std::string file;
  ReaderScope scope;
  bool dryRun = false;
  bool json = false;
  bool watch = false;  // configure each reader once as it arrives
  int count = 0;       // with watch: stop after this many readers; 0 never
  WatchHooks waiting = SystemWatchHooks();
};

ExitStatus ListReaders(HidHost& host, bool json, std::ostream& out, std::ostream& err);
ExitStatus ShowInfo(HidHost& host, const ReaderScope& scope, bool json, std::ostream& out,
                    std::ostream& err);
// To out, or as UTF-8 into file when one is named.
ExitStatus PrintTemplate(const std::string& file, std::ostream& out);
ExitStatus ApplySettings(HidHost& host, const ApplyOptions& options, std::ostream& out,
                         std::ostream& err);
ExitStatus ResetReaders(HidHost& host, const ReaderScope& scope, bool json, std::ostream& out,
                        std::ostream& err);

}  // namespace tavrin::cli
