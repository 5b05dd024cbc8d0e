// The settings and the controls that show them, moved both ways by the
// schema's rows.
#include "form/ConfigDialog.h"

namespace tavrin {
namespace {

bool IsList(const SettingDef& row) { return row.control != ControlId{}; }

// A card kind's flag is its check only while its family is chosen: the two
// checks stand for whichever family's kinds.
bool IsOtherFamilysKind(const SettingDef& row, const CardFamily& chosen) {
  return row.bit != 0 && !IsSentWith(row, chosen);
}

}  // namespace

Settings ConfigDialog::Read() const {
  Settings settings{{}, Caption(ControlId::MifareKeyEdit).toStdString()};
  for (const SettingDef& row : SettingsSchema()) settings.values.push_back(ReadSetting(row));
  const CardFamily& family = ChosenFamily(settings);
  const std::vector<SettingDef>& rows = SettingsSchema();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (IsOtherFamilysKind(rows[i], family)) settings.values[i] = 0;
  }
  return settings;
}

void ConfigDialog::Show(const Settings& settings) {
  SetControls(settings);
  for (std::size_t kind : KindOutputSettings(ChosenFamily(settings))) {
    if (settings.values[kind] != 0) SetChecked(ControlId::OutputDataCheck, true);
  }
  HideAllPanels();
  ShowSystemPanel();
  RebuildTabList();
  // Disconnected, the values wait for Connect as after a Disconnect.
  if (!session_.IsOpen()) DisableControl(ControlId::PageTabs);
}

int ConfigDialog::ReadSetting(const SettingDef& row) const {
  switch (row.kind) {
    case SettingKind::Flag:
      return IsChecked(row.control) ? 1 : 0;
    case SettingKind::Number:
      return SelectedIndex(row.control) + row.min;
    case SettingKind::KeyText:
      return 0;
    case SettingKind::Choice:
      break;
  }
  if (IsList(row)) return SelectedIndex(row.control);
  for (std::size_t i = 0; i < row.choices.size(); ++i) {
    if (IsChecked(row.choices[i].radio)) return static_cast<int>(i);
  }
  return 0;
}

void ConfigDialog::ShowSetting(const SettingDef& row, int value) {
  switch (row.kind) {
    case SettingKind::Flag:
      SetChecked(row.control, value != 0);
      return;
    case SettingKind::Number:
      SelectIndex(row.control, value - row.min);
      return;
    case SettingKind::KeyText:
      return;
    case SettingKind::Choice:
      break;
  }
  if (IsList(row)) return SelectIndex(row.control, value);
  for (std::size_t i = 0; i < row.choices.size(); ++i)
    SetChecked(row.choices[i].radio, static_cast<int>(i) == value);
}

void ConfigDialog::SetControls(const Settings& settings) {
  const CardFamily& family = ChosenFamily(settings);
  const std::vector<SettingDef>& rows = SettingsSchema();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!IsOtherFamilysKind(rows[i], family)) ShowSetting(rows[i], settings.values[i]);
  }
  const QString key = QString::fromStdString(settings.mifareKey);
  if (Caption(ControlId::MifareKeyEdit) != key) SetCaption(ControlId::MifareKeyEdit, key);
}

}  // namespace tavrin
