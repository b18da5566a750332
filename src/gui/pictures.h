#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace korvane::gui {

// The program's built-in pictures, drawn at the size asked for ("splash", "icon").
QPixmap builtInPicture(const QString& name, QSize size);

} // namespace korvane::gui
