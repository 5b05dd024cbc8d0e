#include "Rig.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>

#include "FormDriver.h"
#include "config/CardFamilies.h"

namespace tavrin::engine {
namespace {

using C = ControlId;

template <class Widget>
std::vector<ControlId> ControlsOf() {
  static const std::vector<ControlId> found = [] {
    std::vector<ControlId> ids;
    for (const ControlDef& def : Controls()) {
      const bool button = def.kind == ControlKind::CheckBox || def.kind == ControlKind::RadioButton;
      const bool list = def.kind == ControlKind::DropDownList;
      if (std::is_same_v<Widget, QComboBox> ? list : button) ids.push_back(def.id);
    }
    return ids;
  }();
  return found;
}

// A control the user can reach: enabled, and on view once the dialog is.
template <class Widget>
Widget* Reachable(const Rig& rig, ControlId id) {
  auto* widget = driver::Control<Widget>(rig.dialog, id);
  const bool reachable =
      widget != nullptr && widget->isEnabled() && widget->isVisibleTo(&rig.dialog);
  return reachable ? widget : nullptr;
}

bool Click(Rig& rig, ControlId id) {
  auto* button = Reachable<QAbstractButton>(rig, id);
  if (button != nullptr) button->click();
  return button != nullptr;
}

bool Assist(Rig& rig, ControlId id) {
  auto* button = Reachable<QAbstractButton>(rig, id);
  QAccessibleInterface* face = button ? QAccessible::queryAccessibleInterface(button) : nullptr;
  if (face == nullptr || face->actionInterface() == nullptr) return false;
  face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  return true;
}

bool SelectTab(Rig& rig, int choice) {
  auto* tabs = Reachable<TabStrip>(rig, C::PageTabs);
  if (tabs == nullptr) return false;
  tabs->Bar()->setCurrentIndex(choice % tabs->TabCount());
  return true;
}

bool SelectItem(Rig& rig, ControlId id, int item) {
  auto* list = Reachable<QComboBox>(rig, id);
  if (list != nullptr) list->setCurrentIndex(item % list->count());
  return list != nullptr;
}

// Typed on the Mifare tab, which the user goes to first when it is there.
bool TypeKey(Rig& rig, const QString& text) {
  auto* tabs = Reachable<TabStrip>(rig, C::PageTabs);
  for (int tab = 0; tabs != nullptr && tab < tabs->TabCount(); ++tab) {
    if (tabs->TabCaption(tab) == "Mifare S50/S70") tabs->Bar()->setCurrentIndex(tab);
  }
  auto* edit = Reachable<QLineEdit>(rig, C::MifareKeyEdit);
  if (edit != nullptr) edit->setText(text);
  return edit != nullptr;
}

}  // namespace

Rig::Rig() : keyboard(sim.AddDevice(0x046D, 0xC31C)), reader(sim.AddReader()) {
  dialog.settingsPath = folder.filePath("settings.toml");
}

bool Perform(Rig& rig, const Action& action) {
  switch (action.kind) {
    case ActionKind::Connect:
      return Click(rig, C::ConnectButton);
    case ActionKind::Download:
      return Click(rig, C::DownloadButton);
    case ActionKind::Reset:
      return Click(rig, C::ResetButton);
    case ActionKind::Family:
    case ActionKind::Click:
      return Click(rig, TargetOf(action));
    case ActionKind::Assist:
      return Assist(rig, TargetOf(action));
    case ActionKind::SelectTab:
      return SelectTab(rig, action.arg);
    case ActionKind::SelectItem:
      return SelectItem(rig, TargetOf(action), action.arg2);
    case ActionKind::TypeKey:
      return TypeKey(rig, action.text);
    case ActionKind::SaveSettings:
      return rig.dialog.HandleWindowCommand(kSaveSettingsCommand);
    case ActionKind::OpenSettings:
      return rig.dialog.HandleWindowCommand(kOpenSettingsCommand);
    case ActionKind::Unplug:
      break;
  }
  if (rig.sim.IsPlugged(rig.reader)) {
    rig.sim.Unplug(rig.reader);
  } else {
    rig.sim.Plug(rig.reader);
  }
  return true;
}

ControlId TargetOf(const Action& action) {
  switch (action.kind) {
    case ActionKind::Family:
      return kCardFamilies[action.arg % kCardFamilies.size()].radio;
    case ActionKind::Click:
    case ActionKind::Assist:
      return ControlsOf<QAbstractButton>()[action.arg % ControlsOf<QAbstractButton>().size()];
    case ActionKind::SelectItem:
      return ControlsOf<QComboBox>()[action.arg % ControlsOf<QComboBox>().size()];
    default:
      return C::MifareKeyEdit;
  }
}

QString Describe(const Action& action) {
  static const char* const kNames[] = {
      "connect",     "download", "reset",          "family",        "click",         "select tab",
      "select item", "type key", "unplug or plug", "save settings", "open settings", "assist"};
  return QString("%1 %2 %3 %4")
      .arg(kNames[static_cast<int>(action.kind)])
      .arg(action.arg)
      .arg(action.arg2)
      .arg(action.text);
}

Settings SettingsOf(const ConfigDialog& dialog) {
  Settings settings;
  for (const ControlDef& def : Controls()) {
    QWidget* widget = driver::Control(dialog, def.id);
    const QString name = driver::NameOf(def.id);
    if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->isCheckable()) {
      settings[name] = button->isChecked() ? "checked" : "unchecked";
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
      settings[name] = QString::number(list->currentIndex());
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      settings[name] = edit->text();
    }
  }
  return settings;
}

}  // namespace tavrin::engine
