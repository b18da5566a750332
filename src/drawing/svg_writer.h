#pragma once

#include "drawing/drawing.h"

#include <QByteArray>

namespace korvane::drawing {

// The drawing as one SVG document in millimetres (one user unit a millimetre, y downwards as SVG
// has it), its sheets one under the other kSheetGapMm apart, texts in the Chinese fonts of the
// platform narrowed to the DXF style's width factor.
QByteArray svgDocument(const Drawing& drawing);

} // namespace korvane::drawing
