// What the failure matrix and the random walk share: a host that counts the
// reports that cross it, and a snapshot of every setting on the form.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <map>

#include "form/ConfigDialog.h"
#include "form/ControlTable.h"
#include "sim/SimHost.h"

namespace tavrin::hardening {

// Passes everything to the simulated host and counts the reports the dialog
// tries to move, failed ones included.
class CountingHost final : public HidHost {
 public:
  explicit CountingHost(SimHost& sim) : sim_(sim) {}

  int sends = 0;
  int reads = 0;

  std::optional<std::vector<HidInterface>> EnumerateInterfaces() override {
    return sim_.EnumerateInterfaces();
  }
  HidHandle Open(const std::string& path) override { return sim_.Open(path); }
  std::optional<HidAttributes> GetAttributes(HidHandle handle) override {
    return sim_.GetAttributes(handle);
  }
  bool SendOutputReport(HidHandle handle, const std::uint8_t* report) override {
    ++sends;
    return sim_.SendOutputReport(handle, report);
  }
  bool GetInputReport(HidHandle handle, std::uint8_t* report) override {
    ++reads;
    return sim_.GetInputReport(handle, report);
  }
  void Close(HidHandle handle) override { sim_.Close(handle); }
  int LastError() const override { return sim_.LastError(); }
  bool IsPermissionError(int error) const override { return sim_.IsPermissionError(error); }

 private:
  SimHost& sim_;
};

// Every setting the user can make, by control name: check states, list
// selections and the key text as the edit box shows it.
using Settings = std::map<QString, QString>;

inline Settings SnapshotSettings(const ConfigDialog& dialog) {
  Settings settings;
  for (const ControlDef& def : Controls()) {
    QWidget* widget = driver::Control(dialog, def.id);
    const QString name = QString::fromStdString(def.name);
    if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget)) {
      settings[name] = driver::IsChecked(dialog, def.id) ? "checked" : "unchecked";
    } else if (qobject_cast<QComboBox*>(widget)) {
      settings[name] = QString::number(driver::SelectedIndex(dialog, def.id));
    } else if (qobject_cast<QLineEdit*>(widget)) {
      settings[name] = driver::Caption(dialog, def.id);
    }
  }
  return settings;
}

// "name: before -> after" for every setting that differs.
inline QStringList SettingChanges(const Settings& before, const Settings& after) {
  QStringList changes;
  for (const auto& [name, value] : after) {
    const auto old = before.find(name);
    const QString was = old == before.end() ? QString("(none)") : old->second;
    if (was != value) changes << QString("%1: %2 -> %3").arg(name, was, value);
  }
  return changes;
}

// The write-page requests among frames, by page number.
inline std::map<std::uint8_t, std::array<std::uint8_t, kPageSize>> PagesSent(
    const std::vector<ReaderFrame>& frames) {
  std::map<std::uint8_t, std::array<std::uint8_t, kPageSize>> pages;
  for (const ReaderFrame& frame : frames) {
    if (frame[kCommandOffset] != static_cast<std::uint8_t>(ReaderCommand::WritePage)) continue;
    std::copy_n(&frame[kDataOffset + 1], kPageSize, pages[frame[kDataOffset]].begin());
  }
  return pages;
}

}  // namespace tavrin::hardening
