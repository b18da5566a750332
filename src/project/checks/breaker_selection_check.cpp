// The residual-current breaker QR and the contactor QC of the project's switchgear series for
// the circuit's Ib: the first row whose selection current covers 1.5·Ib. Beyond the series'
// largest row nothing is selected and the check fails.
#include "project/checks/circuit_context.h"

namespace korvane {

CheckUnit breakerSelectionCheck() {
    CheckUnit unit{CircuitCheck::BreakerSelection, true, true, nullptr};
    unit.judge = [](const CircuitContext& c) { return c.breaker().outcome; };
    return unit;
}

} // namespace korvane
