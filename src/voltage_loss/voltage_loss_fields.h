#pragma once

#include "form/binding.h"

namespace korvane {

// The fields of the voltage-loss page (page 0): the cable, voltage, power factor and temperatures,
// the line kind and load case, the loads and their switches, and the results.
const BindingTable& voltageLossFields();

} // namespace korvane
