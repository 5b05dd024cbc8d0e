// tavrin-reader on simulated readers, to try and show it without any:
// TAVRIN_DEMO_READERS of them (three unless set), each like the dialog
// demo's. Nothing is kept from one run to the next.
#include <cstdlib>
#include <iostream>
#include <string>

#include "cli/ReaderTool.h"
#include "sim/DemoReader.h"
#include "sim/SimHost.h"

int main(int argc, char** argv) {
  const char* count = std::getenv("TAVRIN_DEMO_READERS");
  const int readers = count != nullptr ? std::atoi(count) : 3;
  tavrin::SimHost host;
  for (int i = 0; i < readers; ++i) tavrin::demo::AddDemoReader(host);
  return tavrin::cli::RunReaderTool(argc, argv, host, std::cout, std::cerr);
}
