// Starts a program as a child process and measures it up to the moment it
// reports its dialog shown, and its peak memory over the whole run.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavrin::bench {

struct ChildRun {
  double shownMs = 0;  // from spawning to "shown" on its standard output
  double peakRssMb = 0;
};

// nullopt when the program could not start or never showed its dialog.
std::optional<ChildRun> RunUntilShown(const std::vector<std::string>& command);

// The directory this benchmark's own executable lives in.
std::string OwnDirectory();

}  // namespace tavrin::bench
