#include "gui/pdf_book.h"

#include "gui/colors.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <vector>

namespace korvane::gui {

namespace {

constexpr int kResolution = 1200;      // device units per inch
constexpr double kMarginMm = 25.0;     // page margins of a calculation book
constexpr double kSinglePoints = 12.0; // a line-spacing value that means "single"

double toDevice(double points) {
    return points * kResolution / 72.0;
}

// 宋体 where it is installed; otherwise the Song (Ming) or CJK font the system has.
QFont bookFont(const CharacterFormat& format) {
    QFont font;
    font.setFamilies({format.fontName, QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPointSizeF(format.sizePoints > 0 ? format.sizePoints : 10.5);
    font.setBold(format.bold);
    return font;
}

// Height of one line of a paragraph: exact spacing as given; the default rule as a multiple of
// the font's single spacing, as the word processor does when only the spacing value is set.
double lineHeight(const ReportParagraph& paragraph, const QFont& font, QPaintDevice* device) {
    if (paragraph.format.lineSpacingRule == LineSpacingRule::Exact)
        return toDevice(paragraph.format.lineSpacingPoints);
    const double single = QFontMetricsF(font, device).lineSpacing();
    return single * paragraph.format.lineSpacingPoints / kSinglePoints;
}

} // namespace

QByteArray renderPdfBook(const ReportDocument& document) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("Korvane"));
    writer.setPdfVersion(QPagedPaintDevice::PdfVersion_1_6);

    QPainter painter(&writer);
    const QRect page = writer.pageLayout().paintRectPixels(kResolution);
    const double width = page.width();
    double y = 0;
    for (const ReportParagraph& paragraph : document.paragraphs()) {
        const CharacterFormat base =
            paragraph.runs.empty() ? paragraph.markFormat : paragraph.runs.front().format;
        const QFont baseFont(bookFont(base), &writer);
        const double height = lineHeight(paragraph, baseFont, &writer);

        QString text;
        QList<QTextLayout::FormatRange> ranges;
        for (const TextRun& run : paragraph.runs) {
            QTextCharFormat format;
            format.setFont(QFont(bookFont(run.format), &writer));
            if (run.format.colour)
                format.setForeground(toQColor(*run.format.colour, QGuiApplication::palette()));
            ranges.append(
                {static_cast<int>(text.size()), static_cast<int>(run.text.size()), format});
            text += run.text;
        }
        QTextLayout layout(text, baseFont, &writer);
        layout.setFormats(ranges);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        option.setAlignment(paragraph.format.alignment == ParagraphAlignment::Centred
                                ? Qt::AlignHCenter
                                : Qt::AlignLeft);
        layout.setTextOption(option);
        layout.beginLayout();
        std::vector<QTextLine> lines;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.push_back(line);
        }
        layout.endLayout();
        const size_t count = std::max<size_t>(1, lines.size());
        for (size_t i = 0; i < count; ++i) {
            if (y + height > page.height()) {
                writer.newPage();
                y = 0;
            }
            if (i < lines.size()) {
                // Text sits on the line as the word processor sets it: centred in exact spacing.
                const QTextLine& line = lines[i];
                const double offset = (height - line.height()) / 2.0;
                line.draw(&painter, QPointF(0, y + offset - line.y()));
            }
            y += height;
        }
    }
    painter.end();
    return bytes;
}

} // namespace korvane::gui
