// What assistive technology reads on the dialog and what its actions do:
// radios announced as radios, one group per exclusive set, lists named by
// what they set, and Toggle or Press on a check box or radio that does what
// a click does.
#pragma once

#include <QString>

#include "form/ControlTable.h"

class QWidget;

namespace tavrin {

// Installs the interfaces for the dialog's own widget classes; once is
// enough, more are harmless.
void InstallAccessibility();

// Has a screen reader speak text once the current action is done, wherever
// the focus is: a status that changed away from it. Added text follows what
// the action announced before; other text replaces it.
void Announce(QWidget* window, const QString& text, bool added);

// The name a screen reader gives the control, where its caption does not
// say what it sets: a list or the key edit after its setting ("SNR end
// key"), a label without caption after the frame that holds it. Empty for
// the rest, which are named by their captions.
QString AccessibleNameOf(const ControlDef& def);

// The label beside a list, named after it ("...Label" for "...Combo"); null
// when it has none.
const ControlDef* LabelOf(const ControlDef& def);

}  // namespace tavrin
