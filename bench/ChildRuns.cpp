#include "ChildRuns.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

extern char** environ;

namespace tavrin::bench {
namespace {

using Clock = std::chrono::steady_clock;

// Reads the child's output until "shown" or end of file.
bool AwaitShown(int fd) {
  std::string seen;
  char buffer[64];
  ssize_t count = 0;
  while (seen.find("shown") == std::string::npos && (count = read(fd, buffer, sizeof buffer)) > 0) {
    seen.append(buffer, static_cast<std::size_t>(count));
  }
  return seen.find("shown") != std::string::npos;
}

}  // namespace

std::optional<ChildRun> RunUntilShown(const std::vector<std::string>& command) {
  int out[2];
  if (pipe(out) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  // Qt's start-up notes (no runtime directory and the like) are not ours.
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const Clock::time_point start = Clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return std::nullopt;
  }
  const bool shown = AwaitShown(out[0]);
  const Clock::time_point shownAt = Clock::now();
  close(out[0]);

  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !shown) return std::nullopt;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  ChildRun run;
  run.shownMs = std::chrono::duration<double, std::milli>(shownAt - start).count();
  run.peakRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
  return run;
}

std::string OwnDirectory() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

}  // namespace tavrin::bench
