#include "voltage_loss/voltage_loss.h"

#include "base/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace korvane {
namespace {

// A field read both ways, as the form reads it.
FieldReading field(const char* text) {
    const QString qtext = QString::fromUtf8(text);
    return FieldReading{readLenient(qtext), readStrict(qtext)};
}

// The line of the worked examples: R = 0.387 Ω/km, X = 0.08 Ω/km, 0.38 kV, cos φ = 0.85,
// conductor at 70 °C in 30 °C air.
VoltageLossInput workedLine() {
    VoltageLossInput input;
    input.lineKind = LineKind::ThreePhase;
    input.loadCase = LoadCase::EndCurrent;
    input.resistanceOhmPerKm = field("0.387");
    input.reactanceOhmPerKm = field("0.08");
    input.voltageKv = field("0.38");
    input.powerFactor = 0.85;
    input.conductorTempC = 70.0;
    input.ambientTempC = 30.0;
    return input;
}

std::string optionalText(const Computed<double>& value) {
    return value ? formatFourDecimalsTrimmed(*value).toStdString() : std::string("unset");
}

struct AngleCase {
    std::optional<double> powerFactor;
    double phi;
    const char* cosPhi; // single precision, to 8 decimals
    const char* sinPhi;
    const char* tanPhi;
};

TEST(VoltageLossAngle, TrigonometricValuesAreRoundedToSinglePrecision) {
    const AngleCase cases[] = {
        {0.85, 0.5548110329800715, "0.85000002", "0.52678269", "0.61974436"},
        {0.5, 1.0471975511965976, "0.50000000", "0.86602539", "1.73205078"}, // φ = π/3
        // arccos 0 = π/2; the single-precision tangent is finite though huge (printed to 15
        // digits).
        {0.0, 1.5707963267948966, "0.00000000", "1.00000000", "16,331,239,480,885,200.00000000"},
        {1.0, 0.0, "1.00000000", "0.00000000", "0.00000000"},  // √(1 − c²) = 0: division fails
        {-1.0, 0.0, "1.00000000", "0.00000000", "0.00000000"}, // likewise, although arccos is π
        {1.2, 0.0, "1.00000000", "0.00000000", "0.00000000"},  // negative root
        {std::nullopt, 0.0, "1.00000000", "0.00000000", "0.00000000"}, // no reading
    };
    for (const AngleCase& c : cases) {
        VoltageLossInput input = workedLine();
        input.powerFactor = c.powerFactor;
        const VoltageLossResult result = computeVoltageLoss(input);
        const std::string label = c.powerFactor ? std::to_string(*c.powerFactor) : "missing";
        EXPECT_NEAR(result.phi, c.phi, 1e-15) << "cos φ " << label;
        EXPECT_EQ(formatFixed(result.cosPhi, 8).toStdString(), c.cosPhi) << "cos φ " << label;
        EXPECT_EQ(formatFixed(result.sinPhi, 8).toStdString(), c.sinPhi) << "cos φ " << label;
        EXPECT_EQ(formatFixed(result.tanPhi, 8).toStdString(), c.tanPhi) << "cos φ " << label;
    }
}

struct WorkedLossCase {
    const QString* kind;
    const QString* loadCase;
    std::optional<double> powerFactor;
    const char* voltage;
    const char* shownLoss;
    bool withinLimit;
};

// I = 100 A at L = 0.5 km; P = 30 kW at Lp = 0.5 km; cos φ = 1 loads 30 kW at 0.5 km and 20 kW
// at 0.3 km (ΣP·L = 21); loads at the selected cos φ of 100 kW at 1 km, which no row here uses.
// A = 0.387·0.85 + 0.08·0.52678 = 0.371093, B = 0.387 + 0.08·0.61974 = 0.436580.
TEST(VoltageLoss, WorkedExamplesOfTheDesignHandbook) {
    const WorkedLossCase cases[] = {
        // √3/3.8 · A · 50 = 8.457254
        {&line_kind::kThreePhase, &load_case::kEndCurrent, 0.85, "0.38", "8.4573", false},
        // B/1.444 · 15 = 4.535106
        {&line_kind::kThreePhase, &load_case::kEndPower4, 0.85, "0.38", "4.5351", true},
        // 0.387/1.444 · 21 = 5.628116
        {&line_kind::kThreePhase, &load_case::kSeveralUnityPower, 0.85, "0.38", "5.6281", false},
        // 2 · 5.628116
        {&line_kind::kSinglePhaseLineVoltage, &load_case::kSeveralUnityPower, 0.85, "0.38",
         "11.2562", false},
        // 2.25 · 4.535106 = 10.203989
        {&line_kind::kTwoPhaseNeutral, &load_case::kEndPower3, 0.85, "0.38", "10.2040", false},
        // at cos φ = 1 both end-power rows come to 2.25 · 0.387/1.444 · 15 = 9.045187
        {&line_kind::kTwoPhaseNeutral, &load_case::kEndPower3, 1.0, "0.38", "9.0452", false},
        {&line_kind::kTwoPhaseNeutral, &load_case::kEndUnityPower, 0.85, "0.38", "9.0452", false},
        // 2/2.2 · A · 50 = 16.867847
        {&line_kind::kSinglePhasePhaseVoltage, &load_case::kEndCurrent, 0.85, "0.22", "16.8678",
         false},
    };
    for (const WorkedLossCase& c : cases) {
        VoltageLossInput input = workedLine();
        input.lineKind = lineKindOf(*c.kind);
        input.loadCase = loadCaseOf(*c.loadCase);
        input.powerFactor = c.powerFactor;
        input.voltageKv = field(c.voltage);
        input.endCurrentA = 100.0;
        input.endLengthKm = 0.5;
        input.endPowerKw = 30.0;
        input.endPowerLengthKm = 0.5;
        input.unityPowerLoads = {{{30.0, 0.5}, {20.0, 0.3}, {0.0, 0.0}, {0.0, 0.0}}};
        input.powerLoads = {{{100.0, 1.0}, {0.0, 0.0}, {0.0, 0.0}, {0.0, 0.0}}};
        const VoltageLossResult result = computeVoltageLoss(input);
        const std::string label = (*c.kind + u' ' + *c.loadCase).toStdString();
        EXPECT_EQ(formatFixed(result.shownLossPercent, 4).toStdString(), c.shownLoss) << label;
        EXPECT_EQ(result.withinLimit, c.withinLimit) << label;
    }
}

// Every row of the kind/case table on one line chosen so that each term shows up in the result:
// R = X = 1 Ω/km, U = 1 kV, cos φ = 0.6 (sin 0.8, tan 4/3), so that
//   A = R·cos φ + X·sin φ = 1.4,   B = R + X·tan φ = 7/3,   R = 1,   10·U = 10·U² = 10;
// I = 10 A at L = 2 km (I·L = 20, 0.5·I·L = 10), P = 20 kW at Lp = 3 km (P·Lp = 60),
// ΣI·L = 1·1 + 2·2 + 3·3 + 4·3 = 26, ΣP·L = 4 × 2·1 = 8, ΣP·L (cos φ = 1) = 1 + 2 + 3 + 6 = 12.
VoltageLossInput tableLine() {
    VoltageLossInput input;
    input.resistanceOhmPerKm = field("1");
    input.reactanceOhmPerKm = field("1");
    input.voltageKv = field("1");
    input.powerFactor = 0.6;
    input.endCurrentA = 10.0;
    input.endLengthKm = 2.0;
    input.endPowerKw = 20.0;
    input.endPowerLengthKm = 3.0;
    input.currentLoads = {{{1.0, 1.0}, {2.0, 2.0}, {3.0, 3.0}, {4.0, 3.0}}};
    input.powerLoads = {{{2.0, 1.0}, {2.0, 1.0}, {2.0, 1.0}, {2.0, 1.0}}};
    input.unityPowerLoads = {{{1.0, 1.0}, {2.0, 1.0}, {3.0, 1.0}, {6.0, 1.0}}};
    return input;
}

struct RowCase {
    const QString* kind;
    const QString* loadCase;
    LossFormula formula;
    double factor;
    double moment;
    double lossPercent; // by hand, see each comment
};

TEST(VoltageLoss, EveryKindAndCaseRow) {
    const double s3 = std::sqrt(3.0);
    const RowCase cases[] = {
        // three-phase: √3/10·1.4·m for current moments, 1·(7/3)/10·m and 1/10·m for load moments
        {&line_kind::kThreePhase, &load_case::kEndCurrent, LossFormula::CurrentMomentEnd, s3, 20,
         4.849742}, // √3·0.14·20
        {&line_kind::kThreePhase, &load_case::kUniformCurrent, LossFormula::CurrentMomentUniform,
         s3, 10, 2.424871},
        {&line_kind::kThreePhase, &load_case::kSeveralCurrent, LossFormula::CurrentMomentSeveral,
         s3, 26, 6.304665}, // √3·0.14·26
        {&line_kind::kThreePhase, &load_case::kEndPower4, LossFormula::LoadMomentEnd, 1, 60,
         14.0}, // 7/30·60
        {&line_kind::kThreePhase, &load_case::kSeveralPower, LossFormula::LoadMomentSeveral, 1, 8,
         1.866667}, // 7/30·8
        {&line_kind::kThreePhase, &load_case::kSeveralUnityPower, LossFormula::UnityPowerSeveral, 1,
         12, 1.2},
        // single-phase on line voltage: twice each three-phase load-moment row, 2 for √3
        {&line_kind::kSinglePhaseLineVoltage, &load_case::kEndCurrent,
         LossFormula::CurrentMomentEnd, 2, 20, 5.6}, // 0.28·20
        {&line_kind::kSinglePhaseLineVoltage, &load_case::kUniformCurrent,
         LossFormula::CurrentMomentUniform, 2, 10, 2.8},
        {&line_kind::kSinglePhaseLineVoltage, &load_case::kSeveralCurrent,
         LossFormula::CurrentMomentSeveral, 2, 26, 7.28}, // 0.28·26
        {&line_kind::kSinglePhaseLineVoltage, &load_case::kEndPower4, LossFormula::LoadMomentEnd, 2,
         60, 28.0},
        {&line_kind::kSinglePhaseLineVoltage, &load_case::kSeveralPower,
         LossFormula::LoadMomentSeveral, 2, 8, 3.733333},
        {&line_kind::kSinglePhaseLineVoltage, &load_case::kSeveralUnityPower,
         LossFormula::UnityPowerSeveral, 2, 12, 2.4},
        // two-phase with neutral: 1.5·√3 for current moments, 2.25 for load moments
        {&line_kind::kTwoPhaseNeutral, &load_case::kEndCurrent, LossFormula::CurrentMomentEnd,
         1.5 * s3, 20, 7.274614}, // 1.5·√3·0.14·20
        {&line_kind::kTwoPhaseNeutral, &load_case::kUniformCurrent,
         LossFormula::CurrentMomentUniform, 1.5 * s3, 10, 3.637307},
        {&line_kind::kTwoPhaseNeutral, &load_case::kEndPower3, LossFormula::LoadMomentEnd, 2.25, 60,
         31.5}, // 2.25·7/30·60
        {&line_kind::kTwoPhaseNeutral, &load_case::kEndUnityPower, LossFormula::UnityPowerEnd, 2.25,
         60, 13.5}, // 2.25·0.1·60
        // single-phase on phase voltage: 2 throughout
        {&line_kind::kSinglePhasePhaseVoltage, &load_case::kEndCurrent,
         LossFormula::CurrentMomentEnd, 2, 20, 5.6},
        {&line_kind::kSinglePhasePhaseVoltage, &load_case::kUniformCurrent,
         LossFormula::CurrentMomentUniform, 2, 10, 2.8},
        {&line_kind::kSinglePhasePhaseVoltage, &load_case::kEndPower3, LossFormula::LoadMomentEnd,
         2, 60, 28.0},
        {&line_kind::kSinglePhasePhaseVoltage, &load_case::kEndUnityPowerOrDc,
         LossFormula::UnityPowerEnd, 2, 60, 12.0},
        // cases that belong to another kind's list
        {&line_kind::kThreePhase, &load_case::kEndPower3, LossFormula::None, 0, 0, 0.0},
        {&line_kind::kSinglePhaseLineVoltage, &load_case::kEndUnityPower, LossFormula::None, 0, 0,
         0.0},
        {&line_kind::kTwoPhaseNeutral, &load_case::kSeveralCurrent, LossFormula::None, 0, 0, 0.0},
        {&line_kind::kTwoPhaseNeutral, &load_case::kEndPower4, LossFormula::None, 0, 0, 0.0},
        {&line_kind::kTwoPhaseNeutral, &load_case::kEndUnityPowerOrDc, LossFormula::None, 0, 0,
         0.0},
        {&line_kind::kSinglePhasePhaseVoltage, &load_case::kSeveralPower, LossFormula::None, 0, 0,
         0.0},
        {&line_kind::kSinglePhasePhaseVoltage, &load_case::kEndUnityPower, LossFormula::None, 0, 0,
         0.0},
    };
    for (const RowCase& c : cases) {
        VoltageLossInput input = tableLine();
        input.lineKind = lineKindOf(*c.kind);
        input.loadCase = loadCaseOf(*c.loadCase);
        const VoltageLossResult result = computeVoltageLoss(input);
        const std::string label = (*c.kind + QStringLiteral(" / ") + *c.loadCase).toStdString();
        EXPECT_EQ(result.formula, c.formula) << label;
        EXPECT_DOUBLE_EQ(result.factor, c.factor) << label;
        EXPECT_DOUBLE_EQ(result.moment, c.moment) << label;
        // single-precision sin and cos put the hand figures within a few parts in 10^8
        EXPECT_NEAR(result.lossPercent, c.lossPercent, 1e-6 * (1.0 + c.lossPercent)) << label;
    }
}

struct LossFailureCase {
    const char* name;
    void (*setUp)(VoltageLossInput&);
    LossProblem problem;
};

TEST(VoltageLoss, FailingFormulaGivesZeroLossAndNoFormula) {
    const LossFailureCase cases[] = {
        {"zero voltage", [](VoltageLossInput& in) { in.voltageKv = field("0"); },
         LossProblem::NoVoltage},
        {"empty voltage", [](VoltageLossInput& in) { in.voltageKv = field(""); },
         LossProblem::NoVoltage},
        {"voltage whose square underflows",
         [](VoltageLossInput& in) {
             in.loadCase = LoadCase::EndPower4;
             in.voltageKv = field("1e-200");
         },
         LossProblem::NotFinite},
        {"moment beyond the largest double",
         [](VoltageLossInput& in) {
             in.endLengthKm = 1e308; // 100 A · 1e308 km
         },
         LossProblem::NotFinite},
        {"unknown line kind",
         [](VoltageLossInput& in) { in.lineKind = lineKindOf(QStringLiteral("三相")); },
         LossProblem::NoMatchingCase},
        {"case text with a trailing blank",
         [](VoltageLossInput& in) { in.loadCase = loadCaseOf(load_case::kEndCurrent + u' '); },
         LossProblem::NoMatchingCase},
        {"no case selected", [](VoltageLossInput& in) { in.loadCase.reset(); },
         LossProblem::NoMatchingCase},
    };
    for (const LossFailureCase& c : cases) {
        VoltageLossInput input = workedLine();
        input.endCurrentA = 100.0;
        input.endLengthKm = 0.5;
        input.endPowerKw = 30.0;
        input.endPowerLengthKm = 0.5;
        c.setUp(input);
        const VoltageLossResult result = computeVoltageLoss(input);
        EXPECT_EQ(result.formula, LossFormula::None) << c.name;
        EXPECT_EQ(result.lossPercent, 0.0) << c.name;
        EXPECT_EQ(result.shownLossPercent, 0.0) << c.name;
        EXPECT_EQ(result.factor, 0.0) << c.name;
        EXPECT_EQ(result.moment, 0.0) << c.name;
        EXPECT_EQ(result.problem, c.problem) << c.name;
        EXPECT_FALSE(result.withinLimit) << c.name; // a loss never computed never passes
        // the maximum length does not depend on the loss and is still worked out
        EXPECT_EQ(optionalText(result.lengthFromCurrentM), "237.1138") << c.name;
    }
}

// Only the loads of the selected case make the line real: figures in the other frames do not.
TEST(VoltageLoss, RealLineNeedsALoadOfTheSelectedCase) {
    struct Case {
        const QString* loadCase;
        void (*setUp)(VoltageLossInput&);
        LossProblem problem;
    };
    const Case cases[] = {
        {&load_case::kSeveralPower,
         [](VoltageLossInput& in) {
             in.unityPowerLoads[0] = {30.0, 0.5};
         },
         LossProblem::NoLoad},
        {&load_case::kSeveralUnityPower,
         [](VoltageLossInput& in) {
             in.powerLoads[0] = {30.0, 0.5};
         },
         LossProblem::NoLoad},
        {&load_case::kSeveralCurrent,
         [](VoltageLossInput& in) {
             in.endCurrentA = 100.0;
             in.endLengthKm = 0.5;
         },
         LossProblem::NoLoad},
        {&load_case::kEndPower4,
         [](VoltageLossInput& in) {
             in.currentLoads[0] = {100.0, 0.5};
         },
         LossProblem::NoLoad},
        {&load_case::kUniformCurrent,
         [](VoltageLossInput& in) {
             in.endCurrentA = 100.0;
             in.endLengthKm = -0.5;
         },
         LossProblem::NegativeLoad},
        {&load_case::kSeveralPower,
         [](VoltageLossInput& in) {
             in.powerLoads = {{{30.0, 0.5}, {-5.0, 0.2}, {}, {}}};
         },
         LossProblem::NegativeLoad},
        {&load_case::kSeveralPower,
         [](VoltageLossInput& in) {
             in.powerLoads = {{{30.0, 0.5}, {0.0, 0.2}, {}, {}}};
         },
         LossProblem::None},
    };
    for (const Case& c : cases) {
        VoltageLossInput input = workedLine();
        input.loadCase = loadCaseOf(*c.loadCase);
        c.setUp(input);
        const VoltageLossResult result = computeVoltageLoss(input);
        EXPECT_EQ(result.problem, c.problem) << c.loadCase->toStdString();
        EXPECT_EQ(result.withinLimit, c.problem == LossProblem::None) << c.loadCase->toStdString();
    }
}

struct LimitCase {
    double unityMoment; // Δu = R/(10·U²)·ΣP·L = ΣP·L / 10 with R = 1 Ω/km, U = 1 kV
    const char* shown;
    bool withinLimit;
};

TEST(VoltageLoss, TheFivePercentLimitIsJudgedOnTheShownValue) {
    const LimitCase cases[] = {
        {50.0, "5.0000", true},     {49.9996, "5.0000", true}, // 4.99996 shows as 5.0000
        {50.0004, "5.0000", true},                             // 5.00004 likewise
        {50.0005, "5.0001", false}, {50.001, "5.0001", false},
        {49.0, "4.9000", true},     {-10.0, "-1.0000", false}, // a negative load is no real line
    };
    for (const LimitCase& c : cases) {
        VoltageLossInput input = tableLine();
        input.lineKind = LineKind::ThreePhase;
        input.loadCase = LoadCase::SeveralUnityPower;
        input.unityPowerLoads = {{{c.unityMoment, 1.0}, {0.0, 0.0}, {0.0, 0.0}, {0.0, 0.0}}};
        const VoltageLossResult result = computeVoltageLoss(input);
        EXPECT_EQ(formatFixed(result.shownLossPercent, 4).toStdString(), c.shown) << c.unityMoment;
        EXPECT_EQ(result.withinLimit, c.withinLimit) << c.unityMoment;
    }
}

TEST(MaxLength, TemperatureFactorAndImpedanceOfTheWorkedLine) {
    VoltageLossInput input = workedLine();
    input.endCurrentA = 100.0;
    input.endPowerKw = 30.0;
    const VoltageLossResult result = computeVoltageLoss(input);
    ASSERT_TRUE(result.temperatureFactor.has_value());
    EXPECT_DOUBLE_EQ(*result.temperatureFactor, 1.16); // (70 − 30)·0.004 + 1
    ASSERT_TRUE(result.impedanceOhmPerKm.has_value());
    EXPECT_EQ(formatFixed(*result.impedanceOhmPerKm, 8), QStringLiteral("0.39518224"));
    // √(0.387² + 0.08²) carried as its 15-digit text
    EXPECT_EQ(*result.impedanceOhmPerKm, 0.395182236442885);

    // each length is kept as a four-decimal quantity, not only printed as one
    ASSERT_TRUE(result.lengthFromCurrentM.has_value());
    EXPECT_EQ(*result.lengthFromCurrentM, 237.1138); // 237.113766…
    ASSERT_TRUE(result.maxLengthM.has_value());
    EXPECT_EQ(*result.maxLengthM, 442.1796); // 442.179573…
}

struct MaxLengthCase {
    const char* name;
    void (*setUp)(VoltageLossInput&);
    const char* fromCurrent; // "unset" when the sub-step failed
    const char* fromPower;
    const char* maxLength;
    MaxLengthSource source;
};

// With k = 1.16, Z = 0.395182236442885:
//   from I = 100 A:                    5000 / (k·Z·100·0.46)               = 237.11377
//   from P = 30 kW three-phase 0.38 kV: 5000 / (k·Z·(30/(√3·0.38·0.85))·0.46) = 442.17957
//   from P = 30 kW single-phase 0.22 kV: 5000 / (k·Z·(30/0.22)·0.46)       = 173.88343
TEST(MaxLength, SubStepsByVoltage) {
    const MaxLengthCase cases[] = {
        {"0.38 kV: three-phase power overrides current", [](VoltageLossInput&) {}, "237.1138",
         "442.1796", "442.1796", MaxLengthSource::FromPowerThreePhase},
        {"0.22 kV: single-phase power", [](VoltageLossInput& in) { in.voltageKv = field("0.22"); },
         "237.1138", "173.8834", "173.8834", MaxLengthSource::FromPowerSinglePhase},
        // 442.17957 · 10/0.38
        {"10 kV counts as three-phase", [](VoltageLossInput& in) { in.voltageKv = field("10"); },
         "237.1138", "11636.3046", "11636.3046", MaxLengthSource::FromPowerThreePhase},
        {"0.3 kV lies between: current alone",
         [](VoltageLossInput& in) { in.voltageKv = field("0.3"); }, "237.1138", "unset", "237.1138",
         MaxLengthSource::FromCurrent},
        {"voltage without strict reading: current alone",
         [](VoltageLossInput& in) { in.voltageKv = field("0.38kV"); }, "237.1138", "unset",
         "237.1138", MaxLengthSource::FromCurrent},
        {"zero voltage: P/U fails, current alone",
         [](VoltageLossInput& in) { in.voltageKv = field("0"); }, "237.1138", "unset", "237.1138",
         MaxLengthSource::FromCurrent},
        {"no end power: current alone", [](VoltageLossInput& in) { in.endPowerKw = 0.0; },
         "237.1138", "unset", "237.1138", MaxLengthSource::FromCurrent},
        {"no end current: power alone", [](VoltageLossInput& in) { in.endCurrentA = 0.0; }, "unset",
         "442.1796", "442.1796", MaxLengthSource::FromPowerThreePhase},
        {"no end current at 0.22 kV",
         [](VoltageLossInput& in) {
             in.endCurrentA = 0.0;
             in.voltageKv = field("0.22");
         },
         "unset", "173.8834", "173.8834", MaxLengthSource::FromPowerSinglePhase},
        {"neither current nor power",
         [](VoltageLossInput& in) {
             in.endCurrentA = 0.0;
             in.endPowerKw = 0.0;
         },
         "unset", "unset", "unset", MaxLengthSource::None},
        // 442.17957 · 0.85000002 (cos φ in the denominator)
        {"unity power factor", [](VoltageLossInput& in) { in.powerFactor = 1.0; }, "237.1138",
         "520.2112", "520.2112", MaxLengthSource::FromPowerThreePhase},
        // k = 1: 237.11377 · 1.16
        {"conductor at ambient temperature", [](VoltageLossInput& in) { in.conductorTempC = 30.0; },
         "275.052", "512.9283", "512.9283", MaxLengthSource::FromPowerThreePhase},
        {"conductor temperature missing", [](VoltageLossInput& in) { in.conductorTempC.reset(); },
         "unset", "unset", "unset", MaxLengthSource::None},
        {"ambient temperature missing", [](VoltageLossInput& in) { in.ambientTempC.reset(); },
         "unset", "unset", "unset", MaxLengthSource::None},
        // (30 − 280)·0.004 + 1 = 0
        {"temperature factor zero",
         [](VoltageLossInput& in) {
             in.conductorTempC = 30.0;
             in.ambientTempC = 280.0;
         },
         "unset", "unset", "unset", MaxLengthSource::None},
        {"resistance without strict reading",
         [](VoltageLossInput& in) { in.resistanceOhmPerKm = field("0.387Ω"); }, "unset", "unset",
         "unset", MaxLengthSource::None},
        {"reactance empty", [](VoltageLossInput& in) { in.reactanceOhmPerKm = field(""); }, "unset",
         "unset", "unset", MaxLengthSource::None},
    };
    for (const MaxLengthCase& c : cases) {
        VoltageLossInput input = workedLine();
        input.endCurrentA = 100.0;
        input.endPowerKw = 30.0;
        c.setUp(input);
        const VoltageLossResult result = computeVoltageLoss(input);
        EXPECT_EQ(optionalText(result.lengthFromCurrentM), c.fromCurrent) << c.name;
        EXPECT_EQ(optionalText(result.lengthFromPowerM), c.fromPower) << c.name;
        EXPECT_EQ(optionalText(result.maxLengthM), c.maxLength) << c.name;
        EXPECT_EQ(result.maxLengthSource, c.source) << c.name;
    }
}

// A length that could not be worked out says why: the missing k or Z before anything else, then
// the last sub-step that ran.
TEST(MaxLength, ALengthNotComputedCarriesItsReason) {
    struct Case {
        const char* name;
        void (*setUp)(VoltageLossInput&);
        const char* maxLength; // reason, empty when computed
        const char* fromPower; // likewise
    };
    const char* const noTemperature = "线芯工作温度或环境温度未输入或不是数值";
    const char* const noImpedance = "导线电阻R或感抗X未输入或不是数值";
    const Case cases[] = {
        {"worked line", [](VoltageLossInput&) {}, "", ""},
        {"conductor temperature missing", [](VoltageLossInput& in) { in.conductorTempC.reset(); },
         noTemperature, noTemperature},
        {"reactance empty", [](VoltageLossInput& in) { in.reactanceOhmPerKm = field(""); },
         noImpedance, noImpedance},
        {"temperature factor zero",
         [](VoltageLossInput& in) {
             in.conductorTempC = 30.0;
             in.ambientTempC = 280.0;
         },
         "除数为0", "除数为0"},
        {"0.3 kV without end current",
         [](VoltageLossInput& in) {
             in.voltageKv = field("0.3");
             in.endCurrentA = 0.0;
         },
         "除数为0", "标称电压U不在0.22kV及以下或0.38kV及以上"},
        {"0.3 kV with end current", [](VoltageLossInput& in) { in.voltageKv = field("0.3"); }, "",
         "标称电压U不在0.22kV及以下或0.38kV及以上"},
    };
    for (const Case& c : cases) {
        VoltageLossInput input = workedLine();
        input.endCurrentA = 100.0;
        input.endPowerKw = 30.0;
        c.setUp(input);
        const VoltageLossResult result = computeVoltageLoss(input);
        EXPECT_EQ(result.maxLengthM.reason().toStdString(), c.maxLength) << c.name;
        EXPECT_EQ(result.maxLengthM.ok(), *c.maxLength == '\0') << c.name;
        EXPECT_EQ(result.lengthFromPowerM.reason().toStdString(), c.fromPower) << c.name;
    }
}

} // namespace
} // namespace korvane
