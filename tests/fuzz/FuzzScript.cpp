#include "FuzzScript.h"

#include <algorithm>

namespace tavrin::fuzz {
namespace {

constexpr std::size_t kMaxKeyText = 24;
constexpr int kActionKinds = static_cast<int>(ActionKind::Unplug) + 1;

enum class ReplyKind : std::uint8_t { Firmware, FailSend, FailRead, Raw, Framed, kCount };

}  // namespace

std::vector<std::uint8_t> ByteStream::Take(std::size_t count) {
  std::vector<std::uint8_t> taken;
  while (taken.size() < count && !Empty()) taken.push_back(Next());
  return taken;
}

FuzzScript::FuzzScript(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {
  const std::size_t count = std::min<std::size_t>(bytes_.Next(), kMaxActions);
  for (std::size_t i = 0; i < count && !bytes_.Empty(); ++i) actions_.push_back(ReadAction());
}

Action FuzzScript::ReadAction() {
  Action action;
  action.kind = static_cast<ActionKind>(bytes_.Next() % kActionKinds);
  switch (action.kind) {
    case ActionKind::Family:
    case ActionKind::Click:
    case ActionKind::SelectTab:
      action.arg = bytes_.Next();
      break;
    case ActionKind::SelectItem:
      action.arg = bytes_.Next();
      action.arg2 = bytes_.Next();
      break;
    case ActionKind::TypeKey: {
      const std::vector<std::uint8_t> text = bytes_.Take(bytes_.Next() % (kMaxKeyText + 1));
      action.text = QString::fromLatin1(reinterpret_cast<const char*>(text.data()),
                                        static_cast<qsizetype>(text.size()));
      break;
    }
    default:
      break;
  }
  return action;
}

std::optional<SimOutcome> FuzzScript::NextReply(const ReaderFrame& request) {
  if (bytes_.Empty()) return std::nullopt;
  switch (static_cast<ReplyKind>(bytes_.Next() % static_cast<int>(ReplyKind::kCount))) {
    case ReplyKind::FailSend:
      return SimOutcome::FailSend(bytes_.Next());
    case ReplyKind::FailRead:
      return SimOutcome::FailRead(bytes_.Next());
    case ReplyKind::Raw: {
      ReaderFrame reply{};
      const std::vector<std::uint8_t> bytes = bytes_.Take(reply.size());
      std::copy(bytes.begin(), bytes.end(), reply.begin());
      return SimOutcome::Reply(reply);
    }
    case ReplyKind::Framed: {
      const std::uint8_t status = bytes_.Next();
      const std::vector<std::uint8_t> payload = bytes_.Take(bytes_.Next() % (kMaxFrameData + 1));
      return SimOutcome::Reply(SimReply(request[kCommandOffset], status, payload));
    }
    default:
      return std::nullopt;
  }
}

}  // namespace tavrin::fuzz
