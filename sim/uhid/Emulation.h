// The emulated readers of a test machine and the small control channel
// that tests command them through: a Unix socket that takes one command
// line per connection and answers with text.
//
//   setup N      exactly N readers, freshly made, in this order  -> ok
//   unplug I     reader I's devices destroyed                     -> ok
//   plug I       ... created again (its stored pages kept)        -> ok
//   status I     received=5 reads=5 resets=0 keyboard=0 commands=F1E0E1E2E2 plugged=1 open=1
//   pages I      one line per stored page: its number, its 32 bytes in hex
//   nodes I      the keyboard's and the own interface's hidraw nodes
//
// A reply that starts with "error:" means the command failed.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/uhid/UhidReader.h"

namespace tavrin {

inline constexpr const char* kEmulationSocket = "/run/tavrin-uhid.sock";

class Emulation {
 public:
  std::string Execute(const std::string& command);

  // Serves the readers and the control socket until the process ends;
  // returns only when the socket cannot be set up (with the reason).
  std::string Serve(const std::string& socketPath);

 private:
  std::string Setup(int count);
  std::string Status(const UhidReader& reader) const;
  std::string Pages(const UhidReader& reader) const;
  UhidReader* Reader(const std::string& index);
  void Answer(int listener);

  std::vector<std::unique_ptr<UhidReader>> readers_;
};

// One command to the emulation serving at socketPath; nullopt when it
// cannot be reached within a few seconds.
std::optional<std::string> AskEmulation(const std::string& command,
                                        const std::string& socketPath = kEmulationSocket);

}  // namespace tavrin
