// Settings files on disk, for the dialog and tavrin-reader alike. Names are
// UTF-8 on every system; on Windows they are opened by their wide names, so
// that a name outside the ANSI code page opens too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrin {

// A settings file is a few kilobytes; one chosen by mistake may be huge or
// endless (/dev/zero), so no more than this is ever read.
inline constexpr std::size_t kMaxSettingsFileBytes = std::size_t{1} << 20;

struct FileResult {
  std::string bytes;  // what was read
  std::string error;  // "cannot be read: it is a folder"; empty when it worked

  bool Failed() const { return !error.empty(); }
};

// The file's bytes, a pipe's too, up to kMaxSettingsFileBytes.
FileResult ReadSettingsBytes(const std::string& path);

// Writes text into a file beside path, then puts it in path's place, so
// that on any failure the old file stays whole. A device such as /dev/full
// is written as it is, and its failure told.
FileResult WriteSettingsText(const std::string& path, std::string_view text);

}  // namespace tavrin
