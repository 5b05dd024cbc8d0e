// The host's HID devices through hidapi (hidraw on Linux).
#pragma once

#include <map>

#include "reader/HidHost.h"

struct hid_device_;

namespace tavrin {

class HidapiHost final : public HidHost {
 public:
  HidapiHost();
  ~HidapiHost() override;
  HidapiHost(const HidapiHost&) = delete;
  HidapiHost& operator=(const HidapiHost&) = delete;

  std::optional<std::vector<HidInterface>> EnumerateInterfaces() override;
  HidHandle Open(const std::string& path) override;
  std::optional<HidAttributes> GetAttributes(HidHandle handle) override;
  bool SendOutputReport(HidHandle handle, const std::uint8_t* report) override;
  bool GetInputReport(HidHandle handle, std::uint8_t* report) override;
  void Close(HidHandle handle) override;
  int LastError() const override { return lastError_; }
  bool IsPermissionError(int error) const override;

 private:
  hid_device_* Device(HidHandle handle);
  bool Fail(int error);

  bool initialised_ = false;
  HidHandle nextHandle_ = 1;
  std::map<HidHandle, hid_device_*> devices_;
  int lastError_ = 0;
};

}  // namespace tavrin
