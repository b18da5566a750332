#include "app/main_window_fields.h"

namespace korvane {

const BindingTable& mainWindowFields() {
    static const BindingTable table{
        {"shell.voltageLoss.exit", "Command3"},
        {"shell.voltageLoss.clear", "Command5"},
        {"shell.shortCircuit.exit", "Command11"},
        // The ">>" and "提示" buttons, each explaining the figure beside it.
        {"hint.voltageLoss.cableDataSource", "Command4"},
        {"hint.voltageLoss.conductorTemperature", "Command7"},
        {"hint.voltageLoss.method", "Command25"},
        {"hint.voltageLoss.maxLength", "Command6"},
        {"hint.shortCircuit.method", "Command24"},
        {"hint.shortCircuit.threePhase", "Command12"},
        {"hint.shortCircuit.twoPhase", "Command13"},
        {"hint.shortCircuit.earthFault", "Command14"},
        {"hint.shortCircuit.singlePhase", "Command32"},
        // The 800 ms timer, and the current arrows and progress bar of page 1 that it moves.
        {"animation.timer", "Timer1"},
        {"animation.arrow.1", "Line9"},
        {"animation.arrow.2", "Line10"},
        {"animation.arrow.3", "Line11"},
        {"animation.progress", "ProgressBar1"},
        {"about.information", "RichTextBox1"},
    };
    return table;
}

const std::vector<std::string_view>& voltageLossClearedQuantities() {
    static const std::vector<std::string_view> quantities{
        "voltageLoss.verdict",
        "voltageLoss.currentLoad.currentA",
        "voltageLoss.currentLoad.lengthKm",
        "voltageLoss.lossPercent",
        "voltageLoss.maxLengthM",
        "voltageLoss.currentLoads.1.currentA",
        "voltageLoss.currentLoads.1.lengthKm",
        "voltageLoss.currentLoads.2.currentA",
        "voltageLoss.currentLoads.2.lengthKm",
        "voltageLoss.currentLoads.3.currentA",
        "voltageLoss.currentLoads.3.lengthKm",
        "voltageLoss.currentLoads.4.currentA",
        "voltageLoss.currentLoads.4.lengthKm",
        "voltageLoss.powerLoad.powerKW",
        "voltageLoss.powerLoad.lengthKm",
        "voltageLoss.powerLoads.1.powerKW",
        "voltageLoss.powerLoads.1.lengthKm",
        "voltageLoss.powerLoads.2.powerKW",
        "voltageLoss.powerLoads.2.lengthKm",
        "voltageLoss.powerLoads.3.powerKW",
        "voltageLoss.powerLoads.3.lengthKm",
        "voltageLoss.powerLoads.4.powerKW",
        "voltageLoss.powerLoads.4.lengthKm",
        "voltageLoss.unityPowerLoads.1.powerKW",
        "voltageLoss.unityPowerLoads.1.lengthKm",
        "voltageLoss.unityPowerLoads.2.powerKW",
        "voltageLoss.unityPowerLoads.2.lengthKm",
        "voltageLoss.unityPowerLoads.3.powerKW",
        "voltageLoss.unityPowerLoads.3.lengthKm",
        "voltageLoss.unityPowerLoads.4.powerKW",
        "voltageLoss.unityPowerLoads.4.lengthKm",
    };
    return quantities;
}

} // namespace korvane
