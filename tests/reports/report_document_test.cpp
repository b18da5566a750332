// The current-block semantics of the report writer, on the in-memory document that both writers
// share: what a formatting operation reaches, what closing a block changes, what new text inherits.

#include "reports/report_document.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace korvane
