#pragma once

#include "drawing/drawing.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>

class QPainter;

namespace korvane::render {

// Paints one sheet of a drawing into `target` (device units), its proportions kept and centred,
// rotated a quarter turn counter-clockwise when `rotated` (an A3 landscape sheet on a portrait
// page). Texts take the platform's Chinese font at the drawing's heights, narrowed to the width
// factor of the DXF text style so that they keep within the cells the drawing gave them.
void paintSheet(QPainter& painter, const drawing::Sheet& sheet, const QRectF& target,
                bool rotated = false);

// The drawing as a PDF of vector pages, one page of the sheet's size (A3 landscape) per sheet,
// titled with the drawing's title.
QByteArray drawingPdf(const drawing::Drawing& drawing);

// One sheet as a picture `widthPx` wide on white (the book's .docx, the README's image), turned
// a quarter counter-clockwise into a portrait picture when `rotated`, as paintSheet turns it.
QImage sheetImage(const drawing::Sheet& sheet, int widthPx, bool rotated = false);

} // namespace korvane::render
