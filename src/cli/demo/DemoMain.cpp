// tavrin-reader on simulated readers, to try and show it without any:
// TAVRIN_DEMO_READERS of them (three unless set), each like the dialog
// demo's. TAVRIN_DEMO_REFUSE=n makes the n-th (DEMO000n) refuse the unlock,
// as a reader with another access code does, so that a script's failure path
// can be tried. With TAVRIN_DEMO_PAGES=1, the pages each reader holds follow
// the command, on standard error so that standard output stays the
// program's. Nothing is kept from one run to the next.
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/ReaderTool.h"
#include "cli/demo/HeldPages.h"
#include "sim/DemoReader.h"
#include "sim/SimHost.h"

namespace {

constexpr int kMaxReaders = 99;
constexpr int kUsageStatus = 2;  // as tavrin-reader's own usage errors

// The variable's number, fallback when unset; nullopt, told, when it is not
// a whole number from low to high.
std::optional<int> EnvNumber(const char* name, int fallback, int low, int high) {
  const char* text = std::getenv(name);
  if (text == nullptr) return fallback;
  const std::string value = text;
  if (!value.empty() && value.size() <= 2 &&
      value.find_first_not_of("0123456789") == std::string::npos) {
    const int number = std::stoi(value);
    if (number >= low && number <= high) return number;
  }
  std::cerr << "tavrin-reader-demo: " << name << ": \"" << value << "\" is not a number from "
            << low << " to " << high << "\nNothing was sent to any reader.\n";
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<int> readers = EnvNumber("TAVRIN_DEMO_READERS", 3, 0, kMaxReaders);
  if (!readers) return kUsageStatus;
  const std::optional<int> refusing = EnvNumber("TAVRIN_DEMO_REFUSE", 0, 1, *readers);
  if (!refusing) return kUsageStatus;
  tavrin::SimHost host;
  std::vector<const tavrin::SimReader*> added;
  for (int i = 1; i <= *readers; ++i) {
    tavrin::SimReader& reader = tavrin::demo::AddDemoReader(host);
    if (i == *refusing)
      reader.FailAlways(tavrin::ReaderCommand::Unlock, tavrin::SimFault::Refuse());
    added.push_back(&reader);
  }
  const int status = tavrin::cli::RunReaderTool(argc, argv, host, std::cout, std::cerr);
  const char* pages = std::getenv("TAVRIN_DEMO_PAGES");
  if (pages != nullptr && std::string(pages) == "1") tavrin::demo::PrintHeldPages(added, std::cerr);
  return status;
}
