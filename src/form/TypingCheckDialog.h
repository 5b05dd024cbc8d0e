// The typing check: the keys a card's reading types, as this computer's
// keyboard layout read them and as a US keyboard reads them, the reader's
// own. It only listens; nothing is sent to the reader.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "config/KeyUsage.h"

class QKeyEvent;
class QLabel;
class QLayout;
class QLineEdit;
class QTreeWidget;

namespace tavrin {

// How the key events of the Qt platform so named number the keys.
ScanCodes ScanCodesOfPlatform(const QString& platformName);

class TypingCheckDialog : public QDialog {
  Q_OBJECT
 public:
  // codes: how the key events that reach it number the keys.
  explicit TypingCheckDialog(ScanCodes codes, QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct ArrivedKey {
    KeyReading reading;
    QString received;  // what the layout made of it
  };

  void CreateControls();
  QLayout* CreateLines();
  QLayout* CreateButtons();
  bool Takes(const QKeyEvent& event) const;
  void Take(const QKeyEvent& event);
  void OnClear();
  void ShowKeys();
  QString Verdict() const;

  ScanCodes codes_;
  std::vector<ArrivedKey> keys_;
  QLineEdit* field_ = nullptr;
  QLabel* received_ = nullptr;
  QLabel* pressed_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QLabel* verdict_ = nullptr;
};

}  // namespace tavrin
