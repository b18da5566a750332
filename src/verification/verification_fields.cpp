#include "verification/verification_fields.h"

namespace korvane {

const BindingTable& verificationFields() {
    static const BindingTable table{
        {"protection.mode.singlePhaseShortCircuit", "Check14", Saved::ModeSwitch, Written::None, 0,
         false, 1, "protection.singlePhaseShortCircuitKA"},
        {"protection.mode.earthFault", "Check15", Saved::ModeSwitch, Written::None, 0, false, 1,
         "protection.earthFaultKA"},
        {"protection.durationTenthsS", "UpDown1", Saved::Spin, Written::None, 0, false, 1,
         "protection.durationS"},
        {"protection.kFactor", "Text51", Saved::Text},
        {"protection.durationS", "Text52", Saved::Text},
        {"protection.line.phaseProtectiveResistanceOhmPerKm", "Text39", Saved::Text},
        {"protection.line.leakageMAPerKm", "Text72", Saved::Text},
        {"protection.threePhaseShortCircuitKA", "Text35", Saved::Text},
        {"protection.earthFaultKA", "Text36", Saved::Text},
        {"protection.singlePhaseShortCircuitKA", "Text75", Saved::Text},
        {"protection.loadCurrentA", "Text37", Saved::Text},
        {"protection.line.lengthKm", "Text38", Saved::Text},

    };
    return table;
}

} // namespace korvane
