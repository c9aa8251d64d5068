#include "app_icon_qt.h"

namespace korvane::qt {

QIcon appIcon()
{
    QIcon icon;
    for (const int size : { 16, 32, 48, 64, 128, 256 })
        icon.addFile(QStringLiteral(":/korvane/icons/korvane-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace korvane::qt
