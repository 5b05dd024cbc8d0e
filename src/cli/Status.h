// How tavrin-reader ends: its exit statuses, told once for the code and for
// --help, and the failure that stops a command before or instead of its
// work, worded where it is found and printed once, by RunReaderTool.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace tavrin::cli {

enum ExitStatus : int {
  kExitDone = 0,
  kExitReaderFailed = 1,
  kExitUsage = 2,
  kExitNoReader = 3,
  kExitOutputLost = 4,
};

struct ExitStatusMeaning {
  ExitStatus status;
  const char* meaning;
};

inline constexpr std::array<ExitStatusMeaning, 5> kExitStatuses{{
    {kExitDone, "all done"},
    {kExitReaderFailed, "some reader refused, failed or could not be opened"},
    {kExitUsage, "usage or settings-file error; nothing was sent"},
    {kExitNoReader, "no reader found, or none could be opened"},
    {kExitOutputLost,
     "standard output or error could not be written, or template --output could not write its "
     "file: results are lost"},
}};

// Thrown by the command line's own logic. Each line names where it went
// wrong (the file, file:line:column, the option or the reader) and what;
// a usage failure ends with "Nothing was sent to any reader.".
struct Failure {
  ExitStatus status = kExitUsage;
  std::vector<std::string> lines;
};

[[noreturn]] inline void Fail(ExitStatus status, std::vector<std::string> lines) {
  throw Failure{status, std::move(lines)};
}

}  // namespace tavrin::cli
