// Drives the configuration dialog the way a user does: finds controls by
// name, clicks them with the mouse and selects tabs, and reads back what is
// on view. Shared by every test of the dialog.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include "form/ConfigDialog.h"
#include "form/ControlTable.h"
#include "form/FormWidgets.h"

namespace tavrin::driver {

// The control named name (its objectName), or nullptr.
template <class Widget = QWidget>
Widget* Find(const QWidget& dialog, const QString& name) {
  return dialog.findChild<Widget*>(name, Qt::FindDirectChildrenOnly);
}

inline QString NameOf(ControlId id) { return QString::fromStdString(DefOf(id).name); }

template <class Widget = QWidget>
Widget* Control(const QWidget& dialog, ControlId id) {
  return Find<Widget>(dialog, NameOf(id));
}

// A left click in the middle of a control the user can see; false when it
// is not there or hidden. A disabled control swallows the click.
[[nodiscard]] inline bool Click(const QWidget& dialog, const QString& name) {
  QWidget* widget = Find(dialog, name);
  if (widget == nullptr || !widget->isVisible()) return false;
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
  return true;
}

[[nodiscard]] inline bool Click(const QWidget& dialog, ControlId id) {
  return Click(dialog, NameOf(id));
}

inline QTabBar* TabBarOf(const QWidget& dialog) {
  return Find<TabStrip>(dialog, QStringLiteral("PageTabs"))->Bar();
}

// Clicks the tab at index; false when there is no such tab.
[[nodiscard]] inline bool SelectTab(const QWidget& dialog, int index) {
  QTabBar* bar = TabBarOf(dialog);
  if (index < 0 || index >= bar->count() || !bar->isVisible()) return false;
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
  return true;
}

inline int CurrentTab(const QWidget& dialog) { return TabBarOf(dialog)->currentIndex(); }

inline QStringList TabCaptions(const QWidget& dialog) {
  QStringList captions;
  for (int i = 0; i < TabBarOf(dialog)->count(); ++i) captions << TabBarOf(dialog)->tabText(i);
  return captions;
}

// Replaces the text of an edit box by typing, as a user would.
inline void Type(const QWidget& dialog, const QString& name, const QString& text) {
  auto* edit = Find<QLineEdit>(dialog, name);
  edit->selectAll();
  edit->del();
  QTest::keyClicks(edit, text);
}

// What a control shows: its caption or text, a list's chosen item.
inline QString Caption(const QWidget& dialog, const QString& name) {
  QWidget* widget = Find(dialog, name);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  if (auto* list = qobject_cast<QComboBox*>(widget)) return list->currentText();
  return {};
}

inline QString Caption(const QWidget& dialog, ControlId id) { return Caption(dialog, NameOf(id)); }

inline QString Description(const QWidget& dialog) {
  return Caption(dialog, ControlId::DescriptionText);
}

inline bool IsChecked(const QWidget& dialog, ControlId id) {
  return Control<QAbstractButton>(dialog, id)->isChecked();
}

inline bool IsEnabled(const QWidget& dialog, ControlId id) {
  return Control(dialog, id)->isEnabled();
}

// What a successful Connect enables, without a reader.
inline void EnableAsConnected(const QWidget& dialog) {
  for (const char* name :
       {"PageTabs", "TypeARadio", "TypeBRadio", "Iso15693Radio", "OutputSnrCheck",
        "OutputDataCheck", "CardKind1Check", "CardKind2Check", "DownloadButton", "ResetButton"}) {
    Find(dialog, name)->setEnabled(true);
  }
}

// One user edit: "Name" clicks a button, "Name=value" chooses a list item
// or types into an edit box, on whichever tab shows the control.
[[nodiscard]] inline bool EditOne(const QWidget& dialog, const QString& edit) {
  const QString name = edit.section('=', 0, 0), value = edit.section('=', 1);
  QWidget* widget = Find(dialog, name);
  for (int tab = 0; widget != nullptr && !widget->isVisible(); ++tab) {
    if (!SelectTab(dialog, tab)) return false;
  }
  if (widget == nullptr || !widget->isEnabled()) return false;
  if (auto* list = qobject_cast<QComboBox*>(widget)) {
    list->setCurrentIndex(list->findText(value));
    return list->currentText() == value;
  }
  if (qobject_cast<QLineEdit*>(widget) == nullptr) return Click(dialog, name);
  Type(dialog, name, value);
  return true;
}

// Edits with ", " between them; false at the first that cannot be made.
[[nodiscard]] inline bool Edit(const QWidget& dialog, const QString& edits) {
  for (const QString& edit : edits.split(", ", Qt::SkipEmptyParts)) {
    if (!EditOne(dialog, edit)) {
      qWarning("edit failed: %s", qPrintable(edit));
      return false;
    }
  }
  return true;
}

// Presses OK on the next message box once its modal loop runs, waiting a
// bounded number of event-loop turns; notes its title, text, icon and
// buttons, and the description of the dialog that owns it.
inline void AnswerMessageBox(QStringList& seen, int turnsLeft = 1000) {
  QTimer::singleShot(0, [&seen, turnsLeft] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      if (turnsLeft > 0) AnswerMessageBox(seen, turnsLeft - 1);
      return;
    }
    seen << box->windowTitle() << box->text() << QString::number(box->icon())
         << QString::number(box->standardButtons()) << Description(*box->parentWidget());
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
  });
}

}  // namespace tavrin::driver
