#include "sim/uhid/UhidReader.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "reader/ReaderLink.h"

namespace tavrin {
namespace {

// Vendor usage page, one 64-byte input and one 64-byte output report, no
// report IDs: the reader's own interface.
constexpr std::uint8_t kOwnDescriptor[] = {
    0x06, 0x00, 0xFF,  // usage page 0xFF00
    0x09, 0x01,        // usage 1
    0xA1, 0x01,        // collection (application)
    0x15, 0x00,        //   logical minimum 0
    0x26, 0xFF, 0x00,  //   logical maximum 255
    0x75, 0x08,        //   report size 8
    0x95, 0x40,        //   report count 64
    0x09, 0x01,        //   usage 1
    0x81, 0x02,        //   input (data, variable, absolute)
    0x09, 0x01,        //   usage 1
    0x91, 0x02,        //   output (data, variable, absolute)
    0xC0,              // end collection
};

// The boot keyboard of the HID class definition: what the reader types through.
constexpr std::uint8_t kKeyboardDescriptor[] = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01,              // generic desktop, keyboard, collection
    0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00,  //   modifier keys
    0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,  //   ... 8 bits of input
    0x95, 0x01, 0x75, 0x08, 0x81, 0x01,              //   reserved byte
    0x95, 0x05, 0x75, 0x01, 0x05, 0x08, 0x19, 0x01,  //   5 LEDs
    0x29, 0x05, 0x91, 0x02,                          //   ... output
    0x95, 0x01, 0x75, 0x03, 0x91, 0x01,              //   LED padding
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x25, 0x65,  //   6 key codes
    0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00,  //   ... input array
    0xC0,                                            // end collection
};

// What a boot keyboard with no key down answers, after the report number.
constexpr std::array<std::uint8_t, 9> kNoKeysReport{};

// The kernel's LED state for the keyboard: one byte, no report number.
constexpr std::size_t kLedReportSize = 1;

// The 64 bytes the reader receives of an output report, behind report
// number 0 as the firmware expects them. usbhid sends a report numbered 0
// without its number and any other report as it is.
ReaderFrame AsReceived(std::span<const std::uint8_t> data) {
  ReaderFrame frame{};
  const auto body = !data.empty() && data[0] == 0 ? data.subspan(1) : data;
  std::copy_n(body.begin(), std::min(body.size(), kReportSize - 1), frame.begin() + 1);
  return frame;
}

std::span<const std::uint8_t> OutputData(const uhid_event& event) {
  if (event.type == UHID_OUTPUT) return {event.u.output.data, event.u.output.size};
  return {event.u.set_report.data, event.u.set_report.size};
}

bool IsOutputReport(const uhid_event& event) {
  if (event.type == UHID_OUTPUT) return event.u.output.rtype == UHID_OUTPUT_REPORT;
  return event.type == UHID_SET_REPORT && event.u.set_report.rtype == UHID_OUTPUT_REPORT;
}

}  // namespace

UhidReader::UhidReader(int index) : firmware("uhid:" + std::to_string(index)), index_(index) {}

bool UhidReader::Plug() {
  if (IsPlugged()) return true;
  const std::string phys = "tavrin-uhid/" + std::to_string(index_);
  const std::string name = "Tavrin emulated reader " + std::to_string(index_);
  keyboard_ = std::make_unique<UhidDevice>(UhidIdentity{name + " keyboard", phys + "/input0",
                                                        Serial(), kReaderVendorId, kReaderProductId,
                                                        kKeyboardDescriptor});
  if (keyboard_->Created()) {
    own_ = std::make_unique<UhidDevice>(UhidIdentity{
        name, phys + "/input1", Serial(), kReaderVendorId, kReaderProductId, kOwnDescriptor});
  }
  const UhidDevice& last = own_ ? *own_ : *keyboard_;
  if (last.Created()) {
    firmware.unlocked = false;  // a fresh start of the reader
    return true;
  }
  error_ = last.Error();
  Unplug();
  return false;
}

void UhidReader::Unplug() {
  ownOpen = false;  // a destroyed device reports no close
  own_.reset();
  keyboard_.reset();
}

std::string UhidReader::Serial() const { return "TAVRIN-EMU-" + std::to_string(index_); }

std::string UhidReader::KeyboardNode() const { return keyboard_ ? keyboard_->Node() : ""; }
std::string UhidReader::OwnNode() const { return own_ ? own_->Node() : ""; }
int UhidReader::KeyboardDescriptor() const { return keyboard_ ? keyboard_->Descriptor() : -1; }
int UhidReader::OwnDescriptor() const { return own_ ? own_->Descriptor() : -1; }

bool UhidReader::Service(int fd) {
  const bool own = fd == OwnDescriptor();
  if (!own && fd != KeyboardDescriptor()) return false;
  UhidDevice& device = own ? *own_ : *keyboard_;
  if (const auto event = device.ReadEvent()) own ? ServiceOwn(*event) : ServiceKeyboard(*event);
  return true;
}

void UhidReader::ServiceOwn(const uhid_event& event) {
  switch (event.type) {
    case UHID_OUTPUT:
      if (IsOutputReport(event)) TakeOutputReport(OutputData(event));
      break;
    case UHID_SET_REPORT:
      if (IsOutputReport(event)) TakeOutputReport(OutputData(event));
      own_->ReplySetReport(event.u.set_report.id, IsOutputReport(event) ? 0 : EIO);
      break;
    case UHID_GET_REPORT: {
      ++inputReportsAsked;
      const uhid_get_report_req& ask = event.u.get_report;
      const bool input0 = ask.rtype == UHID_INPUT_REPORT && ask.rnum == 0;
      own_->ReplyGetReport(ask.id, inputReport_, input0 ? 0 : EIO);
      break;
    }
    case UHID_OPEN:
    case UHID_CLOSE:
      ownOpen = event.type == UHID_OPEN;  // the kernel's first open, last close
      break;
    default:
      break;  // start and stop need no answer
  }
}

void UhidReader::ServiceKeyboard(const uhid_event& event) {
  switch (event.type) {
    case UHID_OUTPUT:
      if (event.u.output.size != kLedReportSize) ++keyboardRequests;
      break;
    case UHID_SET_REPORT:
      ++keyboardRequests;
      keyboard_->ReplySetReport(event.u.set_report.id);
      break;
    case UHID_GET_REPORT:
      ++keyboardRequests;
      keyboard_->ReplyGetReport(event.u.get_report.id, kNoKeysReport);
      break;
    default:
      break;
  }
}

void UhidReader::TakeOutputReport(std::span<const std::uint8_t> data) {
  inputReport_ = firmware.Respond(AsReceived(data));
  inputReport_[0] = 0;  // the reader numbers no reports
}

}  // namespace tavrin
