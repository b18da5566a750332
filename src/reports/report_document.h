#pragma once

#include "reports/report_writer.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace korvane {

struct CharacterFormat {
    QString fontName;
    double sizePoints = 0.0;
    bool bold = false;
    std::optional<Color> colour; // none: the word processor's automatic colour

    bool operator==(const CharacterFormat&) const = default;
};

struct ParagraphFormat {
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    double lineSpacingPoints = 12.0;
    LineSpacingRule lineSpacingRule = LineSpacingRule::Default;

    bool operator==(const ParagraphFormat&) const = default;
};

// What a new document starts with: 宋体 五号 (10.5 pt), single spacing, left-aligned, the usual
// defaults of a Chinese word processor.
CharacterFormat defaultCharacterFormat();
ParagraphFormat defaultParagraphFormat();

struct TextRun {
    QString text;
    CharacterFormat format;

    bool operator==(const TextRun&) const = default;
};

struct ReportParagraph {
    std::vector<TextRun> runs;  // adjacent runs differ in format; empty for an empty paragraph
    CharacterFormat markFormat; // the paragraph mark: what an empty paragraph is set in
    ParagraphFormat format;

    QString text() const;
    // The one format of every character and of the mark, or none when they differ.
    std::optional<CharacterFormat> uniformFormat() const;
};

// A table or a picture between two paragraphs: after the paragraph of the given index, and after
// any table or picture placed there before it.
struct ReportInsertion {
    using Content = std::variant<ReportTable, ReportPicture>;

    qsizetype afterParagraph = 0;
    Content content;

    bool operator==(const ReportInsertion&) const = default;
};

// One element of a document's body, in reading order.
using ReportBlock = std::variant<ReportParagraph, ReportTable, ReportPicture>;

// Whether a table can be laid out: at least one column and one row, every width positive and
// finite, every row one cell per column, a positive font size and a header of at most its rows.
bool isWellFormed(const ReportTable& table);
// Whether a picture can be shown: PNG bytes (the PNG signature at least) and a positive size.
bool isWellFormed(const ReportPicture& picture);

// What a document says about itself, shown by the word processor as its properties: the book's
// title, who made the calculation and when the book was written.
struct DocumentProperties {
    QString title;
    QString author;    // empty: none recorded
    QDateTime created; // invalid: none recorded

    bool operator==(const DocumentProperties&) const = default;
};

// A document as the word processor holds it: a run of characters in which every paragraph ends
// with its mark (CR), the last one being the document's final mark, and a current block over it.
// New text takes the format of the character before it in its paragraph, or of the paragraph's
// first character when it opens the paragraph; a CR splits its paragraph into two with the same
// paragraph format.
class ReportDocument {
public:
    ReportDocument();

    void append(const QString& text);
    void setAlignment(ParagraphAlignment alignment);
    void setFontName(const QString& name);
    void setFontSize(double points);
    void setBold(bool bold);
    void setColour(Color colour);
    // The spacing in points, leaving the rule as it is.
    void setLineSpacing(double points);
    void setLineSpacingRule(LineSpacingRule rule);
    void closeBlock();
    // Closes the block and puts the table or picture after the paragraph the block ends in; the
    // block is then a new empty paragraph after it, in the paragraph format of that paragraph and
    // the character format of its mark.
    void insertAfterBlock(const ReportInsertion::Content& content);

    const DocumentProperties& properties() const { return properties_; }
    void setProperties(const DocumentProperties& properties) { properties_ = properties; }

    qsizetype blockStart() const { return blockStart_; }
    qsizetype blockEnd() const { return blockEnd_; }

    // Every paragraph, the final one included.
    std::vector<ReportParagraph> paragraphs() const;
    // The paragraph texts, the final one included.
    QStringList paragraphTexts() const;
    // The tables and pictures, in reading order.
    const std::vector<ReportInsertion>& insertions() const { return insertions_; }
    // The paragraphs with the tables and pictures between them, in reading order.
    std::vector<ReportBlock> blocks() const;

private:
    void formatCharacters(const std::function<void(CharacterFormat&)>& change);
    void formatParagraphs(const std::function<void(ParagraphFormat&)>& change);
    qsizetype paragraphIndexAt(qsizetype position) const;
    void insertText(qsizetype at, const QString& text);
    void shiftInsertions(qsizetype paragraph, bool including, qsizetype by);

    QString text_;
    std::vector<CharacterFormat> characterFormats_; // one per character of text_
    std::vector<ParagraphFormat> paragraphFormats_; // one per paragraph
    qsizetype blockStart_ = 0;
    qsizetype blockEnd_ = 0;
    std::vector<ReportInsertion> insertions_; // ordered by the paragraph they follow
    // The paragraph marks before the position last asked for (paragraphIndexAt).
    mutable qsizetype countedTo_ = 0;
    mutable qsizetype marksBefore_ = 0;
    DocumentProperties properties_;
};

// A ReportWriter over an in-memory document; both back ends build their document through it.
class DocumentReportWriter : public ReportWriter {
public:
    bool openDocument() override;
    bool appendText(const QString& text) override;
    bool setAlignment(ParagraphAlignment alignment) override;
    bool setFont(const QString& name, double sizePoints, bool bold,
                 std::optional<Color> colour) override;
    bool setLineSpacing(double points, LineSpacingRule rule) override;
    bool closeBlock() override;
    bool insertTable(const ReportTable& table) override;
    bool insertPicture(const ReportPicture& picture) override;
    bool showDocument() override;

    // The document written so far; null before OpenDocument.
    const ReportDocument* document() const { return document_ ? &*document_ : nullptr; }

    // The properties of the document written so far and of every document opened later.
    void setProperties(const DocumentProperties& properties);

private:
    std::optional<ReportDocument> document_;
    DocumentProperties properties_;
};

// A writer for tests: keeps the document and the list of operations as they were called, and can
// be told to fail chosen operations, which are then listed but leave the document unchanged.
class RecordingReportWriter : public DocumentReportWriter {
public:
    bool openDocument() override;
    bool appendText(const QString& text) override;
    bool setAlignment(ParagraphAlignment alignment) override;
    bool setFont(const QString& name, double sizePoints, bool bold,
                 std::optional<Color> colour) override;
    bool setLineSpacing(double points, LineSpacingRule rule) override;
    bool closeBlock() override;
    bool insertTable(const ReportTable& table) override;
    bool insertPicture(const ReportPicture& picture) override;
    bool showDocument() override;

    // Each call as one line: "OpenDocument", "AppendText 工程名:\r" (CR written as \r),
    // "SetAlignment centred", "SetFont 宋体 18 bold black", "SetLineSpacing 20 exact",
    // "CloseBlock", "InsertTable 13x9" (rows x columns), "InsertPicture 160x90 mm",
    // "ShowDocument".
    const QStringList& operations() const { return operations_; }
    // Operations whose line this returns true for fail.
    std::function<bool(const QString& operation)> fails;

private:
    bool record(const QString& operation);

    QStringList operations_;
};

} // namespace korvane
