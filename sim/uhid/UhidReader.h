// The reader as the kernel sees a real one: a keyboard interface, then the
// reader's own interface with the simulated firmware behind it, both with
// the reader's identifiers. Reports cross the kernel as they would from
// usbhid: 65 bytes, report number 0 first, both ways.
#pragma once

#include <memory>
#include <string>

#include "sim/SimHost.h"
#include "sim/uhid/UhidDevice.h"

namespace tavrin {

class UhidReader {
 public:
  // index tells this reader's devices apart from the other readers'.
  explicit UhidReader(int index);

  // Creates the keyboard interface, then the reader's own one, each ready
  // to open when this returns; false (with Error()) when either failed.
  // The firmware keeps its pages across a replug, as flash would.
  bool Plug();
  void Unplug();
  bool IsPlugged() const { return own_ != nullptr; }
  const std::string& Error() const { return error_; }
  // The serial number both its interfaces list: "TAVRIN-EMU-<index>".
  std::string Serial() const;

  // The hidraw nodes of the keyboard and the own interface; empty when unplugged.
  std::string KeyboardNode() const;
  std::string OwnNode() const;

  // Handles one event of the device whose descriptor is fd; false when fd
  // is none of this reader's.
  bool Service(int fd);
  int KeyboardDescriptor() const;
  int OwnDescriptor() const;

  SimReader firmware;
  int inputReportsAsked = 0;  // input reports read from the own interface
  int keyboardRequests = 0;   // reports a program sent to or asked of the keyboard
  bool ownOpen = false;       // a program holds the own interface's node open

 private:
  void ServiceOwn(const uhid_event& event);
  void ServiceKeyboard(const uhid_event& event);
  void TakeOutputReport(std::span<const std::uint8_t> data);

  int index_;
  std::unique_ptr<UhidDevice> keyboard_;
  std::unique_ptr<UhidDevice> own_;
  ReaderFrame inputReport_{};
  std::string error_;
};

}  // namespace tavrin
