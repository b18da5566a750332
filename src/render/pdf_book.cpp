#include "render/pdf_book.h"

#include "render/colors.h"

#include "base/file_text.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRawFont>
#include <QTextLayout>

#include <QImage>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <variant>
#include <vector>

namespace korvane::render {

namespace {

constexpr int kResolution = 1200;       // device units per inch
constexpr double kMarginMm = 25.0;      // page margins of a calculation book
constexpr double kSinglePoints = 12.0;  // a line-spacing value that means "single"
constexpr double kCellPaddingXMm = 1.0; // between a table cell's grid lines and its text
constexpr double kCellPaddingYMm = 0.5;
constexpr double kGridPoints = 0.5; // the width of a table's grid lines

double toDevice(double points) {
    return points * kResolution / 72.0;
}

double mmToDevice(double mm) {
    return mm * kResolution / 25.4;
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

// Fonts for the characters the book's font does not draw, tried in turn. Some CJK fonts map a
// character to an empty glyph (WenQuanYi Micro Hei does so for ℃), so Qt's own fallback, which
// only looks at the character map, would leave a blank there.
const QStringList& fallbackFamilies() {
    static const QStringList families = {
        QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Serif"),
        QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")};
    return families;
}

bool isBlank(char32_t c) {
    return QChar::isSpace(c) || QChar::category(c) == QChar::Other_Control ||
           QChar::category(c) == QChar::Other_Format;
}

// Whether a font has an outline for the character: a glyph other than .notdef that is not empty.
class GlyphCheck {
public:
    bool draws(const QFont& font, char32_t c) {
        const auto key = std::make_pair(font.key(), c);
        const auto known = cache_.find(key);
        if (known != cache_.end())
            return known->second;
        const QRawFont raw = QRawFont::fromFont(font);
        bool drawn = false;
        if (raw.isValid()) {
            const QList<quint32> glyphs = raw.glyphIndexesForString(QString::fromUcs4(&c, 1));
            drawn = glyphs.size() == 1 && glyphs[0] != 0 && !raw.pathForGlyph(glyphs[0]).isEmpty();
        }
        cache_.emplace(key, drawn);
        return drawn;
    }

private:
    std::map<std::pair<QString, char32_t>, bool> cache_;
};

// The font of a run's character: the run's font where it draws it, else the first fallback that
// does, with the run's size and weight; the run's font when none does.
QFont fontFor(const QFont& font, char32_t c, GlyphCheck& check) {
    if (isBlank(c) || check.draws(font, c))
        return font;
    for (const QString& family : fallbackFamilies()) {
        QFont fallback = font;
        fallback.setFamilies({family});
        if (check.draws(fallback, c))
            return fallback;
    }
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

// The run's colour; no brush, as an unset foreground reads, when it has none.
QBrush foregroundOf(const CharacterFormat& format) {
    return format.colour ? QBrush(toQColor(*format.colour, QGuiApplication::palette())) : QBrush();
}

// The runs of a paragraph as the .docx shows them: a character that cannot be drawn (a control
// character, a lone surrogate) as U+FFFD, a line feed as a break of the line.
std::vector<TextRun> paragraphRuns(const std::vector<TextRun>& runs) {
    std::vector<TextRun> shown = runs;
    for (TextRun& run : shown) {
        run.text.replace(u'\n', QChar::LineSeparator);
        run.text = xmlSafeText(run.text);
    }
    return shown;
}

// Runs laid out in the book's fonts, with fallback fonts for the characters they do not draw,
// and wrapped into lines of the given width.
struct LaidOutText {
    std::unique_ptr<QTextLayout> layout;
    std::vector<QTextLine> lines;
};

LaidOutText layOut(const std::vector<TextRun>& runs, const QFont& baseFont,
                   ParagraphAlignment alignment, double width, QPaintDevice* device,
                   GlyphCheck& glyphs) {
    QString text;
    QList<QTextLayout::FormatRange> ranges;
    for (const TextRun& run : runs) {
        const QFont runFont(bookFont(run.format), device);
        // One range per stretch of characters set in the same font.
        for (qsizetype i = 0; i < run.text.size();) {
            const char32_t c = run.text.at(i).isHighSurrogate() && i + 1 < run.text.size()
                                   ? QChar::surrogateToUcs4(run.text.at(i), run.text.at(i + 1))
                                   : run.text.at(i).unicode();
            const qsizetype length = QChar::requiresSurrogates(c) ? 2 : 1;
            const QFont font = fontFor(runFont, c, glyphs);
            const int start = static_cast<int>(text.size() + i);
            if (!ranges.isEmpty() && ranges.back().start + ranges.back().length == start &&
                ranges.back().format.font() == font &&
                ranges.back().format.foreground() == foregroundOf(run.format)) {
                ranges.back().length += static_cast<int>(length);
            } else {
                QTextCharFormat format;
                format.setFont(font);
                if (run.format.colour) // else the painter's pen: black
                    format.setForeground(foregroundOf(run.format));
                ranges.append({start, static_cast<int>(length), format});
            }
            i += length;
        }
        text += run.text;
    }
    LaidOutText laidOut;
    laidOut.layout = std::make_unique<QTextLayout>(text, baseFont, device);
    QTextLayout& layout = *laidOut.layout;
    layout.setFormats(ranges);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setAlignment(alignment == ParagraphAlignment::Centred ? Qt::AlignHCenter
                                                                 : Qt::AlignLeft);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        laidOut.lines.push_back(line);
    }
    layout.endLayout();
    return laidOut;
}

// A table row laid out: each cell's lines, a CR in its text starting a new one, and the row's
// height, that of its tallest cell.
struct LaidOutRow {
    std::vector<std::vector<LaidOutText>> cells; // per cell, one per line of its text
    double height = 0;
};

// Paints the document's paragraphs, tables and pictures down the pages, starting a new page where
// the next line, table row or picture does not fit.
class BookPainter {
public:
    BookPainter(QPdfWriter& writer, const PdfPictureDrawer& drawer)
        : writer_(writer), painter_(&writer),
          page_(writer.pageLayout().paintRectPixels(kResolution)), drawer_(drawer) {}

    void paint(const ReportParagraph& paragraph);
    void paint(const ReportTable& table);
    void paint(const ReportPicture& picture);
    // Starts the next page before a paragraph that would be left at the foot of this one by the
    // picture after it moving on (a picture's heading or label stays with the picture).
    void keepWith(const ReportParagraph& paragraph, const ReportPicture& picture);
    void end() { painter_.end(); }

private:
    void newPage() {
        writer_.newPage();
        y_ = 0;
    }
    LaidOutRow layOutRow(const ReportTable& table, const std::vector<ReportTableCell>& row,
                         const QFont& font, double lineHeight);
    void paintRow(const ReportTable& table, const LaidOutRow& row, double lineHeight);

    QPdfWriter& writer_;
    QPainter painter_;
    GlyphCheck glyphs_;
    QRect page_;
    double y_ = 0;
    const PdfPictureDrawer& drawer_;
};

void BookPainter::keepWith(const ReportParagraph& paragraph, const ReportPicture& picture) {
    const CharacterFormat base =
        paragraph.runs.empty() ? paragraph.markFormat : paragraph.runs.front().format;
    const QFont baseFont(bookFont(base), &writer_);
    const LaidOutText text = layOut(paragraphRuns(paragraph.runs), baseFont,
                                    paragraph.format.alignment, page_.width(), &writer_, glyphs_);
    const double height = lineHeight(paragraph, baseFont, &writer_) *
                          static_cast<double>(std::max<size_t>(1, text.lines.size()));
    const double pictureHeight = mmToDevice(picture.heightMm);
    // Only where both fit on a page of their own: otherwise the page is filled as it comes.
    if (y_ > 0 && y_ + height + pictureHeight > page_.height() &&
        height + pictureHeight <= page_.height())
        newPage();
}

void BookPainter::paint(const ReportParagraph& paragraph) {
    const CharacterFormat base =
        paragraph.runs.empty() ? paragraph.markFormat : paragraph.runs.front().format;
    const QFont baseFont(bookFont(base), &writer_);
    const double height = lineHeight(paragraph, baseFont, &writer_);
    const LaidOutText text = layOut(paragraphRuns(paragraph.runs), baseFont,
                                    paragraph.format.alignment, page_.width(), &writer_, glyphs_);
    const size_t count = std::max<size_t>(1, text.lines.size());
    for (size_t i = 0; i < count; ++i) {
        if (y_ + height > page_.height())
            newPage();
        if (i < text.lines.size()) {
            // Text sits on the line as the word processor sets it: centred in exact spacing.
            const QTextLine& line = text.lines[i];
            const double offset = (height - line.height()) / 2.0;
            line.draw(&painter_, QPointF(0, y_ + offset - line.y()));
        }
        y_ += height;
    }
}

LaidOutRow BookPainter::layOutRow(const ReportTable& table, const std::vector<ReportTableCell>& row,
                                  const QFont& font, double lineHeight) {
    LaidOutRow laidOut;
    for (size_t c = 0; c < row.size(); ++c) {
        const ReportTableCell& cell = row[c];
        const CharacterFormat format{table.fontName, table.sizePoints, cell.bold, cell.colour};
        const double width =
            std::max(1.0, mmToDevice(table.columnWidthsMm[c]) - 2.0 * mmToDevice(kCellPaddingXMm));
        std::vector<LaidOutText> lines;
        size_t count = 0;
        // Each line of a cell is one line of text, as in the .docx: a tab or a line feed a space.
        for (const QString& line : cell.text.split(u'\r')) {
            std::vector<TextRun> runs;
            if (!line.isEmpty())
                runs.push_back({oneLineText(line), format});
            lines.push_back(layOut(runs, font, cell.alignment, width, &writer_, glyphs_));
            count += std::max<size_t>(1, lines.back().lines.size());
        }
        laidOut.height = std::max(laidOut.height, static_cast<double>(count) * lineHeight +
                                                      2.0 * mmToDevice(kCellPaddingYMm));
        laidOut.cells.push_back(std::move(lines));
    }
    return laidOut;
}

void BookPainter::paintRow(const ReportTable& table, const LaidOutRow& row, double lineHeight) {
    const double padX = mmToDevice(kCellPaddingXMm);
    const double padY = mmToDevice(kCellPaddingYMm);
    double x = 0;
    for (size_t c = 0; c < row.cells.size(); ++c) {
        const double width = mmToDevice(table.columnWidthsMm[c]);
        double lineTop = y_ + padY;
        for (const LaidOutText& text : row.cells[c]) {
            for (const QTextLine& line : text.lines) {
                const double offset = (lineHeight - line.height()) / 2.0;
                line.draw(&painter_, QPointF(x + padX, lineTop + offset - line.y()));
                lineTop += lineHeight;
            }
            if (text.lines.empty())
                lineTop += lineHeight;
        }
        painter_.save();
        painter_.setPen(QPen(Qt::black, toDevice(kGridPoints)));
        painter_.setBrush(Qt::NoBrush);
        painter_.drawRect(QRectF(x, y_, width, row.height));
        painter_.restore();
        x += width;
    }
    y_ += row.height;
}

// Rows are not split across pages: a row that does not fit starts the next page, below the header
// rows drawn again. The header and the first row below it stay together; a row taller than a
// whole page is drawn as far as the page goes.
void BookPainter::paint(const ReportTable& table) {
    const QFont font(bookFont({table.fontName, table.sizePoints, false, std::nullopt}), &writer_);
    const double lineHeight = QFontMetricsF(font, &writer_).lineSpacing();
    std::vector<LaidOutRow> rows;
    rows.reserve(table.rows.size());
    for (const std::vector<ReportTableCell>& row : table.rows)
        rows.push_back(layOutRow(table, row, font, lineHeight));

    const auto headerRows =
        static_cast<size_t>(std::clamp<int>(table.headerRows, 0, static_cast<int>(rows.size())));
    double lead = 0;
    for (size_t r = 0; r < std::min(rows.size(), headerRows + 1); ++r)
        lead += rows[r].height;
    if (y_ > 0 && y_ + lead > page_.height())
        newPage();
    bool onlyHeaderOnPage = true;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (r >= headerRows && !onlyHeaderOnPage && y_ + rows[r].height > page_.height()) {
            newPage();
            for (size_t h = 0; h < headerRows; ++h)
                paintRow(table, rows[h], lineHeight);
        }
        paintRow(table, rows[r], lineHeight);
        onlyHeaderOnPage = r < headerRows && onlyHeaderOnPage;
    }
}

// A picture that does not fit below the text goes to the next page; one taller than a page is
// drawn from its top. Bytes that do not decode leave the picture's space empty.
void BookPainter::paint(const ReportPicture& picture) {
    const double width = mmToDevice(picture.widthMm);
    const double height = mmToDevice(picture.heightMm);
    if (y_ > 0 && y_ + height > page_.height())
        newPage();
    const QRectF area((page_.width() - width) / 2.0, y_, width, height);
    y_ += height;
    if (drawer_) {
        painter_.save();
        const bool drawn = drawer_(picture, painter_, area);
        painter_.restore();
        if (drawn)
            return;
    }
    const QImage image = QImage::fromData(picture.png, "PNG");
    if (!image.isNull())
        painter_.drawImage(area, image);
}

} // namespace

QByteArray renderPdfBook(const ReportDocument& document, const PdfPictureDrawer& drawer) {
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

    writer.setTitle(xmlSafeText(document.properties().title));

    BookPainter painter(writer, drawer);
    const std::vector<ReportBlock> blocks = document.blocks();
    for (size_t i = 0; i < blocks.size(); ++i) {
        const auto* paragraph = std::get_if<ReportParagraph>(&blocks[i]);
        const auto* picture =
            i + 1 < blocks.size() ? std::get_if<ReportPicture>(&blocks[i + 1]) : nullptr;
        if (paragraph != nullptr && picture != nullptr)
            painter.keepWith(*paragraph, *picture);
        std::visit([&painter](const auto& content) { painter.paint(content); }, blocks[i]);
    }
    painter.end();
    return bytes;
}

} // namespace korvane::render
