// An empty Qt dialog run modally, ended by QuitOnShow once it is on view.
// With an argument, the dialog shows it as one label: text on view makes Qt
// load the system's fonts before the dialog shows, as any real dialog must.
#include <QApplication>
#include <QDialog>
#include <QLabel>

#include "QuitOnShow.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tavrin::bench::QuitOnShow quitOnShow;
  app.installEventFilter(&quitOnShow);
  QDialog dialog;
  if (argc > 1) new QLabel(QString::fromLocal8Bit(argv[1]), &dialog);
  dialog.exec();
  return 0;
}
