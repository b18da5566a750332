#include "project/feeders/phase_balancing.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace korvane {
namespace {

// One LED lamp of 150 W at cos φ 0.9 on 220 V: I = 150 / (220 × 0.9) = 0.757576 A.
constexpr double kLampA = 150.0 / (220.0 * 0.9);

LampGroup led150(int count) {
    return LampGroup{count, 150.0, 0.9, 1.0, std::nullopt};
}

// A straight feeder of poles 30 m apart (the first 20 m from the supply), phases in turn from L1,
// with the given lamps per pole.
LampFeeder straightFeeder(const std::vector<int>& lampsPerPole) {
    LampFeeder f;
    f.connection = FeederConnection::PhasesInTurn;
    f.startPhase = Phase::L1;
    FeederRun trunk;
    trunk.name = QStringLiteral("干线");
    for (size_t i = 0; i < lampsPerPole.size(); ++i) {
        FeederPole pole;
        pole.id = QString::number(i + 1);
        pole.spanM = i == 0 ? 20.0 : 30.0;
        pole.lamps = {led150(lampsPerPole[i])};
        trunk.poles.push_back(pole);
    }
    f.poleList.runs = {trunk};
    return f;
}

// VV 4×25 at 70 °C: R 0.87 Ω/km, X 0.08 Ω/km; the neutral a core like the phases.
std::vector<RunConductors> oneCable(int runs = 1) {
    RunConductors c;
    c.drop = FeederConductors{0.87, 0.08, 0.87, 0.08};
    c.perMetreMilliOhm = PhaseAndLoop{0.87, 0.08, 2.1, 0.17};
    c.neutralResistanceMilliOhmPerM = 1.74;
    c.neutralReactanceMilliOhmPerM = 0.16;
    return std::vector<RunConductors>(size_t(runs), c);
}

const FeederPole& poleOf(const LampFeeder& f, const QString& id) {
    for (const FeederRun& run : f.poleList.runs)
        for (const FeederPole& pole : run.poles)
            if (pole.id == id)
                return pole;
    static const FeederPole kNone;
    return kNone;
}

// Six poles of 4, 1, 1, 4, 1, 1 lamps, phases in turn from L1: L1 carries poles 1 and 4 (8
// lamps), L2 and L3 two lamps each. Worked by hand (a = 1∠0°, b = 1∠−120°, c = 1∠120°,
// a + b + c = 0):
//   before: IL1 = 8·0.757576 = 6.0606 A, IL2 = IL3 = 1.5152 A,
//           IN = |8a + 2b + 2c|·I = |6a|·I = 4.5455 A;
//   best:   12 lamps in three fours — one 4-lamp pole, the other, the four 1-lamp poles —
//           IL1 = IL2 = IL3 = 3.0303 A, IN = 0;
//   moves:  one 4-lamp pole leaves L1 and two of the 1-lamp poles (on L2, L3, L2, L3) join the
//           other two: three poles at least.
TEST(PhaseBalancing, UnbalancedFeederIsDealtIntoThreeEqualPhases) {
    const LampFeeder f = straightFeeder({4, 1, 1, 4, 1, 1});
    const auto proposal = proposePhaseBalance(f, oneCable());
    ASSERT_TRUE(proposal.ok()) << proposal.reason().toStdString();

    EXPECT_NEAR(proposal->before.phaseCurrentsA[0], 8 * kLampA, 1e-9);
    EXPECT_NEAR(proposal->before.phaseCurrentsA[1], 2 * kLampA, 1e-9);
    EXPECT_NEAR(proposal->before.neutralCurrentA, 4.545455, 1e-6);
    EXPECT_NEAR(proposal->before.largestPhaseCurrentA, 6.060606, 1e-6);

    for (double current : proposal->after.phaseCurrentsA)
        EXPECT_NEAR(current, 3.030303, 1e-6);
    EXPECT_NEAR(proposal->after.neutralCurrentA, 0.0, 1e-9);
    EXPECT_EQ(proposal->polesMoved, 3);
    // Balanced, the worst drop falls too: the heaviest phase no longer carries 8 lamps.
    EXPECT_LT(proposal->after.worstLossPercent, proposal->before.worstLossPercent);

    // The two 4-lamp poles end on different phases, the four 1-lamp poles on the third.
    const LampFeeder& b = proposal->balanced;
    ASSERT_TRUE(poleOf(b, u"1"_qs).fixedPhase && poleOf(b, u"4"_qs).fixedPhase);
    EXPECT_NE(*poleOf(b, u"1"_qs).fixedPhase, *poleOf(b, u"4"_qs).fixedPhase);
    for (const char* single : {"2", "3", "5", "6"}) {
        ASSERT_TRUE(poleOf(b, QString::fromLatin1(single)).fixedPhase);
        EXPECT_EQ(*poleOf(b, QString::fromLatin1(single)).fixedPhase,
                  *poleOf(b, u"2"_qs).fixedPhase);
    }
    EXPECT_EQ(proposal->after.phases.size(), 6u);
}

// The engineer's fixed phases stay, and the others are dealt around them; a feeder already
// balanced is left alone; what cannot be balanced says why.
TEST(PhaseBalancing, FixedPolesStayAndBalancedFeedersAreLeftAlone) {
    // Pole 4 fixed on L1 (it is there by the rotation too): pole 1 must leave L1 instead.
    LampFeeder fixed = straightFeeder({4, 1, 1, 4, 1, 1});
    fixed.poleList.runs[0].poles[3].fixedPhase = Phase::L1;
    const auto proposal = proposePhaseBalance(fixed, oneCable());
    ASSERT_TRUE(proposal.ok()) << proposal.reason().toStdString();
    EXPECT_EQ(poleOf(proposal->balanced, u"4"_qs).fixedPhase, Phase::L1);
    EXPECT_NE(poleOf(proposal->balanced, u"1"_qs).fixedPhase, Phase::L1);
    EXPECT_NEAR(proposal->after.largestPhaseCurrentA, 4 * kLampA, 1e-9);
    EXPECT_NEAR(proposal->after.neutralCurrentA, 0.0, 1e-9);

    // One lamp on each of three poles in turn: L1, L2, L3 carry one lamp each already, so the
    // largest phase current stays one lamp's and the neutral stays empty; the order of the
    // phases along the feeder may still change, and only where it lowers the worst drop.
    const auto balanced = proposePhaseBalance(straightFeeder({1, 1, 1}), oneCable());
    ASSERT_TRUE(balanced.ok()) << balanced.reason().toStdString();
    EXPECT_NEAR(balanced->after.largestPhaseCurrentA, kLampA, 1e-9);
    EXPECT_NEAR(balanced->after.neutralCurrentA, 0.0, 1e-9);
    EXPECT_LE(balanced->after.worstLossPercent, balanced->before.worstLossPercent);

    struct Refusal {
        const char* name;
        LampFeeder feeder;
        size_t runs;
        const char* reasonHolds;
    };
    LampFeeder single = straightFeeder({1, 1, 1});
    single.connection = FeederConnection::SinglePhase;
    LampFeeder negative = straightFeeder({1, 1, 1});
    negative.poleList.runs[0].poles[1].spanM = -30.0;
    const Refusal refusals[] = {
        {"single-phase connection", single, 1, "单相"},
        {"negative span", negative, 1, "杆距"},
        {"conductors of another list", straightFeeder({1, 1, 1}), 2, "电缆参数"},
    };
    for (const Refusal& r : refusals) {
        const auto refused = proposePhaseBalance(r.feeder, oneCable(int(r.runs)));
        ASSERT_FALSE(refused.ok()) << r.name;
        EXPECT_TRUE(refused.reason().contains(QString::fromUtf8(r.reasonHolds)))
            << r.name << ": " << refused.reason().toStdString();
    }
}

// An equal feeder is balanced on its generated list: 9 poles of one lamp in turn carry three
// lamps on each phase already (3 × 0.757576 A), which no assignment betters; the balanced
// feeder is that list with every pole's phase written in, three on each phase.
TEST(PhaseBalancing, EqualFeederIsBalancedOnItsGeneratedList) {
    LampFeeder f;
    f.poles = 9;
    f.lampPowerW = 150.0;
    f.lampPowerFactor = 0.9;
    f.spacingM = 30.0;
    f.firstPoleM = 20.0;
    f.connection = FeederConnection::PhasesInTurn;
    f.startPhase = Phase::L2;
    const auto proposal = proposePhaseBalance(f, oneCable());
    ASSERT_TRUE(proposal.ok()) << proposal.reason().toStdString();
    for (double current : proposal->after.phaseCurrentsA)
        EXPECT_NEAR(current, 3 * kLampA, 1e-9);
    EXPECT_NEAR(proposal->after.neutralCurrentA, 0.0, 1e-9);
    EXPECT_LE(proposal->after.worstLossPercent, proposal->before.worstLossPercent);
    ASSERT_EQ(proposal->balanced.poleList.runs.size(), 1u);
    ASSERT_EQ(proposal->balanced.poleList.runs[0].poles.size(), 9u);
    std::array<int, 3> onPhase{};
    for (const FeederPole& pole : proposal->balanced.poleList.runs[0].poles) {
        ASSERT_TRUE(pole.fixedPhase.has_value());
        ++onPhase[size_t(*pole.fixedPhase)];
    }
    EXPECT_EQ(onPhase, (std::array<int, 3>{3, 3, 3}));
}

} // namespace
} // namespace korvane
