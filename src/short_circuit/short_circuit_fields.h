#pragma once

#include "form/binding.h"

namespace korvane {

// The fields of the short-circuit page (page 1): the system capacity, what the transformer and
// busbar dialogs placed, the line's per-metre values and length, and the currents at its end.
const BindingTable& shortCircuitFields();

} // namespace korvane
