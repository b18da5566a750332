#include "pages/voltage_loss_fields.h"

namespace korvane {

const BindingTable& voltageLossFields() {
    static const BindingTable table{
        {"voltageLoss.cableCategory", "Combo1", Saved::List},
        {"voltageLoss.cableType", "Combo2", Saved::List},
        {"voltageLoss.cableCrossSectionMm2", "Combo3", Saved::List},
        {"voltageLoss.cableResistanceOhmPerKm", "Text1", Saved::Text},
        {"voltageLoss.cableReactanceOhmPerKm", "Text2", Saved::Text},
        {"voltageLoss.lineVoltageKV", "Combo7", Saved::EditableList},
        {"voltageLoss.powerFactor", "Combo4", Saved::List},
        {"voltageLoss.conductorTemperatureC", "Combo8", Saved::List},
        {"voltageLoss.ambientTemperatureC", "Combo9", Saved::List},
        {"voltageLoss.lineKind", "Combo5", Saved::List},
        {"voltageLoss.loadCase", "Combo6", Saved::List},
        {"voltageLoss.currentLoads.1.included", "Check1", Saved::LoadSwitch},
        {"voltageLoss.currentLoads.2.included", "Check2", Saved::LoadSwitch},
        {"voltageLoss.currentLoads.3.included", "Check3", Saved::LoadSwitch},
        {"voltageLoss.currentLoads.4.included", "Check4", Saved::LoadSwitch},
        {"voltageLoss.powerLoads.1.included", "Check5", Saved::LoadSwitch},
        {"voltageLoss.powerLoads.2.included", "Check6", Saved::LoadSwitch},
        {"voltageLoss.powerLoads.3.included", "Check7", Saved::LoadSwitch},
        {"voltageLoss.powerLoads.4.included", "Check8", Saved::LoadSwitch},
        {"voltageLoss.unityPowerLoads.1.included", "Check9", Saved::LoadSwitch},
        {"voltageLoss.unityPowerLoads.2.included", "Check10", Saved::LoadSwitch},
        {"voltageLoss.unityPowerLoads.3.included", "Check11", Saved::LoadSwitch},
        {"voltageLoss.unityPowerLoads.4.included", "Check12", Saved::LoadSwitch},
        {"voltageLoss.currentLoad.currentA", "Text4", Saved::Text, Written::None, 0, true},
        {"voltageLoss.currentLoad.lengthKm", "Text5", Saved::Text, Written::None, 0, true},
        {"voltageLoss.currentLoads.1.currentA", "Text8", Saved::Text, Written::None, 0, true},
        {"voltageLoss.currentLoads.1.lengthKm", "Text10", Saved::Text, Written::None, 0, true},
        {"voltageLoss.currentLoads.2.currentA", "Text11", Saved::Text, Written::None, 0, true},
        {"voltageLoss.currentLoads.2.lengthKm", "Text12", Saved::Text, Written::None, 0, true},
        {"voltageLoss.currentLoads.3.currentA", "Text13", Saved::Text, Written::None, 0, true},
        {"voltageLoss.currentLoads.3.lengthKm", "Text14", Saved::Text, Written::None, 0, true},
        {"voltageLoss.currentLoads.4.currentA", "Text15", Saved::Text, Written::None, 0, true},
        {"voltageLoss.currentLoads.4.lengthKm", "Text16", Saved::Text, Written::None, 0, true},
        {"voltageLoss.powerLoad.powerKW", "Text17", Saved::Text, Written::None, 0, true},
        {"voltageLoss.powerLoad.lengthKm", "Text18", Saved::Text, Written::None, 0, true},
        {"voltageLoss.powerLoads.1.powerKW", "Text19", Saved::Text, Written::None, 0, true},
        {"voltageLoss.powerLoads.1.lengthKm", "Text20", Saved::Text, Written::None, 0, true},
        {"voltageLoss.powerLoads.2.powerKW", "Text21", Saved::Text, Written::None, 0, true},
        {"voltageLoss.powerLoads.2.lengthKm", "Text22", Saved::Text, Written::None, 0, true},
        {"voltageLoss.powerLoads.3.powerKW", "Text23", Saved::Text, Written::None, 0, true},
        {"voltageLoss.powerLoads.3.lengthKm", "Text24", Saved::Text, Written::None, 0, true},
        {"voltageLoss.powerLoads.4.powerKW", "Text25", Saved::Text, Written::None, 0, true},
        {"voltageLoss.powerLoads.4.lengthKm", "Text26", Saved::Text, Written::None, 0, true},
        {"voltageLoss.unityPowerLoads.1.powerKW", "Text27", Saved::Text, Written::None, 0, true},
        {"voltageLoss.unityPowerLoads.1.lengthKm", "Text28", Saved::Text, Written::None, 0, true},
        {"voltageLoss.unityPowerLoads.2.powerKW", "Text29", Saved::Text, Written::None, 0, true},
        {"voltageLoss.unityPowerLoads.2.lengthKm", "Text30", Saved::Text, Written::None, 0, true},
        {"voltageLoss.unityPowerLoads.3.powerKW", "Text31", Saved::Text, Written::None, 0, true},
        {"voltageLoss.unityPowerLoads.3.lengthKm", "Text32", Saved::Text, Written::None, 0, true},
        {"voltageLoss.unityPowerLoads.4.powerKW", "Text33", Saved::Text, Written::None, 0, true},
        {"voltageLoss.unityPowerLoads.4.lengthKm", "Text34", Saved::Text, Written::None, 0, true},
        // Results.
        {"voltageLoss.lossPercent", "Text6", Saved::No, Written::Fixed, 4, true},
        {"voltageLoss.verdict", "Text3", Saved::No, Written::Text, 0, true},
        {"voltageLoss.maxLengthM", "Text7", Saved::No, Written::FourDecimalsTrimmed, 0, true},
        // The note shown beside the results while they are out of date.
        {"voltageLoss.staleResultsNote", "StaleNote0"},
        // The load frames: the end or uniformly distributed load (current or power) and the
        // three frames of four switched loads.
        {"voltageLoss.loadFrame.endLoad", "Frame4"},
        {"voltageLoss.loadFrame.severalCurrents", "Frame5"},
        {"voltageLoss.loadFrame.endPower", "Frame6"},
        {"voltageLoss.loadFrame.severalPowers", "Frame7"},
        {"voltageLoss.loadFrame.severalUnityPowers", "Frame8"},
        // The page's buttons: 计  算, Word计算书, 清   零, 退  出 and the hints beside the cable
        // data, the conductor temperature, the load case and the longest line.
        {"voltageLoss.compute", "Command1"},
        {"voltageLoss.writeBook", "Command2"},
        {"voltageLoss.clear", "Command5"},
        {"voltageLoss.exit", "Command3"},
        {"voltageLoss.hint.cableSource", "Command4"},
        {"voltageLoss.hint.conductorTemperature", "Command7"},
        {"voltageLoss.hint.loadCase", "Command25"},
        {"voltageLoss.hint.maxLength", "Command6"},
    };
    return table;
}

namespace {

// Table rows keep their controls as string literals, so each one is a terminated C string.
LoadSwitch loadSwitchOf(const SwitchedLoad& load) {
    const BindingTable& fields = voltageLossFields();
    return {fields[load.included].control.data(), fields[load.load].control.data(),
            fields[load.lengthKm].control.data()};
}

std::array<LoadSwitch, 12> loadSwitchesOf(const std::array<SwitchedLoad, 12>& loads) {
    std::array<LoadSwitch, 12> switches{};
    for (size_t k = 0; k < loads.size(); ++k)
        switches[k] = loadSwitchOf(loads[k]);
    return switches;
}

} // namespace

const std::array<LoadSwitch, 12> kLoadSwitches = loadSwitchesOf(kSwitchedLoads);

} // namespace korvane
