#include "form/rich_text_box.h"

#include <algorithm>

namespace korvane {

void RichTextBox::setText(const QString& text) {
    text_ = text;
    textChanged();
}

void RichTextBox::appendText(const QString& more) {
    text_.append(more);
    textChanged();
}

void RichTextBox::textChanged() {
    runs_.clear();
    if (!text_.isEmpty())
        runs_.push_back({0, defaultFormat_});
    selStart_ = std::min(selStart_, static_cast<int>(text_.size()));
    selLength_ = 0;
    notify();
    raise(Event::Change);
}

std::vector<CharFormat> RichTextBox::formats() const {
    std::vector<CharFormat> all;
    all.reserve(static_cast<size_t>(text_.size()));
    for (size_t r = 0; r < runs_.size(); ++r) {
        const int end = r + 1 < runs_.size() ? runs_[r + 1].start : static_cast<int>(text_.size());
        all.insert(all.end(), static_cast<size_t>(end - runs_[r].start), runs_[r].format);
    }
    return all;
}

size_t RichTextBox::splitAt(int at) {
    auto it =
        std::upper_bound(runs_.begin(), runs_.end(), at,
                         [](int position, const FormatRun& run) { return position < run.start; });
    // `it` is the first run after `at`; the one before it holds `at`.
    const size_t holder = static_cast<size_t>(it - runs_.begin()) - 1;
    if (runs_[holder].start == at)
        return holder;
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(holder) + 1,
                 {at, runs_[holder].format});
    return holder + 1;
}

void RichTextBox::select(int start, int length) {
    const int size = static_cast<int>(text_.size());
    selStart_ = std::clamp(start, 0, size);
    selLength_ = std::clamp(length, 0, size - selStart_);
}

template <typename Apply> void RichTextBox::applyToSelection(Apply apply) {
    if (selLength_ > 0) {
        const int end = selStart_ + selLength_;
        const size_t first = splitAt(selStart_);
        const size_t last = end < static_cast<int>(text_.size()) ? splitAt(end) : runs_.size();
        for (size_t r = first; r < last; ++r)
            apply(runs_[r].format);
        // Neighbours that have come to look alike become one run.
        std::vector<FormatRun> merged;
        merged.reserve(runs_.size());
        for (FormatRun& run : runs_) {
            if (merged.empty() || !(merged.back().format == run.format))
                merged.push_back(std::move(run));
        }
        runs_ = std::move(merged);
    }
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
