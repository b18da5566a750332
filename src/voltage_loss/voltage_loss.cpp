#include "voltage_loss/voltage_loss.h"

#include "form/number_format.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace korvane {

namespace {

// Every step of the computation either yields a finite value or fails; a failed step leaves its
// target as it was and the computation goes on with the next one.
using Step = std::optional<double>;

Step finite(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

Step divide(double numerator, double denominator) {
    if (denominator == 0.0) {
        return std::nullopt;
    }
    return finite(numerator / denominator);
}

Step squareRoot(double value) {
    if (value < 0.0) {
        return std::nullopt;
    }
    return finite(std::sqrt(value));
}

// The trigonometric values of the power-factor angle are carried in single precision, as the
// calculation book has always printed and used them (cos 0.85 → 0.85000002).
double toSingle(double value) {
    return static_cast<double>(static_cast<float>(value));
}

// φ = arccos c, written as atan(−c/√(1 − c²)) + π/2. That form has no value at c = ±1 (division
// by zero) nor for |c| > 1 (negative root); a missing or unusable power factor then counts as a
// purely resistive load, φ = 0.
double powerFactorAngle(const std::optional<double>& powerFactor) {
    if (!powerFactor) {
        return 0.0;
    }
    const double c = *powerFactor;
    const Step root = squareRoot(1.0 - c * c);
    if (!root) {
        return 0.0;
    }
    const Step ratio = divide(-c, *root);
    if (!ratio) {
        return 0.0;
    }
    return finite(std::atan(*ratio) + 2.0 * std::atan(1.0)).value_or(0.0);
}

// How the leading term of a row is built from the line constants.
enum class Lead {
    Current,    // factor / (10·U) · (R·cos φ + X·sin φ), with a current moment in A·km
    Power,      // factor · (R + X·tan φ) / (10·U²), with a load moment in kW·km
    UnityPower, // factor · R / (10·U²): cos φ = 1 or direct current, resistance only
};

struct LossRow {
    const QString* kind;
    const QString* loadCase;
    LossFormula formula;
    double factor;
};

constexpr double kSqrt3 = std::numbers::sqrt3;

// The kind/case table of the load-moment method. Three-phase lines carry √3 for the current
// moment; a single-phase load between two phases carries the current out and back (2); a
// two-phase line with neutral carries 1.5·√3 for the current moment and 2.25 for the load moment;
// a single-phase load on the phase voltage carries 2 for both.
const LossRow kLossRows[] = {
    {&line_kind::kThreePhase, &load_case::kEndCurrent, LossFormula::CurrentMomentEnd, kSqrt3},
    {&line_kind::kThreePhase, &load_case::kUniformCurrent, LossFormula::CurrentMomentUniform,
     kSqrt3},
    {&line_kind::kThreePhase, &load_case::kSeveralCurrent, LossFormula::CurrentMomentSeveral,
     kSqrt3},
    {&line_kind::kThreePhase, &load_case::kEndPower4, LossFormula::LoadMomentEnd, 1.0},
    {&line_kind::kThreePhase, &load_case::kSeveralPower, LossFormula::LoadMomentSeveral, 1.0},
    {&line_kind::kThreePhase, &load_case::kSeveralUnityPower, LossFormula::UnityPowerSeveral, 1.0},

    {&line_kind::kSinglePhaseLineVoltage, &load_case::kEndCurrent, LossFormula::CurrentMomentEnd,
     2.0},
    {&line_kind::kSinglePhaseLineVoltage, &load_case::kUniformCurrent,
     LossFormula::CurrentMomentUniform, 2.0},
    {&line_kind::kSinglePhaseLineVoltage, &load_case::kSeveralCurrent,
     LossFormula::CurrentMomentSeveral, 2.0},
    {&line_kind::kSinglePhaseLineVoltage, &load_case::kEndPower4, LossFormula::LoadMomentEnd, 2.0},
    {&line_kind::kSinglePhaseLineVoltage, &load_case::kSeveralPower, LossFormula::LoadMomentSeveral,
     2.0},
    {&line_kind::kSinglePhaseLineVoltage, &load_case::kSeveralUnityPower,
     LossFormula::UnityPowerSeveral, 2.0},

    {&line_kind::kTwoPhaseNeutral, &load_case::kEndCurrent, LossFormula::CurrentMomentEnd,
     1.5 * kSqrt3},
    {&line_kind::kTwoPhaseNeutral, &load_case::kUniformCurrent, LossFormula::CurrentMomentUniform,
     1.5 * kSqrt3},
    {&line_kind::kTwoPhaseNeutral, &load_case::kEndPower3, LossFormula::LoadMomentEnd, 2.25},
    {&line_kind::kTwoPhaseNeutral, &load_case::kEndUnityPower, LossFormula::UnityPowerEnd, 2.25},

    {&line_kind::kSinglePhasePhaseVoltage, &load_case::kEndCurrent, LossFormula::CurrentMomentEnd,
     2.0},
    {&line_kind::kSinglePhasePhaseVoltage, &load_case::kUniformCurrent,
     LossFormula::CurrentMomentUniform, 2.0},
    {&line_kind::kSinglePhasePhaseVoltage, &load_case::kEndPower3, LossFormula::LoadMomentEnd, 2.0},
    {&line_kind::kSinglePhasePhaseVoltage, &load_case::kEndUnityPowerOrDc,
     LossFormula::UnityPowerEnd, 2.0},
};

double sumOfMoments(const std::array<LoadAtDistance, 4>& loads) {
    double sum = 0.0;
    for (const LoadAtDistance& load : loads) {
        sum += load.load * load.lengthKm;
    }
    return sum;
}

// Δu (%) of one row. The moment is kept as two terms so that the product is evaluated in the
// order the formula is written: lead · I · L.
Step lossPercent(const LossRow& row, const VoltageLossInput& input, double cosPhi, double sinPhi,
                 double tanPhi, double& moment) {
    const double r = input.resistanceOhmPerKm.lenient;
    const double x = input.reactanceOhmPerKm.lenient;
    const double u = input.voltageKv.lenient;

    Lead lead = Lead::Current;
    double first = 0.0;
    double second = 1.0;
    switch (row.formula) {
    case LossFormula::CurrentMomentEnd:
        first = input.endCurrentA;
        second = input.endLengthKm;
        break;
    case LossFormula::CurrentMomentUniform:
        // A load spread evenly along the line acts as half of it at the far end.
        first = 0.5 * input.endCurrentA;
        second = input.endLengthKm;
        break;
    case LossFormula::CurrentMomentSeveral:
        first = sumOfMoments(input.currentLoads);
        break;
    case LossFormula::LoadMomentEnd:
        lead = Lead::Power;
        first = input.endPowerKw;
        second = input.endPowerLengthKm;
        break;
    case LossFormula::LoadMomentSeveral:
        lead = Lead::Power;
        first = sumOfMoments(input.powerLoads);
        break;
    case LossFormula::UnityPowerSeveral:
        lead = Lead::UnityPower;
        first = sumOfMoments(input.unityPowerLoads);
        break;
    case LossFormula::UnityPowerEnd:
        lead = Lead::UnityPower;
        first = input.endPowerKw;
        second = input.endPowerLengthKm;
        break;
    case LossFormula::None:
        return std::nullopt;
    }

    Step leading;
    switch (lead) {
    case Lead::Current:
        if (const Step perVolt = divide(row.factor, 10.0 * u)) {
            leading = finite(*perVolt * (r * cosPhi + x * sinPhi));
        }
        break;
    case Lead::Power:
        leading = divide(row.factor * (r + x * tanPhi), 10.0 * (u * u));
        break;
    case Lead::UnityPower:
        leading = divide(row.factor * r, 10.0 * (u * u));
        break;
    }
    if (!leading) {
        return std::nullopt;
    }
    moment = first * second;
    return finite(*leading * first * second);
}

// The loads of a row with their distances, as they enter its moment (the uniform load at its full
// value).
std::vector<LoadAtDistance> loadsOf(LossFormula formula, const VoltageLossInput& input) {
    switch (formula) {
    case LossFormula::CurrentMomentEnd:
    case LossFormula::CurrentMomentUniform:
        return {{input.endCurrentA, input.endLengthKm}};
    case LossFormula::CurrentMomentSeveral:
        return {input.currentLoads.begin(), input.currentLoads.end()};
    case LossFormula::LoadMomentEnd:
    case LossFormula::UnityPowerEnd:
        return {{input.endPowerKw, input.endPowerLengthKm}};
    case LossFormula::LoadMomentSeveral:
        return {input.powerLoads.begin(), input.powerLoads.end()};
    case LossFormula::UnityPowerSeveral:
        return {input.unityPowerLoads.begin(), input.unityPowerLoads.end()};
    case LossFormula::None:
        break;
    }
    return {};
}

// What keeps the inputs of a row from describing a real line: a supply voltage and a conductor
// resistance above zero, no negative reactance, loads and distances not negative, and at least
// one load above zero at some distance from the supply point. Inputs that read as nothing (empty
// or not a number) count as 0 and so fail here.
LossProblem lineProblem(const LossRow& row, const VoltageLossInput& input) {
    if (!(input.voltageKv.lenient > 0.0))
        return LossProblem::NoVoltage;
    if (!(input.resistanceOhmPerKm.lenient > 0.0))
        return LossProblem::NoResistance;
    if (!(input.reactanceOhmPerKm.lenient >= 0.0))
        return LossProblem::NegativeReactance;
    const std::vector<LoadAtDistance> loads = loadsOf(row.formula, input);
    bool anyLoad = false;
    bool anyMoment = false;
    for (const LoadAtDistance& load : loads) {
        if (!(load.load >= 0.0) || !(load.lengthKm >= 0.0))
            return LossProblem::NegativeLoad;
        anyLoad = anyLoad || load.load > 0.0;
        anyMoment = anyMoment || (load.load > 0.0 && load.lengthKm > 0.0);
    }
    if (!anyLoad)
        return LossProblem::NoLoad;
    if (!anyMoment)
        return LossProblem::NoLength;
    return LossProblem::None;
}

// The line constant of the maximum-length rule: √3/(10·0.38) = 0.4558 %/(A·km·Ω/km) for a
// 380 V three-phase line, carried rounded to 0.46 for every line as the design tables give it.
constexpr double kLengthCoefficient = 0.46;

// Longest line (m) that keeps the voltage loss within 5 % for the given line current:
// 5 % = k · Z · I · 0.46 · L / 1000.
Step maxLengthForCurrent(double k, double z, const Step& current) {
    if (!current) {
        return std::nullopt;
    }
    const Step length =
        divide(1000.0 * kVoltageLossLimitPercent, k * z * (*current * kLengthCoefficient));
    if (!length) {
        return std::nullopt;
    }
    return roundHalfEven(*length, 4);
}

} // namespace

VoltageLossResult computeVoltageLoss(const VoltageLossInput& input) {
    VoltageLossResult result;

    // 1. Power-factor angle.
    result.phi = powerFactorAngle(input.powerFactor);
    result.cosPhi = toSingle(std::cos(result.phi));
    result.sinPhi = toSingle(std::sin(result.phi));
    result.tanPhi = toSingle(std::tan(result.phi));

    // 2. Voltage loss of the selected row; no row or no value gives 0 %.
    const LossRow* selected = nullptr;
    for (const LossRow& row : kLossRows) {
        if (*row.kind != input.lineKind || *row.loadCase != input.loadCase) {
            continue;
        }
        selected = &row;
        double moment = 0.0;
        if (const Step loss =
                lossPercent(row, input, result.cosPhi, result.sinPhi, result.tanPhi, moment)) {
            result.formula = row.formula;
            result.factor = row.factor;
            result.moment = moment;
            result.lossPercent = *loss;
        }
        break;
    }

    // 3. The verdict is taken on the value as shown, so 4.99996 (shown 5.0000) passes; a loss
    // that does not come from a real line is not judged at all.
    result.shownLossPercent = roundHalfAwayFromZero(result.lossPercent, 4);
    if (!selected) {
        result.problem = LossProblem::NoMatchingCase;
    } else {
        result.problem = lineProblem(*selected, input);
        if (result.problem == LossProblem::None &&
            (result.formula == LossFormula::None || !std::isfinite(result.shownLossPercent)))
            result.problem = LossProblem::NotFinite;
    }
    result.withinLimit =
        result.problem == LossProblem::None && result.shownLossPercent <= kVoltageLossLimitPercent;

    // 4. Resistance rise of the conductor at its working temperature over the ambient one, with
    // the 0.004 /K temperature coefficient of copper and aluminium.
    double k = 0.0;
    if (input.conductorTempC && input.ambientTempC) {
        if (const Step factor =
                finite((*input.conductorTempC - *input.ambientTempC) * 0.004 + 1.0)) {
            k = *factor;
            result.temperatureFactor = k;
        }
    }

    // 5. Impedance per km, carried on as its 15-digit text.
    double z = 0.0;
    if (input.resistanceOhmPerKm.strict && input.reactanceOhmPerKm.strict) {
        const double r = *input.resistanceOhmPerKm.strict;
        const double x = *input.reactanceOhmPerKm.strict;
        if (const Step root = squareRoot(r * r + x * x)) {
            z = roundToSignificant(*root, 15);
            result.impedanceOhmPerKm = z;
        }
    }

    // 6. Maximum line length: from the end current, then, where the voltage says which, from the
    // end power as a single-phase (U ≤ 0.22 kV) or three-phase (U ≥ 0.38 kV) line current.
    const double u = input.voltageKv.lenient;
    const double p = input.endPowerKw;
    if (const Step length = maxLengthForCurrent(k, z, input.endCurrentA)) {
        result.lengthFromCurrentM = length;
        result.maxLengthM = length;
        result.maxLengthSource = MaxLengthSource::FromCurrent;
    }
    if (input.voltageKv.strict && *input.voltageKv.strict <= 0.22) {
        if (const Step length = maxLengthForCurrent(k, z, divide(p, u))) {
            result.lengthFromPowerM = length;
            result.maxLengthM = length;
            result.maxLengthSource = MaxLengthSource::FromPowerSinglePhase;
        }
    }
    if (input.voltageKv.strict && *input.voltageKv.strict >= 0.38) {
        if (const Step length = maxLengthForCurrent(k, z, divide(p, kSqrt3 * u * result.cosPhi))) {
            result.lengthFromPowerM = length;
            result.maxLengthM = length;
            result.maxLengthSource = MaxLengthSource::FromPowerThreePhase;
        }
    }

    return result;
}

} // namespace korvane
