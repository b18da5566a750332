#include "app/program_home.h"

#include <QDir>

namespace korvane {

QString programHome(const QString& executableDir) {
    const QDir beside(executableDir);
    if (beside.exists(QStringLiteral("Database"))) {
        return beside.absolutePath();
    }
    const QDir installed(beside.absoluteFilePath(QStringLiteral("../share/korvane")));
    if (installed.exists()) {
        return QDir::cleanPath(installed.absolutePath());
    }
    return beside.absolutePath();
}

} // namespace korvane
