// Runs tavrin-reader's command line in process against a HID host, with a
// settings file written for the test, and keeps what it printed.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
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

// This test program's own folder in the temporary folder, removed at exit,
// so that runs side by side do not share files.
inline const std::filesystem::path& ScratchFolder() {
  struct Folder {
    std::filesystem::path path;
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Folder folder{[] {
    const auto tag = std::to_string(std::random_device{}()) + "-" +
                     std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    auto path = std::filesystem::temp_directory_path() / ("tavrin-reader-tests-" + tag);
    std::filesystem::create_directories(path);
    return path;
  }()};
  return folder.path;
}

// A settings file of that text in the scratch folder; its path.
inline std::string SettingsFile(const std::string& name, const std::string& text) {
  const std::filesystem::path path = ScratchFolder() / name;
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

}  // namespace tavrin::cli
