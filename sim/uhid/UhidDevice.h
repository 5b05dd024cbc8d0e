// One HID device made through the kernel's uhid driver: the kernel's HID
// core takes it for a device on the USB bus and gives it a hidraw node, so
// whatever opens that node goes through the real kernel code. Linux only;
// creating one needs write access to /dev/uhid (root).
#pragma once

#include <linux/uhid.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tavrin {

struct UhidIdentity {
  std::string name;
  std::string phys;  // unique among the devices made here: finds the hidraw node
  std::string uniq;  // the serial number the kernel lists (HID_UNIQ); hidapi reads it
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::span<const std::uint8_t> descriptor;
};

class UhidDevice {
 public:
  // Creates the device and waits until its hidraw node is there; Created()
  // tells whether that worked, Error() why not.
  explicit UhidDevice(const UhidIdentity& identity);
  // Destroys the device, as an unplug would: open handles fail with ENODEV.
  ~UhidDevice();
  UhidDevice(const UhidDevice&) = delete;
  UhidDevice& operator=(const UhidDevice&) = delete;

  bool Created() const { return !node_.empty(); }
  const std::string& Error() const { return error_; }
  // The device's hidraw node, /dev/hidrawN.
  const std::string& Node() const { return node_; }
  // Readable when the kernel has an event for the device.
  int Descriptor() const { return fd_; }

  // The next event; nullopt when none could be read.
  std::optional<uhid_event> ReadEvent();
  // Answers a UHID_GET_REPORT: data, or error (an errno value) instead.
  void ReplyGetReport(std::uint32_t id, std::span<const std::uint8_t> data, int error = 0);
  void ReplySetReport(std::uint32_t id, int error = 0);

 private:
  bool Write(const uhid_event& event);
  bool Fail(const std::string& what);

  int fd_ = -1;
  std::string node_;
  std::string error_;
};

}  // namespace tavrin
