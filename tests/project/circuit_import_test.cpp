// Importing the circuit list: CSV as Excel and WPS save it, .xlsx files of other writers, and
// every row that cannot be read reported with its row number while nothing is imported.

#include "form/number_format.h"
#include "project/project_run.h"
#include "project/schedule_columns.h"
#include "project_files/circuit_import.h"
#include "project_files/project_file.h"
#include "project_files/schedule_xlsx.h"
#include "project_fixtures.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

QString fixture(const char* name) {
    return QStringLiteral(KORVANE_SOURCE_DIR "/tests/project/data/") + QString::fromUtf8(name);
}

QString quotedIfNeeded(const QString& text, QChar separator) {
    if (!text.contains(separator) && !text.contains(u'"') && !text.contains(u'\n'))
        return text;
    return u'"' + QString(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// The circuits as a CSV, cell by cell through the schedule's columns.
QByteArray csvOf(const std::vector<ProjectCircuit>& circuits, QChar separator, bool bom,
                 const QString& lineEnd) {
    QStringList lines;
    QStringList fields;
    for (const ScheduleColumnInfo& info : scheduleInputColumns())
        fields << QString::fromUtf8(info.header);
    lines << fields.join(separator);
    for (const ProjectCircuit& circuit : circuits) {
        fields.clear();
        for (const ScheduleColumnInfo& info : scheduleInputColumns()) {
            const ScheduleCell cell = scheduleCell(circuit, info.column);
            QString text;
            if (const auto* number = std::get_if<double>(&cell))
                text = formatGeneral(*number, {});
            else if (const auto* string = std::get_if<QString>(&cell))
                text = *string;
            fields << quotedIfNeeded(text, separator);
        }
        lines << fields.join(separator);
    }
    return (bom ? QByteArray("\xEF\xBB\xBF") : QByteArray()) +
           (lines.join(lineEnd) + lineEnd).toUtf8();
}

class CircuitImportTest : public ::testing::Test {
protected:
    QString write(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static std::string jsonOf(const std::vector<ProjectCircuit>& circuits) {
        Project project = severalCircuits();
        project.circuits = circuits;
        return projectToJson(project).toStdString();
    }

    QTemporaryDir dir;
};

TEST_F(CircuitImportTest, CsvRoundTripsWithEitherSeparatorBomAndLineEnd) {
    Project project = severalCircuits();
    // A description with the separators, a quote and a line break inside its quoted field.
    project.circuits[0].description = QStringLiteral("照明, 插座; \"备用\"\n二层");
    const std::string expected = jsonOf(project.circuits);

    const CircuitImport comma =
        importCircuits(write("comma.csv", csvOf(project.circuits, u',', true, "\r\n")));
    EXPECT_TRUE(comma.ok) << comma.problems.join(u'\n').toStdString();
    EXPECT_EQ(jsonOf(comma.circuits), expected);
    EXPECT_TRUE(comma.problems.isEmpty());

    // As Excel saves CSV where the decimal sign is a comma: ';' between fields, no BOM, LF.
    const CircuitImport semicolon =
        importCircuits(write("semicolon.csv", csvOf(project.circuits, u';', false, "\n")));
    EXPECT_TRUE(semicolon.ok) << semicolon.problems.join(u'\n').toStdString();
    EXPECT_EQ(jsonOf(semicolon.circuits), expected);
}

// A list whose line kind or load case is none of the lists' texts imports as written: the circuit
// is kept with the texts and its load, and its loss is not computed for want of a matching case.
TEST_F(CircuitImportTest, UnknownKindAndCaseTextsImportAsWritten) {
    Project project = severalCircuits();
    const QString kind = QStringLiteral("三相四线");
    const QString loadCase = QStringLiteral("（1）终段负荷用电流矩（A.km）");
    ASSERT_FALSE(applyScheduleCell(project.circuits[0], ScheduleColumn::LineKind, kind));
    ASSERT_FALSE(applyScheduleCell(project.circuits[0], ScheduleColumn::LoadCase, loadCase));
    ASSERT_FALSE(applyScheduleCell(project.circuits[0], ScheduleColumn::Load, 25.0));

    const CircuitImport read =
        importCircuits(write("unknown.csv", csvOf(project.circuits, u',', true, "\r\n")));
    ASSERT_TRUE(read.ok) << read.problems.join(u'\n').toStdString();
    ASSERT_EQ(read.circuits.size(), 3u);
    EXPECT_EQ(scheduleCellText(scheduleCell(read.circuits[0], ScheduleColumn::Load)),
              QStringLiteral("25"));
    EXPECT_EQ(scheduleCellText(scheduleCell(read.circuits[0], ScheduleColumn::LineKind)), kind);
    EXPECT_EQ(scheduleCellText(scheduleCell(read.circuits[0], ScheduleColumn::LoadCase)), loadCase);
    EXPECT_EQ(computeVoltageLoss(std::get<LoadCaseLoad>(read.circuits[0].load).values).problem,
              LossProblem::NoMatchingCase);
}

TEST_F(CircuitImportTest, BadRowsAreReportedByRowNumberAndNothingIsImported) {
    const Project project = severalCircuits();
    const QList<QByteArray> rows = csvOf(project.circuits, u',', false, "\r\n").split('\n');
    QByteArray feeder = rows[2];
    feeder.replace(",30,2,150,", ",30.5,2,150,");
    QByteArray badKind = rows[1];
    badKind.replace("负荷情况,", "电动机,").replace(",0.387,", ",abc,");
    QByteArray csv = csvOf(project.circuits, u',', true, "\r\n");
    // Row 3's quoted line break keeps it one row; a row of blank fields and an empty row are
    // skipped but keep their numbers.
    csv.replace("主干道东侧路灯", "\"主干道\r\n东侧路灯\"");
    csv += ",,,\r\n\r\n" + feeder + '\n' + badKind + '\n';

    const CircuitImport result = importCircuits(write("bad.csv", csv));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.circuits.empty());
    EXPECT_EQ(result.problems,
              (QStringList{QStringLiteral("有 2 行无法读入，未导入任何回路："),
                           QStringLiteral("第7行：“灯杆数”应为整数：30.5"),
                           QStringLiteral("第8行：“负荷类型”应为负荷情况、路灯馈线之一：电动机；"
                                          "“R(Ω/km)”不是数值：abc")}));
}

TEST_F(CircuitImportTest, HeadersInAnyOrderAndTheMissingOrDoubledOnesFail) {
    const QByteArray good = csvOf(severalCircuits().circuits, u',', false, "\n");
    QList<QByteArray> lines = good.split('\n');

    // Columns moved about and a full-width bracket: read by header, one unknown column noted.
    auto swapColumns = [](QByteArray line, int a, int b) {
        QList<QByteArray> fields = line.split(',');
        if (fields.size() > std::max(a, b))
            std::swap(fields[a], fields[b]);
        return fields.join(',');
    };
    QByteArray moved;
    for (qsizetype i = 0; i < lines.size() && !lines[i].isEmpty(); ++i)
        moved += swapColumns(swapColumns(lines[i], 0, 5), 18, 2) + (i == 0 ? ",长度(m)\n" : ",1\n");
    moved.replace("截面(mm²)", "截面（mm²）");
    const CircuitImport reordered = importCircuits(write("moved.csv", moved));
    EXPECT_TRUE(reordered.ok) << reordered.problems.join(u'\n').toStdString();
    EXPECT_EQ(jsonOf(reordered.circuits), jsonOf(severalCircuits().circuits));
    EXPECT_EQ(reordered.problems,
              QStringList{QStringLiteral("以下列不是输入列，未读入：“长度(m)”")});

    QByteArray missing = good;
    missing.replace("R0(mΩ/m)", "备注").replace("X′(mΩ/m)", "X'");
    const CircuitImport withoutColumns = importCircuits(write("missing.csv", missing));
    EXPECT_FALSE(withoutColumns.ok);
    EXPECT_TRUE(withoutColumns.circuits.empty());
    EXPECT_EQ(withoutColumns.problems,
              QStringList{QStringLiteral("第1行的表头缺少必需的列：“R0(mΩ/m)”、“X′(mΩ/m)”")});

    QByteArray doubled = good;
    doubled.replace("X0(mΩ/m)", "R(Ω/km)");
    EXPECT_EQ(importCircuits(write("doubled.csv", doubled)).problems,
              QStringList{QStringLiteral("“R(Ω/km)”列出现了两次（F列和I列）")});
}

TEST_F(CircuitImportTest, FilesThatCannotBeReadSayWhy) {
    auto only = [](const CircuitImport& result) {
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.circuits.empty());
        return result.problems.size() == 1 ? result.problems[0].toStdString() : std::string();
    };
    EXPECT_EQ(only(importCircuits(write("list.txt", "回路编号\n"))),
              "只能导入 .xlsx 或 .csv 文件：list.txt");
    EXPECT_EQ(only(importCircuits(write("gbk.csv", "\xBB\xD8\xC2\xB7\xB1\xE0\xBA\xC5\r\n"))),
              "文件不是 UTF-8 编码：请在 Excel 或 WPS 中另存为“CSV UTF-8”");
    const QByteArray csv = csvOf(severalCircuits().circuits, u',', true, "\r\n");
    EXPECT_EQ(only(importCircuits(write("open.csv", csv + "WL9,\"配电箱\r\n"))),
              "文件不完整：第5行的引号没有结束");
    EXPECT_EQ(only(importCircuits(write("header.csv", csv.left(csv.indexOf('\n') + 1)))),
              "表头下没有回路");
    EXPECT_EQ(
        only(importCircuits(dir.filePath(QStringLiteral("absent.csv")))).rfind("无法打开文件", 0),
        0u);
}

TEST_F(CircuitImportTest, XlsxOfOtherWritersImport) {
    const std::string expected = jsonOf(severalCircuits().circuits);
    const CircuitImport openpyxl = importCircuits(fixture("circuits_openpyxl.xlsx"));
    EXPECT_TRUE(openpyxl.ok) << openpyxl.problems.join(u'\n').toStdString();
    EXPECT_EQ(jsonOf(openpyxl.circuits), expected);
    EXPECT_EQ(openpyxl.problems, QStringList{QStringLiteral("以下列不是输入列，未读入：“Δu(%)”")});

    const CircuitImport shared = importCircuits(fixture("circuits_shared.xlsx"));
    EXPECT_TRUE(shared.ok) << shared.problems.join(u'\n').toStdString();
    EXPECT_EQ(jsonOf(shared.circuits), expected);
    EXPECT_TRUE(shared.problems.isEmpty());

    const CircuitImport inlined = importCircuits(fixture("circuits_inline.xlsx"));
    EXPECT_TRUE(inlined.ok) << inlined.problems.join(u'\n').toStdString();
    EXPECT_EQ(jsonOf(inlined.circuits), expected);
    EXPECT_EQ(inlined.problems, QStringList{QStringLiteral("AM列没有表头，其内容未读入")});
}

// Files LibreOffice Calc 7.4 saved (soffice --convert-to, see make_fixtures.py): its shared
// strings, styles on every cell and numbers it writes back as it read them.
TEST_F(CircuitImportTest, XlsxAndCsvSavedByLibreOfficeImport) {
    const std::string expected = jsonOf(severalCircuits().circuits);
    for (const char* name : {"circuits_libreoffice.xlsx", "circuits_libreoffice.csv"}) {
        SCOPED_TRACE(name);
        const CircuitImport result = importCircuits(fixture(name));
        EXPECT_TRUE(result.ok) << result.problems.join(u'\n').toStdString();
        EXPECT_EQ(jsonOf(result.circuits), expected);
        EXPECT_EQ(result.problems,
                  QStringList{QStringLiteral("以下列不是输入列，未读入：“Δu(%)”")});
    }
}

// project → .xlsx → import gives the same circuits: the program's own schedule, and the same
// schedule of the example project once LibreOffice has opened and saved it.
TEST_F(CircuitImportTest, AnExportedScheduleImportsAsTheSameCircuits) {
    const Project project = severalCircuits();
    const QString path = dir.filePath(QStringLiteral("回路表.xlsx"));
    ASSERT_EQ(writeScheduleXlsx(runProject(project, vvCatalogue(), false), path), QString());
    const CircuitImport own = importCircuits(path);
    ASSERT_TRUE(own.ok) << own.problems.join(u'\n').toStdString();
    EXPECT_EQ(jsonOf(own.circuits), jsonOf(project.circuits));
    // The result columns are named once as not read; nothing else is said.
    ASSERT_EQ(own.problems.size(), 1);
    EXPECT_TRUE(
        own.problems[0].startsWith(QStringLiteral("以下列不是输入列，未读入：“长度(m)”、“Δu(%)”")))
        << own.problems[0].toStdString();

    const ProjectReading example =
        openProject(QStringLiteral(KORVANE_SOURCE_DIR "/docs/examples/street_lighting.kvp"));
    ASSERT_TRUE(example.error.isEmpty()) << example.error.toStdString();
    const CircuitImport saved = importCircuits(fixture("schedule_libreoffice.xlsx"));
    ASSERT_TRUE(saved.ok) << saved.problems.join(u'\n').toStdString();
    Project reread = example.project;
    reread.circuits = saved.circuits;
    // The saved schedule predates the example's phase-to-neutral loop of R′php, X′php (it held
    // the single conductor's R0, X0): every other value must read back as the example has it.
    ASSERT_EQ(reread.circuits.size(), example.project.circuits.size());
    for (size_t i = 0; i < reread.circuits.size(); ++i) {
        CircuitLine& line = reread.circuits[i].line;
        EXPECT_EQ(line.neutralResistanceMilliOhmPerM, line.perMetreMilliOhm.resistance) << i;
        line.neutralResistanceMilliOhmPerM =
            example.project.circuits[i].line.neutralResistanceMilliOhmPerM;
        line.neutralReactanceMilliOhmPerM =
            example.project.circuits[i].line.neutralReactanceMilliOhmPerM;
    }
    EXPECT_EQ(projectToJson(reread).toStdString(), projectToJson(example.project).toStdString());
}

TEST_F(CircuitImportTest, DamagedXlsxImportsNothing) {
    auto only = [](const CircuitImport& result) {
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.circuits.empty());
        return result.problems.value(0).toStdString();
    };
    QFile good(fixture("circuits_openpyxl.xlsx"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    EXPECT_EQ(only(importCircuits(write("cut.xlsx", bytes.left(bytes.size() - 100)))),
              "不是有效的 .xlsx 文件：压缩包已损坏或不完整");
    EXPECT_EQ(only(importCircuits(write("text.xlsx", "回路编号,说明\n"))),
              "不是有效的 .xlsx 文件：压缩包已损坏或不完整");
    EXPECT_EQ(only(importCircuits(fixture("corrupt_sheet.xlsx"))),
              "文件已损坏：xl/worksheets/sheet1.xml 不完整或校验不符");
    EXPECT_EQ(only(importCircuits(fixture("damaged_xml.xlsx")))
                  .rfind("文件已损坏：xl/worksheets/sheet1.xml 不是完整的 XML（第 1 行：", 0),
              0u);
    EXPECT_EQ(only(importCircuits(fixture("too_many_rows.xlsx"))),
              "工作表超过 100000 行，不予读入");

    const CircuitImport error = importCircuits(fixture("error_cell.xlsx"));
    EXPECT_TRUE(error.circuits.empty());
    EXPECT_EQ(error.problems,
              (QStringList{QStringLiteral("有 1 行无法读入，未导入任何回路："),
                           QStringLiteral("第3行：“R(Ω/km)”单元格为错误值 #DIV/0!")}));
}

TEST_F(CircuitImportTest, TheTemplateImportsAsItsTwoExamples) {
    const QString path = dir.filePath(QStringLiteral("回路导入模板.csv"));
    ASSERT_EQ(writeImportTemplateCsv(path), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF回路编号,说明,"));

    const CircuitImport result = importCircuits(path);
    ASSERT_TRUE(result.ok) << result.problems.join(u'\n').toStdString();
    ASSERT_EQ(result.circuits.size(), 2u);
    EXPECT_TRUE(std::holds_alternative<LoadCaseLoad>(result.circuits[0].load));
    EXPECT_EQ(std::get<LampFeeder>(result.circuits[1].load).poles, 25);
    // The per-metre values are the handbook's for the section, not left empty.
    EXPECT_GT(result.circuits[1].line.perMetreMilliOhm.loopResistance, 0.0);
    EXPECT_GT(result.circuits[1].protection.leakagePerKmMa, 0.0);
    EXPECT_FALSE(
        writeImportTemplateCsv(dir.filePath(QStringLiteral("无此目录/模板.csv"))).isEmpty());
}

} // namespace
} // namespace korvane::testing
