#include <algorithm>

#include "reader/ReaderLink.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

struct CommandShape {
  ReaderCommand command;
  std::uint8_t length;  // command byte through checksum
};

constexpr CommandShape kCommandShapes[] = {
    {ReaderCommand::Info, 3},       {ReaderCommand::Capability, 3}, {ReaderCommand::Unlock, 6},
    {ReaderCommand::WritePage, 35}, {ReaderCommand::Reset, 3},
};

constexpr std::size_t kLengthLow = kLengthOffset + 1;
// The info reply's data: a spare byte, the status, the text and its zero.
constexpr std::size_t kMaxIdentification = kMaxFrameData - 3;

const CommandShape* ShapeOf(std::uint8_t command) {
  for (const CommandShape& shape : kCommandShapes) {
    if (static_cast<std::uint8_t>(shape.command) == command) return &shape;
  }
  return nullptr;
}

// Preamble, length and checksum, as the firmware checks them before anything else.
bool WellFramed(const ReaderFrame& request) {
  if (request[0] != 0) return false;
  if (!std::equal(kFramePreamble.begin(), kFramePreamble.end(), request.begin() + 1)) return false;
  const std::size_t length = request[kLengthLow];
  if (request[kLengthOffset] != 0 || length < 2 || kLengthLow + length >= kReportSize) return false;
  const CommandShape* shape = ShapeOf(request[kCommandOffset]);
  if (shape != nullptr && shape->length != length) return false;
  return request[kLengthLow + length] == XorChecksum(&request[kLengthLow], length);
}

}  // namespace

// A reply as the reader frames it: its own preamble and length, the command,
// zero bytes up to the status, the status, the payload and a checksum.
ReaderFrame SimReply(std::uint8_t command, std::uint8_t status,
                     std::span<const std::uint8_t> payload) {
  const std::size_t statusAt = ReplyStatusOffset(static_cast<ReaderCommand>(command));
  std::vector<std::uint8_t> data(statusAt - kDataOffset, 0);
  data.push_back(status);
  data.insert(data.end(), payload.begin(), payload.end());
  data.resize(std::min(data.size(), kMaxFrameData));
  ReaderFrame frame{};
  BuildFrame(frame, command, data);
  return frame;
}

SimFault SimFault::Refuse(std::uint8_t status) { return {Kind::Refuse, status, 0}; }
SimFault SimFault::FailSend(int error) { return {Kind::FailSend, 0, error}; }
SimFault SimFault::FailRead(int error) { return {Kind::FailRead, 0, error}; }

SimOutcome SimOutcome::Reply(const ReaderFrame& bytes) { return {Kind::Reply, bytes, 0}; }
SimOutcome SimOutcome::FailSend(int error) { return {Kind::FailSend, {}, error}; }
SimOutcome SimOutcome::FailRead(int error) { return {Kind::FailRead, {}, error}; }

SimReader::SimReader(std::string devicePath)
    : SimDevice(std::move(devicePath), kReaderVendorId, kReaderProductId) {}

void SimReader::FailNext(ReaderCommand command, SimFault fault) {
  nextFaults_[static_cast<std::uint8_t>(command)].push_back(fault);
}

void SimReader::FailAlways(ReaderCommand command, SimFault fault) {
  alwaysFaults_[static_cast<std::uint8_t>(command)] = fault;
}

void SimReader::ClearFaults() {
  nextFaults_.clear();
  alwaysFaults_.clear();
}

const std::array<std::uint8_t, kPageSize>* SimReader::Page(PageNumber page) const {
  const auto it = pages.find(static_cast<std::uint8_t>(page));
  return it == pages.end() ? nullptr : &it->second;
}

ReaderFrame SimReader::Respond(const ReaderFrame& report) {
  Deliver(report);
  ReaderFrame reply = inputReport_;
  Answer(reply);
  return reply;
}

SimDevice::IoResult SimReader::Deliver(const ReaderFrame& report) {
  const SimOutcome outcome = Decide(report);
  if (outcome.kind == SimOutcome::Kind::FailSend) return {false, outcome.error};
  received.push_back(report);
  inputReport_ = outcome.reply;
  readError_.reset();
  if (outcome.kind == SimOutcome::Kind::FailRead) readError_ = outcome.error;
  return {true, 0};
}

SimOutcome SimReader::Decide(const ReaderFrame& request) {
  if (replyHook) {
    if (std::optional<SimOutcome> chosen = replyHook(request)) return *chosen;
  }
  const std::uint8_t command = request[kCommandOffset];
  const std::optional<SimFault> fault = TakeFault(command);
  if (!fault) return SimOutcome::Reply(Process(request));
  switch (fault->kind) {
    case SimFault::Kind::Refuse:
      return SimOutcome::Reply(SimReply(command, fault->status));
    case SimFault::Kind::FailSend:
      return SimOutcome::FailSend(fault->error);
    case SimFault::Kind::FailRead:
      break;
  }
  SimOutcome lost = SimOutcome::FailRead(fault->error);
  lost.reply = Process(request);  // the reader did act; only its answer is lost
  return lost;
}

SimDevice::IoResult SimReader::Answer(ReaderFrame& report) {
  ++reads;
  if (readError_) {
    const int error = *readError_;
    readError_.reset();
    return {false, error};
  }
  report = inputReport_;
  return {true, 0};
}

std::optional<SimFault> SimReader::TakeFault(std::uint8_t command) {
  auto queued = nextFaults_.find(command);
  if (queued != nextFaults_.end() && !queued->second.empty()) {
    const SimFault fault = queued->second.front();
    queued->second.erase(queued->second.begin());
    return fault;
  }
  const auto always = alwaysFaults_.find(command);
  if (always != alwaysFaults_.end()) return always->second;
  return std::nullopt;
}

ReaderFrame SimReader::Process(const ReaderFrame& request) {
  const std::uint8_t command = request[kCommandOffset];
  if (!WellFramed(request)) return SimReply(command, kSimBadFrame);
  switch (static_cast<ReaderCommand>(command)) {
    case ReaderCommand::Info: {
      std::vector<std::uint8_t> text(identification.begin(), identification.end());
      text.resize(std::min(text.size(), kMaxIdentification));
      text.push_back(0);
      return SimReply(command, kSimOk, text);
    }
    case ReaderCommand::Capability:
      return SimReply(command, kSimOk, capabilities);
    case ReaderCommand::Unlock: {
      const bool match = std::equal(accessCode.begin(), accessCode.end(), &request[kDataOffset]);
      if (match) unlocked = true;
      return SimReply(command, match ? kSimOk : kSimWrongCode);
    }
    case ReaderCommand::WritePage:
      return ProcessWritePage(request);
    case ReaderCommand::Reset:
      unlocked = false;
      ++resets;
      return SimReply(command, kSimOk);
  }
  return SimReply(command, kSimUnknownCommand);
}

ReaderFrame SimReader::ProcessWritePage(const ReaderFrame& request) {
  const std::uint8_t command = request[kCommandOffset];
  const std::uint8_t number = request[kDataOffset];
  const std::uint8_t* page = &request[kDataOffset + 1];
  if (!unlocked) return SimReply(command, kSimLocked);
  if (!IsConfigPageNumber(number)) return SimReply(command, kSimBadPageNumber);
  if (XorChecksum(page, kPageSize - 1) != page[kPageSize - 1]) {
    return SimReply(command, kSimBadPageChecksum);
  }
  std::copy_n(page, kPageSize, pages[number].begin());
  return SimReply(command, kSimOk);
}

}  // namespace tavrin
