#pragma once

#include "form/form.h"

#include <QString>

namespace korvane {

// What a user can do to a control, with the checks a window makes: a disabled control, one
// inside a hidden frame or one of an unloaded form does not react. Each returns an empty string
// when done, or the reason it could not be done.
QString userCanOperate(const Control& control);
QString userSelect(ComboBox& combo, int index);
QString userCheck(CheckBox& check, int value);
QString userClick(Control& control);
QString userSpin(UpDown& upDown, int value);
// Clicking a cell of a grid: it becomes the current cell, then the grid raises Click.
QString userClickCell(Grid& grid, int row, int col);
// Typing into a text field or the edit field of an editable list: no event.
QString userType(Control& control, const QString& text);

} // namespace korvane
