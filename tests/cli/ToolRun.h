// Runs tavrin-reader's command line in process against a HID host, with
// settings files written for the test.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ReaderTool.h"

namespace tavrin::cli {

// What the program told: its exit status, standard output and standard
// error, each followed by "|".
inline std::string RunTool(HidHost& host, const std::vector<std::string>& args) {
  std::vector<const char*> argv{"tavrin-reader"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  const int status = RunReaderTool(static_cast<int>(argv.size()), argv.data(), host, out, err);
  return std::to_string(status) + "|" + out.str() + "|" + err.str() + "|";
}

// A settings file of that text in the working folder, the test's own build
// folder, by a name unique to the test so that tests run side by side; its
// full path, which starts with a slash on Linux.
inline std::string SettingsFile(const std::string& name, const std::string& text) {
  std::ofstream(name, std::ios::binary) << text;
  return std::filesystem::absolute(name).string();
}

}  // namespace tavrin::cli
