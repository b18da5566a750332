#pragma once

#include "reports/report_document.h"

#include <QByteArray>
#include <QRectF>

#include <functional>

class QPainter;

namespace korvane::render {

// Draws a picture of a book itself, in `area` (device units) of the PDF page, and returns true;
// false leaves the picture to be placed as its PNG.
using PdfPictureDrawer =
    std::function<bool(const ReportPicture& picture, QPainter& painter, const QRectF& area)>;

// The book as a PDF file: the same paragraphs, fonts, sizes, bold, alignment and line spacing as
// the .docx, on A4 pages, with the fonts used embedded so that the Chinese text shows anywhere.
// A character the book's font does not draw is set in a fallback font that does. The PDF's title
// is the document's. Tables are drawn with a thin grid at their column widths, their header rows
// again at the top of every page they continue on; pictures are centred at their size, drawn by
// `drawer` where it can, otherwise placed as their PNG, the paragraph before each kept on its
// page (as the .docx keeps it with the picture).
QByteArray renderPdfBook(const ReportDocument& document, const PdfPictureDrawer& drawer = {});

} // namespace korvane::render
