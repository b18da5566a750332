#include "render/pdf_book.h"

#include "render/colors.h"

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

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace korvane::render {

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

    writer.setTitle(document.properties().title);

    GlyphCheck glyphs;
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
            const QFont runFont(bookFont(run.format), &writer);
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

} // namespace korvane::render
