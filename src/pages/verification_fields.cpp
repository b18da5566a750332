#include "pages/verification_fields.h"

namespace korvane {

const BindingTable& verificationFields() {
    static const BindingTable table{
        {"protection.mode.singlePhaseShortCircuit", "Check14", Saved::ModeSwitch, Written::None, 0,
         false, 1, "protection.singlePhaseShortCircuitKA"},
        {"protection.mode.earthFault", "Check15", Saved::ModeSwitch, Written::None, 0, false, 1,
         "protection.earthFaultKA"},
        {"protection.durationTenthsS", "UpDown1", Saved::Spin, Written::None, 0, false, 1,
         "protection.durationS"},
        {"protection.kFactor", "Text51", Saved::Text, Written::None, 0, true},
        {"protection.durationS", "Text52", Saved::Text, Written::None, 0, true},
        {"protection.line.phaseProtectiveResistanceOhmPerKm", "Text39", Saved::Text, Written::None,
         0, true},
        {"protection.line.leakageMAPerKm", "Text72", Saved::Text, Written::None, 0, true},
        {"protection.threePhaseShortCircuitKA", "Text35", Saved::Text, Written::None, 0, true},
        {"protection.earthFaultKA", "Text36", Saved::Text, Written::None, 0, true},
        {"protection.singlePhaseShortCircuitKA", "Text75", Saved::Text, Written::None, 0, true},
        {"protection.loadCurrentA", "Text37", Saved::Text, Written::None, 0, true},
        {"protection.line.lengthKm", "Text38", Saved::Text, Written::None, 0, true},
        // The report of the last run, the placeholder over it until the first, and the diagram.
        {"protection.report", "Text71", Saved::No, Written::Text, 0, true},
        {"protection.reportPlaceholder", "Text73"},
        {"protection.diagram", "Frame12"},
        {"protection.staleNote", "StaleNote2"},
        // The page's buttons and the pickers beside K, Rphp and the leakage current.
        {"protection.verify", "Command28"},
        {"protection.clear", "Command29"},
        {"protection.exit", "Command30"},
        {"protection.pick.kFactor", "Command26"},
        {"protection.pick.phaseProtectiveResistance", "Command27"},
        {"protection.pick.leakage", "Command31"},
    };
    return table;
}

const std::vector<std::string_view>& verificationClearOrder() {
    static const std::vector<std::string_view> quantities{
        "protection.threePhaseShortCircuitKA",
        "protection.earthFaultKA",
        "protection.loadCurrentA",
        "protection.line.lengthKm",
        "protection.line.phaseProtectiveResistanceOhmPerKm",
        "protection.kFactor",
        "protection.durationS",
        "protection.report",
        "protection.line.leakageMAPerKm",
        "protection.singlePhaseShortCircuitKA",
    };
    return quantities;
}

} // namespace korvane
