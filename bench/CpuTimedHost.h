// Passes every call to the simulated host and adds up the CPU time spent in
// it, so that an operation's own work can be told from the simulator's.
#pragma once

#include <cstdint>

#include "reader/HidHost.h"

namespace tavrin::bench {

// CPU time of the calling thread, in nanoseconds.
std::int64_t ThreadCpuNs();

class CpuTimedHost final : public HidHost {
 public:
  explicit CpuTimedHost(HidHost& inner) : inner_(inner) {}

  std::int64_t innerNs = 0;  // CPU time spent inside the wrapped host

  std::optional<std::vector<HidInterface>> EnumerateInterfaces() override;
  HidHandle Open(const std::string& path) override;
  std::optional<HidAttributes> GetAttributes(HidHandle handle) override;
  bool SendOutputReport(HidHandle handle, const std::uint8_t* report) override;
  bool GetInputReport(HidHandle handle, std::uint8_t* report) override;
  void Close(HidHandle handle) override;
  int LastError() const override { return inner_.LastError(); }
  bool IsPermissionError(int error) const override { return inner_.IsPermissionError(error); }

 private:
  template <class Call>
  auto Timed(Call call);

  HidHost& inner_;
};

}  // namespace tavrin::bench
