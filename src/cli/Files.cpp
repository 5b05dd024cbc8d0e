#include "cli/Files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tavrin::cli {
namespace {

namespace fs = std::filesystem;

// The char8_t constructor takes the bytes as UTF-8 on Windows, and as
// they are elsewhere.
fs::path PathOf(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string ErrnoText() { return std::strerror(errno != 0 ? errno : EIO); }

}  // namespace

bool ReadFile(const std::string& file, std::string& bytes, std::ostream& err) {
  std::error_code ignored;
  if (fs::is_directory(PathOf(file), ignored)) {
    err << file << ": cannot be read: it is a folder\n";
    return false;
  }
  errno = 0;
  std::ifstream in(PathOf(file), std::ios::binary);
  std::ostringstream content;  // in one go: a file may be large
  if (in) content << in.rdbuf();
  bytes = std::move(content).str();
  if (!in.is_open() || in.bad()) {
    err << file << ": cannot be read: " << ErrnoText() << "\n";
    return false;
  }
  return true;
}

bool WriteFile(const std::string& file, std::string_view text, std::ostream& err) {
  errno = 0;
  std::ofstream out(PathOf(file));
  if (!out.is_open()) {
    err << file << ": cannot be written: " << ErrnoText() << "\n";
    return false;
  }
  out << text;
  out.close();
  if (!out.fail()) return true;
  err << file << ": cannot be written: " << ErrnoText() << "\n";
  // What was written of it is no settings file; a device such as
  // /dev/full is left alone.
  std::error_code ignored;
  if (fs::is_regular_file(PathOf(file), ignored)) fs::remove(PathOf(file), ignored);
  return false;
}

}  // namespace tavrin::cli
