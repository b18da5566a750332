// Importing a feeder's pole list: the template and a workbook of another writer import as the
// poles they hold, and every bad row is reported with its row number while nothing is imported.

#include "project_files/imports/pole_import.h"
#include "project_fixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

class PoleImportTest : public ::testing::Test {
protected:
    QString write(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir dir;
};

const FeederRun* runNamed(const PoleList& list, const QString& name) {
    for (const FeederRun& run : list.runs)
        if (run.name == name)
            return &run;
    return nullptr;
}

// The template's own example: a trunk N1–N6 given by chainages, and two branches given by spans.
TEST_F(PoleImportTest, TheTemplateImportsAsItsTwoBranchExample) {
    const QString path = dir.filePath(QStringLiteral("杆位表模板.csv"));
    ASSERT_EQ(writePoleTemplateCsv(path), QString());
    const PoleImport imported = importPoleList(path, nullptr);
    ASSERT_TRUE(imported.ok) << imported.problems.join(u'\n').toStdString();
    EXPECT_TRUE(imported.problems.isEmpty()) << imported.problems.join(u'\n').toStdString();
    const PoleList& list = imported.list;
    ASSERT_EQ(list.runs.size(), 3u);
    const FeederRun& trunk = list.runs[0];
    EXPECT_EQ(trunk.name, QStringLiteral("干线"));
    EXPECT_TRUE(trunk.fromPole.isEmpty());
    ASSERT_EQ(trunk.poles.size(), 6u);
    // Chainages 15, 50, 85, 145, 180, 215 m: the spans are their differences (the 60 m gap at
    // N4).
    const double spans[] = {15.0, 35.0, 35.0, 60.0, 35.0, 35.0};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_DOUBLE_EQ(trunk.poles[i].spanM, spans[i]) << i;
    // N2: a 150 W carriageway lamp and a 40 W footway lamp with its harmonic content; N4 fixed on
    // L2; N1 on the rotation.
    ASSERT_EQ(trunk.poles[1].lamps.size(), 2u);
    EXPECT_EQ(trunk.poles[1].lamps[0], (LampGroup{1, 150.0, 0.95, 1.0, std::nullopt}));
    EXPECT_EQ(trunk.poles[1].lamps[1], (LampGroup{1, 40.0, 0.9, 1.0, 15.0}));
    EXPECT_EQ(trunk.poles[3].fixedPhase, Phase::L2);
    EXPECT_FALSE(trunk.poles[0].fixedPhase.has_value());
    const FeederRun& first = list.runs[1];
    EXPECT_EQ(first.name, QStringLiteral("支线1"));
    EXPECT_EQ(first.fromPole, QStringLiteral("N3"));
    ASSERT_TRUE(first.cable.has_value());
    EXPECT_EQ(*first.cable, (CableIdentity{QStringLiteral("聚氯乙烯绝缘电力电缆(0.6/1kV)"),
                                           QStringLiteral("VV 四芯 铜芯"), QStringLiteral("16")}));
    ASSERT_EQ(first.poles.size(), 3u);
    EXPECT_DOUBLE_EQ(first.poles[0].spanM, 20.0);
    const FeederRun& second = list.runs[2];
    EXPECT_EQ(second.fromPole, QStringLiteral("N5"));
    EXPECT_FALSE(second.cable.has_value()); // the cable of the run it leaves from
    ASSERT_EQ(second.poles.size(), 2u);
    EXPECT_TRUE(second.poles[1].lamps.empty()); // a junction pole without a lamp
}

// Written by openpyxl: a title row, headers in lenient forms ("杆 号", "杆距（m）", "mm2"), the
// numbers as numbers, a phase in lower case; the branch's loss type from the cable database.
TEST_F(PoleImportTest, AWorkbookOfAnotherWriterImports) {
    const QString path =
        QStringLiteral(KORVANE_SOURCE_DIR "/tests/project/data/poles_openpyxl.xlsx");
    const PoleImport imported = importPoleList(path, nullptr);
    ASSERT_TRUE(imported.ok) << imported.problems.join(u'\n').toStdString();
    ASSERT_EQ(imported.list.runs.size(), 2u);
    const FeederRun& trunk = imported.list.runs[0];
    ASSERT_EQ(trunk.poles.size(), 3u);
    EXPECT_EQ(trunk.poles[0].lamps.size(), 2u);
    EXPECT_DOUBLE_EQ(trunk.poles[1].spanM, 35.5);
    EXPECT_EQ(trunk.poles[1].fixedPhase, Phase::L3);
    const FeederRun* branch = runNamed(imported.list, QStringLiteral("支线1"));
    ASSERT_NE(branch, nullptr);
    EXPECT_EQ(branch->fromPole, QStringLiteral("N2"));
    ASSERT_EQ(branch->poles.size(), 2u);
    EXPECT_EQ(branch->poles[1].lamps, (std::vector<LampGroup>{{2, 60.0, 0.9, 1.1, std::nullopt}}));
    ASSERT_TRUE(branch->cable.has_value());
    EXPECT_EQ(branch->cable->crossSection, QStringLiteral("16"));
    EXPECT_TRUE(branch->cable->lossType.isEmpty()); // no catalogue: not looked up

    const CableCatalogue catalogue = shippedCatalogue();
    const PoleImport checked = importPoleList(path, &catalogue);
    ASSERT_TRUE(checked.ok) << checked.problems.join(u'\n').toStdString();
    EXPECT_EQ(checked.list.runs[1].cable->lossType,
              QStringLiteral("聚氯乙烯绝缘电力电缆(0.6/1kV)"));
}

// Each bad input fails the whole list, reported on its row as the spreadsheet numbers it (the
// header is row 1).
TEST_F(PoleImportTest, EachBadRowIsReportedByItsNumberAndNothingIsImported) {
    const QByteArray header = "杆号,支线,起始杆号,桩号(m),杆距(m),灯具1数量,灯具1功率(W),"
                              "灯具1功率因数,灯具1镇流器系数,相别\n";
    struct Row {
        const char* name;
        const char* body;
        const char* expected; // one of the problem lines
    };
    const Row rows[] = {
        {"negative span", "N1,,,,30,1,150,0.95,1,\nN2,,,,-5,1,150,0.95,1,\n",
         "第 3 行：杆距为负数：-5"},
        {"branch from a missing pole",
         "N1,,,,30,1,150,0.95,1,\nN2,,,,35,1,150,0.95,1,\nB1,B2,N40,,20,1,60,0.9,1,\n",
         "第 4 行：支线“B2”的起始杆“N40”不存在"},
        {"duplicate pole number",
         "N1,,,,30,1,150,0.95,1,\nN2,,,,35,1,150,0.95,1,\n n1 ,,,,35,1,150,0.95,1,\n",
         "第 4 行：杆号“n1”与第 2 行重复"},
        {"chainage decreasing",
         "N1,,,30,,1,150,0.95,1,\nN2,,,50,,1,150,0.95,1,\nN3,,,40,,1,150,0.95,1,\n",
         "第 4 行：桩号应沿线路递增：40 不大于前一杆的 50"},
        {"a loop of branches",
         "N1,,,,30,1,150,0.95,1,\nA1,支线A,B1,,20,1,60,0.9,1,\nB1,支线B,A1,,20,1,60,0.9,1,\n",
         "第 3 行：支线“支线A”从其自身或其下游的杆“B1”引出，形成环路"},
        {"bad phase", "N1,,,,30,1,150,0.95,1,L4\n",
         "第 2 行：相别“L4”无法识别（应为 L1、L2 或 L3）"},
        // 80 − 30 = 50 m from the pole before, not the 20 m given.
        {"chainage and span contradicting", "N1,,,30,30,1,150,0.95,1,\nN2,,,80,20,1,150,0.95,1,\n",
         "第 3 行：桩号 80 与杆距 20 不符（前一杆桩号 30）"},
        {"a branch's first row without its pole",
         "N1,,,,30,1,150,0.95,1,\nB1,支线1,,,20,1,60,0.9,1,\n",
         "第 3 行：支线“支线1”的第一行缺少“起始杆号”"},
        {"a lamp without its power factor", "N1,,,,30,1,150,,1,\n",
         "第 2 行：“灯具1功率因数”未填写"},
        {"a span that is no number", "N1,,,,三十,1,150,0.95,1,\n",
         "第 2 行：“杆距(m)”不是数值：三十"},
        {"neither span nor chainage", "N1,,,,,1,150,0.95,1,\n",
         "第 2 行：缺少“杆距(m)”或“桩号(m)”"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PoleImport imported =
            importPoleList(write("bad.csv", header + QByteArray(row.body)), nullptr);
        EXPECT_FALSE(imported.ok);
        EXPECT_TRUE(imported.list.empty());
        EXPECT_TRUE(imported.problems.contains(QString::fromUtf8(row.expected)))
            << imported.problems.join(u'\n').toStdString();
    }
}

// A CSV separated by ';' (as Excel writes it where the decimal sign is a comma) reads "30,5" as
// 30.5; separated by ',', a comma inside a quoted number is refused with the advice.
TEST_F(PoleImportTest, CommaDecimalsReadOnlyInASemicolonCsv) {
    const PoleImport semicolons = importPoleList(
        write("semicolons.csv", "\xEF\xBB\xBF杆号;杆距(m);灯具1数量;灯具1功率(W);灯具1功率因数;"
                                "灯具1镇流器系数\r\nN1;30,5;1;150;0,95;1\r\n"),
        nullptr);
    ASSERT_TRUE(semicolons.ok) << semicolons.problems.join(u'\n').toStdString();
    EXPECT_DOUBLE_EQ(semicolons.list.runs[0].poles[0].spanM, 30.5);
    EXPECT_DOUBLE_EQ(semicolons.list.runs[0].poles[0].lamps[0].powerFactor, 0.95);

    const PoleImport commas = importPoleList(
        write("commas.csv", "杆号,杆距(m),灯具1数量,灯具1功率(W),灯具1功率因数,灯具1镇流器系数\n"
                            "N1,\"30,5\",1,150,0.95,1\n"),
        nullptr);
    EXPECT_FALSE(commas.ok);
    EXPECT_TRUE(commas.problems.contains(
        QStringLiteral("第 2 行：“杆距(m)”不是数值：30,5（小数点请用“.”）")))
        << commas.problems.join(u'\n').toStdString();
}

TEST_F(PoleImportTest, AMissingColumnOrAnotherSuffixFailsWithTheReason) {
    const PoleImport noSpan = importPoleList(
        write("nospan.csv",
              "杆号,灯具1数量,灯具1功率(W),灯具1功率因数,灯具1镇流器系数\nN1,1,150,0.95,1\n"),
        nullptr);
    EXPECT_FALSE(noSpan.ok);
    EXPECT_EQ(noSpan.problems,
              QStringList{QStringLiteral("第 1 行的表头缺少必需的列：“桩号(m)或杆距(m)”")});
    EXPECT_FALSE(importPoleList(write("poles.txt", "杆号\n"), nullptr).ok);
}

} // namespace
} // namespace korvane::testing
