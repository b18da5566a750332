// Tables and pictures in the .docx back end: the WordprocessingML of a table (grid in twips,
// borders, header rows, cells), of an inline picture (extent in EMU, ids, image relationship) and
// the package parts a picture needs, then one document read back by python-docx.

#include "reports/docx_writer.h"
#include "reports/tiny_png.h"
#include "reports/zip_reading.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

QStringList captures(const QString& text, const char* pattern) {
    QStringList found;
    for (const auto& m : QRegularExpression(u8(pattern)).globalMatch(text))
        found << m.captured(1);
    return found;
}

// A table cell; the fields left out take their defaults.
ReportTableCell cell(const QString& text, bool bold = false,
                     std::optional<Color> colour = std::nullopt,
                     ParagraphAlignment alignment = ParagraphAlignment::Left) {
    return {text, bold, colour, alignment};
}

// A 3×4 table, one header row, widths 25.4 (one inch), 50, 40 and 44.6 mm.
ReportTable scheduleTable() {
    ReportTable table;
    table.columnWidthsMm = {25.4, 50.0, 40.0, 44.6};
    table.rows = {
        {cell(u8("回路"), true, std::nullopt, ParagraphAlignment::Centred), cell(u8("电缆"), true),
         cell(u8("长度\r(m)"), true), cell(u8("Δu%"), true)},
        {cell(u8("WL1")), cell(u8("VV 4×50")), cell(u8("120")), cell(u8("3.2"))},
        {cell(u8("WL2")), cell(u8("a<b & \"c\"")), cell(u8("")), cell(u8("6.1"), false, 0x0000FFU)},
    };
    return table;
}

ReportDocument documentWith(const std::function<void(DocumentReportWriter&)>& write) {
    DocxReportWriter writer;
    writer.openDocument();
    write(writer);
    return *writer.document();
}

void expectWellFormed(const QByteArray& xml) {
    QXmlStreamReader reader(xml); // namespace-aware: an undeclared prefix is an error
    while (!reader.atEnd())
        reader.readNext();
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
}

TEST(DocxTables, GridHeaderRowsAndCellsAsWordLaysThemOut) {
    const ReportDocument document = documentWith([](DocumentReportWriter& w) {
        w.appendText(u8("表1"));
        ASSERT_TRUE(w.insertTable(scheduleTable()));
        w.appendText(u8("下文"));
    });
    const QByteArray bytes = docxDocumentXml(document);
    expectWellFormed(bytes);
    const QString xml = QString::fromUtf8(bytes);

    // 1 mm = 1440/25.4 twips, each column rounded; the table as wide as its columns.
    EXPECT_EQ(captures(xml, "<w:gridCol w:w=\"(\\d+)\"/>"),
              (QStringList{u8("1440"), u8("2835"), u8("2268"), u8("2529")}));
    EXPECT_TRUE(xml.contains(u8("<w:tblW w:w=\"9072\" w:type=\"dxa\"/>")));
    EXPECT_TRUE(xml.contains(u8("<w:tblLayout w:type=\"fixed\"/>")));
    for (const char* edge : {"top", "left", "bottom", "right", "insideH", "insideV"})
        EXPECT_TRUE(xml.contains(u8("<w:%1 w:val=\"single\" w:sz=\"4\"").arg(u8(edge)))) << edge;

    const QStringList rows = captures(xml, "(<w:tr>.*?</w:tr>)");
    ASSERT_EQ(rows.size(), 3);
    for (int r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_TRUE(rows[r].startsWith(u8("<w:tr><w:trPr><w:cantSplit/>")));
        EXPECT_EQ(rows[r].contains(u8("<w:tblHeader/>")), r == 0);
        EXPECT_EQ(captures(rows[r], "<w:tcW w:w=\"(\\d+)\" w:type=\"dxa\"/>"),
                  captures(xml, "<w:gridCol w:w=\"(\\d+)\"/>"));
    }
    // Texts by cell: a CR makes a second paragraph, an empty cell still holds one, markup escaped.
    const QStringList cells = captures(xml, "(<w:tc>.*?</w:tc>)");
    ASSERT_EQ(cells.size(), 12);
    EXPECT_EQ(cells[2].count(u8("<w:p>")), 2);
    EXPECT_EQ(captures(cells[2], "<w:t xml:space=\"preserve\">([^<]*)</w:t>"),
              (QStringList{u8("长度"), u8("(m)")}));
    EXPECT_EQ(cells[10].count(u8("<w:p>")), 1);
    EXPECT_FALSE(cells[10].contains(u8("<w:r>")));
    EXPECT_TRUE(cells[9].contains(u8(">a&lt;b &amp; &quot;c&quot;</w:t>")));
    // The table's font for Latin and East-Asian text at 9 pt; bold, colour and alignment by cell.
    const QString font = u8("<w:rFonts w:ascii=\"宋体\" w:hAnsi=\"宋体\" w:eastAsia=\"宋体\" "
                            "w:cs=\"宋体\"/>");
    EXPECT_TRUE(cells[0].contains(u8("<w:jc w:val=\"center\"/>")));
    EXPECT_TRUE(
        cells[0].contains(u8("<w:r><w:rPr>") + font + u8("<w:b/><w:bCs/><w:sz w:val=\"18\"/>")));
    EXPECT_TRUE(cells[4].contains(u8("<w:jc w:val=\"left\"/>")));
    EXPECT_TRUE(cells[4].contains(u8("<w:r><w:rPr>") + font + u8("<w:sz w:val=\"18\"/>")));
    EXPECT_TRUE(cells[11].contains(u8("<w:color w:val=\"FF0000\"/>"))) << "0xBBGGRR red";

    // In reading order, with the paragraph after the table that Word requires before the body's
    // end; no drawing namespaces without a picture.
    const qsizetype before = xml.indexOf(u8(">表1</w:t>"));
    const qsizetype table = xml.indexOf(u8("<w:tbl>"));
    const qsizetype after = xml.indexOf(u8(">下文</w:t>"));
    EXPECT_TRUE(before < table && table < after) << xml.toStdString();
    EXPECT_TRUE(xml.contains(u8("</w:tbl>\n<w:p>")));
    EXPECT_FALSE(xml.contains(u8("xmlns:wp")));
}

TEST(DocxPictures, InlineDrawingsWithTheirImagesAndRelationships) {
    const ReportDocument document = documentWith([](DocumentReportWriter& w) {
        w.appendText(u8("图1"));
        ASSERT_TRUE(w.insertPicture({tinyPng(), 160.0, 90.5, u8("馈线 \"A\" & 杆位图")}));
        ASSERT_TRUE(w.insertTable(scheduleTable()));
        QByteArray second = tinyPng();
        second.append("trailer"); // other bytes, to tell the media files apart
        ASSERT_TRUE(w.insertPicture({second, 20.0, 10.0, u8("第二幅")}));
    });
    const QByteArray bytes = docxDocumentXml(document);
    expectWellFormed(bytes);
    const QString xml = QString::fromUtf8(bytes);
    for (const char* ns :
         {"xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\"",
          "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\"",
          "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"",
          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""})
        EXPECT_TRUE(xml.contains(u8(ns))) << ns;

    EXPECT_EQ(captures(xml, "<wp:extent cx=\"(\\d+\" cy=\"\\d+)\"/>"),
              (QStringList{u8("5760000\" cy=\"3258000"), u8("720000\" cy=\"360000")}));
    EXPECT_EQ(captures(xml, "<a:ext cx=\"(\\d+\" cy=\"\\d+)\"/>"),
              captures(xml, "<wp:extent cx=\"(\\d+\" cy=\"\\d+)\"/>"));
    EXPECT_EQ(captures(xml, "<wp:docPr id=\"(\\d+)\""), (QStringList{u8("1"), u8("2")}));
    EXPECT_TRUE(xml.contains(u8("descr=\"馈线 &quot;A&quot; &amp; 杆位图\"")));
    EXPECT_EQ(captures(xml, "<a:blip r:embed=\"([^\"]+)\"/>"),
              (QStringList{u8("rId2"), u8("rId3")}));
    EXPECT_EQ(xml.count(u8("<w:p><w:pPr><w:jc w:val=\"center\"/></w:pPr><w:r><w:drawing>")), 2);
    // The paragraph before each picture is kept on its page (图1, and the empty one after the
    // table), so that a label is not left at a page's foot.
    EXPECT_EQ(xml.count(u8("<w:keepNext/>")), 2);
    const qsizetype kept = xml.indexOf(u8("<w:keepNext/>"));
    EXPECT_TRUE(xml.mid(kept, xml.indexOf(u8("</w:p>"), kept) - kept).contains(u8("图1")));
    EXPECT_LT(xml.indexOf(u8("<w:drawing>")), xml.indexOf(u8("<w:tbl>")));
    EXPECT_GT(xml.lastIndexOf(u8("<w:drawing>")), xml.indexOf(u8("</w:tbl>")));

    const std::optional<QByteArray> package = docxPackage(document);
    ASSERT_TRUE(package);
    const auto names = zipEntryNames(*package);
    ASSERT_TRUE(names);
    EXPECT_TRUE(names->contains(u8("word/media/image1.png")));
    EXPECT_TRUE(names->contains(u8("word/media/image2.png")));
    EXPECT_EQ(zipEntry(*package, "word/media/image1.png"), tinyPng());
    EXPECT_EQ(zipEntry(*package, "word/media/image2.png"), tinyPng() + "trailer");

    const QByteArray relsBytes = zipEntry(*package, "word/_rels/document.xml.rels").value();
    expectWellFormed(relsBytes);
    const QString rels = QString::fromUtf8(relsBytes);
    const QString image = u8("Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                             "relationships/image\"");
    EXPECT_TRUE(rels.contains(u8("<Relationship Id=\"rId2\" ") + image +
                              u8(" Target=\"media/image1.png\"/>")));
    EXPECT_TRUE(rels.contains(u8("<Relationship Id=\"rId3\" ") + image +
                              u8(" Target=\"media/image2.png\"/>")));
    EXPECT_TRUE(rels.contains(u8("Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
                                 "officeDocument/2006/relationships/styles\"")));
    const QByteArray typesBytes = zipEntry(*package, "[Content_Types].xml").value();
    expectWellFormed(typesBytes);
    const QString types = QString::fromUtf8(typesBytes);
    EXPECT_EQ(types.count(u8("<Default Extension=\"png\" ContentType=\"image/png\"/>")), 1);
    EXPECT_LT(types.indexOf(u8("Extension=\"png\"")), types.indexOf(u8("<Override")));
}

TEST(DocxPictures, ADocumentWithoutPicturesDeclaresNoImages) {
    const ReportDocument document = documentWith([](DocumentReportWriter& w) {
        w.appendText(u8("文字\r"));
        w.insertTable(scheduleTable());
    });
    EXPECT_FALSE(docxContentTypesXml(document).contains("png"));
    EXPECT_EQ(docxDocumentRelationshipsXml(document).count("<Relationship "), 1);
    const auto names = zipEntryNames(docxPackage(document).value_or(QByteArray()));
    ASSERT_TRUE(names);
    EXPECT_EQ(names->size(), 7);
}

// python-docx, which shares nothing with this writer, reads the table's cells and the picture's
// size back.
constexpr char kReader[] = R"(
import json, sys
try:
    from docx import Document
except ImportError:
    sys.exit(3)
d = Document(sys.argv[1])
print(json.dumps({
    "tables": [[[c.text for c in row.cells] for row in t.rows] for t in d.tables],
    "shapes": [[s.width, s.height] for s in d.inline_shapes],
    "paragraphs": [p.text for p in d.paragraphs],
    "title": d.core_properties.title,
    "author": d.core_properties.author,
    "image": len(d.part.related_parts[
        d.inline_shapes[0]._inline.graphic.graphicData.pic.blipFill.blip.embed].blob)
            if d.inline_shapes else 0,
}, ensure_ascii=False))
)";

TEST(DocxReadBack, ATableAndAPictureReadByPythonDocx) {
    const ReportDocument document = documentWith([](DocumentReportWriter& w) {
        w.appendText(u8("线路表\r"));
        ASSERT_TRUE(w.insertTable(scheduleTable()));
        ASSERT_TRUE(w.insertPicture({tinyPng(), 120.0, 67.5, u8("馈线图")}));
        w.appendText(u8("结论"));
    });
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u8("表与图.docx"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(docxPackage(document).value());
    file.close();

    QProcess python;
    python.start(u8(KORVANE_PYTHON3), {u8("-c"), u8(kReader), path});
    ASSERT_TRUE(python.waitForFinished(60000));
    if (python.exitCode() == 3)
        GTEST_SKIP() << "python-docx is not installed";
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QJsonObject read = QJsonDocument::fromJson(python.readAllStandardOutput()).object();

    const QJsonArray tables = read[u8("tables")].toArray();
    ASSERT_EQ(tables.size(), 1);
    const QJsonArray expected =
        QJsonArray{QJsonArray{u8("回路"), u8("电缆"), u8("长度\n(m)"), u8("Δu%")},
                   QJsonArray{u8("WL1"), u8("VV 4×50"), u8("120"), u8("3.2")},
                   QJsonArray{u8("WL2"), u8("a<b & \"c\""), u8(""), u8("6.1")}};
    EXPECT_EQ(tables[0].toArray(), expected);
    const QJsonArray shapes = read[u8("shapes")].toArray();
    ASSERT_EQ(shapes.size(), 1);
    EXPECT_EQ(shapes[0].toArray(), (QJsonArray{120 * 36000, 2430000}));
    EXPECT_EQ(read[u8("image")].toInt(), tinyPng().size());
    EXPECT_EQ(read[u8("paragraphs")].toArray(),
              (QJsonArray{u8("线路表"), u8(""), u8(""), u8(""), u8("结论")}));
}

// Texts XML cannot carry (control characters, lone surrogates, U+FFFE) in paragraphs, cells and
// the properties: every file in the package is well-formed XML and python-docx opens it, each
// such character shown as U+FFFD; a tab and a line feed in a paragraph stay the word processor's
// own, in a cell (one line of text) they are spaces.
TEST(DocxReadBack, TextsXmlCannotCarryAreReplacedAndTheDocumentOpens) {
    const QString fffd(QChar::ReplacementCharacter);
    const QString loneHigh(QChar(0xD800));
    const QString loneLow(QChar(0xDC01));
    const ReportDocument document = [&] {
        DocxReportWriter writer;
        writer.setProperties({u8("计算书\x01") + loneHigh, u8("张\n工"), QDateTime()});
        writer.openDocument();
        writer.appendText(u8("WL\x01") + loneLow + u8("\tA\nB") + QChar(0xFFFE) + u8("\r"));
        ReportTable table = scheduleTable();
        table.rows[1][0].text = u8("WL\x02\t1\n2") + loneHigh;
        writer.insertTable(table);
        writer.appendText(u8("结论"));
        return *writer.document();
    }();
    const QByteArray package = docxPackage(document).value();
    const std::optional<QStringList> names = zipEntryNames(package);
    ASSERT_TRUE(names);
    for (const QString& name : *names) {
        SCOPED_TRACE(name.toStdString());
        expectWellFormed(zipEntry(package, name.toUtf8().constData()).value());
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(u8("控制字符.docx"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(package);
    file.close();
    QProcess python;
    python.start(u8(KORVANE_PYTHON3), {u8("-c"), u8(kReader), path});
    ASSERT_TRUE(python.waitForFinished(60000));
    if (python.exitCode() == 3)
        GTEST_SKIP() << "python-docx is not installed";
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QJsonObject read = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    EXPECT_EQ(read[u8("paragraphs")].toArray().first().toString(),
              u8("WL") + fffd + fffd + u8("\tA\nB") + fffd);
    EXPECT_EQ(read[u8("tables")][0][1][0].toString(), u8("WL") + fffd + u8(" 1 2") + fffd);
    EXPECT_EQ(read[u8("title")].toString(), u8("计算书") + fffd + fffd);
    EXPECT_EQ(read[u8("author")].toString(), u8("张 工"));
}

} // namespace
} // namespace korvane::testing
