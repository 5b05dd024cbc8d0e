#include "config/SettingsStore.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace tavrin {
namespace {

namespace fs = std::filesystem;

// The char8_t constructor takes the bytes as UTF-8 on Windows, and as they
// are elsewhere.
fs::path PathOf(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string ErrnoText() { return std::strerror(errno != 0 ? errno : EIO); }

FileResult Refused(const char* doing, const std::string& why) {
  return {"", std::string("cannot be ") + doing + ": " + why};
}

std::string TooLarge(const fs::path& path) {
  std::error_code unknown;
  const auto size = fs::is_regular_file(path, unknown) ? fs::file_size(path, unknown) : 0;
  const std::string amount =
      size > 0 ? std::to_string(size) : "more than " + std::to_string(kMaxSettingsFileBytes);
  return amount + " bytes is too large for a settings file";
}

bool WriteWhole(const fs::path& path, std::string_view text) {
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return !out.fail();
}

}  // namespace

FileResult ReadSettingsBytes(const std::string& name) {
  const fs::path path = PathOf(name);
  std::error_code ignored;
  if (fs::is_directory(path, ignored)) return Refused("read", "it is a folder");
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return Refused("read", ErrnoText());
  FileResult result;
  result.bytes.resize(kMaxSettingsFileBytes + 1);
  in.read(result.bytes.data(), static_cast<std::streamsize>(result.bytes.size()));
  if (in.bad()) return Refused("read", ErrnoText());
  result.bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (result.bytes.size() > kMaxSettingsFileBytes) return Refused("read", TooLarge(path));
  return result;
}

FileResult WriteSettingsText(const std::string& name, std::string_view text) {
  const fs::path path = PathOf(name);
  std::error_code ignored;
  const fs::file_type type = fs::status(path, ignored).type();
  if (type != fs::file_type::not_found && type != fs::file_type::regular) {
    if (WriteWhole(path, text)) return {};
    return Refused("written", type == fs::file_type::directory ? "it is a folder" : ErrnoText());
  }
  fs::path beside = path;
  beside += ".saving";
  if (!WriteWhole(beside, text)) {
    const FileResult failed = Refused("written", ErrnoText());
    if (fs::is_regular_file(beside, ignored)) fs::remove(beside, ignored);
    return failed;
  }
  std::error_code renamed;
  fs::rename(beside, path, renamed);
  if (!renamed) return {};
  fs::remove(beside, ignored);
  return Refused("written", renamed.message());
}

}  // namespace tavrin
