// One dialog on a simulated host, with a keyboard listed before the reader
// and a tap that logs every report: what the random walk and the failure
// matrix drive, and what the rules (Rules.h) judge.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <optional>

#include "Tap.h"
#include "form/ConfigDialog.h"
#include "sim/SimHost.h"

namespace tavrin::engine {

// The reset message and the settings-file messages are counted instead of
// waiting for a user to close them; the user always picks the same file.
class RigDialog final : public ConfigDialog {
 public:
  using ConfigDialog::ConfigDialog;
  int resetMessages = 0;
  int fileMessages = 0;
  QString settingsPath;

 protected:
  void ShowResetMessage() override { ++resetMessages; }
  void ShowFileMessage(const QString&) override { ++fileMessages; }
  QString AskOpenPath() override { return settingsPath; }
  QString AskSavePath() override { return settingsPath; }
};

// Every setting the user can make, by control name.
using Settings = std::map<QString, QString>;

struct Rig {
  Rig();

  SimHost sim;
  SimDevice& keyboard;
  SimReader& reader;
  TapHost tap{sim};
  std::unique_ptr<RigDialog> owned = std::make_unique<RigDialog>(tap);
  RigDialog& dialog = *owned;

  // What the rules carry from one action to the next.
  bool tabsRebuilt = false;   // Connect rebuilds the tab list the first time
  std::uint8_t families = 0;  // of the last capability reply the dialog took
  bool storesAsSent = true;   // false while something else answers for the firmware
  // The form as opening the saved settings file must leave it; none until
  // a save succeeds.
  std::optional<Settings> saved;
  QTemporaryDir folder;

  // Ends the dialog as its close box does; nothing may use it afterwards.
  void EndDialog() { owned.reset(); }
};

// User actions, and the host's own: the reader leaving or coming back.
enum class ActionKind {
  Connect,
  Download,
  Reset,
  Family,
  Click,
  SelectTab,
  SelectItem,
  TypeKey,
  Unplug,
  SaveSettings,
  OpenSettings,
  Assist,  // a screen reader's Toggle on what Click aims at
};

struct Action {
  ActionKind kind = ActionKind::Connect;
  int arg = 0;   // Family: which; Click, Assist: control; SelectTab: tab; SelectItem: list
  int arg2 = 0;  // SelectItem: which item
  QString text;  // TypeKey
};

// Performs action; true when it reached an enabled control on view (or the
// host). Choices are taken modulo what there is to choose from.
bool Perform(Rig& rig, const Action& action);
QString Describe(const Action& action);
// The control a Family, Click, SelectItem or TypeKey action aims at.
ControlId TargetOf(const Action& action);

Settings SettingsOf(const ConfigDialog& dialog);

}  // namespace tavrin::engine
