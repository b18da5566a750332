#include "pages/short_circuit_fields.h"

namespace korvane {

const BindingTable& shortCircuitFields() {
    static const BindingTable table{
        {"shortCircuit.systemCapacityMVA", "Combo18", Saved::EditableList},
        {"shortCircuit.line.resistanceMilliOhmPerM", "Text40", Saved::Text, Written::None, 0, true},
        {"shortCircuit.line.reactanceMilliOhmPerM", "Text41", Saved::Text, Written::None, 0, true},
        {"shortCircuit.line.phaseProtectiveResistanceMilliOhmPerM", "Text46", Saved::Text,
         Written::None, 0, true},
        {"shortCircuit.line.phaseProtectiveReactanceMilliOhmPerM", "Text47", Saved::Text,
         Written::None, 0, true},
        {"shortCircuit.line.phaseNeutralResistanceMilliOhmPerM", "Text49", Saved::Text,
         Written::None, 0, true},
        {"shortCircuit.line.phaseNeutralReactanceMilliOhmPerM", "Text50", Saved::Text,
         Written::None, 0, true},
        {"shortCircuit.line.lengthKm", "Text48", Saved::Text, Written::None, 0, true},
        {"supply.transformer.series", "Text53", Saved::Text, Written::None, 0, true},
        {"supply.transformer.impedanceVoltagePercent", "Text55", Saved::Text, Written::None, 0,
         true},
        {"supply.transformer.loadLossKW", "Text56", Saved::Text, Written::None, 0, true},
        {"supply.transformer.ratedKVA", "Text57", Saved::Text, Written::None, 0, true},
        {"supply.busbar.resistanceMilliOhmPerM", "Text58", Saved::Text, Written::None, 0, true},
        {"supply.busbar.reactanceMilliOhmPerM", "Text59", Saved::Text, Written::None, 0, true},
        {"supply.busbar.phaseProtectiveResistanceMilliOhmPerM", "Text60", Saved::Text,
         Written::None, 0, true},
        {"supply.busbar.phaseProtectiveReactanceMilliOhmPerM", "Text61", Saved::Text, Written::None,
         0, true},
        {"supply.busbar.lengthM", "Text62", Saved::Text, Written::None, 0, true},
        {"supply.busbar.material", "Text74", Saved::Text},
        {"supply.busbar.size", "Text9", Saved::Text},
        {"supply.transformer.voltageKV", kTransformerVoltageField, Saved::Text, Written::None, 0,
         false, 2},
        {"shortCircuit.singlePhaseCurrentEditable", "Check13", Saved::ModeSwitch, Written::None, 0,
         false, 1, "shortCircuit.singlePhaseShortCircuitKA"},
        // Currents at the line end, kA.
        {"shortCircuit.threePhaseShortCircuitKA", "Text42", Saved::No, Written::Fixed, 4, true},
        {"shortCircuit.twoPhaseShortCircuitKA", "Text43", Saved::No, Written::Fixed, 4, true},
        {"shortCircuit.earthFaultKA", "Text44", Saved::No, Written::Fixed, 4, true},
        {"shortCircuit.singlePhaseShortCircuitKA", "Text45", Saved::No, Written::Fixed, 4, true},
        // The note shown beside the currents while they are out of date.
        {"shortCircuit.staleResultsNote", "StaleNote1"},
        // The page's buttons: 计  算, 清  零, the transformer and busbar dialogs and the pickers
        // of the line's per-metre impedances.
        {"shortCircuit.compute", "Command9"},
        {"shortCircuit.clear", "Command10"},
        {"shortCircuit.writeBook", "Command21"},
        {"shortCircuit.chooseTransformer", "Command22"},
        {"shortCircuit.chooseBusbar", "Command23"},
        {"shortCircuit.pick.line.resistance", "Command19"},
        {"shortCircuit.pick.line.reactance", "Command20"},
        {"shortCircuit.pick.line.phaseProtectiveResistance", "Command15"},
        {"shortCircuit.pick.line.phaseProtectiveReactance", "Command16"},
        {"shortCircuit.pick.line.phaseNeutralResistance", "Command17"},
        {"shortCircuit.pick.line.phaseNeutralReactance", "Command18"},
    };
    return table;
}

const BindingTable& transformerDialogFields() {
    static const BindingTable table{
        {"transformerDialog.frame", "Frame1"},
        {"transformerDialog.series", "Combo1"},
        {"transformerDialog.voltageKV", "Combo2"},
        {"transformerDialog.ratedKVA", "Combo3"},
        {"transformerDialog.impedanceVoltagePercent", "Text1"},
        {"transformerDialog.loadLossKW", "Text2"},
        {"transformerDialog.connection", "Label6"},
        {"transformerDialog.confirm", "Command1"},
    };
    return table;
}

const BindingTable& busbarDialogFields() {
    static const BindingTable table{
        {"busbarDialog.frame", "Frame1"},
        {"busbarDialog.material", "Combo1"},
        {"busbarDialog.size", "Combo2"},
        {"busbarDialog.lengthM", "Combo3"},
        {"busbarDialog.resistanceMilliOhmPerM", "Text1"},
        {"busbarDialog.reactanceMilliOhmPerM", "Text2"},
        {"busbarDialog.phaseProtectiveResistanceMilliOhmPerM", "Text3"},
        {"busbarDialog.phaseProtectiveReactanceMilliOhmPerM", "Text4"},
        {"busbarDialog.confirm", "Command1"},
    };
    return table;
}

} // namespace korvane
