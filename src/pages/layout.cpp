#include "pages/layout.h"

#include "form/stale_results.h"

namespace korvane {

Label& addLabel(Form& form, Placement where, const QString& name, const QString& caption,
                Rect geometry) {
    auto& label = form.add<Label>(name, where.container, where.page, geometry);
    label.setCaption(caption);
    return label;
}

namespace {

// A field with its caption to the left, on one row of the page's grid.
template <typename Field>
Field& addLabelled(Form& form, Placement where, const QString& name, const QString& caption, int x,
                   int y, int labelWidth, int fieldWidth) {
    addLabel(form, where, QStringLiteral("Label") + name, caption,
             {x, y + 3, labelWidth, kRowHeight - 4});
    return form.add<Field>(name, where.container, where.page,
                           {x + labelWidth, y, fieldWidth, kRowHeight});
}

} // namespace

TextBox& addLabelledText(Form& form, Placement where, const QString& name, const QString& caption,
                         int x, int y, int labelWidth, int fieldWidth) {
    return addLabelled<TextBox>(form, where, name, caption, x, y, labelWidth, fieldWidth);
}

ComboBox& addLabelledCombo(Form& form, Placement where, const QString& name, const QString& caption,
                           int x, int y, int labelWidth, int fieldWidth) {
    return addLabelled<ComboBox>(form, where, name, caption, x, y, labelWidth, fieldWidth);
}

CommandButton& addButton(Form& form, Placement where, const QString& name, const QString& caption,
                         Rect geometry, const QString& toolTip) {
    auto& button = form.add<CommandButton>(name, where.container, where.page, geometry);
    button.setCaption(caption);
    if (!toolTip.isEmpty())
        button.setToolTip(toolTip);
    return button;
}

Frame& addFrame(Form& form, Placement where, const QString& name, const QString& caption,
                Rect geometry) {
    auto& frame = form.add<Frame>(name, where.container, where.page, geometry);
    frame.setCaption(caption);
    return frame;
}

Label& addStaleResultsNote(Form& form, Placement where, const QString& name, Rect geometry) {
    auto& note = addLabel(form, where, name, QString::fromUtf8(kStaleResultsNote), geometry);
    note.setForeColor(colors::kRed);
    note.setVisible(false);
    return note;
}

} // namespace korvane
