#include "short_circuit/short_circuit_fields.h"

#include "short_circuit/dialog_database.h"

namespace korvane {

const BindingTable& shortCircuitFields() {
    static const BindingTable table{
        {"shortCircuit.systemCapacityMVA", "Combo18", Saved::EditableList},
        {"shortCircuit.line.resistanceMilliOhmPerM", "Text40", Saved::Text},
        {"shortCircuit.line.reactanceMilliOhmPerM", "Text41", Saved::Text},
        {"shortCircuit.line.phaseProtectiveResistanceMilliOhmPerM", "Text46", Saved::Text},
        {"shortCircuit.line.phaseProtectiveReactanceMilliOhmPerM", "Text47", Saved::Text},
        {"shortCircuit.line.phaseNeutralResistanceMilliOhmPerM", "Text49", Saved::Text},
        {"shortCircuit.line.phaseNeutralReactanceMilliOhmPerM", "Text50", Saved::Text},
        {"shortCircuit.line.lengthKm", "Text48", Saved::Text},
        {"supply.transformer.series", "Text53", Saved::Text},
        {"supply.transformer.impedanceVoltagePercent", "Text55", Saved::Text},
        {"supply.transformer.loadLossKW", "Text56", Saved::Text},
        {"supply.transformer.ratedKVA", "Text57", Saved::Text},
        {"supply.busbar.resistanceMilliOhmPerM", "Text58", Saved::Text},
        {"supply.busbar.reactanceMilliOhmPerM", "Text59", Saved::Text},
        {"supply.busbar.phaseProtectiveResistanceMilliOhmPerM", "Text60", Saved::Text},
        {"supply.busbar.phaseProtectiveReactanceMilliOhmPerM", "Text61", Saved::Text},
        {"supply.busbar.lengthM", "Text62", Saved::Text},
        {"supply.busbar.material", "Text74", Saved::Text},
        {"supply.busbar.size", "Text9", Saved::Text},
        {"supply.transformer.voltageKV", kTransformerVoltageField, Saved::Text, Written::None, 0,
         false, 2},
        {"shortCircuit.singlePhaseCurrentEditable", "Check13", Saved::ModeSwitch, Written::None, 0,
         false, 1, "shortCircuit.singlePhaseShortCircuitKA"},
        // Currents at the line end, kA.
        {"shortCircuit.threePhaseShortCircuitKA", "Text42", Saved::No, Written::Fixed, 4},
        {"shortCircuit.twoPhaseShortCircuitKA", "Text43", Saved::No, Written::Fixed, 4},
        {"shortCircuit.earthFaultKA", "Text44", Saved::No, Written::Fixed, 4},
        {"shortCircuit.singlePhaseShortCircuitKA", "Text45", Saved::No, Written::Fixed, 4},
    };
    return table;
}

} // namespace korvane
