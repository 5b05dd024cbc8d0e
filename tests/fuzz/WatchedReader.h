// A simulated reader whose every answer the fuzz script chooses, with a log
// of what the dialog sent and what it got back.
#pragma once

#include <cstdint>
#include <vector>

#include "FuzzScript.h"
#include "reader/ReaderFrame.h"
#include "sim/SimHost.h"

namespace tavrin::fuzz {

// One request that reached the reader, and its reply if the dialog read one.
struct Exchange {
  ReaderFrame request{};
  bool byFirmware = false;  // the simulated firmware acted and answered
  bool answered = false;    // the reply was read
  ReaderFrame reply{};

  ReaderCommand Command() const { return static_cast<ReaderCommand>(request[kCommandOffset]); }
  std::uint8_t PageNumber() const { return request[kDataOffset]; }
  const std::uint8_t* Page() const { return &request[kDataOffset + 1]; }
  bool Accepted() const { return answered && ReplyStatus(reply, Command()) == 0; }
};

class WatchedReader {
 public:
  explicit WatchedReader(FuzzScript& script);
  WatchedReader(const WatchedReader&) = delete;
  WatchedReader& operator=(const WatchedReader&) = delete;

  SimHost host;
  SimReader& reader;
  std::vector<Exchange> log;

  // Unplugs the reader, or plugs it back in when it is gone.
  void ToggleUnplug();
  // Handles the reader gave out and has not had back.
  int OpenCount() const { return reader.opens - reader.closes; }
};

// Why request is not a request this tool should ever send; nullptr if it is.
const char* RequestFault(const ReaderFrame& request);

}  // namespace tavrin::fuzz
