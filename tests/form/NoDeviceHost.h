// A HID host with nothing attached that counts every call reaching a device.
#pragma once

#include "HidHost.h"

namespace tavrin {

class NoDeviceHost : public HidHost {
 public:
  std::optional<std::vector<HidInterface>> EnumerateInterfaces() override {
    ++enumerations;
    return std::vector<HidInterface>{};
  }
  HidHandle Open(const std::string&) override { return kInvalidHidHandle; }
  std::optional<HidAttributes> GetAttributes(HidHandle) override { return std::nullopt; }
  bool SendOutputReport(HidHandle, const std::uint8_t*) override {
    ++sends;
    return false;
  }
  bool GetInputReport(HidHandle, std::uint8_t*) override {
    ++reads;
    return false;
  }
  void Close(HidHandle) override { ++closes; }
  int LastError() const override { return 0; }
  bool IsPermissionError(int) const override { return false; }

  int enumerations = 0;
  int sends = 0;
  int reads = 0;
  int closes = 0;
};

}  // namespace tavrin
