// Project circuits computed by the pages' own calculations, with every check stated as passed,
// failed with its figures, or not computed with its reason; one bad circuit never stops the rest.

#include "project/project_compute.h"
#include "project/project_run.h"
#include "project/result_schema.h"
#include "project_fixtures.h"

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

using State = CheckOutcome::State;

// 60 A at the end of 0.1 km of 50 mm² VV, cos φ 0.9, from the worked network. By hand:
// Δu = √3/(10·0.38)·(0.387·0.9 + 0.08·0.43589)·60·0.1 = 1.0479 %; the short-circuit currents are
// those of the handbook's worked example (I″k3 5.3509, Id 2.1826, I″k1 3.0321 kA); 1.5·60 = 90 A
// selects QR 100 A and QC 105 A; Rlim = 44/(0.1·100) = 4.4 Ω/km ≥ 0.9; Id/Ir2 = 2.1826/0.4 =
// 5.46; Smin = √0.1·5350.9/115 = 14.714 mm² < 50; 4·79·0.1 = 31.6 mA gives Ivn 100 mA.
TEST(ProjectCircuit, EndLoadCircuitByHand) {
    const Project project = projectOf({endLoadCircuit(60.0, 0.1)});
    const CircuitResult r = computeCircuit(project, project.circuits.front());

    ASSERT_TRUE(r.inputProblems.isEmpty()) << r.inputProblems.join(u'\n').toStdString();
    EXPECT_NEAR(*r.lossPercent, 1.0479, 1e-9);
    EXPECT_NEAR(*r.lineLengthKm, 0.1, 1e-12);
    // The limit reached with the load kept: 100 m · 5 / 1.047903.
    EXPECT_NEAR(*r.maxLengthM, 477.14, 0.01);
    ASSERT_TRUE(r.shortCircuit.ok());
    EXPECT_NEAR(r.shortCircuit->ik3, 5.3509, 5e-5);
    EXPECT_NEAR(r.shortCircuit->id, 2.1826, 5e-5);
    EXPECT_NEAR(r.shortCircuit->ik1, 3.0321, 5e-5);
    EXPECT_EQ(r.switchgear->breakerRatedA, 100);
    EXPECT_EQ(r.switchgear->contactorRatedA, 105);
    EXPECT_EQ(r.residual->ratedResidualMa, 100);
    EXPECT_NEAR(r.loopResistance->limitOhmPerKm, 4.4, 1e-12);
    EXPECT_EQ(r.sensitivity->text, QStringLiteral("5.46"));
    EXPECT_NEAR(r.thermal->minimumCrossSectionMm2, 14.714, 1e-3);

    EXPECT_TRUE(r.passed());
    ASSERT_EQ(r.checks.size(), std::size(kCircuitChecks));
    for (const auto& [check, outcome] : r.checks)
        EXPECT_EQ(outcome.state, State::Passed) << checkName(check).toStdString();
    EXPECT_EQ(r.check(CircuitCheck::VoltageLoss).text, QStringLiteral("Δu = 1.0479% ≤ 5%"));
}

// The same circuit (Δu = 1.0479 % by hand) against limits about its shown figure: the figure the
// schedule shows is the one judged, and Δu equal to the limit keeps within it (≤). The result
// schema's Δu cell, voltage-loss cell and verdict say the same in every output.
TEST(ProjectCircuit, TheShownVoltageLossIsJudgedAgainstTheLimitWithLessOrEqual) {
    const struct {
        double limit;
        State state;
        const char* figures;
        const char* verdict;
    } rows[] = {
        {1.0479, State::Passed, "Δu = 1.0479% ≤ 1.0479%", "通过"},
        {1.0478, State::Failed, "Δu = 1.0479% > 1.0478%", "不通过"},
        {1.04795, State::Passed, "Δu = 1.0479% ≤ 1.04795%", "通过"},
    };
    const ResultSchema& schema = projectResultSchema();
    for (const auto& row : rows) {
        Project project = projectOf({endLoadCircuit(60.0, 0.1)});
        project.voltageLossLimitPercent = row.limit;
        const ProjectCircuit& c = project.circuits.front();
        const CircuitResult r = computeCircuit(project, c);
        SCOPED_TRACE(row.limit);
        EXPECT_EQ(r.check(CircuitCheck::VoltageLoss).state, row.state);
        EXPECT_EQ(r.check(CircuitCheck::VoltageLoss).text, QString::fromUtf8(row.figures));
        auto shown = [&](const char* header) {
            const SchemaColumn* column = schema.column(QString::fromUtf8(header));
            return column ? resultText(*column, column->read(c, r), RegionalFormat{}) : QString();
        };
        EXPECT_EQ(shown("Δu(%)"), QStringLiteral("1.0479"));
        EXPECT_EQ(shown("电压损失"), row.state == State::Passed ? u"通过"_qs : u"不通过"_qs);
        EXPECT_EQ(shown("结论"), QString::fromUtf8(row.verdict));
    }
}

// A circuit's verdict has three states, the same in every output: a circuit with a check that
// could not be computed and none that failed is neither passed nor failed. The notes say what
// stands behind each one that did not pass.
TEST(ProjectCircuit, TheVerdictIsPassedFailedOrNotComputedAndTheNotesSayWhy) {
    ProjectCircuit passes = endLoadCircuit(60.0, 0.1);
    ProjectCircuit noBreaker = endLoadCircuit(200.0, 0.1); // 1.5 · 200 A beyond 160 A
    noBreaker.id = QStringLiteral("WL2");
    ProjectCircuit unreadSection = endLoadCircuit(60.0, 0.1); // Smin cannot be compared with S
    unreadSection.id = QStringLiteral("WL3");
    unreadSection.line.cable.crossSection = QStringLiteral("五十");
    ProjectCircuit noK = endLoadCircuit(60.0, 0.1);
    noK.id = QStringLiteral("WL4");
    noK.protection.coefficientK = 0.0;
    ProjectRun run;
    run.project = projectOf({passes, noBreaker, unreadSection, noK});
    run.results = computeProject(run.project);

    const struct {
        CircuitVerdict verdict;
        const char* text;
        const char* note; // the first note, empty for none
    } rows[] = {
        {CircuitVerdict::Passed, "通过", ""},
        {CircuitVerdict::Failed, "不通过", "WL2 断路器选择不通过：1.5Ib = 300.00 A 超出选择表范围"},
        {CircuitVerdict::NotComputed, "未计算", "WL3 热稳定未计算：电缆截面不是数值"},
        {CircuitVerdict::NotComputed, "未计算", "WL4 未计算：热稳定系数 K 应大于0"},
    };
    const QStringList cli = projectResultsText(run).split(u'\n');
    for (size_t i = 0; i < std::size(rows); ++i) {
        const ProjectCircuit& c = run.project.circuits[i];
        const CircuitResult& r = run.results[i];
        SCOPED_TRACE(c.id.toStdString());
        EXPECT_EQ(circuitVerdict(r), rows[i].verdict);
        EXPECT_EQ(verdictText(circuitVerdict(r)), QString::fromUtf8(rows[i].text));
        const QStringList notes = circuitNotes(c, r);
        if (*rows[i].note == 0)
            EXPECT_TRUE(notes.isEmpty()) << notes.join(u'\n').toStdString();
        else
            EXPECT_TRUE(!notes.isEmpty() &&
                        notes.front().startsWith(QString::fromUtf8(rows[i].note)))
                << notes.join(u'\n').toStdString();
        // korvane-cli's line of the circuit ends in the same verdict; its notes are listed below.
        ASSERT_GT(cli.size(), qsizetype(i + 1));
        EXPECT_EQ(cli[qsizetype(i + 1)].section(u'\t', -1), QString::fromUtf8(rows[i].text));
        for (const QString& note : notes)
            EXPECT_TRUE(cli.contains(note)) << note.toStdString();
    }
}

TEST(ProjectCircuit, EachFailureIsStatedWithItsFiguresAndWhatItPreventsIsNotComputed) {
    // The project's own limit decides the voltage loss.
    Project tight = projectOf({endLoadCircuit(60.0, 0.1)});
    tight.voltageLossLimitPercent = 1.0;
    const CircuitResult lossFails = computeCircuit(tight, tight.circuits.front());
    EXPECT_EQ(lossFails.check(CircuitCheck::VoltageLoss).state, State::Failed);
    EXPECT_EQ(lossFails.check(CircuitCheck::VoltageLoss).text, QStringLiteral("Δu = 1.0479% > 1%"));
    EXPECT_EQ(lossFails.firstFailure(), CircuitCheck::VoltageLoss);
    EXPECT_FALSE(lossFails.passed());

    // 1.5 · 200 A = 300 A is beyond the breaker table: no QR, so neither Rlim nor the
    // sensitivity can be judged, while the thermal check still is.
    const Project heavy = projectOf({endLoadCircuit(200.0, 0.1)});
    const CircuitResult noBreaker = computeCircuit(heavy, heavy.circuits.front());
    EXPECT_EQ(noBreaker.check(CircuitCheck::BreakerSelection).state, State::Failed);
    EXPECT_TRUE(noBreaker.check(CircuitCheck::BreakerSelection).text.contains(u"300.00"));
    EXPECT_EQ(noBreaker.check(CircuitCheck::LoopResistance).state, State::NotComputed);
    EXPECT_EQ(noBreaker.check(CircuitCheck::Sensitivity).state, State::NotComputed);
    EXPECT_EQ(noBreaker.check(CircuitCheck::ThermalStability).state, State::Passed);

    // A long, thin line: Rphp 0.9 Ω/km over 2 km against Rlim = 44/(2·100) = 0.22 Ω/km.
    const Project longLine = projectOf({endLoadCircuit(60.0, 2.0)});
    const CircuitResult loop = computeCircuit(longLine, longLine.circuits.front());
    EXPECT_EQ(loop.check(CircuitCheck::LoopResistance).state, State::Failed);
    EXPECT_EQ(loop.check(CircuitCheck::LoopResistance).text,
              QStringLiteral("Rphp = 0.9 Ω/km > Rlim = 0.2200 Ω/km"));
}

TEST(ProjectCircuit, AnImpossibleCircuitIsNotComputedAndTheOthersStillAre) {
    ProjectCircuit feeder = endLoadCircuit(10.0, 0.1);
    feeder.id = QStringLiteral("WL2");
    LampFeeder lamps;
    lamps.poles = 10;
    lamps.lampPowerW = 100.0;
    lamps.spacingM = -30.0; // no real feeder
    feeder.load = lamps;
    ProjectCircuit unreadable = endLoadCircuit(10.0, 0.1);
    unreadable.id = QStringLiteral("WL3");
    unreadable.inputProblems << QStringLiteral("circuits[3].protection.kFactor：不是数值：“K”");
    ProjectCircuit negative = endLoadCircuit(10.0, 0.1);
    negative.line.perMetreMilliOhm.loopResistance = -0.9;

    const Project project = projectOf({endLoadCircuit(60.0, 0.1), feeder, unreadable, negative});
    const std::vector<CircuitResult> results = computeProject(project);
    ASSERT_EQ(results.size(), 4u);
    EXPECT_TRUE(results[0].passed());

    EXPECT_FALSE(results[1].passed());
    EXPECT_FALSE(results[1].feeder.reason().isEmpty());
    EXPECT_EQ(results[1].check(CircuitCheck::VoltageLoss).state, State::NotComputed);
    EXPECT_EQ(results[1].check(CircuitCheck::VoltageLoss).text, results[1].feeder.reason());
    EXPECT_FALSE(results[1].shortCircuit.ok());

    for (const CircuitResult* r : {&results[2], &results[3]}) {
        EXPECT_FALSE(r->inputProblems.isEmpty());
        for (const auto& [check, outcome] : r->checks)
            EXPECT_EQ(outcome.state, State::NotComputed) << checkName(check).toStdString();
    }
    EXPECT_TRUE(results[2].check(CircuitCheck::Sensitivity).text.contains(u"kFactor"));
    EXPECT_TRUE(results[3].check(CircuitCheck::ThermalStability).text.contains(u"Rphp 应大于0"));

    // A supply no network has stops every circuit, with its reason.
    Project noSupply = project;
    noSupply.supply.systemCapacityMva = 0.0;
    for (const CircuitResult& r : computeProject(noSupply)) {
        EXPECT_FALSE(r.passed());
        EXPECT_TRUE(r.inputProblems.contains(QStringLiteral("系统短路容量应大于0")));
    }
}

// 20 lamps of 0.62 A (136.4 W at cos φ 1 on 220 V), first pole at 50 m, then every 50 m: the
// feeder ends at 1.0 km and its protection is chosen for the current of all lamps, 12.4 A.
TEST(ProjectCircuit, FeederTakesItsLengthAndLoadCurrentFromItsPoles) {
    ProjectCircuit circuit = endLoadCircuit(0.0, 0.0);
    LampFeeder lamps;
    lamps.poles = 20;
    lamps.lampPowerW = 136.4;
    lamps.spacingM = 50.0;
    lamps.firstPoleM = 50.0;
    circuit.load = lamps;
    const Project project = projectOf({circuit});
    const CircuitResult r = computeCircuit(project, project.circuits.front());
    ASSERT_TRUE(r.feeder.has_value()) << r.feeder.reason().toStdString();
    EXPECT_NEAR(*r.lineLengthKm, 1.0, 1e-12);
    EXPECT_NEAR(*r.loadCurrentA, 12.4, 1e-9);
    EXPECT_NEAR(r.feeder->currentMomentAkm, 6.51, 1e-9);
    EXPECT_NEAR(*r.lossPercent, r.feeder->worstLossPercent, 5e-5);
    EXPECT_NEAR(*r.maxLengthM, 1000.0 * 5.0 / r.feeder->worstLossPercent, 1e-6);
    // 1.5 · 12.4 = 18.6 A selects QR 25 A: the short circuit at 1 km is checked against it.
    EXPECT_EQ(r.switchgear->breakerRatedA, 25);
    EXPECT_NE(r.check(CircuitCheck::Sensitivity).state, State::NotComputed);
}

} // namespace
} // namespace korvane::testing
