// The simulated reader the demo attaches: it says it is simulated and
// supports every card family and card kind.
#pragma once

#include "sim/SimHost.h"

namespace tavrin::demo {

inline constexpr const char* kDemoIdentification = "TAVRIN DEMO READER (simulated) V1.22";

inline SimReader& AddDemoReader(SimHost& host) {
  SimReader& reader = host.AddReader();
  reader.identification = kDemoIdentification;
  reader.capabilities = {kFamilyTypeA | kFamilyTypeB | kFamilyIso15693,
                         kKindMifare | kKindUltraLight, kKindSr176 | kKindSri, kKindICodeTagIt};
  return reader;
}

}  // namespace tavrin::demo
