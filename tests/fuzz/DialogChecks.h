// What must hold of the dialog after each user action, whatever the reader
// answered. A broken rule aborts, so that the fuzzer keeps the input.
#pragma once

#include <QString>
#include <cstddef>

#include "FormDriver.h"
#include "FuzzScript.h"
#include "WatchedReader.h"
#include "form/ConfigDialog.h"

namespace tavrin::fuzz {

// The dialog the fuzzer drives: the reset message is counted, not shown.
class FuzzDialog final : public ConfigDialog {
 public:
  using ConfigDialog::ConfigDialog;
  int resetMessages = 0;

 protected:
  void ShowResetMessage() override { ++resetMessages; }
};

// What the checks compare against: the state just before an action.
struct Before {
  bool open = false;
  std::size_t logSize = 0;
  int resetMessages = 0;
  QString description;
  bool ran = false;  // the action reached an enabled, visible control
};

Before Snapshot(const FuzzDialog& dialog, const WatchedReader& watched);

// Checks after action; aborts on the first broken rule.
void CheckAfter(const FuzzDialog& dialog, const WatchedReader& watched, const Action& action,
                const Before& before);

// Checks once the dialog is gone.
void CheckClosed(const WatchedReader& watched);

}  // namespace tavrin::fuzz
