// A configuration form made of settings rather than controls: the page
// writers read it through FormView exactly as they read the dialog.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/SettingsTable.h"
#include "config/FormView.h"

namespace tavrin::cli {

class SettingsForm final : public FormView {
 public:
  SettingsForm();  // every setting at its start-up value

  // A setting's value: a flag (0 or 1), a choice's index or a number.
  int Value(std::size_t setting) const { return values_[setting]; }
  void SetValue(std::size_t setting, int value) { values_[setting] = value; }
  void SetMifareKey(std::string key) { mifareKey_ = std::move(key); }

  const CardFamily& Family() const;
  // The card kinds of the chosen family whose data is typed.
  std::vector<const CardKind*> ChosenKinds() const;

  bool IsChecked(ControlId control) const override;
  int SelectedIndex(ControlId control) const override;
  void SelectIndex(ControlId control, int index) override;
  std::string& MifareKeyText() override { return mifareKey_; }
  const std::string& MifareKeyText() const { return mifareKey_; }

 private:
  bool IsKindChecked(ControlId kindCheck) const;

  std::vector<int> values_;
  std::string mifareKey_ = kStartUpMifareKey;
};

}  // namespace tavrin::cli
