// The host's HID operations, as narrow as finding and talking to the reader
// needs. The product uses the platform's HID stack; tests and the demo use the
// simulated host in sim/.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

// Every report in either direction: report identifier 0, then 64 bytes.
inline constexpr std::size_t kReportSize = 65;

// An opened device; kInvalidHidHandle means "none".
using HidHandle = std::intptr_t;
inline constexpr HidHandle kInvalidHidHandle = -1;

struct HidAttributes {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
};

// One present HID device interface. An interface whose details (its path)
// could not be read is listed with detailsReadable false so that the
// caller can skip it and go on. knownIds are the identifiers the host learnt
// without opening the device, when it can; they only explain why a device
// that looks like the reader could not be opened. serial and location tell
// one reader from another whatever its path: the interfaces of one device
// share them.
struct HidInterface {
  std::string path;
  bool detailsReadable = true;
  std::optional<HidAttributes> knownIds;
  // The device's USB serial number (UTF-8); empty when it has none.
  std::string serial;
  // Where the device is plugged in, empty when the host cannot tell: on
  // Linux the USB bus and port path as the kernel names the device ("1-2.3":
  // bus 1, a hub on port 2, port 3 of that hub); on Windows the device's
  // location information ("Port_#0003.Hub_#0002").
  std::string location;
};

class HidHost {
 public:
  virtual ~HidHost() = default;

  // Present HID interfaces in enumeration order; nullopt when the host
  // cannot list them at all.
  virtual std::optional<std::vector<HidInterface>> EnumerateInterfaces() = 0;

  // Opens a device path for writing and reading reports; kInvalidHidHandle
  // on failure (LastError tells why).
  virtual HidHandle Open(const std::string& path) = 0;

  // Vendor and product identifiers of an opened device; nullopt on failure.
  virtual std::optional<HidAttributes> GetAttributes(HidHandle handle) = 0;

  // Sends kReportSize bytes as one output report.
  virtual bool SendOutputReport(HidHandle handle, const std::uint8_t* report) = 0;

  // Reads one input report of kReportSize bytes into report.
  virtual bool GetInputReport(HidHandle handle, std::uint8_t* report) = 0;

  virtual void Close(HidHandle handle) = 0;

  // The platform error number of the last call that failed (errno on POSIX,
  // the Windows error code on Windows), taken right after the failure.
  virtual int LastError() const = 0;

  // Whether an error number means "not allowed to open the device".
  virtual bool IsPermissionError(int error) const = 0;
};

}  // namespace tavrin
