// tavrin-reader: configures readers from the command line and from a
// settings file. The program's main passes the platform's HID host; tests
// and the demo pass a simulated one.
#pragma once

#include <ostream>

#include "cli/Watch.h"
#include "reader/HidHost.h"

namespace tavrin::cli {

// Runs the command line argv (argv[0] the program) against host; returns
// the exit status.
int RunReaderTool(int argc, const char* const* argv, HidHost& host, std::ostream& out,
                  std::ostream& err);

// The same, with apply --watch waiting through hooks of the caller's (tests
// need no real time).
int RunReaderTool(int argc, const char* const* argv, HidHost& host, std::ostream& out,
                  std::ostream& err, const WatchHooks& waiting);

}  // namespace tavrin::cli
