#include "reader/SysfsUsbLocation.h"

#include <fstream>

namespace tavrin {
namespace {

// The first line of a sysfs attribute; empty when it cannot be read.
std::string Attribute(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

}  // namespace

std::string UsbLocationOfHidraw(const std::string& node, const std::filesystem::path& sysfs) {
  namespace fs = std::filesystem;
  const std::string name = fs::path(node).filename().string();
  if (!name.starts_with("hidraw")) return {};
  std::error_code error;
  fs::path dir = fs::canonical(sysfs / "class" / "hidraw" / name / "device", error);
  if (error) return {};
  // Up from the HID device: its USB interface, then the USB device, which
  // alone has a bus number and a port path.
  for (; dir.has_relative_path(); dir = dir.parent_path()) {
    if (!fs::exists(dir / "busnum", error) || !fs::exists(dir / "devpath", error)) continue;
    const std::string bus = Attribute(dir / "busnum"), ports = Attribute(dir / "devpath");
    return bus.empty() || ports.empty() ? std::string() : bus + "-" + ports;
  }
  return {};
}

}  // namespace tavrin
