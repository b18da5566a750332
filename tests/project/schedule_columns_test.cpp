// The schedule's columns: every circuit written cell by cell and read back cell by cell is the
// same circuit, and a cell that cannot be read for its column says why.

#include "project/inputs/schedule_columns.h"
#include "project/result_schema.h"
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
    // Nor the key a header is matched by: however it is spelt, a header names one column.
    QStringList keys;
    for (const QString& header : headers)
        keys << scheduleHeaderKey(header);
    for (qsizetype i = 0; i < headers.size(); ++i) {
        EXPECT_EQ(headers.count(headers[i]), 1) << headers[i].toStdString();
        EXPECT_EQ(keys.count(keys[i]), 1) << headers[i].toStdString();
    }
}

// The spellings of a header that other people's spreadsheets use all name the column.
TEST(ScheduleColumns, HeadersMatchWhateverTheirSpelling) {
    struct Row {
        const char* written;
        ScheduleColumn column;
    };
    const Row rows[] = {
        {" 回路 编号 ", ScheduleColumn::Id},
        {"R'(mΩ/m)", ScheduleColumn::NeutralResistance},
        {"r’(mohm/m)", ScheduleColumn::NeutralResistance},
        {"X‘(MΩ/M)", ScheduleColumn::NeutralReactance},
        {"截面(mm2)", ScheduleColumn::CrossSection},
        {"截面(mm^2)", ScheduleColumn::CrossSection},
        {"截面（MM²）", ScheduleColumn::CrossSection},
        {"R(Ohm/km)", ScheduleColumn::ResistanceOhmPerKm},
        {"R(\u2126/km)", ScheduleColumn::ResistanceOhmPerKm}, // the ohm sign
        {"x (ohm/km)", ScheduleColumn::ReactanceOhmPerKm},
        {"敷设处温度(°C)", ScheduleColumn::LayingTemperatureC},
        {"环境温度（℃）", ScheduleColumn::AmbientTemperatureC},
        {"ib(a)", ScheduleColumn::LoadCurrentA},
        {"ＣＯＳφ", ScheduleColumn::PowerFactor},
        {"Ｒ０（ｍΩ／ｍ）", ScheduleColumn::R0},
        {"允通能量I2t(A2s)", ScheduleColumn::LetThroughA2s},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.written);
        EXPECT_EQ(scheduleHeaderKey(QString::fromUtf8(row.written)),
                  scheduleHeaderKey(scheduleHeader(row.column)));
    }
    // Other headers stay other: R is not R0, R′ not R0, X′ not X.
    EXPECT_NE(scheduleHeaderKey(QStringLiteral("R(mΩ/m)")),
              scheduleHeaderKey(scheduleHeader(ScheduleColumn::R0)));
    EXPECT_NE(scheduleHeaderKey(QStringLiteral("R'(mΩ/m)")),
              scheduleHeaderKey(scheduleHeader(ScheduleColumn::R0)));
    EXPECT_NE(scheduleHeaderKey(QStringLiteral("X'(Ω/km)")),
              scheduleHeaderKey(scheduleHeader(ScheduleColumn::ReactanceOhmPerKm)));
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
    // A choice in other letters' case is the choice.
    EXPECT_FALSE(applyScheduleCell(c, ScheduleColumn::StartPhase, QStringLiteral("l3")));
    EXPECT_EQ(std::get<LampFeeder>(c.load).startPhase, Phase::L3);
    EXPECT_EQ(scheduleCellText(scheduleCell(c, ScheduleColumn::StartPhase)), QStringLiteral("L3"));
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::R0, QStringLiteral("abc")),
              QStringLiteral("“R0(mΩ/m)”不是数值：abc"));
    // A comma where the point belongs says so.
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::R0, QStringLiteral("0,727")),
              QStringLiteral("“R0(mΩ/m)”不是数值：0,727（小数点请用“.”）"));
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::SpacingM, QStringLiteral("35,5")),
              QStringLiteral("“杆距(m)”不是数值：35,5（小数点请用“.”）"));
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::R0, ScheduleCell{}),
              QStringLiteral("“R0(mΩ/m)”为空"));
    // A column of the other load kind is refused rather than dropped.
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::Load, 20.0),
              QStringLiteral("“负荷(A或kW)”只用于负荷情况"));
    // The installation columns: a list text, numbers; an empty cell gives the value back to the
    // project (the circuit's own is cleared), never a 0.
    EXPECT_EQ(applyScheduleCell(c, ScheduleColumn::LayingMethod, QStringLiteral("架空")),
              QStringLiteral("“敷设方式”应为桥架或明敷(E)、穿管埋地(D1)、直埋(D2)之一：架空"));
    EXPECT_FALSE(applyScheduleCell(c, ScheduleColumn::LayingMethod, QStringLiteral("直埋(d2)")));
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

// A text that no file keeps intact is refused where it is typed or read, with the column: a
// control character (XML 1.0 holds none of C0 but tab and line breaks, and those break a CSV
// record or a one-line cell), half of a surrogate pair (no UTF-8 for it), a noncharacter; and an
// identifier that cannot name a sheet or a file. The circuit keeps its value.
TEST(ScheduleColumns, TextsNoFileKeepsAreRefused) {
    struct Row {
        ScheduleColumn column;
        QString text;
        const char* reason; // empty: taken
    };
    const Row rows[] = {
        {ScheduleColumn::Id, QStringLiteral("WL\u00011"), "“回路编号”含有控制字符（U+0001）"},
        {ScheduleColumn::Id, QStringLiteral("WL1\t"), "“回路编号”含有控制字符（制表符）"},
        {ScheduleColumn::Description, QStringLiteral("照明\n二层"), "“说明”含有控制字符（换行）"},
        {ScheduleColumn::Description, QStringLiteral("照明\r"), "“说明”含有控制字符（回车）"},
        {ScheduleColumn::LossType, QStringLiteral("聚氯乙烯\u007F"),
         "“损失类型”含有控制字符（U+007F）"},
        {ScheduleColumn::CableType, QStringLiteral("VV\u0085"), "“电缆类型”含有控制字符（U+0085）"},
        {ScheduleColumn::CrossSection, QStringLiteral("25\u0000"),
         "“截面(mm²)”含有控制字符（U+0000）"},
        {ScheduleColumn::Description, QString(QChar(0xD800)) + QStringLiteral("灯"),
         "“说明”含有无效字符（U+D800）"},
        {ScheduleColumn::Description, QStringLiteral("灯") + QChar(0xDC00),
         "“说明”含有无效字符（U+DC00）"},
        {ScheduleColumn::Description, QStringLiteral("灯\uFFFF"), "“说明”含有无效字符（U+FFFF）"},
        {ScheduleColumn::LoadCase, QStringLiteral("(1)\n终段"), "“负荷情况”含有控制字符（换行）"},
        {ScheduleColumn::Id, QStringLiteral("WL/1"),
         "“回路编号”不能含有“/”：回路编号用作文件名和工作表名"},
        {ScheduleColumn::Id, QStringLiteral("WL\\1"),
         "“回路编号”不能含有“\\”：回路编号用作文件名和工作表名"},
        {ScheduleColumn::Id, QStringLiteral("WL[1]"),
         "“回路编号”不能含有“[”：回路编号用作文件名和工作表名"},
        {ScheduleColumn::Id, QStringLiteral("A:B"),
         "“回路编号”不能含有“:”：回路编号用作文件名和工作表名"},
        {ScheduleColumn::Id, QStringLiteral("WL*"),
         "“回路编号”不能含有“*”：回路编号用作文件名和工作表名"},
        {ScheduleColumn::Id, QStringLiteral("WL?"),
         "“回路编号”不能含有“?”：回路编号用作文件名和工作表名"},
        {ScheduleColumn::Id, QStringLiteral("\"WL\""),
         "“回路编号”不能含有“\"”：回路编号用作文件名和工作表名"},
        {ScheduleColumn::Id, QStringLiteral("WL<1>"),
         "“回路编号”不能含有“<”：回路编号用作文件名和工作表名"},
        {ScheduleColumn::Id, QStringLiteral("WL|1"),
         "“回路编号”不能含有“|”：回路编号用作文件名和工作表名"},
        // Taken: a character outside the basic plane (a pair), brackets a sheet name may hold,
        // blanks around the text (dropped).
        {ScheduleColumn::Description, QStringLiteral("路灯 \U0001F4A1"), ""},
        {ScheduleColumn::Id, QStringLiteral("WL-1（东）"), ""},
        {ScheduleColumn::Id, QStringLiteral(" WL1 "), ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        ProjectCircuit c = endLoadCircuit(10.0, 0.1);
        const ProjectCircuit before = c;
        const std::optional<QString> why = applyScheduleCell(c, row.column, row.text);
        if (*row.reason == '\0') {
            EXPECT_EQ(why, std::nullopt);
            EXPECT_EQ(scheduleCellText(scheduleCell(c, row.column)), row.text.trimmed());
        } else {
            EXPECT_EQ(why, QString::fromUtf8(row.reason));
            EXPECT_EQ(circuitToJson(c), circuitToJson(before));
        }
    }
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
