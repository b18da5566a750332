#include "project/lamp_feeder.h"

#include "voltage_loss/voltage_loss.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <limits>
#include <numbers>

namespace korvane {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

FeederConductors cable(double r, double x, double rn, double xn) {
    return FeederConductors{r, x, rn, xn};
}

LampFeeder feeder(int poles, double firstM, double spacingM, FeederConnection connection,
                  Phase start, double powerW = 136.4, double cosPhi = 1.0, double ballast = 1.0,
                  int lampsPerPole = 1) {
    LampFeeder f;
    f.poles = poles;
    f.lampsPerPole = lampsPerPole;
    f.lampPowerW = powerW;
    f.lampPowerFactor = cosPhi;
    f.ballastFactor = ballast;
    f.spacingM = spacingM;
    f.firstPoleM = firstM;
    f.connection = connection;
    f.startPhase = start;
    return f;
}

// The published check: 20 lamps of 0.62 A, one per pole at 50, 100, … 1000 m:
// M = 0.62 A × 0.05 km × (1 + 2 + … + 20) = 0.62 × 0.05 × 210 = 6.51 A·km. On one phase the
// handbook figure is 2·(R cos φ + X sin φ)·M/(10·0.22); the phasor drop at the last pole is the
// same sum (Σ over segments of I·ℓ = Σ over lamps of i·L, neutral equal to the phase).
TEST(LampFeeder, TwentyLampsOverOneKilometreGiveTheHandbookMoment) {
    struct Row {
        double powerW, ballast, cosPhi, r, x;
    };
    const Row rows[] = {
        {136.4, 1.0, 1.0, 1.15, 0.08},  // LED: 136.4 W / 220 V = 0.62 A
        {102.3, 1.2, 0.9, 1.15, 0.08},  // discharge lamp: 102.3 × 1.2 / (220 × 0.9) = 0.62 A
        {96.72, 1.3, 0.85, 0.727, 0.1}, // 96.72 × 1.3 / (220 × 0.85) = 0.6724… A
    };
    for (const Row& row : rows) {
        const auto result =
            computeLampFeeder(feeder(20, 50, 50, FeederConnection::SinglePhase, Phase::L1,
                                     row.powerW, row.cosPhi, row.ballast),
                              cable(row.r, row.x, row.r, row.x));
        ASSERT_TRUE(result.ok()) << result.reason().toStdString();
        const double i = row.powerW * row.ballast / (220.0 * row.cosPhi);
        const double sinPhi = std::sqrt(1.0 - row.cosPhi * row.cosPhi);
        const double m = i * 0.05 * 210.0;
        const double loss = 2.0 * (row.r * row.cosPhi + row.x * sinPhi) * m / (10.0 * 0.22);
        EXPECT_NEAR(result->lampCurrentA, i, 1e-12);
        EXPECT_DOUBLE_EQ(result->totalLengthM, 1000.0);
        EXPECT_NEAR(result->currentMomentAkm, m, 1e-12);
        EXPECT_EQ(result->momentLineKind, LineKind::SinglePhasePhaseVoltage);
        // The page carries cos φ and sin φ in single precision.
        EXPECT_NEAR(result->momentLossPercent, loss, 1e-6 * loss);
        EXPECT_NEAR(result->worstLossPercent, loss, 1e-12);
        EXPECT_EQ(result->worstPole, 20);
        EXPECT_EQ(result->worstPhase, Phase::L1);
        EXPECT_NEAR(result->neutralCurrentA, 20 * i, 1e-12);
        EXPECT_NEAR(result->largestPhaseCurrentA, 20 * i, 1e-12);
    }
    const auto led = computeLampFeeder(feeder(20, 50, 50, FeederConnection::SinglePhase, Phase::L1),
                                       cable(1.15, 0.08, 1.15, 0.08));
    EXPECT_NEAR(led->currentMomentAkm, 6.51, 1e-12);
}

// One pole on one phase is the page's end-load case (1) of "接相电压的单相负荷线路" at 0.22 kV.
TEST(LampFeeder, SinglePoleEqualsThePageEndLoadFormula) {
    struct Row {
        double powerW, ballast, cosPhi, firstM, r, x;
        Phase phase;
    };
    const Row rows[] = {
        {250, 1.2, 0.85, 300, 0.727, 0.08, Phase::L2},
        {400, 1.25, 0.9, 850, 1.83, 0.09, Phase::L3},
        {120, 1.0, 0.95, 40, 4.61, 0.1, Phase::L1},
    };
    for (const Row& row : rows) {
        LampFeeder f = feeder(1, row.firstM, 0, FeederConnection::SinglePhase, row.phase,
                              row.powerW, row.cosPhi, row.ballast, 2);
        const auto result = computeLampFeeder(f, cable(row.r, row.x, row.r, row.x));
        ASSERT_TRUE(result.ok()) << result.reason().toStdString();

        VoltageLossInput page;
        page.lineKind = LineKind::SinglePhasePhaseVoltage;
        page.loadCase = LoadCase::EndCurrent;
        page.resistanceOhmPerKm = FieldReading{row.r, row.r};
        page.reactanceOhmPerKm = FieldReading{row.x, row.x};
        page.voltageKv = FieldReading{0.22, 0.22};
        page.powerFactor = row.cosPhi;
        page.endCurrentA = 2 * row.powerW * row.ballast / (220.0 * row.cosPhi);
        page.endLengthKm = row.firstM / 1000.0;
        const double expected = computeVoltageLoss(page).lossPercent;

        ASSERT_EQ(result->poles.size(), 1u);
        const double atLamps = result->poles[0].lossPercent[static_cast<int>(row.phase)];
        EXPECT_NEAR(atLamps, expected, 1e-6 * expected);
        EXPECT_DOUBLE_EQ(result->worstLossPercent, atLamps);
        EXPECT_NEAR(result->momentLossPercent, expected, 1e-12 * expected);
        EXPECT_DOUBLE_EQ(result->totalLengthM, row.firstM);
    }
}

// Poles L1, L2, L3 repeated: the load at the supply is balanced. Phase k's drop at the end is its
// own lamps' moment M_k through the phase conductor plus the neutral of the inner segments (which
// carry an unbalanced remainder); the neutral part has the three phase voltages as weights, which
// add to zero, so the mean over the three phases is (R cos φ + X sin φ)·M̄/(10·U0), with
// M̄ = Σ (pole current/3)·L: the three-phase formula √3·(…)·M̄/(10·√3·U0).
TEST(LampFeeder, BalancedFeederInTurnHasNoNeutralCurrentAtTheSupply) {
    const double r = 0.727, x = 0.08, cosPhi = 0.85, sinPhi = std::sqrt(1 - cosPhi * cosPhi);
    for (int k : {1, 2, 4, 20}) {
        const int n = 3 * k;
        const auto result = computeLampFeeder(
            feeder(n, 60, 30, FeederConnection::PhasesInTurn, Phase::L2, 250, cosPhi, 1.2),
            cable(r, x, r, x));
        ASSERT_TRUE(result.ok()) << result.reason().toStdString();
        const double pole = 250 * 1.2 / (220 * cosPhi);
        EXPECT_NEAR(result->neutralCurrentA, 0.0, 1e-9) << n << " poles";
        for (double current : result->phaseCurrentsA)
            EXPECT_NEAR(current, k * pole, 1e-12) << n << " poles";
        double sumKm = 0;
        for (int i = 0; i < n; ++i)
            sumKm += (60 + 30 * i) / 1000.0;
        const double m = pole / 3 * sumKm;
        const double lead = std::numbers::sqrt3 * (r * cosPhi + x * sinPhi);
        const auto& end = result->poles.back().lossPercent;
        EXPECT_NEAR((end[0] + end[1] + end[2]) / 3, lead * m / (10 * std::numbers::sqrt3 * 0.22),
                    1e-12);
        EXPECT_NEAR(result->currentMomentAkm, m, 1e-12);
        EXPECT_EQ(result->momentLineKind, LineKind::ThreePhase);
        EXPECT_DOUBLE_EQ(result->momentVoltageKv, 0.38);
        EXPECT_NEAR(result->momentLossPercent, lead * m / 3.8, 1e-6 * lead * m / 3.8);
    }
    // Lumped at 0.6 km (three poles 1 mm apart), every segment that matters is balanced: each
    // phase drops by the three-phase formula for its own current.
    const auto lumped = computeLampFeeder(
        feeder(3, 600, 0.001, FeederConnection::PhasesInTurn, Phase::L1, 250, cosPhi, 1.2),
        cable(r, x, r, x));
    const double i = 250 * 1.2 / (220 * cosPhi);
    const double threePhase = std::numbers::sqrt3 * (r * cosPhi + x * sinPhi) * i * 0.6 /
                              (10 * std::numbers::sqrt3 * 0.22);
    for (double loss : lumped->poles.back().lossPercent)
        EXPECT_NEAR(loss, threePhase, 1e-5 * threePhase);
}

// Resistive lamps (cos φ = 1, X = 0) worked by hand with L1 at 0°, L2 at −120°, L3 at +120°.
// 4 poles from L3 at a = 50 m, s = 30 m: L3, L1, L2, L3. Segments: supply–1 carries L3 twice and
// L1, L2 once (neutral = one pole current at +120°); 1–2 is balanced; 2–3 carries L2 and L3
// (neutral = −I(L1)); 3–4 carries L3 (neutral at +120°). Along L3: phase R·i·(2a + 3s), neutral
// Rn·i·(a + 0.5·s + s). With 2 lamps per pole, i is the pole current.
TEST(LampFeeder, UnbalancedFeederNamesTheWorstPhaseAndCarriesNeutralCurrent) {
    const double r = 0.727, rn = 1.454; // neutral of half the section
    const auto result = computeLampFeeder(
        feeder(4, 50, 30, FeederConnection::PhasesInTurn, Phase::L3, 110, 1.0, 1.0, 2),
        cable(r, 0, rn, 0));
    ASSERT_TRUE(result.ok()) << result.reason().toStdString();
    const double i = 2 * 110 / 220.0;
    EXPECT_NEAR(result->neutralCurrentA, i, 1e-12);
    EXPECT_NEAR(result->phaseCurrentsA[2], 2 * i, 1e-12);
    EXPECT_NEAR(result->phaseCurrentsA[0], i, 1e-12);
    EXPECT_NEAR(result->largestPhaseCurrentA, 2 * i, 1e-12);
    const double a = 0.05, s = 0.03;
    const double expected[] = {i * (r * 2 * a + rn * a), i * (r * (a + s) - rn * 0.5 * a),
                               i * (r * (a + 2 * s) + rn * (0.5 * s - 0.5 * a)),
                               i * (r * (2 * a + 3 * s) + rn * (a + 1.5 * s))};
    const Phase phases[] = {Phase::L3, Phase::L1, Phase::L2, Phase::L3};
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(result->poles[p].phase, phases[p]);
        EXPECT_NEAR(result->poles[p].lossPercent[static_cast<int>(phases[p])],
                    expected[p] / 220 * 100, 1e-12)
            << "pole " << p + 1;
    }
    EXPECT_EQ(result->worstPole, 4);
    EXPECT_EQ(result->worstPhase, Phase::L3);

    // 5 poles from L2 with cos φ = 0.85: two poles each on L2 and L3, one on L1; the neutral at
    // the supply is the phasor sum I1 + I2 + I3.
    const double cosPhi = 0.85, phi = std::acos(cosPhi);
    const auto five = computeLampFeeder(
        feeder(5, 40, 35, FeederConnection::PhasesInTurn, Phase::L2, 250, cosPhi, 1.2),
        cable(0.727, 0.08, 0.727, 0.08));
    const double ip = 250 * 1.2 / (220 * cosPhi);
    const std::complex<double> sum = std::polar(ip, -phi) + std::polar(2 * ip, -120 * kDeg - phi) +
                                     std::polar(2 * ip, 120 * kDeg - phi);
    EXPECT_NEAR(five->neutralCurrentA, std::abs(sum), 1e-12);
    EXPECT_GT(five->neutralCurrentA, 0.1);
    EXPECT_EQ(five->worstPole, 5); // L3 has the poles at 75 m and 180 m, the largest moment
    EXPECT_EQ(five->worstPhase, Phase::L3);
}

// Superposition, a second way to the same drops: each lamp's current runs from the supply to its
// pole, so at pole m it adds i_l·Z·min(L_l, L_m) to its own phase conductor and to the neutral.
TEST(LampFeeder, DropsAtEveryPoleEqualTheSuperpositionOfTheLamps) {
    const LampFeeder f =
        feeder(11, 45, 32, FeederConnection::PhasesInTurn, Phase::L2, 150, 0.9, 1.15, 2);
    const FeederConductors c = cable(1.15, 0.087, 1.83, 0.09);
    const auto result = computeLampFeeder(f, c);
    ASSERT_TRUE(result.ok());
    const double angle[] = {0, -120 * kDeg, 120 * kDeg};
    const double ip = 2 * 150 * 1.15 / (220 * 0.9), phi = std::acos(0.9);
    for (int m = 0; m < f.poles; ++m) {
        for (int k = 0; k < 3; ++k) {
            std::complex<double> drop;
            for (int l = 0; l < f.poles; ++l) {
                const int phase = (1 + l) % 3;
                const double shared = (45 + 32 * std::min(l, m)) / 1000.0;
                const std::complex<double> lamp = std::polar(ip, angle[phase] - phi) * shared;
                if (phase == k)
                    drop += lamp * std::complex<double>(c.resistanceOhmPerKm, c.reactanceOhmPerKm);
                drop += lamp * std::complex<double>(c.neutralResistanceOhmPerKm,
                                                    c.neutralReactanceOhmPerKm);
            }
            const double along = (drop * std::polar(1.0, -angle[k])).real() / 220 * 100;
            EXPECT_NEAR(result->poles[m].lossPercent[k], along, 1e-12) << m << " " << k;
        }
    }
}

TEST(LampFeeder, ImpossibleInputFailsWithItsReason) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        std::function<void(LampFeeder&, FeederConductors&)> spoil;
        const char* reason;
    };
    const Row rows[] = {
        {[](LampFeeder& f, FeederConductors&) { f.poles = 0; }, "灯杆数量应为不小于1的整数"},
        {[](LampFeeder& f, FeederConductors&) { f.poles = 10001; }, "灯杆数量不应超过10000"},
        {[](LampFeeder& f, FeederConductors&) { f.lampsPerPole = 0; }, "每杆灯数应为不小于1的整数"},
        {[](LampFeeder& f, FeederConductors&) { f.lampPowerW = 0; }, "灯具功率应大于0"},
        {[&](LampFeeder& f, FeederConductors&) { f.lampPowerW = inf; }, "灯具功率不是有效数值"},
        {[](LampFeeder& f, FeederConductors&) { f.lampPowerFactor = 1.01; },
         "灯具功率因数应大于0且不大于1"},
        {[](LampFeeder& f, FeederConductors&) { f.lampPowerFactor = 0; },
         "灯具功率因数应大于0且不大于1"},
        {[](LampFeeder& f, FeederConductors&) { f.ballastFactor = 0.9; },
         "镇流器或驱动器系数应在1至2之间"},
        {[](LampFeeder& f, FeederConductors&) { f.ballastFactor = 2.5; },
         "镇流器或驱动器系数应在1至2之间"},
        {[](LampFeeder& f, FeederConductors&) { f.spacingM = 0; }, "灯杆间距应大于0"},
        {[](LampFeeder& f, FeederConductors&) { f.spacingM = -30; }, "灯杆间距应大于0"},
        {[&](LampFeeder& f, FeederConductors&) { f.spacingM = nan; }, "灯杆间距不是有效数值"},
        {[](LampFeeder& f, FeederConductors&) { f.firstPoleM = -1; }, "电源至首杆距离不应小于0"},
        {[](LampFeeder& f, FeederConductors&) { f.phaseVoltageV = 0; }, "相电压应大于0"},
        {[](LampFeeder& f, FeederConductors&) { f.startPhase = static_cast<Phase>(3); },
         "首杆所接相别无效"},
        {[](LampFeeder&, FeederConductors& c) { c.resistanceOhmPerKm = 0; }, "相线电阻应大于0"},
        {[](LampFeeder&, FeederConductors& c) { c.reactanceOhmPerKm = -0.01; },
         "相线感抗不应小于0"},
        {[](LampFeeder&, FeederConductors& c) { c.neutralResistanceOhmPerKm = 0; },
         "中性线电阻应大于0"},
        {[&](LampFeeder&, FeederConductors& c) { c.neutralReactanceOhmPerKm = nan; },
         "中性线感抗不是有效数值"},
    };
    for (const Row& row : rows) {
        LampFeeder f = feeder(30, 50, 30, FeederConnection::PhasesInTurn, Phase::L1);
        FeederConductors c = cable(0.727, 0.08, 0.727, 0.08);
        row.spoil(f, c);
        const auto result = computeLampFeeder(f, c);
        EXPECT_FALSE(result.ok()) << row.reason;
        EXPECT_EQ(result.reason().toStdString(), row.reason);
    }
    // A single pole needs no spacing; an oversized lamp still gives a (failing) figure.
    EXPECT_TRUE(computeLampFeeder(feeder(1, 50, 0, FeederConnection::SinglePhase, Phase::L1),
                                  cable(0.727, 0.08, 0.727, 0.08))
                    .ok());
}

// A feeder of 6 000 poles is walked to its end like one of 60 (the time of both is a figure of
// korvane-project-bench): every pole has its drop, and the last stands at 40 m + (n − 1)·30 m.
TEST(LampFeeder, ComputesLongFeedersToTheirLastPole) {
    const FeederConductors c = cable(0.727, 0.08, 0.727, 0.08);
    for (int poles : {60, 6000}) {
        const Computed<LampFeederResult> r = computeLampFeeder(
            feeder(poles, 40, 30, FeederConnection::PhasesInTurn, Phase::L1, 150, 0.9, 1.2), c);
        ASSERT_TRUE(r.ok()) << poles;
        EXPECT_GT(r->worstLossPercent, 0) << poles;
        ASSERT_EQ(r->poles.size(), size_t(poles));
        EXPECT_DOUBLE_EQ(r->totalLengthM, 40.0 + (poles - 1) * 30.0) << poles;
        EXPECT_DOUBLE_EQ(r->poles.back().distanceM, 40.0 + (poles - 1) * 30.0) << poles;
    }
}

} // namespace
} // namespace korvane
