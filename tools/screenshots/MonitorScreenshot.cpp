// Saves a picture of the demo's reader monitor after a Connect and a
// DownLoad from the start-up form:  demo_screenshot <file.png>
#include <QApplication>
#include <cstdio>

#include "FormDriver.h"
#include "app/demo/ReaderMonitor.h"
#include "form/ConfigDialog.h"
#include "sim/DemoReader.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_screenshot <file.png>\n");
    return 2;
  }
  tavrin::SimHost host;
  tavrin::SimReader& reader = tavrin::demo::AddDemoReader(host);
  tavrin::ConfigDialog dialog(host);
  tavrin::demo::ReaderMonitor monitor(host, reader);
  dialog.show();
  monitor.show();
  (void)tavrin::driver::Click(dialog, "ConnectButton");
  (void)tavrin::driver::Click(dialog, "DownloadButton");
  QCoreApplication::processEvents();  // the layout after the texts changed
  if (monitor.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) return 0;
  std::fprintf(stderr, "cannot write %s\n", argv[1]);
  return 1;
}
