#include "sim/uhid/UhidDevice.h"

#include <fcntl.h>
#include <linux/input.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

namespace tavrin {
namespace {

// The kernel adds the device from a work queue, after the create request
// has returned; its hidraw node follows a little later.
constexpr auto kNodeWait = std::chrono::seconds(10);

// The hidraw node of the device with phys, once it can be opened: sysfs
// lists the node a moment before devtmpfs makes it.
std::string HidrawNodeOf(const std::string& phys) {
  namespace fs = std::filesystem;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/sys/class/hidraw", error)) {
    std::ifstream uevent(entry.path() / "device" / "uevent");
    for (std::string line; std::getline(uevent, line);) {
      if (line != "HID_PHYS=" + phys) continue;
      const std::string node = "/dev/" + entry.path().filename().string();
      return fs::exists(node, error) ? node : "";
    }
  }
  return {};
}

template <std::size_t N>
void CopyText(std::uint8_t (&field)[N], const std::string& text) {
  std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

}  // namespace

UhidDevice::UhidDevice(const UhidIdentity& identity) {
  fd_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
  if (fd_ < 0) {
    Fail("cannot open /dev/uhid");
    return;
  }
  uhid_event event{};
  event.type = UHID_CREATE2;
  uhid_create2_req& create = event.u.create2;
  CopyText(create.name, identity.name);
  CopyText(create.phys, identity.phys);
  CopyText(create.uniq, identity.uniq);
  create.bus = BUS_USB;
  create.vendor = identity.vendorId;
  create.product = identity.productId;
  create.rd_size = static_cast<std::uint16_t>(identity.descriptor.size());
  std::copy(identity.descriptor.begin(), identity.descriptor.end(), create.rd_data);
  if (!Write(event)) {
    Fail("UHID_CREATE2 failed");
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + kNodeWait;
  while ((node_ = HidrawNodeOf(identity.phys)).empty()) {
    if (std::chrono::steady_clock::now() > deadline) {
      error_ = "no hidraw node for " + identity.phys;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

UhidDevice::~UhidDevice() {
  if (fd_ < 0) return;
  uhid_event event{};
  event.type = UHID_DESTROY;
  Write(event);
  ::close(fd_);
}

std::optional<uhid_event> UhidDevice::ReadEvent() {
  uhid_event event{};
  const ssize_t got = ::read(fd_, &event, sizeof event);
  if (got < static_cast<ssize_t>(sizeof event.type)) return std::nullopt;
  return event;
}

void UhidDevice::ReplyGetReport(std::uint32_t id, std::span<const std::uint8_t> data, int error) {
  uhid_event event{};
  event.type = UHID_GET_REPORT_REPLY;
  uhid_get_report_reply_req& reply = event.u.get_report_reply;
  reply.id = id;
  reply.err = static_cast<std::uint16_t>(error);
  if (error == 0) {
    reply.size = static_cast<std::uint16_t>(std::min<std::size_t>(data.size(), UHID_DATA_MAX));
    std::copy_n(data.begin(), reply.size, reply.data);
  }
  Write(event);
}

void UhidDevice::ReplySetReport(std::uint32_t id, int error) {
  uhid_event event{};
  event.type = UHID_SET_REPORT_REPLY;
  event.u.set_report_reply.id = id;
  event.u.set_report_reply.err = static_cast<std::uint16_t>(error);
  Write(event);
}

bool UhidDevice::Write(const uhid_event& event) {
  return ::write(fd_, &event, sizeof event) == static_cast<ssize_t>(sizeof event);
}

bool UhidDevice::Fail(const std::string& what) {
  error_ = what + ": " + std::strerror(errno);
  return false;
}

}  // namespace tavrin
