// tavrin-reader: configures readers from the command line, on the
// platform's own HID devices.
#include <iostream>
#include <string>
#include <vector>

#include "cli/ReaderTool.h"
#include "reader/PlatformHidHost.h"

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs windows.h before it.
#include <shellapi.h>
#endif

namespace {

#ifdef _WIN32
// The command line in UTF-8. main's own arguments are in the ANSI code
// page, which cannot hold every file name.
std::vector<std::string> Arguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
    arg.pop_back();  // the terminator
    args.push_back(std::move(arg));
  }
  LocalFree(wide);
  return args;
}
#else
std::vector<std::string> Arguments(int argc, char** argv) { return {argv, argv + argc}; }
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);  // the reader's own text may be Latin-1
#endif
  const std::vector<std::string> args = Arguments(argc, argv);
  std::vector<const char*> pointers;
  for (const std::string& arg : args) pointers.push_back(arg.c_str());
  const auto host = tavrin::CreatePlatformHidHost();
  return tavrin::cli::RunReaderTool(static_cast<int>(pointers.size()), pointers.data(), *host,
                                    std::cout, std::cerr);
}
