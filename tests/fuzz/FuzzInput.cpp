#include "FuzzInput.h"

#include <algorithm>

namespace tavrin::fuzz {
namespace {

enum class ReplyKind : std::uint8_t { Firmware, FailSend, FailRead, Raw, Framed, kCount };

}  // namespace

std::vector<std::uint8_t> FuzzInput::Take(std::size_t count) {
  std::vector<std::uint8_t> taken;
  while (taken.size() < count && !Empty()) taken.push_back(Next());
  return taken;
}

std::optional<SimOutcome> FuzzInput::NextReply(const ReaderFrame& request) {
  if (Empty()) return std::nullopt;
  switch (static_cast<ReplyKind>(Next() % static_cast<int>(ReplyKind::kCount))) {
    case ReplyKind::FailSend:
      return SimOutcome::FailSend(Next());
    case ReplyKind::FailRead:
      return SimOutcome::FailRead(Next());
    case ReplyKind::Raw: {
      ReaderFrame reply{};
      const std::vector<std::uint8_t> bytes = Take(reply.size());
      std::copy(bytes.begin(), bytes.end(), reply.begin());
      return SimOutcome::Reply(reply);
    }
    case ReplyKind::Framed: {
      const std::uint8_t status = Next();
      const std::vector<std::uint8_t> payload = Take(Next() % (kMaxFrameData + 1));
      return SimOutcome::Reply(SimReply(request[kCommandOffset], status, payload));
    }
    default:
      return std::nullopt;
  }
}

}  // namespace tavrin::fuzz
