#include "form/AppIcon.h"

namespace tavrin {

QPixmap AppIconPixmap() { return QPixmap(QStringLiteral(":/tavrin/AppIcon.png")); }

QIcon AppIcon() { return QIcon(AppIconPixmap()); }

}  // namespace tavrin
