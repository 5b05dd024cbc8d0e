// libFuzzer target: a short run of user actions on the configuration dialog
// against a reader whose every answer the input chooses. The dialog's rules
// are checked after each action (DialogChecks.h); sanitizers watch the rest.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "DialogChecks.h"
#include "FuzzScript.h"
#include "WatchedReader.h"
#include "config/CardFamilies.h"
#include "form/ControlTable.h"
#include "form/FormWidgets.h"

namespace tavrin::fuzz {
namespace {

using C = ControlId;

// Clicked through their own actions, so that the checks know what ran.
constexpr ControlId kOperationButtons[] = {C::ConnectButton, C::DownloadButton, C::ResetButton};

std::vector<ControlId> ControlsOfKinds(std::initializer_list<ControlKind> kinds) {
  std::vector<ControlId> found;
  for (const ControlDef& def : Controls()) {
    const bool operation = std::find(std::begin(kOperationButtons), std::end(kOperationButtons),
                                     def.id) != std::end(kOperationButtons);
    if (!operation && std::find(kinds.begin(), kinds.end(), def.kind) != kinds.end())
      found.push_back(def.id);
  }
  return found;
}

const std::vector<ControlId>& Clickables() {
  static const std::vector<ControlId> clickables =
      ControlsOfKinds({ControlKind::PushButton, ControlKind::DefaultButton, ControlKind::CheckBox,
                       ControlKind::RadioButton});
  return clickables;
}

const std::vector<ControlId>& Lists() {
  static const std::vector<ControlId> lists = ControlsOfKinds({ControlKind::DropDownList});
  return lists;
}

// A control the user can reach: enabled, and shown once the dialog is.
template <class Widget>
Widget* Reachable(const FuzzDialog& dialog, ControlId id) {
  auto* widget = qobject_cast<Widget*>(driver::Control(dialog, id));
  const bool reachable = widget != nullptr && widget->isEnabled() && widget->isVisibleTo(&dialog);
  return reachable ? widget : nullptr;
}

bool Click(FuzzDialog& dialog, ControlId id) {
  auto* button = Reachable<QAbstractButton>(dialog, id);
  if (button != nullptr) button->click();
  return button != nullptr;
}

bool SelectTab(FuzzDialog& dialog, std::uint8_t choice) {
  auto* tabs = Reachable<TabStrip>(dialog, C::PageTabs);
  if (tabs == nullptr || tabs->TabCount() == 0) return false;
  tabs->Bar()->setCurrentIndex(choice % tabs->TabCount());
  return true;
}

bool SelectItem(FuzzDialog& dialog, std::uint8_t choice, std::uint8_t item) {
  auto* list = Reachable<QComboBox>(dialog, Lists()[choice % Lists().size()]);
  if (list == nullptr || list->count() == 0) return false;
  list->setCurrentIndex(item % list->count());
  return true;
}

bool TypeKey(FuzzDialog& dialog, const std::string& text) {
  auto* edit = Reachable<QLineEdit>(dialog, C::MifareKeyEdit);
  if (edit != nullptr) edit->setText(QString::fromLatin1(text.data(), qsizetype(text.size())));
  return edit != nullptr;
}

// Performs action; true when it reached a control (or the host).
bool Perform(FuzzDialog& dialog, WatchedReader& watched, const Action& action) {
  switch (action.kind) {
    case ActionKind::Connect:
      return Click(dialog, C::ConnectButton);
    case ActionKind::Download:
      return Click(dialog, C::DownloadButton);
    case ActionKind::Reset:
      return Click(dialog, C::ResetButton);
    case ActionKind::Family:
      return Click(dialog, kCardFamilies[action.arg % std::size(kCardFamilies)].radio);
    case ActionKind::Click:
      return Click(dialog, Clickables()[action.arg % Clickables().size()]);
    case ActionKind::SelectTab:
      return SelectTab(dialog, action.arg);
    case ActionKind::SelectItem:
      return SelectItem(dialog, action.arg, action.arg2);
    case ActionKind::TypeKey:
      return TypeKey(dialog, action.text);
    case ActionKind::Unplug:
    case ActionKind::kCount:
      break;
  }
  watched.ToggleUnplug();
  return false;
}

}  // namespace
}  // namespace tavrin::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int qtArgc = 1;
  static char* qtArgv[] = {(*argv)[0], nullptr};
  static QApplication app(qtArgc, qtArgv);
  (void)argc;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavrin::fuzz;
  FuzzScript script(data, size);
  WatchedReader watched(script);
  {
    FuzzDialog dialog(watched.host);
    for (const Action& action : script.Actions()) {
      Before before = Snapshot(dialog, watched);
      before.ran = Perform(dialog, watched, action);
      CheckAfter(dialog, watched, action, before);
    }
  }
  CheckClosed(watched);
  QCoreApplication::processEvents();
  return 0;
}
