// A host between the dialog and the simulated one that logs every report the
// dialog moves, failed ones included: what the rules judge each action by.
#pragma once

#include <vector>

#include "reader/HidHost.h"
#include "reader/ReaderFrame.h"

namespace tavrin::engine {

struct Exchange {
  ReaderFrame request{};
  bool sent = false;
  bool read = false;  // its reply was read
  int error = 0;      // of the send or the read that failed
  ReaderFrame reply{};

  ReaderCommand Command() const { return static_cast<ReaderCommand>(request[kCommandOffset]); }
  std::uint8_t PageNumber() const { return request[kDataOffset]; }
  bool Completed() const { return sent && read; }
  bool Accepted() const { return Completed() && ReplyStatus(reply, Command()) == 0; }
};

class TapHost final : public HidHost {
 public:
  explicit TapHost(HidHost& inner) : inner_(inner) {}

  std::vector<Exchange> log;

  std::optional<std::vector<HidInterface>> EnumerateInterfaces() override {
    return inner_.EnumerateInterfaces();
  }
  HidHandle Open(const std::string& path) override { return inner_.Open(path); }
  std::optional<HidAttributes> GetAttributes(HidHandle handle) override {
    return inner_.GetAttributes(handle);
  }
  bool SendOutputReport(HidHandle handle, const std::uint8_t* report) override {
    Exchange& exchange = log.emplace_back();
    std::copy_n(report, kReportSize, exchange.request.begin());
    exchange.sent = inner_.SendOutputReport(handle, report);
    if (!exchange.sent) exchange.error = inner_.LastError();
    return exchange.sent;
  }
  bool GetInputReport(HidHandle handle, std::uint8_t* report) override {
    const bool read = inner_.GetInputReport(handle, report);
    if (log.empty()) return read;
    log.back().read = read;
    if (read) std::copy_n(report, kReportSize, log.back().reply.begin());
    if (!read) log.back().error = inner_.LastError();
    return read;
  }
  void Close(HidHandle handle) override { inner_.Close(handle); }
  int LastError() const override { return inner_.LastError(); }
  bool IsPermissionError(int error) const override { return inner_.IsPermissionError(error); }

 private:
  HidHost& inner_;
};

}  // namespace tavrin::engine
