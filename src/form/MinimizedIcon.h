// Where the icon goes in a minimized window's client area.
#pragma once

#include <QPoint>
#include <QSize>

namespace tavrin {

// Centred, with each division truncating toward zero: a client area
// narrower than the icon puts it at a negative offset.
constexpr QPoint MinimizedIconPosition(QSize client, QSize icon) {
  return {(client.width() - icon.width() + 1) / 2, (client.height() - icon.height() + 1) / 2};
}

}  // namespace tavrin
