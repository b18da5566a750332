#include "drawing/dxf_writer.h"
#include "drawing/svg_writer.h"

#include <gtest/gtest.h>

#include <QList>

namespace korvane::drawing {
namespace {

// The group code / value pairs of a DXF file, codes trimmed.
QList<std::pair<int, QByteArray>> pairsOf(const QByteArray& dxf) {
    QList<QByteArray> lines = dxf.split('\n');
    QList<std::pair<int, QByteArray>> pairs;
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        bool ok = false;
        const int code = lines[i].trimmed().toInt(&ok);
        EXPECT_TRUE(ok) << "group code line " << i + 1 << ": " << lines[i].toStdString();
        QByteArray value = lines[i + 1];
        value.chop(value.endsWith('\r') ? 1 : 0);
        pairs.append({code, value});
    }
    return pairs;
}

// What AutoCAD's text escapes make of a string, after the DXF reference (TEXT group 1: control
// codes %%c, %%d, %%p and %%%; \U+XXXX for a Unicode character).
TEST(DxfWriter, TextIsAsciiWithAutocadEscapes) {
    struct Row {
        const char16_t* text;
        const char* dxf;
    };
    const Row rows[] = {
        {u"WL1", "WL1"},
        // GBK (GB 2312 row 21, 31; × A1C1; Δ A6A4), the code page ANSI_936 of the file.
        {u"回路", "\xbb\xd8\xc2\xb7"},
        {u"YJV-0.6/1kV-4×25", "YJV-0.6/1kV-4\xa1\xc1"
                              "25"},
        {u"Δu=2.1%", "\xa6\xa4u=2.1%"},
        // Not in GBK: the escape of each UTF-16 unit.
        {u"灯😀", "\xb5\xc6\\U+D83D\\U+DE00"},
        {u"%%c typed", "%%%%%%c typed"},
        {u"a\\U+4E2D", "a\\U+005CU+4E2D"},
        {u"tab\there", "tab here"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(dxfText(QString::fromUtf16(row.text)), QByteArray(row.dxf))
            << QString::fromUtf16(row.text).toStdString();
}

Drawing twoSheets() {
    Drawing d;
    d.title = QStringLiteral("配电系统图");
    Sheet a;
    a.lines.push_back({{10, 10}, {410, 10}, Layer::Frame, false});
    a.circles.push_back({{100, 150}, 2.5, Layer::Symbols});
    a.texts.push_back({{200, 280},
                       5.0,
                       QStringLiteral("配电系统图"),
                       HorizontalAlign::Centre,
                       VerticalAlign::Middle,
                       0.0,
                       Layer::Text});
    Sheet b;
    b.arcs.push_back({{50, 50}, 3.0, 0.0, 180.0, Layer::Symbols});
    b.polylines.push_back({{{0, 0}, {5, 0}, {5, 5}}, true, Layer::Symbols});
    d.sheets = {a, b};
    return d;
}

// The file's structure, as the DXF reference of Release 12 lays it out: four sections, the
// layers and the one text style, the sheets side by side at 1:1 (the second at 420 + 20 mm).
TEST(DxfWriter, SectionsLayersAndSheetsSideBySide) {
    const QByteArray dxf = dxfDocument(twoSheets());
    EXPECT_TRUE(dxf.endsWith("  0\r\nEOF\r\n"));
    // The title in GBK: 配电系统图.
    EXPECT_TRUE(dxf.contains("\xc5\xe4\xb5\xe7\xcf\xb5\xcd\xb3\xcd\xbc"));
    const auto pairs = pairsOf(dxf);
    QList<QByteArray> sections, layers;
    for (qsizetype i = 0; i + 1 < pairs.size(); ++i) {
        if (pairs[i] == std::pair<int, QByteArray>{0, "SECTION"})
            sections << pairs[i + 1].second;
        if (pairs[i] == std::pair<int, QByteArray>{0, "LAYER"})
            layers << pairs[i + 1].second;
    }
    EXPECT_EQ(sections, (QList<QByteArray>{"HEADER", "TABLES", "BLOCKS", "ENTITIES"}));
    EXPECT_EQ(layers, (QList<QByteArray>{"E-FRAME", "E-LINE", "E-SYMB", "E-TEXT"}));
    EXPECT_TRUE(dxf.contains("$DWGCODEPAGE\r\n  3\r\nANSI_936"));
    EXPECT_TRUE(dxf.contains("  3\r\ngbenor.shx\r\n  4\r\ngbcbig.shx"));
    // The arc of the second sheet at x = 50 + 420 + 20.
    EXPECT_TRUE(dxf.contains("ARC\r\n  8\r\nE-SYMB\r\n 10\r\n490\r\n 20\r\n50\r\n"));
    // The centred title: aligned at its second point.
    EXPECT_TRUE(dxf.contains(" 72\r\n1\r\n 11\r\n200\r\n 21\r\n280\r\n 31\r\n0\r\n 73\r\n2"));
    EXPECT_TRUE(dxf.contains("$EXTMAX\r\n 10\r\n860\r\n 20\r\n297\r\n"));
}

// The SVG of a drawing: millimetres, y flipped, sheets one under the other, texts escaped as
// XML and narrowed like the DXF style.
TEST(SvgWriter, MillimetresFlippedStackedAndEscaped) {
    Sheet s;
    s.lines.push_back({{10, 10}, {410, 10}, Layer::Lines, true});
    s.texts.push_back({{20, 287},
                       3.5,
                       QStringLiteral("WL1 <照明> & 路灯"),
                       HorizontalAlign::Left,
                       VerticalAlign::Baseline,
                       90.0,
                       Layer::Text});
    Drawing d;
    d.title = QStringLiteral("图");
    d.sheets = {s, s};
    const QString svg = QString::fromUtf8(svgDocument(d));
    // Two A3 sheets and the 20 mm between them: 297 + 20 + 297 = 614 mm.
    EXPECT_TRUE(svg.contains(u"width=\"420mm\" height=\"614mm\" viewBox=\"0 0 420 614\""_qs));
    // y = 297 − 10 = 287 on the first sheet, 317 + 287 = 604 on the second.
    EXPECT_TRUE(svg.contains(u"<line x1=\"10\" y1=\"287\" x2=\"410\" y2=\"287\""_qs));
    EXPECT_TRUE(svg.contains(u"<line x1=\"10\" y1=\"604\" x2=\"410\" y2=\"604\""_qs));
    EXPECT_TRUE(svg.contains(u"stroke-dasharray=\"6 2\""_qs));
    EXPECT_TRUE(svg.contains(u"transform=\"translate(20 10) rotate(-90) scale(0.7 1)\""_qs))
        << svg.toStdString();
    EXPECT_TRUE(svg.contains(u"WL1 &lt;照明&gt; &amp; 路灯"_qs));
}

} // namespace
} // namespace korvane::drawing
