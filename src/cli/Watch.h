// Waiting for readers, for apply --watch: the device list is looked at a
// few times a second, and each reader that is plugged in is handed over
// once. The clock, the pause and the stop come from outside, so that tests
// need no real time.
#pragma once

#include <ctime>
#include <functional>

#include "cli/Readers.h"
#include "reader/HidHost.h"

namespace tavrin::cli {

struct WatchHooks {
  std::function<void()> start;          // when the waiting begins
  std::function<bool()> stopRequested;  // true once the watch is to end
  std::function<void()> pause;          // between two looks at the device list
  std::function<std::tm()> now;         // the local time, for the lines
};

// The system's: start catches Ctrl-C (SIGINT) and SIGTERM, which request
// the stop; a pause lasts a quarter of a second, less when a stop comes.
WatchHooks SystemWatchHooks();

// A reader that is listed but does not open (its node not yet made, or
// not yet opened to the user) is tried again at this many looks before it
// is told as unopenable.
inline constexpr int kWatchOpenLooks = 8;

// Hands each reader that arrives to visit, once: opened, or, after
// kWatchOpenLooks looks that did not open it, unopened. The readers attached
// at the start arrive at the first look. A reader that stays is not handed
// over again; one that is missing at a look and comes back is. Ends when the
// stop is requested, or after count readers when count is above 0.
void WatchReaders(HidHost& host, const WatchHooks& hooks, int count,
                  const std::function<void(const OpenedReader&)>& visit);

}  // namespace tavrin::cli
