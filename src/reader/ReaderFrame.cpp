#include "reader/ReaderFrame.h"

#include <algorithm>

namespace tavrin {
namespace {

constexpr std::size_t kInfoStatusOffset = 10;
constexpr std::size_t kCommandStatusOffset = 11;
constexpr std::size_t kReplyDataOffset = 11;
constexpr std::uint8_t kQueryData = 0xFF;
constexpr std::uint8_t kResetData = 0x84;

void BuildSimpleRequest(ReaderFrame& frame, ReaderCommand command, std::uint8_t data) {
  BuildFrame(frame, static_cast<std::uint8_t>(command), std::span(&data, 1));
}

}  // namespace

std::uint8_t XorChecksum(const std::uint8_t* bytes, std::size_t count) {
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < count; ++i) sum ^= bytes[i];
  return sum;
}

void BuildFrame(ReaderFrame& frame, std::uint8_t command, std::span<const std::uint8_t> data) {
  const std::size_t count = std::min(data.size(), kMaxFrameData);
  const std::size_t length = count + 2;  // command .. checksum
  frame[0] = 0;
  std::copy(kFramePreamble.begin(), kFramePreamble.end(), frame.begin() + 1);
  frame[kLengthOffset] = static_cast<std::uint8_t>(length >> 8);
  frame[kLengthOffset + 1] = static_cast<std::uint8_t>(length);
  frame[kCommandOffset] = command;
  std::copy_n(data.begin(), count, frame.begin() + kDataOffset);
  frame[kDataOffset + count] = XorChecksum(&frame[kLengthOffset + 1], length);
}

std::span<const std::uint8_t> FrameBytes(const ReaderFrame& frame) {
  const std::size_t length = frame[kLengthOffset] << 8 | frame[kLengthOffset + 1];
  // The length counts from the command byte through the checksum.
  const std::size_t end = std::min(kCommandOffset + length, frame.size());
  return std::span(frame).first(std::max(end, kCommandOffset + 1));
}

void BuildInfoRequest(ReaderFrame& frame) {
  BuildSimpleRequest(frame, ReaderCommand::Info, kQueryData);
}

void BuildCapabilityRequest(ReaderFrame& frame) {
  BuildSimpleRequest(frame, ReaderCommand::Capability, kQueryData);
}

void BuildUnlockRequest(ReaderFrame& frame, const std::array<std::uint8_t, 4>& code) {
  BuildFrame(frame, static_cast<std::uint8_t>(ReaderCommand::Unlock), code);
}

void BuildWritePageRequest(ReaderFrame& frame, std::uint8_t pageNumber,
                           std::span<const std::uint8_t, 32> page) {
  std::array<std::uint8_t, 1 + decltype(page)::extent> data{pageNumber};
  std::ranges::copy(page, data.begin() + 1);
  BuildFrame(frame, static_cast<std::uint8_t>(ReaderCommand::WritePage), data);
}

void BuildResetRequest(ReaderFrame& frame) {
  BuildSimpleRequest(frame, ReaderCommand::Reset, kResetData);
}

std::size_t ReplyStatusOffset(ReaderCommand command) {
  const bool query = command == ReaderCommand::Info || command == ReaderCommand::Capability;
  return query ? kInfoStatusOffset : kCommandStatusOffset;
}

std::uint8_t ReplyStatus(const ReaderFrame& frame, ReaderCommand command) {
  return frame[ReplyStatusOffset(command)];
}

std::string ReplyIdentification(const ReaderFrame& frame) {
  const auto begin = frame.begin() + kReplyDataOffset;
  return std::string(begin, std::find(begin, frame.end(), std::uint8_t{0}));
}

std::array<std::uint8_t, 4> ReplyCapabilities(const ReaderFrame& frame) {
  std::array<std::uint8_t, 4> flags{};
  std::copy_n(frame.begin() + kReplyDataOffset, flags.size(), flags.begin());
  return flags;
}

}  // namespace tavrin
