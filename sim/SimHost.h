// A simulated HID host with simulated readers, behind the same seam as the
// real host: for tests and the demo, never for the product.
//
//   SimHost host;
//   SimReader& reader = host.AddReader();
//   reader.identification = "READER V2";
//   reader.FailNext(ReaderCommand::Unlock, SimFault::Refuse());
//   ... FindReader(host), ExchangeFrame(...) ...
//   EXPECT_EQ(reader.received.size(), 1u);
//
// Devices are listed in the order they were added (a re-plugged one goes to
// the end). Error numbers are errno values; EACCES and EPERM count as
// permission errors.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/ConfigPage.h"
#include "reader/HidHost.h"
#include "reader/ReaderFrame.h"

namespace tavrin {

// Status bytes the simulated firmware replies with.
enum SimStatus : std::uint8_t {
  kSimOk = 0x00,
  kSimBadFrame = 0x01,  // wrong preamble, length or checksum
  kSimUnknownCommand = 0x02,
  kSimWrongCode = 0x03,      // unlock with another access code
  kSimLocked = 0x04,         // write page before unlock
  kSimBadPageNumber = 0x05,  // a page other than 0, 1, 3, 5
  kSimBadPageChecksum = 0x06,
  kSimRefused = 0xFF,  // SimFault::Refuse's default
};

// Something that goes wrong with one request of a given command.
struct SimFault {
  enum class Kind { Refuse, FailSend, FailRead };
  Kind kind = Kind::Refuse;
  std::uint8_t status = kSimRefused;  // Refuse: the non-zero status replied
  int error = 0;                      // FailSend, FailRead: the error number

  // The reader replies with status and does nothing else.
  static SimFault Refuse(std::uint8_t status = kSimRefused);
  // The output report is not delivered; the reader never sees it.
  static SimFault FailSend(int error);
  // The reader acts on the request, but reading its reply fails.
  static SimFault FailRead(int error);
};

// A reply as the reader frames it: its own preamble and length, the command,
// zero bytes up to the status, the status, the payload and a checksum.
ReaderFrame SimReply(std::uint8_t command, std::uint8_t status,
                     std::span<const std::uint8_t> payload = {});

// A caller-chosen answer to one request, bypassing the firmware entirely.
struct SimOutcome {
  enum class Kind { Reply, FailSend, FailRead };
  Kind kind = Kind::Reply;
  ReaderFrame reply{};  // Reply: all 65 bytes the host reads
  int error = 0;        // FailSend, FailRead

  static SimOutcome Reply(const ReaderFrame& bytes);
  static SimOutcome FailSend(int error);
  static SimOutcome FailRead(int error);
};

// Sees every request before the firmware; nullopt lets the firmware answer.
using SimReplyHook = std::function<std::optional<SimOutcome>(const ReaderFrame& request)>;

enum class SimDirection { Output, Input };

// Any simulated HID device. Set the public fields up before the search;
// read the counters afterwards.
class SimDevice {
 public:
  SimDevice(std::string devicePath, std::uint16_t vendor, std::uint16_t product);
  virtual ~SimDevice() = default;
  SimDevice(const SimDevice&) = delete;
  SimDevice& operator=(const SimDevice&) = delete;

  std::string path;
  std::uint16_t vendorId;
  std::uint16_t productId;
  bool detailsReadable = true;     // false: listed, but its path cannot be read
  bool idsKnownUnopened = true;    // the host lists the identifiers without opening
  int openError = 0;               // non-zero: every open fails with this error
  bool attributesReadable = true;  // false: opens, but its identifiers cannot be read
  std::string serial;              // the USB serial number listed; empty: none
  std::string location;            // the USB location listed ("1-2.3"); empty: unknown

  int opens = 0;                      // successful opens
  int closes = 0;                     // closes of handles it gave out
  int reads = 0;                      // input reports asked for, failed ones included
  std::vector<ReaderFrame> received;  // every delivered output report, in order

 protected:
  friend class SimHost;
  struct IoResult {
    bool ok = false;
    int error = 0;
  };
  // A report the host sends; error set when the send fails.
  virtual IoResult Deliver(const ReaderFrame& report);
  // The device's current input report.
  virtual IoResult Answer(ReaderFrame& report);
};

// The reader's firmware: answers the five commands, refuses malformed
// requests, keeps the unlock state and the stored pages.
class SimReader final : public SimDevice {
 public:
  explicit SimReader(std::string devicePath);

  // Texts longer than 52 characters are cut to fit the reply.
  std::string identification = "TAVRIN HID READER V1.22";
  std::array<std::uint8_t, 4> capabilities{0x07, 0x03, 0x03, 0x01};
  std::array<std::uint8_t, 4> accessCode = kAccessCode;
  SimReplyHook replyHook;

  // The next request of command meets fault; queued faults apply in order.
  void FailNext(ReaderCommand command, SimFault fault);
  // Every request of command meets fault until ClearFaults().
  void FailAlways(ReaderCommand command, SimFault fault);
  void ClearFaults();

  bool unlocked = false;
  int resets = 0;
  std::map<std::uint8_t, std::array<std::uint8_t, kPageSize>> pages;  // by page number

  // The stored page, or nullptr when it was never written.
  const std::array<std::uint8_t, kPageSize>* Page(PageNumber page) const;

  // The firmware without the simulated host, for a bridge to a real HID
  // stack: takes one output report as the reader receives it (report number
  // first) and returns the input report it holds afterwards. Counts it in
  // received and reads; the faults are the simulated host's, not for this.
  ReaderFrame Respond(const ReaderFrame& report);

 protected:
  IoResult Deliver(const ReaderFrame& report) override;
  IoResult Answer(ReaderFrame& report) override;

 private:
  SimOutcome Decide(const ReaderFrame& request);
  std::optional<SimFault> TakeFault(std::uint8_t command);
  ReaderFrame Process(const ReaderFrame& request);
  ReaderFrame ProcessWritePage(const ReaderFrame& request);

  std::map<std::uint8_t, std::vector<SimFault>> nextFaults_;
  std::map<std::uint8_t, SimFault> alwaysFaults_;
  ReaderFrame inputReport_{};
  std::optional<int> readError_;
};

class SimHost final : public HidHost {
 public:
  // A reader (0x10C4:0x1009) at the end of the list.
  SimReader& AddReader();
  // Some other HID device at the end of the list; it takes output reports
  // and fails every read.
  SimDevice& AddDevice(std::uint16_t vendorId, std::uint16_t productId);

  // Takes the device off the list: its path no longer opens, its open
  // handles fail with ENODEV until closed. Plug brings it back at the end.
  void Unplug(SimDevice& device);
  void Plug(SimDevice& device);
  bool IsPlugged(const SimDevice& device) const;

  bool enumerationFails = false;  // the host cannot list its devices at all
  int enumerations = 0;           // how many times the devices were listed
  int OpenHandles() const;        // handles opened and not yet closed

  // Called after each delivered output report and each input report read.
  std::function<void(const SimDevice&, SimDirection, const ReaderFrame&)> onReport;

  std::optional<std::vector<HidInterface>> EnumerateInterfaces() override;
  HidHandle Open(const std::string& path) override;
  std::optional<HidAttributes> GetAttributes(HidHandle handle) override;
  bool SendOutputReport(HidHandle handle, const std::uint8_t* report) override;
  bool GetInputReport(HidHandle handle, std::uint8_t* report) override;
  void Close(HidHandle handle) override;
  int LastError() const override { return lastError_; }
  bool IsPermissionError(int error) const override;

 private:
  struct OpenHandle {
    SimDevice* device;
    bool unplugged;
  };
  template <typename Device>
  Device& Add(std::unique_ptr<Device> device);
  SimDevice* Usable(HidHandle handle);
  bool Fail(int error);

  std::vector<std::unique_ptr<SimDevice>> devices_;
  std::vector<SimDevice*> plugged_;  // enumeration order
  std::map<HidHandle, OpenHandle> handles_;
  HidHandle nextHandle_ = 1;
  int nextPath_ = 0;
  int lastError_ = 0;
};

}  // namespace tavrin
