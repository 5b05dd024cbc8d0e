#include "WatchedReader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "config/ConfigPage.h"

namespace tavrin::fuzz {
namespace {

struct RequestShape {
  ReaderCommand command;
  std::size_t dataSize;
  std::uint8_t firstData;  // checked for the one-byte requests only
};

constexpr RequestShape kShapes[] = {
    {ReaderCommand::Info, 1, 0xFF},   {ReaderCommand::Capability, 1, 0xFF},
    {ReaderCommand::Unlock, 4, 0x00}, {ReaderCommand::WritePage, 33, 0x00},
    {ReaderCommand::Reset, 1, 0x84},
};

const char* PageFault(const std::uint8_t* page) {
  if (page[0] != kPageHead) return "page does not start with its head byte";
  if (XorChecksum(page, kPageSize - 1) != page[kPageSize - 1]) return "page checksum wrong";
  return nullptr;
}

}  // namespace

const char* RequestFault(const ReaderFrame& request) {
  const auto shape = std::find_if(std::begin(kShapes), std::end(kShapes), [&](const auto& s) {
    return static_cast<std::uint8_t>(s.command) == request[kCommandOffset];
  });
  if (shape == std::end(kShapes)) return "unknown command";
  if (request[0] != 0) return "report identifier not 0";
  if (!std::equal(kFramePreamble.begin(), kFramePreamble.end(), request.begin() + 1))
    return "preamble wrong";
  const std::size_t length = shape->dataSize + 2;
  if (request[kLengthOffset] != 0 || request[kLengthOffset + 1] != length) return "length wrong";
  if (XorChecksum(&request[kLengthOffset + 1], length) != request[kDataOffset + shape->dataSize])
    return "checksum wrong";
  switch (shape->command) {
    case ReaderCommand::Unlock:
      return std::equal(kAccessCode.begin(), kAccessCode.end(), &request[kDataOffset])
                 ? nullptr
                 : "access code wrong";
    case ReaderCommand::WritePage:
      if (!IsConfigPageNumber(request[kDataOffset])) return "page number wrong";
      return PageFault(&request[kDataOffset + 1]);
    default:
      return request[kDataOffset] == shape->firstData ? nullptr : "request data wrong";
  }
}

WatchedReader::WatchedReader(FuzzScript& script) : reader(host.AddReader()) {
  reader.replyHook = [this, &script](const ReaderFrame& request) {
    if (const char* fault = RequestFault(request)) {
      std::fprintf(stderr, "malformed request: %s\n", fault);
      std::abort();
    }
    std::optional<SimOutcome> chosen = script.NextReply(request);
    log.push_back(Exchange{request, !chosen.has_value(), false, {}});
    return chosen;
  };
  host.onReport = [this](const SimDevice&, SimDirection direction, const ReaderFrame& frame) {
    if (direction != SimDirection::Input || log.empty()) return;
    log.back().answered = true;
    log.back().reply = frame;
  };
}

void WatchedReader::ToggleUnplug() {
  if (host.IsPlugged(reader)) {
    host.Unplug(reader);
  } else {
    host.Plug(reader);
  }
}

}  // namespace tavrin::fuzz
