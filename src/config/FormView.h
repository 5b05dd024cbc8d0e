// What page assembly reads from the configuration form, and the two changes
// it may make there. The dialog implements it; tests use a plain fake.
#pragma once

#include <string>

#include "config/ControlId.h"

namespace tavrin {

class FormView {
 public:
  virtual ~FormView() = default;

  // Check state of a check box or radio button.
  virtual bool IsChecked(ControlId control) const = 0;

  // 0-based index of the selected item of a drop-down list.
  virtual int SelectedIndex(ControlId control) const = 0;

  // Selects item index of a drop-down list (the end-position clamp).
  virtual void SelectIndex(ControlId control, int index) = 0;

  // The bound Mifare key text value (not the edit box), normalised in place.
  virtual std::string& MifareKeyText() = 0;
};

}  // namespace tavrin
