// Runs tavrin-reader's command line in process against a HID host, with a
// settings file written for the test, and keeps what it printed.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ReaderTool.h"

namespace tavrin::cli {

struct ToolRun {
  int status = -1;
  std::string out, err;
};

inline ToolRun RunTool(HidHost& host, const std::vector<std::string>& args) {
  std::vector<const char*> argv{"tavrin-reader"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  ToolRun run;
  run.status = RunReaderTool(static_cast<int>(argv.size()), argv.data(), host, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// A settings file of that text in the temporary folder; its path.
inline std::string SettingsFile(const std::string& name, const std::string& text) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / name;
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

}  // namespace tavrin::cli
