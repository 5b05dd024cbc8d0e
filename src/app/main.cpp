// Tavrin Config Tools: configures the card reader attached to this computer.
#include <memory>

#include "app/ConfigApp.h"
#include "reader/PlatformHidHost.h"

int main(int argc, char** argv) {
  tavrin::ConfigApp app(argc, argv);
  const std::unique_ptr<tavrin::HidHost> host = tavrin::CreatePlatformHidHost();
  return app.Run(*host);
}
