#include "base/color.h"

namespace korvane {

QString colorText(Color color) {
    return QStringLiteral("0x%1")
        .arg(color, 8, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QStringLiteral("0X"), QStringLiteral("0x"));
}

} // namespace korvane
