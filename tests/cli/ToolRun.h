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

// A standard output or error that takes nothing, as a full disk.
enum class FullStream { None, Out, Err };

// What the program told: its exit status, standard output and standard
// error, each followed by "|".
inline std::string RunTool(HidHost& host, const std::vector<std::string>& args,
                           FullStream full = FullStream::None) {
  std::vector<const char*> argv{"tavrin-reader"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  std::ostream broken(nullptr);  // no buffer: every write fails
  const int status =
      RunReaderTool(static_cast<int>(argv.size()), argv.data(), host,
                    full == FullStream::Out ? broken : out, full == FullStream::Err ? broken : err);
  return std::to_string(status) + "|" + out.str() + "|" + err.str() + "|";
}

// A file's path from its UTF-8 name, so that any name works on Windows too.
inline std::filesystem::path Utf8Path(const std::string& name) {
  return std::u8string(name.begin(), name.end());
}

// A settings file of that text in the working folder, the test's own build
// folder, by a name unique to the test so that tests run side by side; its
// full path in UTF-8, which starts with a slash on Linux.
inline std::string SettingsFile(const std::string& name, const std::string& text) {
  std::ofstream(Utf8Path(name), std::ios::binary) << text;
  const std::u8string path = std::filesystem::absolute(Utf8Path(name)).u8string();
  return std::string(path.begin(), path.end());
}

}  // namespace tavrin::cli
