#include "project/feeders/lamp_feeder.h"

#include "voltage_loss/voltage_loss.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <limits>
#include <numbers>
#include <optional>
#include <string_view>
#include <vector>

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
        {[](LampFeeder& f, FeederConductors&) { f.thirdHarmonicPercent = 120.0; },
         "三次谐波含量应在0至100%之间"},
        {[&](LampFeeder& f, FeederConductors&) { f.thirdHarmonicPercent = nan; },
         "三次谐波含量不是有效数值"},
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
        // The same feeder through its generated pole list fails with the same reason.
        RunConductors run;
        run.drop = c;
        run.perMetreMilliOhm = {0.727, 0.08, 2.18, 0.16};
        run.neutralResistanceMilliOhmPerM = 2.18;
        run.neutralReactanceMilliOhmPerM = 0.16;
        const auto listed = computePoleFeeder(f, {run});
        EXPECT_FALSE(listed.ok()) << row.reason;
        EXPECT_EQ(listed.reason().toStdString(), row.reason);
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

// ---- Pole lists ----

RunConductors runCable(double r, double x, PhaseAndLoop perMetre) {
    RunConductors c;
    c.drop = {r, x, r, x};
    c.perMetreMilliOhm = perMetre;
    c.neutralResistanceMilliOhmPerM = perMetre.loopResistance;
    c.neutralReactanceMilliOhmPerM = perMetre.loopReactance;
    return c;
}

FeederPole pole(const char* id, double spanM, std::vector<LampGroup> lamps,
                std::optional<Phase> fixed = std::nullopt) {
    return FeederPole{QString::fromUtf8(id), spanM, std::move(lamps), fixed};
}

LampGroup lamps(int count, double powerW, double cosPhi = 1.0, double ballast = 1.0) {
    return LampGroup{count, powerW, cosPhi, ballast, std::nullopt};
}

LampFeeder listFeeder(PoleList list, FeederConnection connection = FeederConnection::SinglePhase) {
    LampFeeder f;
    f.connection = connection;
    f.poleList = std::move(list);
    return f;
}

// Δu % of each lamp pole by the feeder's loss model (feederLossModel) with the runs' conductors.
std::vector<double> computePoleFeederModel(const PoleList& list,
                                           const std::vector<RunConductors>& c) {
    const auto model = feederLossModel(listFeeder(list), c);
    std::vector<double> losses;
    if (!model.ok())
        return losses;
    for (const auto& terms : model->poles) {
        double loss = 0.0;
        for (const PoleLossTerm& t : terms) {
            const FeederConductors& d = c[t.run].drop;
            loss += (t.phase * std::complex<double>(d.resistanceOhmPerKm, d.reactanceOhmPerKm) +
                     t.neutral * std::complex<double>(d.neutralResistanceOhmPerKm,
                                                      d.neutralReactanceOhmPerKm))
                        .real();
        }
        losses.push_back(loss);
    }
    return losses;
}

// The equal feeder and its generated list give the same figures (within 1e-9 relative).
TEST(PoleFeeder, AnEqualFeederGivesTheSameFiguresThroughItsList) {
    const FeederConductors c = cable(0.727, 0.08, 0.727, 0.08);
    const RunConductors run = runCable(0.727, 0.08, {0.727, 0.08, 2.18, 0.16});
    const LampFeeder rows[] = {
        feeder(20, 50, 50, FeederConnection::SinglePhase, Phase::L1),
        feeder(30, 20, 35, FeederConnection::PhasesInTurn, Phase::L2, 150, 0.9, 1.0, 2),
        feeder(7, 0, 32.5, FeederConnection::PhasesInTurn, Phase::L3, 70, 0.85, 1.3),
        feeder(1, 40, 0, FeederConnection::SinglePhase, Phase::L2, 250, 0.92, 1.1),
    };
    auto same = [](double a, double b) {
        return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(b));
    };
    for (const LampFeeder& f : rows) {
        const auto old = computeLampFeeder(f, c);
        const auto listed = computePoleFeeder(f, {run});
        ASSERT_TRUE(old.ok() && listed.ok());
        EXPECT_TRUE(same(listed->worstLossPercent, old->worstLossPercent)) << f.poles;
        EXPECT_EQ(listed->worstPole, old->worstPole);
        EXPECT_EQ(listed->worstPhase, old->worstPhase);
        EXPECT_TRUE(same(listed->currentMomentAkm, old->currentMomentAkm));
        EXPECT_TRUE(same(listed->momentLossPercent, old->momentLossPercent));
        EXPECT_TRUE(same(listed->neutralCurrentA, old->neutralCurrentA));
        EXPECT_DOUBLE_EQ(listed->totalLengthM, old->totalLengthM);
        EXPECT_DOUBLE_EQ(listed->lampCurrentA, old->lampCurrentA);
        ASSERT_EQ(listed->poles.size(), old->poles.size());
        for (std::size_t i = 0; i < old->poles.size(); ++i) {
            EXPECT_EQ(listed->poles[i].phase, old->poles[i].phase);
            EXPECT_TRUE(same(listed->poles[i].distanceM, old->poles[i].distanceM));
            for (int k = 0; k < 3; ++k)
                EXPECT_TRUE(same(listed->poles[i].lossPercent[k], old->poles[i].lossPercent[k]));
        }
        // A feeder without branches is weakest at its last pole.
        EXPECT_EQ(listed->weakestPole, f.poles - 1);
    }
}

// A trunk T1–T3 (spans 30 m, R 1 Ω/km) and a branch B1–B2 leaving T2 (spans 20 m, R 2 Ω/km),
// one 110 W LED (cos φ 1) on every pole, single-phase: I = 110/220 = 0.5 A per pole.
// By hand, as two straight feeders: the trunk alone carries 3 × 0.5 A in its first segment, the
// branch alone 2 × 0.5 A; the trunk's first segment carries both, 2.5 A, and T1–T2 carries
// T2, T3 and the branch, 2.0 A. At cos φ 1 with X in quadrature the drop is 2·R·I·ℓ:
//   T1 2·1·2.5·0.030 = 0.150 V     T2 0.150 + 2·1·2.0·0.030 = 0.270 V   T3 0.270 + 2·1·0.5·0.030 =
//   0.300 V B1 = drop at T2 + branch's own 2·2·1.0·0.020 = 0.270 + 0.080 = 0.350 V B2 = 0.350 +
//   2·2·0.5·0.020 = 0.390 V
// Δu % = ΔV / 220 × 100. Loop impedance (R′php, X′php mΩ/m: trunk 1.5, 0.16, branch 3.0, 0.18):
// T3 at 90 m: 0.135 + j0.0144 Ω; B2: 1.5·0.060 + 3·0.040 = 0.210, 0.16·0.06 + 0.18·0.04 = 0.0168.
TEST(PoleFeeder, ABranchAddsItsLoadToTheTrunkAndItsOwnDropToThePoleItLeaves) {
    PoleList list;
    list.runs.push_back({QStringLiteral("干线"),
                         {},
                         std::nullopt,
                         {pole("T1", 30, {lamps(1, 110)}), pole("T2", 30, {lamps(1, 110)}),
                          pole("T3", 30, {lamps(1, 110)})}});
    list.runs.push_back({QStringLiteral("B"),
                         QStringLiteral(" t2 "),
                         std::nullopt,
                         {pole("B1", 20, {lamps(1, 110)}), pole("B2", 20, {lamps(1, 110)})}});
    const std::vector<RunConductors> c = {runCable(1.0, 0.08, {0.5, 0.08, 1.5, 0.16}),
                                          runCable(2.0, 0.09, {1.0, 0.09, 3.0, 0.18})};
    const auto r = computePoleFeeder(listFeeder(list), c);
    ASSERT_TRUE(r.ok()) << r.reason().toStdString();
    ASSERT_EQ(r->poles.size(), 5u);
    const double segment[] = {2.5, 2.0, 0.5, 1.0, 0.5};
    const double volts[] = {0.150, 0.270, 0.300, 0.350, 0.390};
    const int parent[] = {-1, 0, 1, 1, 3};
    for (int p = 0; p < 5; ++p) {
        EXPECT_NEAR(r->poles[p].segmentCurrentsA[0], segment[p], 1e-12) << p;
        EXPECT_NEAR(r->poles[p].segmentNeutralA, segment[p], 1e-12) << p;
        EXPECT_NEAR(r->poles[p].lossPercent[0], volts[p] / 220.0 * 100.0, 1e-12) << p;
        EXPECT_EQ(r->poles[p].parent, parent[p]) << p;
    }
    EXPECT_NEAR(r->phaseCurrentsA[0], 2.5, 1e-12);
    EXPECT_EQ(r->worstPole, 5);
    EXPECT_EQ(r->worstPath, (std::vector<int>{0, 1, 3, 4}));
    EXPECT_NEAR(r->totalLengthM, 100.0, 1e-12); // B2: 60 + 40 m
    EXPECT_NEAR(r->totalLoadW, 550.0, 1e-12);
    ASSERT_EQ(r->runs.size(), 2u);
    EXPECT_EQ(r->runs[1].fromPole, 1);
    EXPECT_NEAR(r->runs[1].phaseCurrentsA[0], 1.0, 1e-12);
    EXPECT_NEAR(r->runs[1].lengthM, 40.0, 1e-12);
    EXPECT_NEAR(r->runs[1].origin.lengthM, 60.0, 1e-12);
    EXPECT_NEAR(r->runs[1].origin.ohm.loopResistance, 0.090, 1e-12);
    EXPECT_NEAR(r->poles[2].path.ohm.loopResistance, 0.135, 1e-12);
    EXPECT_NEAR(r->poles[2].path.ohm.loopReactance, 0.0144, 1e-12);
    EXPECT_NEAR(r->poles[4].path.ohm.loopResistance, 0.210, 1e-12);
    EXPECT_NEAR(r->poles[4].path.ohm.loopReactance, 0.0168, 1e-12);
    EXPECT_NEAR(r->poles[4].path.neutralResistanceOhm, 0.210, 1e-12);
    EXPECT_EQ(r->weakestPole, 4);
    EXPECT_EQ(r->runs[0].weakestPole, 2);
    // The moment of the path T1, T2, B1, B2: 2.5·0.03 + 2.0·0.03 + 1.0·0.02 + 0.5·0.02 = 0.165
    // A·km; by the page, trunk 2·1·0.135/2.2 + branch 2·2·0.030/2.2 = 0.39/2.2 % (the drop at B2).
    EXPECT_NEAR(r->currentMomentAkm, 0.165, 1e-12);
    EXPECT_NEAR(r->momentLossPercent, 0.39 / 2.2, 1e-6);
    // The model of the drops in the runs' conductors gives the same Δu at every lamp pole, and
    // with the branch in half its R the branch's own share halves: B2 0.270 + 0.120/2 V.
    const auto model = computePoleFeederModel(list, c);
    ASSERT_EQ(model.size(), 5u);
    for (int p = 0; p < 5; ++p)
        EXPECT_NEAR(model[p], volts[p] / 2.2, 1e-12) << p;
    std::vector<RunConductors> halved = c;
    halved[1].drop.resistanceOhmPerKm = halved[1].drop.neutralResistanceOhmPerKm = 1.0;
    EXPECT_NEAR(computePoleFeederModel(list, halved)[4], (0.270 + 0.060) / 2.2, 1e-12);
}

// Spans 25, 40, 32, 45 m; LEDs (cos φ 1) of 110 W (0.5 A), 2 × 66 W (0.6 A), 44 W (0.2 A),
// 154 W (0.7 A); R = 1.2 Ω/km, X = 0 (neutral alike). Per segment by hand:
//  single-phase (all on L1): ΔV = 2·R·I·ℓ
//   seg  ℓ km   I A   ΔV V      Σ V       Δu %
//   1    0.025  2.0   0.120     0.120     0.054545
//   2    0.040  1.5   0.144     0.264     0.120000
//   3    0.032  0.9   0.06912   0.33312   0.151418
//   4    0.045  0.7   0.0756    0.40872   0.185782
//  phases in turn from L1 (L1, L2, L3, L1): I_N = I1 + I2·∠−120° + I3·∠120°,
//  Re(I_N) = I1 − (I2 + I3)/2, the L1 drop R·ℓ·(I1 + Re I_N):
//   seg  I1   I2   I3   Re I_N   ℓ·(I1 + Re I_N)
//   1    1.2  0.6  0.2  0.8      0.025·2.0 = 0.0500
//   2    0.7  0.6  0.2  0.3      0.040·1.0 = 0.0400
//   3    0.7  0    0.2  0.6      0.032·1.3 = 0.0416
//   4    0.7  0    0    0.7      0.045·1.4 = 0.0630
//  L1 at pole 4: 1.2 × 0.1946 = 0.23352 V → 0.106145 %; |I_N| at the supply = √(0.8² + 0.4²·0.75)
//  = √0.76. L2 at pole 2: Re(I_N·conj ∠−120°) = −Re(I_N)/2 + (√3/2)·(−Im I_N) is −0.1 (seg 1) and
//  0.15 (seg 2): 1.2·(0.025·(0.6 − 0.1) + 0.040·(0.6 + 0.15)) = 0.051 V → 0.0231818 %.
TEST(PoleFeeder, ANonUniformListAgainstItsHandTable) {
    PoleList list;
    list.runs.push_back({QStringLiteral("干线"),
                         {},
                         std::nullopt,
                         {pole("1", 25, {lamps(1, 110)}), pole("2", 40, {lamps(2, 66)}),
                          pole("3", 32, {lamps(1, 44)}), pole("4", 45, {lamps(1, 154)})}});
    const std::vector<RunConductors> c = {runCable(1.2, 0.0, {1.2, 0.0, 3.6, 0.0})};
    struct Row {
        FeederConnection connection;
        int pole, phase;
        double lossPercent;
    };
    const Row rows[] = {
        {FeederConnection::SinglePhase, 0, 0, 0.12 / 2.2},
        {FeederConnection::SinglePhase, 1, 0, 0.264 / 2.2},
        {FeederConnection::SinglePhase, 2, 0, 0.33312 / 2.2},
        {FeederConnection::SinglePhase, 3, 0, 0.40872 / 2.2},
        {FeederConnection::PhasesInTurn, 3, 0, 0.23352 / 2.2},
        {FeederConnection::PhasesInTurn, 1, 1, 0.051 / 2.2},
    };
    for (const Row& row : rows) {
        const auto r = computePoleFeeder(listFeeder(list, row.connection), c);
        ASSERT_TRUE(r.ok()) << r.reason().toStdString();
        EXPECT_NEAR(r->poles[row.pole].lossPercent[row.phase], row.lossPercent, 1e-12) << row.pole;
    }
    const auto inTurn = computePoleFeeder(listFeeder(list, FeederConnection::PhasesInTurn), c);
    EXPECT_NEAR(inTurn->phaseCurrentsA[0], 1.2, 1e-12);
    EXPECT_NEAR(inTurn->phaseCurrentsA[1], 0.6, 1e-12);
    EXPECT_NEAR(inTurn->phaseCurrentsA[2], 0.2, 1e-12);
    EXPECT_NEAR(inTurn->neutralCurrentA, std::sqrt(0.76), 1e-12);
    EXPECT_NEAR(inTurn->totalLengthM, 142.0, 1e-12);
    EXPECT_NEAR(inTurn->poles[1].segmentCurrentsA[0], 0.7, 1e-12);
    // Class C limit at cos φ 1: 30 % of every lamp current, Σ I = 2.0 A.
    EXPECT_NEAR(inTurn->thirdHarmonicSumA, 0.3 * 2.0, 1e-12);
    EXPECT_TRUE(inTurn->thirdHarmonicClassC);
}

// 150 W at cos φ 0.9 and 60 W at 0.95 on one pole, L1, at 220 V: each current
// I = P/(U0 cos φ) lags by its own φ, so Re = P/U0 and Im = −P·tan φ/U0:
// Re = (150 + 60)/220 = 0.954545 A; Im = −(150·0.484322 + 60·0.328684)/220 = −0.419857 A;
// |I| = 1.042803 A, below the sum of the magnitudes 0.757576 + 0.287081 = 1.044657 A.
TEST(PoleFeeder, MixedLampsOnOnePoleAddAsPhasors) {
    const double tan09 = std::sqrt(1 - 0.81) / 0.9;
    const double tan095 = std::sqrt(1 - 0.9025) / 0.95;
    const double re = 210.0 / 220.0;
    const double im = -(150.0 * tan09 + 60.0 * tan095) / 220.0;
    EXPECT_NEAR(std::hypot(re, im), 1.042803, 1e-6); // the hand figure above
    PoleList list;
    list.runs.push_back({QStringLiteral("干线"),
                         {},
                         std::nullopt,
                         {pole("N1", 50, {lamps(1, 150, 0.9), lamps(1, 60, 0.95)})}});
    const auto r = computePoleFeeder(listFeeder(list), {runCable(1.0, 0.1, {1.0, 0.1, 3.0, 0.2})});
    ASSERT_TRUE(r.ok()) << r.reason().toStdString();
    EXPECT_NEAR(r->poles[0].segmentCurrentsA[0], std::hypot(re, im), 1e-12);
    EXPECT_NEAR(r->phaseCurrentsA[0], 1.042803, 1e-6);
    EXPECT_NEAR(r->neutralCurrentA, 1.042803, 1e-6);
    EXPECT_NEAR(r->poles[0].currentA, 150 / 198.0 + 60 / 209.0, 1e-12);
    EXPECT_NEAR(r->totalLoadW, 210.0, 1e-12);
    // ΔV along L1 = 2·ℓ·(R·Re − X·Im) = 2·0.05·(0.954545 + 0.1·0.419857).
    EXPECT_NEAR(r->poles[0].lossPercent[0], 2 * 0.05 * (re - 0.1 * im) / 2.2, 1e-12);
    // The handbook figure takes the whole load's power factor, Re/|I|.
    EXPECT_NEAR(r->currentMomentAkm, (150 / 198.0 + 60 / 209.0) * 0.05, 1e-12);
}

// A phase fixed by the engineer overrides the rotation; the others keep their place in it.
TEST(PoleFeeder, AFixedPhaseOverridesTheRotation) {
    PoleList list;
    list.runs.push_back({QStringLiteral("干线"),
                         {},
                         std::nullopt,
                         {pole("1", 30, {lamps(1, 110)}), pole("2", 30, {lamps(1, 110)}, Phase::L1),
                          pole("3", 30, {lamps(1, 110)})}});
    struct Row {
        FeederConnection connection;
        std::vector<Phase> phases;
        std::array<double, 3> supplyA; // 0.5 A a pole
    };
    const Row rows[] = {
        {FeederConnection::PhasesInTurn, {Phase::L1, Phase::L1, Phase::L3}, {1.0, 0.0, 0.5}},
        {FeederConnection::SinglePhase, {Phase::L1, Phase::L1, Phase::L1}, {1.5, 0.0, 0.0}},
    };
    for (const Row& row : rows) {
        LampFeeder f = listFeeder(list, row.connection);
        EXPECT_EQ(polePhases(f), row.phases);
        const auto r = computePoleFeeder(f, {runCable(1.0, 0.0, {1.0, 0.0, 3.0, 0.0})});
        ASSERT_TRUE(r.ok());
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(r->phaseCurrentsA[k], row.supplyA[k], 1e-12);
    }
    LampFeeder f = listFeeder(list, FeederConnection::SinglePhase);
    f.poleList.runs[0].poles[1].fixedPhase = Phase::L3;
    f.startPhase = Phase::L2;
    EXPECT_EQ(polePhases(f), (std::vector<Phase>{Phase::L2, Phase::L3, Phase::L2}));
}

// The loads of a feeder are kept for its next walk (sizing walks one feeder once per section
// tried). A feeder that differs from the one walked before it in a single field still gets its
// own figures: computed right after its neighbour they equal those computed after an unrelated
// feeder, and they differ from the neighbour's, so every row changes what it claims to.
TEST(PoleFeeder, AFeederWalkedAfterOneAlikeButForOneFieldGetsItsOwnFigures) {
    PoleList branched;
    branched.runs.push_back({QStringLiteral("干线"),
                             {},
                             std::nullopt,
                             {pole("T1", 30, {lamps(1, 110)}), pole("T2", 30, {lamps(1, 110)}),
                              pole("T3", 30, {lamps(1, 110)})}});
    branched.runs.push_back({QStringLiteral("B"),
                             QStringLiteral("T2"),
                             std::nullopt,
                             {pole("B1", 20, {lamps(1, 110)})}});
    const LampFeeder equal = feeder(7, 40, 30, FeederConnection::PhasesInTurn, Phase::L1, 150, 0.9);
    const LampFeeder listed = listFeeder(branched, FeederConnection::PhasesInTurn);
    const RunConductors trunk = runCable(1.0, 0.08, {0.5, 0.08, 1.5, 0.16});
    const RunConductors branch = runCable(2.0, 0.09, {1.0, 0.09, 3.0, 0.18});
    struct Row {
        const char* field;
        LampFeeder base;
        std::function<void(LampFeeder&)> change;
    };
    const Row rows[] = {
        {"poles", equal, [](LampFeeder& f) { f.poles = 8; }},
        {"lampsPerPole", equal, [](LampFeeder& f) { f.lampsPerPole = 2; }},
        {"lampPowerW", equal, [](LampFeeder& f) { f.lampPowerW = 100; }},
        {"lampPowerFactor", equal, [](LampFeeder& f) { f.lampPowerFactor = 0.95; }},
        {"ballastFactor", equal, [](LampFeeder& f) { f.ballastFactor = 1.2; }},
        {"spacingM", equal, [](LampFeeder& f) { f.spacingM = 35; }},
        {"firstPoleM", equal, [](LampFeeder& f) { f.firstPoleM = 10; }},
        {"connection", equal, [](LampFeeder& f) { f.connection = FeederConnection::SinglePhase; }},
        {"startPhase", equal, [](LampFeeder& f) { f.startPhase = Phase::L2; }},
        {"phaseVoltageV", equal, [](LampFeeder& f) { f.phaseVoltageV = 230; }},
        {"thirdHarmonicPercent", equal, [](LampFeeder& f) { f.thirdHarmonicPercent = 12.0; }},
        {"pole id", listed, [](LampFeeder& f) { f.poleList.runs[0].poles[2].id = u"T9"_qs; }},
        {"span", listed, [](LampFeeder& f) { f.poleList.runs[1].poles[0].spanM = 25; }},
        {"lamps", listed, [](LampFeeder& f) { f.poleList.runs[0].poles[0].lamps[0].count = 2; }},
        {"fixed phase", listed,
         [](LampFeeder& f) { f.poleList.runs[0].poles[1].fixedPhase = Phase::L3; }},
        {"run name", listed, [](LampFeeder& f) { f.poleList.runs[1].name = u"支线1"_qs; }},
        {"branch point", listed, [](LampFeeder& f) { f.poleList.runs[1].fromPole = u"T3"_qs; }},
        {"branch cable", listed, [](LampFeeder& f) { f.poleList.runs[1].cable = CableIdentity{}; }},
    };
    // Every figure of a result, and the names it gives its poles and runs.
    auto figures = [](const LampFeederResult& r) {
        std::vector<double> v{r.worstLossPercent,  r.neutralCurrentA, r.currentMomentAkm,
                              r.momentLossPercent, r.totalLoadW,      r.thirdHarmonicSumA,
                              r.lampCurrentA,      r.totalLengthM,    double(r.worstPole)};
        QStringList names;
        for (const PoleDrop& d : r.poles) {
            v.insert(v.end(), d.lossPercent.begin(), d.lossPercent.end());
            v.insert(v.end(), d.segmentCurrentsA.begin(), d.segmentCurrentsA.end());
            v.push_back(d.distanceM);
            names << d.id;
        }
        for (const RunResult& run : r.runs)
            names << run.name;
        return std::make_pair(v, names);
    };
    const LampFeeder unrelated = feeder(3, 15, 25, FeederConnection::SinglePhase, Phase::L3, 60);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.field);
        LampFeeder changed = row.base;
        row.change(changed);
        const bool isList = !row.base.poleList.empty();
        std::vector<RunConductors> c = isList ? std::vector{trunk, branch} : std::vector{trunk};
        // The branch cable's row: the drops differ through the branch's conductors.
        std::vector<RunConductors> cChanged = c;
        if (std::string_view(row.field) == "branch cable")
            cChanged[1] = runCable(3.0, 0.1, {1.5, 0.1, 4.5, 0.2});
        ASSERT_TRUE(computePoleFeeder(unrelated, {trunk}).ok());
        const auto fresh = computePoleFeeder(changed, cChanged);
        const auto base = computePoleFeeder(row.base, c);
        const auto after = computePoleFeeder(changed, cChanged);
        ASSERT_TRUE(fresh.ok() && base.ok() && after.ok()) << after.reason().toStdString();
        EXPECT_EQ(figures(*after), figures(*fresh));
        EXPECT_NE(figures(*after), figures(*base));
    }
}

TEST(PoleFeeder, ProblemsOfAListNameTheRunAndThePole) {
    auto good = [] {
        PoleList list;
        list.runs.push_back({QStringLiteral("干线"),
                             {},
                             std::nullopt,
                             {pole("N1", 30, {lamps(1, 110)}), pole("N2", 30, {lamps(1, 110)})}});
        list.runs.push_back({QStringLiteral("B1"),
                             QStringLiteral("N2"),
                             std::nullopt,
                             {pole("B11", 20, {lamps(1, 110)})}});
        list.runs.push_back(
            {QStringLiteral("B2"), QStringLiteral("B11"), std::nullopt, {pole("B21", 20, {})}});
        return list;
    };
    struct Row {
        std::function<void(PoleList&)> spoil;
        const char* problem;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Row rows[] = {
        {[](PoleList& l) { l.runs.clear(); }, "灯杆表中没有干线"},
        {[](PoleList& l) { l.runs[0].fromPole = QStringLiteral("N9"); },
         "干线不应有起始杆（“N9”）"},
        {[](PoleList& l) { l.runs[2].fromPole = QStringLiteral("N40"); },
         "支线“B2”的起始杆“N40”不存在"},
        {[](PoleList& l) { l.runs[2].fromPole.clear(); }, "支线“B2”没有起始杆"},
        {[](PoleList& l) { l.runs[2].fromPole = QStringLiteral("B21"); },
         "支线“B2”的起始杆“B21”是本支线自己的灯杆"},
        {[](PoleList& l) { l.runs[1].fromPole = QStringLiteral("B21"); },
         "支线“B1”与其他支线首尾相接成环，未接到干线上"},
        {[](PoleList& l) { l.runs[2].poles[0].id = QStringLiteral(" n1 "); }, "杆号“n1”重复"},
        {[](PoleList& l) { l.runs[2].poles[0].id = QStringLiteral("  "); },
         "支线“B2”第1根杆没有杆号"},
        {[](PoleList& l) { l.runs[2].name = QStringLiteral("b1"); }, "线路名“b1”重复"},
        {[](PoleList& l) { l.runs[0].poles[1].spanM = -5; }, "杆“N2”的杆距为负数"},
        {[&](PoleList& l) { l.runs[0].poles[1].spanM = nan; }, "杆“N2”的杆距不是有效数值"},
        {[](PoleList& l) { l.runs[1].poles.clear(); }, "支线“B1”没有灯杆"},
        {[](PoleList& l) { l.runs[0].poles[0].lamps[0].count = 0; }, "杆“N1”的灯具数量应不小于1"},
        {[](PoleList& l) { l.runs[0].poles[0].lamps[0].powerW = 0; }, "杆“N1”的灯具功率应大于0"},
        {[](PoleList& l) { l.runs[0].poles[0].lamps[0].powerFactor = 0; },
         "杆“N1”的灯具功率因数应大于0且不大于1"},
        {[](PoleList& l) { l.runs[0].poles[0].lamps[0].powerFactor = 1.05; },
         "杆“N1”的灯具功率因数应大于0且不大于1"},
        {[](PoleList& l) { l.runs[0].poles[0].lamps[0].ballastFactor = 0.99; },
         "杆“N1”的镇流器或驱动器系数应在1至2之间"},
        {[](PoleList& l) { l.runs[0].poles[0].lamps[0].ballastFactor = 2.01; },
         "杆“N1”的镇流器或驱动器系数应在1至2之间"},
        {[](PoleList& l) { l.runs[0].poles[0].lamps[0].thirdHarmonicPercent = 101; },
         "杆“N1”的三次谐波含量应在0至100%之间"},
        {[](PoleList& l) { l.runs[0].poles[0].lamps[0].thirdHarmonicPercent = -1; },
         "杆“N1”的三次谐波含量应在0至100%之间"},
        {[](PoleList& l) {
             l.runs[0].poles[0].lamps = {lamps(60, 100), lamps(41, 100)};
         },
         "杆“N1”的灯具数量不应超过100"},
        {[](PoleList& l) {
             for (int i = 0; i < kMaxFeederPoles; ++i)
                 l.runs[2].poles.push_back(pole("", 1, {}));
             for (int i = 0; i < kMaxFeederPoles; ++i)
                 l.runs[2].poles[i + 1].id = QStringLiteral("X%1").arg(i);
         },
         "灯杆总数不应超过10000"},
        {[](PoleList& l) {
             for (int i = 0; i < kMaxFeederRuns; ++i)
                 l.runs.push_back({QStringLiteral("R%1").arg(i),
                                   QStringLiteral("N1"),
                                   std::nullopt,
                                   {pole("", 1, {})}});
             for (int i = 0; i < kMaxFeederRuns; ++i)
                 l.runs[3 + i].poles[0].id = QStringLiteral("R%1").arg(i);
         },
         "干线与支线总数不应超过100"},
    };
    EXPECT_TRUE(poleListProblems(good()).isEmpty())
        << poleListProblems(good()).join(u'|').toStdString();
    for (const Row& row : rows) {
        PoleList list = good();
        row.spoil(list);
        const QStringList problems = poleListProblems(list);
        EXPECT_TRUE(problems.contains(QString::fromUtf8(row.problem)))
            << row.problem << " got: " << problems.join(u'|').toStdString();
        // A list with a problem is not computed, and says why (a feeder with an empty list is an
        // equal feeder, checked on its own fields).
        if (list.empty())
            continue;
        std::vector<RunConductors> c(list.runs.size(), runCable(1.0, 0.0, {1.0, 0.0, 3.0, 0.0}));
        const auto r = computePoleFeeder(listFeeder(list), c);
        EXPECT_FALSE(r.ok()) << row.problem;
        EXPECT_TRUE(r.reason().contains(QString::fromUtf8(row.problem))) << row.problem;
    }
    // A feeder whose poles carry no lamp has no worst pole to judge.
    PoleList empty = good();
    for (FeederRun& run : empty.runs)
        for (FeederPole& p : run.poles)
            p.lamps.clear();
    EXPECT_EQ(computePoleFeeder(listFeeder(empty),
                                std::vector<RunConductors>(3, runCable(1.0, 0.0, {1, 0, 3, 0})))
                  .reason()
                  .toStdString(),
              "灯杆表中没有灯具");
}

} // namespace
} // namespace korvane
