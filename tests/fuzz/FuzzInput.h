// A fuzz input read front to back, shared by the fuzzers: bytes, and the
// reader's answers to requests. Reads past the end give zeros, so every
// input is a valid script. Qt-free.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/SimHost.h"

namespace tavrin::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return at_ >= size_; }
  std::uint8_t Next() { return Empty() ? 0 : data_[at_++]; }
  // Up to count bytes: fewer where the input ends.
  std::vector<std::uint8_t> Take(std::size_t count);

  // How the reader answers request: the firmware (nullopt), a failed send
  // or read with an error number, any 65 bytes, or a well-framed reply with
  // any status and payload. Once the input runs out, the firmware answers.
  std::optional<SimOutcome> NextReply(const ReaderFrame& request);

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace tavrin::fuzz
