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

// Rich-text area: text with per-character formatting and a selection. Every change of the text
// raises Change; new text takes the default formatting.
class RichTextBox : public Control {
public:
    RichTextBox(Form& form, QString name)
        : Control(form, ControlKind::RichTextBox, std::move(name)) {}

    const QString& text() const { return text_; }
    void setText(const QString& text);

    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }
    // Selects `length` characters from `start`, both clamped to the text.
    void select(int start, int length);

    void setSelFontName(const QString& name);
    void setSelFontSize(double size);
    void setSelColor(Color color);
    void setSelBold(bool bold);

    // Formatting of each character of the text.
    const std::vector<CharFormat>& formats() const { return formats_; }
    const CharFormat& defaultFormat() const { return defaultFormat_; }

    PropertyList properties() const override;

private:
    template <typename Apply> void applyToSelection(Apply apply);

    QString text_;
    std::vector<CharFormat> formats_;
    CharFormat defaultFormat_;
    int selStart_ = 0;
    int selLength_ = 0;
};

} // namespace korvane
