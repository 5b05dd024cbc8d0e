#include "ConfigApp.h"

#include <QFileInfo>

#include "ConfigDialog.h"

namespace tavrin {

ConfigApp::ConfigApp(int& argc, char** argv) : QApplication(argc, argv) {}

QString ConfigApp::Title() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

int ConfigApp::Run(HidHost& host) {
  ConfigDialog dialog(host);
  dialog.exec();
  return 0;
}

}  // namespace tavrin
