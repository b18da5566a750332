// A drawing painted: where a line of the sheet lands in the picture is worked out from the
// sheet's millimetres and the picture's scale, so a flipped axis or a turned sheet shows.

#include "render/drawing_painter.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace korvane {
namespace {

using namespace drawing;
using namespace render;

bool dark(QRgb pixel) {
    return qGray(pixel) < 128;
}

// An A3 sheet with one horizontal line 100 mm long, 50 mm above the bottom, from x = 100 mm.
Sheet oneLine() {
    Sheet s;
    s.lines.push_back({{100.0, 50.0}, {200.0, 50.0}, Layer::Lines, false});
    return s;
}

TEST(DrawingPainter, MillimetresLandWhereTheScaleSaysUpright) {
    // 840 px for 420 mm: 2 px per mm. The line's middle (150, 50) mm is at x 300 px and, from
    // the top, (297 − 50)·2 = 494 px.
    const QImage image = sheetImage(oneLine(), 840);
    ASSERT_EQ(image.height(), 594);
    EXPECT_TRUE(dark(image.pixel(300, 494)));
    EXPECT_FALSE(dark(image.pixel(300, 2 * 50))); // where an unflipped y would put it
    EXPECT_FALSE(dark(image.pixel(300, 450)));
    EXPECT_FALSE(dark(image.pixel(100, 494))); // left of its start (100 mm = 200 px)
}

TEST(DrawingPainter, TurnedSheetRunsUpThePortraitPage) {
    // The sheet turned a quarter counter-clockwise into 594 × 840 px (2 px per mm): landscape
    // x runs up from the bottom, landscape y from the right edge leftwards. The line's middle
    // (150, 50) mm: x px = (297 − 50)·2 = 494, y px = 840 − 150·2 = 540.
    QImage image(594, 840, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintSheet(painter, oneLine(), QRectF(0, 0, 594, 840), true);
    painter.end();
    EXPECT_TRUE(dark(image.pixel(494, 540)));
    EXPECT_TRUE(dark(image.pixel(494, 460))); // its start at 100 mm: 840 − 200 = 640 … 440
    EXPECT_FALSE(dark(image.pixel(494, 700)));
    EXPECT_FALSE(dark(image.pixel(540, 494)));
}

// The PDF: one A3 landscape page per sheet, 420 × 297 mm = 1190.55 × 841.89 pt.
TEST(DrawingPainter, PdfHasAnA3PagePerSheet) {
    Drawing d;
    d.title = QStringLiteral("配电系统图");
    d.sheets = {oneLine(), oneLine()};
    const QByteArray pdf = drawingPdf(d);
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    const QString text = QString::fromLatin1(pdf);
    const QRegularExpression media(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    int pages = 0;
    for (auto it = media.globalMatch(text); it.hasNext(); ++pages) {
        const auto m = it.next();
        EXPECT_NEAR(m.captured(1).toDouble(), 1190.55, 1.0);
        EXPECT_NEAR(m.captured(2).toDouble(), 841.89, 1.0);
    }
    EXPECT_EQ(pages, 2);
}

} // namespace
} // namespace korvane
