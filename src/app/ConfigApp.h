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

  // Runs the dialog on host until it closes, whichever way; nothing is
  // saved or sent then. Returns the program's exit status.
  int Run(HidHost& host);
};

}  // namespace tavrin
