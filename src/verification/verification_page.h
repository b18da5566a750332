#pragma once

#include "pages/layout.h"

namespace korvane {

// Page 2 "低压线路校验及电器选择": the input frame with the mode switches, the duration spin
// button, the page's buttons and the distribution diagram frame.
void designVerificationPage(Form& form, Placement page);

} // namespace korvane
