// The schedule's columns: every circuit written cell by cell and read back cell by cell is the
// same circuit, and a cell that cannot be read for its column says why.

#include "project/result_schema.h"
#include "project/schedule_columns.h"
#include "project_files/project_file.h"
#include "project_fixtures.h"

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

// An exported schedule holds the input columns and the result columns side by side, and is read
// back by its headers: a result may not take the header of an input, nor two columns one header.
TEST(ScheduleColumns, NoResultColumnSharesAHeaderWithAnotherColumn) {
    QStringList headers;
    for (const ScheduleColumnInfo& info : scheduleInputColumns())
        headers << QString::fromUtf8(info.header);
    for (const ResultColumnSpec& column : projectResultSchema().columns)
        headers << column.header;
    for (const QString& header : headers)
        EXPECT_EQ(headers.count(header), 1) << header.toStdString();
}

TEST(ScheduleColumns, EveryCircuitRoundTripsThroughItsCells) {
    const Project project = severalCircuits();
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

    ProjectCircuit loads = endLoadCircuit(10.0, 0.1);
    std::get<LoadCaseLoad>(loads.load).values.loadCase = LoadCase::SeveralCurrent;
    EXPECT_FALSE(
        applyScheduleCell(loads, ScheduleColumn::SeveralLoads, QStringLiteral("20@0.05;10@0.12")));
    EXPECT_EQ(std::get<LoadCaseLoad>(loads.load).values.currentLoads[1].lengthKm, 0.12);
    EXPECT_TRUE(applyScheduleCell(loads, ScheduleColumn::SeveralLoads, QStringLiteral("20,0.05")));
    EXPECT_TRUE(applyScheduleCell(loads, ScheduleColumn::SeveralLoads,
                                  QStringLiteral("1@1;1@1;1@1;1@1;1@1")));
}

} // namespace
} // namespace korvane::testing
