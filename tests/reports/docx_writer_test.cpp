// The .docx back end: the WordprocessingML written for each paragraph and run, the characters it
// keeps, the package around it, and one whole book against a committed golden document.xml.

#include "reports/docx_writer.h"
#include "reports/zip_reading.h"
#include "support/test_app.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// The lines of document.xml that hold a paragraph, one per paragraph.
QStringList paragraphLines(const QByteArray& xml) {
    QStringList lines;
    for (const QString& line : QString::fromUtf8(xml).split(u'\n')) {
        if (line.startsWith(u8("<w:p>")))
            lines << line;
    }
    return lines;
}

std::string xmlOf(const std::function<void(DocumentReportWriter&)>& write) {
    DocumentReportWriter writer;
    writer.openDocument();
    write(writer);
    return docxDocumentXml(*writer.document()).toStdString();
}

const char* const kBoldBlack18 =
    "<w:rPr><w:rFonts w:ascii=\"宋体\" w:hAnsi=\"宋体\" w:eastAsia=\"宋体\" "
    "w:cs=\"宋体\"/><w:b/><w:bCs/><w:color w:val=\"000000\"/>"
    "<w:sz w:val=\"36\"/><w:szCs w:val=\"36\"/></w:rPr>";
const char* const kBold105 =
    "<w:rPr><w:rFonts w:ascii=\"宋体\" w:hAnsi=\"宋体\" w:eastAsia=\"宋体\" "
    "w:cs=\"宋体\"/><w:b/><w:bCs/><w:sz w:val=\"21\"/><w:szCs w:val=\"21\"/>"
    "</w:rPr>";

TEST(DocxWriter, ParagraphAndRunPropertiesAsTheBooksSetThem) {
    struct Case {
        const char* what;
        ParagraphAlignment alignment;
        double size;
        std::optional<Color> colour;
        std::optional<std::pair<double, LineSpacingRule>> spacing;
        std::string expected;
    };
    const std::string title = kBoldBlack18;
    const std::string body = kBold105;
    const Case cases[] = {
        {"title: centred, single spacing, 18 pt = 36 half-points, black",
         ParagraphAlignment::Centred, 18.0, colors::kBlack, std::nullopt,
         "<w:p><w:pPr><w:spacing w:line=\"240\" w:lineRule=\"auto\"/><w:jc w:val=\"center\"/>" +
             title + "</w:pPr><w:r>" + title +
             "<w:t xml:space=\"preserve\">标题</w:t></w:r></w:p>"},
        {"header: 18 pt under the default rule is one and a half lines", ParagraphAlignment::Left,
         12.0, colors::kBlack, std::pair{18.0, LineSpacingRule::Default},
         "<w:p><w:pPr><w:spacing w:line=\"360\" w:lineRule=\"auto\"/><w:jc w:val=\"left\"/>"},
        {"voltage-loss body: exactly 20 pt, 10.5 pt = 21 half-points, no colour",
         ParagraphAlignment::Left, 10.5, std::nullopt, std::pair{20.0, LineSpacingRule::Exact},
         "<w:p><w:pPr><w:spacing w:line=\"400\" w:lineRule=\"exact\"/><w:jc w:val=\"left\"/>" +
             body + "</w:pPr><w:r>" + body + "<w:t xml:space=\"preserve\">标题</w:t></w:r></w:p>"},
        {"short-circuit body: exactly 18 pt", ParagraphAlignment::Left, 10.5, std::nullopt,
         std::pair{18.0, LineSpacingRule::Exact},
         "<w:p><w:pPr><w:spacing w:line=\"360\" w:lineRule=\"exact\"/>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string xml = xmlOf([&](DocumentReportWriter& w) {
            w.setAlignment(c.alignment);
            w.appendText(u8("标题\r"));
            w.setFont(u8("宋体"), c.size, true, c.colour);
            if (c.spacing)
                w.setLineSpacing(c.spacing->first, c.spacing->second);
        });
        const QStringList lines = paragraphLines(QByteArray::fromStdString(xml));
        ASSERT_EQ(lines.size(), 2); // the paragraph and the final one
        EXPECT_EQ(lines[0].toStdString().substr(0, c.expected.size()), c.expected);
    }
}

TEST(DocxWriter, AnEmptyParagraphCarriesItsMarkFormat) {
    const std::string xml = xmlOf([](DocumentReportWriter& w) {
        w.appendText(u8("标题\r\r"));
        w.setFont(u8("宋体"), 18.0, true, colors::kBlack);
    });
    const QStringList lines = paragraphLines(QByteArray::fromStdString(xml));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1].toStdString(),
              "<w:p><w:pPr><w:spacing w:line=\"240\" w:lineRule=\"auto\"/><w:jc w:val=\"left\"/>" +
                  std::string(kBoldBlack18) + "</w:pPr></w:p>");
}

TEST(DocxWriter, TextKeepsEveryCharacter) {
    struct Case {
        const char* text;
        const char* runContent;
    };
    const Case cases[] = {
        {"　Uk =4 (%)……：，、【】《》",
         "<w:t xml:space=\"preserve\">　Uk =4 (%)……：，、【】《》</w:t>"},
        {"Ω φ Δ × √ ″", "<w:t xml:space=\"preserve\">Ω φ Δ × √ ″</w:t>"},
        {"   leading and trailing   ",
         "<w:t xml:space=\"preserve\">   leading and trailing   </w:t>"},
        {"a<b & \"c\">d", "<w:t xml:space=\"preserve\">a&lt;b &amp; &quot;c&quot;&gt;d</w:t>"},
        {"a\tb\nc", "<w:t xml:space=\"preserve\">a</w:t><w:tab/><w:t xml:space=\"preserve\">b</w:t>"
                    "<w:br/><w:t xml:space=\"preserve\">c</w:t>"},
        // XML cannot carry them: each is shown as U+FFFD, the text around it as typed.
        {"bell\a!", "<w:t xml:space=\"preserve\">bell\uFFFD!</w:t>"},
        {"WL\x01"
         "1\x1f",
         "<w:t xml:space=\"preserve\">WL\uFFFD1\uFFFD</w:t>"},
        {"x\uFFFE\uFFFFy", "<w:t xml:space=\"preserve\">x\uFFFD\uFFFDy</w:t>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string xml =
            xmlOf([&](DocumentReportWriter& w) { w.appendText(u8(c.text) + u8("\r")); });
        const std::string expected = std::string("</w:rPr>") + c.runContent + "</w:r></w:p>";
        EXPECT_NE(xml.find(expected), std::string::npos) << xml;
    }
}

TEST(DocxWriter, PackageHoldsTheWellFormedPartsOfAWordDocument) {
    DocxReportWriter writer;
    ASSERT_FALSE(writer.package()) << "no package before the document is opened";
    writer.openDocument();
    writer.appendText(u8("电压损失计算书\r"));
    const std::optional<QByteArray> package = writer.package();
    ASSERT_TRUE(package);

    const auto names = zipEntryNames(*package);
    ASSERT_TRUE(names);
    EXPECT_EQ(*names,
              (QStringList{u8("[Content_Types].xml"), u8("_rels/.rels"), u8("docProps/core.xml"),
                           u8("docProps/app.xml"), u8("word/_rels/document.xml.rels"),
                           u8("word/styles.xml"), u8("word/document.xml")}));
    for (const QString& name : *names) {
        SCOPED_TRACE(name.toStdString());
        const auto part = zipEntry(*package, name.toUtf8().constData());
        ASSERT_TRUE(part);
        QXmlStreamReader reader(*part);
        while (!reader.atEnd())
            reader.readNext();
        EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    }
    EXPECT_EQ(zipEntry(*package, "word/document.xml"), docxDocumentXml(*writer.document()));

    const QString types = QString::fromUtf8(*zipEntry(*package, "[Content_Types].xml"));
    EXPECT_TRUE(types.contains(
        u8("PartName=\"/word/document.xml\" ContentType=\"application/"
           "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"")));
    // Every part but the relationships is declared with its content type, and the package's
    // relationships reach the document and both property parts; Word refuses a part it cannot
    // place.
    for (const char* declared :
         {"PartName=\"/docProps/core.xml\" "
          "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"",
          "PartName=\"/docProps/app.xml\" ContentType=\"application/"
          "vnd.openxmlformats-officedocument.extended-properties+xml\"",
          "PartName=\"/word/styles.xml\" ContentType=\"application/"
          "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\""})
        EXPECT_TRUE(types.contains(u8(declared))) << declared;
    const QString relationships = QString::fromUtf8(*zipEntry(*package, "_rels/.rels"));
    for (const char* related :
         {"Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
          "officeDocument\" Target=\"word/document.xml\"",
          "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/"
          "core-properties\" Target=\"docProps/core.xml\"",
          "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
          "extended-properties\" Target=\"docProps/app.xml\""})
        EXPECT_TRUE(relationships.contains(u8(related))) << related;
    QStringList ids;
    for (const auto& m : QRegularExpression(u8("Id=\"([^\"]+)\"")).globalMatch(relationships))
        ids << m.captured(1);
    EXPECT_EQ(ids.size(), 3);
    EXPECT_EQ(ids.removeDuplicates(), 0) << "relationship ids are unique";
}

TEST(DocxWriter, CorePropertiesCarryTitleAuthorAndDate) {
    const QDateTime morning(QDate(2026, 12, 8), QTime(9, 30, 15), QTimeZone::utc());
    const QString created = u8("<dcterms:created xsi:type=\"dcterms:W3CDTF\">2026-12-08T09:30:15Z"
                               "</dcterms:created>");
    const QString modified = u8("<dcterms:modified xsi:type=\"dcterms:W3CDTF\">"
                                "2026-12-08T09:30:15Z</dcterms:modified>");
    struct Case {
        const char* what;
        DocumentProperties properties;
        QStringList present;
        QStringList absent;
    };
    const Case cases[] = {
        {"everything",
         {u8("电压损失计算书"), u8("张工"), morning},
         {u8("<dc:title>电压损失计算书</dc:title>"), u8("<dc:creator>张工</dc:creator>"), created,
          modified},
         {}},
        {"no author",
         {u8("电压损失计算书"), QString(), morning},
         {u8("<dc:title>电压损失计算书</dc:title>"), created},
         {u8("dc:creator")}},
        {"a local time is written in UTC",
         {u8("低压配电线路短路电流计算书"), QString(),
          QDateTime(QDate(2026, 12, 8), QTime(17, 30, 15), QTimeZone(8 * 3600))},
         {created},
         {u8("17:30")}},
        // A character XML cannot carry is shown as U+FFFD; a tab on the one line is a space.
        {"markup and control characters",
         {u8("A&B <\"C\">\x01"), u8("李\t四"), QDateTime()},
         {u8("<dc:title>A&amp;B &lt;&quot;C&quot;&gt;\uFFFD</dc:title>"),
          u8("<dc:creator>李 四</dc:creator>")},
         {u8("dcterms:created"), u8("dcterms:modified")}},
        {"nothing", {}, {}, {u8("dc:title"), u8("dc:creator"), u8("dcterms:")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QByteArray bytes = docxCoreXml(c.properties);
        QXmlStreamReader reader(bytes);
        while (!reader.atEnd())
            reader.readNext();
        EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
        const QString xml = QString::fromUtf8(bytes);
        for (const QString& text : c.present)
            EXPECT_TRUE(xml.contains(text)) << text.toStdString() << "\n" << xml.toStdString();
        for (const QString& text : c.absent)
            EXPECT_FALSE(xml.contains(text)) << text.toStdString() << "\n" << xml.toStdString();
    }
}

// The properties given to the writer reach the document opened after them and the one already
// open.
TEST(DocxWriter, PackageCarriesTheWritersProperties) {
    DocxReportWriter writer;
    writer.setProperties({u8("电压损失计算书"), QString(), QDateTime()});
    writer.openDocument();
    EXPECT_EQ(writer.document()->properties().title, u8("电压损失计算书"));
    writer.setProperties({u8("低压配电线路短路电流计算书"), QString(), QDateTime()});
    const auto core = zipEntry(writer.package().value_or(QByteArray()), "docProps/core.xml");
    ASSERT_TRUE(core);
    EXPECT_TRUE(core->contains("<dc:title>低压配电线路短路电流计算书</dc:title>"));
    EXPECT_TRUE(QString::fromUtf8(*zipEntry(*writer.package(), "docProps/app.xml"))
                    .contains(u8("<Application>Korvane</Application>")));
}

TEST(DocxWriter, StylesSetTheDefaultsOfANewDocument) {
    const QString styles = QString::fromUtf8(docxStylesXml());
    for (const char* expected :
         {"<w:rFonts w:ascii=\"宋体\" w:hAnsi=\"宋体\" w:eastAsia=\"宋体\" w:cs=\"宋体\"/>"
          "<w:sz w:val=\"21\"/>",
          "<w:spacing w:before=\"0\" w:after=\"0\" w:line=\"240\" w:lineRule=\"auto\"/>",
          "w:eastAsia=\"zh-CN\""})
        EXPECT_TRUE(styles.contains(u8(expected))) << expected;
}

// The voltage-loss book as the window writes it, against the committed golden files of its
// document and its properties. The date is blanked so the files do not depend on the clock or the
// short-date pattern.
TEST(DocxWriter, VoltageLossBookMatchesTheGoldenDocument) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TestApp t;
    t.app().setBooksFolder(folder.path());
    const std::pair<const char*, const char*> lists[] = {
        {"Combo5", "三相平衡负荷线路"},
        {"Combo6", "(1)终段负荷用电流矩(A.km)"},
        {"Combo1", "聚氯乙烯绝缘电力电缆(0.6/1kV)"},
        {"Combo2", "VV 四芯 铜芯"},
        {"Combo3", "50"},
        {"Combo7", "0.38"},
        {"Combo4", "0.85"},
        {"Combo8", "70"},
        {"Combo9", "30"},
    };
    for (const auto& [name, text] : lists)
        t.combo(name).setText(u8(text));
    t.setText("Text1", u8("0.387"));
    t.setText("Text2", u8("0.08"));
    t.setText("Text4", u8("100"));
    t.setText("Text5", u8("0.5"));
    t.click("Command2");
    ASSERT_EQ(t.platform().openedDocuments.size(), 1U);

    QFile written(t.platform().openedDocuments[0]);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray package = written.readAll();
    // The moment is blanked too, once it is known to be the clock's, written in UTC.
    const QString created = t.platform().clock.toUTC().toString(u8("yyyy-MM-dd'T'HH:mm:ss'Z'"));
    const std::pair<const char*, std::function<void(QString&)>> parts[] = {
        {"word/document.xml",
         [](QString& xml) {
             xml.replace(QRegularExpression(u8("计算时间:[^<]*")), u8("计算时间:"));
         }},
        {"docProps/core.xml",
         [&created](QString& xml) {
             EXPECT_EQ(xml.count(u8(">") + created + u8("</dcterms:")), 2) << xml.toStdString();
             xml.replace(created, u8("WRITTEN"));
         }},
        {"docProps/app.xml", [](QString&) {}},
    };
    for (const auto& [name, blank] : parts) {
        SCOPED_TRACE(name);
        const auto xml = zipEntry(package, name);
        ASSERT_TRUE(xml);
        QString actual = QString::fromUtf8(*xml);
        blank(actual);
        const QString goldenName =
            u8("voltage_loss_") + QFileInfo(u8(name)).fileName().replace(u8(".xml"), u8(""));
        QFile golden(QDir(u8(KORVANE_SOURCE_DIR))
                         .filePath(u8("tests/reports/golden/") + goldenName + u8(".xml")));
        ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << golden.fileName().toStdString();
        const QString expected = QString::fromUtf8(golden.readAll());
        if (actual != expected) {
            QFile out(QDir(folder.path()).filePath(goldenName + u8(".xml")));
            folder.setAutoRemove(false);
            if (out.open(QIODevice::WriteOnly))
                out.write(actual.toUtf8());
            ADD_FAILURE() << name << " differs from the golden file; written: "
                          << out.fileName().toStdString();
        }
    }
}

} // namespace
} // namespace korvane::testing
