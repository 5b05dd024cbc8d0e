// tavrin-reader: configures readers from the command line and from a
// settings file. The program's main passes the platform's HID host; tests
// and the demo pass a simulated one.
#pragma once

#include <ostream>

#include "reader/HidHost.h"

namespace tavrin::cli {

// Runs the command line argv (argv[0] the program) against host; returns
// the exit status.
int RunReaderTool(int argc, const char* const* argv, HidHost& host, std::ostream& out,
                  std::ostream& err);

}  // namespace tavrin::cli
