#include "project/feeders/feeder_plot.h"

#include "base/number_format.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace korvane {
namespace {

LampFeederResult computed(int poles, FeederConnection connection, double spacingM = 35.0,
                          double powerW = 250.0) {
    LampFeeder f;
    f.poles = poles;
    f.lampPowerW = powerW;
    f.lampPowerFactor = 0.9;
    f.ballastFactor = 1.1;
    f.spacingM = spacingM;
    f.firstPoleM = 20.0;
    f.connection = connection;
    f.startPhase = Phase::L1;
    // A four-core 16 mm² copper cable.
    const FeederConductors cable{1.15, 0.08, 1.15, 0.08};
    const Computed<LampFeederResult> result = computeLampFeeder(f, cable);
    EXPECT_TRUE(result.has_value());
    return *result;
}

// The properties every axis must have, whatever it was made from.
void expectSaneAxis(const PlotAxis& axis) {
    ASSERT_TRUE(std::isfinite(axis.minimum) && std::isfinite(axis.maximum));
    ASSERT_LT(axis.minimum, axis.maximum);
    ASSERT_GE(axis.ticks.size(), 4U);
    ASSERT_LE(axis.ticks.size(), 8U);
    for (std::size_t i = 0; i < axis.ticks.size(); ++i) {
        const PlotTick& tick = axis.ticks[i];
        EXPECT_GE(tick.value, axis.minimum);
        EXPECT_LE(tick.value, axis.maximum);
        EXPECT_FALSE(tick.label.contains(u',')) << tick.label.toStdString();
        const std::optional<double> read = readPlainDecimal(tick.label);
        ASSERT_TRUE(read.has_value()) << tick.label.toStdString();
        EXPECT_NEAR(*read, tick.value, std::abs(tick.value) * 1e-9 + 1e-12);
        if (i > 0) {
            EXPECT_GT(tick.value, axis.ticks[i - 1].value);
        }
    }
    // Equal steps of 1, 2 or 5 × 10ⁿ.
    const double step = axis.ticks[1].value - axis.ticks[0].value;
    for (std::size_t i = 2; i < axis.ticks.size(); ++i)
        EXPECT_NEAR(axis.ticks[i].value - axis.ticks[i - 1].value, step, step * 1e-9);
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    EXPECT_TRUE(std::abs(mantissa - 1) < 1e-6 || std::abs(mantissa - 2) < 1e-6 ||
                std::abs(mantissa - 5) < 1e-6)
        << "step " << step;
}

QStringList labels(const PlotAxis& axis) {
    QStringList out;
    for (const PlotTick& tick : axis.ticks)
        out << tick.label;
    return out;
}

TEST(FeederPlotAxes, ValueAxisCoversTheMaximumWithRoomAbove) {
    for (double high :
         {1e-6, 0.013, 0.7, 1.0, 3.21, 4.99, 5.0, 7.2, 10.0, 37.0, 123.4, 8e5, 1e200}) {
        SCOPED_TRACE(high);
        const PlotAxis axis = niceValueAxis(0.0, high);
        expectSaneAxis(axis);
        EXPECT_EQ(axis.minimum, 0.0);
        EXPECT_EQ(axis.ticks.front().value, 0.0);
        EXPECT_GT(axis.maximum, high);
        EXPECT_EQ(axis.ticks.back().value, axis.maximum);
    }
    EXPECT_EQ(labels(niceValueAxis(0.0, 5.0)), QStringList({"0", "1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(labels(niceValueAxis(0.0, 3.21)),
              QStringList({"0.0", "0.5", "1.0", "1.5", "2.0", "2.5", "3.0", "3.5"}));
    EXPECT_EQ(labels(niceValueAxis(0.0, 0.07)),
              QStringList({"0.00", "0.02", "0.04", "0.06", "0.08"}));
}

TEST(FeederPlotAxes, ValueAxisReachesBelowANegativeDrop) {
    const PlotAxis axis = niceValueAxis(-0.4, 5.0);
    expectSaneAxis(axis);
    EXPECT_LT(axis.minimum, -0.4);
    EXPECT_GT(axis.maximum, 5.0);
    bool zero = false;
    for (const PlotTick& tick : axis.ticks)
        zero = zero || tick.value == 0.0;
    EXPECT_TRUE(zero);
}

TEST(FeederPlotAxes, LengthAxisEndsAtTheFeederLength) {
    for (double length : {0.3, 1.0, 20.0, 875.0, 1000.0, 1234.5, 12000.0, 3.5e5}) {
        SCOPED_TRACE(length);
        const PlotAxis axis = niceLengthAxis(length);
        expectSaneAxis(axis);
        EXPECT_EQ(axis.minimum, 0.0);
        EXPECT_EQ(axis.maximum, length);
    }
    EXPECT_EQ(labels(niceLengthAxis(875.0)), QStringList({"0", "200", "400", "600", "800"}));
    // No digit grouping on a plot.
    EXPECT_EQ(labels(niceLengthAxis(12000.0)),
              QStringList({"0", "2000", "4000", "6000", "8000", "10000", "12000"}));
    EXPECT_EQ(labels(niceLengthAxis(0.3)),
              QStringList({"0.00", "0.05", "0.10", "0.15", "0.20", "0.25", "0.30"}));
}

// The labels take the user's decimal sign, as every number the window shows; still no grouping.
TEST(FeederPlotAxes, LabelsFollowTheRegionalDecimalSign) {
    const RegionalFormat saved = regionalFormat();
    RegionalFormat comma;
    comma.decimalSign = u',';
    comma.groupSign = u'.';
    setRegionalFormat(comma);
    const QStringList lengths = labels(niceLengthAxis(0.3));
    const QStringList thousands = labels(niceLengthAxis(12000.0));
    const QStringList values = labels(niceValueAxis(0.0, 3.21));
    setRegionalFormat(saved);
    EXPECT_EQ(lengths, QStringList({"0,00", "0,05", "0,10", "0,15", "0,20", "0,25", "0,30"}));
    EXPECT_EQ(thousands, QStringList({"0", "2000", "4000", "6000", "8000", "10000", "12000"}));
    EXPECT_FALSE(values.filter(QStringLiteral(",")).isEmpty()) << values.join(u' ').toStdString();
}

TEST(FeederPlotData, SeriesArePoleValuesFromTheSupply) {
    const LampFeederResult r = computed(10, FeederConnection::PhasesInTurn);
    const FeederPlot plot = feederPlot(r, 5.0, QStringLiteral("WL1"));
    EXPECT_EQ(plot.title, QStringLiteral("WL1 各灯杆处电压损失"));
    EXPECT_EQ(plot.x.title, QStringLiteral("距电源距离 (m)"));
    EXPECT_EQ(plot.y.title, QStringLiteral("电压损失 Δu (%)"));
    ASSERT_EQ(plot.series.size(), 3U);
    for (int k = 0; k < 3; ++k) {
        const PlotSeries& s = plot.series[static_cast<std::size_t>(k)];
        EXPECT_EQ(s.phase, static_cast<Phase>(k));
        EXPECT_EQ(s.name, QStringLiteral("L%1").arg(k + 1));
        EXPECT_TRUE(s.hasLamps);
        ASSERT_EQ(s.points.size(), r.poles.size() + 1);
        EXPECT_EQ(s.points[0].distanceM, 0.0);
        EXPECT_EQ(s.points[0].lossPercent, 0.0);
        for (std::size_t i = 0; i < r.poles.size(); ++i) {
            EXPECT_EQ(s.points[i + 1].distanceM, r.poles[i].distanceM);
            EXPECT_EQ(s.points[i + 1].lossPercent, r.poles[i].lossPercent[k]);
            EXPECT_EQ(s.points[i + 1].lampsOnPhase, r.poles[i].phase == s.phase);
        }
    }
    EXPECT_EQ(plot.x.maximum, r.totalLengthM);
    EXPECT_TRUE(plot.hasWorst);
    EXPECT_EQ(plot.worst.distanceM, r.poles[static_cast<std::size_t>(r.worstPole - 1)].distanceM);
    EXPECT_EQ(plot.worst.lossPercent, r.worstLossPercent);
    EXPECT_EQ(plot.worstPhase, r.worstPhase);
    // The worst pole's Δu as the schedule shows it, to four decimals.
    EXPECT_TRUE(plot.worstLabel.contains(formatFixed(r.worstLossPercent, 4)));
    EXPECT_TRUE(plot.worstLabel.contains(QStringLiteral("第%1杆").arg(r.worstPole)));
}

TEST(FeederPlotData, SinglePhaseFeederShowsTheUnloadedPhasesAsSuch) {
    const LampFeederResult r = computed(12, FeederConnection::SinglePhase);
    const FeederPlot plot = feederPlot(r, 5.0, QStringLiteral("WL2"));
    ASSERT_EQ(plot.series.size(), 3U);
    EXPECT_TRUE(plot.series[0].hasLamps);
    EXPECT_FALSE(plot.series[1].hasLamps);
    EXPECT_FALSE(plot.series[2].hasLamps);
    double lowest = 0.0;
    for (const PlotSeries& s : plot.series) {
        ASSERT_EQ(s.points.size(), r.poles.size() + 1);
        for (std::size_t i = 0; i < r.poles.size(); ++i) {
            const double loss = r.poles[i].lossPercent[static_cast<std::size_t>(s.phase)];
            EXPECT_EQ(s.points[i + 1].lossPercent, loss);
            lowest = std::min(lowest, loss);
        }
    }
    // The neutral's shift can raise an unloaded phase's voltage: the axis still holds it.
    EXPECT_LE(plot.y.minimum, lowest);
    EXPECT_EQ(plot.worstPhase, Phase::L1);
}

TEST(FeederPlotData, LimitAboveOrBelowTheCurves) {
    const LampFeederResult r = computed(10, FeederConnection::SinglePhase);
    ASSERT_GT(r.worstLossPercent, 1.0);
    ASSERT_LT(r.worstLossPercent, 5.0);

    const FeederPlot above = feederPlot(r, 5.0, QStringLiteral("WL1"));
    EXPECT_TRUE(above.hasLimit);
    EXPECT_EQ(above.limitPercent, 5.0);
    EXPECT_EQ(above.limitLabel, QStringLiteral("限值 5%"));
    EXPECT_GT(above.y.maximum, 5.0);
    EXPECT_FALSE(above.worstExceedsLimit);

    const FeederPlot below = feederPlot(r, 1.0, QStringLiteral("WL1"));
    EXPECT_EQ(below.limitLabel, QStringLiteral("限值 1%"));
    EXPECT_GT(below.y.maximum, r.worstLossPercent);
    EXPECT_TRUE(below.worstExceedsLimit);

    // The worst pole is judged as the schedule judges it, on Δu rounded to four decimals, with ≤:
    // 5.00004 % is shown as 5.0000 % and keeps within 5 %; 5.00006 % is shown as 5.0001 %.
    const struct {
        double worstPercent;
        bool exceeds;
    } boundary[] = {{5.00004, false}, {5.0, false}, {5.00006, true}, {4.99996, false}};
    for (const auto& row : boundary) {
        LampFeederResult one;
        one.totalLengthM = 30.0;
        one.poles = {PoleDrop{1, 30.0, Phase::L1, {row.worstPercent, 0.0, 0.0}}};
        one.worstLossPercent = row.worstPercent;
        one.worstPole = 1;
        const FeederPlot plot = feederPlot(one, 5.0, QStringLiteral("WL1"));
        ASSERT_TRUE(plot.hasWorst) << row.worstPercent;
        EXPECT_EQ(plot.worstExceedsLimit, row.exceeds) << row.worstPercent;
    }

    EXPECT_EQ(feederPlot(r, 2.5, QString()).limitLabel, QStringLiteral("限值 2.5%"));
    EXPECT_EQ(feederPlot(r, 2.5, QString()).title, QStringLiteral("各灯杆处电压损失"));
    for (double none : {0.0, -3.0, std::numeric_limits<double>::quiet_NaN()}) {
        const FeederPlot plot = feederPlot(r, none, QStringLiteral("WL1"));
        EXPECT_FALSE(plot.hasLimit);
        EXPECT_GT(plot.y.maximum, r.worstLossPercent);
    }
}

// A hand-made branched feeder: the trunk 干线 of poles T1, T2, T3 at 30, 60, 90 m and the branch
// 支线1 leaving T2 with B1, B2 at 100, 130 m from the supply; lamps on L1, L2, L3, L1, L2.
LampFeederResult branchedResult(int worstPole, Phase worstPhase) {
    LampFeederResult r;
    auto pole = [](int place, const char* id, double distanceM, Phase phase,
                   std::array<double, 3> loss, int run, int parent) {
        PoleDrop p{place, distanceM, phase, loss};
        p.id = QString::fromLatin1(id);
        p.run = run;
        p.parent = parent;
        return p;
    };
    r.poles = {pole(1, "T1", 30.0, Phase::L1, {0.5, 0.4, 0.3}, 0, -1),
               pole(2, "T2", 60.0, Phase::L2, {1.0, 0.9, 0.8}, 0, 0),
               pole(3, "T3", 90.0, Phase::L3, {1.2, 1.1, 1.4}, 0, 1),
               pole(4, "B1", 100.0, Phase::L1, {1.6, 1.3, 1.2}, 1, 1),
               pole(5, "B2", 130.0, Phase::L2, {1.9, 2.1, 1.5}, 1, 3)};
    RunResult trunk;
    trunk.name = QStringLiteral("干线");
    trunk.firstPole = 0;
    trunk.poleCount = 3;
    RunResult branch;
    branch.name = QStringLiteral("支线1");
    branch.firstPole = 3;
    branch.poleCount = 2;
    branch.fromPole = 1;
    r.runs = {trunk, branch};
    r.totalLengthM = 170.0; // all the cable: 90 m of trunk and 80 m of branch
    r.worstPole = worstPole;
    r.worstPhase = worstPhase;
    r.worstLossPercent = r.poles[static_cast<std::size_t>(worstPole - 1)]
                             .lossPercent[static_cast<std::size_t>(worstPhase)];
    return r;
}

TEST(FeederPlotData, BranchedFeederPlotsThePathToTheWorstPoleAndTheOtherRuns) {
    struct Line {
        const char* name;
        std::vector<std::pair<double, double>> points; // distance m, Δu % at the lamps
    };
    // Expected by hand from the tree above: the path is the parent chain to the worst pole and
    // the rest of its run; each other run starts at the pole before its first pole off the path,
    // every point at the Δu of that pole's own lamp phase.
    const struct {
        int worstPole;
        Phase worstPhase;
        std::vector<double> pathDistances; // after the supply
        std::vector<double> pathL1;        // Δu of L1 at those poles
        const char* pathName;
        std::vector<Line> others;
        const char* worstLabel;
    } cases[] = {
        // Worst at the branch's end: the path turns into 支线1 at T2; T3 is the trunk's rest,
        // from T2 (60 m, 0.9 % on L2) to T3 (90 m, 1.4 % on L3).
        {5,
         Phase::L2,
         {30.0, 60.0, 100.0, 130.0},
         {0.5, 1.0, 1.6, 1.9},
         "干线 → 支线1",
         {{"干线", {{60.0, 0.9}, {90.0, 1.4}}}},
         "最大 2.1000%（支线1，杆B2，L2）"},
        // Worst at the trunk's end: the branch from T2 (0.9 % on L2) to B1 (1.6 % on L1) and B2
        // (2.1 % on L2).
        {3,
         Phase::L3,
         {30.0, 60.0, 90.0},
         {0.5, 1.0, 1.2},
         "干线",
         {{"支线1", {{60.0, 0.9}, {100.0, 1.6}, {130.0, 2.1}}}},
         "最大 1.4000%（干线，杆T3，L3）"},
        // Worst at the first pole: the path still runs to the end of its run, the trunk.
        {1,
         Phase::L1,
         {30.0, 60.0, 90.0},
         {0.5, 1.0, 1.2},
         "干线",
         {{"支线1", {{60.0, 0.9}, {100.0, 1.6}, {130.0, 2.1}}}},
         "最大 0.5000%（干线，杆T1，L1）"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.worstPole);
        const FeederPlot plot =
            feederPlot(branchedResult(c.worstPole, c.worstPhase), 5.0, QStringLiteral("WL3"));
        ASSERT_EQ(plot.series.size(), 3U);
        const PlotSeries& l1 = plot.series[0];
        ASSERT_EQ(l1.points.size(), c.pathDistances.size() + 1);
        EXPECT_EQ(l1.points[0].distanceM, 0.0);
        for (std::size_t i = 0; i < c.pathDistances.size(); ++i) {
            EXPECT_EQ(l1.points[i + 1].distanceM, c.pathDistances[i]) << i;
            EXPECT_EQ(l1.points[i + 1].lossPercent, c.pathL1[i]) << i;
        }
        EXPECT_EQ(plot.pathName, QString::fromUtf8(c.pathName));
        EXPECT_TRUE(plot.x.title.endsWith(QString::fromUtf8(c.pathName)));
        ASSERT_EQ(plot.branches.size(), c.others.size());
        for (std::size_t b = 0; b < c.others.size(); ++b) {
            const BranchSeries& got = plot.branches[b];
            EXPECT_EQ(got.name, QString::fromUtf8(c.others[b].name));
            ASSERT_EQ(got.points.size(), c.others[b].points.size());
            for (std::size_t i = 0; i < got.points.size(); ++i) {
                EXPECT_EQ(got.points[i].distanceM, c.others[b].points[i].first) << i;
                EXPECT_EQ(got.points[i].lossPercent, c.others[b].points[i].second) << i;
            }
        }
        EXPECT_TRUE(plot.showBranches);
        EXPECT_TRUE(plot.hasWorst);
        EXPECT_EQ(plot.worstLabel, QString::fromUtf8(c.worstLabel));
        // The axis reaches the farthest pole from the supply (B2, 130 m), not the 170 m of cable.
        EXPECT_EQ(plot.x.maximum, 130.0);
        EXPECT_GE(plot.y.maximum, 2.1);
    }
}

TEST(FeederPlotData, DegenerateResultsGiveSaneRanges) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    // Nothing at all.
    const FeederPlot empty = feederPlot(LampFeederResult{}, 5.0, QStringLiteral("WL1"));
    expectSaneAxis(empty.x);
    expectSaneAxis(empty.y);
    EXPECT_FALSE(empty.hasWorst);
    for (const PlotSeries& s : empty.series)
        EXPECT_EQ(s.points.size(), 1U);

    // One pole at the supply, every drop zero, no limit.
    LampFeederResult one;
    one.poles.push_back(PoleDrop{1, 0.0, Phase::L1, {0.0, 0.0, 0.0}});
    one.worstPole = 1;
    const FeederPlot flat = feederPlot(one, nan, QStringLiteral("WL1"));
    expectSaneAxis(flat.x);
    expectSaneAxis(flat.y);
    EXPECT_EQ(flat.y.minimum, 0.0);

    // Values no feeder gives: not numbers, infinite, enormous.
    LampFeederResult wild;
    wild.totalLengthM = inf;
    wild.poles.push_back(PoleDrop{1, 10.0, Phase::L1, {nan, 2.0, inf}});
    wild.poles.push_back(PoleDrop{2, nan, Phase::L2, {1.0, 1.0, 1.0}});
    wild.poles.push_back(PoleDrop{3, 30.0, Phase::L3, {1e308, -1e308, 3.0}});
    wild.worstPole = 1;
    wild.worstPhase = Phase::L1;
    const FeederPlot plot = feederPlot(wild, 5.0, QStringLiteral("WL1"));
    expectSaneAxis(plot.x);
    expectSaneAxis(plot.y);
    EXPECT_EQ(plot.x.maximum, 30.0);
    EXPECT_FALSE(plot.hasWorst); // its Δu is not a number
    // The supply and the poles with numbers only.
    EXPECT_EQ(plot.series[0].points.size(), 2U);
    EXPECT_EQ(plot.series[1].points.size(), 3U);
    EXPECT_EQ(plot.series[2].points.size(), 2U);
}

} // namespace
} // namespace korvane
