// Saves a picture of each panel of the dialog, of its context menu and of
// the About box, for the README and for review:
//   form_screenshots <output directory>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QTimer>
#include <cstdio>

#include "FormDriver.h"
#include "form/AboutDialog.h"
#include "form/ConfigDialog.h"
#include "sim/SimHost.h"

namespace tavrin {
namespace {

bool Save(QWidget& window, const QDir& dir, const QString& name) {
  const QString path = dir.filePath(name + ".png");
  if (window.grab().save(path, "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

// Connected to a reader with every family, with both outputs on and both
// card kinds of family chosen.
void ChooseEverything(ConfigDialog& dialog, const char* family) {
  (void)driver::Click(dialog, "ConnectButton");
  if (!driver::IsChecked(dialog, ControlId::OutputDataCheck))
    (void)driver::Click(dialog, "OutputDataCheck");
  (void)driver::Click(dialog, family);
  for (const char* kind : {"CardKind1Check", "CardKind2Check"}) {
    if (!driver::Find<QCheckBox>(dialog, kind)->isChecked()) (void)driver::Click(dialog, kind);
  }
}

struct Shot {
  const char* file;
  const char* family;
  int tab;
};

const Shot kShots[] = {
    {"system-panel", "TypeARadio", 0},   {"snr-panel", "TypeARadio", 1},
    {"mifare-panel", "TypeARadio", 2},   {"ultralight-panel", "TypeARadio", 3},
    {"sr176-panel", "TypeBRadio", 2},    {"sri-panel", "TypeBRadio", 3},
    {"icode-panel", "Iso15693Radio", 2},
};

// The dialog with its context menu open where the user right-clicked.
bool SaveMenu(ConfigDialog& dialog, const QDir& dir) {
  const QPoint at(150, 120);
  bool saved = false;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    QPixmap picture = dialog.grab();
    QPainter(&picture).drawPixmap(dialog.mapFromGlobal(menu->pos()), menu->grab());
    saved = picture.save(dir.filePath("settings-menu.png"), "PNG");
    menu->close();
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, dialog.mapToGlobal(at));
  QApplication::sendEvent(&dialog, &event);
  if (!saved) std::fprintf(stderr, "cannot write the context menu's picture\n");
  return saved;
}

}  // namespace
}  // namespace tavrin

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: form_screenshots <output directory>\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  bool ok = true;
  tavrin::SimHost host;
  host.AddReader();
  for (const tavrin::Shot& shot : tavrin::kShots) {
    tavrin::ConfigDialog dialog(host);
    dialog.show();
    tavrin::ChooseEverything(dialog, shot.family);
    if (shot.tab > 0 && !tavrin::driver::SelectTab(dialog, shot.tab)) ok = false;
    ok = tavrin::Save(dialog, dir, shot.file) && ok;
  }
  tavrin::ConfigDialog menuDialog(host);
  menuDialog.show();
  tavrin::ChooseEverything(menuDialog, "TypeARadio");
  ok = tavrin::SaveMenu(menuDialog, dir) && ok;
  tavrin::AboutDialog about;
  about.show();
  ok = tavrin::Save(about, dir, "about-box") && ok;
  return ok ? 0 : 1;
}
