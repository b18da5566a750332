#pragma once

#include "form/form.h"

namespace korvane {

// Design-time helpers that place a caption label beside its control, so every field of a page
// is laid out the same way.
struct Placement {
    Control* container = nullptr;
    int page = -1;
};

inline constexpr int kRowHeight = 22;

Label& addLabel(Form& form, Placement where, const QString& name, const QString& caption,
                Rect geometry);
TextBox& addLabelledText(Form& form, Placement where, const QString& name, const QString& caption,
                         int x, int y, int labelWidth, int fieldWidth);
ComboBox& addLabelledCombo(Form& form, Placement where, const QString& name, const QString& caption,
                           int x, int y, int labelWidth, int fieldWidth);
CommandButton& addButton(Form& form, Placement where, const QString& name, const QString& caption,
                         Rect geometry, const QString& toolTip = {});
Frame& addFrame(Form& form, Placement where, const QString& name, const QString& caption,
                Rect geometry);
// The note a page shows beside its results while they are out of date; hidden until then.
Label& addStaleResultsNote(Form& form, Placement where, const QString& name, Rect geometry);

} // namespace korvane
