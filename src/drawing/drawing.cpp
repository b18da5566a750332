#include "drawing/drawing.h"

namespace korvane::drawing {

QString layerName(Layer layer) {
    switch (layer) {
    case Layer::Frame:
        return QStringLiteral("E-FRAME");
    case Layer::Lines:
        return QStringLiteral("E-LINE");
    case Layer::Symbols:
        return QStringLiteral("E-SYMB");
    case Layer::Text:
        return QStringLiteral("E-TEXT");
    }
    return QStringLiteral("0");
}

double sheetOffsetMm(const Drawing& drawing, size_t sheet) {
    double x = 0.0;
    for (size_t i = 0; i < sheet && i < drawing.sheets.size(); ++i)
        x += drawing.sheets[i].widthMm + kSheetGapMm;
    return x;
}

} // namespace korvane::drawing
