// A form without widgets, for the page writers and the session: one family
// chosen, every other check clear, every list at its first item.
#pragma once

#include <map>
#include <string>

#include "config/FormView.h"

namespace tavrin {

struct FakeForm : FormView {
  bool IsChecked(ControlId c) const override { return c == family; }
  int SelectedIndex(ControlId c) const override { return lists.count(c) ? lists.at(c) : 0; }
  void SelectIndex(ControlId c, int index) override { lists[c] = index; }
  std::string& MifareKeyText() override { return key; }

  ControlId family = ControlId::TypeARadio;
  std::map<ControlId, int> lists;
  std::string key;
};

}  // namespace tavrin
