#include "reader/HidapiHost.h"

#include <hidapi.h>

#include <cerrno>

#include "reader/SysfsUsbLocation.h"
#include "reader/Utf8.h"

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tavrin {
namespace {

// errno of the call that just failed; hidapi may have reported a failure
// without one, and 0 would read as "no error" to the user.
int CallError() { return errno != 0 ? errno : EIO; }

// hidapi formats its own message after a failed open, which can overwrite
// errno; repeating the open that it made gives the kernel's real answer
// (EACCES for a user without the udev rule).
int OpenFailureReason([[maybe_unused]] const std::string& path, int captured) {
#ifdef __linux__
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return errno;
  ::close(fd);
#endif
  return captured != 0 ? captured : EIO;
}

// Windows keeps keyboards and mice to itself, so there the reader's own
// interface is the only one of its interfaces that opens. hidraw would open
// the keyboard one too, and it does not speak the reader's protocol.
bool IsKeyboardOrMouse(const hid_device_info& info) {
  constexpr unsigned short kGenericDesktop = 0x01, kMouse = 0x02, kKeyboard = 0x06;
  return info.usage_page == kGenericDesktop && (info.usage == kKeyboard || info.usage == kMouse);
}

// hidapi's wide text (a USB string descriptor) as UTF-8.
std::string Utf8(const wchar_t* wide) {
  std::string text;
  for (; wide != nullptr && *wide != 0; ++wide) AppendUtf8(text, static_cast<char32_t>(*wide));
  return text;
}

}  // namespace

HidapiHost::HidapiHost() : initialised_(hid_init() == 0) {
  if (!initialised_) lastError_ = CallError();
}

HidapiHost::~HidapiHost() {
  for (const auto& [handle, device] : devices_) hid_close(device);
  if (initialised_) hid_exit();
}

std::optional<std::vector<HidInterface>> HidapiHost::EnumerateInterfaces() {
  if (!initialised_) return std::nullopt;
  std::vector<HidInterface> interfaces;
  hid_device_info* list = hid_enumerate(0, 0);
  for (const hid_device_info* info = list; info != nullptr; info = info->next) {
    if (IsKeyboardOrMouse(*info)) continue;
    HidInterface& entry = interfaces.emplace_back();
    entry.detailsReadable = info->path != nullptr;
    if (info->path != nullptr) entry.path = info->path;
    entry.knownIds = HidAttributes{info->vendor_id, info->product_id};
    entry.serial = Utf8(info->serial_number);
#ifdef __linux__
    entry.location = UsbLocationOfHidraw(entry.path);
#endif
  }
  hid_free_enumeration(list);
  return interfaces;
}

HidHandle HidapiHost::Open(const std::string& path) {
  if (!initialised_) {
    Fail(ENODEV);
    return kInvalidHidHandle;
  }
  errno = 0;
  hid_device* device = hid_open_path(path.c_str());
  if (device == nullptr) {
    lastError_ = OpenFailureReason(path, errno);
    return kInvalidHidHandle;
  }
  const HidHandle handle = nextHandle_++;
  devices_.emplace(handle, device);
  return handle;
}

std::optional<HidAttributes> HidapiHost::GetAttributes(HidHandle handle) {
  hid_device* device = Device(handle);
  if (device == nullptr) return std::nullopt;
  errno = 0;
  const hid_device_info* info = hid_get_device_info(device);
  if (info == nullptr) {
    Fail(CallError());
    return std::nullopt;
  }
  return HidAttributes{info->vendor_id, info->product_id};
}

bool HidapiHost::SendOutputReport(HidHandle handle, const std::uint8_t* report) {
  hid_device* device = Device(handle);
  if (device == nullptr) return false;
  errno = 0;
#ifdef TAVRIN_HAVE_HID_SEND_OUTPUT_REPORT
  const int sent = hid_send_output_report(device, report, kReportSize);
#else
  const int sent = hid_write(device, report, kReportSize);
#endif
  return sent >= 0 || Fail(CallError());
}

bool HidapiHost::GetInputReport(HidHandle handle, std::uint8_t* report) {
  hid_device* device = Device(handle);
  if (device == nullptr) return false;
  report[0] = 0;  // the reader numbers no reports
  errno = 0;
  return hid_get_input_report(device, report, kReportSize) >= 0 || Fail(CallError());
}

void HidapiHost::Close(HidHandle handle) {
  const auto it = devices_.find(handle);
  if (it == devices_.end()) return;
  hid_close(it->second);
  devices_.erase(it);
}

bool HidapiHost::IsPermissionError(int error) const { return error == EACCES || error == EPERM; }

hid_device* HidapiHost::Device(HidHandle handle) {
  const auto it = devices_.find(handle);
  if (it != devices_.end()) return it->second;
  Fail(EBADF);
  return nullptr;
}

bool HidapiHost::Fail(int error) {
  lastError_ = error;
  return false;
}

}  // namespace tavrin
