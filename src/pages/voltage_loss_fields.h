#pragma once

#include "form/binding.h"

#include <array>
#include <string_view>

namespace korvane {

// The fields of the voltage-loss page (page 0): the cable, voltage, power factor and temperatures,
// the line kind and load case, the loads and their switches, the results, the load frames the
// load case shows and the page's buttons. 清   零 empties the rows marked `cleared`: the loads and
// the results; the cable's R and X, the lists and the switches stay.
const BindingTable& voltageLossFields();

// One load of the multi-load frames: the quantities of its switch and of the two fields the switch
// turns on and off.
struct SwitchedLoad {
    std::string_view included;
    std::string_view load;
    std::string_view lengthKm;
};

// The twelve switched loads in frame order: the currents of case (3), the powers of case (5) and
// the unity-power loads of case (6), four each.
inline constexpr std::array<SwitchedLoad, 12> kSwitchedLoads{{
    {"voltageLoss.currentLoads.1.included", "voltageLoss.currentLoads.1.currentA",
     "voltageLoss.currentLoads.1.lengthKm"},
    {"voltageLoss.currentLoads.2.included", "voltageLoss.currentLoads.2.currentA",
     "voltageLoss.currentLoads.2.lengthKm"},
    {"voltageLoss.currentLoads.3.included", "voltageLoss.currentLoads.3.currentA",
     "voltageLoss.currentLoads.3.lengthKm"},
    {"voltageLoss.currentLoads.4.included", "voltageLoss.currentLoads.4.currentA",
     "voltageLoss.currentLoads.4.lengthKm"},
    {"voltageLoss.powerLoads.1.included", "voltageLoss.powerLoads.1.powerKW",
     "voltageLoss.powerLoads.1.lengthKm"},
    {"voltageLoss.powerLoads.2.included", "voltageLoss.powerLoads.2.powerKW",
     "voltageLoss.powerLoads.2.lengthKm"},
    {"voltageLoss.powerLoads.3.included", "voltageLoss.powerLoads.3.powerKW",
     "voltageLoss.powerLoads.3.lengthKm"},
    {"voltageLoss.powerLoads.4.included", "voltageLoss.powerLoads.4.powerKW",
     "voltageLoss.powerLoads.4.lengthKm"},
    {"voltageLoss.unityPowerLoads.1.included", "voltageLoss.unityPowerLoads.1.powerKW",
     "voltageLoss.unityPowerLoads.1.lengthKm"},
    {"voltageLoss.unityPowerLoads.2.included", "voltageLoss.unityPowerLoads.2.powerKW",
     "voltageLoss.unityPowerLoads.2.lengthKm"},
    {"voltageLoss.unityPowerLoads.3.included", "voltageLoss.unityPowerLoads.3.powerKW",
     "voltageLoss.unityPowerLoads.3.lengthKm"},
    {"voltageLoss.unityPowerLoads.4.included", "voltageLoss.unityPowerLoads.4.powerKW",
     "voltageLoss.unityPowerLoads.4.lengthKm"},
}};

// Index of the first load of each multi-load frame in kSwitchedLoads.
inline constexpr int kFirstCurrentLoad = 0;
inline constexpr int kFirstPowerLoad = 4;
inline constexpr int kFirstUnityPowerLoad = 8;

// The input frames the load cases show, one at a time.
inline constexpr std::array<std::string_view, 5> kLoadFrames{
    "voltageLoss.loadFrame.endLoad",
    "voltageLoss.loadFrame.severalCurrents",
    "voltageLoss.loadFrame.endPower",
    "voltageLoss.loadFrame.severalPowers",
    "voltageLoss.loadFrame.severalUnityPowers",
};

// The controls of the switched loads, in the order of kSwitchedLoads, for code that names a
// load's switch by its control.
struct LoadSwitch {
    const char* check;
    const char* load;
    const char* distance;
};
extern const std::array<LoadSwitch, 12> kLoadSwitches;

} // namespace korvane
