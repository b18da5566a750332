#pragma once

#include "form/binding.h"

#include <string_view>
#include <vector>

namespace korvane {

// The fields of the verification page (page 2): the protection mode, K, the fault duration, the
// line and load data, the fault currents the checks use, and the results.
const BindingTable& verificationFields();

// The fields "清除数据" empties (the rows marked `cleared`), in the order it empties them: the
// fault currents, the load and line data, K and the duration, the report, the leakage current.
const std::vector<std::string_view>& verificationClearOrder();

} // namespace korvane
