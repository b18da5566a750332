#pragma once

#include "project_book/project_book.h"
#include "render/pdf_book.h"

#include <QDate>
#include <QSize>

namespace korvane::render {

// The size at which a feeder's plot is painted for a book: 150 × 80 mm at 150 dots per inch,
// clear in print, and small enough that a book of a hundred feeders stays a few megabytes and is
// painted in about a second.
inline constexpr QSize kBookPlotPixels{886, 472};

// The plots of a project book: each computed lamp-pole feeder's Δu % along its poles against the
// project's voltage-loss limit, as PNG (nothing for a load-case circuit or a feeder that was not
// computed), all painted at once on every processor before the book asks for them (painting and
// packing a plot takes tens of milliseconds, a hundred feeders take seconds on one). The run must
// outlive the function; a circuit from elsewhere is painted when asked. Painting needs a running
// QGuiApplication (for the fonts).
ProjectBookPictures paintedFeederPlots(const ProjectRun& run, QSize pixels = kBookPlotPixels);

// The plots of a project book for the PDF back end, which draws them as lines and text: crisp at
// any zoom, a fraction of the size of their pixels, and nothing to paint or pack beforehand. The
// pictures carry a one-pixel white PNG only; `drawer` draws each plot in its place. Both hold
// the plots; the pictures know a circuit by its place in `run`, so the book is composed from the
// same run.
struct VectorFeederPlots {
    ProjectBookPictures pictures;
    PdfPictureDrawer drawer;
};
VectorFeederPlots vectorFeederPlots(const ProjectRun& run);

// The distribution system diagram on the book's pages: each A3 landscape sheet turned a quarter
// counter-clockwise to stand on the portrait A4 page (its foot at the page's right edge, read
// with the book turned clockwise, as folded drawings are bound), 146 mm wide (the text width of
// the .docx; 206.5 mm high), so the drawing's 2.5 mm figures print 1.2 mm high.
inline constexpr double kBookSheetWidthMm = 146.0;
// The .docx holds each sheet as a PNG of 300 dots per inch at that size (1724 × 2438 pixels):
// the figures' strokes some 14 pixels high, sharp in print.
inline constexpr int kBookSheetDpi = 300;

// The sheets of the diagram of the run, dated `date` in their title blocks, as PNG pictures for
// the .docx. Painting needs a running QGuiApplication (for the fonts).
ProjectBookDiagram paintedDiagramSheets(const ProjectRun& run, const QDate& date);

// The same sheets for the PDF back end, which draws them as lines and text (vector, the texts
// searchable): the pictures carry a one-pixel white PNG and name their sheet; `drawer` draws each
// in its place and declines every other picture.
struct VectorDiagramSheets {
    ProjectBookDiagram pictures;
    PdfPictureDrawer drawer;
};
VectorDiagramSheets vectorDiagramSheets(const ProjectRun& run, const QDate& date);

} // namespace korvane::render
