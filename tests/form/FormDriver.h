// Drives the configuration dialog the way a user does: finds controls by
// name, clicks them with the mouse and selects tabs, and reads back what is
// on view. Shared by the form tests and the reader-operation tests.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTest>
#include <QWidget>

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

// Where a user aims: the box of a check box or radio button, else the middle.
inline QPoint AimPoint(QWidget& widget) {
  QStyleOptionButton option;
  option.initFrom(&widget);
  if (qobject_cast<QCheckBox*>(&widget)) {
    return widget.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &widget).center();
  }
  if (qobject_cast<QRadioButton*>(&widget)) {
    return widget.style()
        ->subElementRect(QStyle::SE_RadioButtonIndicator, &option, &widget)
        .center();
  }
  return widget.rect().center();
}

// A left click on a control the user can see; false when it is not there
// or hidden. A disabled control swallows the click, as it would for a user.
[[nodiscard]] inline bool Click(const QWidget& dialog, const QString& name) {
  QWidget* widget = Find(dialog, name);
  if (widget == nullptr || !widget->isVisible()) return false;
  QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, AimPoint(*widget));
  return true;
}

[[nodiscard]] inline bool Click(const QWidget& dialog, ControlId id) {
  return Click(dialog, NameOf(id));
}

inline QTabBar* TabBarOf(const QWidget& dialog) {
  auto* tabs = Find<TabStrip>(dialog, QStringLiteral("PageTabs"));
  return tabs == nullptr ? nullptr : tabs->Bar();
}

// Clicks the tab at index; false when there is no such tab.
[[nodiscard]] inline bool SelectTab(const QWidget& dialog, int index) {
  QTabBar* bar = TabBarOf(dialog);
  if (bar == nullptr || index < 0 || index >= bar->count() || !bar->isVisible()) return false;
  QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
  return true;
}

inline QStringList TabCaptions(const QWidget& dialog) {
  QStringList captions;
  if (QTabBar* bar = TabBarOf(dialog)) {
    for (int i = 0; i < bar->count(); ++i) captions << bar->tabText(i);
  }
  return captions;
}

// Replaces the text of an edit box by typing, as a user would.
inline void Type(const QWidget& dialog, const QString& name, const QString& text) {
  auto* edit = Find<QLineEdit>(dialog, name);
  if (edit == nullptr) return;
  edit->selectAll();
  edit->del();
  QTest::keyClicks(edit, text);
}

// Names of the visible members of panel, in creation order.
inline QStringList VisibleMembers(const QWidget& dialog, Panel panel) {
  QStringList names;
  for (ControlId id : PanelMembers(panel)) {
    QWidget* widget = Find(dialog, NameOf(id));
    if (widget != nullptr && widget->isVisible()) names << NameOf(id);
  }
  return names;
}

// Names of the panels with at least one member on view.
inline QStringList PanelsOnView(const QWidget& dialog) {
  QStringList names;
  for (const PanelDef& panel : kPanels) {
    if (!VisibleMembers(dialog, panel.panel).isEmpty()) names << panel.name;
  }
  return names;
}

// The control with that identifier, or nullptr.
template <class Widget = QWidget>
Widget* Control(const QWidget& dialog, ControlId id) {
  return Find<Widget>(dialog, NameOf(id));
}

// The caption or text a control shows.
inline QString Caption(const QWidget& dialog, ControlId id) {
  QWidget* widget = Control(dialog, id);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text();
  return {};
}

inline QString Description(const QWidget& dialog) {
  return Caption(dialog, ControlId::DescriptionText);
}

inline bool IsChecked(const QWidget& dialog, ControlId id) {
  auto* button = Control<QAbstractButton>(dialog, id);
  return button != nullptr && button->isChecked();
}

// Shown as far as the control itself goes, whether or not its window is.
inline bool IsShown(const QWidget& dialog, ControlId id) {
  return !Control(dialog, id)->isHidden();
}

inline bool IsEnabled(const QWidget& dialog, ControlId id) {
  return Control(dialog, id)->isEnabled();
}

inline int SelectedIndex(const QWidget& dialog, ControlId id) {
  return Control<QComboBox>(dialog, id)->currentIndex();
}

inline int CurrentTab(const QWidget& dialog) { return TabBarOf(dialog)->currentIndex(); }

// Sets a check as a program would, not as a click does.
inline void SetChecked(const QWidget& dialog, ControlId id, bool checked) {
  Control<QAbstractButton>(dialog, id)->setChecked(checked);
}

// What a successful Connect enables (all three families supported), without
// a reader.
inline void EnableAsConnected(const QWidget& dialog) {
  for (ControlId id :
       {ControlId::PageTabs, ControlId::TypeARadio, ControlId::TypeBRadio, ControlId::Iso15693Radio,
        ControlId::OutputSnrCheck, ControlId::OutputDataCheck, ControlId::CardKind1Check,
        ControlId::CardKind2Check, ControlId::DownloadButton, ControlId::ResetButton}) {
    Control(dialog, id)->setEnabled(true);
  }
}

}  // namespace tavrin::driver
