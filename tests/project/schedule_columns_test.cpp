// The schedule's columns: every circuit written cell by cell and read back cell by cell is the
// same circuit, and a cell that cannot be read for its column says why.

#include "project/result_schema.h"
#include "project/schedule_columns.h"
#include "project_files/project_file.h"
#include "project_fixtures.h"

#include <gtest/gtest.h>

#include <optional>

namespace korvane::testing {
namespace {

// An exported schedule holds the input columns and the result columns side by side, and is read
// back by its headers: a result may not take the header of an input, nor two columns one header.
TEST(ScheduleColumns, NoResultColumnSharesAHeaderWithAnotherColumn) {
    QStringList headers;
    for (const ScheduleColumnInfo& info : scheduleInputColumns())
        headers << QString::fromUtf8(info.header);
    for (const SchemaColumn& column : projectResultSchema().columns)
        headers << column.header;
    for (const QString& header : headers)
        EXPECT_EQ(headers.count(header), 1) << header.toStdString();
}

TEST(ScheduleColumns, EveryCircuitRoundTripsThroughItsCells) {
    const Project project = severalCircuitsWithInstallation();
    Project back = project;
    back.circuits.clear();
    for (const ProjectCircuit& circuit : project.circuits) {
        ProjectCircuit read;
        for (const ScheduleColumnInfo& info : scheduleInputColumns()) {
            const auto why =
                applyScheduleCell(read, info.column, scheduleCell(circuit, info.column));
            EXPECT_FALSE(why.has_value()) << info.header << ": " << why->toStdString();
        }
        back.circuits.push_back(read);
    }
    EXPECT_EQ(projectToJson(back).toStdString(), projectToJson(project).toStdString());
}

TEST(ScheduleColumns, TextsFromCsvReadAsNumbersAndBadCellsSayWhy) {
    ProjectCircuit c;
    ASSERT_FALSE(applyScheduleCell(c, ScheduleColumn::LoadKind, QStringLiteral("路灯馈线")));
    EXPECT_FALSE(applyScheduleCell(c, ScheduleColumn::Poles, QStringLiteral(" 30 ")));
    EXPECT_EQ(std::get<LampFeeder>(c.load).poles, 30);
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::Poles, QStringLiteral("30.5")),
              QStringLiteral("“灯杆数”应为整数：30.5"));
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::Connection, QStringLiteral("两相")),
              QStringLiteral("“接线方式”应为单相、三相轮流之一：两相"));
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::R0, QStringLiteral("abc")),
              QStringLiteral("“R0(mΩ/m)”不是数值：abc"));
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::R0, ScheduleCell{}),
              QStringLiteral("“R0(mΩ/m)”为空"));
    // A column of the other load kind is refused rather than dropped.
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::Load, 20.0),
              QStringLiteral("“负荷(A或kW)”只用于负荷情况"));
    // The installation columns: a list text, numbers; an empty cell gives the value back to the
    // project (the circuit's own is cleared), never a 0.
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::LayingMethod, QStringLiteral("架空")),
              QStringLiteral("“敷设方式”应为桥架或明敷(E)、穿管埋地(D1)、直埋(D2)之一：架空"));
    EXPECT_FALSE(applyScheduleCell(c, ScheduleColumn::LayingMethod, QStringLiteral("直埋(D2)")));
    EXPECT_EQ(c.installation.method, LayingMethod::DirectlyBuried);
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::GroupedCircuits, QStringLiteral("2.5")),
              QStringLiteral("“并列回路数”应为整数：2.5"));
    EXPECT_FALSE(applyScheduleCell(c, ScheduleColumn::SoilResistivity, QStringLiteral("1.2")));
    EXPECT_EQ(c.installation.soilResistivityKmW, 1.2);
    EXPECT_FALSE(applyScheduleCell(c, ScheduleColumn::ThirdHarmonicPercent, 25.0));
    EXPECT_EQ(std::get<LampFeeder>(c.load).thirdHarmonicPercent, 25.0);
    for (ScheduleColumn column : {ScheduleColumn::LayingMethod, ScheduleColumn::SoilResistivity,
                                  ScheduleColumn::ThirdHarmonicPercent})
        EXPECT_FALSE(applyScheduleCell(c, column, ScheduleCell{}));
    EXPECT_FALSE(c.installation.method.has_value());
    EXPECT_FALSE(c.installation.soilResistivityKmW.has_value());
    EXPECT_FALSE(std::get<LampFeeder>(c.load).thirdHarmonicPercent.has_value());

    ProjectCircuit loads = endLoadCircuit(10.0, 0.1);
    std::get<LoadCaseLoad>(loads.load).values.loadCase = LoadCase::SeveralCurrent;
    EXPECT_FALSE(
        applyScheduleCell(loads, ScheduleColumn::SeveralLoads, QStringLiteral("20@0.05;10@0.12")));
    EXPECT_EQ(std::get<LoadCaseLoad>(loads.load).values.currentLoads[1].lengthKm, 0.12);
    EXPECT_TRUE(applyScheduleCell(loads, ScheduleColumn::SeveralLoads, QStringLiteral("20,0.05")));
    EXPECT_TRUE(applyScheduleCell(loads, ScheduleColumn::SeveralLoads,
                                  QStringLiteral("1@1;1@1;1@1;1@1;1@1")));
}

// Which of 负荷, 负荷距离 and 多个负荷 a circuit's load case takes: a current moment at the end
// takes I and L, a load moment at the end P and Lp, a case of several loads its own list of up to
// four. A circuit whose case is none of the list's keeps its figures in P and Lp.
TEST(ScheduleColumns, EachLoadCaseShowsAndTakesItsOwnLoads) {
    struct Row {
        std::optional<LoadCase> loadCase;
        const char* load;
        const char* distance;
        const char* several; // empty: the case takes no list of loads
        bool endCurrent;     // 负荷 and 负荷距离 are I and L, not P and Lp
    };
    const Row rows[] = {
        {LoadCase::EndCurrent, "11", "0.11", "", true},
        {LoadCase::UniformCurrent, "11", "0.11", "", true},
        {LoadCase::SeveralCurrent, "", "", "3@0.03", false},
        {LoadCase::EndPower4, "22", "0.22", "", false},
        {LoadCase::SeveralPower, "", "", "4@0.04", false},
        {LoadCase::SeveralUnityPower, "", "", "5@0.05", false},
        {LoadCase::EndPower3, "22", "0.22", "", false},
        {LoadCase::EndUnityPower, "22", "0.22", "", false},
        {LoadCase::EndUnityPowerOrDc, "22", "0.22", "", false},
        {std::nullopt, "22", "0.22", "", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.loadCase ? text(*row.loadCase).toStdString() : "no case");
        ProjectCircuit c = endLoadCircuit(11.0, 0.11);
        VoltageLossInput& v = std::get<LoadCaseLoad>(c.load).values;
        v.loadCase = row.loadCase;
        v.endPowerKw = 22.0;
        v.endPowerLengthKm = 0.22;
        v.currentLoads[0] = {3.0, 0.03};
        v.powerLoads[0] = {4.0, 0.04};
        v.unityPowerLoads[0] = {5.0, 0.05};
        EXPECT_EQ(scheduleCellText(scheduleCell(c, ScheduleColumn::Load)),
                  QString::fromUtf8(row.load));
        EXPECT_EQ(scheduleCellText(scheduleCell(c, ScheduleColumn::LoadDistanceKm)),
                  QString::fromUtf8(row.distance));
        EXPECT_EQ(scheduleCellText(scheduleCell(c, ScheduleColumn::SeveralLoads)),
                  QString::fromUtf8(row.several));

        // Written back, each figure lands where it was shown from.
        const bool takesSeveral = *row.several != '\0';
        EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::SeveralLoads, QStringLiteral("6@0.06"))
                      .has_value(),
                  !takesSeveral);
        ASSERT_FALSE(applyScheduleCell(c, ScheduleColumn::Load, 7.0));
        ASSERT_FALSE(applyScheduleCell(c, ScheduleColumn::LoadDistanceKm, 0.07));
        EXPECT_EQ(v.endCurrentA, row.endCurrent ? 7.0 : 11.0);
        EXPECT_EQ(v.endLengthKm, row.endCurrent ? 0.07 : 0.11);
        EXPECT_EQ(v.endPowerKw, row.endCurrent ? 22.0 : 7.0);
        EXPECT_EQ(v.endPowerLengthKm, row.endCurrent ? 0.22 : 0.07);
        if (takesSeveral) {
            EXPECT_EQ(scheduleCellText(scheduleCell(c, ScheduleColumn::SeveralLoads)),
                      QStringLiteral("6@0.06"));
        }
    }
}

// A line-kind or load-case text that is none of the list's is kept as written, shown as written,
// and leaves the circuit's loss not computed; setting a list text makes it that kind or case.
TEST(ScheduleColumns, AnUnknownKindOrCaseTextIsKeptAsWritten) {
    ProjectCircuit c = endLoadCircuit(60.0, 0.1);
    const QString odd = QStringLiteral("（1）终段负荷用电流矩（A.km）");
    ASSERT_FALSE(applyScheduleCell(c, ScheduleColumn::LoadCase, odd));
    ASSERT_FALSE(applyScheduleCell(c, ScheduleColumn::LineKind, QStringLiteral("三相")));
    const LoadCaseLoad& loads = std::get<LoadCaseLoad>(c.load);
    EXPECT_EQ(loads.values.loadCase, std::nullopt);
    EXPECT_EQ(loads.values.lineKind, std::nullopt);
    EXPECT_EQ(scheduleCellText(scheduleCell(c, ScheduleColumn::LoadCase)), odd);
    EXPECT_EQ(scheduleCellText(scheduleCell(c, ScheduleColumn::LineKind)), QStringLiteral("三相"));
    EXPECT_EQ(computeVoltageLoss(loads.values).problem, LossProblem::NoMatchingCase);

    ASSERT_FALSE(
        applyScheduleCell(c, ScheduleColumn::LineKind, QStringLiteral("接相电压的单相负荷线路")));
    ASSERT_FALSE(applyScheduleCell(c, ScheduleColumn::LoadCase,
                                   QStringLiteral("(4)终段负荷且cosφ=1或直流线路用负荷矩(kW.km)")));
    EXPECT_EQ(loads.values.lineKind, LineKind::SinglePhasePhaseVoltage);
    EXPECT_EQ(loads.values.loadCase, LoadCase::EndUnityPowerOrDc);
    EXPECT_EQ(loads.otherLineKind, QString());
    EXPECT_EQ(loads.otherLoadCase, QString());
}

} // namespace
} // namespace korvane::testing
