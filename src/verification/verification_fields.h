#pragma once

#include "form/binding.h"

namespace korvane {

// The fields of the verification page (page 2): the protection mode, K, the fault duration, the
// line and load data, the fault currents the checks use, and the results.
const BindingTable& verificationFields();

} // namespace korvane
