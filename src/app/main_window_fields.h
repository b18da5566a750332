#pragma once

#include "form/binding.h"

#include <string_view>
#include <vector>

namespace korvane {

// The main window's own controls that the shell wires up and that no page table holds: the exit
// and clear buttons of pages 0 and 1, the hint buttons, the animation timer with what it moves,
// and the information text of the "关于软件" page.
const BindingTable& mainWindowFields();

// The fields of page 0 that its "清   零" button empties, in the order it empties them: the
// results and the loads; R, X, the lists and the switches stay.
const std::vector<std::string_view>& voltageLossClearedQuantities();

} // namespace korvane
