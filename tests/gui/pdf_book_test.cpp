// PDF books: the same paragraphs as the .docx book, on A4 pages, with every font embedded and
// every character drawn. The PDF is read back with poppler's pdftotext, pdffonts and pdfinfo and
// with fontTools (pdf_glyphs.py), independent of Qt.

#include "render/pdf_book.h"
#include "reports/book_commands.h"
#include "reports/tiny_png.h"
#include "support/test_app.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Texts compared without blanks: pdftotext renders runs of spaces and U+3000 its own way.
QString squeezed(QString text) {
    text.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}]")));
    return text;
}

// The characters of `text` that the PDF at `path` does not draw with an embedded font, as
// pdf_glyphs.py lists them; "error" and what it printed when it could not tell.
QString undrawnCharacters(const QString& path, const QString& text) {
    QFile textFile(path + QStringLiteral(".txt"));
    if (!textFile.open(QIODevice::WriteOnly))
        return QStringLiteral("error: cannot write ") + textFile.fileName();
    textFile.write(text.toUtf8());
    textFile.close();
    QProcess process;
    process.start(
        QStringLiteral(KORVANE_PYTHON3),
        {QStringLiteral(KORVANE_SOURCE_DIR "/tests/gui/pdf_glyphs.py"), path, textFile.fileName()});
    if (!process.waitForFinished(60000))
        return QStringLiteral("error: pdf_glyphs.py did not finish");
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    if (process.exitStatus() != QProcess::NormalExit ||
        (process.exitCode() == 0) != out.contains(QStringLiteral(", 0 not drawn")))
        return QStringLiteral("error: ") + out + QString::fromUtf8(process.readAllStandardError());
    return process.exitCode() == 0 ? QString() : out;
}

QString writePdf(const QString& path, const ReportDocument& document) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(render::renderPdfBook(document));
    return path;
}

void fillShortCircuitPage(TestApp& t) {
    const std::pair<const char*, const char*> fields[] = {
        {"Text55", "4"},    {"Text56", "4.3"},  {"Text57", "400"}, {"Text58", "0.025"},
        {"Text59", "0.15"}, {"Text60", "0.05"}, {"Text61", "0.3"}, {"Text62", "5"},
        {"Text40", "0.3"},  {"Text41", "0.08"}, {"Text46", "0.9"}, {"Text47", "0.16"},
        {"Text49", "0.6"},  {"Text50", "0.15"}, {"Text48", "0.1"}};
    for (const auto& [name, value] : fields)
        t.setText(name, QString::fromUtf8(value));
    t.select("Combo18", QStringLiteral("100"));
}

TEST(PdfBook, CarriesEveryParagraphOfTheBookWithEmbeddedFonts) {
    TestApp t;
    fillShortCircuitPage(t);
    t.select("Combo3", QStringLiteral("50"));
    QTemporaryDir dir;
    for (BookKind kind : {BookKind::VoltageLoss, BookKind::ShortCircuit}) {
        const ComposedBook book = composeBook(t.app(), t.form(), kind);
        ASSERT_TRUE(book.document.has_value());
        SCOPED_TRACE(book.title.toStdString());
        const QString path =
            writePdf(dir.filePath(book.title + QStringLiteral(".pdf")), *book.document);

        QStringList expected;
        for (const QString& paragraph : book.document->paragraphTexts()) {
            if (!squeezed(paragraph).isEmpty())
                expected << squeezed(paragraph);
        }
        QStringList extracted;
        for (const QString& line : run(QStringLiteral("pdftotext"),
                                       {QStringLiteral("-layout"), path, QStringLiteral("-")})
                                       .split(u'\n')) {
            if (!squeezed(line).isEmpty())
                extracted << squeezed(line);
        }
        ASSERT_GE(expected.size(), 20);
        EXPECT_EQ(extracted, expected);

        const QString fonts = run(QStringLiteral("pdffonts"), {path});
        const QStringList rows = fonts.split(u'\n', Qt::SkipEmptyParts).mid(2);
        ASSERT_FALSE(rows.isEmpty()) << fonts.toStdString();
        for (const QString& row : rows)
            // Columns: name, type, encoding, emb, sub, uni, object, generation.
            EXPECT_TRUE(row.contains(QRegularExpression(
                QStringLiteral("\\syes\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+\\s*$"))))
                << "font not embedded: " << row.toStdString();
        const QString info = run(QStringLiteral("pdfinfo"), {path});
        EXPECT_TRUE(info.contains(QStringLiteral("(A4)")));
        EXPECT_TRUE(info.contains(QStringLiteral("Title:           ") + book.title))
            << info.toStdString();
        EXPECT_EQ(undrawnCharacters(path, book.document->paragraphTexts().join(u'\n')), QString());
    }
}

// The symbols of the books in every font the books use, each drawn even where the Chinese font
// chosen has no glyph for it (WenQuanYi Micro Hei's ℃ is empty) or lacks it altogether.
TEST(PdfBook, DrawsEveryCharacterThroughFontFallback) {
    const QString symbols =
        QStringLiteral("线芯工作温度(℃)；环境温度(℃) θc θa Δu% cosφ sinφ √3 Ω/km mΩ I″k3 ZΣ Rphp "
                       "……电压系数 ΔP 16 - 2008 mm2 ² ± ≤ ≥ ° μ 《》【】：，。");
    struct Case {
        const char* what;
        double size;
        bool bold;
    };
    const Case cases[] = {
        {"title", 18, true}, {"header", 12, true}, {"body", 10.5, true}, {"regular", 10.5, false}};
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DocumentReportWriter writer;
        writer.openDocument();
        writer.appendText(symbols + u'\r');
        writer.setFont(QStringLiteral("宋体"), c.size, c.bold, std::nullopt);
        const QString path = writePdf(
            dir.filePath(QString::fromUtf8(c.what) + QStringLiteral(".pdf")), *writer.document());
        EXPECT_EQ(undrawnCharacters(path, symbols), QString());
        // The text layer still reads as written.
        EXPECT_EQ(squeezed(run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")})),
                  squeezed(symbols));
    }
}

int pageCount(const QString& path) {
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                          .match(run(QStringLiteral("pdfinfo"), {path}));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QString pageText(const QString& path, int page) {
    const QString n = QString::number(page);
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), n,
                                             QStringLiteral("-l"), n, path, QStringLiteral("-")});
}

// A table cell; the fields left out take their defaults.
ReportTableCell cell(const QString& text, bool bold = false,
                     std::optional<Color> colour = std::nullopt,
                     ParagraphAlignment alignment = ParagraphAlignment::Left) {
    return {text, bold, colour, alignment};
}

// A table of 70 circuits, two header rows, too long for one page: every row once, whole on its
// page, the header again at the top of the second page, Chinese drawn in every cell.
TEST(PdfBookTables, ALongTableRepeatsItsHeaderOnTheNextPage) {
    ReportTable table;
    table.columnWidthsMm = {20.0, 60.0, 40.0, 40.0};
    table.headerRows = 2;
    table.rows.push_back({cell(QStringLiteral("回路编号"), true),
                          cell(QStringLiteral("电缆型号"), true),
                          cell(QStringLiteral("长度"), true), cell(QStringLiteral("压降"), true)});
    table.rows.push_back(
        {cell(QStringLiteral("单位")), {}, cell(QStringLiteral("m")), cell(QStringLiteral("%"))});
    for (int i = 1; i <= 70; ++i)
        table.rows.push_back({cell(QStringLiteral("WL%1").arg(i)),
                              cell(QStringLiteral("YJV 4×%1 铜芯").arg(i)),
                              cell(QString::number(i * 10)),
                              cell(QStringLiteral("%1.5").arg(i % 7), false, 0x0000FFU)});
    DocumentReportWriter writer;
    writer.openDocument();
    writer.appendText(QStringLiteral("回路表\r"));
    ASSERT_TRUE(writer.insertTable(table));
    writer.appendText(QStringLiteral("表后文字"));
    QTemporaryDir dir;
    const QString path = writePdf(dir.filePath(QStringLiteral("table.pdf")), *writer.document());

    ASSERT_EQ(pageCount(path), 2);
    const QString first = pageText(path, 1);
    const QString second = pageText(path, 2);
    for (const QString& header :
         {QStringLiteral("回路编号"), QStringLiteral("电缆型号"), QStringLiteral("单位")}) {
        EXPECT_EQ(first.count(header), 1) << header.toStdString();
        EXPECT_EQ(second.count(header), 1) << header.toStdString();
    }
    // Each circuit's row once, the rows in order, and the header above the second page's rows.
    const QString both = first + second;
    int last = -1;
    for (int i = 1; i <= 70; ++i) {
        const QString cable = QStringLiteral("YJV4×%1铜芯").arg(i);
        EXPECT_EQ(squeezed(both).count(cable), 1) << i;
        const qsizetype at = squeezed(both).indexOf(cable);
        EXPECT_GT(at, last) << i;
        last = static_cast<int>(at);
    }
    const qsizetype firstRowThere =
        squeezed(second).indexOf(QRegularExpression(QStringLiteral("WL\\d+YJV")));
    EXPECT_GT(firstRowThere, squeezed(second).indexOf(QStringLiteral("单位")));
    EXPECT_TRUE(second.contains(QStringLiteral("表后文字")));
    EXPECT_EQ(undrawnCharacters(path, QStringLiteral("回路编号电缆型号长度压降单位铜芯×")),
              QString());
}

// Text longer than its cell wraps inside it: the cell keeps every character and the row grows,
// so the table takes more lines than rows.
TEST(PdfBookTables, CellTextWrapsInsideItsColumn) {
    const QString lengthy = QStringLiteral("聚氯乙烯绝缘电力电缆在三相平衡负荷线路中的电压损失");
    ReportTable table;
    table.columnWidthsMm = {25.0, 25.0};
    table.rows = {{cell(QStringLiteral("名称")), cell(QStringLiteral("说明"))},
                  {cell(QStringLiteral("甲")), cell(lengthy + QStringLiteral("\r第二段"))}};
    DocumentReportWriter writer;
    writer.openDocument();
    ASSERT_TRUE(writer.insertTable(table));
    QTemporaryDir dir;
    const QString path = writePdf(dir.filePath(QStringLiteral("wrap.pdf")), *writer.document());
    const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    QStringList lines;
    for (const QString& line : text.split(u'\n'))
        if (!squeezed(line).isEmpty())
            lines << squeezed(line);
    EXPECT_GE(lines.size(), 5) << text.toStdString(); // header, ≥3 wrapped lines, 第二段
    EXPECT_TRUE(squeezed(text).contains(QStringLiteral("第二段")));
    QString rejoined = squeezed(text);
    rejoined.remove(QStringLiteral("名称")).remove(QStringLiteral("说明"));
    rejoined.remove(QStringLiteral("甲"));
    EXPECT_TRUE(rejoined.startsWith(lengthy)) << rejoined.toStdString();
}

// Texts no file can carry as they are (control characters, lone surrogates) in a paragraph, a
// table cell and the title: the PDF opens in poppler, each such character shown as U+FFFD as in
// the .docx, and a tab or line feed in a cell is a space, the cell one line.
TEST(PdfBookTables, TextsNoFileCanCarryAreShownAsReplacementCharacters) {
    const QString fffd(QChar::ReplacementCharacter);
    ReportTable table;
    table.columnWidthsMm = {40.0, 40.0};
    table.rows = {
        {cell(QStringLiteral("回路编号")), cell(QStringLiteral("电缆"))},
        {cell(QStringLiteral("WL\x02\t1\n2") + QChar(0xD800)), cell(QStringLiteral("VV"))}};
    DocumentReportWriter writer;
    writer.setProperties({QStringLiteral("计算书\x01") + QChar(0xDC00), {}, {}});
    writer.openDocument();
    writer.appendText(QStringLiteral("工程\x03") + QChar(0xDC01) + QStringLiteral("名\r"));
    ASSERT_TRUE(writer.insertTable(table));
    QTemporaryDir dir;
    const QString path = writePdf(dir.filePath(QStringLiteral("控制字符.pdf")), *writer.document());
    const QString info = run(QStringLiteral("pdfinfo"), {path});
    EXPECT_TRUE(info.contains(QStringLiteral("Title:           计算书") + fffd + fffd))
        << info.toStdString();
    QStringList lines;
    for (const QString& line :
         run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
             .split(u'\n'))
        if (!squeezed(line).isEmpty())
            lines << squeezed(line);
    EXPECT_EQ(lines,
              (QStringList{"工程" + fffd + fffd + QStringLiteral("名"),
                           QStringLiteral("回路编号电缆"), "WL" + fffd + "12" + fffd + "VV"}));
}

// pdfimages' list of a PDF's images: page and pixel size of each, "page:width×height".
QStringList images(const QString& path) {
    QStringList found;
    const QStringList rows =
        run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path}).split(u'\n');
    for (const QString& row : rows.mid(2)) {
        const QStringList columns = row.simplified().split(u' ');
        if (columns.size() > 4 && columns[2] == QStringLiteral("image"))
            found << columns[0] + u':' + columns[3] + u'x' + columns[4];
    }
    return found;
}

TEST(PdfBookPictures, APictureIsDrawnAndMovesOnWhenItDoesNotFit) {
    QImage image(64, 32, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, "PNG"));
    }
    struct Case {
        const char* what;
        int linesBefore;
        QStringList expected;
        int pages;
        const char* label = ""; // a paragraph directly before the picture
        int labelPage = 0;      // the page it is drawn on
    };
    // 40 lines of 五号 text take some 200 mm of a page of 247 mm; 80 mm more do not fit.
    const Case cases[] = {
        {"on the page it follows", 2, {QStringLiteral("1:64x32"), QStringLiteral("1:4x3")}, 1},
        {"on the next page", 40, {QStringLiteral("2:64x32"), QStringLiteral("2:4x3")}, 2},
        {"its label kept with it",
         2,
         {QStringLiteral("1:64x32"), QStringLiteral("1:4x3")},
         1,
         "图题甲",
         1},
        {"its label going with it",
         40,
         {QStringLiteral("2:64x32"), QStringLiteral("2:4x3")},
         2,
         "图题乙",
         2},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DocumentReportWriter writer;
        writer.openDocument();
        for (int i = 0; i < c.linesBefore; ++i)
            writer.appendText(QStringLiteral("第%1行\r").arg(i + 1));
        if (*c.label != '\0')
            writer.appendText(QString::fromUtf8(c.label));
        ASSERT_TRUE(writer.insertPicture({png, 160.0, 80.0, QStringLiteral("杆位图")}));
        ASSERT_TRUE(writer.insertPicture({tinyPng(), 40.0, 30.0, QStringLiteral("小图")}));
        writer.appendText(QStringLiteral("图后"));
        const QString path = writePdf(
            dir.filePath(QString::fromUtf8(c.what) + QStringLiteral(".pdf")), *writer.document());
        EXPECT_EQ(images(path), c.expected);
        EXPECT_EQ(pageCount(path), c.pages);
        if (c.labelPage > 0) {
            EXPECT_TRUE(pageText(path, c.labelPage).contains(QString::fromUtf8(c.label)));
            EXPECT_TRUE(pageText(path, 1).contains(QStringLiteral("第2行"))) << "the lines stay";
        }
    }
}

// A picture the drawer knows by its source is drawn by it, in the picture's place; one it does
// not know is placed as its PNG.
TEST(PdfBookPictures, ADrawerDrawsThePicturesItKnowsInTheirPlace) {
    DocumentReportWriter writer;
    writer.openDocument();
    writer.appendText(QStringLiteral("图前"));
    ReportPicture drawn{tinyPng(), 150.0, 80.0, QStringLiteral("画出的图")};
    drawn.source = QStringLiteral("drawn");
    ASSERT_TRUE(writer.insertPicture(drawn));
    ASSERT_TRUE(writer.insertPicture({tinyPng(), 40.0, 30.0, QStringLiteral("像素图")}));

    std::vector<QRectF> areas;
    const render::PdfPictureDrawer drawer = [&areas](const ReportPicture& picture,
                                                     QPainter& painter, const QRectF& area) {
        if (picture.source != QStringLiteral("drawn"))
            return false;
        areas.push_back(area);
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("VECTOR"));
        return true;
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("drawn.pdf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(render::renderPdfBook(*writer.document(), drawer));
    file.close();

    ASSERT_EQ(areas.size(), 1u);
    // 150 mm wide at the writer's 1200 device units per inch, centred in the 160 mm text width.
    EXPECT_NEAR(areas[0].width(), 150.0 / 25.4 * 1200.0, 1.0);
    EXPECT_NEAR(areas[0].height(), 80.0 / 25.4 * 1200.0, 1.0);
    EXPECT_NEAR(areas[0].left(), 5.0 / 25.4 * 1200.0, 10.0); // within 0.2 mm
    EXPECT_EQ(images(path), QStringList{QStringLiteral("1:4x3")});
    EXPECT_TRUE(run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")})
                    .contains(QStringLiteral("VECTOR")));
}

} // namespace
} // namespace korvane::testing
