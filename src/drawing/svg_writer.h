#pragma once

#include "drawing/drawing.h"

#include <QByteArray>

namespace korvane::drawing {

// One sheet of the drawing as an SVG document in millimetres (width and height in mm, one user
// unit a millimetre, y downwards as SVG has it), texts in the Chinese fonts of the platform.
QByteArray svgDocument(const Sheet& sheet, const QString& title);

} // namespace korvane::drawing
