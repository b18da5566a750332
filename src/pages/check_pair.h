#pragma once

#include "form/controls.h"

#include <initializer_list>

namespace korvane {

// Fields switched by a caption-less check box: enabled on white when ticked, disabled on the
// button-face colour when not.
void enableFieldsByCheck(const CheckBox& check, std::initializer_list<TextBox*> fields);

// The check-pair switch of the multi-load frames: the fields follow the box and then receive its
// value, so a load switched off counts as 0 at distance 0 and one switched on starts as 1 at 1.
void switchLoadPair(const CheckBox& check, TextBox& load, TextBox& distance);

} // namespace korvane
