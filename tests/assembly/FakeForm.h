// A form without widgets, for the page writers and the session: type A
// chosen, every other check clear, every list at its first item.
#pragma once

#include <map>
#include <set>
#include <string>

#include "config/FormView.h"

namespace tavrin {

class FakeForm : public FormView {
 public:
  bool IsChecked(ControlId c) const override { return checked.count(c) != 0; }
  int SelectedIndex(ControlId c) const override { return lists.count(c) ? lists.at(c) : 0; }
  void SelectIndex(ControlId c, int index) override { lists[c] = index; }
  std::string& MifareKeyText() override { return key; }

  void ChooseFamily(ControlId family) { checked = {family}; }

  std::set<ControlId> checked{ControlId::TypeARadio};
  std::map<ControlId, int> lists;
  std::string key = "3A7C19E5B08D";
};

}  // namespace tavrin
