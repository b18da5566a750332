#include "voltage_loss/voltage_loss.h"

#include "base/number_format.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace korvane {

namespace {

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
    StepChain e;
    const double root = e.squareRoot(1.0 - c * c);
    const double ratio = e.quotient(-c, root);
    return e.result(e.checked(std::atan(ratio) + 2.0 * std::atan(1.0))).valueOr(0.0);
}

struct LossRow {
    LineKind kind;
    LoadCase loadCase;
    LossFormula formula;
    double factor;
};

constexpr double kSqrt3 = std::numbers::sqrt3;

// The kind/case table of the load-moment method. Three-phase lines carry √3 for the current
// moment; a single-phase load between two phases carries the current out and back (2); a
// two-phase line with neutral carries 1.5·√3 for the current moment and 2.25 for the load moment;
// a single-phase load on the phase voltage carries 2 for both.
const LossRow kLossRows[] = {
    {LineKind::ThreePhase, LoadCase::EndCurrent, LossFormula::CurrentMomentEnd, kSqrt3},
    {LineKind::ThreePhase, LoadCase::UniformCurrent, LossFormula::CurrentMomentUniform, kSqrt3},
    {LineKind::ThreePhase, LoadCase::SeveralCurrent, LossFormula::CurrentMomentSeveral, kSqrt3},
    {LineKind::ThreePhase, LoadCase::EndPower4, LossFormula::LoadMomentEnd, 1.0},
    {LineKind::ThreePhase, LoadCase::SeveralPower, LossFormula::LoadMomentSeveral, 1.0},
    {LineKind::ThreePhase, LoadCase::SeveralUnityPower, LossFormula::UnityPowerSeveral, 1.0},

    {LineKind::SinglePhaseLineVoltage, LoadCase::EndCurrent, LossFormula::CurrentMomentEnd, 2.0},
    {LineKind::SinglePhaseLineVoltage, LoadCase::UniformCurrent, LossFormula::CurrentMomentUniform,
     2.0},
    {LineKind::SinglePhaseLineVoltage, LoadCase::SeveralCurrent, LossFormula::CurrentMomentSeveral,
     2.0},
    {LineKind::SinglePhaseLineVoltage, LoadCase::EndPower4, LossFormula::LoadMomentEnd, 2.0},
    {LineKind::SinglePhaseLineVoltage, LoadCase::SeveralPower, LossFormula::LoadMomentSeveral, 2.0},
    {LineKind::SinglePhaseLineVoltage, LoadCase::SeveralUnityPower, LossFormula::UnityPowerSeveral,
     2.0},

    {LineKind::TwoPhaseNeutral, LoadCase::EndCurrent, LossFormula::CurrentMomentEnd, 1.5 * kSqrt3},
    {LineKind::TwoPhaseNeutral, LoadCase::UniformCurrent, LossFormula::CurrentMomentUniform,
     1.5 * kSqrt3},
    {LineKind::TwoPhaseNeutral, LoadCase::EndPower3, LossFormula::LoadMomentEnd, 2.25},
    {LineKind::TwoPhaseNeutral, LoadCase::EndUnityPower, LossFormula::UnityPowerEnd, 2.25},

    {LineKind::SinglePhasePhaseVoltage, LoadCase::EndCurrent, LossFormula::CurrentMomentEnd, 2.0},
    {LineKind::SinglePhasePhaseVoltage, LoadCase::UniformCurrent, LossFormula::CurrentMomentUniform,
     2.0},
    {LineKind::SinglePhasePhaseVoltage, LoadCase::EndPower3, LossFormula::LoadMomentEnd, 2.0},
    {LineKind::SinglePhasePhaseVoltage, LoadCase::EndUnityPowerOrDc, LossFormula::UnityPowerEnd,
     2.0},
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
Computed<double> lossPercent(const LossRow& row, const VoltageLossInput& input, double cosPhi,
                             double sinPhi, double tanPhi, double& moment) {
    const double r = input.resistanceOhmPerKm.lenient;
    const double x = input.reactanceOhmPerKm.lenient;
    const double u = input.voltageKv.lenient;

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
    case LossFormula::UnityPowerEnd:
        first = input.endPowerKw;
        second = input.endPowerLengthKm;
        break;
    case LossFormula::LoadMomentSeveral:
        first = sumOfMoments(input.powerLoads);
        break;
    case LossFormula::UnityPowerSeveral:
        first = sumOfMoments(input.unityPowerLoads);
        break;
    case LossFormula::None:
        return Computed<double>::failed(QStringLiteral("线路种类与负荷情况不对应"));
    }

    StepChain e;
    double leading = 0.0;
    switch (leadOf(row.formula)) {
    case Lead::Current:
        leading = e.checked(e.quotient(row.factor, 10.0 * u) * (r * cosPhi + x * sinPhi));
        break;
    case Lead::Power:
        leading = e.quotient(row.factor * (r + x * tanPhi), 10.0 * (u * u));
        break;
    case Lead::UnityPower:
        leading = e.quotient(row.factor * r, 10.0 * (u * u));
        break;
    }
    if (e.failed())
        return e.result(leading);
    moment = first * second;
    return e.result(e.checked(leading * first * second));
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

// Longest line (m) that keeps the voltage loss within 5 % for the given line current:
// 5 % = k · Z · I · 0.46 · L / 1000. Without k or Z the divisor is zero; the length then fails
// with the reason k or Z could not be computed.
Computed<double> maxLengthForCurrent(const Computed<double>& temperatureFactor,
                                     const Computed<double>& impedance,
                                     const Computed<double>& current) {
    if (!temperatureFactor)
        return temperatureFactor;
    if (!impedance)
        return impedance;
    const double k = *temperatureFactor;
    const double z = *impedance;
    return current.then([k, z](double i) {
        StepChain e;
        const double length =
            e.divide(1000.0 * kVoltageLossLimitPercent, k * z * (i * kMaxLengthLineCoefficient));
        return e.result(roundHalfEven(length, 4));
    });
}

Computed<double> ratio(double numerator, double denominator) {
    StepChain e;
    return e.result(e.divide(numerator, denominator));
}

} // namespace

Lead leadOf(LossFormula formula) {
    switch (formula) {
    case LossFormula::LoadMomentEnd:
    case LossFormula::LoadMomentSeveral:
        return Lead::Power;
    case LossFormula::UnityPowerEnd:
    case LossFormula::UnityPowerSeveral:
        return Lead::UnityPower;
    default:
        return Lead::Current;
    }
}

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
        if (input.lineKind != row.kind || input.loadCase != row.loadCase) {
            continue;
        }
        selected = &row;
        double moment = 0.0;
        if (const Computed<double> loss =
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
    if (input.conductorTempC && input.ambientTempC) {
        StepChain e;
        result.temperatureFactor =
            e.result(e.checked((*input.conductorTempC - *input.ambientTempC) * 0.004 + 1.0));
    } else {
        result.temperatureFactor =
            Computed<double>::failed(QStringLiteral("线芯工作温度或环境温度未输入或不是数值"));
    }
    const Computed<double>& k = result.temperatureFactor;

    // 5. Impedance per km, carried on as its 15-digit text.
    if (input.resistanceOhmPerKm.strict && input.reactanceOhmPerKm.strict) {
        const double r = *input.resistanceOhmPerKm.strict;
        const double x = *input.reactanceOhmPerKm.strict;
        StepChain e;
        result.impedanceOhmPerKm = e.result(roundToSignificant(e.squareRoot(r * r + x * x), 15));
    } else {
        result.impedanceOhmPerKm =
            Computed<double>::failed(QStringLiteral("导线电阻R或感抗X未输入或不是数值"));
    }
    const Computed<double>& z = result.impedanceOhmPerKm;

    // 6. Maximum line length: from the end current, then, where the voltage says which, from the
    // end power as a single-phase (U ≤ 0.22 kV) or three-phase (U ≥ 0.38 kV) line current. A
    // sub-step that fails leaves what an earlier one computed; the length that was not computed
    // carries the reason of the last sub-step that ran.
    const double u = input.voltageKv.lenient;
    const double p = input.endPowerKw;
    result.lengthFromCurrentM = maxLengthForCurrent(k, z, input.endCurrentA);
    if (result.lengthFromCurrentM) {
        result.maxLengthM = result.lengthFromCurrentM;
        result.maxLengthSource = MaxLengthSource::FromCurrent;
    }
    QString lastReason = result.lengthFromCurrentM.reason();
    result.lengthFromPowerM =
        Computed<double>::failed(QStringLiteral("标称电压U不在0.22kV及以下或0.38kV及以上"));
    auto fromPower = [&](const Computed<double>& current, MaxLengthSource source) {
        const Computed<double> length = maxLengthForCurrent(k, z, current);
        if (!length) {
            lastReason = length.reason();
            if (!result.lengthFromPowerM)
                result.lengthFromPowerM = length;
            return;
        }
        result.lengthFromPowerM = length;
        result.maxLengthM = length;
        result.maxLengthSource = source;
    };
    if (input.voltageKv.strict && *input.voltageKv.strict <= 0.22)
        fromPower(ratio(p, u), MaxLengthSource::FromPowerSinglePhase);
    if (input.voltageKv.strict && *input.voltageKv.strict >= 0.38)
        fromPower(ratio(p, kSqrt3 * u * result.cosPhi), MaxLengthSource::FromPowerThreePhase);
    if (!result.maxLengthM)
        result.maxLengthM = Computed<double>::failed(lastReason);

    return result;
}

} // namespace korvane
