#pragma once

#include "form/control.h"

#include <vector>

namespace korvane {

// Character formatting of a rich-text area.
struct CharFormat {
    QString fontName = QStringLiteral("宋体");
    double fontSize = 9.0;
    Color color = colors::kBlack;
    bool bold = false; // the emphasis attribute

    bool operator==(const CharFormat&) const = default;
};

// A stretch of text with one formatting, from `start` to the next run or the end of the text.
struct FormatRun {
    int start = 0;
    CharFormat format;
};

// Rich-text area: text with per-character formatting and a selection. Every change of the text
// raises Change; new text takes the default formatting (setting the text clears all formatting).
// The formatting is kept as runs, so formatting a selection costs the number of runs, not the
// length of the text.
class RichTextBox : public Control {
public:
    RichTextBox(Form& form, QString name)
        : Control(form, ControlKind::RichTextBox, std::move(name)) {}

    const QString& text() const { return text_; }
    void setText(const QString& text);
    // The same as setText(text() + more), in time proportional to `more` rather than to the
    // whole text: long texts are built line by line.
    void appendText(const QString& more);

    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }
    // Selects `length` characters from `start`, both clamped to the text.
    void select(int start, int length);

    void setSelFontName(const QString& name);
    void setSelFontSize(double size);
    void setSelColor(Color color);
    void setSelBold(bool bold);

    // Formatting of each character of the text.
    std::vector<CharFormat> formats() const;
    // The same as runs, in order, the first at 0; empty for an empty text.
    const std::vector<FormatRun>& runs() const { return runs_; }
    const CharFormat& defaultFormat() const { return defaultFormat_; }

    PropertyList properties() const override;

private:
    template <typename Apply> void applyToSelection(Apply apply);
    // Index of the run that starts at `at`, splitting the run that holds it when needed.
    size_t splitAt(int at);
    // Gives the whole text the default formatting again, then raises Change.
    void textChanged();

    QString text_;
    std::vector<FormatRun> runs_;
    CharFormat defaultFormat_;
    int selStart_ = 0;
    int selLength_ = 0;
};

} // namespace korvane
