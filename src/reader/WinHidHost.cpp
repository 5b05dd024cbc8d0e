#include "reader/WinHidHost.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <memory>

#include "reader/HidDevicePath.h"
#include "reader/WinHidApi.h"

namespace tavrin {
namespace {

// Guards against a device list that keeps failing without ever saying that
// it has no more items.
constexpr int kMaxFailedIndexes = 64;

// A HID interface sits a few levels below its USB device (HID collection,
// USB interface, USB device); the walk up stops well before the root.
constexpr int kMaxAncestors = 8;

HANDLE AsHandle(HidHandle handle) { return reinterpret_cast<HANDLE>(handle); }

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The serial number and location of the USB device above the interface's
// device node: the first ancestor whose instance identifier names a USB
// device ("USB\VID_10C4&PID_1009\<instance>") rather than one of its
// interfaces ("...&MI_01\..."). Windows takes the device's serial number as
// the instance when it has one; a made-up instance holds "&". Nothing is set
// for a device that is not on USB.
void ReadUsbDevice(const WinHidApi& api, DEVINST node, HidInterface& entry) {
  for (int depth = 0; depth < kMaxAncestors; ++depth) {
    DEVINST parent = 0;
    if (api.getParent(&parent, node, 0) != CR_SUCCESS) return;
    node = parent;
    std::array<char, MAX_DEVICE_ID_LEN + 1> id{};
    if (api.getDeviceId(node, id.data(), MAX_DEVICE_ID_LEN, 0) != CR_SUCCESS) return;
    const std::string instanceId(id.data(), strnlen(id.data(), MAX_DEVICE_ID_LEN));
    const std::string upper = Upper(instanceId);
    if (!upper.starts_with("USB\\") || upper.find("&MI_") != std::string::npos) continue;
    const std::string instance = instanceId.substr(instanceId.rfind('\\') + 1);
    if (instance.find('&') == std::string::npos) entry.serial = instance;
    std::array<char, 256> location{};
    ULONG size = static_cast<ULONG>(location.size()), type = 0;
    if (api.getDeviceProperty(node, CM_DRP_LOCATION_INFORMATION, &type, location.data(), &size,
                              0) == CR_SUCCESS)
      entry.location.assign(location.data(), strnlen(location.data(), location.size()));
    return;
  }
}

HidInterface ReadInterface(const WinHidApi& api, HDEVINFO set, SP_DEVICE_INTERFACE_DATA& data) {
  HidInterface entry;
  entry.detailsReadable = false;
  DWORD size = 0;
  api.getInterfaceDetail(set, &data, nullptr, 0, &size, nullptr);
  if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) return entry;
  // new[] memory suits the record's alignment; freed as soon as the path is copied.
  const auto buffer = std::make_unique<std::uint8_t[]>(size);
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.get());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  if (!api.getInterfaceDetail(set, &data, detail, size, nullptr, &device)) return entry;
  // Bounded by the record, should a path come back without its terminator.
  const std::size_t room = size - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
  entry.path.assign(detail->DevicePath, strnlen(detail->DevicePath, room));
  entry.detailsReadable = true;
  entry.knownIds = IdsFromDevicePath(entry.path);
  ReadUsbDevice(api, device.DevInst, entry);
  return entry;
}

const WinHidApi kSystemApi{};

}  // namespace

WinHidHost::WinHidHost() : api_(kSystemApi) {}

std::optional<std::vector<HidInterface>> WinHidHost::EnumerateInterfaces() {
  GUID hidGuid;
  api_.getHidGuid(&hidGuid);
  HDEVINFO set =
      api_.getClassDevs(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) {
    Fail();
    return std::nullopt;
  }
  std::vector<HidInterface> interfaces;
  int failedIndexes = 0;
  for (DWORD index = 0; failedIndexes < kMaxFailedIndexes; ++index) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    if (api_.enumInterfaces(set, nullptr, &hidGuid, index, &data)) {
      interfaces.push_back(ReadInterface(api_, set, data));
      failedIndexes = 0;
    } else if (GetLastError() == ERROR_NO_MORE_ITEMS) {
      break;
    } else {
      ++failedIndexes;
    }
  }
  api_.destroyDeviceList(set);
  return interfaces;
}

// Write access only: the reports travel as HID class control requests, which
// need no read access, and Windows holds keyboard collections open for
// reading, so asking for read access could lock the reader out.
HidHandle WinHidHost::Open(const std::string& path) {
  HANDLE handle = api_.createFile(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    Fail();
    return kInvalidHidHandle;
  }
  return reinterpret_cast<HidHandle>(handle);
}

std::optional<HidAttributes> WinHidHost::GetAttributes(HidHandle handle) {
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof(attributes);
  if (!api_.getAttributes(AsHandle(handle), &attributes)) {
    Fail();
    return std::nullopt;
  }
  return HidAttributes{attributes.VendorID, attributes.ProductID};
}

bool WinHidHost::SendOutputReport(HidHandle handle, const std::uint8_t* report) {
  std::array<std::uint8_t, kReportSize> copy;  // the call takes a non-const buffer
  std::copy_n(report, kReportSize, copy.begin());
  return api_.setOutputReport(AsHandle(handle), copy.data(), kReportSize) || Fail();
}

bool WinHidHost::GetInputReport(HidHandle handle, std::uint8_t* report) {
  report[0] = 0;  // the reader numbers no reports
  return api_.getInputReport(AsHandle(handle), report, kReportSize) || Fail();
}

void WinHidHost::Close(HidHandle handle) {
  if (handle != kInvalidHidHandle) api_.closeHandle(AsHandle(handle));
}

bool WinHidHost::IsPermissionError(int error) const { return error == ERROR_ACCESS_DENIED; }

bool WinHidHost::Fail() {
  lastError_ = static_cast<int>(GetLastError());
  return false;
}

}  // namespace tavrin
