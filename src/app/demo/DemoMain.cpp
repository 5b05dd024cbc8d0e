// Tavrin Config Tools with a simulated reader attached, for trying Connect,
// DownLoad and Reset without a reader, and a monitor of what it received.
#include <QDialog>
#include <QScreen>
#include <algorithm>

#include "app/ConfigApp.h"
#include "app/demo/ReaderMonitor.h"
#include "form/ConfigDialog.h"
#include "sim/DemoReader.h"
#include "sim/SimHost.h"

namespace {

constexpr int kWindowGap = 12;

// The monitor to the right of the dialog, at the top of the screen and no
// taller than it; both are moved left together when the pair would run off
// the screen. Not yet shown, the monitor has no frame: it is given the
// dialog's.
void PlaceBeside(QWidget& monitor, QWidget& dialog) {
  const QRect frame = dialog.frameGeometry();
  const QSize frameExtra = frame.size() - dialog.size();
  const QRect screen = dialog.screen()->availableGeometry();
  monitor.resize(monitor.width(),
                 std::min(monitor.height(), screen.height() - frameExtra.height()));
  const int width = frame.width() + kWindowGap + monitor.width() + frameExtra.width();
  const int left = std::max(screen.left(), std::min(frame.left(), screen.right() + 1 - width));
  dialog.move(left, frame.top());
  monitor.move(left + frame.width() + kWindowGap, screen.top());
}

}  // namespace

int main(int argc, char** argv) {
  tavrin::ConfigApp app(argc, argv);
  tavrin::SimHost host;
  tavrin::SimReader& reader = tavrin::demo::AddDemoReader(host);

  tavrin::ConfigDialog dialog(host);
  tavrin::demo::ReaderMonitor monitor(host, reader);
  // The monitor is only a window onto the reader: the dialog ends the demo.
  QObject::connect(&dialog, &QDialog::finished, &app, &QCoreApplication::quit);
  dialog.show();
  PlaceBeside(monitor, dialog);
  monitor.show();
  return app.exec();
}
