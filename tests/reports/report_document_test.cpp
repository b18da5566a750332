// The current-block semantics of the report writer, on the in-memory document that both writers
// share: what a formatting operation reaches, what closing a block changes, what new text inherits.

#include "reports/report_document.h"
#include "reports/tiny_png.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace korvane {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

std::vector<std::string> texts(const ReportDocument& document) {
    std::vector<std::string> out;
    for (const QString& text : document.paragraphTexts())
        out.push_back(text.toStdString());
    return out;
}

std::vector<ParagraphAlignment> alignments(const ReportDocument& document) {
    std::vector<ParagraphAlignment> out;
    for (const ReportParagraph& p : document.paragraphs())
        out.push_back(p.format.alignment);
    return out;
}

constexpr auto kLeft = ParagraphAlignment::Left;
constexpr auto kCentred = ParagraphAlignment::Centred;

TEST(ReportDocument, NewDocumentIsOneEmptyParagraphWithTheDefaults) {
    const ReportDocument document;
    const auto paragraphs = document.paragraphs();
    ASSERT_EQ(paragraphs.size(), 1U);
    EXPECT_TRUE(paragraphs[0].runs.empty());
    EXPECT_EQ(paragraphs[0].markFormat, (CharacterFormat{u8("宋体"), 10.5, false, std::nullopt}));
    EXPECT_EQ(paragraphs[0].format,
              (ParagraphFormat{ParagraphAlignment::Left, 12.0, LineSpacingRule::Default}));
}

TEST(ReportDocument, CrEndsAParagraphAndTwoLeaveAnEmptyOne) {
    struct Case {
        const char* appended;
        std::vector<std::string> paragraphs; // the final paragraph included
    };
    const Case cases[] = {
        {"标题\r\r", {"标题", "", ""}},   {"a\rb\r", {"a", "b", ""}},
        {"no mark", {"no mark"}},         {"\r", {"", ""}},
        {"x\r\r\ry", {"x", "", "", "y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.appended);
        ReportDocument document;
        document.append(u8(c.appended));
        EXPECT_EQ(texts(document), c.paragraphs);
    }
}

TEST(ReportDocument, AlignmentOnTheEmptyBlockCarriesIntoParagraphsSplitFromIt) {
    ReportDocument document;
    document.setAlignment(kCentred);
    document.append(u8("标题\r\r"));
    document.closeBlock();
    // The title, its empty paragraph and the final paragraph were all split from the centred one.
    EXPECT_EQ(alignments(document), (std::vector{kCentred, kCentred, kCentred}));
}

TEST(ReportDocument, ParagraphFormattingReachesTheParagraphsTheBlockTouchesOnly) {
    struct Case {
        const char* what;
        const char* before; // written and closed first
        const char* block;  // the block that is then left-aligned
        std::vector<ParagraphAlignment> expected;
    };
    const Case cases[] = {
        {"a block ending with its CR leaves the next paragraph",
         "",
         "a\rb\r",
         {kLeft, kLeft, kCentred}},
        {"an empty block reaches the paragraph it sits in", "a\r", "", {kCentred, kLeft}},
        {"a block without CR reaches the paragraph it ends in", "a\r", "b", {kCentred, kLeft}},
        {"a block starting inside a paragraph reaches that paragraph",
         "a",
         "b\rc\r",
         {kLeft, kLeft, kCentred}},
        {"earlier closed blocks keep their format",
         "a\rb\r",
         "c\r",
         {kCentred, kCentred, kLeft, kCentred}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReportDocument document;
        document.setAlignment(kCentred);
        document.append(u8(c.before));
        document.closeBlock();
        document.append(u8(c.block));
        document.setAlignment(kLeft);
        EXPECT_EQ(alignments(document), c.expected);
    }
}

TEST(ReportDocument, CharacterFormattingCoversTheBlockAndItsParagraphMarks) {
    ReportDocument document;
    document.append(u8("标题\r\r"));
    document.setFontSize(18.0);
    document.setBold(true);
    document.closeBlock();
    document.append(u8("正文\r"));
    document.setFontSize(12.0);

    const auto paragraphs = document.paragraphs();
    ASSERT_EQ(paragraphs.size(), 4U);
    // The empty paragraph after the title is set in the title's size through its mark.
    for (int i : {0, 1}) {
        ASSERT_TRUE(paragraphs[i].uniformFormat()) << i;
        EXPECT_EQ(paragraphs[i].uniformFormat()->sizePoints, 18.0) << i;
        EXPECT_TRUE(paragraphs[i].uniformFormat()->bold) << i;
    }
    // New text at a paragraph's start takes the format of that paragraph's mark, not of the
    // title before it; formatting it leaves the title alone.
    ASSERT_TRUE(paragraphs[2].uniformFormat());
    EXPECT_EQ(paragraphs[2].uniformFormat()->sizePoints, 12.0);
    EXPECT_FALSE(paragraphs[2].uniformFormat()->bold);
    // The final mark lies outside every block.
    EXPECT_EQ(paragraphs[3].markFormat, defaultCharacterFormat());
}

TEST(ReportDocument, TextAppendedInsideAParagraphTakesTheFormatBeforeIt) {
    ReportDocument document;
    document.append(u8("粗体"));
    document.setBold(true);
    document.setColour(colors::kBlack);
    document.closeBlock();
    document.append(u8("续"));
    document.setFontSize(9.0);

    const auto paragraphs = document.paragraphs();
    ASSERT_EQ(paragraphs.size(), 1U);
    ASSERT_EQ(paragraphs[0].runs.size(), 2U);
    EXPECT_EQ(paragraphs[0].runs[0].text, u8("粗体"));
    EXPECT_EQ(paragraphs[0].runs[1].text, u8("续"));
    EXPECT_TRUE(paragraphs[0].runs[1].format.bold);
    EXPECT_EQ(paragraphs[0].runs[1].format.colour, colors::kBlack);
    EXPECT_EQ(paragraphs[0].runs[1].format.sizePoints, 9.0);
    EXPECT_EQ(paragraphs[0].runs[0].format.sizePoints, 10.5);
    EXPECT_FALSE(paragraphs[0].uniformFormat());
}

TEST(ReportDocument, SpacingInPointsKeepsTheRuleItFinds) {
    ReportDocument document;
    document.append(u8("a\r"));
    document.setLineSpacingRule(LineSpacingRule::Exact);
    document.setLineSpacing(20.0);
    document.setLineSpacing(18.0); // as under the default rule: the points only
    const ParagraphFormat format = document.paragraphs()[0].format;
    EXPECT_EQ(format.lineSpacingRule, LineSpacingRule::Exact);
    EXPECT_EQ(format.lineSpacingPoints, 18.0);
}

TEST(ReportWriters, EveryOperationFailsBeforeTheDocumentIsOpen) {
    RecordingReportWriter writer;
    EXPECT_FALSE(writer.appendText(u8("a")));
    EXPECT_FALSE(writer.setAlignment(kLeft));
    EXPECT_FALSE(writer.setFont(u8("宋体"), 12.0, true, std::nullopt));
    EXPECT_FALSE(writer.setLineSpacing(18.0, LineSpacingRule::Default));
    EXPECT_FALSE(writer.closeBlock());
    EXPECT_FALSE(writer.showDocument());
    EXPECT_EQ(writer.document(), nullptr);
}

TEST(ReportWriters, SetFontSetsTheColourOnlyWhenOneIsGiven) {
    RecordingReportWriter writer;
    ASSERT_TRUE(writer.openDocument());
    writer.appendText(u8("黑\r"));
    writer.setFont(u8("宋体"), 18.0, true, colors::kBlack);
    writer.closeBlock();
    writer.appendText(u8("自动\r"));
    writer.setFont(u8("宋体"), 10.5, true, std::nullopt);

    const auto paragraphs = writer.document()->paragraphs();
    EXPECT_EQ(paragraphs[0].uniformFormat(),
              (CharacterFormat{u8("宋体"), 18.0, true, colors::kBlack}));
    EXPECT_EQ(paragraphs[1].uniformFormat(),
              (CharacterFormat{u8("宋体"), 10.5, true, std::nullopt}));
    EXPECT_EQ(
        writer.operations(),
        (QStringList{u8("OpenDocument"), u8("AppendText 黑\\r"), u8("SetFont 宋体 18 bold black"),
                     u8("CloseBlock"), u8("AppendText 自动\\r"), u8("SetFont 宋体 10.5 bold")}));
}

TEST(ReportWriters, ExactSpacingSetsTheRuleAndDefaultSpacingOnlyThePoints) {
    struct Case {
        double points;
        LineSpacingRule rule;
        ParagraphFormat expected;
    };
    const Case cases[] = {
        {18.0, LineSpacingRule::Default, {kLeft, 18.0, LineSpacingRule::Default}},
        {20.0, LineSpacingRule::Exact, {kLeft, 20.0, LineSpacingRule::Exact}},
        {18.0, LineSpacingRule::Exact, {kLeft, 18.0, LineSpacingRule::Exact}},
    };
    for (const Case& c : cases) {
        DocumentReportWriter writer;
        writer.openDocument();
        writer.appendText(u8("a\r"));
        writer.setLineSpacing(c.points, c.rule);
        EXPECT_EQ(writer.document()->paragraphs()[0].format, c.expected) << c.points;
    }
}

TEST(ReportWriters, AFailedOperationIsListedAndLeavesTheDocumentAlone) {
    RecordingReportWriter writer;
    writer.fails = [](const QString& operation) { return operation.startsWith(u8("SetFont")); };
    writer.openDocument();
    writer.appendText(u8("a\r"));
    EXPECT_FALSE(writer.setFont(u8("黑体"), 18.0, true, colors::kBlack));
    EXPECT_TRUE(writer.setAlignment(ParagraphAlignment::Centred));

    const auto paragraphs = writer.document()->paragraphs();
    EXPECT_EQ(paragraphs[0].uniformFormat(), defaultCharacterFormat());
    EXPECT_EQ(paragraphs[0].format.alignment, ParagraphAlignment::Centred);
    EXPECT_EQ(writer.operations().size(), 4);
}

TEST(ReportWriters, AFailedOpenLeavesNoDocument) {
    RecordingReportWriter writer;
    writer.fails = [](const QString& operation) { return operation == u8("OpenDocument"); };
    EXPECT_FALSE(writer.openDocument());
    EXPECT_EQ(writer.document(), nullptr);
}

// A table cell; the fields left out take their defaults.
ReportTableCell cell(const QString& text, bool bold = false,
                     std::optional<Color> colour = std::nullopt,
                     ParagraphAlignment alignment = ParagraphAlignment::Left) {
    return {text, bold, colour, alignment};
}

ReportTable threeByTwo() {
    ReportTable table;
    table.columnWidthsMm = {30.0, 50.0};
    table.rows = {{cell(u8("名称")), cell(u8("数值"))},
                  {cell(u8("a")), cell(u8("1"))},
                  {cell(u8("b")), cell(u8("2"))}};
    return table;
}

ReportPicture picture(double widthMm = 80.0, double heightMm = 45.0) {
    return {testing::tinyPng(), widthMm, heightMm, u8("馈线图")};
}

// What each block of the body is: a paragraph's text, "table" or "picture".
std::vector<std::string> blockKinds(const ReportDocument& document) {
    std::vector<std::string> out;
    for (const ReportBlock& block : document.blocks()) {
        if (const auto* paragraph = std::get_if<ReportParagraph>(&block))
            out.push_back("p:" + paragraph->text().toStdString());
        else
            out.push_back(std::holds_alternative<ReportTable>(block) ? "table" : "picture");
    }
    return out;
}

TEST(ReportDocumentInsertions, GoAfterTheParagraphTheBlockEndsInAndTextContinuesBelow) {
    struct Case {
        const char* what;
        std::function<void(DocumentReportWriter&)> write;
        std::vector<std::string> blocks;
    };
    const Case cases[] = {
        {"after a finished paragraph: its empty successor precedes the table",
         [](DocumentReportWriter& w) {
             w.appendText(u8("标题\r"));
             w.insertTable(threeByTwo());
             w.appendText(u8("下文\r"));
         },
         {"p:标题", "p:", "table", "p:下文", "p:"}},
        {"after an unfinished paragraph: right below it",
         [](DocumentReportWriter& w) {
             w.appendText(u8("标题"));
             w.insertPicture(picture());
         },
         {"p:标题", "picture", "p:"}},
        {"one after the other, in the order inserted",
         [](DocumentReportWriter& w) {
             w.appendText(u8("a"));
             w.insertTable(threeByTwo());
             w.insertPicture(picture());
             w.appendText(u8("b\rc"));
             w.insertTable(threeByTwo());
         },
         {"p:a", "table", "p:", "picture", "p:b", "p:c", "table", "p:"}},
        {"into a new document",
         [](DocumentReportWriter& w) { w.insertTable(threeByTwo()); },
         {"p:", "table", "p:"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DocumentReportWriter writer;
        writer.openDocument();
        c.write(writer);
        const ReportDocument& document = *writer.document();
        EXPECT_EQ(blockKinds(document), c.blocks);
        // The text model keeps every paragraph, the ones made for insertions included.
        size_t paragraphs = 0;
        for (const std::string& block : c.blocks)
            paragraphs += block.starts_with("p:") ? 1 : 0;
        EXPECT_EQ(document.paragraphs().size(), paragraphs);
    }
}

// The block formats the characters of 表1 but not the mark of their paragraph, which keeps the
// default; the paragraph below the table takes that paragraph's format and its mark's.
TEST(ReportDocumentInsertions, ContentIsKeptAsGivenAndTheNewParagraphTakesTheFormatBefore) {
    DocumentReportWriter writer;
    writer.openDocument();
    writer.appendText(u8("表1"));
    writer.setFont(u8("黑体"), 12.0, true, colors::kBlack);
    writer.setAlignment(kCentred);
    writer.setLineSpacing(20.0, LineSpacingRule::Exact);
    ReportTable table = threeByTwo();
    table.rows[1][1] = cell(u8("1\r2"), true, colors::kBlack, kCentred);
    ASSERT_TRUE(writer.insertTable(table));
    ASSERT_TRUE(writer.insertPicture(picture()));

    const ReportDocument& document = *writer.document();
    // The block is closed, empty, at the start of the paragraph below the picture: 表1, two marks.
    EXPECT_EQ(document.blockStart(), 4);
    EXPECT_EQ(document.blockEnd(), 4);
    ASSERT_EQ(document.insertions().size(), 2U);
    EXPECT_EQ(document.insertions()[0], (ReportInsertion{0, table}));
    EXPECT_EQ(document.insertions()[1], (ReportInsertion{1, picture()}));
    const auto paragraphs = document.paragraphs();
    ASSERT_EQ(paragraphs.size(), 3U);
    const CharacterFormat heading{u8("黑体"), 12.0, true, colors::kBlack};
    EXPECT_EQ(paragraphs[0].runs.at(0).format, heading);
    for (size_t i = 1; i < paragraphs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(paragraphs[i].runs.empty());
        EXPECT_EQ(paragraphs[i].markFormat, paragraphs[0].markFormat);
        EXPECT_EQ(paragraphs[i].markFormat, defaultCharacterFormat());
        EXPECT_EQ(paragraphs[i].format, (ParagraphFormat{kCentred, 20.0, LineSpacingRule::Exact}));
    }
    // New text goes into the paragraph below the picture, in the mark's format.
    writer.appendText(u8("下文"));
    EXPECT_EQ(document.paragraphTexts(), (QStringList{u8("表1"), u8(""), u8("下文")}));
    EXPECT_EQ(document.paragraphs()[2].uniformFormat(), defaultCharacterFormat());
    EXPECT_EQ(document.insertions()[1].afterParagraph, 1);
}

TEST(ReportDocumentInsertions, AMalformedTableOrPictureIsRefusedAndChangesNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<std::pair<std::string, ReportTable>> tables;
    auto tableWith = [&](const std::string& what, const std::function<void(ReportTable&)>& bad) {
        ReportTable table = threeByTwo();
        bad(table);
        tables.emplace_back(what, table);
    };
    tableWith("a short row", [](ReportTable& t) { t.rows[1].pop_back(); });
    tableWith("a long row", [](ReportTable& t) { t.rows[2].push_back(cell(u8("x"))); });
    tableWith("no columns", [](ReportTable& t) {
        t.columnWidthsMm.clear();
        for (auto& row : t.rows)
            row.clear();
    });
    tableWith("no rows", [](ReportTable& t) {
        t.rows.clear();
        t.headerRows = 0;
    });
    tableWith("a zero width", [](ReportTable& t) { t.columnWidthsMm[1] = 0.0; });
    tableWith("a negative width", [](ReportTable& t) { t.columnWidthsMm[0] = -5.0; });
    tableWith("a NaN width", [nan](ReportTable& t) { t.columnWidthsMm[0] = nan; });
    tableWith("an infinite width", [inf](ReportTable& t) { t.columnWidthsMm[1] = inf; });
    tableWith("negative header rows", [](ReportTable& t) { t.headerRows = -1; });
    tableWith("more header rows than rows", [](ReportTable& t) { t.headerRows = 4; });
    tableWith("no font size", [](ReportTable& t) { t.sizePoints = 0.0; });
    const std::pair<std::string, ReportPicture> pictures[] = {
        {"no bytes", {QByteArray(), 80.0, 45.0, {}}},
        {"only the signature", {testing::tinyPng().left(8), 80.0, 45.0, {}}},
        {"JPEG bytes", {QByteArray("\xff\xd8\xff\xe0\x00\x10JFIF", 10), 80.0, 45.0, {}}},
        {"a zero width", picture(0.0, 45.0)},
        {"a negative height", picture(80.0, -1.0)},
        {"a NaN height", picture(80.0, nan)},
        {"an infinite width", picture(inf, 45.0)},
    };

    auto check = [](const std::string& what,
                    const std::function<bool(DocumentReportWriter&)>& insert) {
        SCOPED_TRACE(what);
        DocumentReportWriter writer;
        writer.openDocument();
        writer.appendText(u8("a\rb"));
        const qsizetype start = writer.document()->blockStart();
        EXPECT_FALSE(insert(writer));
        const ReportDocument& document = *writer.document();
        EXPECT_TRUE(document.insertions().empty());
        EXPECT_EQ(document.paragraphTexts(), (QStringList{u8("a"), u8("b")}));
        EXPECT_EQ(document.blockStart(), start) << "the block is not even closed";
    };
    for (const auto& [what, table] : tables)
        check("table with " + what, [&](DocumentReportWriter& w) { return w.insertTable(table); });
    for (const auto& [what, bad] : pictures)
        check("picture with " + what,
              [&](DocumentReportWriter& w) { return w.insertPicture(bad); });

    // The edges that are still well formed.
    ReportTable headerOnly = threeByTwo();
    headerOnly.headerRows = 3;
    ReportTable noHeader = threeByTwo();
    noHeader.headerRows = 0;
    for (const ReportTable& table : {headerOnly, noHeader}) {
        DocumentReportWriter writer;
        writer.openDocument();
        EXPECT_TRUE(writer.insertTable(table)) << table.headerRows;
    }
    DocumentReportWriter closed;
    EXPECT_FALSE(closed.insertTable(threeByTwo())) << "no document open";
    EXPECT_FALSE(closed.insertPicture(picture()));
}

TEST(ReportWriters, InsertionsAreRecordedAndCanBeMadeToFail) {
    RecordingReportWriter writer;
    writer.fails = [](const QString& operation) {
        return operation.startsWith(u8("InsertPicture"));
    };
    writer.openDocument();
    EXPECT_TRUE(writer.insertTable(threeByTwo()));
    EXPECT_FALSE(writer.insertPicture(picture(160.0, 90.5)));
    EXPECT_EQ(writer.operations(), (QStringList{u8("OpenDocument"), u8("InsertTable 3x2"),
                                                u8("InsertPicture 160x90.5 mm")}));
    EXPECT_EQ(writer.document()->insertions().size(), 1U);
}

} // namespace
} // namespace korvane
