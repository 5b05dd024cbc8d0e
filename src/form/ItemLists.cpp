#include "form/ItemLists.h"

#include "config/ConfigPage.h"

namespace tavrin {
namespace {

// "00" .. last, or "000" .. last, zero-padded to digits.
QStringList Numbers(int first, int last, int digits) {
  QStringList items;
  for (int n = first; n <= last; ++n) items << QStringLiteral("%1").arg(n, digits, 10, QChar('0'));
  return items;
}

}  // namespace

QStringList ItemTexts(ItemList list) {
  switch (list) {
    case ItemList::None:
      return {};
    case ItemList::Keys: {
      QStringList items;
      for (const char* text : kKeyItemTexts) items << QString::fromUtf8(text);
      return items;
    }
    case ItemList::Counts:
      return Numbers(1, 10, 1);
    case ItemList::Numbers00To01:
      return Numbers(0, 1, 2);
    case ItemList::Numbers00To03:
      return Numbers(0, 3, 2);
    case ItemList::Numbers00To15:
      return Numbers(0, 15, 2);
    case ItemList::Numbers00To63:
      return Numbers(0, 63, 2);
    case ItemList::Numbers000To127:
      return Numbers(0, 127, 3);
  }
  return {};
}

}  // namespace tavrin
