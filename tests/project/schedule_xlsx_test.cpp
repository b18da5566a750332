// The circuit schedule as an .xlsx workbook, read back by an independent reader (openpyxl of the
// system's Python 3): the sheets, the header, numbers stored as numbers, the checks that did not
// pass in red with their reasons, a sheet per feeder with a row per pole; and a write that fails
// leaves no file and an older file as it was.

#include "db/database.h"
#include "project/inputs/schedule_columns.h"
#include "project/project_run.h"
#include "project_files/project_file.h"
#include "project_files/schedule_xlsx.h"
#include "support/cli_run.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

#include <sys/resource.h>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

QString example() {
    return QDir(QStringLiteral(KORVANE_SOURCE_DIR))
        .filePath(QStringLiteral("docs/examples/street_lighting.kvp"));
}

CableCatalogue testCatalogue() {
    Database db(QStringLiteral(KORVANE_TEST_HOME "/Database/JhxlDlxlss.db"));
    EXPECT_EQ(db.open(QStringLiteral("AAA")), QString());
    const Computed<CableCatalogue> loaded = loadCableCatalogue(db);
    EXPECT_TRUE(loaded.ok()) << loaded.reason().toStdString();
    return loaded.valueOr({});
}

// Every sheet of a workbook as openpyxl reads it: per cell its value, type ("n" number, "s" text),
// solid fill colour, number format and comment; the frozen cell and whether the header cells are
// bold.
constexpr char kReader[] = R"(
import json, sys
try:
    import openpyxl
except ImportError:
    sys.exit(3)
book = openpyxl.load_workbook(sys.argv[1])
sheets = []
for ws in book.worksheets:
    rows = []
    for row in ws.iter_rows():
        cells = []
        for c in row:
            fill = c.fill.fgColor.rgb if c.fill is not None and c.fill.fill_type == "solid" else None
            cells.append({"v": c.value, "t": c.data_type,
                          "fill": fill if isinstance(fill, str) else None,
                          "fmt": c.number_format,
                          "note": c.comment.text if c.comment else None})
        rows.append(cells)
    sheets.append({"name": ws.title, "rows": rows, "freeze": ws.freeze_panes,
                   "bold": all(c.font.b for c in ws[1])})
print(json.dumps(sheets, ensure_ascii=False))
)";

// The sheets read back, or why they could not be; `skip` when no reader is installed.
struct ReadBack {
    QJsonArray sheets;
    QString error;
    bool skip = false;
};

ReadBack readBack(const QString& path) {
    ReadBack r;
    QProcess python;
    python.start(QStringLiteral(KORVANE_PYTHON3),
                 {QStringLiteral("-c"), QString::fromUtf8(kReader), path});
    if (!python.waitForStarted()) {
        r.skip = true;
        return r;
    }
    python.waitForFinished(60000);
    if (python.exitStatus() == QProcess::NormalExit && python.exitCode() == 3) {
        r.skip = true;
        return r;
    }
    if (python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0) {
        r.error = QString::fromUtf8(python.readAllStandardError());
        return r;
    }
    r.sheets = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    return r;
}

QJsonObject sheetNamed(const QJsonArray& sheets, const QString& name) {
    for (const QJsonValue& sheet : sheets)
        if (sheet[QStringLiteral("name")].toString() == name)
            return sheet.toObject();
    return {};
}

QJsonObject cellAt(const QJsonObject& sheet, int row, int col) {
    return sheet[QStringLiteral("rows")][row][col].toObject();
}

constexpr char kRed[] = "FFFFC7CE";

TEST(ScheduleXlsx, TheExampleProjectReadsBackSheetBySheet) {
    ProjectReading reading = openProject(example());
    ASSERT_EQ(reading.error, QString());
    // A fifth circuit, a feeder like WL4 on a cable the database does not hold: nothing of it is
    // computed.
    ProjectCircuit unknown = reading.project.circuits.back();
    unknown.id = QStringLiteral("WL5");
    unknown.line.cable.crossSection = QStringLiteral("999");
    reading.project.circuits.push_back(unknown);
    const ProjectRun run = runProject(reading.project, testCatalogue(), false);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("回路表.xlsx"));
    ASSERT_EQ(writeScheduleXlsx(run, path), QString());
    const ReadBack back = readBack(path);
    if (back.skip)
        GTEST_SKIP() << "python3 with openpyxl is not installed";
    ASSERT_EQ(back.error, QString()) << back.error.toStdString();

    QStringList names;
    for (const QJsonValue& sheet : back.sheets)
        names << sheet[QStringLiteral("name")].toString();
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("回路表"), QStringLiteral("电源"), QStringLiteral("WL1"),
                           QStringLiteral("WL2"), QStringLiteral("WL4"), QStringLiteral("WL5")}));

    // The schedule: the input columns, then the results; bold and frozen under the header.
    const QJsonObject schedule = sheetNamed(back.sheets, QStringLiteral("回路表"));
    QStringList expectedHeader;
    for (const ScheduleColumnInfo& info : scheduleInputColumns())
        expectedHeader << QString::fromUtf8(info.header);
    // The results as every output shows them: Ib beside the breaker chosen for it and the
    // cable's capacity, the fault at the line's end and at its origin.
    expectedHeader << QStringList{
        QStringLiteral("长度(m)"),      QStringLiteral("Δu(%)"),         QStringLiteral("电压损失"),
        QStringLiteral("最大长度(m)"),  QStringLiteral("计算电流Ib(A)"), QStringLiteral("QR In(A)"),
        QStringLiteral("QC Ie(A)"),     QStringLiteral("Iz(A)"),         QStringLiteral("校正系数"),
        QStringLiteral("IN(A)"),        QStringLiteral("载流量"),        QStringLiteral("I″k3(kA)"),
        QStringLiteral("I″k2(kA)"),     QStringLiteral("Id(kA)"),        QStringLiteral("I″k1(kA)"),
        QStringLiteral("始端I″k3(kA)"), QStringLiteral("Ivn(mA)"),       QStringLiteral("灵敏度"),
        QStringLiteral("Smin(mm²)"),    QStringLiteral("结论")};
    QStringList header;
    for (const QJsonValue& cell : schedule[QStringLiteral("rows")][0].toArray())
        header << cell[QStringLiteral("v")].toString();
    EXPECT_EQ(header, expectedHeader);
    EXPECT_TRUE(schedule[QStringLiteral("bold")].toBool());
    EXPECT_EQ(schedule[QStringLiteral("freeze")].toString(), QStringLiteral("B2"));
    ASSERT_EQ(schedule[QStringLiteral("rows")].toArray().size(), 6);

    const int inputs = int(scheduleInputColumns().size());
    auto column = [&](const QString& name) { return int(expectedHeader.indexOf(name)); };
    const QJsonObject r1 = cellAt(schedule, 1, column(QStringLiteral("R(Ω/km)")));
    EXPECT_EQ(r1[QStringLiteral("t")].toString(), QStringLiteral("n"));
    EXPECT_DOUBLE_EQ(r1[QStringLiteral("v")].toDouble(), 1.83);
    // The cross-section "10" is a plain number: stored as one, so that Excel sums and sorts it.
    const QJsonObject section = cellAt(schedule, 1, column(QStringLiteral("截面(mm²)")));
    EXPECT_EQ(section[QStringLiteral("t")].toString(), QStringLiteral("n"));
    EXPECT_EQ(section[QStringLiteral("v")], QJsonValue(10));
    EXPECT_EQ(cellAt(schedule, 1, column(QStringLiteral("负荷类型")))[QStringLiteral("v")],
              QJsonValue(QStringLiteral("路灯馈线")));

    // Each check cell is red exactly when its check did not pass, with the check's reason.
    const std::pair<const char*, CircuitCheck> checked[] = {
        {"Δu(%)", CircuitCheck::VoltageLoss},
        {"电压损失", CircuitCheck::VoltageLoss},
        {"QR In(A)", CircuitCheck::BreakerSelection},
        {"Iz(A)", CircuitCheck::CurrentCapacity},
        {"载流量", CircuitCheck::CurrentCapacity},
        {"始端I″k3(kA)", CircuitCheck::ThermalStability},
        {"Ivn(mA)", CircuitCheck::ResidualSetting},
        {"灵敏度", CircuitCheck::Sensitivity},
        {"Smin(mm²)", CircuitCheck::ThermalStability}};
    int redCells = 0;
    for (int i = 0; i < 5; ++i) {
        const CircuitResult& result = run.results[size_t(i)];
        for (const auto& [name, check] : checked) {
            const QJsonObject cell = cellAt(schedule, i + 1, column(QString::fromUtf8(name)));
            const CheckOutcome& outcome = result.check(check);
            const bool red = cell[QStringLiteral("fill")].toString() == QLatin1String(kRed);
            EXPECT_EQ(red, !outcome.passed()) << i << ' ' << name;
            if (red) {
                ++redCells;
                EXPECT_TRUE(cell[QStringLiteral("note")].toString().contains(outcome.text()))
                    << i << ' ' << name;
            }
        }
        const QJsonObject loss = cellAt(schedule, i + 1, column(QStringLiteral("Δu(%)")));
        if (result.lossPercent) {
            EXPECT_EQ(loss[QStringLiteral("t")].toString(), QStringLiteral("n"));
            EXPECT_DOUBLE_EQ(loss[QStringLiteral("v")].toDouble(), *result.lossPercent);
        }
        const QJsonObject verdict = cellAt(schedule, i + 1, column(QStringLiteral("结论")));
        EXPECT_EQ(verdict[QStringLiteral("fill")].toString() == QLatin1String(kRed),
                  !result.passed());
    }
    EXPECT_GT(redCells, 0); // the example as saved does not pass everywhere

    // Each result figure is shown in Excel with the decimals every output gives it: Δu and the
    // short-circuit currents to four, lengths to one, Ib to three, ratings as whole numbers.
    const std::pair<const char*, const char*> formats[] = {
        {"长度(m)", "0.0"},         {"Δu(%)", "0.0000"},     {"最大长度(m)", "0.0"},
        {"计算电流Ib(A)", "0.000"}, {"QR In(A)", "0"},       {"QC Ie(A)", "0"},
        {"I″k3(kA)", "0.0000"},     {"I″k2(kA)", "0.0000"},  {"Id(kA)", "0.0000"},
        {"I″k1(kA)", "0.0000"},     {"Ivn(mA)", "0"},        {"灵敏度", "0.00"},
        {"Smin(mm²)", "0.0000"},    {"电压损失", "General"}, {"结论", "General"},
        {"Iz(A)", "0.0"},           {"IN(A)", "0.0"},        {"始端I″k3(kA)", "0.0000"},
        {"校正系数", "General"},    {"载流量", "General"}};
    for (const auto& [name, format] : formats)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(
                cellAt(schedule, i + 1, column(QString::fromUtf8(name)))[QStringLiteral("fmt")]
                    .toString(),
                QString::fromUtf8(format))
                << i << ' ' << name;
    const QJsonObject unreadVerdict = cellAt(schedule, 5, int(expectedHeader.size()) - 1);
    EXPECT_EQ(unreadVerdict[QStringLiteral("v")].toString(), QStringLiteral("未计算"));
    EXPECT_TRUE(unreadVerdict[QStringLiteral("note")].toString().contains(QStringLiteral("999")));
    EXPECT_EQ(cellAt(schedule, 5, inputs)[QStringLiteral("v")], QJsonValue()); // no length

    // The supply, one value a row.
    const QJsonObject supply = sheetNamed(back.sheets, QStringLiteral("电源"));
    bool capacitySeen = false;
    for (const QJsonValue& row : supply[QStringLiteral("rows")].toArray())
        if (row[0][QStringLiteral("v")].toString() == QStringLiteral("系统短路容量(MVA)")) {
            capacitySeen = true;
            EXPECT_EQ(row[1][QStringLiteral("t")].toString(), QStringLiteral("n"));
            EXPECT_DOUBLE_EQ(row[1][QStringLiteral("v")].toDouble(), 100.0);
        }
    EXPECT_TRUE(capacitySeen);

    // Each feeder's sheet: a row per pole under the header, the voltages as computed.
    for (int i : {0, 1, 3}) {
        ASSERT_TRUE(run.results[size_t(i)].feeder.has_value()) << i;
        const LampFeederResult& feeder = *run.results[size_t(i)].feeder;
        const QJsonObject sheet = sheetNamed(back.sheets, QStringLiteral("WL%1").arg(i + 1));
        const QJsonArray rows = sheet[QStringLiteral("rows")].toArray();
        // The poles, an empty row, the runs' header and the one run of an equal feeder.
        ASSERT_EQ(rows.size(), qsizetype(feeder.poles.size()) + 4) << i;
        EXPECT_EQ(rows[0][6][QStringLiteral("v")].toString(), QStringLiteral("ΔuL1(%)"));
        const PoleDrop& last = feeder.poles.back();
        const QJsonArray lastRow = rows[qsizetype(feeder.poles.size())].toArray();
        EXPECT_EQ(lastRow[0][QStringLiteral("v")].toString(), QStringLiteral("干线"));
        EXPECT_EQ(lastRow[1][QStringLiteral("v")].toString(),
                  last.id.isEmpty() ? QString::number(last.pole) : last.id);
        EXPECT_DOUBLE_EQ(lastRow[2][QStringLiteral("v")].toDouble(), last.distanceM);
        EXPECT_EQ(lastRow[5][QStringLiteral("v")].toString(), phaseText(last.phase));
        EXPECT_DOUBLE_EQ(lastRow[7][QStringLiteral("v")].toDouble(), last.lossPercent[1]);
        // The run: from the supply, its length and the phase currents there.
        const QJsonArray runRow = rows.last().toArray();
        EXPECT_EQ(runRow[1][QStringLiteral("v")].toString(), QStringLiteral("电源"));
        EXPECT_DOUBLE_EQ(runRow[4][QStringLiteral("v")].toDouble(), feeder.phaseCurrentsA[0]);
    }
    // A feeder that was not computed says why under its header.
    const QJsonArray unread =
        sheetNamed(back.sheets, QStringLiteral("WL5"))[QStringLiteral("rows")].toArray();
    ASSERT_EQ(unread.size(), 2);
    EXPECT_TRUE(unread[1][0][QStringLiteral("v")].toString().contains(QStringLiteral("999")));
}

// Texts no file can carry as they are (control characters, a lone surrogate, the two
// non-characters) in a circuit's identifier, description and cable and in the project's name:
// the workbook still opens in an independent reader, each such character read back as U+FFFD and
// everything else as written; a "_x0041_" of the engineer's stays that text and does not become
// "A"; a cross-section that is not a plain number stays text.
TEST(ScheduleXlsx, TextsNoFileCanCarryAreReplacedAndTheWorkbookOpens) {
    ProjectReading reading = openProject(example());
    ASSERT_EQ(reading.error, QString());
    Project& project = reading.project;
    ASSERT_EQ(project.circuits.size(), 4u); // feeders WL1, WL2 and WL4, the end load WL3
    const QString fffd(QChar::ReplacementCharacter);
    project.name = QStringLiteral("路灯工程\x03") + QChar(0xD801);
    project.circuits[0].id = QStringLiteral("WL\x01"
                                            "a\tb\nc\rd");
    project.circuits[1].id = QStringLiteral("WL") + QChar(0xD800) + QStringLiteral("x");
    project.circuits[1].description = QStringLiteral("支路") + QChar(0xFFFE);
    project.circuits[2].id = QStringLiteral("_x0041_");
    project.circuits[3].line.cable.cableType = QStringLiteral("VV 四芯 铜芯\x02");
    ProjectCircuit padded = project.circuits[2];
    padded.id = QStringLiteral("WL5");
    padded.line.cable.crossSection = QStringLiteral("2.50");
    project.circuits.push_back(padded);
    const ProjectRun run = runProject(project, testCatalogue(), false);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("回路表.xlsx"));
    ASSERT_EQ(writeScheduleXlsx(run, path), QString());
    const ReadBack back = readBack(path);
    if (back.skip)
        GTEST_SKIP() << "python3 with openpyxl is not installed";
    ASSERT_EQ(back.error, QString()) << back.error.toStdString();

    QStringList names;
    for (const QJsonValue& sheet : back.sheets)
        names << sheet[QStringLiteral("name")].toString();
    EXPECT_EQ(names, (QStringList{QStringLiteral("回路表"), QStringLiteral("电源"),
                                  QStringLiteral("WL_a_b_c_d"), QStringLiteral("WL_x"),
                                  QStringLiteral("WL4")}));

    const QJsonObject schedule = sheetNamed(back.sheets, QStringLiteral("回路表"));
    QStringList header;
    for (const QJsonValue& cell : schedule[QStringLiteral("rows")][0].toArray())
        header << cell[QStringLiteral("v")].toString();
    auto value = [&](int row, const char* name) {
        return cellAt(schedule, row, int(header.indexOf(QString::fromUtf8(name))));
    };
    // A cell may hold several lines: the tab, the line feed and the carriage return are kept, the
    // last as Excel writes it, "_x000D_", which Excel reads back as the character and openpyxl
    // leaves as it is.
    EXPECT_EQ(value(1, "回路编号")[QStringLiteral("v")].toString(),
              QStringLiteral("WL") + fffd + QStringLiteral("a\tb\nc_x000D_d"));
    EXPECT_EQ(value(2, "回路编号")[QStringLiteral("v")].toString(), "WL" + fffd + "x");
    EXPECT_EQ(value(2, "说明")[QStringLiteral("v")].toString(), QStringLiteral("支路") + fffd);
    EXPECT_EQ(value(3, "回路编号")[QStringLiteral("v")].toString(), QStringLiteral("_x0041_"));
    EXPECT_EQ(value(4, "电缆类型")[QStringLiteral("v")].toString(),
              QStringLiteral("VV 四芯 铜芯") + fffd);
    // WL4's cable is not in the database: its verdict's comment names it as written.
    EXPECT_TRUE(value(4, "结论")[QStringLiteral("note")].toString().contains(
        QStringLiteral("VV 四芯 铜芯") + fffd))
        << value(4, "结论")[QStringLiteral("note")].toString().toStdString();
    const QJsonObject section = value(5, "截面(mm²)");
    EXPECT_EQ(section[QStringLiteral("t")].toString(), QStringLiteral("s"));
    EXPECT_EQ(section[QStringLiteral("v")].toString(), QStringLiteral("2.50"));

    const QJsonArray supply =
        sheetNamed(back.sheets, QStringLiteral("电源"))[QStringLiteral("rows")].toArray();
    ASSERT_GE(supply.size(), 2);
    EXPECT_EQ(supply[1][0][QStringLiteral("v")].toString(), QStringLiteral("工程名称"));
    EXPECT_EQ(supply[1][1][QStringLiteral("v")].toString(), "路灯工程" + fffd + fffd);
}

TEST(ScheduleXlsx, FeederSheetNamesFollowExcelsRules) {
    const QStringList taken{QStringLiteral("回路表"), QStringLiteral("电源"),
                            QStringLiteral("WL1")};
    EXPECT_EQ(uniqueSheetName(QStringLiteral("WL2"), taken), QStringLiteral("WL2"));
    EXPECT_EQ(uniqueSheetName(QStringLiteral("wl1"), taken), QStringLiteral("wl1(2)"));
    EXPECT_EQ(uniqueSheetName(QStringLiteral("电源"), taken), QStringLiteral("电源(2)"));
    EXPECT_EQ(uniqueSheetName(QStringLiteral("'A/B:C[1]*?'"), taken), QStringLiteral("A_B_C_1___"));
    EXPECT_EQ(uniqueSheetName(QStringLiteral("  "), taken), QStringLiteral("馈线"));
    EXPECT_EQ(uniqueSheetName(QStringLiteral("history"), {}), QStringLiteral("history(2)"));
    const QString longId(40, u'路');
    EXPECT_EQ(uniqueSheetName(longId, {}), QString(31, u'路'));
    EXPECT_EQ(uniqueSheetName(longId, {QString(31, u'路')}),
              QString(28, u'路') + QStringLiteral("(2)"));
    // A character outside the basic plane is not cut in half.
    QString emoji = QString(30, u'a') + QString::fromUcs4(U"\U0001F4A1");
    EXPECT_EQ(uniqueSheetName(emoji, {}), QString(30, u'a'));
    // Control characters, a lone surrogate and the non-characters become '_' as well.
    EXPECT_EQ(uniqueSheetName(QStringLiteral("WL\t1\n\x01"), {}), QStringLiteral("WL_1__"));
    EXPECT_EQ(uniqueSheetName(QStringLiteral("WL") + QChar(0xDC00) + QChar(0xFFFF), {}),
              QStringLiteral("WL__"));
}

// Many feeders of one name, and names that differ only in case, numbered in turn as Excel
// compares them; a number taken by a feeder of its own is skipped.
TEST(ScheduleXlsx, SheetNamesNumberRepeatedNamesInTurn) {
    SheetNames names;
    names.take(QStringLiteral("回路表"));
    EXPECT_EQ(names.add(QStringLiteral("WL(3)")), QStringLiteral("WL(3)"));
    const char* const expected[] = {"WL", "WL(2)", "WL(4)", "WL(5)"};
    for (const char* name : expected)
        EXPECT_EQ(names.add(QStringLiteral("WL")), QString::fromUtf8(name));
    EXPECT_EQ(names.add(QStringLiteral("wl")), QStringLiteral("wl(6)"));
    EXPECT_EQ(names.add(QStringLiteral("回路表")), QStringLiteral("回路表(2)"));
    EXPECT_EQ(names.add(QStringLiteral("HISTORY")), QStringLiteral("HISTORY(2)"));
    // 31 characters at most, the number included.
    const QString longId(31, u'杆');
    EXPECT_EQ(names.add(longId), longId);
    for (int n = 2; n <= 10; ++n)
        EXPECT_EQ(names.add(longId), QString(31 - 2 - QString::number(n).size(), u'杆') +
                                         QStringLiteral("(%1)").arg(n));
}

TEST(ScheduleXlsx, AWriteThatFailsLeavesNoFileAndTheOldOneAsItWas) {
    const ProjectReading reading = openProject(example());
    ASSERT_EQ(reading.error, QString());
    const ProjectRun run = runProject(reading.project, testCatalogue(), false);
    QTemporaryDir dir;

    const QString nowhere = dir.filePath(QStringLiteral("无此文件夹/回路表.xlsx"));
    const QString why = writeScheduleXlsx(run, nowhere);
    EXPECT_TRUE(why.contains(QStringLiteral("文件夹不存在"))) << why.toStdString();
    EXPECT_FALSE(QFile::exists(nowhere));

    // korvane-cli under a file-size limit too small for the workbook, over an older file.
    const QString target = dir.filePath(QStringLiteral("回路表.xlsx"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old schedule");
    }
    const CliRun limited =
        runCliProgram({QStringLiteral("--home"), QStringLiteral(KORVANE_TEST_HOME),
                       QStringLiteral("--project"), example(), QStringLiteral("--xlsx"), target},
                      {}, [] {
                          const rlimit size{4096, 4096};
                          ::setrlimit(RLIMIT_FSIZE, &size);
                          ::signal(SIGXFSZ, SIG_IGN);
                      });
    EXPECT_EQ(limited.status, 1) << limited.err;
    EXPECT_NE(limited.err.find("error: 无法写入 " + target.toStdString() + "："), std::string::npos)
        << limited.err;
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old schedule"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("回路表.xlsx")});

    // Without the limit the same command replaces the old file with the workbook.
    const CliRun written = runCliProgram(
        {QStringLiteral("--home"), QStringLiteral(KORVANE_TEST_HOME), QStringLiteral("--project"),
         example(), QStringLiteral("--size"), QStringLiteral("--xlsx"), target});
    EXPECT_EQ(written.status, 0) << written.err;
    old.close();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_TRUE(old.readAll().startsWith("PK"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("回路表.xlsx")});
}

// A file name of 250 bytes, valid on every Linux file system: the workbook's temporary file
// beside it has a short name of its own, so that writing it and replacing it both succeed.
TEST(ScheduleXlsx, ATargetNamedWith250BytesIsWrittenAndReplaced) {
    const ProjectReading reading = openProject(example());
    ASSERT_EQ(reading.error, QString());
    const ProjectRun run = runProject(reading.project, testCatalogue(), false);
    QTemporaryDir dir;
    const QString name = QString(81, u'路') + QStringLiteral("ab.xlsx"); // 81 × 3 + 7 bytes
    ASSERT_EQ(name.toUtf8().size(), 250);
    const QString path = dir.filePath(name);
    for (const char* what : {"new", "replaced"}) {
        SCOPED_TRACE(what);
        ASSERT_EQ(writeScheduleXlsx(run, path), QString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.read(2) == "PK");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }
}

} // namespace
} // namespace korvane::testing
