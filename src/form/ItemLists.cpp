#include "form/ItemLists.h"

#include "config/Settings.h"

namespace tavrin {

QStringList ItemTexts(ControlId list) {
  QStringList items;
  for (const SettingDef& row : SettingsSchema()) {
    if (row.control != list) continue;
    for (const ChoiceDef& choice : row.choices) items << QString::fromUtf8(choice.item);
    if (row.kind != SettingKind::Number) continue;
    for (int n = row.min; n <= row.max; ++n)
      items << QStringLiteral("%1").arg(n, row.digits, 10, QChar('0'));
  }
  return items;
}

}  // namespace tavrin
