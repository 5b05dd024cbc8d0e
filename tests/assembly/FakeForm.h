// The form as the dialog leaves it after start-up, without widgets: what
// the page writers and the session read in tests of the Qt-free core.
#pragma once

#include <map>
#include <string>

#include "config/FormView.h"

namespace tavrin {

class FakeForm : public FormView {
 public:
  FakeForm() {
    using C = ControlId;
    for (C id : {C::TypeARadio, C::OutputSnrCheck, C::SnrMsbFirstRadio, C::SnrHexRadio,
                 C::MifareMode1Radio, C::MifareKeyARadio, C::UltraLightMode1Radio,
                 C::Sr176Mode1Radio, C::SriMode1Radio, C::ICodeMode1Radio})
      checks[id] = true;
    lists[ControlId::MifareEndByteCombo] = 15;
    lists[ControlId::UltraLightEndByteCombo] = 3;
    lists[ControlId::Sr176EndByteCombo] = 1;
    lists[ControlId::SriEndByteCombo] = 3;
    lists[ControlId::ICodeEndByteCombo] = 3;
  }

  bool IsChecked(ControlId c) const override { return checks.count(c) && checks.at(c); }
  int SelectedIndex(ControlId c) const override { return lists.count(c) ? lists.at(c) : 0; }
  void SelectIndex(ControlId c, int index) override { lists[c] = index; }
  std::string& MifareKeyText() override { return key; }

  void ChooseFamily(ControlId family) {
    for (ControlId radio : {ControlId::TypeARadio, ControlId::TypeBRadio, ControlId::Iso15693Radio})
      checks[radio] = false;
    checks[family] = true;
  }

  std::map<ControlId, bool> checks;
  std::map<ControlId, int> lists;
  std::string key = "3A7C19E5B08D";
};

}  // namespace tavrin
