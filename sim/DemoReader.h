// The simulated reader the demo attaches: it says it is simulated and
// supports every card family and card kind. Like a reader on a hub, it has a
// serial number and a USB location, counted from 1 in the order the devices
// were added: DEMO0001 at 1-4.1, and so on.
#pragma once

#include <string>

#include "sim/SimHost.h"

namespace tavrin::demo {

inline constexpr const char* kDemoIdentification = "TAVRIN DEMO READER (simulated) V1.22";

inline SimReader& AddDemoReader(SimHost& host) {
  SimReader& reader = host.AddReader();
  reader.identification = kDemoIdentification;
  // Its path ends in the number of devices added before it.
  const std::string number =
      std::to_string(std::stoi(reader.path.substr(reader.path.rfind('/') + 1)) + 1);
  reader.serial = "DEMO" + std::string(number.size() < 4 ? 4 - number.size() : 0, '0') + number;
  reader.location = "1-4." + number;
  reader.capabilities = {kFamilyTypeA | kFamilyTypeB | kFamilyIso15693,
                         kKindMifare | kKindUltraLight, kKindSr176 | kKindSri, kKindICodeTagIt};
  return reader;
}

}  // namespace tavrin::demo
