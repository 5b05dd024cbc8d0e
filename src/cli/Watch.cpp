#include "cli/Watch.h"

#include <chrono>
#include <csignal>
#include <map>
#include <string>
#include <thread>

namespace tavrin::cli {
namespace {

volatile std::sig_atomic_t stopSignal = 0;

// The first Ctrl-C lets the reader at hand be finished; a second one ends
// the program at once.
void OnStopSignal(int signal) {
  stopSignal = 1;
  std::signal(signal, SIG_DFL);
}

// A listed reader that was handed over, or was no reader at all.
constexpr int kSettled = -1;

// What tells a reader apart from one look to the next.
std::string KeyOf(const ListedReader& reader) {
  if (reader.location.empty()) return "path\n" + reader.interfaces.front().path;
  return "usb\n" + reader.serial + "\n" + reader.location;
}

}  // namespace

WatchHooks SystemWatchHooks() {
  WatchHooks hooks;
  hooks.start = [] {
    stopSignal = 0;
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
  };
  hooks.stopRequested = [] { return stopSignal != 0; };
  hooks.pause = [] {
    for (int slice = 0; slice < 10 && stopSignal == 0; ++slice)
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
  };
  hooks.now = [] {
    const std::time_t now = std::time(nullptr);
    return *std::localtime(&now);
  };
  return hooks;
}

void WatchReaders(HidHost& host, const WatchHooks& hooks, int count,
                  const std::function<void(const OpenedReader&)>& visit) {
  if (hooks.start) hooks.start();
  int handed = 0;
  // The readers of the last look: settled, or how many looks failed to open them.
  std::map<std::string, int> known;
  const auto done = [&] { return hooks.stopRequested() || (count > 0 && handed >= count); };
  while (!done()) {
    std::map<std::string, int> listed;
    for (const ListedReader& reader : AttachedReaders(host)) {
      const std::string key = KeyOf(reader);
      const auto before = known.find(key);
      int& state = listed[key] = before == known.end() ? 0 : before->second;
      if (state == kSettled || done()) continue;
      const OpenedReader opened = OpenReader(host, reader);
      const bool settles = opened.Opened() || ++state >= kWatchOpenLooks;
      if (opened.isReader && settles) {
        ++handed;
        visit(opened);
      }
      if (!opened.isReader || settles) state = kSettled;
    }
    known = std::move(listed);
    if (!done()) hooks.pause();
  }
}

}  // namespace tavrin::cli
