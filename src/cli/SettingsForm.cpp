#include "cli/SettingsForm.h"

#include <algorithm>

namespace tavrin::cli {
namespace {

// The row of the drop-down list control.
const SettingDef* RowOf(ControlId control, std::size_t* index) {
  const std::vector<SettingDef>& rows = Settings();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const bool isList =
        rows[i].kind == SettingKind::Number || rows[i].kind == SettingKind::ListChoice;
    if (isList && rows[i].controls[0] == control) {
      *index = i;
      return &rows[i];
    }
  }
  return nullptr;
}

}  // namespace

SettingsForm::SettingsForm() {
  for (const SettingDef& row : Settings()) values_.push_back(row.startUp);
}

const CardFamily& SettingsForm::Family() const {
  const std::size_t family = *FindSetting(Panel::None, "family");
  return kCardFamilies[static_cast<std::size_t>(values_[family])];
}

std::vector<const CardKind*> SettingsForm::ChosenKinds() const {
  std::vector<const CardKind*> kinds;
  for (const CardKind& kind : Family().Kinds()) {
    if (values_[*FindSetting(kind.panel, "output")] != 0) kinds.push_back(&kind);
  }
  return kinds;
}

// The card-kind checks stand for the kinds of whichever family is chosen.
bool SettingsForm::IsKindChecked(ControlId kindCheck) const {
  const auto kinds = Family().Kinds();
  const std::size_t position = kindCheck == ControlId::CardKind1Check ? 0 : 1;
  if (position >= kinds.size()) return false;
  return values_[*FindSetting(kinds[position].panel, "output")] != 0;
}

bool SettingsForm::IsChecked(ControlId control) const {
  if (control == ControlId::CardKind1Check || control == ControlId::CardKind2Check)
    return IsKindChecked(control);
  const std::vector<SettingDef>& rows = Settings();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto& controls = rows[i].controls;
    if (rows[i].kind == SettingKind::RadioChoice) {
      const auto at = std::find(controls.begin(), controls.end(), control);
      if (at != controls.end() &&
          static_cast<std::size_t>(at - controls.begin()) < rows[i].choices.size())
        return values_[i] == at - controls.begin();
    } else if (rows[i].kind == SettingKind::Flag && controls[0] == control) {
      return values_[i] != 0;
    }
  }
  return false;
}

int SettingsForm::SelectedIndex(ControlId control) const {
  std::size_t index = 0;
  const SettingDef* row = RowOf(control, &index);
  return row == nullptr ? 0 : values_[index] - row->min;
}

void SettingsForm::SelectIndex(ControlId control, int index) {
  std::size_t at = 0;
  if (const SettingDef* row = RowOf(control, &at)) values_[at] = index + row->min;
}

}  // namespace tavrin::cli
