// tavrin-reader: configures readers from the command line, on the
// platform's own HID devices.
#include <iostream>

#include "cli/ReaderTool.h"
#include "reader/PlatformHidHost.h"

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);  // the reader's own text may be Latin-1
#endif
  const auto host = tavrin::CreatePlatformHidHost();
  return tavrin::cli::RunReaderTool(argc, argv, *host, std::cout, std::cerr);
}
