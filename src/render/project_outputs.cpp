#include "render/project_outputs.h"

#include "base/atomic_file.h"
#include "project_book/project_book.h"
#include "render/book_pictures.h"
#include "render/pdf_book.h"

namespace korvane::render {

std::optional<BookFormat> bookFormatOfPath(const QString& path) {
    if (path.endsWith(QLatin1String(".docx"), Qt::CaseInsensitive))
        return BookFormat::Docx;
    if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return BookFormat::Pdf;
    return std::nullopt;
}

QString bookSuffix(BookFormat format) {
    return format == BookFormat::Pdf ? QStringLiteral("pdf") : QStringLiteral("docx");
}

Computed<QByteArray> projectBookFile(const ProjectRun& run, BookFormat format, const QDate& today) {
    const BookHeader header{run.project.name, run.project.engineer};
    std::optional<QByteArray> bytes;
    if (format == BookFormat::Pdf) {
        // The PDF draws the plots and the diagram as lines and text; the .docx holds them as
        // pictures.
        const VectorFeederPlots plots = vectorFeederPlots(run);
        const VectorDiagramSheets sheets = vectorDiagramSheets(run, today);
        const PdfPictureDrawer drawer = [&plots, &sheets](const ReportPicture& picture,
                                                          QPainter& painter, const QRectF& area) {
            return plots.drawer(picture, painter, area) || sheets.drawer(picture, painter, area);
        };
        if (const std::optional<ReportDocument> document =
                projectBookDocument(run, today, header, plots.pictures, sheets.pictures))
            bytes = renderPdfBook(*document, drawer);
    } else {
        bytes = projectBookDocx(run, today, header, paintedFeederPlots(run),
                                paintedDiagramSheets(run, today));
    }
    if (!bytes || bytes->isEmpty())
        return Computed<QByteArray>::failed(QStringLiteral("计算书未能生成"));
    return *bytes;
}

QString writeProjectBookFile(const ProjectRun& run, const QString& path, const QDate& today) {
    const std::optional<BookFormat> format = bookFormatOfPath(path);
    if (!format)
        return QStringLiteral("the book is written as .docx or .pdf");
    const Computed<QByteArray> bytes = projectBookFile(run, *format, today);
    if (!bytes)
        return QStringLiteral("the book could not be composed");
    return writeFileAtomically(path, *bytes);
}

} // namespace korvane::render
