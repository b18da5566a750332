#pragma once

#include "base/color.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace korvane {

enum class ParagraphAlignment { Left, Centred };

// Default: the word processor's own rule, under which a spacing in points is a multiple of single
// spacing (12 pt = one line); Exact: the line height is the spacing itself.
enum class LineSpacingRule { Default, Exact };

// A cell of a report table: its text (a CR starts a new line inside the cell), set bold or not,
// in a colour when one is given, aligned in its cell.
struct ReportTableCell {
    QString text;
    bool bold = false;
    std::optional<Color> colour;
    ParagraphAlignment alignment = ParagraphAlignment::Left;

    bool operator==(const ReportTableCell&) const = default;
};

// A table with a single-line grid, its columns as wide as given (millimetres; between the
// margins an A4 page of a .docx book has 146 mm, of a PDF book 160 mm: a table for both keeps
// to 146 mm). Every row has one cell per column; the
// first `headerRows` rows are its header, repeated at the top of every page the table runs on.
struct ReportTable {
    std::vector<double> columnWidthsMm;
    int headerRows = 1;
    QString fontName = QStringLiteral("宋体");
    double sizePoints = 9.0;
    std::vector<std::vector<ReportTableCell>> rows;

    bool operator==(const ReportTable&) const = default;
};

// A picture (PNG) shown centred at the given size, with a description for readers that cannot
// see it. `source` may name what the picture shows, so that a back end able to draw it itself
// (the PDF back end, as lines and text) can do so instead of placing the pixels.
struct ReportPicture {
    QByteArray png;
    double widthMm = 0.0;
    double heightMm = 0.0;
    QString description;
    QString source = {};

    bool operator==(const ReportPicture&) const = default;
};

// The document-writing interface of the calculation books. The books write into a new document
// through a current block: the stretch of text appended since the block was last closed.
// Formatting applies to the whole block (characters, and every paragraph the block touches,
// including the empty paragraph it sits in); closing the block makes it the empty position at its
// end. Every operation reports whether it was carried out, so that a book can skip a failing step
// and go on with the next one; only a failed OpenDocument stops a book.
class ReportWriter {
public:
    virtual ~ReportWriter() = default;

    // A new empty document; the current block is its start.
    virtual bool openDocument() = 0;
    // Adds text at the end of the block; a CR (U+000D) ends a paragraph.
    virtual bool appendText(const QString& text) = 0;
    virtual bool setAlignment(ParagraphAlignment alignment) = 0;
    // Font name, size and bold on the block's characters; the colour only when one is given.
    virtual bool setFont(const QString& name, double sizePoints, bool bold,
                         std::optional<Color> colour) = 0;
    virtual bool setLineSpacing(double points, LineSpacingRule rule) = 0;
    virtual bool closeBlock() = 0;
    // A table or a picture after the paragraph the block ends in. The block is closed first; the
    // current block is then a new empty paragraph after the table or picture, with the format of
    // the paragraph before it. A table whose rows do not match its columns is not inserted.
    virtual bool insertTable(const ReportTable& table) = 0;
    virtual bool insertPicture(const ReportPicture& picture) = 0;
    // Brings the document to the front again.
    virtual bool showDocument() = 0;
};

} // namespace korvane
