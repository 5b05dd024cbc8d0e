// The host's HID devices through the Windows HID class driver and the device
// installation functions.
#pragma once

#include "reader/HidHost.h"

namespace tavrin {

struct WinHidApi;

class WinHidHost final : public HidHost {
 public:
  // The system's own HID calls.
  WinHidHost();
  // Stand-in calls, for tests; api must outlive the host.
  explicit WinHidHost(const WinHidApi& api) : api_(api) {}

  std::optional<std::vector<HidInterface>> EnumerateInterfaces() override;
  HidHandle Open(const std::string& path) override;
  std::optional<HidAttributes> GetAttributes(HidHandle handle) override;
  bool SendOutputReport(HidHandle handle, const std::uint8_t* report) override;
  bool GetInputReport(HidHandle handle, std::uint8_t* report) override;
  void Close(HidHandle handle) override;
  int LastError() const override { return lastError_; }
  bool IsPermissionError(int error) const override;

 private:
  bool Fail();

  const WinHidApi& api_;
  int lastError_ = 0;
};

}  // namespace tavrin
