// tavrin-reader on simulated readers, to try and show it without any:
// TAVRIN_DEMO_READERS of them (three unless set), each like the dialog
// demo's. With TAVRIN_DEMO_PAGES=1, the pages each reader holds follow the
// command, on standard error so that standard output stays the program's.
// Nothing is kept from one run to the next.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/ReaderTool.h"
#include "cli/demo/HeldPages.h"
#include "sim/DemoReader.h"
#include "sim/SimHost.h"

int main(int argc, char** argv) {
  const char* count = std::getenv("TAVRIN_DEMO_READERS");
  const char* pages = std::getenv("TAVRIN_DEMO_PAGES");
  const int readers = count != nullptr ? std::atoi(count) : 3;
  tavrin::SimHost host;
  std::vector<const tavrin::SimReader*> added;
  for (int i = 0; i < readers; ++i) added.push_back(&tavrin::demo::AddDemoReader(host));
  const int status = tavrin::cli::RunReaderTool(argc, argv, host, std::cout, std::cerr);
  if (pages != nullptr && std::string(pages) == "1") tavrin::demo::PrintHeldPages(added, std::cerr);
  return status;
}
