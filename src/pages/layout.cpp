#include "pages/layout.h"

#include "form/stale_results.h"

namespace korvane {

Label& addLabel(Form& form, Placement where, const QString& name, const QString& caption,
                Rect geometry) {
    auto& label = form.add<Label>(name, where.container, where.page, geometry);
    label.setCaption(caption);
    return label;
}

TextBox& addLabelledText(Form& form, Placement where, const QString& name, const QString& caption,
                         int x, int y, int labelWidth, int fieldWidth) {
    addLabel(form, where, QStringLiteral("Label") + name, caption,
             {x, y + 3, labelWidth, kRowHeight - 4});
    return form.add<TextBox>(name, where.container, where.page,
                             {x + labelWidth, y, fieldWidth, kRowHeight});
}

ComboBox& addLabelledCombo(Form& form, Placement where, const QString& name, const QString& caption,
                           int x, int y, int labelWidth, int fieldWidth) {
    addLabel(form, where, QStringLiteral("Label") + name, caption,
             {x, y + 3, labelWidth, kRowHeight - 4});
    return form.add<ComboBox>(name, where.container, where.page,
                              {x + labelWidth, y, fieldWidth, kRowHeight});
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
