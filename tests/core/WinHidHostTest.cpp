// The Windows HID host: against the system's own calls, with device sets and
// handles counted, and against stand-ins that check the arguments and play
// the failures a real system rarely shows.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "reader/ReaderLink.h"
#include "reader/WinHidApi.h"
#include "reader/WinHidHost.h"

namespace tavrin {
namespace {

// Device sets and handles the system gave out and has not had back.
int held = 0;

HANDLE Counted(HANDLE given) {
  held += given != INVALID_HANDLE_VALUE;
  return given;
}

TEST(WinHidHostSystem, WalksEveryInterfaceFindsNoReaderAndGivesEverythingBack) {
  const WinHidApi counted{
      .getClassDevs = [](auto... args) { return Counted(SetupDiGetClassDevsA(args...)); },
      .destroyDeviceList = [](HDEVINFO set) { return --held, SetupDiDestroyDeviceInfoList(set); },
      .createFile = [](auto... args) { return Counted(CreateFileA(args...)); },
      .closeHandle = [](HANDLE handle) { return --held, CloseHandle(handle); },
  };
  WinHidHost host(counted);
  const auto interfaces = host.EnumerateInterfaces();
  ASSERT_TRUE(interfaces && !interfaces->empty()) << "the system lists no HID interface to walk";
  for (const HidInterface& device : *interfaces) EXPECT_EQ(device.path.rfind(R"(\\?\)", 0), 0u);
  EXPECT_EQ(FindReader(host), kInvalidHidHandle);
  EXPECT_EQ(held, 0) << "device sets or handles left open";
}

// A made-up system: an interface at each path, one device behind them all.
// Interface i's device node is kFakeHidNode + i, and each level up the tree
// adds kFakeLevel; a node without an instance identifier has no parent.
constexpr DEVINST kFakeHidNode = 100, kFakeLevel = 100;

struct FakeSystem {
  std::vector<std::string> paths{};
  DWORD error = 0;                     // nonzero: listing, opening and reports fail with it
  std::vector<std::uint8_t> passed{};  // the last report buffer
  int enumCalls = 0;
  std::map<DEVINST, std::string> instanceIds{};
  std::map<DEVINST, std::string> locations{};
} fake;

// given, or the failure, with the system's error set to fake.error.
HANDLE Outcome(HANDLE given) {
  SetLastError(fake.error);
  return fake.error == 0 ? given : INVALID_HANDLE_VALUE;
}

// Either report call.
BOOLEAN WINAPI FakeReport(HANDLE, PVOID report, ULONG length) {
  const auto* bytes = static_cast<const std::uint8_t*>(report);
  fake.passed.assign(bytes, bytes + length);
  return Outcome(report) != INVALID_HANDLE_VALUE;
}

const WinHidApi kFakeApi{
    .getClassDevs =
        [](auto, auto, auto, DWORD flags) {
          EXPECT_EQ(flags, DWORD{DIGCF_PRESENT | DIGCF_DEVICEINTERFACE});
          return Outcome(reinterpret_cast<HDEVINFO>(0x5E7));
        },
    .enumInterfaces = [](auto, auto, auto, DWORD index, PSP_DEVICE_INTERFACE_DATA data) -> WINBOOL {
      data->Reserved = index;
      SetLastError(ERROR_GEN_FAILURE);  // a list that never says it is done
      return ++fake.enumCalls, index < fake.paths.size();
    },
    // As the system does: a size query, then a record whose size field must be
    // this build's record size. Only the first record ends in a terminator,
    // and an empty path's record is too short to be one.
    .getInterfaceDetail = [](auto, PSP_DEVICE_INTERFACE_DATA data,
                             PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD size, PDWORD required,
                             PSP_DEVINFO_DATA device) -> WINBOOL {
      const std::string& path = fake.paths[data->Reserved];
      const std::size_t length = path.size() + (data->Reserved == 0);
      const DWORD needed = FIELD_OFFSET(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + length;
      if (detail == nullptr) *required = needed;
      if (detail == nullptr || detail->cbSize != sizeof(*detail) || size < needed) return FALSE;
      CopyMemory(detail->DevicePath, path.c_str(), length);
      if (device != nullptr && device->cbSize == sizeof(*device))
        device->DevInst = kFakeHidNode + data->Reserved;
      return TRUE;
    },
    .destroyDeviceList = [](auto) -> WINBOOL { return TRUE; },
    .createFile =
        [](auto, DWORD access, DWORD share, auto, DWORD disposition, DWORD flags, auto) {
          EXPECT_EQ((std::vector<DWORD>{access, share, disposition, flags}),
                    (std::vector<DWORD>{GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        OPEN_EXISTING, 0}));
          return Outcome(reinterpret_cast<HANDLE>(0xD0));
        },
    // Every device says it is the reader, when asked with the size field set.
    .getAttributes = [](auto, PHIDD_ATTRIBUTES ids) -> BOOLEAN {
      *ids = {ids->Size, 0x10C4, 0x1009, 0};
      return ids->Size == sizeof(*ids);
    },
    .setOutputReport = &FakeReport,
    .getInputReport = &FakeReport,
    .getParent = [](PDEVINST parent, DEVINST node, ULONG) -> CONFIGRET {
      if (fake.instanceIds.count(node + kFakeLevel) == 0) return CR_NO_SUCH_DEVNODE;
      *parent = node + kFakeLevel;
      return CR_SUCCESS;
    },
    .getDeviceId = [](DEVINST node, PCHAR id, ULONG size, ULONG) -> CONFIGRET {
      const std::string& found = fake.instanceIds.at(node);
      if (found.size() >= size) return CR_BUFFER_SMALL;
      CopyMemory(id, found.c_str(), found.size() + 1);
      return CR_SUCCESS;
    },
    .getDeviceProperty = [](DEVINST node, ULONG property, PULONG, PVOID buffer, PULONG size,
                            ULONG) -> CONFIGRET {
      const auto found = fake.locations.find(node);
      if (property != CM_DRP_LOCATION_INFORMATION || found == fake.locations.end())
        return CR_NO_SUCH_VALUE;
      if (found->second.size() + 1 > *size) return CR_BUFFER_SMALL;
      CopyMemory(buffer, found->second.c_str(), found->second.size() + 1);
      return CR_SUCCESS;
    },
};

TEST(WinHidHostCalls, ListsSafelyOpensForWritingAndPassesWholeReports) {
  WinHidHost host(kFakeApi);
  fake = {.error = ERROR_NOT_ENOUGH_MEMORY};  // no device set at all
  EXPECT_FALSE(host.EnumerateInterfaces());
  EXPECT_EQ(host.LastError(), ERROR_NOT_ENOUGH_MEMORY);

  fake = {.paths = {R"(\\?\hid#vid_046d&pid_c077#1)", "", R"(\\?\hid#vid_10c4&pid_1009#2)"}};
  const auto interfaces = host.EnumerateInterfaces().value();
  EXPECT_EQ(interfaces.at(0).path, fake.paths[0]);
  EXPECT_FALSE(interfaces.at(1).detailsReadable);
  EXPECT_EQ(interfaces.at(2).path, fake.paths[2]);
  EXPECT_EQ(interfaces.at(2).knownIds.value().productId, kReaderProductId);
  EXPECT_EQ(fake.enumCalls, 3 + 64);
  EXPECT_EQ(interfaces.at(0).serial + interfaces.at(0).location, "") << "no device tree above it";

  // Up from the HID collection: the USB interface, then the USB device,
  // whose instance is its serial number unless Windows made one up ("&").
  fake.instanceIds = {{200, R"(HID\VID_10C4&PID_1009&MI_01\8&1&0&0000)"},
                      {300, R"(USB\VID_10C4&PID_1009&MI_01\7&2&0&1)"},
                      {400, R"(usb\vid_10c4&pid_1009\TVR0042)"},
                      {500, R"(USB\ROOT_HUB30\4&3&0&0)"},
                      {202, R"(USB\VID_10C4&PID_1009\5&1A2B&0&3)"}};
  fake.locations = {{400, "Port_#0002.Hub_#0003"}, {202, "Port_#0003.Hub_#0001"}};
  const auto usb = host.EnumerateInterfaces().value();
  EXPECT_EQ(usb.at(0).serial, "TVR0042");
  EXPECT_EQ(usb.at(0).location, "Port_#0002.Hub_#0003");
  EXPECT_EQ(usb.at(2).serial, "") << "a made-up instance is no serial number";
  EXPECT_EQ(usb.at(2).location, "Port_#0003.Hub_#0001");
  fake.instanceIds.clear();
  fake.locations.clear();

  const HidHandle device = FindReader(host);
  ASSERT_NE(device, kInvalidHidHandle);
  std::vector<std::uint8_t> report(kReportSize, 0x5A);
  EXPECT_TRUE(host.SendOutputReport(device, report.data()));
  EXPECT_EQ(fake.passed, report);
  fake.error = ERROR_GEN_FAILURE;
  EXPECT_FALSE(host.GetInputReport(device, report.data()));
  EXPECT_EQ(fake.passed.size(), kReportSize);
  EXPECT_EQ(fake.passed[0], 0);  // report number 0 asked for
  EXPECT_EQ(host.LastError(), ERROR_GEN_FAILURE);
  fake.error = ERROR_DEVICE_NOT_CONNECTED;
  EXPECT_FALSE(host.SendOutputReport(device, report.data()));
  EXPECT_EQ(host.LastError(), ERROR_DEVICE_NOT_CONNECTED);
  fake.error = ERROR_ACCESS_DENIED;
  EXPECT_EQ(host.Open(fake.paths[2]), kInvalidHidHandle);
  EXPECT_TRUE(host.IsPermissionError(host.LastError()));
  EXPECT_FALSE(host.IsPermissionError(ERROR_FILE_NOT_FOUND));
}

}  // namespace
}  // namespace tavrin
