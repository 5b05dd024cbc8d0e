// The items of the drop-down lists, from the settings they show.
#pragma once

#include <QStringList>

#include "config/ControlId.h"

namespace tavrin {

// The items of a list control: its setting's numbers, zero-padded, or the
// names of its choices. None for a control that shows no setting.
QStringList ItemTexts(ControlId list);

}  // namespace tavrin
