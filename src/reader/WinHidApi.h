// The Windows calls the HID host makes, as one table. The host takes the
// system's own by default; tests put counting or failing stand-ins in their
// place to check the arguments and that every handle is given back.
#pragma once

// clang-format off
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>
extern "C" {  // mingw-w64's hidsdi.h declares C functions without saying so
#include <hidsdi.h>
}
// clang-format on

namespace tavrin {

struct WinHidApi {
  decltype(&HidD_GetHidGuid) getHidGuid = &HidD_GetHidGuid;
  decltype(&SetupDiGetClassDevsA) getClassDevs = &SetupDiGetClassDevsA;
  decltype(&SetupDiEnumDeviceInterfaces) enumInterfaces = &SetupDiEnumDeviceInterfaces;
  decltype(&SetupDiGetDeviceInterfaceDetailA) getInterfaceDetail =
      &SetupDiGetDeviceInterfaceDetailA;
  decltype(&SetupDiDestroyDeviceInfoList) destroyDeviceList = &SetupDiDestroyDeviceInfoList;
  decltype(&CreateFileA) createFile = &CreateFileA;
  decltype(&HidD_GetAttributes) getAttributes = &HidD_GetAttributes;
  decltype(&HidD_SetOutputReport) setOutputReport = &HidD_SetOutputReport;
  decltype(&HidD_GetInputReport) getInputReport = &HidD_GetInputReport;
  decltype(&CloseHandle) closeHandle = &CloseHandle;
  // The device tree above an interface: its USB device's serial number and location.
  decltype(&CM_Get_Parent) getParent = &CM_Get_Parent;
  decltype(&CM_Get_Device_IDA) getDeviceId = &CM_Get_Device_IDA;
  decltype(&CM_Get_DevNode_Registry_PropertyA) getDeviceProperty =
      &CM_Get_DevNode_Registry_PropertyA;
};

}  // namespace tavrin
