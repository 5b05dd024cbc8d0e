#include "app/ConfigApp.h"

#include "form/ConfigDialog.h"

namespace tavrin {

ConfigApp::ConfigApp(int& argc, char** argv) : QApplication(argc, argv) {
  // Lets Wayland desktops match the window to the installed menu entry.
  setDesktopFileName(QStringLiteral("org.tavrin.ConfigTools"));
}

int ConfigApp::Run(HidHost& host) {
  ConfigDialog dialog(host);
  dialog.exec();
  return 0;
}

}  // namespace tavrin
