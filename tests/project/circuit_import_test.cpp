// Importing the circuit list: CSV as Excel and WPS save it, .xlsx files of other writers, and
// every row that cannot be read reported with its row number while nothing is imported.

#include "base/number_format.h"
#include "project/inputs/schedule_columns.h"
#include "project/project_run.h"
#include "project_files/imports/circuit_import.h"
#include "project_files/project_file.h"
#include "project_files/schedule_xlsx.h"
#include "project_fixtures.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zip.h>

namespace korvane::testing {
namespace {

// A list imported against the cable database the tests build.
CircuitImport importList(const QString& path, const SheetLimits& limits = {}) {
    return importCircuits(path, shippedCatalogue(), limits);
}

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
    // A description with the separators and a quote inside its quoted field.
    project.circuits[0].description = QStringLiteral("照明, 插座; \"备用\" 二层");
    const std::string expected = jsonOf(project.circuits);

    const CircuitImport comma =
        importList(write("comma.csv", csvOf(project.circuits, u',', true, "\r\n")));
    EXPECT_TRUE(comma.ok) << comma.problems.join(u'\n').toStdString();
    EXPECT_EQ(jsonOf(comma.circuits), expected);
    EXPECT_TRUE(comma.problems.isEmpty());

    // As Excel saves CSV where the decimal sign is a comma: ';' between fields, no BOM, LF.
    const CircuitImport semicolon =
        importList(write("semicolon.csv", csvOf(project.circuits, u';', false, "\n")));
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
        importList(write("unknown.csv", csvOf(project.circuits, u',', true, "\r\n")));
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
    feeder.replace("WL2,", "WL7,").replace(",30,2,150,", ",30.5,2,150,");
    QByteArray badKind = rows[1];
    badKind.replace("WL1,", "WL8,").replace("负荷情况,", "电动机,").replace(",0.387,", ",abc,");
    QByteArray csv = csvOf(project.circuits, u',', true, "\r\n");
    // Row 3's quoted line break keeps it one row (and is refused: no file keeps it in a cell);
    // a row of blank fields and an empty row are skipped but keep their numbers.
    csv.replace("主干道东侧路灯", "\"主干道\r\n东侧路灯\"");
    csv += ",,,\r\n\r\n" + feeder + '\n' + badKind + '\n';

    const CircuitImport result = importList(write("bad.csv", csv));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.circuits.empty());
    EXPECT_EQ(result.problems,
              (QStringList{QStringLiteral("有 3 行无法读入，未导入任何回路："),
                           QStringLiteral("第3行：“说明”含有控制字符（换行）"),
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
    // Headers as other people write them, and a lower-case choice.
    moved.replace("截面(mm²)", "截面（MM2）")
        .replace("R(Ω/km)", "R (Ohm/km)")
        .replace("R′(mΩ/m)", "r'(mohm/m)")
        .replace("X′(mΩ/m)", "X’(mΩ/m)")
        .replace("线芯工作温度(℃)", "线芯工作温度(°C)")
        .replace("Ib(A)", "ib（a）")
        .replace(",L2,", ",l2,");
    const CircuitImport reordered = importList(write("moved.csv", moved));
    EXPECT_TRUE(reordered.ok) << reordered.problems.join(u'\n').toStdString();
    EXPECT_EQ(jsonOf(reordered.circuits), jsonOf(severalCircuits().circuits));
    EXPECT_EQ(reordered.problems,
              QStringList{QStringLiteral("以下列不是输入列，未读入：“长度(m)”")});

    QByteArray missing = good;
    // K may be left out (the cable's own is taken); the section and t may not.
    missing.replace(",截面(mm²),", ",备注,").replace("t(s)", "t");
    const CircuitImport withoutColumns = importList(write("missing.csv", missing));
    EXPECT_FALSE(withoutColumns.ok);
    EXPECT_TRUE(withoutColumns.circuits.empty());
    EXPECT_EQ(withoutColumns.problems,
              QStringList{QStringLiteral("第1行的表头缺少必需的列：“截面(mm²)”、“t(s)”")});

    QByteArray doubled = good;
    doubled.replace("X0(mΩ/m)", "R(Ω/km)");
    EXPECT_EQ(importList(write("doubled.csv", doubled)).problems,
              QStringList{QStringLiteral("“R(Ω/km)”列出现了两次（F列和I列）")});
}

TEST_F(CircuitImportTest, FilesThatCannotBeReadSayWhy) {
    auto only = [](const CircuitImport& result) {
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.circuits.empty());
        return result.problems.size() == 1 ? result.problems[0].toStdString() : std::string();
    };
    EXPECT_EQ(only(importList(write("list.txt", "回路编号\n"))),
              "只能导入 .xlsx 或 .csv 文件：list.txt");
    EXPECT_EQ(only(importList(write("gbk.csv", "\xBB\xD8\xC2\xB7\xB1\xE0\xBA\xC5\r\n"))),
              "文件不是 UTF-8 编码：请在 Excel 或 WPS 中另存为“CSV UTF-8”");
    const QByteArray csv = csvOf(severalCircuits().circuits, u',', true, "\r\n");
    EXPECT_EQ(only(importList(write("open.csv", csv + "WL9,\"配电箱\r\n"))),
              "文件不完整：第5行的引号没有结束");
    EXPECT_EQ(only(importList(write("header.csv", csv.left(csv.indexOf('\n') + 1)))),
              "表头下没有回路");
    EXPECT_EQ(only(importList(dir.filePath(QStringLiteral("absent.csv")))).rfind("无法打开文件", 0),
              0u);
}

TEST_F(CircuitImportTest, XlsxOfOtherWritersImport) {
    const std::string expected = jsonOf(severalCircuits().circuits);
    const CircuitImport openpyxl = importList(fixture("circuits_openpyxl.xlsx"));
    EXPECT_TRUE(openpyxl.ok) << openpyxl.problems.join(u'\n').toStdString();
    EXPECT_EQ(jsonOf(openpyxl.circuits), expected);
    EXPECT_EQ(openpyxl.problems, QStringList{QStringLiteral("以下列不是输入列，未读入：“Δu(%)”")});

    const CircuitImport shared = importList(fixture("circuits_shared.xlsx"));
    EXPECT_TRUE(shared.ok) << shared.problems.join(u'\n').toStdString();
    EXPECT_EQ(jsonOf(shared.circuits), expected);
    EXPECT_TRUE(shared.problems.isEmpty());

    const CircuitImport inlined = importList(fixture("circuits_inline.xlsx"));
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
        const CircuitImport result = importList(fixture(name));
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
    const CircuitImport own = importList(path);
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
    const CircuitImport saved = importList(fixture("schedule_libreoffice.xlsx"));
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
    EXPECT_EQ(only(importList(write("cut.xlsx", bytes.left(bytes.size() - 100)))),
              "不是有效的 .xlsx 文件：压缩包已损坏或不完整");
    EXPECT_EQ(only(importList(write("text.xlsx", "回路编号,说明\n"))),
              "不是有效的 .xlsx 文件：压缩包已损坏或不完整");
    EXPECT_EQ(only(importList(fixture("corrupt_sheet.xlsx"))),
              "文件已损坏：xl/worksheets/sheet1.xml 不完整或校验不符");
    EXPECT_EQ(only(importList(fixture("damaged_xml.xlsx")))
                  .rfind("文件已损坏：xl/worksheets/sheet1.xml 不是完整的 XML（第 1 行：", 0),
              0u);
    EXPECT_EQ(only(importList(fixture("too_many_rows.xlsx"))), "工作表超过 100000 行，不予读入");

    const CircuitImport error = importList(fixture("error_cell.xlsx"));
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

    const CircuitImport result = importList(path);
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

// A short list of the columns every circuit needs, R, X and R0 among them and the other
// per-metre values and the leakage left out, for the rows below it.
QByteArray shortList(const QStringList& rows, QChar separator = u',') {
    const QStringList headers{
        QStringLiteral("回路编号"),     QStringLiteral("损失类型"), QStringLiteral("电缆类型"),
        QStringLiteral("截面(mm²)"),    QStringLiteral("R(Ω/km)"),  QStringLiteral("X(Ω/km)"),
        QStringLiteral("R0(mΩ/m)"),     QStringLiteral("K"),        QStringLiteral("t(s)"),
        QStringLiteral("负荷类型"),     QStringLiteral("线路种类"), QStringLiteral("负荷情况"),
        QStringLiteral("U(kV)"),        QStringLiteral("cosφ"),     QStringLiteral("负荷(A或kW)"),
        QStringLiteral("负荷距离(km)"), QStringLiteral("杆距(m)"),  QStringLiteral("回路间距(m)")};
    QStringList lines{headers.join(separator)};
    lines << rows;
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

// A load-case row of shortList: a PVC four-core copper cable of `section` with R, X, R0 as given
// (empty: left blank), 60 A at 0.12 km on three phases.
QString loadRow(const char* id, const char* section, const char* r, const char* x, const char* r0,
                QChar separator = u',') {
    return QStringList{QString::fromUtf8(id),
                       QStringLiteral("聚氯乙烯绝缘电力电缆(0.6/1kV)"),
                       QStringLiteral("VV 四芯 铜芯"),
                       QString::fromUtf8(section),
                       QString::fromUtf8(r),
                       QString::fromUtf8(x),
                       QString::fromUtf8(r0),
                       QStringLiteral("115"),
                       QStringLiteral("0.1"),
                       QStringLiteral("负荷情况"),
                       QStringLiteral("三相平衡负荷线路"),
                       QStringLiteral("(1)终段负荷用电流矩(A.km)"),
                       QStringLiteral("0.38"),
                       QStringLiteral("0.85"),
                       QStringLiteral("60"),
                       QStringLiteral("0.12"),
                       QString(),
                       QString()}
        .join(separator);
}

TEST_F(CircuitImportTest, BlankCableValuesAreFilledFromTheTablesAndSaidSo) {
    const CircuitImport read =
        importList(write("blanks.csv", shortList({loadRow("WL1", "25", "", "", ""),
                                                  loadRow("WL2", "50", "0.4", "0.08", "0.3"),
                                                  loadRow("WL3", "50", "0.387", "0.08", "")})));
    ASSERT_TRUE(read.ok) << read.problems.join(u'\n').toStdString();
    ASSERT_EQ(read.circuits.size(), 3u);
    EXPECT_EQ(
        read.filled,
        (QStringList{QStringLiteral("第2行：R、X、单位长度阻抗与泄漏电流按电缆数据库和手册表填入"),
                     QStringLiteral("第3行：X0、Rphp、Xphp、R′、X′与泄漏电流按手册表填入"),
                     QStringLiteral("第4行：单位长度阻抗与泄漏电流按手册表填入")}));
    EXPECT_TRUE(read.problems.isEmpty()) << read.problems.join(u'\n').toStdString();

    struct Expected {
        double r, x, r0, x0, rphp, xphp, rn, xn, leakage;
    };
    // WL1, 25 mm²: R, X of the cable database's row (data/cable_database.sql: 0.727, 0.09 Ω/km);
    // from the handbook's tables for copper four-core PVC cables: R′ 0.702, X′ 0.082 mΩ/m,
    // R′php = 1.5·(0.702 + 0.702) = 2.106, X′php = 2·0.082 = 0.164, leakage 70 mA/km; the
    // phase-to-neutral loop R′, X′ as R′php, X′php (neutral of the phase section).
    // WL2, 50 mm²: R, X, R0 as typed; X′ 0.079, R′php = 1.5·(0.351 + 0.351) = 1.053,
    // X′php = 2·0.079 = 0.158, leakage 79 mA/km. WL3: R, X as typed, R′ 0.351 of the handbook.
    const Expected expected[] = {{0.727, 0.09, 0.702, 0.082, 2.106, 0.164, 2.106, 0.164, 70.0},
                                 {0.4, 0.08, 0.3, 0.079, 1.053, 0.158, 1.053, 0.158, 79.0},
                                 {0.387, 0.08, 0.351, 0.079, 1.053, 0.158, 1.053, 0.158, 79.0}};
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const CircuitLine& line = read.circuits[i].line;
        EXPECT_DOUBLE_EQ(line.resistanceOhmPerKm, expected[i].r);
        EXPECT_DOUBLE_EQ(line.reactanceOhmPerKm, expected[i].x);
        EXPECT_DOUBLE_EQ(line.perMetreMilliOhm.resistance, expected[i].r0);
        EXPECT_DOUBLE_EQ(line.perMetreMilliOhm.reactance, expected[i].x0);
        EXPECT_DOUBLE_EQ(line.perMetreMilliOhm.loopResistance, expected[i].rphp);
        EXPECT_DOUBLE_EQ(line.perMetreMilliOhm.loopReactance, expected[i].xphp);
        EXPECT_DOUBLE_EQ(line.neutralResistanceMilliOhmPerM, expected[i].rn);
        EXPECT_DOUBLE_EQ(line.neutralReactanceMilliOhmPerM, expected[i].xn);
        EXPECT_DOUBLE_EQ(read.circuits[i].protection.leakagePerKmMa, expected[i].leakage);
    }
}

// Blanks the tables cannot fill fail the row, and so the list, with the row and the reason.
TEST_F(CircuitImportTest, BlanksTheTablesCannotFillFailTheRow) {
    QString overhead = loadRow("WL3", "25", "1.354", "0.348", "");
    overhead.replace(QStringLiteral("聚氯乙烯绝缘电力电缆(0.6/1kV),VV 四芯 铜芯"),
                     QStringLiteral("架空线路,LJ 铝绞线 线距0.6m"));
    const CircuitImport read =
        importList(write("unfilled.csv", shortList({loadRow("WL1", "240", "", "", ""),
                                                    loadRow("WL2", "99", "", "", "0.2"), overhead,
                                                    loadRow("WL4", "25", "", "", "")})));
    EXPECT_FALSE(read.ok);
    EXPECT_TRUE(read.circuits.empty());
    EXPECT_TRUE(read.filled.isEmpty());
    // The handbook's tables of four-core cables end at 185 mm²; the database has no 99 mm²; the
    // handbook gives no loop impedances of overhead lines.
    EXPECT_EQ(read.problems,
              (QStringList{QStringLiteral("有 3 行无法读入，未导入任何回路："),
                           QStringLiteral("第2行：单位长度阻抗与泄漏电流为空，无法按手册表填入："
                                          "手册表中无 240 mm² 的导线电阻 R′"),
                           QStringLiteral("第3行：R、X 为空，电缆数据库中无“聚氯乙烯绝缘电力电缆("
                                          "0.6/1kV) / VV 四芯 铜芯 / 99”；X0、Rphp、Xphp、R′、X′"
                                          "与泄漏电流为空，无法按手册表填入：手册表中无 99 mm² "
                                          "的导线电阻 R′"),
                           QStringLiteral("第4行：单位长度阻抗与泄漏电流为空，无法按手册表填入："
                                          "手册表中无“架空线路”的单位长度阻抗值")}));
}

// A comma as the decimal sign is read only where the file's separator leaves no doubt, and only
// where it cannot be a thousands separator; anywhere else the cell says how to write it.
TEST_F(CircuitImportTest, CommaDecimalsReadOnlyInASemicolonCsv) {
    struct Row {
        QChar separator;
        const char* cell; // R(Ω/km) of WL1, as the file writes it
        double read;      // 0: refused
        const char* reason;
    };
    const Row rows[] = {
        {u';', "0,727", 0.727, ""},
        {u';', "12,5", 12.5, ""},
        {u';', "0.727", 0.727, ""},
        {u';', "1,234", 0.0, "“R(Ω/km)”不是数值：1,234（小数点请用“.”，数字不加千位分隔符“,”）"},
        {u';', "1,2,3", 0.0, "“R(Ω/km)”不是数值：1,2,3"},
        {u',', "\"0,727\"", 0.0, "“R(Ω/km)”不是数值：0,727（小数点请用“.”）"},
        {u',', "\"1,234\"", 0.0,
         "“R(Ω/km)”不是数值：1,234（小数点请用“.”，数字不加千位分隔符“,”）"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(1, char(row.separator.unicode())) + row.cell);
        const QString line = loadRow("WL1", "25", row.cell, "0.09", "0.702", row.separator);
        const CircuitImport read = importList(write("comma.csv", shortList({line}, row.separator)));
        if (row.read != 0.0) {
            ASSERT_TRUE(read.ok) << read.problems.join(u'\n').toStdString();
            EXPECT_DOUBLE_EQ(read.circuits[0].line.resistanceOhmPerKm, row.read);
        } else {
            EXPECT_FALSE(read.ok);
            EXPECT_EQ(read.problems.value(1),
                      QStringLiteral("第2行：") + QString::fromUtf8(row.reason));
        }
    }
}

// The separator is the header line's, not that of a title line above it.
TEST_F(CircuitImportTest, TheSeparatorIsTheHeaderLinesNotTheTitles) {
    for (const char* title : {"道路照明回路表", "工程：某路, 2024年"}) {
        SCOPED_TRACE(title);
        const QByteArray csv =
            QByteArray(title) + "\r\n" +
            shortList({loadRow("WL1", "25", "0,727", "0,09", "0,702", u';')}, u';');
        const CircuitImport read = importList(write("titled.csv", csv));
        ASSERT_TRUE(read.ok) << read.problems.join(u'\n').toStdString();
        EXPECT_DOUBLE_EQ(read.circuits[0].line.resistanceOhmPerKm, 0.727);
        EXPECT_EQ(read.filled.value(0),
                  QStringLiteral("第3行：X0、Rphp、Xphp、R′、X′与泄漏电流按手册表填入"));
    }
}

// One identifier twice, whatever its case and blanks, fails the list with both rows.
TEST_F(CircuitImportTest, AnIdentifierTwiceFailsTheList) {
    const CircuitImport read = importList(
        write("twice.csv",
              shortList({loadRow("WL1", "25", "", "", ""), loadRow("WL2", "25", "", "", ""),
                         loadRow(" wl1 ", "25", "", "", ""), loadRow("WL2", "25", "", "", "")})));
    EXPECT_FALSE(read.ok);
    EXPECT_TRUE(read.circuits.empty());
    EXPECT_EQ(read.problems, (QStringList{QStringLiteral("有 2 行无法读入，未导入任何回路："),
                                          QStringLiteral("第4行：回路编号“wl1”与第2行重复"),
                                          QStringLiteral("第5行：回路编号“WL2”与第3行重复")}));
}

// A negative length is no line's: refused with its row and column.
TEST_F(CircuitImportTest, NegativeLengthsAreRefused) {
    struct Row {
        const char* from;
        const char* to;
        const char* reason;
    };
    const QString good = loadRow("WL1", "25", "", "", "");
    const Row rows[] = {
        {",60,0.12,,", ",60,-0.12,,", "“负荷距离(km)”不能为负数：-0.12"},
        {",60,0.12,,", ",60,0.12,,-0.25", "“回路间距(m)”不能为负数：-0.25"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reason);
        QString line = good;
        line.replace(QString::fromUtf8(row.from), QString::fromUtf8(row.to));
        ASSERT_NE(line, good);
        const CircuitImport read = importList(write("negative.csv", shortList({line})));
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(read.problems.value(1),
                  QStringLiteral("第2行：") + QString::fromUtf8(row.reason));
    }

    // A feeder's spacing and first pole, and one of several loads.
    Project project = severalCircuits();
    LampFeeder& lamps = std::get<LampFeeder>(project.circuits[1].load);
    lamps.spacingM = -35.0;
    lamps.firstPoleM = -20.0;
    std::get<LoadCaseLoad>(project.circuits[2].load).values.currentLoads[1].lengthKm = -0.12;
    const CircuitImport read =
        importList(write("feeder.csv", csvOf(project.circuits, u',', true, "\r\n")));
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.problems,
              (QStringList{
                  QStringLiteral("有 2 行无法读入，未导入任何回路："),
                  QStringLiteral("第3行：“杆距(m)”不能为负数：-35；“首杆距离(m)”不能为负数：-20"),
                  QStringLiteral("第4行：“多个负荷”的距离不能为负数：-0.12")}));
}

// ---- Hostile files: each stops at its limit with the reason ------------------------------------

// An .xlsx package of one sheet (回路表) with `sheetData` as its rows and, when given, a shared
// string table, deflated as every writer stores it.
QByteArray xlsxOf(const QByteArray& sheetData, const QByteArray& sharedStrings = {}) {
    const QByteArray workbook =
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
        "<sheet name=\"回路表\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
    QByteArray relationships =
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
        "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>";
    if (!sharedStrings.isEmpty())
        relationships += "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/"
                         "officeDocument/2006/relationships/sharedStrings\" "
                         "Target=\"sharedStrings.xml\"/>";
    relationships += "</Relationships>";
    const QByteArray sheet =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<sheetData>" +
        sheetData + "</sheetData></worksheet>";
    std::vector<std::pair<const char*, QByteArray>> parts{
        {"xl/workbook.xml", workbook},
        {"xl/_rels/workbook.xml.rels", relationships},
        {"xl/worksheets/sheet1.xml", sheet}};
    if (!sharedStrings.isEmpty())
        parts.push_back(
            {"xl/sharedStrings.xml",
             "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                 sharedStrings + "</sst>"});

    QTemporaryDir dir;
    const QByteArray path = dir.filePath(QStringLiteral("book.xlsx")).toUtf8();
    int error = 0;
    zip_t* archive = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return {};
    for (const auto& [name, bytes] : parts) {
        zip_source_t* source =
            zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!source || zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return {};
        }
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        return {};
    }
    QFile file(QString::fromUtf8(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray repeated(const QByteArray& piece, int times) {
    QByteArray bytes;
    bytes.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        bytes += piece;
    return bytes;
}

TEST_F(CircuitImportTest, HostileFilesStopAtTheirLimitWithTheReason) {
    SheetLimits small;
    small.fileBytes = 64 * 1024;
    small.partBytes = 64 * 1024;
    small.rows = 100;
    small.cells = 1000;
    small.textCharacters = 5000;
    const QByteArray shared = "<si><t>" + QByteArray(1000, 'W') + "</t></si>";
    struct Row {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Row rows[] = {
        // Separators and nothing else: 2000 empty cells on one line.
        {"empty.csv", QByteArray(1999, ','), "文件的单元格超过 1000 个，不予读入"},
        {"lines.csv", repeated("\r\n", 101), "文件超过 100 行，不予读入"},
        {"big.csv", QByteArray(64 * 1024 + 1, 'x'), "文件超过 64 KB，不予读入"},
        // One shared string of 1000 characters shown by six cells: 6000 characters.
        {"shared.xlsx",
         xlsxOf("<row r=\"1\">" + repeated("<c t=\"s\"><v>0</v></c>", 6) + "</row>", shared),
         "工作表中的文字超过 5000 个字符，不予读入"},
        // Error cells hold nothing but count: 1001 of them.
        {"errors.xlsx",
         xlsxOf("<row r=\"1\">" + repeated("<c t=\"e\"><v>#N/A</v></c>", 1001) + "</row>"),
         "工作表的单元格超过 1000 个，不予读入"},
        // The same cell a thousand times and once more.
        {"same.xlsx", xlsxOf("<row r=\"1\">" + repeated("<c r=\"A1\"/>", 1001) + "</row>"),
         "工作表的单元格超过 1000 个，不予读入"},
        // A cell far to the right widens its row to reach it.
        {"wide.xlsx",
         xlsxOf("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>回路编号</t></is></c>"
                "<c r=\"ALM1\"><v>1</v></c></row>"),
         "工作表的单元格超过 1000 个，不予读入"},
        {"strings.xlsx", xlsxOf("", repeated("<si/>", 1001)), "共享字符串超过 1000 个，不予读入"},
        {"part.xlsx", xlsxOf(repeated("<row/>", 20000)),
         "xl/worksheets/sheet1.xml 解压后超过 64 KB，不予读入"},
        {"row.xlsx", xlsxOf("<row r=\"101\"><c><v>1</v></c></row>"), "工作表超过 100 行，不予读入"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_FALSE(row.bytes.isEmpty());
        // What the file holds must be small: it expands, or is refused before.
        EXPECT_LE(row.bytes.size(), 66 * 1024);
        const CircuitImport read = importList(write(row.name, row.bytes), small);
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(read.problems, QStringList{QString::fromUtf8(row.reason)});
    }
}

// Row numbers past the format's last row are damage, read without overflowing: 2³¹ − 1 itself,
// a row without its number after the last, a reference past row 1048576.
TEST_F(CircuitImportTest, RowNumbersPastTheFormatsLastAreDamage) {
    struct Row {
        QByteArray sheetData;
        const char* reason;
    };
    const Row rows[] = {
        {"<row r=\"2147483647\"><c><v>1</v></c></row>",
         "文件已损坏：xl/worksheets/sheet1.xml 的行号无效：2147483647"},
        {"<row r=\"99999999999999999999\"/>",
         "文件已损坏：xl/worksheets/sheet1.xml 的行号无效：99999999999999999999"},
        {"<row r=\"1048576\"/><row><c><v>1</v></c></row>",
         "文件已损坏：xl/worksheets/sheet1.xml 的行号无效：（无）"},
        {"<row><c r=\"A2147483648\"><v>1</v></c></row>",
         "文件已损坏：xl/worksheets/sheet1.xml 的单元格引用无效：A2147483648"},
        {"<row><c r=\"XFE1\"><v>1</v></c></row>",
         "文件已损坏：xl/worksheets/sheet1.xml 的单元格引用无效：XFE1"},
        // The format's last row is a row, beyond the rows read.
        {"<row r=\"1048576\"><c><v>1</v></c></row>", "工作表超过 100000 行，不予读入"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reason);
        const CircuitImport read = importList(write("rows.xlsx", xlsxOf(row.sheetData)));
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(read.problems, QStringList{QString::fromUtf8(row.reason)});
    }
}

// A device that never ends is read only up to the limit of bytes, whatever size it reports.
TEST_F(CircuitImportTest, ADeviceThatNeverEndsStopsAtTheLimitOfBytes) {
    if (!QFile::exists(QStringLiteral("/dev/zero")))
        GTEST_SKIP() << "no /dev/zero";
    SheetLimits limits;
    limits.fileBytes = 1024 * 1024;
    for (const char* name : {"zero.csv", "zero.xlsx"}) {
        SCOPED_TRACE(name);
        const QString link = dir.filePath(QString::fromUtf8(name));
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), link));
        EXPECT_EQ(importList(link, limits).problems,
                  QStringList{QStringLiteral("文件超过 1 MB，不予读入")});
    }
}

} // namespace
} // namespace korvane::testing
