#pragma once

#include "base/color.h"

#include <QColor>
#include <QPalette>

namespace korvane::render {

// A model colour (0xBBGGRR, or a system colour with the high bit set) as a Qt colour.
QColor toQColor(Color color, const QPalette& palette);

} // namespace korvane::render
