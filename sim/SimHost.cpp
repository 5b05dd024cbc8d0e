#include "sim/SimHost.h"

#include <algorithm>
#include <cerrno>

namespace tavrin {

SimDevice::SimDevice(std::string devicePath, std::uint16_t vendor, std::uint16_t product)
    : path(std::move(devicePath)), vendorId(vendor), productId(product) {}

SimDevice::IoResult SimDevice::Deliver(const ReaderFrame& report) {
  received.push_back(report);
  return {true, 0};
}

SimDevice::IoResult SimDevice::Answer(ReaderFrame&) {
  ++reads;
  return {false, EIO};
}

SimReader& SimHost::AddReader() {
  return Add(std::make_unique<SimReader>("sim:hid/" + std::to_string(nextPath_++)));
}

SimDevice& SimHost::AddDevice(std::uint16_t vendorId, std::uint16_t productId) {
  const std::string path = "sim:hid/" + std::to_string(nextPath_++);
  return Add(std::make_unique<SimDevice>(path, vendorId, productId));
}

template <typename Device>
Device& SimHost::Add(std::unique_ptr<Device> device) {
  Device& added = *device;
  devices_.push_back(std::move(device));
  plugged_.push_back(&added);
  return added;
}

void SimHost::Unplug(SimDevice& device) {
  std::erase(plugged_, &device);
  for (auto& [handle, open] : handles_) {
    if (open.device == &device) open.unplugged = true;
  }
}

void SimHost::Plug(SimDevice& device) {
  if (!IsPlugged(device)) plugged_.push_back(&device);
}

bool SimHost::IsPlugged(const SimDevice& device) const {
  return std::find(plugged_.begin(), plugged_.end(), &device) != plugged_.end();
}

int SimHost::OpenHandles() const { return static_cast<int>(handles_.size()); }

std::optional<std::vector<HidInterface>> SimHost::EnumerateInterfaces() {
  ++enumerations;
  if (enumerationFails) {
    Fail(EIO);
    return std::nullopt;
  }
  std::vector<HidInterface> interfaces;
  for (const SimDevice* device : plugged_) {
    HidInterface& entry = interfaces.emplace_back();
    entry.detailsReadable = device->detailsReadable;
    if (!device->detailsReadable) continue;
    entry.path = device->path;
    entry.serial = device->serial;
    entry.location = device->location;
    if (device->idsKnownUnopened)
      entry.knownIds = HidAttributes{device->vendorId, device->productId};
  }
  return interfaces;
}

HidHandle SimHost::Open(const std::string& path) {
  const auto found =
      std::find_if(plugged_.begin(), plugged_.end(),
                   [&path](const SimDevice* device) { return device->path == path; });
  const int error = found == plugged_.end() ? ENOENT : (*found)->openError;
  if (error != 0) {
    Fail(error);
    return kInvalidHidHandle;
  }
  SimDevice& device = **found;
  ++device.opens;
  const HidHandle handle = nextHandle_++;
  handles_.emplace(handle, OpenHandle{&device, false});
  return handle;
}

std::optional<HidAttributes> SimHost::GetAttributes(HidHandle handle) {
  SimDevice* device = Usable(handle);
  if (device == nullptr) return std::nullopt;
  if (!device->attributesReadable) {
    Fail(EIO);
    return std::nullopt;
  }
  return HidAttributes{device->vendorId, device->productId};
}

bool SimHost::SendOutputReport(HidHandle handle, const std::uint8_t* report) {
  SimDevice* device = Usable(handle);
  if (device == nullptr) return false;
  ReaderFrame frame;
  std::copy_n(report, kReportSize, frame.begin());
  const SimDevice::IoResult result = device->Deliver(frame);
  if (!result.ok) return Fail(result.error);
  if (onReport) onReport(*device, SimDirection::Output, frame);
  return true;
}

bool SimHost::GetInputReport(HidHandle handle, std::uint8_t* report) {
  SimDevice* device = Usable(handle);
  if (device == nullptr) return false;
  ReaderFrame frame;
  std::copy_n(report, kReportSize, frame.begin());
  const SimDevice::IoResult result = device->Answer(frame);
  if (!result.ok) return Fail(result.error);
  std::copy(frame.begin(), frame.end(), report);
  if (onReport) onReport(*device, SimDirection::Input, frame);
  return true;
}

void SimHost::Close(HidHandle handle) {
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return;
  ++it->second.device->closes;
  handles_.erase(it);
}

bool SimHost::IsPermissionError(int error) const { return error == EACCES || error == EPERM; }

SimDevice* SimHost::Usable(HidHandle handle) {
  const auto it = handles_.find(handle);
  const int error = it == handles_.end() ? EBADF : it->second.unplugged ? ENODEV : 0;
  if (error == 0) return it->second.device;
  Fail(error);
  return nullptr;
}

bool SimHost::Fail(int error) {
  lastError_ = error;
  return false;
}

}  // namespace tavrin
