// The Windows HID host: against the system's own device installation and HID
// functions, with every call counted, and against stand-ins that check the
// arguments and play the failures a real system rarely shows.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "reader/ReaderLink.h"
#include "reader/WinHidApi.h"
#include "reader/WinHidHost.h"

namespace tavrin {
namespace {

// The system's own functions, with device sets and handles counted so that
// one left open fails the test.
std::set<HDEVINFO> openSets;
std::set<HANDLE> openHandles;

HDEVINFO WINAPI CountedGetClassDevs(const GUID* guid, PCSTR enumerator, HWND parent, DWORD flags) {
  HDEVINFO set = SetupDiGetClassDevsA(guid, enumerator, parent, flags);
  if (set != INVALID_HANDLE_VALUE) openSets.insert(set);
  return set;
}

WINBOOL WINAPI CountedDestroyDeviceList(HDEVINFO set) {
  EXPECT_EQ(openSets.erase(set), 1u) << "a device set destroyed twice or never created";
  return SetupDiDestroyDeviceInfoList(set);
}

HANDLE WINAPI CountedCreateFile(LPCSTR path, DWORD access, DWORD share,
                                LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                HANDLE templateFile) {
  HANDLE handle = CreateFileA(path, access, share, security, disposition, flags, templateFile);
  if (handle != INVALID_HANDLE_VALUE) openHandles.insert(handle);
  return handle;
}

WINBOOL WINAPI CountedCloseHandle(HANDLE handle) {
  EXPECT_EQ(openHandles.erase(handle), 1u) << "a handle closed twice or never opened";
  return CloseHandle(handle);
}

TEST(WinHidHostSystem, WalksEveryInterfaceFindsNoReaderAndGivesEverythingBack) {
  WinHidApi api;
  api.getClassDevs = &CountedGetClassDevs;
  api.destroyDeviceList = &CountedDestroyDeviceList;
  api.createFile = &CountedCreateFile;
  api.closeHandle = &CountedCloseHandle;
  WinHidHost host(api);
  const auto interfaces = host.EnumerateInterfaces();
  ASSERT_TRUE(interfaces);
  ASSERT_FALSE(interfaces->empty()) << "the system lists no HID interface to walk";
  for (const HidInterface& device : *interfaces) {
    EXPECT_TRUE(device.detailsReadable);
    EXPECT_EQ(device.path.rfind(R"(\\?\)", 0), 0u) << device.path;
  }
  ReaderSearchReport report;
  EXPECT_EQ(FindReader(host, &report), kInvalidHidHandle);
  EXPECT_FALSE(report.readerSeen);
  EXPECT_TRUE(openSets.empty()) << "device sets left open";
  EXPECT_TRUE(openHandles.empty()) << "device handles left open";
}

// Stand-ins for one made-up system: a few interfaces whose behaviour each test
// sets, and one device behind every path.
struct FakeSystem {
  std::vector<std::string> paths;
  std::set<DWORD> unreadableDetails;
  std::set<DWORD> unterminatedPaths;      // the record ends right after the path
  DWORD enumError = ERROR_NO_MORE_ITEMS;  // what a step past the list says
  bool noDeviceSet = false;
  DWORD detailSizeSeen = 0;
  DWORD createAccess = 0, createShare = 0, createDisposition = 0, createFlags = 0;
  DWORD createError = 0;  // nonzero: opening fails with it
  std::vector<std::uint8_t> sent;
  ULONG readLength = 0;
  std::uint8_t readFirstByte = 0xEE;
  int enumCalls = 0, destroyed = 0, closed = 0;
};
FakeSystem fake;
const auto kFakeSet = reinterpret_cast<HDEVINFO>(0x5E7);
const auto kFakeDevice = reinterpret_cast<HANDLE>(0xD0);

HDEVINFO WINAPI FakeGetClassDevs(const GUID*, PCSTR, HWND, DWORD flags) {
  EXPECT_EQ(flags, static_cast<DWORD>(DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!fake.noDeviceSet) return kFakeSet;
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return INVALID_HANDLE_VALUE;
}

WINBOOL WINAPI FakeEnumInterfaces(HDEVINFO set, PSP_DEVINFO_DATA, const GUID*, DWORD index,
                                  PSP_DEVICE_INTERFACE_DATA data) {
  EXPECT_EQ(set, kFakeSet);
  EXPECT_EQ(data->cbSize, sizeof(SP_DEVICE_INTERFACE_DATA));
  ++fake.enumCalls;
  if (index < fake.paths.size()) {
    data->Reserved = index;
    return TRUE;
  }
  SetLastError(fake.enumError);
  return FALSE;
}

// As the system does: a size query first, then a record whose size field
// must be this build's record size.
WINBOOL WINAPI FakeGetInterfaceDetail(HDEVINFO, PSP_DEVICE_INTERFACE_DATA data,
                                      PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD size,
                                      PDWORD required, PSP_DEVINFO_DATA) {
  const DWORD index = static_cast<DWORD>(data->Reserved);
  if (fake.unreadableDetails.count(index) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string& path = fake.paths[index];
  const std::size_t terminator = fake.unterminatedPaths.count(index) != 0 ? 0 : 1;
  const DWORD needed =
      offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + path.size() + terminator;
  if (detail == nullptr) {
    *required = needed;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  fake.detailSizeSeen = detail->cbSize;
  if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) || size < needed) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  std::memcpy(detail->DevicePath, path.c_str(), path.size() + terminator);
  return TRUE;
}

WINBOOL WINAPI FakeDestroyDeviceList(HDEVINFO set) {
  EXPECT_EQ(set, kFakeSet);
  ++fake.destroyed;
  return TRUE;
}

HANDLE WINAPI FakeCreateFile(LPCSTR, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                             DWORD disposition, DWORD flags, HANDLE) {
  fake.createAccess = access;
  fake.createShare = share;
  fake.createDisposition = disposition;
  fake.createFlags = flags;
  if (fake.createError == 0) return kFakeDevice;
  SetLastError(fake.createError);
  return INVALID_HANDLE_VALUE;
}

BOOLEAN WINAPI FakeGetAttributes(HANDLE, PHIDD_ATTRIBUTES attributes) {
  EXPECT_EQ(attributes->Size, sizeof(HIDD_ATTRIBUTES));
  attributes->VendorID = kReaderVendorId;
  attributes->ProductID = kReaderProductId;
  return TRUE;
}

BOOLEAN WINAPI FakeSetOutputReport(HANDLE, PVOID report, ULONG length) {
  const auto* bytes = static_cast<const std::uint8_t*>(report);
  fake.sent.assign(bytes, bytes + length);
  SetLastError(ERROR_DEVICE_NOT_CONNECTED);
  return fake.sent[1] != 0xDD;  // a request that starts 0xDD "fails"
}

BOOLEAN WINAPI FakeGetInputReport(HANDLE, PVOID report, ULONG length) {
  fake.readLength = length;
  fake.readFirstByte = *static_cast<std::uint8_t*>(report);
  SetLastError(ERROR_GEN_FAILURE);
  return FALSE;
}

WINBOOL WINAPI FakeCloseHandle(HANDLE handle) {
  EXPECT_EQ(handle, kFakeDevice);
  ++fake.closed;
  return TRUE;
}

class WinHidHostCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    fake = {};
    api_.getClassDevs = &FakeGetClassDevs;
    api_.enumInterfaces = &FakeEnumInterfaces;
    api_.getInterfaceDetail = &FakeGetInterfaceDetail;
    api_.destroyDeviceList = &FakeDestroyDeviceList;
    api_.createFile = &FakeCreateFile;
    api_.getAttributes = &FakeGetAttributes;
    api_.setOutputReport = &FakeSetOutputReport;
    api_.getInputReport = &FakeGetInputReport;
    api_.closeHandle = &FakeCloseHandle;
  }

  WinHidApi api_;
  WinHidHost host_{api_};
};

constexpr const char* kReaderPath = R"(\\?\hid#vid_10c4&pid_1009#7&2f&0&0000#{4d1e55b2})";

TEST_F(WinHidHostCalls, DetailRecordsAreReadSafelyAndUnreadableOnesMarked) {
#ifdef _WIN64
  static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 8);
#else
  static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5);
#endif
  fake.paths = {R"(\\?\hid#vid_046d&pid_c077#x)", "unreadable", kReaderPath};
  fake.unreadableDetails = {1};
  fake.unterminatedPaths = {2};
  const auto interfaces = host_.EnumerateInterfaces();
  ASSERT_TRUE(interfaces);
  ASSERT_EQ(interfaces->size(), 3u);
  EXPECT_EQ(fake.detailSizeSeen, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A));
  EXPECT_EQ((*interfaces)[0].path, fake.paths[0]);
  EXPECT_FALSE((*interfaces)[1].detailsReadable);
  EXPECT_EQ((*interfaces)[2].path, kReaderPath);
  ASSERT_TRUE((*interfaces)[2].knownIds);
  EXPECT_EQ((*interfaces)[2].knownIds->productId, kReaderProductId);
  EXPECT_EQ(fake.destroyed, 1);
}

TEST_F(WinHidHostCalls, EnumerationEndsOnAListThatNeverSaysItIsDone) {
  fake.paths = {kReaderPath};
  fake.enumError = ERROR_INVALID_PARAMETER;
  const auto interfaces = host_.EnumerateInterfaces();
  ASSERT_TRUE(interfaces);
  EXPECT_EQ(interfaces->size(), 1u);
  EXPECT_EQ(fake.enumCalls, 1 + 64);
  EXPECT_EQ(fake.destroyed, 1);
}

TEST_F(WinHidHostCalls, NoDeviceSetIsAFailureWithTheSystemsError) {
  fake.noDeviceSet = true;
  EXPECT_FALSE(host_.EnumerateInterfaces());
  EXPECT_EQ(host_.LastError(), ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(fake.destroyed, 0);
}

TEST_F(WinHidHostCalls, OpensForWritingSharedAndSynchronous) {
  fake.paths = {kReaderPath};
  ReaderLink link{host_, FindReader(host_)};
  ASSERT_TRUE(link.IsOpen());
  EXPECT_EQ(fake.createAccess, static_cast<DWORD>(GENERIC_WRITE));
  EXPECT_EQ(fake.createShare, static_cast<DWORD>(FILE_SHARE_READ | FILE_SHARE_WRITE));
  EXPECT_EQ(fake.createDisposition, static_cast<DWORD>(OPEN_EXISTING));
  EXPECT_EQ(fake.createFlags, 0u);
  CloseReader(link);
  EXPECT_EQ(fake.closed, 1);
}

TEST_F(WinHidHostCalls, DeniedOpenIsReportedAsAPermissionProblem) {
  fake.paths = {kReaderPath};
  fake.createError = ERROR_ACCESS_DENIED;
  ReaderSearchReport report;
  EXPECT_EQ(FindReader(host_, &report), kInvalidHidHandle);
  EXPECT_TRUE(report.readerUnopenable);
  EXPECT_EQ(report.openError, ERROR_ACCESS_DENIED);
  EXPECT_TRUE(report.permissionDenied);
  EXPECT_FALSE(host_.IsPermissionError(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(fake.closed, 0);
}

TEST_F(WinHidHostCalls, ReportsTravelWholeAndFailuresKeepTheSystemsError) {
  const HidHandle device = host_.Open(kReaderPath);
  ASSERT_NE(device, kInvalidHidHandle);
  std::uint8_t request[kReportSize] = {0x00, 0xAA, 0x55};
  request[kReportSize - 1] = 0x7F;
  EXPECT_TRUE(host_.SendOutputReport(device, request));
  EXPECT_EQ(fake.sent, std::vector<std::uint8_t>(request, request + kReportSize));
  request[1] = 0xDD;
  EXPECT_FALSE(host_.SendOutputReport(device, request));
  EXPECT_EQ(host_.LastError(), ERROR_DEVICE_NOT_CONNECTED);

  std::uint8_t reply[kReportSize];
  std::memset(reply, 0xEE, sizeof reply);
  EXPECT_FALSE(host_.GetInputReport(device, reply));
  EXPECT_EQ(fake.readLength, kReportSize);
  EXPECT_EQ(fake.readFirstByte, 0);  // report number 0 asked for
  EXPECT_EQ(host_.LastError(), ERROR_GEN_FAILURE);
}

}  // namespace
}  // namespace tavrin
