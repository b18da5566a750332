#pragma once

#include "form/binding.h"

namespace korvane {

// The main window's working field holding the voltage (kV) of the transformer whose data the
// transformer dialog last transferred; empty when unknown. Only the dialog reads it, to find that
// row again.
inline constexpr const char* kTransformerVoltageField = "TransformerVoltage";

// The fields of the short-circuit page (page 1): the system capacity, what the transformer and
// busbar dialogs placed, the line's per-metre values and length, the currents at its end, and the
// page's buttons. 清  零 empties the rows marked `cleared`: the line, the transformer (its series
// included) and the busbar values and the currents; the system capacity, the busbar's material
// and size and the transformer's voltage stay.
const BindingTable& shortCircuitFields();

// The fields of the transformer dialog (BYQForm8): its three lists, the values of the chosen row
// and its button.
const BindingTable& transformerDialogFields();

// The fields of the busbar dialog (MXForm9): its three lists, the per-metre impedances of the
// chosen busbar on their way to the main window, and its button.
const BindingTable& busbarDialogFields();

} // namespace korvane
