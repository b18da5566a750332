#pragma once

#include "form/control.h"

#include <QString>

#include <optional>

namespace korvane {

enum class ParagraphAlignment { Left, Centred };

// Default: the word processor's own rule, under which a spacing in points is a multiple of single
// spacing (12 pt = one line); Exact: the line height is the spacing itself.
enum class LineSpacingRule { Default, Exact };

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
    // Brings the document to the front again.
    virtual bool showDocument() = 0;
};

} // namespace korvane
