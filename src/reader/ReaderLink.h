// Finding the reader among the host's HID devices and moving one frame to it
// and one back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "reader/HidHost.h"
#include "reader/ReaderFrame.h"

namespace tavrin {

inline constexpr std::uint16_t kReaderVendorId = 0x10C4;
inline constexpr std::uint16_t kReaderProductId = 0x1009;

// The one handle to the opened reader; kInvalidHidHandle means not connected.
struct ReaderLink {
  HidHost& host;
  HidHandle handle = kInvalidHidHandle;

  bool IsOpen() const { return handle != kInvalidHidHandle; }
};

// Why no reader came back: a device listed with the reader's identifiers
// could not be opened. Only meaningful when FindReader found nothing.
struct ReaderSearchReport {
  bool readerSeen = false;        // a device with the reader's identifiers was listed
  bool readerUnopenable = false;  // ... and opening it failed
  int openError = 0;              // the first such failure's error number
  bool permissionDenied = false;  // ... and whether it was a permission problem
};

// Opens the first device, in enumeration order, whose attributes name the
// reader. Devices that cannot be opened, whose details or attributes cannot
// be read, or that are something else are skipped (and closed again).
HidHandle FindReader(HidHost& host, ReaderSearchReport* report = nullptr);

// FindReader's rules for one interface as the host listed it, without
// listing the devices again.
HidHandle OpenListedReader(HidHost& host, const HidInterface& device, ReaderSearchReport& report);

// The listed interfaces that may be a reader, in enumeration order, each
// with its path, serial number and location: those whose identifiers name
// it or are unknown until opened. Empty when the host cannot list them.
std::vector<HidInterface> PossibleReaders(HidHost& host);

// Sends frame as one output report and, only if that worked, reads the reply
// into frame. False when the link is not open or either step failed; the
// link stays open and link.host.LastError() tells why.
bool ExchangeFrame(ReaderLink& link, ReaderFrame& frame);

// One request to the reader and what came of it.
struct ExchangeRecord {
  ReaderCommand command{};
  bool completed = false;   // sent, and its reply read
  int error = 0;            // the platform's error number when not completed
  std::uint8_t status = 0;  // the reply's status byte when completed

  bool Accepted() const { return completed && status == 0; }
};

// ExchangeFrame for a request of command, noting what came of it; frame
// holds the reply afterwards.
ExchangeRecord ExchangeRequest(ReaderLink& link, ReaderFrame& frame, ReaderCommand command);

// Closes the reader if open; the link is not connected afterwards.
void CloseReader(ReaderLink& link);

}  // namespace tavrin
