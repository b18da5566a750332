#pragma once

#include "form/binding.h"

namespace korvane {

// The fields of a picker dialog over a handbook table, the same in every such dialog: the
// heading, the title line and the grid, the instruction and unit below it, the handbook note and
// the button that closes it.
const BindingTable& referenceDialogFields();

} // namespace korvane
