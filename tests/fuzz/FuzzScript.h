// What one fuzz input asks for: a short run of user actions on the dialog,
// then, for each request that reaches the reader, how the reader answers.
//
// Layout: byte 0 is the number of actions (at most kMaxActions); each action
// is an op byte (an engine::ActionKind) and its arguments: one for Family,
// Click and SelectTab, two for SelectItem, a length and its characters for
// TypeKey. Every byte after the
// actions is a reply choice, taken one per request in the order sent. Once
// the choices run out, the simulated firmware answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Rig.h"
#include "reader/ReaderFrame.h"
#include "sim/SimHost.h"

namespace tavrin::fuzz {

using engine::Action;
using engine::ActionKind;

inline constexpr std::size_t kMaxActions = 32;

// Reads bytes front to back; reads past the end give zeros.
class ByteStream {
 public:
  ByteStream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return at_ >= size_; }
  std::uint8_t Next() { return Empty() ? 0 : data_[at_++]; }
  std::vector<std::uint8_t> Take(std::size_t count);

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

class FuzzScript {
 public:
  FuzzScript(const std::uint8_t* data, std::size_t size);

  const std::vector<Action>& Actions() const { return actions_; }

  // How the reader answers request: nullopt lets the firmware answer.
  std::optional<SimOutcome> NextReply(const ReaderFrame& request);

 private:
  Action ReadAction();

  ByteStream bytes_;
  std::vector<Action> actions_;
};

}  // namespace tavrin::fuzz
