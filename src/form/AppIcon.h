// The application icon: one 48 x 48 picture, kept as a resource.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace tavrin {

inline constexpr int kAppIconSize = 48;

QPixmap AppIconPixmap();
QIcon AppIcon();

}  // namespace tavrin
