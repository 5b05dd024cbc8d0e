// A user at the dialog, on whichever host it is given: presses buttons,
// edits the form by control name, and reads back what is on view. Shared by
// the reader-operation tests and the kernel checks.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "FormDriver.h"
#include "form/ConfigDialog.h"

namespace tavrin::user {

inline const QString kDisconnected = QStringLiteral("Device Disconnected");
inline const QString kSuccess = QStringLiteral("DownLoad Successed");
inline const QStringList kFamilyRadios{"TypeARadio", "TypeBRadio", "Iso15693Radio"};

// Lines as the description holds them: each one ended by \r\n.
inline QString Lines(const QStringList& lines) {
  QString text;
  for (const QString& line : lines) text += line + QStringLiteral("\r\n");
  return text;
}

class DialogUser {
 public:
  explicit DialogUser(HidHost& host) : dialog(std::make_unique<ConfigDialog>(host)) {
    dialog->show();
  }

  std::unique_ptr<ConfigDialog> dialog;

  [[nodiscard]] bool Press(const QString& name) { return driver::Click(*dialog, name); }
  QString Description() const { return driver::Description(*dialog); }
  bool IsEnabled(const QString& name) const { return driver::Find(*dialog, name)->isEnabled(); }
  bool IsChecked(const QString& name) const {
    return driver::Find<QAbstractButton>(*dialog, name)->isChecked();
  }

  // What a control shows: a list's chosen item, else its caption or text.
  QString Shown(const QString& name) const {
    if (auto* list = driver::Find<QComboBox>(*dialog, name)) return list->currentText();
    return driver::Caption(*dialog,
                           ControlId(driver::Find(*dialog, name)->property("controlId").toInt()));
  }

  QStringList EnabledFamilies() const { return Filter(&DialogUser::IsEnabled); }
  QStringList CheckedFamilies() const { return Filter(&DialogUser::IsChecked); }

  // One user edit: a click on a button, an item chosen in a list, or text
  // typed into an edit box ("Name" or "Name=value"), on whichever tab shows
  // the control.
  [[nodiscard]] bool Edit(const QString& edit) {
    const QString name = edit.section('=', 0, 0);
    const QString value = edit.section('=', 1);
    QWidget* widget = driver::Find(*dialog, name);
    for (int tab = 0; widget != nullptr && !widget->isVisible(); ++tab) {
      if (!driver::SelectTab(*dialog, tab)) return false;
    }
    if (widget == nullptr || !widget->isEnabled()) return false;
    if (auto* list = qobject_cast<QComboBox*>(widget)) {
      list->setCurrentIndex(list->findText(value));
      return list->currentText() == value;
    }
    if (qobject_cast<QLineEdit*>(widget) != nullptr) {
      driver::Type(*dialog, name, value);
      return true;
    }
    return Press(name);
  }

  [[nodiscard]] bool EditAll(const QStringList& edits) {
    for (const QString& edit : edits) {
      if (!Edit(edit)) {
        qWarning("edit failed: %s", qPrintable(edit));
        return false;
      }
    }
    return true;
  }

 private:
  QStringList Filter(bool (DialogUser::*test)(const QString&) const) const {
    QStringList kept;
    for (const QString& radio : kFamilyRadios) {
      if ((this->*test)(radio)) kept << radio;
    }
    return kept;
  }
};

}  // namespace tavrin::user
