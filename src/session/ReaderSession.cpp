#include "session/ReaderSession.h"

#include <algorithm>

#include "config/PageAssembly.h"

namespace tavrin {

bool DownloadResult::Succeeded() const {
  return unlock && unlock->Accepted() && !pages.empty() &&
         std::all_of(pages.begin(), pages.end(),
                     [](const PageWrite& write) { return write.exchange.Accepted(); });
}

std::optional<int> DownloadResult::FirstError() const {
  if (unlock && !unlock->completed) return unlock->error;
  for (const PageWrite& write : pages) {
    if (!write.exchange.completed) return write.exchange.error;
  }
  return std::nullopt;
}

ReaderSession::ReaderSession(HidHost& host) : link_{host} {}

ReaderSession::~ReaderSession() { Close(); }

ReaderSearchReport ReaderSession::Open() {
  ReaderSearchReport search;
  if (!link_.IsOpen()) link_.handle = FindReader(link_.host, &search);
  return search;
}

ReaderSearchReport ReaderSession::Open(const HidInterface& device) {
  ReaderSearchReport search;
  if (!link_.IsOpen()) link_.handle = OpenListedReader(link_.host, device, search);
  return search;
}

void ReaderSession::Close() { CloseReader(link_); }

Identification ReaderSession::Identify() {
  Identification found;
  if (!link_.IsOpen()) return found;
  ReaderFrame frame{};
  BuildInfoRequest(frame);
  const ExchangeRecord info = Exchange(frame, ReaderCommand::Info);
  if (!info.completed) found.error = info.error;
  if (!info.Accepted()) return found;
  found.text = ReplyIdentification(frame);
  BuildCapabilityRequest(frame);
  const ExchangeRecord capability = Exchange(frame, ReaderCommand::Capability);
  if (!capability.completed) found.error = capability.error;
  if (capability.Accepted()) found.capabilities = Capabilities(ReplyCapabilities(frame));
  return found;
}

DownloadResult ReaderSession::Download(const Settings& adjusted) {
  DownloadResult result;
  if (!link_.IsOpen()) return result;
  // A key that is no hex number would reach the reader as garbage bytes.
  if (ChosenFamily(adjusted).page == PageNumber::TypeA &&
      !DialogAcceptsMifareKey(adjusted.mifareKey)) {
    result.keyInvalid = true;
    return result;
  }
  ReaderFrame unlock{};
  BuildUnlockRequest(unlock);
  result.unlock = Exchange(unlock, ReaderCommand::Unlock);
  if (!result.unlock->Accepted()) return result;
  for (const NumberedPage& page : AssemblePages(adjusted)) {
    ReaderFrame write{};  // zeros after the checksum, not the last reply
    BuildWritePageRequest(write, page.number, page.page);
    result.pages.push_back({page.number, Exchange(write, ReaderCommand::WritePage)});
  }
  return result;
}

ExchangeRecord ReaderSession::Exchange(ReaderFrame& frame, ReaderCommand command) {
  return ExchangeRequest(link_, frame, command);
}

ExchangeRecord ReaderSession::Reset() {
  ReaderFrame frame{};
  BuildResetRequest(frame);
  return Exchange(frame, ReaderCommand::Reset);
}

}  // namespace tavrin
