// The application object: runs the configuration dialog as the only window
// and ends the program when it closes.
#pragma once

#include <QApplication>
#include <QString>

#include "reader/HidHost.h"

namespace tavrin {

class ConfigApp : public QApplication {
  Q_OBJECT
 public:
  ConfigApp(int& argc, char** argv);

  // The running executable's file name without its extension; the caption
  // of the program's message boxes.
  static QString Title();

  // Runs the dialog on host until it closes, whichever way; nothing is
  // saved or sent then. Returns the program's exit status.
  int Run(HidHost& host);
};

}  // namespace tavrin
