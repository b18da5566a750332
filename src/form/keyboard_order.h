#pragma once

#include "form/form.h"

#include <utility>
#include <vector>

namespace korvane {

// Whether a control of this kind can hold the keyboard focus at all (labels, frames, lines,
// timers and progress bars cannot).
bool takesKeyboardFocus(ControlKind kind);

// A control placed wholly outside its form's area: a working field the handlers read and
// write but the user never sees.
bool liesOutsideForm(const Control& control);

// Pairs (below, above) of controls where `above` is a later sibling that covers `below`
// entirely and paints its whole area (a field or a table), so `below` is out of sight whenever
// `above` is shown.
std::vector<std::pair<Control*, Control*>> coveringPairs(const Form& form);

// The order in which Tab walks a form's focusable controls, read off the design:
// - the design is read in bands: a band is a stretch of rows that no gap between controls
//   crosses; inside a band, controls that share no horizontal extent form columns, read left
//   to right, each column top to bottom;
// - a frame is read as one block, with the controls that lie on its area even when they are
//   placed on its container;
// - a tab control is its tab bar, followed by its pages in turn;
// - a row of two or more buttons that closes a frame or a page is that page's command bar:
//   it comes after every field of the page (or form).
// Controls outside the form are left out; hidden ones stay in, the window skips them.
std::vector<Control*> keyboardOrder(const Form& form);

} // namespace korvane
