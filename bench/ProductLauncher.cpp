// The program's own start (src/app/main.cpp) on the platform's HID host,
// ended by QuitOnShow once the dialog is on view.
#include <memory>

#include "QuitOnShow.h"
#include "app/ConfigApp.h"
#include "reader/PlatformHidHost.h"

int main(int argc, char** argv) {
  tavrin::ConfigApp app(argc, argv);
  tavrin::bench::QuitOnShow quitOnShow;
  app.installEventFilter(&quitOnShow);
  const std::unique_ptr<tavrin::HidHost> host = tavrin::CreatePlatformHidHost();
  return app.Run(*host);
}
