// Automatic sizing: the smallest section of the cable type that passes every check, the check
// that rules out the next smaller one, and the handbook figures each candidate is checked with.

#include "project/project_run.h"
#include "project/sizing.h"
#include "project/supply_catalogue.h"
#include "project_fixtures.h"

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

// The per-metre figures of the picker tables (《工业与民用配电设计手册》第三版 tables of LV line
// impedances): 50 mm² copper, PVC: R′ 0.351, X′ 0.079, R′php 1.053, X′php 0.158 mΩ/m, leakage
// 79 mA/km; 70 mm² aluminium, XLPE: R′ 0.411, X′ 0.078, R′php 1.233, X′php = 2·X′ = 0.156.
TEST(HandbookConstants, ReadFromThePickerTablesByMaterialInsulationAndSection) {
    const auto pvcCopper50 =
        handbookLineConstants({ConductorMaterial::Copper, Insulation::Pvc}, 50.0);
    ASSERT_TRUE(pvcCopper50.ok());
    EXPECT_DOUBLE_EQ(pvcCopper50->resistance, 0.351);
    EXPECT_DOUBLE_EQ(pvcCopper50->reactance, 0.079);
    EXPECT_DOUBLE_EQ(pvcCopper50->loopResistance, 1.053);
    EXPECT_DOUBLE_EQ(pvcCopper50->loopReactance, 0.158);
    EXPECT_DOUBLE_EQ(pvcCopper50->leakagePerKmMa, 79.0);

    const auto xlpeAl70 =
        handbookLineConstants({ConductorMaterial::Aluminium, Insulation::Xlpe}, 70.0);
    ASSERT_TRUE(xlpeAl70.ok());
    EXPECT_DOUBLE_EQ(xlpeAl70->resistance, 0.411);
    EXPECT_DOUBLE_EQ(xlpeAl70->loopResistance, 1.233);
    EXPECT_DOUBLE_EQ(xlpeAl70->loopReactance, 2 * 0.078);
    EXPECT_DOUBLE_EQ(xlpeAl70->leakagePerKmMa, 33.0);

    // The X′php table is twice X′ at every section of the all-plastic cable: the relation the
    // XLPE loop reactance is taken by.
    for (double s : {4.0, 6.0, 10.0, 16.0, 25.0, 35.0, 50.0, 70.0, 95.0, 120.0, 150.0, 185.0}) {
        const auto c = handbookLineConstants({ConductorMaterial::Copper, Insulation::Pvc}, s);
        ASSERT_TRUE(c.ok()) << s;
        EXPECT_NEAR(c->loopReactance, 2 * c->reactance, 1e-12) << s;
    }

    // A section a table does not hold is reported, never extrapolated.
    const auto tooLarge = handbookLineConstants({ConductorMaterial::Copper, Insulation::Pvc}, 240);
    EXPECT_FALSE(tooLarge.ok());
    EXPECT_EQ(tooLarge.reason(), QStringLiteral("手册表中无 240 mm² 的导线电阻 R′"));
    EXPECT_FALSE(
        handbookLineConstants({ConductorMaterial::Copper, Insulation::Pvc}, 2.5).ok()); // no X′
    const auto overhead = cableConstruction(
        {QStringLiteral("架空线路"), QStringLiteral("LJ 铝绞线 线距0.6m"), QStringLiteral("50")});
    EXPECT_FALSE(overhead.ok());
    EXPECT_TRUE(overhead.reason().contains(u"架空线路"));
    const auto yjlv = cableConstruction({QStringLiteral("交联聚乙烯绝缘电力电缆(0.6/1kV)"),
                                         QStringLiteral("YJLV 四芯 铝芯"), QStringLiteral("50")});
    ASSERT_TRUE(yjlv.ok());
    EXPECT_EQ(yjlv->material, ConductorMaterial::Aluminium);
    EXPECT_EQ(yjlv->insulation, Insulation::Xlpe);
}

struct GoverningCase {
    const char* label;
    double currentA;
    double lengthKm;
    double limitPercent;
    double transformerKva; // the supply's transformer (uk 4 %)
    double loadLossKw;
    double durationS;
    const char* chosen;
    std::optional<CircuitCheck> governing;
};

// Each check in turn rules out the section below the chosen one (figures by hand, per km):
// - Δu: 60 A over 0.1 km at a 1 % limit: 0.4558·6·(0.9R + 0.436X) ≤ 1 needs R ≤ 0.37: 70 mm²
//   (0.276 % per A·km term) passes, 50 mm² (Δu 1.0479 %) does not.
// - Rphp: 30 A over 0.5 km selects In 50 A, Rlim = 44/(0.5·50) = 1.76: 25 mm² (2.106) fails,
//   35 mm² (1.503) passes and its Id/Ir2 = 0.289/0.2 = 1.44 ≥ 1.3.
// - sensitivity: 20 A over 0.25 km from a 30 kVA transformer, In 32 A, Rlim 5.5: 10 mm²
//   (5.262) passes Rlim but Zphp ≈ 1.46 Ω gives Id/Ir2 = 0.150/0.128 = 1.17; 16 mm² gives 1.75.
// - thermal: 10 A over 0.5 km for 1 s: the cable must withstand the fault at its origin,
//   I″k3 = 12.6241 kA after the busbar (worked in ProjectCircuit.EndLoadCircuitByHand), Smin =
//   12624.1/115 = 109.77 mm²: 95 mm² fails and 120 mm² passes, although the fault at the line's
//   far end would ask for far less.
// - current-carrying capacity, in ducts at the reference conditions (PVC copper, D1, GB/T
//   16895.6-2014 table B.52.4: 70 mm² 143 A, 95 mm² 169 A, 150 mm² 217 A, 185 mm² 243 A):
//   100 A over 30 m selects In 160 A (1.5·100 = 150 A): 70 mm² fails In ≤ Iz and 95 mm² carries
//   it; 150 A selects In 225 A from the moulded-case series beyond 160 A: 150 mm² fails and
//   185 mm² carries it.
// K of the K picker table by material and insulation.
TEST(HandbookConstants, ThermalCoefficientByMaterialAndInsulation) {
    EXPECT_EQ(thermalCoefficientK({ConductorMaterial::Copper, Insulation::Pvc}).valueOr(0.0),
              115.0);
    EXPECT_EQ(thermalCoefficientK({ConductorMaterial::Copper, Insulation::Xlpe}).valueOr(0.0),
              143.0);
    EXPECT_EQ(thermalCoefficientK({ConductorMaterial::Aluminium, Insulation::Pvc}).valueOr(0.0),
              76.0);
    EXPECT_EQ(thermalCoefficientK({ConductorMaterial::Aluminium, Insulation::Xlpe}).valueOr(0.0),
              94.0);
}

TEST(Sizing, EachCheckInTurnGovernsTheChosenSection) {
    const GoverningCase cases[] = {
        {"voltage loss", 60.0, 0.1, 1.0, 400.0, 4.3, 0.1, "70", CircuitCheck::VoltageLoss},
        {"loop resistance", 30.0, 0.5, 5.0, 400.0, 4.3, 0.1, "35", CircuitCheck::LoopResistance},
        {"sensitivity", 20.0, 0.25, 5.0, 30.0, 0.63, 0.1, "16", CircuitCheck::Sensitivity},
        {"thermal", 10.0, 0.5, 5.0, 400.0, 4.3, 1.0, "120", CircuitCheck::ThermalStability},
        {"capacity", 100.0, 0.03, 5.0, 400.0, 4.3, 0.1, "95", CircuitCheck::CurrentCapacity},
        {"capacity, 225 A breaker", 150.0, 0.03, 5.0, 400.0, 4.3, 0.1, "185",
         CircuitCheck::CurrentCapacity},
    };
    const CableCatalogue catalogue = vvCatalogue();
    for (const GoverningCase& c : cases) {
        Project project = projectOf({endLoadCircuit(c.currentA, c.lengthKm)});
        project.voltageLossLimitPercent = c.limitPercent;
        project.supply.transformer.ratedKva = c.transformerKva;
        project.supply.transformer.loadLossKw = c.loadLossKw;
        project.circuits[0].protection.durationS = c.durationS;
        const SizingResult s = sizeCircuit(project, project.circuits[0], catalogue);
        ASSERT_TRUE(s.chosen.has_value()) << c.label << ": " << s.notSized.toStdString();
        EXPECT_EQ(s.candidates[*s.chosen].crossSection, QString::fromLatin1(c.chosen)) << c.label;
        EXPECT_EQ(s.governing, c.governing) << c.label << ": " << s.governingText.toStdString();
        // The chosen circuit carries its section's own figures and passes on them.
        EXPECT_EQ(s.sizedCircuit.line.cable.crossSection, QString::fromLatin1(c.chosen));
        EXPECT_TRUE(s.sizedResult.passed()) << c.label;
        // A cable chosen on its capacity carries its breaker's rating.
        if (c.governing == CircuitCheck::CurrentCapacity) {
            ASSERT_TRUE(s.sizedResult.capacity.ok()) << c.label;
            EXPECT_GE(s.sizedResult.capacity->capacityA,
                      double(*s.sizedResult.switchgear->breakerRatedA))
                << c.label;
        }
        // The 2.5 mm² candidate has no X′ in the tables: reported, not checked.
        EXPECT_FALSE(s.candidates.front().notChecked.isEmpty()) << c.label;
    }
}

// The 100 A circuit of a distribution box 30 m from a 400 kVA box transformer: 70 mm² (Iz 143 A)
// cannot carry the 160 A breaker, I2 = 1.30 · 160 = 208 A > 1.45 · 143 = 207.35 A, and sizing
// names it.
TEST(Sizing, TheGoverningCapacityIsNamedWithItsFigures) {
    const Project project = projectOf({endLoadCircuit(100.0, 0.03)});
    const SizingResult s = sizeCircuit(project, project.circuits[0], vvCatalogue());
    EXPECT_EQ(s.governingText,
              QStringLiteral(
                  "70 mm² 不满足载流量：In = 160 A > Iz = 143 A，I2 = 208 A > 1.45Iz = 207.4 A"));
}

TEST(Sizing, NamesWhatFailsWhenNoSectionPassesOrTheCableIsUnknown) {
    const CableCatalogue catalogue = vvCatalogue();
    // 1.5 · 450 A = 675 A: no breaker of the series (up to 630 A), whatever the section.
    const Project heavy = projectOf({endLoadCircuit(450.0, 0.01)});
    const SizingResult none = sizeCircuit(heavy, heavy.circuits[0], catalogue);
    EXPECT_FALSE(none.chosen.has_value());
    EXPECT_TRUE(
        none.notSized.startsWith(QStringLiteral("最大可校验截面 185 mm² 仍不满足断路器选择")))
        << none.notSized.toStdString();
    // Small sections fail on the voltage loss first; from 25 mm² on, each fails on the breaker.
    ASSERT_EQ(none.candidates.size(), 14u);
    EXPECT_EQ(none.candidates[1].failed, CircuitCheck::VoltageLoss); // 4 mm²
    for (size_t i = 5; i < 13; ++i)
        EXPECT_EQ(none.candidates[i].failed, CircuitCheck::BreakerSelection) << i;
    EXPECT_FALSE(none.candidates[13].notChecked.isEmpty()); // 240 mm²: not in the tables
    // The circuit keeps its own section and is computed as it stands.
    EXPECT_EQ(none.sizedCircuit.line.cable.crossSection, QStringLiteral("50"));
    EXPECT_FALSE(none.sizedResult.passed());

    ProjectCircuit overhead = endLoadCircuit(10.0, 0.1);
    overhead.line.cable = {QStringLiteral("架空线路"), QStringLiteral("LJ 铝绞线 线距0.6m"),
                           QStringLiteral("50")};
    const Project project = projectOf({overhead});
    const SizingResult unknown = sizeCircuit(project, project.circuits[0], catalogue);
    EXPECT_FALSE(unknown.chosen.has_value());
    EXPECT_TRUE(unknown.notSized.contains(u"架空线路")) << unknown.notSized.toStdString();
}

// A cable the database does not hold stops its own circuit, sized or not; the others are computed
// and sized as usual.
// A row's cross-section is read as a number once, when the row is made: the database's plain
// decimals are numbers, anything else is no section to size with. Sizing orders the sections by
// that number, not by their text ("10" after "6"), and leaves the rows without one out.
TEST(Sizing, SectionsAreNumbersReadOnceAndOrderedByThem) {
    const struct {
        const char* text;
        std::optional<double> mm2;
    } sections[] = {{"2.5", 2.5},
                    {"240", 240.0},
                    {"1,5", std::nullopt},
                    {"", std::nullopt},
                    {"4x50", std::nullopt}};
    for (const auto& s : sections)
        EXPECT_EQ(CableRow(vvCopper(s.text), 1.0, 0.1).crossSectionMm2, s.mm2) << s.text;

    CableCatalogue catalogue = vvCatalogue(); // stored largest first
    catalogue.rows.push_back({vvCopper("4x50"), 0.4, 0.08});
    std::vector<double> order;
    for (const CableRow* row :
         catalogue.sectionsOf(vvCopper("50").lossType, vvCopper("50").cableType))
        order.push_back(*row->crossSectionMm2);
    EXPECT_EQ(order,
              (std::vector<double>{2.5, 4, 6, 10, 16, 25, 35, 50, 70, 95, 120, 150, 185, 240}));
}

TEST(ProjectRun, ACableOutsideTheDatabaseStopsOnlyItsCircuit) {
    ProjectCircuit unknown = endLoadCircuit(60.0, 0.1);
    unknown.id = QStringLiteral("WL2");
    unknown.line.cable.crossSection = QStringLiteral("55");
    const Project project = projectOf({endLoadCircuit(60.0, 0.1), unknown});
    for (bool size : {false, true}) {
        const ProjectRun run = runProject(project, vvCatalogue(), size);
        ASSERT_EQ(run.results.size(), 2u);
        EXPECT_TRUE(run.results[0].passed()) << size;
        ASSERT_FALSE(run.results[1].inputProblems.isEmpty()) << size;
        EXPECT_EQ(run.results[1].inputProblems.front(),
                  QStringLiteral(
                      "电缆数据库中无电缆“聚氯乙烯绝缘电力电缆(0.6/1kV) / VV 四芯 铜芯 / 55 mm²”"));
        EXPECT_FALSE(run.results[1].passed());
        if (size) {
            ASSERT_TRUE(run.sizing[0] && run.sizing[1]);
            EXPECT_TRUE(run.sizing[0]->chosen.has_value());
            EXPECT_FALSE(run.sizing[1]->chosen.has_value());
            EXPECT_EQ(run.project.circuits[1].line.cable.crossSection, QStringLiteral("55"));
        }
    }
}

// A supply the transformer and busbar database lacks stops every circuit, with both reasons; one
// it holds (the voltage left open matches any) stops none.
TEST(ProjectRun, ASupplyOutsideTheDatabaseStopsEveryCircuit) {
    SupplyCatalogue catalogue;
    catalogue.transformers = {{QStringLiteral("S11-M"), QStringLiteral("10"), 400.0}};
    catalogue.busbars = {{QStringLiteral("铜母线TMY"), QStringLiteral("4(100X10)")}};
    Project known = projectOf({endLoadCircuit(60.0, 0.1), endLoadCircuit(30.0, 0.1)});
    known.supply.transformer.voltageKv.clear();
    markUnknownSupply(known, catalogue);
    for (const ProjectCircuit& c : known.circuits)
        EXPECT_TRUE(c.inputProblems.isEmpty());

    Project unknown = projectOf({endLoadCircuit(60.0, 0.1), endLoadCircuit(30.0, 0.1)});
    unknown.supply.transformer.ratedKva = 450.0;
    unknown.supply.busbar.size = QStringLiteral("4(100X12)");
    markUnknownSupply(unknown, catalogue);
    for (const CircuitResult& r : computeProject(unknown, vvCatalogue())) {
        EXPECT_FALSE(r.passed());
        EXPECT_EQ(r.inputProblems,
                  (QStringList{QStringLiteral("变压器数据库中无变压器“S11-M 10 kV 450 kVA”"),
                               QStringLiteral("母线数据库中无母线“铜母线TMY 4(100X12)”")}));
    }
}

// A street of 20 poles at 30 m (2 × 150 W, cos φ 0.9, phases in turn) with a side street of 8
// poles at 30 m (one 100 W LED each) leaving pole 10, on VV four-core copper, Δu within 3 %.
ProjectCircuit streetWithSideStreet() {
    ProjectCircuit circuit = endLoadCircuit(0.0, 0.0);
    circuit.id = QStringLiteral("WL7");
    LampFeeder f;
    f.connection = FeederConnection::PhasesInTurn;
    FeederRun trunk{QStringLiteral("干线"), {}, std::nullopt, {}};
    for (int i = 1; i <= 20; ++i)
        trunk.poles.push_back(
            {QStringLiteral("N%1").arg(i), 30.0, {{2, 150.0, 0.9, 1.0, std::nullopt}}, {}});
    FeederRun side{QStringLiteral("支线1"), QStringLiteral("N10"), std::nullopt, {}};
    for (int i = 1; i <= 8; ++i)
        side.poles.push_back(
            {QStringLiteral("S%1").arg(i), 30.0, {{1, 100.0, 1.0, 1.0, std::nullopt}}, {}});
    f.poleList.runs = {trunk, side};
    circuit.load = f;
    return circuit;
}

// The trunk and the branch are sized together, the least copper (Σ S·L: 600 m of trunk, 240 m
// of branch) among the combinations that pass. The set of combinations is enumerated here in
// full, every checkable section of the trunk (4 … 185 mm²) with every one of the branch, each
// computed as a circuit of its own: the choice must pass, and every combination of less copper
// must fail. Rows: Δu governs (3 %); with the limit out of the way (50 %) the fault at the far
// end governs, by its loop resistance and sensitivity (I″k1 where the breaker protects against
// short circuits, Id against earth faults).
TEST(Sizing, ABranchedFeederTakesTheLeastCopperThatPasses) {
    struct Case {
        const char* label;
        double limitPercent;
        ProtectionMode mode;
        std::vector<CircuitCheck> trunkGoverning; // the checks the trunk's next smaller may fail
        const char* trunkFigure;                  // in what rules out the trunk's next smaller
    };
    // The breaker: 40 lamps of 0.7576 A and 8 of 0.4545 A over three phases give Ib of about
    // 11–12 A on the busiest, 1.5·Ib about 17 A: In = 20 A. The loop resistance limit Rlim = 44 V /
    // (L·In): 44 / (0.6 km × 20 A) = 3.6667 Ω/km at the trunk's end, 44 / (0.54 km × 20 A) = 4.0741
    // Ω/km at the branch's (300 m of trunk and 240 m of branch), which the branch's 10 mm² fails in
    // every row.
    const Case cases[] = {
        {"Δu 3 %", 3.0, ProtectionMode::EarthFault, {CircuitCheck::VoltageLoss}, "> 3%"},
        {"fault, I″k1",
         50.0,
         ProtectionMode::ShortCircuit,
         {CircuitCheck::LoopResistance, CircuitCheck::Sensitivity},
         "Rlim = 3.6667 Ω/km"},
        {"fault, Id",
         50.0,
         ProtectionMode::EarthFault,
         {CircuitCheck::LoopResistance, CircuitCheck::Sensitivity},
         "Rlim = 3.6667 Ω/km"},
    };
    const CableCatalogue catalogue = vvCatalogue();
    for (const Case& c : cases) {
        Project project = projectOf({streetWithSideStreet()});
        project.voltageLossLimitPercent = c.limitPercent;
        project.circuits[0].protection.mode = c.mode;
        // Cleared in 0.01 s: Smin = √0.01 × 12 624 A / 115 = 11.0 mm² at the origin (34.7 mm²
        // in 0.1 s), so the thermal stress does not govern.
        project.circuits[0].protection.durationS = 0.01;
        const SizingResult s = sizeCircuit(project, project.circuits[0], catalogue);
        ASSERT_TRUE(s.chosen.has_value()) << c.label << s.notSized.toStdString();
        ASSERT_EQ(s.sections.size(), 2u);
        EXPECT_EQ(s.sections[0].run, QStringLiteral("干线"));
        EXPECT_EQ(s.sections[1].run, QStringLiteral("支线1"));
        const double trunk = s.sections[0].crossSection.toDouble();
        const double branch = s.sections[1].crossSection.toDouble();
        // The side street's 8 lamps of 0.4545 A ask less than the main street: a cable no larger
        // (its far end's loop asks for as much as the trunk's).
        EXPECT_LE(branch, trunk) << c.label;
        EXPECT_TRUE(s.sizedResult.passed()) << c.label;
        EXPECT_GE(s.combinationsTried, 1);
        EXPECT_EQ(s.sizedCircuit.line.cable.crossSection, s.sections[0].crossSection);
        const auto& sizedRuns = std::get<LampFeeder>(s.sizedCircuit.load).poleList.runs;
        ASSERT_TRUE(sizedRuns[1].cable.has_value());
        EXPECT_EQ(sizedRuns[1].cable->crossSection, s.sections[1].crossSection);
        // Each run's next smaller section, the other kept, fails a check that is named, with the
        // figures of the full computation.
        for (const SectionSizing& section : s.sections) {
            EXPECT_TRUE(section.governing.has_value()) << section.governingText.toStdString();
            EXPECT_TRUE(section.governingText.contains(u"不满足")) << c.label;
        }
        ASSERT_TRUE(s.sections[0].governing.has_value());
        EXPECT_NE(
            std::find(c.trunkGoverning.begin(), c.trunkGoverning.end(), *s.sections[0].governing),
            c.trunkGoverning.end())
            << c.label << ": " << s.sections[0].governingText.toStdString();
        EXPECT_TRUE(s.sections[0].governingText.contains(QString::fromUtf8(c.trunkFigure)))
            << c.label << ": " << s.sections[0].governingText.toStdString();
        EXPECT_EQ(s.sections[1].governing, CircuitCheck::LoopResistance) << c.label;
        EXPECT_TRUE(s.sections[1].governingText.contains(u"Rlim = 4.0741 Ω/km"))
            << c.label << ": " << s.sections[1].governingText.toStdString();

        const double chosenCopper = trunk * 600.0 + branch * 240.0;
        const double checkable[] = {4, 6, 10, 16, 25, 35, 50, 70, 95, 120, 150, 185};
        int passing = 0;
        for (double t : checkable)
            for (double b : checkable) {
                const auto tText = QString::number(t);
                const auto bText = QString::number(b);
                const CableRow* row = catalogue.find(vvCopper(tText.toLatin1().constData()));
                ASSERT_NE(row, nullptr);
                ProjectCircuit trial = withCableSection(
                    project.circuits[0], *row,
                    *handbookLineConstants({ConductorMaterial::Copper, Insulation::Pvc}, t));
                std::get<LampFeeder>(trial.load).poleList.runs[1].cable =
                    vvCopper(bText.toLatin1().constData());
                const bool passes = computeCircuit(project, trial, catalogue).passed();
                const double copper = t * 600.0 + b * 240.0;
                passing += passes;
                if (copper < chosenCopper) {
                    EXPECT_FALSE(passes) << c.label << ": " << t << " / " << b;
                }
                if (t == trunk && b == branch) {
                    EXPECT_TRUE(passes) << c.label;
                }
            }
        EXPECT_GT(passing, 1) << c.label;
    }
}

// Too many combinations to try: a fault lasting 100 s no section withstands (Smin = 10·I″k3/115
// at the origin, far above 185 mm²) fails every combination on its last check, while a Δu limit
// of 50 % rules none out early; four runs of 12 sections make 12⁴ = 20 736 combinations, and the
// search stops at its bound and says so.
TEST(Sizing, TheSearchOfCombinationsIsBounded) {
    Project project = projectOf({streetWithSideStreet()});
    project.voltageLossLimitPercent = 50.0;
    project.circuits[0].protection.durationS = 100.0;
    auto& runs = std::get<LampFeeder>(project.circuits[0].load).poleList.runs;
    for (int b = 2; b <= 3; ++b)
        runs.push_back({QStringLiteral("支线%1").arg(b),
                        QStringLiteral("N%1").arg(b * 3),
                        {},
                        {{QStringLiteral("X%1").arg(b), 30.0, {{1, 100.0, 1.0, 1.0, {}}}, {}}}});
    const SizingResult s = sizeCircuit(project, project.circuits[0], vvCatalogue());
    EXPECT_FALSE(s.chosen.has_value());
    EXPECT_EQ(s.combinationsTried, kMaxSizingCombinations);
    EXPECT_TRUE(s.notSized.startsWith(u"组合过多，未能选出")) << s.notSized.toStdString();
    // The circuit keeps its own sections and is computed as it stands.
    EXPECT_EQ(s.sizedCircuit.line.cable.crossSection, QStringLiteral("50"));
    EXPECT_FALSE(s.sizedResult.passed());
}

} // namespace
} // namespace korvane::testing
