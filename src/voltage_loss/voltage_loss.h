#pragma once

#include "calc/computed.h"
#include "voltage_loss/load_cases.h"

#include <QString>

#include <array>
#include <optional>

namespace korvane {

// One field read both ways: the lenient value always exists, the strict one only when the whole
// text is a number in the regional format.
struct FieldReading {
    double lenient = 0.0;
    std::optional<double> strict;
};

// A load and its distance from the supply point (I in A or P in kW, L in km).
struct LoadAtDistance {
    double load = 0.0;
    double lengthKm = 0.0;
};

// Inputs of the voltage-loss computation, read from page 0 once at the start of the action.
struct VoltageLossInput {
    // The kind and case the lists show; nothing when a list shows none of its texts or nothing.
    std::optional<LineKind> lineKind;
    std::optional<LoadCase> loadCase;
    FieldReading resistanceOhmPerKm;
    FieldReading reactanceOhmPerKm;
    FieldReading voltageKv;
    std::optional<double> powerFactor;               // strict reading of cos phi
    double endCurrentA = 0.0;                        // I of the end-load / uniform-load cases
    double endLengthKm = 0.0;                        // L of those cases
    double endPowerKw = 0.0;                         // P of the load-moment end-load cases
    double endPowerLengthKm = 0.0;                   // Lp
    std::array<LoadAtDistance, 4> currentLoads{};    // I1..I4 with L1..L4
    std::array<LoadAtDistance, 4> powerLoads{};      // P1..P4 with L1..L4, cos phi as selected
    std::array<LoadAtDistance, 4> unityPowerLoads{}; // P1..P4 with L1..L4, cos phi = 1
    std::optional<double> conductorTempC;            // strict
    std::optional<double> ambientTempC;              // strict
};

// How the leading term of a row is built from the line constants.
enum class Lead {
    Current,    // factor / (10·U) · (R·cos φ + X·sin φ), with a current moment in A·km
    Power,      // factor · (R + X·tan φ) / (10·U²), with a load moment in kW·km
    UnityPower, // factor · R / (10·U²): cos φ = 1 or direct current, resistance only
};

// Which row of the kind/case table applied.
enum class LossFormula {
    None,                 // no row matched or the formula failed: loss is 0
    CurrentMomentEnd,     // I·L
    CurrentMomentUniform, // 0.5·I·L
    CurrentMomentSeveral, // ΣI·L
    LoadMomentEnd,        // P·L with R + X·tan phi
    LoadMomentSeveral,    // ΣP·L with R + X·tan phi
    UnityPowerSeveral,    // ΣP·L, cos phi = 1 (resistive only)
    UnityPowerEnd,        // P·L, cos phi = 1 (resistive only)
};

// Why the loss of the selected case is not the loss of a real line. Checked in this order; the
// first that applies is reported.
enum class LossProblem {
    None,              // the loss was computed from a real line
    NoMatchingCase,    // the load case does not belong to the line kind
    NoVoltage,         // U is not above 0
    NoResistance,      // R is not above 0 (no cross-section chosen, or R left empty)
    NegativeReactance, // X below 0
    NegativeLoad,      // a load or a distance of the case below 0
    NoLoad,            // no load of the case above 0
    NoLength,          // every load of the case sits at 0 km
    NotFinite,         // the result overflowed
};

// Which sub-step of the maximum line length produced the final value.
enum class MaxLengthSource { None, FromCurrent, FromPowerSinglePhase, FromPowerThreePhase };

struct VoltageLossResult {
    // Angle of the power factor, each function rounded to single precision.
    double phi = 0.0;
    double cosPhi = 1.0;
    double sinPhi = 0.0;
    double tanPhi = 0.0;

    LossFormula formula = LossFormula::None;
    LossProblem problem = LossProblem::None;
    double factor = 0.0;           // the leading constant: √3, 2, 1.5·√3, 1, 2, 2.25 …
    double moment = 0.0;           // the current moment (A·km) or load moment (kW·km) used
    double lossPercent = 0.0;      // Δu in %, before display rounding
    double shownLossPercent = 0.0; // Δu rounded to 4 decimals as displayed
    // Shown value ≤ 5 of a loss computed from a real line; false whenever problem is set.
    bool withinLimit = false;

    // Maximum line length (m). Each intermediate is computed only when its step succeeded, and
    // carries the reason of its failure otherwise.
    Computed<double> temperatureFactor = std::nullopt; // k
    Computed<double> impedanceOhmPerKm = std::nullopt; // Z after its text round trip
    Computed<double> lengthFromCurrentM = std::nullopt;
    Computed<double> lengthFromPowerM = std::nullopt; // sub-step 2 or 3, the last that succeeded
    Computed<double> maxLengthM = std::nullopt;       // final value (four decimals, halves to even)
    MaxLengthSource maxLengthSource = MaxLengthSource::None;
};

inline constexpr double kVoltageLossLimitPercent = 5.0;

// The line constant of the maximum-length rule: √3/(10·0.38) = 0.4558 %/(A·km·Ω/km) for a
// 380 V three-phase line, carried rounded to 0.46 for every line as the design tables give it.
inline constexpr double kMaxLengthLineCoefficient = 0.46;

// The leading term a formula of the table uses.
Lead leadOf(LossFormula formula);

// Voltage loss of a low-voltage line by the current-moment or load-moment method
// (《工业与民用配电设计手册》第三版, voltage-loss formulas for 0.38/0.22 kV lines), its 5 % verdict
// and the longest line that keeps within it. Each step that cannot be evaluated is skipped; the
// loss is judged only when it comes from a real line (problem None).
VoltageLossResult computeVoltageLoss(const VoltageLossInput& input);

} // namespace korvane
