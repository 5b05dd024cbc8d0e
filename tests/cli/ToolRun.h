// Runs tavrin-reader's command line in process against a HID host, with
// settings files written for the test.
#pragma once

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ReaderTool.h"

namespace tavrin::cli {

// What the program told: its exit status, standard output and standard error.
struct Told {
  int status;
  std::string out, err;
};

// out and err replace the test's own streams when given: a full one, or a pipe.
inline Told RunTool(HidHost& host, const std::vector<std::string>& args,
                    const WatchHooks& waiting = SystemWatchHooks(), std::ostream* out = nullptr,
                    std::ostream* err = nullptr) {
  std::vector<const char*> argv{"tavrin-reader"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream outText, errText;
  const int status = RunReaderTool(static_cast<int>(argv.size()), argv.data(), host,
                                   out ? *out : outText, err ? *err : errText, waiting);
  return {status, outText.str(), errText.str()};
}

// A file's path from its UTF-8 name, so that any name works on Windows too.
inline std::filesystem::path Utf8Path(const std::string& name) {
  return std::u8string(name.begin(), name.end());
}

inline std::string FileText(const std::string& name) {
  std::ifstream in(Utf8Path(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A settings file of that text in the working folder, the test's own build
// folder; its full path in UTF-8, which starts with a slash on Linux.
inline std::string SettingsFile(const std::string& name, const std::string& text) {
  std::ofstream(Utf8Path(name), std::ios::binary) << text;
  const std::u8string path = std::filesystem::absolute(Utf8Path(name)).u8string();
  return std::string(path.begin(), path.end());
}

}  // namespace tavrin::cli
