#include "reader/ReaderLink.h"

namespace tavrin {
namespace {

bool IsReader(const HidAttributes& ids) {
  return ids.vendorId == kReaderVendorId && ids.productId == kReaderProductId;
}

void NoteUnopenable(HidHost& host, const HidInterface& device, ReaderSearchReport& report) {
  if (!device.knownIds || !IsReader(*device.knownIds) || report.readerUnopenable) return;
  report.readerUnopenable = true;
  report.openError = host.LastError();
  report.permissionDenied = host.IsPermissionError(report.openError);
}

// The opened handle when device is the reader; otherwise closes what it opened.
HidHandle OpenIfReader(HidHost& host, const HidInterface& device, ReaderSearchReport& report) {
  if (!device.detailsReadable) return kInvalidHidHandle;
  if (device.knownIds && IsReader(*device.knownIds)) report.readerSeen = true;
  const HidHandle handle = host.Open(device.path);
  if (handle == kInvalidHidHandle) {
    NoteUnopenable(host, device, report);
    return kInvalidHidHandle;
  }
  const auto ids = host.GetAttributes(handle);
  if (ids && IsReader(*ids)) {
    report.readerSeen = true;
    return handle;
  }
  host.Close(handle);
  return kInvalidHidHandle;
}

}  // namespace

HidHandle FindReader(HidHost& host, ReaderSearchReport* report) {
  ReaderSearchReport scratch;
  ReaderSearchReport& out = report ? *report : scratch;
  out = ReaderSearchReport{};
  const auto devices = host.EnumerateInterfaces();
  if (!devices) return kInvalidHidHandle;
  for (const HidInterface& device : *devices) {
    const HidHandle handle = OpenIfReader(host, device, out);
    if (handle != kInvalidHidHandle) return handle;
  }
  return kInvalidHidHandle;
}

HidHandle OpenListedReader(HidHost& host, const HidInterface& device, ReaderSearchReport& report) {
  report = ReaderSearchReport{};
  return OpenIfReader(host, device, report);
}

std::vector<HidInterface> PossibleReaders(HidHost& host) {
  std::vector<HidInterface> readers;
  const auto devices = host.EnumerateInterfaces();
  if (!devices) return readers;
  for (const HidInterface& device : *devices) {
    if (device.detailsReadable && (!device.knownIds || IsReader(*device.knownIds)))
      readers.push_back(device);
  }
  return readers;
}

bool ExchangeFrame(ReaderLink& link, ReaderFrame& frame) {
  if (!link.IsOpen()) return false;
  if (!link.host.SendOutputReport(link.handle, frame.data())) return false;
  return link.host.GetInputReport(link.handle, frame.data());
}

ExchangeRecord ExchangeRequest(ReaderLink& link, ReaderFrame& frame, ReaderCommand command) {
  ExchangeRecord record{command};
  record.completed = ExchangeFrame(link, frame);
  if (record.completed) {
    record.status = ReplyStatus(frame, command);
  } else if (link.IsOpen()) {
    record.error = link.host.LastError();
  }
  return record;
}

void CloseReader(ReaderLink& link) {
  if (link.IsOpen()) link.host.Close(link.handle);
  link.handle = kInvalidHidHandle;
}

}  // namespace tavrin
