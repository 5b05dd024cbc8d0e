// Ends a start-up run as soon as its first dialog is on view, painted with
// all its controls: writes "shown" to standard output, then closes the
// dialog as a user would.
#pragma once

#include <QObject>

namespace tavrin::bench {

class QuitOnShow : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool seen_ = false;
};

}  // namespace tavrin::bench
