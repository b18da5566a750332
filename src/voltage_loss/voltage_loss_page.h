#pragma once

#include "pages/layout.h"
// The table of the fields designed here.
#include "pages/voltage_loss_fields.h"

namespace korvane {

// Page 0 "线路电压损失计算": cable data, line kind and load case, the five load frames, the
// results and the page's buttons, with their design-time states.
void designVoltageLossPage(Form& form, Placement page);

} // namespace korvane
