// The items of the drop-down lists.
#pragma once

#include <QStringList>

#include "form/ControlTable.h"

namespace tavrin {

QStringList ItemTexts(ItemList list);

}  // namespace tavrin
