// Project circuits computed by the pages' own calculations, with every check stated as passed,
// failed with its figures, or not computed with its reason; one bad circuit never stops the rest.

#include "project/checks/circuit_context.h"
#include "project/project_compute.h"
#include "project/project_run.h"
#include "project/result_schema.h"
#include "project/sizing.h"
#include "project_fixtures.h"

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

using State = CheckOutcome::State;

// 60 A at the end of 0.1 km of 50 mm² VV, cos φ 0.9, from the worked network. By hand:
// Δu = √3/(10·0.38)·(0.387·0.9 + 0.08·0.43589)·60·0.1 = 1.0479 %; the short-circuit currents are
// those of the handbook's worked example (I″k3 5.3509, Id 2.1826, I″k1 3.0321 kA); 1.5·60 = 90 A
// selects QR 100 A and QC 105 A; Rlim = 44/(0.1·100) = 4.4 Ω/km ≥ 0.9; Id/Ir2 = 2.1826/0.4 =
// 5.46; 4·79·0.1 = 31.6 mA gives Ivn 100 mA. The thermal stress takes the fault at the line's
// origin, after the busbar: RΣ = 0.158405 + 4.278527 + 0.125, XΣ = 1.584050 + 15.334399 + 0.75
// mΩ, I″k3 = 399/(√3·17.858) = 12.6241 kA, Smin = √0.1·12624.1/115 = 34.714 mm² < 50.
TEST(ProjectCircuit, EndLoadCircuitByHand) {
    const Project project = projectOf({endLoadCircuit(60.0, 0.1)});
    const CircuitResult r = computeCircuit(project, project.circuits.front(), vvCatalogue());

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
    ASSERT_TRUE(r.originShortCircuit.ok());
    EXPECT_NEAR(r.originShortCircuit->ik3, 12.6241, 5e-5);
    EXPECT_NEAR(r.thermal->minimumCrossSectionMm2, 34.714, 1e-3);

    EXPECT_TRUE(r.passed());
    ASSERT_EQ(r.checks.size(), projectChecks().size());
    for (const auto& [check, outcome] : r.checks)
        EXPECT_EQ(outcome.state, State::Passed) << checkName(check).toStdString();
    EXPECT_EQ(r.check(CircuitCheck::VoltageLoss).text(), QStringLiteral("Δu = 1.0479% ≤ 5%"));
}

// The thermal check takes K from the cable's conductor and insulation (GB 50054-2011 表A.0.1,
// IEC 60364-5-54 table 43A: Cu PVC 115, Cu XLPE 143, Al PVC 76, Al XLPE 94), whatever K the file
// holds; a K that differs is named in the notes. The fault is the worked network's at the line's
// origin, I″k3 = 12.6241 kA (EndLoadCircuitByHand), so by hand Smin = √0.1 · 12624.1 / K:
// 42.4691 mm² at 94, 27.9167 mm² at 143.
TEST(ProjectCircuit, TheThermalCheckTakesTheCablesOwnK) {
    const QString xlpe = QStringLiteral("交联聚乙烯绝缘电力电缆(0.6/1kV)");
    const struct {
        const char* cableType;
        double givenK; // 0: none given
        double k;
        double smin;
        const char* note; // the circuit's note on K, empty for none
    } rows[] = {
        {"YJLV 四芯 铝芯", 143.0, 94.0, 42.4691,
         "注意：K = 143 与铝芯交联聚乙烯电缆的 94 不符，按 94 校验"},
        {"YJLV 四芯 铝芯", 94.0, 94.0, 42.4691, ""},
        {"YJLV 四芯 铝芯", 0.0, 94.0, 42.4691, ""},
        {"YJV 四芯 铜芯", 115.0, 143.0, 27.9167,
         "注意：K = 115 与铜芯交联聚乙烯电缆的 143 不符，按 143 校验"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.givenK);
        ProjectCircuit c = endLoadCircuit(60.0, 0.1);
        c.line.cable = {xlpe, QString::fromUtf8(row.cableType), QStringLiteral("25")};
        c.protection.coefficientK = row.givenK;
        const Project project = projectOf({c});
        const CircuitResult r =
            computeCircuit(project, project.circuits.front(), shippedCatalogue());
        ASSERT_TRUE(r.inputProblems.isEmpty()) << r.inputProblems.join(u'\n').toStdString();
        ASSERT_TRUE(r.thermal.ok()) << r.thermal.reason().toStdString();
        EXPECT_EQ(*r.thermalCoefficientK, row.k);
        EXPECT_NEAR(r.thermal->minimumCrossSectionMm2, row.smin, 2e-4);
        const QStringList notes = circuitNoteLines(r);
        const bool named = std::any_of(notes.begin(), notes.end(), [](const QString& n) {
            return n.contains(QStringLiteral("不符"));
        });
        EXPECT_EQ(named, *row.note != 0);
        if (*row.note) {
            EXPECT_TRUE(notes.contains(QString::fromUtf8(row.note)))
                << notes.join(u'\n').toStdString();
        }
    }
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
        const CircuitResult r = computeCircuit(project, c, vvCatalogue());
        SCOPED_TRACE(row.limit);
        EXPECT_EQ(r.check(CircuitCheck::VoltageLoss).state, row.state);
        EXPECT_EQ(r.check(CircuitCheck::VoltageLoss).text(), QString::fromUtf8(row.figures));
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
    ProjectCircuit noBreaker = endLoadCircuit(450.0, 0.01); // 1.5 · 450 A beyond 630 A
    noBreaker.id = QStringLiteral("WL2");
    ProjectCircuit unreadSection = endLoadCircuit(60.0, 0.1); // Smin cannot be compared with S
    unreadSection.id = QStringLiteral("WL3");
    unreadSection.line.cable.crossSection = QStringLiteral("五十");
    // No K given: the copper PVC cable's own, 115 (the K of `passes`), so it passes alike.
    ProjectCircuit noK = endLoadCircuit(60.0, 0.1);
    noK.id = QStringLiteral("WL4");
    noK.protection.coefficientK = 0.0;
    ProjectRun run;
    run.project = projectOf({passes, noBreaker, unreadSection, noK});
    run.results = computeProject(run.project, vvCatalogue());

    const struct {
        CircuitVerdict verdict;
        const char* text;
        const char* note; // the first note, empty for none
    } rows[] = {
        {CircuitVerdict::Passed, "通过", ""},
        {CircuitVerdict::Failed, "不通过",
         "WL2 断路器选择不通过：1.5Ib = 675.00 A 超出选择表范围 (≤630 A)"},
        {CircuitVerdict::NotComputed, "未计算", "WL3 载流量未计算：电缆截面不是数值"},
        {CircuitVerdict::Passed, "通过", ""},
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
    const CircuitResult lossFails = computeCircuit(tight, tight.circuits.front(), vvCatalogue());
    EXPECT_EQ(lossFails.check(CircuitCheck::VoltageLoss).state, State::Failed);
    EXPECT_EQ(lossFails.check(CircuitCheck::VoltageLoss).text(),
              QStringLiteral("Δu = 1.0479% > 1%"));
    EXPECT_EQ(lossFails.firstFailure(), CircuitCheck::VoltageLoss);
    EXPECT_FALSE(lossFails.passed());

    // 1.5 · 450 A = 675 A is beyond the breaker series (630 A): no QR, so neither Iz, Rlim nor
    // the sensitivity can be judged, while the thermal check still is.
    const Project heavy = projectOf({endLoadCircuit(450.0, 0.01)});
    const CircuitResult noBreaker = computeCircuit(heavy, heavy.circuits.front(), vvCatalogue());
    EXPECT_EQ(noBreaker.check(CircuitCheck::BreakerSelection).state, State::Failed);
    EXPECT_EQ(noBreaker.check(CircuitCheck::BreakerSelection).text(),
              QStringLiteral("1.5Ib = 675.00 A 超出选择表范围 (≤630 A)"));
    EXPECT_EQ(noBreaker.check(CircuitCheck::CurrentCapacity).state, State::NotComputed);
    EXPECT_EQ(noBreaker.check(CircuitCheck::LoopResistance).state, State::NotComputed);
    EXPECT_EQ(noBreaker.check(CircuitCheck::Sensitivity).state, State::NotComputed);
    EXPECT_EQ(noBreaker.check(CircuitCheck::ThermalStability).state, State::Passed);

    // A long, thin line: Rphp 0.9 Ω/km over 2 km against Rlim = 44/(2·100) = 0.22 Ω/km.
    const Project longLine = projectOf({endLoadCircuit(60.0, 2.0)});
    const CircuitResult loop = computeCircuit(longLine, longLine.circuits.front(), vvCatalogue());
    EXPECT_EQ(loop.check(CircuitCheck::LoopResistance).state, State::Failed);
    EXPECT_EQ(loop.check(CircuitCheck::LoopResistance).text(),
              QStringLiteral("Rphp = 0.9 Ω/km > Rlim = 0.2200 Ω/km"));

    // Sizing asks of a section it rules out only its first failure: the same check with the
    // same figures, every check after it not computed; a circuit that passes comes out whole.
    const Project passes = projectOf({endLoadCircuit(60.0, 0.1)});
    const CircuitResult whole = computeCircuit(passes, passes.circuits.front(), vvCatalogue());
    ASSERT_TRUE(whole.passed());
    const struct {
        const Project* project;
        const CircuitResult* full;
    } rows[] = {{&tight, &lossFails}, {&heavy, &noBreaker}, {&longLine, &loop}, {&passes, &whole}};
    for (const auto& row : rows) {
        const CircuitResult first = computeCircuit(*row.project, row.project->circuits.front(),
                                                   vvCatalogue(), CircuitDetail::UntilFirstFailure);
        ASSERT_EQ(first.checks.size(), projectChecks().size());
        ASSERT_EQ(first.firstFailure(), row.full->firstFailure());
        bool after = false;
        for (std::size_t k = 0; k < first.checks.size(); ++k) {
            const auto& [check, outcome] = first.checks[k];
            EXPECT_EQ(check, projectChecks()[k].id);
            if (after) {
                EXPECT_EQ(outcome.state, State::NotComputed) << checkName(check).toStdString();
            } else {
                EXPECT_EQ(outcome.state, row.full->check(check).state);
                EXPECT_EQ(outcome.text(), row.full->check(check).text());
            }
            after = after || check == first.firstFailure();
        }
    }
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
    const std::vector<CircuitResult> results = computeProject(project, vvCatalogue());
    ASSERT_EQ(results.size(), 4u);
    EXPECT_TRUE(results[0].passed());

    EXPECT_FALSE(results[1].passed());
    EXPECT_FALSE(results[1].feeder.reason().isEmpty());
    EXPECT_EQ(results[1].check(CircuitCheck::VoltageLoss).state, State::NotComputed);
    EXPECT_EQ(results[1].check(CircuitCheck::VoltageLoss).text(), results[1].feeder.reason());
    EXPECT_FALSE(results[1].shortCircuit.ok());

    for (const CircuitResult* r : {&results[2], &results[3]}) {
        EXPECT_FALSE(r->inputProblems.isEmpty());
        for (const auto& [check, outcome] : r->checks)
            EXPECT_EQ(outcome.state, State::NotComputed) << checkName(check).toStdString();
    }
    EXPECT_TRUE(results[2].check(CircuitCheck::Sensitivity).text().contains(u"kFactor"));
    EXPECT_TRUE(results[3].check(CircuitCheck::ThermalStability).text().contains(u"Rphp 应大于0"));

    // A supply no network has stops every circuit, with its reason.
    Project noSupply = project;
    noSupply.supply.systemCapacityMva = 0.0;
    for (const CircuitResult& r : computeProject(noSupply, vvCatalogue())) {
        EXPECT_FALSE(r.passed());
        EXPECT_TRUE(r.inputProblems.contains(QStringLiteral("系统短路容量应大于0")));
    }
}

// A load case no real low-voltage line has stops its circuit with the reason, never computed and
// passed: cos φ of 0, 5 or −0.5; U typed in volts (380 as 380 kV gave Δu 0.0056 %).
TEST(ProjectCircuit, ALoadCaseNoLowVoltageLineHasIsNotComputed) {
    const struct {
        double cosPhi;
        double kv;
        const char* reason; // empty: computed
    } rows[] = {
        {0.0, 0.38, "cosφ = 0 不在 0～1 之间"},
        {5.0, 0.38, "cosφ = 5 不在 0～1 之间"},
        {-0.5, 0.38, "cosφ = -0.5 不在 0～1 之间"},
        {0.9, 380.0, "U(kV) = 380 超过 1 kV"},
        {1.0, 0.38, ""},
        {0.9, 1.0, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason);
        ProjectCircuit c = endLoadCircuit(60.0, 0.1);
        VoltageLossInput& v = std::get<LoadCaseLoad>(c.load).values;
        v.powerFactor = row.cosPhi;
        v.voltageKv = {row.kv, row.kv};
        const Project project = projectOf({c});
        const CircuitResult r = computeCircuit(project, project.circuits.front(), vvCatalogue());
        if (*row.reason == 0) {
            EXPECT_TRUE(r.inputProblems.isEmpty()) << r.inputProblems.join(u'\n').toStdString();
            EXPECT_TRUE(r.lossPercent.ok());
        } else {
            ASSERT_EQ(r.inputProblems.size(), 1);
            EXPECT_TRUE(r.inputProblems.front().startsWith(QString::fromUtf8(row.reason)))
                << r.inputProblems.front().toStdString();
            EXPECT_EQ(overallState(r), State::NotComputed);
        }
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
    const CircuitResult r = computeCircuit(project, project.circuits.front(), vvCatalogue());
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

// The capacity of the 60 A circuit's 50 mm² VV (In 100 A, IEC 60947-2 kind: I2 = 1.30·In =
// 130 A) laid in several ways. Tabulated I0 of a four-core PVC copper cable, three loaded
// conductors (GB/T 16895.6-2014 = IEC 60364-5-52:2009): D1 116 A (B.52.4), D2 130 A (B.52.4), E
// 153 A (B.52.10). Factors: ground 30 °C PVC 0.89 (B.52.15); three ducts touching 0.75
// (B.52.19); soil 1.0 K·m/W direct in ground 1.50 (B.52.16); air 40 °C PVC 0.87 (B.52.14); two
// cables touching on a perforated tray 0.88 (B.52.17, item 4).
TEST(ProjectCircuit, CurrentCapacityAndOverloadProtectionOfTheWayTheCableIsLaid) {
    const struct {
        const char* label;
        InstallationConditions laid;
        State state;
        const char* figures; // the check's text, or a part of its reason
    } rows[] = {
        {"duct, reference",
         {LayingMethod::InDuct, 20.0, 2.5, 1, std::nullopt},
         State::Passed,
         "Ib = 60 A ≤ In = 100 A ≤ Iz = 116 A，I2 = 130 A ≤ 1.45Iz = 168.2 A"},
        // 116 · 0.89 · 0.75 = 77.43 A
        {"three ducts, warm ground",
         {LayingMethod::InDuct, 30.0, 2.5, 3, 0.0},
         State::Failed,
         "In = 100 A > Iz = 77.4 A，I2 = 130 A > 1.45Iz = 112.3 A"},
        // 130 · 1.50 = 195 A
        {"direct, moist soil",
         {LayingMethod::DirectlyBuried, 20.0, 1.0, 1, std::nullopt},
         State::Passed,
         "Ib = 60 A ≤ In = 100 A ≤ Iz = 195 A，I2 = 130 A ≤ 1.45Iz = 282.8 A"},
        // 153 · 0.87 · 0.88 = 117.14 A, 1.45 · 117.14 = 169.85 A
        {"tray, 40 °C air",
         {LayingMethod::InAir, 40.0, std::nullopt, 2, 0.0},
         State::Passed,
         "Ib = 60 A ≤ In = 100 A ≤ Iz = 117.1 A，I2 = 130 A ≤ 1.45Iz = 169.8 A"},
        // Impossible conditions: this check is not computed, with the reason.
        {"negative resistivity",
         {LayingMethod::DirectlyBuried, 20.0, -1.0, 1, std::nullopt},
         State::NotComputed,
         "土壤热阻系数"},
        {"no circuits",
         {LayingMethod::InDuct, 20.0, 2.5, 0, 0.0},
         State::NotComputed,
         "并列回路数"},
        {"at the insulation's limit",
         {LayingMethod::InAir, 70.0, std::nullopt, 1, std::nullopt},
         State::NotComputed,
         "温度"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ProjectCircuit c = endLoadCircuit(60.0, 0.1);
        c.installation = row.laid;
        const Project project = projectOf({c});
        const CircuitResult r = computeCircuit(project, project.circuits.front(), vvCatalogue());
        const CheckOutcome& capacity = r.check(CircuitCheck::CurrentCapacity);
        EXPECT_EQ(capacity.state, row.state);
        if (row.state == State::NotComputed)
            EXPECT_TRUE(capacity.text().contains(QString::fromUtf8(row.figures)))
                << capacity.text().toStdString();
        else
            EXPECT_EQ(capacity.text(), QString::fromUtf8(row.figures));
        // The other checks of the circuit are computed whatever its capacity.
        EXPECT_EQ(r.check(CircuitCheck::VoltageLoss).state, State::Passed);
        EXPECT_EQ(r.check(CircuitCheck::ThermalStability).state, State::Passed);
    }

    // Conditions neither the circuit nor the project gives: not computed, naming the field.
    Project unlaid = projectOf({endLoadCircuit(60.0, 0.1)});
    unlaid.installation = {};
    const CircuitResult r = computeCircuit(unlaid, unlaid.circuits.front(), vvCatalogue());
    EXPECT_EQ(r.check(CircuitCheck::CurrentCapacity).state, State::NotComputed);
    EXPECT_TRUE(r.check(CircuitCheck::CurrentCapacity).text().contains(u"敷设方式"));
    EXPECT_EQ(overallState(r), State::NotComputed);
}

// 30 poles of two 150 W lamps, λ 0.9, in turn on L1, L2, L3 at 220 V: 10 poles a phase,
// IL = 10 · 2 · 150/(220 · 0.9) = 15.1515 A in each, the fundamental neutral current 0. The
// third harmonics of the three phases add in the neutral: IN = h · 3 · IL. With 40 %, IN =
// 18.18 A > IL and the cable is sized on the neutral with 0.86 (GB/T 16895.6-2014 table E.52.1);
// with none given, the class C limit 30 · 0.9 = 27 % makes IN = 12.27 A and the factor 0.86 on the
// phase current.
TEST(ProjectCircuit, TheNeutralOfALampFeederCarriesTheThirdHarmonicsOfItsLamps) {
    const struct {
        std::optional<double> h3;
        double neutralA;
        bool onNeutral;
    } rows[] = {{40.0, 18.1818, true}, {std::nullopt, 12.2727, false}, {10.0, 4.5455, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.h3.value_or(-1));
        ProjectCircuit c = endLoadCircuit(0.0, 0.0);
        LampFeeder lamps;
        lamps.poles = 30;
        lamps.lampsPerPole = 2;
        lamps.lampPowerW = 150.0;
        lamps.lampPowerFactor = 0.9;
        lamps.spacingM = 30.0;
        lamps.firstPoleM = 30.0;
        lamps.connection = FeederConnection::PhasesInTurn;
        lamps.thirdHarmonicPercent = row.h3;
        c.load = lamps;
        const Project project = projectOf({c});
        const CircuitResult r = computeCircuit(project, project.circuits.front(), vvCatalogue());
        ASSERT_TRUE(r.neutral.ok()) << r.neutral.reason().toStdString();
        EXPECT_NEAR(r.neutral->withoutHarmonicsA, 0.0, 1e-6);
        EXPECT_NEAR(r.neutral->withHarmonicsA, row.neutralA, 5e-5);
        EXPECT_EQ(r.neutral->classCLimit, !row.h3.has_value());
        ASSERT_TRUE(r.capacity.ok()) << r.capacity.reason().toStdString();
        EXPECT_EQ(r.capacity->neutralCurrentA.has_value(), row.onNeutral);
        // 50 mm² in a duct: 116 A, with 0.86 where the harmonics exceed 15 %.
        EXPECT_NEAR(r.capacity->capacityA, row.h3.value_or(27.0) > 15.0 ? 116 * 0.86 : 116.0, 1e-9);
    }
}

// The phase-to-neutral loop of a four-core cable sized by the program is the phase and the
// neutral core in series, R′php, X′php of the handbook (50 mm² copper, PVC: 1.053, 0.158 mΩ/m).
// By hand over 100 m from the worked supply: R1 = 0.158405 + 4.278527 + 0.125 + 105.3 =
// 109.862 mΩ, X1 = 1.584050 + 15.334399 + 0.75 + 15.8 = 33.468 mΩ, I″k1 = 380/(√3·114.847) =
// 1.9103 kA; with the single conductor's R′ = 0.351, X′ = 0.079 it would be 4.6492 kA.
TEST(ProjectCircuit, SinglePhaseFaultCurrentOfAFourCoreCableTakesTheNeutralReturn) {
    const CableRow row{vvCopper("50"), 0.387, 0.08};
    const auto constants =
        handbookLineConstants({ConductorMaterial::Copper, Insulation::Pvc}, 50.0);
    ASSERT_TRUE(constants.ok());
    ProjectCircuit sized = withCableSection(endLoadCircuit(60.0, 0.1), row, *constants);
    EXPECT_DOUBLE_EQ(sized.line.neutralResistanceMilliOhmPerM, 1.053);
    EXPECT_DOUBLE_EQ(sized.line.neutralReactanceMilliOhmPerM, 0.158);
    Project project = projectOf({sized});
    CircuitResult r = computeCircuit(project, project.circuits.front(), vvCatalogue());
    ASSERT_TRUE(r.shortCircuit.ok());
    EXPECT_NEAR(r.shortCircuit->ik1, 1.9103, 5e-5);
    EXPECT_TRUE(r.warnings.isEmpty());

    // A file holding the single conductor's values as the loop keeps them, with a warning.
    sized.line.neutralResistanceMilliOhmPerM = sized.line.perMetreMilliOhm.resistance;
    sized.line.neutralReactanceMilliOhmPerM = sized.line.perMetreMilliOhm.reactance;
    project = projectOf({sized});
    r = computeCircuit(project, project.circuits.front(), vvCatalogue());
    EXPECT_NEAR(r.shortCircuit->ik1, 4.6492, 5e-5);
    ASSERT_EQ(r.warnings.size(), 1);
    EXPECT_TRUE(r.warnings.front().contains(u"未计入中性线"));
    EXPECT_TRUE(circuitNoteLines(r).contains(u"注意："_qs + r.warnings.front()));
}

// The thermal stress with the device's let-through energy where it clears in under 0.1 s:
// Smin = √(2·10⁵)/115 = 3.8888 mm²; at 0.1 s the I²t given is not used, and Smin = √0.1 ·
// 12624.1/115 = 34.714 mm² (I″k3 at the origin).
TEST(ProjectCircuit, ThermalStressTakesTheLetThroughEnergyOfAFastDevice) {
    const struct {
        double durationS;
        double minimumMm2;
    } rows[] = {{0.01, 3.8888}, {0.1, 34.714}};
    for (const auto& row : rows) {
        ProjectCircuit c = endLoadCircuit(60.0, 0.1);
        c.protection.durationS = row.durationS;
        c.protection.letThroughA2s = 2e5;
        const Project project = projectOf({c});
        const CircuitResult r = computeCircuit(project, project.circuits.front(), vvCatalogue());
        ASSERT_TRUE(r.thermal.ok()) << row.durationS;
        EXPECT_NEAR(r.thermal->minimumCrossSectionMm2, row.minimumMm2, 1e-3) << row.durationS;
    }
}

// Δu at the conductors' working temperature, whatever temperature the database's R is at:
// 50 mm² VV (R20 0.387) at 70 °C: R = 0.387 · (1 + 0.00393 · 50) = 0.463046 Ω/km, Δu =
// √3/3.8 · (0.463046 · 0.9 + 0.08 · 0.43589) · 6 = 1.2351 %. Two feeders of 16 mm² copper, VV
// (R 1.15 at 20 °C) and YJV (R 1.466 at 90 °C), computed at 90 °C: 1.15 · 1.2751 = 1.466365 and
// 1.466, the same loss to the database's rounding.
TEST(ProjectCircuit, VoltageLossIsComputedAtTheWorkingTemperature) {
    Project project = projectOf({endLoadCircuit(60.0, 0.1)});
    project.conductorTemperatureC.reset();
    CircuitResult r = computeCircuit(project, project.circuits.front(), vvCatalogue());
    ASSERT_TRUE(r.resistance.ok());
    EXPECT_EQ(r.resistance->workingTemperatureC, 70.0);
    EXPECT_NEAR(r.resistance->ohmPerKm, 0.463046, 1e-6);
    EXPECT_NEAR(*r.lossPercent, 1.2351, 1e-9);

    auto feederOn = [](const char* lossType, const char* cableType, double r) {
        ProjectCircuit c = endLoadCircuit(0.0, 0.0);
        c.line.cable = {QString::fromUtf8(lossType), QString::fromUtf8(cableType),
                        QStringLiteral("16")};
        c.line.resistanceOhmPerKm = r;
        c.line.reactanceOhmPerKm = 0.086;
        LampFeeder lamps;
        lamps.poles = 24;
        lamps.lampPowerW = 250.0;
        lamps.lampPowerFactor = 0.9;
        lamps.spacingM = 35.0;
        lamps.firstPoleM = 20.0;
        lamps.connection = FeederConnection::PhasesInTurn;
        c.load = lamps;
        return c;
    };
    project = projectOf({feederOn("聚氯乙烯绝缘电力电缆(0.6/1kV)", "VV 四芯 铜芯", 1.15),
                         feederOn("交联聚乙烯绝缘电力电缆(0.6/1kV)", "YJV 四芯 铜芯", 1.466)});
    project.conductorTemperatureC = 90.0;
    const std::vector<CircuitResult> both = computeProject(project, vvCatalogue());
    ASSERT_TRUE(both[0].feeder.ok() && both[1].feeder.ok());
    EXPECT_NEAR(both[0].resistance->ohmPerKm, 1.466365, 1e-6);
    EXPECT_NEAR(both[0].feeder->worstLossPercent / both[1].feeder->worstLossPercent, 1.0, 3e-4);

    // A loss type the database gives no temperature for: the loss is not computed.
    ProjectCircuit unknown = endLoadCircuit(60.0, 0.1);
    unknown.line.cable.lossType = QStringLiteral("测试类型");
    project = projectOf({unknown});
    r = computeCircuit(project, project.circuits.front(), vvCatalogue());
    EXPECT_EQ(r.check(CircuitCheck::VoltageLoss).state, State::NotComputed);
    EXPECT_TRUE(r.check(CircuitCheck::VoltageLoss).text().contains(u"测试类型"));
}

// A feeder of 50 mm² VV with a branch of 16 mm² VV: trunk T1–T3 at 40 m spans, branch "支线1"
// leaving T1 with B1–B3 at 30 m, one 150 W lamp (cos φ 0.9) on every pole, single-phase.
ProjectCircuit branchedFeeder() {
    const auto c50 = handbookLineConstants({ConductorMaterial::Copper, Insulation::Pvc}, 50.0);
    ProjectCircuit circuit =
        withCableSection(endLoadCircuit(0.0, 0.0), CableRow{vvCopper("50"), 0.387, 0.08}, *c50);
    circuit.id = QStringLiteral("WL5");
    LampFeeder f;
    const LampGroup lamp{1, 150.0, 0.9, 1.0, std::nullopt};
    FeederRun trunk{QStringLiteral("干线"), {}, std::nullopt, {}};
    for (const char* id : {"T1", "T2", "T3"})
        trunk.poles.push_back({QString::fromLatin1(id), 40.0, {lamp}, std::nullopt});
    FeederRun branch{QStringLiteral("支线1"), QStringLiteral("T1"), vvCopper("16"), {}};
    for (const char* id : {"B1", "B2", "B3"})
        branch.poles.push_back({QString::fromLatin1(id), 30.0, {lamp}, std::nullopt});
    f.poleList.runs = {trunk, branch};
    circuit.load = f;
    return circuit;
}

// The fault at the weakest end of the branched feeder by hand. Per metre, mΩ/m (handbook tables
// of a four-core PVC copper cable): 50 mm² R0 0.351, X0 0.079, Rphp 1.053, Xphp 0.158; 16 mm²
// R0 1.097, X0 0.087, Rphp 3.291, Xphp 0.174 (R′, X′ = Rphp, Xphp). Loop to T3: 120·1.053 =
// 126.36 mΩ; to B3: 40·1.053 + 90·3.291 = 338.31 mΩ: B3 is the weakest end, 130 m away. The
// equivalent line of its path, Σ r_i·L_i / Σ L_i over 130 m: R0 = (14.04 + 98.73)/130 = 0.867462,
// X0 = (3.16 + 7.83)/130 = 0.084538, Rphp = R′ = 338.31/130 = 2.602385, Xphp = X′ = (6.32 +
// 15.66)/130 = 0.169077. I″k3 there: RΣ = 4.561932 + 112.77, XΣ = 17.668449 + 10.99 mΩ (supply
// as in EndLoadCircuitByHand), I″k3 = 399/(√3·120.783) = 1.90727 kA. The branch's origin is T1,
// 40 m of trunk: RΣ = 4.561932 + 14.04, XΣ = 17.668449 + 3.16, I″k3 = 8.24907 kA, and 16 mm²
// needs Smin = √0.1·8249.07/115 = 22.683 mm²: the branch fails its thermal check, the trunk
// (origin after the busbar, Smin 34.714 < 50) passes it.
TEST(ProjectCircuit, AFaultAtTheWeakestEndOfABranchedFeederSeesItsEquivalentLine) {
    const Project project = projectOf({branchedFeeder()});
    const CircuitResult r = computeCircuit(project, project.circuits.front(), vvCatalogue());
    ASSERT_TRUE(r.feeder.ok()) << r.feeder.reason().toStdString();
    EXPECT_EQ(r.feeder->weakestPole, 5);
    EXPECT_NEAR(*r.lineLengthKm, 0.130, 1e-12);
    CircuitLine hand = project.circuits.front().line;
    hand.perMetreMilliOhm = {0.867462, 0.084538, 2.602385, 0.169077};
    hand.neutralResistanceMilliOhmPerM = 2.602385;
    hand.neutralReactanceMilliOhmPerM = 0.169077;
    hand.lengthKm = 0.130;
    const Computed<ShortCircuitResult> byHand =
        computeShortCircuit(shortCircuitInput(project.supply, hand));
    ASSERT_TRUE(r.shortCircuit.ok() && byHand.ok());
    EXPECT_NEAR(r.shortCircuit->ik3, 1.90727, 5e-5);
    EXPECT_NEAR(r.shortCircuit->ik3, byHand->ik3, 1e-5);
    EXPECT_NEAR(r.shortCircuit->ik1, byHand->ik1, 1e-5);
    EXPECT_NEAR(r.shortCircuit->id, byHand->id, 1e-5);

    ASSERT_EQ(r.sections.size(), 2u);
    EXPECT_EQ(r.sections[1].run, QStringLiteral("支线1"));
    EXPECT_EQ(r.sections[1].cable.crossSection, QStringLiteral("16"));
    EXPECT_NEAR(r.sections[1].lengthM, 90.0, 1e-12);
    ASSERT_TRUE(r.sections[1].originShortCircuit.ok());
    EXPECT_NEAR(r.sections[1].originShortCircuit->ik3, 8.24907, 5e-5);
    EXPECT_NEAR(r.sections[0].originShortCircuit->ik3, 12.6241, 5e-5);
    EXPECT_NEAR(r.sections[1].thermal->minimumCrossSectionMm2, 22.683, 1e-3);
    EXPECT_EQ(r.sections[0].thermalOutcome.state, State::Passed);
    EXPECT_EQ(r.sections[1].thermalOutcome.state, State::Failed);
    const CheckOutcome& thermal = r.check(CircuitCheck::ThermalStability);
    EXPECT_EQ(thermal.state, State::Failed);
    EXPECT_TRUE(thermal.text().startsWith(u"支线1：Smin = 22.6833 mm² ≥ S = 16 mm²"))
        << thermal.text().toStdString();
    // Six lamps of 150/(220·0.9) = 0.757576 A on L1: Ib = 4.545 A, 1.5·Ib selects the
    // smallest breaker; the branch carries its three lamps, 2.273 A.
    EXPECT_NEAR(*r.loadCurrentA, 6 * 150 / 198.0, 1e-9);
    EXPECT_NEAR(r.sections[1].capacity->overload.loadCurrentA, 3 * 150 / 198.0, 1e-9);
    EXPECT_EQ(r.check(CircuitCheck::CurrentCapacity).state, State::Passed);
    EXPECT_TRUE(r.check(CircuitCheck::CurrentCapacity).text().contains(u"支线1：Ib = 2.3 A"))
        << r.check(CircuitCheck::CurrentCapacity).text().toStdString();

    // The branch with no cable of its own takes the trunk's: one 50 mm² cable, whose origin
    // at T1 (8.249 kA, Smin 22.683 mm²) it withstands.
    Project same = project;
    std::get<LampFeeder>(same.circuits[0].load).poleList.runs[1].cable.reset();
    const CircuitResult one = computeCircuit(same, same.circuits.front(), vvCatalogue());
    ASSERT_EQ(one.sections.size(), 2u);
    EXPECT_EQ(one.sections[1].cable.crossSection, QStringLiteral("50"));
    EXPECT_EQ(one.check(CircuitCheck::ThermalStability).state, State::Passed);
    const auto conductors = feederConductors(same, same.circuits.front(), vvCatalogue());
    ASSERT_TRUE(conductors.ok());
    EXPECT_DOUBLE_EQ((*conductors)[1].perMetreMilliOhm.loopResistance, 1.053);

    // A branch cable the database does not hold stops the feeder, naming the branch.
    Project unknown = project;
    std::get<LampFeeder>(unknown.circuits[0].load).poleList.runs[1].cable = vvCopper("17");
    const auto missing = feederConductors(unknown, unknown.circuits.front(), vvCatalogue());
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(missing.reason().startsWith(u"支线“支线1”：电缆数据库中无"))
        << missing.reason().toStdString();
    EXPECT_FALSE(computeCircuit(unknown, unknown.circuits.front(), vvCatalogue()).feeder.ok());
}

} // namespace
} // namespace korvane::testing
