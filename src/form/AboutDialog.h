// The About box: program and maker, the icon and an OK button.
#pragma once

#include <QDialog>

namespace tavrin {

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace tavrin
