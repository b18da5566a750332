#include "form/rich_text_box.h"

#include <algorithm>

namespace korvane {

void RichTextBox::setText(const QString& text) {
    text_ = text;
    formats_.assign(static_cast<size_t>(text_.size()), defaultFormat_);
    selStart_ = std::min(selStart_, static_cast<int>(text_.size()));
    selLength_ = 0;
    notify();
    raise(Event::Change);
}

void RichTextBox::select(int start, int length) {
    const int size = static_cast<int>(text_.size());
    selStart_ = std::clamp(start, 0, size);
    selLength_ = std::clamp(length, 0, size - selStart_);
}

template <typename Apply> void RichTextBox::applyToSelection(Apply apply) {
    for (int i = selStart_; i < selStart_ + selLength_; ++i)
        apply(formats_[static_cast<size_t>(i)]);
    notify();
}

void RichTextBox::setSelFontName(const QString& name) {
    applyToSelection([&](CharFormat& f) { f.fontName = name; });
}

void RichTextBox::setSelFontSize(double size) {
    applyToSelection([&](CharFormat& f) { f.fontSize = size; });
}

void RichTextBox::setSelColor(Color color) {
    applyToSelection([&](CharFormat& f) { f.color = color; });
}

void RichTextBox::setSelBold(bool bold) {
    applyToSelection([&](CharFormat& f) { f.bold = bold; });
}

PropertyList RichTextBox::properties() const {
    auto list = Control::properties();
    list.emplace_back(QStringLiteral("Text"), text_);
    list.emplace_back(QStringLiteral("SelStart"), QString::number(selStart_));
    list.emplace_back(QStringLiteral("SelLength"), QString::number(selLength_));
    return list;
}

} // namespace korvane
