#pragma once

#include "reports/report_document.h"

#include <QByteArray>

namespace korvane::gui {

// The book as a PDF file: the same paragraphs, fonts, sizes, bold, alignment and line spacing as
// the .docx, on A4 pages, with the fonts used embedded so that the Chinese text shows anywhere.
QByteArray renderPdfBook(const ReportDocument& document);

} // namespace korvane::gui
