#include "session/ReaderSession.h"

#include <algorithm>

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

ReaderSearchReport ReaderSession::Open(const std::string& path) {
  ReaderSearchReport search;
  if (!link_.IsOpen()) link_.handle = OpenReaderAt(link_.host, path, &search);
  return search;
}

void ReaderSession::Close() { CloseReader(link_); }

Identification ReaderSession::Identify() {
  Identification found;
  if (!link_.IsOpen()) return found;
  ReaderFrame frame{};
  BuildInfoRequest(frame);
  const ExchangeRecord info = ExchangeRequest(link_, frame, ReaderCommand::Info);
  if (!info.completed) found.error = info.error;
  if (!info.Accepted()) return found;
  found.text = ReplyIdentification(frame);
  BuildCapabilityRequest(frame);
  const ExchangeRecord capability = ExchangeRequest(link_, frame, ReaderCommand::Capability);
  if (!capability.completed) found.error = capability.error;
  if (capability.Accepted()) found.capabilities = ReplyCapabilities(frame);
  return found;
}

ExchangeRecord ReaderSession::Unlock() {
  ReaderFrame frame{};
  BuildUnlockRequest(frame);
  return ExchangeRequest(link_, frame, ReaderCommand::Unlock);
}

DownloadResult ReaderSession::Download(FormView& form) {
  DownloadResult result;
  if (!link_.IsOpen()) return result;
  // A key that is no hex number would reach the reader as garbage bytes.
  if (form.IsChecked(ControlId::TypeARadio) && !IsValidMifareKey(form.MifareKeyText())) {
    result.keyInvalid = true;
    return result;
  }
  result.unlock = Unlock();
  if (!result.unlock->Accepted()) return result;
  WriteSystemPage(link_, form, &result.pages.emplace_back());
  for (const CardFamily& family : kCardFamilies) {
    if (form.IsChecked(family.radio))
      WriteFamilyPage(link_, family, form, &result.pages.emplace_back());
  }
  return result;
}

ExchangeRecord ReaderSession::Reset() {
  ReaderFrame frame{};
  BuildResetRequest(frame);
  return ExchangeRequest(link_, frame, ReaderCommand::Reset);
}

}  // namespace tavrin
