#pragma once

#include "pages/layout.h"

namespace korvane {

// Page 1 "低压线路短路电流计算": the input frame with its schematic, the result frame and the
// page's buttons.
void designShortCircuitPage(Form& form, Placement page);

} // namespace korvane
