#include "reader/PlatformHidHost.h"

#ifdef _WIN32
#include "reader/WinHidHost.h"
#else
#include "reader/HidapiHost.h"
#endif

namespace tavrin {

std::unique_ptr<HidHost> CreatePlatformHidHost() {
#ifdef _WIN32
  return std::make_unique<WinHidHost>();
#else
  return std::make_unique<HidapiHost>();
#endif
}

}  // namespace tavrin
