#include "form/user_actions.h"

namespace korvane {

QString userCanOperate(const Control& control) {
    if (!control.form().loaded())
        return QStringLiteral("form %1 is not loaded").arg(control.form().name());
    if (!control.enabled())
        return QStringLiteral("%1 is disabled").arg(control.name());
    if (!control.effectivelyVisible())
        return QStringLiteral("%1 is hidden").arg(control.name());
    return {};
}

QString userSelect(ComboBox& combo, int index) {
    if (QString reason = userCanOperate(combo); !reason.isEmpty())
        return reason;
    if (index < 0 || index >= combo.items().size())
        return QStringLiteral("%1 has no item %2").arg(combo.name()).arg(index);
    combo.setListIndex(index);
    return {};
}

QString userCheck(CheckBox& check, int value) {
    if (QString reason = userCanOperate(check); !reason.isEmpty())
        return reason;
    check.assignValue(value);
    check.raise(Event::Click);
    return {};
}

QString userClick(Control& control) {
    if (QString reason = userCanOperate(control); !reason.isEmpty())
        return reason;
    control.raise(Event::Click);
    return {};
}

QString userSpin(UpDown& upDown, int value) {
    if (QString reason = userCanOperate(upDown); !reason.isEmpty())
        return reason;
    upDown.assignValue(value);
    upDown.raise(Event::Change);
    return {};
}

QString userClickCell(Grid& grid, int row, int col) {
    if (QString reason = userCanOperate(grid); !reason.isEmpty())
        return reason;
    if (!grid.contains(row, col))
        return QStringLiteral("%1 has no cell (%2, %3)").arg(grid.name()).arg(row).arg(col);
    grid.setCurrentCell(row, col);
    grid.raise(Event::Click);
    return {};
}

QString userType(Control& control, const QString& text) {
    if (!control.form().loaded())
        return QStringLiteral("form %1 is not loaded").arg(control.form().name());
    if (auto* box = dynamic_cast<TextBox*>(&control)) {
        box->setText(text);
        return {};
    }
    if (auto* combo = dynamic_cast<ComboBox*>(&control); combo != nullptr && combo->editable()) {
        combo->setText(text);
        return {};
    }
    return QStringLiteral("%1 takes no typed text").arg(control.name());
}

} // namespace korvane
