// The project calculation book: its parts in order, the circuit table (a row per circuit, checks
// that did not pass in red and bold), figures taken from the run's results, values not computed
// written as their reasons, the feeder plots only when a painter gives one; and the .docx read
// back by an independent reader, python-docx of the system's Python 3.

#include "base/number_format.h"
#include "db/database.h"
#include "project_book/feeder_book.h"
#include "project_book/project_book.h"
#include "project_files/project_file.h"
#include "project_fixtures.h"
#include "reports/tiny_png.h"
#include "reports/zip_reading.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <algorithm>
#include <numeric>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

// A recording writer that keeps the tables and pictures it was given.
class CapturingWriter : public RecordingReportWriter {
public:
    bool insertTable(const ReportTable& table) override {
        tables.push_back(table);
        return RecordingReportWriter::insertTable(table);
    }
    bool insertPicture(const ReportPicture& picture) override {
        pictures.push_back(picture);
        return RecordingReportWriter::insertPicture(picture);
    }
    std::vector<ReportTable> tables;
    std::vector<ReportPicture> pictures;
};

ProjectRun exampleRun(bool size = false) {
    Database db(QStringLiteral(KORVANE_TEST_HOME "/Database/JhxlDlxlss.db"));
    EXPECT_EQ(db.open(QStringLiteral("AAA")), QString());
    const ProjectReading reading =
        openProject(QDir(QStringLiteral(KORVANE_SOURCE_DIR))
                        .filePath(QStringLiteral("docs/examples/street_lighting.kvp")));
    EXPECT_EQ(reading.error, QString());
    return runProject(reading.project, loadCableCatalogue(db).valueOr({}), size);
}

std::optional<ReportPicture> plot(const ProjectCircuit& c, const CircuitResult&) {
    return ReportPicture{tinyPng(), 10.0, 10.0, c.id};
}

QStringList write(CapturingWriter& writer, const ProjectRun& run,
                  const ProjectBookPictures& pictures, const ProjectBookDiagram& diagram = {}) {
    EXPECT_TRUE(writer.openDocument());
    writeProjectBook(writer, run, QDate(2026, 12, 9), {QStringLiteral("示例工程"), {}}, pictures,
                     diagram);
    return writer.document()->paragraphTexts();
}

// Columns of the circuit table.
enum Column { Length = 3, Loss, LossState, Ib, Qr, Iz, Id, Ik1, Ivn, Smin, Overall };

// One circuit that passes, one far too long, one that cannot be read (K = 0) and a feeder
// without poles.
ProjectRun mixedRun() {
    ProjectCircuit tooLong = endLoadCircuit(60.0, 1.0);
    tooLong.id = QStringLiteral("WL2");
    ProjectCircuit unreadable = endLoadCircuit(30.0, 0.05);
    unreadable.id = QStringLiteral("WL3");
    unreadable.protection.durationS = 0.0;
    ProjectCircuit feeder = endLoadCircuit(0.0, 0.0);
    feeder.id = QStringLiteral("WL4");
    LampFeeder noPoles;
    noPoles.lampPowerW = 100.0;
    noPoles.lampPowerFactor = 0.95;
    noPoles.spacingM = 30.0;
    noPoles.firstPoleM = 20.0;
    feeder.load = noPoles;
    return runProject(projectOf({endLoadCircuit(30.0, 0.05), tooLong, unreadable, feeder}),
                      vvCatalogue(), false);
}

TEST(ProjectBook, ExampleInItsPartsInOrderWithTheRunsFigures) {
    const ProjectRun run = exampleRun();
    CapturingWriter writer;
    const QStringList p = write(writer, run, {});
    EXPECT_EQ(p[0], QString::fromUtf8(kProjectBookTitle));
    EXPECT_EQ(p[2], QStringLiteral("工程名:示例工程"));
    const qsizetype supply = p.indexOf(QStringLiteral("一、电源"));
    const qsizetype table = p.indexOf(QStringLiteral("二、回路表"));
    qsizetype at = p.indexOf(QStringLiteral("三、各回路计算过程"));
    EXPECT_GT(supply, 8);
    EXPECT_GT(table, supply);
    EXPECT_GT(at, table);
    EXPECT_TRUE(p.contains(QStringLiteral("   Sr = 400 (kVA)，uk = 4 (%)，ΔP = 4.3 (kW)")));

    // The circuit table, then the pole table of each of the three feeders.
    ASSERT_EQ(writer.tables.size(), 4u);
    const ReportTable& t = writer.tables.front();
    EXPECT_EQ(writer.operations().count(QStringLiteral("InsertTable 5x14")), 1);
    EXPECT_LE(std::accumulate(t.columnWidthsMm.begin(), t.columnWidthsMm.end(), 0.0), 146.0);
    EXPECT_EQ(t.rows[1][2].text, QStringLiteral("路灯馈线 20 杆"));

    // Each circuit in order: heading, voltage loss, short circuit, checks; figures as computed.
    for (size_t i = 0; i < run.results.size(); ++i) {
        const ProjectCircuit& c = run.project.circuits[i];
        const CircuitResult& r = run.results[i];
        const auto& row = t.rows[i + 1];
        SCOPED_TRACE(c.id.toStdString());
        const qsizetype heading =
            p.indexOf(QStringLiteral("%1、%2 %3").arg(i + 1).arg(c.id, c.description), at);
        const qsizetype sc = p.indexOf(QStringLiteral("【线路末端短路电流】："), heading);
        EXPECT_GT(heading, at);
        EXPECT_GT(p.indexOf(QStringLiteral("【保护校验】："), sc), sc);
        at = heading;
        // The table gives each figure to the decimals every output gives it.
        ASSERT_TRUE(r.shortCircuit.ok());
        EXPECT_EQ(row[Loss].text, formatFixed(*r.lossPercent, 4));
        EXPECT_EQ(row[Iz].text,
                  r.capacity ? formatFixed(r.capacity->capacityA, 1) : QStringLiteral("未计算"));
        EXPECT_EQ(row[Id].text, formatFixed(r.shortCircuit->id, 4));
        EXPECT_GT(p.indexOf(QStringLiteral("   I″k1 = Un / (√3 × Z1) = %1 (kA)")
                                .arg(formatFixed(r.shortCircuit->ik1, 4)),
                            sc),
                  sc);
        const double loss = r.feeder ? r.feeder->worstLossPercent : r.loadCase->shownLossPercent;
        EXPECT_TRUE(p.contains(QStringLiteral("   Δu% = ") + formatFixed(loss, 4)));
        const CheckOutcome& thermal = r.check(CircuitCheck::ThermalStability);
        EXPECT_TRUE(p.contains(
            QStringLiteral("   热稳定：%1（%2）").arg(checkStateText(thermal), thermal.text())));
    }
}

// A check the book has no process text for (as a newly added check) still stands in the
// circuit's 【保护校验】 with its state and figures, numbered after the six that have one, and
// in the notes under the table.
TEST(ProjectBook, ACheckWithoutAProcessTextOfItsOwnIsStatedWithItsFigures) {
    ProjectRun run = exampleRun();
    ASSERT_FALSE(run.results.empty());
    const CircuitCheck added{"added", ""};
    run.results[0].checks.emplace_back(
        added, CheckOutcome::fail(
                   {compare(figure(u"X"_qs, 2.0, {}, FigureDigits::shortest()), Relation::Above,
                            figure({}, 1.0, {}, FigureDigits::shortest()))}));
    CapturingWriter writer;
    const QStringList p = write(writer, run, {});
    const qsizetype verification = p.indexOf(QStringLiteral("【保护校验】："));
    ASSERT_GE(verification, 0);
    const qsizetype numbered = p.indexOf(QStringLiteral(" 7、："), verification);
    ASSERT_GT(numbered, verification);
    EXPECT_EQ(p.value(numbered + 1), QStringLiteral("   ：不通过（X = 2 > 1）"));
    EXPECT_TRUE(
        p.contains(QStringLiteral(" %1 不通过：X = 2 > 1").arg(run.project.circuits[0].id)));
}

TEST(ProjectBook, FailedChecksRedAndBoldAndValuesNotComputedWrittenAsReasons) {
    const ProjectRun run = mixedRun();
    ASSERT_TRUE(run.results[0].passed());
    CapturingWriter writer;
    const QStringList p = write(writer, run, plot);
    const ReportTable t = writer.tables.front();
    ASSERT_EQ(t.rows.size(), 5u);

    for (const ReportTableCell& cell : t.rows[1])
        EXPECT_FALSE(cell.colour || cell.bold) << cell.text.toStdString();
    for (int column : {Loss, LossState, Overall}) {
        EXPECT_EQ(t.rows[2][column].colour, std::optional<Color>(colors::kRed)) << column;
        EXPECT_TRUE(t.rows[2][column].bold) << column;
    }
    EXPECT_EQ(t.rows[2][Overall].text, QStringLiteral("不通过"));
    EXPECT_FALSE(t.rows[2][Id].colour.has_value());

    // Not computed: never a 0 in the table, the reason in the notes and the process.
    for (size_t row : {3u, 4u}) {
        for (int column : {Length, Loss, Iz, Ik1, Id, Qr, Ivn, Smin})
            EXPECT_EQ(t.rows[row][column].text, QStringLiteral("未计算")) << row << column;
        EXPECT_EQ(t.rows[row][Overall].text, QStringLiteral("未计算"));
    }
    const QString reason = run.results[2].inputProblems.join(u'；');
    EXPECT_TRUE(reason.contains(QStringLiteral("短路持续时间 t 应大于0")));
    EXPECT_TRUE(p.contains(QStringLiteral(" WL3 未计算：") + reason));
    EXPECT_TRUE(p.contains(QStringLiteral(" 未计算：") + reason));
    const QString feederReason = run.results[3].feeder.reason();
    ASSERT_FALSE(feederReason.isEmpty());
    EXPECT_TRUE(p.contains(QStringLiteral(" 未能计算：") + feederReason));
    const qsizetype sc =
        p.indexOf(QStringLiteral("【线路末端短路电流】："), p.indexOf(QStringLiteral("4、WL4")));
    ASSERT_GT(sc, 0);
    EXPECT_EQ(p[sc + 1], QStringLiteral(" 未计算：") + feederReason);
    // A feeder that was not computed is not painted.
    EXPECT_TRUE(writer.pictures.empty());
    EXPECT_TRUE(p.contains(QStringLiteral("【电压分布图】：未附。")));
}

TEST(ProjectBook, APlotOnlyWhenThePainterGivesOneAndTextWhereTheWriterRefuses) {
    const ProjectRun run = exampleRun();
    CapturingWriter painted;
    write(painted, run, plot);
    EXPECT_EQ(painted.operations().count(QStringLiteral("InsertPicture 150x80 mm")), 3);
    ASSERT_EQ(painted.pictures.size(), 3u); // WL1, WL2, WL4
    EXPECT_EQ(painted.pictures[2].description, QStringLiteral("WL4"));

    const ProjectBookPictures nothing = [](const ProjectCircuit&, const CircuitResult&) {
        return std::optional<ReportPicture>();
    };
    for (const ProjectBookPictures& none : {ProjectBookPictures{}, nothing}) {
        CapturingWriter plain;
        EXPECT_EQ(write(plain, run, none).count(QStringLiteral("【电压分布图】：未附。")), 3);
        EXPECT_TRUE(plain.pictures.empty());
    }

    // A writer that refuses tables and pictures gets the table as text and a line per plot.
    CapturingWriter refusing;
    refusing.fails = [](const QString& op) { return op.startsWith(QStringLiteral("Insert")); };
    const QStringList p = write(refusing, run, plot);
    const qsizetype heading = p.indexOf(QStringLiteral("二、回路表"));
    EXPECT_TRUE(p[heading + 1].startsWith(QStringLiteral("回路编号  电缆  负荷  长度 (m)")));
    EXPECT_TRUE(p[heading + 2].startsWith(QStringLiteral("WL1  VV 四芯 铜芯 10 mm²")));
    EXPECT_EQ(p.count(QStringLiteral(" 图未能插入，未附。")), 3);
}

// 四、配电系统图 closes the book: its heading directly before the first sheet (the paragraph a
// picture follows), then every sheet given, in order; without sheets the book says they are not
// attached, and a writer refusing pictures gets a line for each sheet it refused.
TEST(ProjectBook, TheDiagramsSheetsCloseTheBookAfterItsHeading) {
    const ProjectRun run = exampleRun();
    // A3 landscape turned onto the page, 146 mm wide: 146 × 420 / 297 = 206.46 mm high.
    const ProjectBookDiagram sheets{{tinyPng(), 146.0, 206.46, QStringLiteral("第 1 张")},
                                    {tinyPng(), 146.0, 206.46, QStringLiteral("第 2 张")}};
    CapturingWriter writer;
    const QStringList p = write(writer, run, plot, sheets);
    ASSERT_EQ(writer.pictures.size(), 5u); // three plots, then the two sheets
    EXPECT_EQ(writer.pictures[3], sheets[0]);
    EXPECT_EQ(writer.pictures[4], sheets[1]);
    const qsizetype heading = p.indexOf(QStringLiteral("四、配电系统图"));
    EXPECT_GT(heading, p.indexOf(QStringLiteral("三、各回路计算过程")));
    EXPECT_GT(heading, p.lastIndexOf(QStringLiteral("【电压分布图】：")));
    EXPECT_EQ(writer.operations().count(QStringLiteral("InsertPicture 146x206.46 mm")), 2);
    // In the document the heading is the block right before the first sheet, which the back
    // ends keep on the sheet's page.
    const std::vector<ReportBlock> blocks = writer.document()->blocks();
    const auto first = std::find_if(blocks.begin(), blocks.end(), [&](const ReportBlock& b) {
        const auto* picture = std::get_if<ReportPicture>(&b);
        return picture != nullptr && *picture == sheets[0];
    });
    ASSERT_NE(first, blocks.end());
    ASSERT_NE(first, blocks.begin());
    const auto* before = std::get_if<ReportParagraph>(&*(first - 1));
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(before->text(), QStringLiteral("四、配电系统图"));

    CapturingWriter without;
    const QStringList q = write(without, run, plot);
    const qsizetype none = q.indexOf(QStringLiteral("四、配电系统图"));
    ASSERT_GE(none, 0);
    EXPECT_EQ(q.value(none + 1), QStringLiteral(" 未附。"));
    EXPECT_EQ(without.pictures.size(), 3u);

    CapturingWriter refusing;
    refusing.fails = [](const QString& op) {
        return op.startsWith(QStringLiteral("InsertPicture"));
    };
    const QStringList r = write(refusing, run, plot, sheets);
    EXPECT_TRUE(r.contains(QStringLiteral(" 第 1 张图未能插入，未附。")));
    EXPECT_TRUE(r.contains(QStringLiteral(" 第 2 张图未能插入，未附。")));
}

TEST(ProjectBook, SizedRunStatesTheChosenSectionAndWhatGovernsIt) {
    const ProjectRun run = exampleRun(true);
    CapturingWriter writer;
    const QStringList p = write(writer, run, {});
    EXPECT_EQ(p.count(QStringLiteral("【截面选择】：")), 4);
    for (size_t i = 0; i < run.sizing.size(); ++i) {
        ASSERT_TRUE(run.sizing[i].has_value()) << i;
        const SizingResult& s = *run.sizing[i];
        if (!s.chosen) {
            EXPECT_TRUE(p.contains(QStringLiteral(" 无法选择截面：") + s.notSized));
            continue;
        }
        const QString section = s.candidates[*s.chosen].crossSection;
        EXPECT_TRUE(p.contains(QStringLiteral(" 选择截面:  S = %1 (mm²)").arg(section)));
        EXPECT_TRUE(p.contains(QStringLiteral(" 控制条件:  ") + s.governingText));
        EXPECT_TRUE(writer.tables.front().rows[i + 1][1].text.endsWith(section + u" mm²"_qs));
    }
}

// The tables (cell texts, bold, colours) and the inline pictures (mm) of a .docx.
constexpr char kReader[] = R"(
import json, sys
try:
    import docx
except ImportError:
    sys.exit(3)
d = docx.Document(sys.argv[1])
def cell(c):
    runs = [r for p in c.paragraphs for r in p.runs if r.text]
    return {"text": "\n".join(p.text for p in c.paragraphs),
            "bold": bool(runs) and all(r.bold for r in runs),
            "red": bool(runs) and all(str(r.font.color.rgb) == "FF0000" for r in runs)}
print(json.dumps({"tables": [[[cell(c) for c in row.cells] for row in t.rows] for t in d.tables],
                  "shapes": [[s.width / 36000.0, s.height / 36000.0] for s in d.inline_shapes],
                  "paragraphs": [p.text for p in d.paragraphs]},
                 ensure_ascii=False))
)";

TEST(ProjectBook, DocxReadsBackWithItsTableAndOnePicturePerFeeder) {
    const ProjectRun run = exampleRun();
    const std::optional<QByteArray> docx = projectBookDocx(run, QDate(2026, 12, 9), {}, plot);
    ASSERT_TRUE(docx.has_value());
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("工程计算书.docx")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(*docx), docx->size());
    file.close();

    QProcess python;
    python.start(QStringLiteral(KORVANE_PYTHON3),
                 {QStringLiteral("-c"), QString::fromUtf8(kReader), file.fileName()});
    ASSERT_TRUE(python.waitForFinished(60000));
    if (python.exitCode() == 3)
        GTEST_SKIP() << "python3 with python-docx is not installed";
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QJsonObject book = QJsonDocument::fromJson(python.readAllStandardOutput()).object();

    const ReportTable expected = projectCircuitTable(run);
    const QJsonArray tables = book[QStringLiteral("tables")].toArray();
    ASSERT_EQ(tables.size(), 4); // the circuit table and the pole tables of WL1, WL2, WL4
    const QJsonArray rows = tables[0].toArray();
    ASSERT_EQ(rows.size(), 5);
    for (qsizetype i = 0; i < rows.size(); ++i)
        for (qsizetype j = 0; j < 14; ++j) {
            const QJsonObject got = rows[i][j].toObject();
            const ReportTableCell& want = expected.rows[size_t(i)][size_t(j)];
            EXPECT_EQ(got[QStringLiteral("text")].toString(),
                      QString(want.text).replace(u'\r', u'\n'))
                << i << " " << j;
            EXPECT_EQ(got[QStringLiteral("bold")].toBool(), want.bold) << i << " " << j;
            EXPECT_EQ(got[QStringLiteral("red")].toBool(), want.colour.has_value())
                << i << " " << j;
        }
    EXPECT_TRUE(rows[2][Loss][QStringLiteral("red")].toBool()); // WL2 fails its voltage loss

    const QJsonArray shapes = book[QStringLiteral("shapes")].toArray();
    ASSERT_EQ(shapes.size(), 3);
    for (const QJsonValue& shape : shapes) {
        EXPECT_NEAR(shape[0].toDouble(), 150.0, 0.01);
        EXPECT_NEAR(shape[1].toDouble(), 80.0, 0.01);
    }
}

// The book's JSON read back by python-docx, or why not; `skip` without the reader.
struct DocxReadBack {
    QJsonObject book;
    QString error;
    bool skip = false;
};

DocxReadBack readDocx(const QByteArray& docx) {
    DocxReadBack r;
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("工程计算书.docx")));
    if (!file.open(QIODevice::WriteOnly) || file.write(docx) != docx.size()) {
        r.error = file.errorString();
        return r;
    }
    file.close();
    QProcess python;
    python.start(QStringLiteral(KORVANE_PYTHON3),
                 {QStringLiteral("-c"), QString::fromUtf8(kReader), file.fileName()});
    python.waitForFinished(60000);
    if (python.exitCode() == 3)
        r.skip = true;
    else if (python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
        r.error = QString::fromUtf8(python.readAllStandardError());
    else
        r.book = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    return r;
}

// Texts no file can carry as they are in the circuits' identifiers and cables and in the
// project's name: document.xml is well-formed, python-docx opens the book, each such character
// reads back as U+FFFD, and a line break or tab in an identifier is a space, so that the heading
// stays one paragraph and the table cell one line.
TEST(ProjectBook, TextsNoFileCanCarryAreReplacedAndTheBookOpens) {
    ProjectRun run = exampleRun();
    const QString fffd(QChar::ReplacementCharacter);
    run.project.circuits[0].id = QStringLiteral("WL\x01"
                                                "a\tb\nc\rd");
    run.project.circuits[1].id = QStringLiteral("WL") + QChar(0xD800) + QStringLiteral("x");
    run.project.circuits[2].line.cable.cableType =
        QStringLiteral("VV\x02 四芯\t铜芯") + QChar(0xFFFE);
    const std::optional<QByteArray> docx =
        projectBookDocx(run, QDate(2026, 12, 9),
                        {QStringLiteral("工程\x03") + QChar(0xDC00), QStringLiteral("张工")}, plot);
    ASSERT_TRUE(docx.has_value());
    const std::optional<QByteArray> xml = zipEntry(*docx, "word/document.xml");
    ASSERT_TRUE(xml.has_value());
    QXmlStreamReader reader(*xml);
    while (!reader.atEnd())
        reader.readNext();
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();

    const DocxReadBack back = readDocx(*docx);
    if (back.skip)
        GTEST_SKIP() << "python3 with python-docx is not installed";
    ASSERT_EQ(back.error, QString()) << back.error.toStdString();
    QStringList paragraphs;
    for (const QJsonValue& p : back.book[QStringLiteral("paragraphs")].toArray())
        paragraphs << p.toString();
    EXPECT_TRUE(paragraphs.contains("工程名:工程" + fffd + fffd));
    const QString first = "WL" + fffd + QStringLiteral("a b c d");
    EXPECT_TRUE(paragraphs.contains(QStringLiteral("1、") + first + u' ' +
                                    run.project.circuits[0].description));
    EXPECT_TRUE(paragraphs.contains(QStringLiteral("2、WL") + fffd + QStringLiteral("x ") +
                                    run.project.circuits[1].description));
    const QJsonArray rows = back.book[QStringLiteral("tables")][0].toArray();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[1][0][QStringLiteral("text")].toString(), first);
    // "VV\uFFFD 四芯 铜芯\uFFFD": VV and the replacement character take 0.5 + 0.5 + 1 em, then
    // " 四芯" 2.5 em: 4.5 em = 11.9 mm within the 12 mm of the cable column's text.
    EXPECT_EQ(rows[3][1][QStringLiteral("text")].toString(),
              "VV" + fffd + QStringLiteral(" 四芯\n铜芯") + fffd + QStringLiteral("\n25 mm²"));
}

// The cable cell breaks the cable type at its blanks only, into lines that fit the 12 mm of text
// in the 14 mm column (1 mm of margin either side). 宋体 at 7.5 pt sets an ASCII character in
// 0.5 em and a Chinese one in 1 em, 1 em = 7.5 / 72 × 25.4 = 2.646 mm, so a line holds at most
// 12 / 2.646 = 4.54 em: "VV 四芯" is 1 + 0.5 + 2 = 3.5 em, "VV 四芯 铜芯" 6 em.
TEST(ProjectBook, TheCableCellBreaksTheCableTypeBetweenWords) {
    const struct {
        const char* cableType;
        const char* section;
        const char* cell;
    } cases[] = {
        {"VV 四芯 铜芯", "10", "VV 四芯\r铜芯\r10 mm²"},            // 3.5 em, then 2 em
        {"YJV 四芯 铜芯", "16", "YJV 四芯\r铜芯\r16 mm²"},          // 4 em
        {"YJLV 四芯 铝芯", "25", "YJLV 四芯\r铝芯\r25 mm²"},        // 4.5 em, just within 4.54
        {"BV 铜芯", "2.5", "BV 铜芯\r2.5 mm²"},                     // 3.5 em on one line
        {"铜芯交联聚乙烯绝缘", "35", "铜芯交联聚乙烯绝缘\r35 mm²"}, // 9 em, a word of its own
        {"VV22  四芯\n铜芯", "50", "VV22 四芯\r铜芯\r50 mm²"},      // 4.5 em, blanks as one
        {"ZR-YJV22 四芯", "70", "ZR-YJV22\r四芯\r70 mm²"},          // 4 em, then 6.5 with 四芯
    };
    ProjectRun run;
    for (const auto& c : cases) {
        ProjectCircuit circuit = endLoadCircuit(30.0, 0.05);
        circuit.line.cable.cableType = QString::fromUtf8(c.cableType);
        circuit.line.cable.crossSection = QString::fromUtf8(c.section);
        run.project.circuits.push_back(circuit);
        run.results.emplace_back();
    }
    const ReportTable table = projectCircuitTable(run);
    EXPECT_EQ(table.columnWidthsMm.at(1), 14.0);
    ASSERT_EQ(table.rows.size(), std::size(cases) + 1);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(table.rows[i + 1][1].text, QString::fromUtf8(cases[i].cell))
            << cases[i].cableType;
}

// A feeder with a branch, its results as worked by hand. Trunk 干线 N1 (20 m from the supply),
// N2 (+30), N3 (+30) = 80 m; branch 支线1 from N2 in VV 16: B1-1 (+15), B1-2 (+30) = 45 m; cable
// in all 125 m. One 150 W lamp on each pole, cos φ 0.9, U0 220 V: I = 150 / (220 × 0.9) =
// 0.757576 A. Phases in turn from L1 in list order (N1 L1, N2 L2, N3 L3, B1-1 L1 fixed, B1-2
// L2). At the branch's start L1 = L2 = 0.7576 A, L3 = 0, and the neutral the phasor sum of two
// equal currents 120° apart, 0.7576 A. At the supply L1 = L2 = 2 × 0.7576 = 1.5152 A, L3 =
// 0.7576 A, and the neutral |2 + 2∠−120° + 1∠120°| × 0.7576 = |0.5 − j0.866| × 0.7576 =
// 0.7576 A. The Δu figures are the feeder's own (any figure: the book prints them as given).
ProjectRun branchedRun() {
    ProjectCircuit c = endLoadCircuit(0.0, 0.0);
    c.id = QStringLiteral("WL5");
    c.line.cable = vvCopper("25");
    LampFeeder f;
    f.connection = FeederConnection::PhasesInTurn;
    const LampGroup lamp{1, 150.0, 0.9, 1.0, std::nullopt};
    auto pole = [&lamp](const char* id, double span, std::optional<Phase> fixed = std::nullopt) {
        return FeederPole{QString::fromUtf8(id), span, {lamp}, fixed};
    };
    f.poleList.runs = {{QStringLiteral("干线"),
                        {},
                        std::nullopt,
                        {pole("N1", 20), pole("N2", 30), pole("N3", 30)}},
                       {QStringLiteral("支线1"),
                        QStringLiteral("N2"),
                        vvCopper("16"),
                        {pole("B1-1", 15, Phase::L1), pole("B1-2", 30)}}};
    c.load = f;

    const double i = 150.0 / (220.0 * 0.9);
    LampFeederResult x;
    auto drop = [&](int n, const char* id, int run, int parent, double m, Phase phase,
                    std::array<double, 3> loss) {
        PoleDrop d;
        d.pole = n;
        d.id = QString::fromUtf8(id);
        d.run = run;
        d.parent = parent;
        d.distanceM = m;
        d.phase = phase;
        d.lossPercent = loss;
        d.loadW = 150.0;
        d.currentA = i;
        return d;
    };
    x.poles = {drop(1, "N1", 0, -1, 20, Phase::L1, {0.1201, 0.1302, 0.0503}),
               drop(2, "N2", 0, 0, 50, Phase::L2, {0.2404, 0.2605, 0.0906}),
               drop(3, "N3", 0, 1, 80, Phase::L3, {0.2507, 0.2708, 0.1109}),
               drop(4, "B1-1", 1, 1, 65, Phase::L1, {0.3110, 0.3011, 0.0912}),
               drop(5, "B1-2", 1, 3, 95, Phase::L2, {0.3313, 0.4114, 0.0915})};
    x.poles[4].path.lengthM = 95.0;
    // Rphp·L: 50 m of 25 mm² at 1.4 mΩ/m plus 45 m of 16 mm² at 2.2 mΩ/m = 70 + 99 = 169 mΩ.
    x.poles[4].path.ohm = {0.0364 + 0.05175, 0.004 + 0.0036, 0.07 + 0.099, 0.008 + 0.0072};
    x.poles[4].path.neutralResistanceOhm = 0.169;
    x.poles[4].path.neutralReactanceOhm = 0.0152;
    x.worstPath = {0, 1, 3, 4};
    x.worstPole = 5;
    x.worstPhase = Phase::L2;
    x.worstLossPercent = 0.4114;
    x.weakestPole = 4;
    x.totalLoadW = 750.0;
    x.phaseCurrentsA = {2 * i, 2 * i, i};
    x.neutralCurrentA = i;
    x.largestPhaseCurrentA = 2 * i;
    RunResult trunk{QStringLiteral("干线"), 0, 3, -1, 80.0, {2 * i, 2 * i, i}, i, 2 * i, {}, 2};
    RunResult branch{QStringLiteral("支线1"), 3, 2, 1, 45.0, {i, i, 0.0}, i, i, {}, 4};
    x.runs = {trunk, branch};

    CircuitResult r;
    // GCC 12 at -O3 takes this move into the empty optional for a read of uninitialised storage.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
    r.feeder = std::move(x);
#pragma GCC diagnostic pop
    r.lineLengthKm = 0.095;
    r.lossPercent = 0.4114;
    r.shortCircuit = Computed<ShortCircuitResult>::failed(QStringLiteral("系统短路容量未给出"));
    SectionResult trunkSection;
    trunkSection.run = QStringLiteral("干线");
    trunkSection.cable = vvCopper("25");
    trunkSection.lengthM = 80.0;
    ShortCircuitResult origin;
    origin.ik3 = 5.4321;
    trunkSection.originShortCircuit = origin;
    trunkSection.thermal = ThermalStability{true, 3.1234, QStringLiteral("3.1234")};
    trunkSection.thermalOutcome = CheckOutcome::pass(
        {compare(figure(u"Smin"_qs, 3.1234, u"mm²"_qs, FigureDigits::fixed(4)), Relation::Below,
                 figure(u"S"_qs, 25.0, u"mm²"_qs, FigureDigits::shortest()))});
    CapacityCheck capacity;
    // Iz = 101 × 0.96 × 1 × 1 = 96.96 A (GB/T 16895.6-2014 B.52.x row of 25 mm², as given).
    capacity.capacity = {101.0, 0.96, 1.0, 1.0, 96.96, QStringLiteral("表B.52.5 D2"), {}};
    capacity.capacityA = 96.96;
    // In 16 A, I2 = 1.3 × 16 = 20.8 A ≤ 1.45 × 96.96 = 140.592 A.
    capacity.overload = checkOverloadProtection(2 * i, 16.0, 1.3, 96.96);
    trunkSection.capacity = capacity;
    trunkSection.capacityOutcome =
        CheckOutcome::pass({state(figure(u"Iz"_qs, 96.96, u"A"_qs, FigureDigits::tenthTrimmed()))});
    SectionResult branchSection;
    branchSection.run = QStringLiteral("支线1");
    branchSection.cable = vvCopper("16");
    branchSection.lengthM = 45.0;
    branchSection.originShortCircuit =
        Computed<ShortCircuitResult>::failed(QStringLiteral("分支点短路电流未计算"));
    branchSection.capacity = Computed<CapacityCheck>::failed(QStringLiteral("敷设方式未给出"));
    branchSection.capacityOutcome = CheckOutcome::notComputed(QStringLiteral("敷设方式未给出"));
    r.sections = {trunkSection, branchSection};

    SizingResult sizing;
    sizing.sections = {{QStringLiteral("干线"), QStringLiteral("25"), CircuitCheck::VoltageLoss,
                        QStringLiteral("Δu 5.1234% > 5%")},
                       {QStringLiteral("支线1"), QStringLiteral("16"),
                        CircuitCheck::ThermalStability, QStringLiteral("Smin 17.2 > 10")}};
    sizing.combinationsTried = 12;

    ProjectRun run;
    run.project = projectOf({c});
    run.results = {r};
    run.sizing = {sizing};
    return run;
}

TEST(ProjectBook, BranchedFeederHasItsPoleTableStructurePathsSectionsAndSizing) {
    const ProjectRun run = branchedRun();
    CapturingWriter writer;
    const QStringList p = write(writer, run, {});
    ASSERT_EQ(writer.tables.size(), 2u);
    // The circuit table: the load names the branch, the length is all the cable (80 + 45).
    EXPECT_EQ(writer.tables[0].rows[1][2].text, QStringLiteral("路灯馈线 5 杆 1 支线"));
    EXPECT_EQ(writer.tables[0].rows[1][Length].text, QStringLiteral("125.0"));

    const ReportTable& poles = writer.tables[1];
    EXPECT_EQ(poles.headerRows, 1);
    EXPECT_DOUBLE_EQ(std::accumulate(poles.columnWidthsMm.begin(), poles.columnWidthsMm.end(), 0.0),
                     146.0);
    const struct {
        const char* cells[10];
        bool worst;
    } rows[] = {
        {{"干线", "N1", "20.0", "20.0", "1×150W", "L1", "0.1201", "0.1302", "0.0503", ""}, false},
        {{"干线", "N2", "50.0", "30.0", "1×150W", "L2", "0.2404", "0.2605", "0.0906", ""}, false},
        {{"干线", "N3", "80.0", "30.0", "1×150W", "L3", "0.2507", "0.2708", "0.1109", ""}, false},
        {{"支线1", "B1-1", "65.0", "15.0", "1×150W", "L1*", "0.3110", "0.3011", "0.0912", ""},
         false},
        {{"支线1", "B1-2", "95.0", "30.0", "1×150W", "L2", "0.3313", "0.4114", "0.0915", "最不利"},
         true},
    };
    ASSERT_EQ(poles.rows.size(), std::size(rows) + 1);
    EXPECT_EQ(poles.rows[0][6].text, QStringLiteral("ΔuL1\r(%)"));
    for (size_t k = 0; k < std::size(rows); ++k) {
        for (size_t j = 0; j < 10; ++j)
            EXPECT_EQ(poles.rows[k + 1][j].text, QString::fromUtf8(rows[k].cells[j])) << k << j;
        // The worst pole's judged Δu (L2) is bold; within the 5 % limit, nothing is red.
        EXPECT_EQ(poles.rows[k + 1][7].bold, rows[k].worst) << k;
        for (const ReportTableCell& cell : poles.rows[k + 1])
            EXPECT_FALSE(cell.colour.has_value()) << k;
    }
    EXPECT_TRUE(p.contains(QStringLiteral(" *为设计人指定相别，其余按三相轮流接线依次轮换。")));

    const char* const expected[] = {
        // 线路结构, currents as worked above.
        {"   干线 自电源引出，VV 四芯 铜芯 25 mm²，长 80.0 m，3 杆；起点电流 L1 1.5152 A、L2 "
         "1.5152 A、L3 0.7576 A，中性线 0.7576 A"},
        {"   支线1 自干线杆 N2 引出，VV 四芯 铜芯 16 mm²，长 45.0 m，2 杆；起点电流 L1 0.7576 A、"
         "L2 0.7576 A、L3 0.0000 A，中性线 0.7576 A"},
        // The worst path: N1…N2 on the trunk (50 m), then the branch (95 − 50 = 45 m).
        {"   最不利杆 B1-2（L2），路径：干线 N1…N2（50.0 m） → 支线1 B1-1…B1-2（45.0 m），Δu = "
         "0.4114%"},
        // The weakest end, stated though the fault itself was not computed.
        {" 短路校验点：最远端（相保回路阻抗最大）杆 B1-2，距电源 95.0 m，路径：干线 N1…N2（50.0 "
         "m） → 支线1 B1-1…B1-2（45.0 m）"},
        // Sections: the trunk's figures; the branch's reasons, no stand-in 0.
        {" 干线 VV 四芯 铜芯 25 mm²，长 80.0 m:"},
        {"   始端 I″k3 = 5.4321 (kA)"},
        {"   热稳定:  Smin = 3.1234 (mm²)，S = 25 (mm²)"},
        {"   载流量:  I0 = 101 (A)（表B.52.5 D2），Iz = I0 × Kt 0.96 × Kρ 1 × Kg 1 = 97.0 (A)"},
        {"   Ib = 1.5152 (A)，In = 16 (A)，I2 = 20.8 (A) ≤ 1.45 × Iz = 140.6 (A)"},
        {" 支线1 VV 四芯 铜芯 16 mm²，长 45.0 m:"},
        {"   始端 I″k3 = 分支点短路电流未计算"},
        {"   热稳定:  未计算"},
        {"   载流量:  敷设方式未给出"},
        {"   载流量：未计算（敷设方式未给出）"},
        // The sizing decision per section.
        {" 各段截面（按各段截面×长度之和（用铜量）最小选取通过全部校验的组合，共试算 12 种组合）:"},
        {"   干线：S = 25 (mm²)；次小一级截面不满足电压损失：Δu 5.1234% > 5%"},
        {"   支线1：S = 16 (mm²)；次小一级截面不满足热稳定：Smin 17.2 > 10"},
    };
    qsizetype at = p.indexOf(QStringLiteral("1、WL5"));
    ASSERT_GE(at, 0);
    for (const char* line : expected) {
        const qsizetype found = p.indexOf(QString::fromUtf8(line), at);
        EXPECT_GT(found, at) << line;
        if (found > at)
            at = found;
    }
    const qsizetype branch = p.indexOf(QStringLiteral(" 支线1 VV 四芯 铜芯 16 mm²，长 45.0 m:"));
    ASSERT_GT(branch, 0);
    for (qsizetype k = branch; k < branch + 6; ++k)
        EXPECT_FALSE(p[k].contains(QStringLiteral("= 0 ")) ||
                     p[k].contains(QStringLiteral("0.0000 (")))
            << p[k].toStdString();
}

// The same feeder computed, not filled in: what the book takes from the computation (the runs'
// first poles, the worst path's last pole, the weakest pole's place) lands on the poles worked
// by hand above. The weakest end is B1-2: 50 m of the trunk at its own Rphp 0.9 mΩ/m and 45 m
// of 16 mm² copper, whose phase and protective cores are above 1.15 mΩ/m each (Rphp above
// 2.3 mΩ/m), give more than 45 + 45 × 2.3 = 148.5 mΩ, against N3's 80 × 0.9 = 72 mΩ.
TEST(ProjectBook, BranchedFeederComputedLandsOnThePolesWorkedByHand) {
    ProjectRun given = branchedRun();
    const ProjectRun run = runProject(given.project, vvCatalogue(), false);
    ASSERT_EQ(run.results.size(), 1u);
    ASSERT_TRUE(run.results[0].feeder.ok()) << run.results[0].feeder.reason().toStdString();
    CapturingWriter writer;
    const QStringList p = write(writer, run, {});
    ASSERT_EQ(writer.tables.size(), 2u);
    EXPECT_EQ(writer.tables[0].rows[1][Length].text, QStringLiteral("125.0"));
    const ReportTable& poles = writer.tables[1];
    const char* const ids[][4] = {{"干线", "N1", "20.0", "L1"},
                                  {"干线", "N2", "50.0", "L2"},
                                  {"干线", "N3", "80.0", "L3"},
                                  {"支线1", "B1-1", "65.0", "L1*"},
                                  {"支线1", "B1-2", "95.0", "L2"}};
    ASSERT_EQ(poles.rows.size(), std::size(ids) + 1);
    int worstRows = 0;
    for (size_t k = 0; k < std::size(ids); ++k) {
        EXPECT_EQ(poles.rows[k + 1][0].text, QString::fromUtf8(ids[k][0])) << k;
        EXPECT_EQ(poles.rows[k + 1][1].text, QString::fromUtf8(ids[k][1])) << k;
        EXPECT_EQ(poles.rows[k + 1][2].text, QString::fromUtf8(ids[k][2])) << k;
        EXPECT_EQ(poles.rows[k + 1][5].text, QString::fromUtf8(ids[k][3])) << k;
        worstRows += poles.rows[k + 1][9].text == QStringLiteral("最不利");
    }
    EXPECT_EQ(worstRows, 1);
    const char* const expected[] = {
        {"   干线 自电源引出，VV 四芯 铜芯 25 mm²，长 80.0 m，3 杆；起点电流 L1 1.5152 A、L2 "
         "1.5152 A、L3 0.7576 A，中性线 0.7576 A"},
        {"   支线1 自干线杆 N2 引出，VV 四芯 铜芯 16 mm²，长 45.0 m，2 杆；起点电流 L1 0.7576 A、"
         "L2 0.7576 A、L3 0.0000 A，中性线 0.7576 A"},
        {" 短路校验点：最远端（相保回路阻抗最大）杆 B1-2，距电源 95.0 m，路径：干线 N1…N2（50.0 "
         "m） → 支线1 B1-1…B1-2（45.0 m）"},
    };
    for (const char* line : expected)
        EXPECT_TRUE(p.contains(QString::fromUtf8(line))) << line;

    // Lamps of different third-harmonic contents: B1-2 a 100 W LED (cos φ 0.95) of 15 % given,
    // 0.4785 A; the four 150 W lamps at the class C limit 30 × 0.9 = 27 %, 0.7576 A each. Their
    // mean by current: (4 × 0.7576 × 27 + 0.4785 × 15) / (4 × 0.7576 + 0.4785) = 25.3636 %.
    auto& b12 = std::get<LampFeeder>(given.project.circuits[0].load).poleList.runs[1].poles[1];
    b12.lamps = {{1, 100.0, 0.95, 1.0, 15.0}};
    const ProjectRun mixed = runProject(given.project, vvCatalogue(), false);
    CapturingWriter mixedWriter;
    EXPECT_TRUE(
        write(mixedWriter, mixed, {})
            .contains(QStringLiteral("   三次谐波含量:  h3 = 25.3636 %（各灯具含量按其电流加权"
                                     "平均 Σh·I / ΣI；未给出者取 GB 17625.1 / IEC "
                                     "61000-3-2 C 类限值 30 × λ %）")));
}

// korvane-cli's --pole-table: the same table, tab-separated, then its notes; a circuit the
// project has not, or one that is not a feeder, is a reason.
TEST(ProjectBook, PoleTableTextIsTheBooksTableTabSeparated) {
    const ProjectRun run = branchedRun();
    const Computed<QStringList> text = poleTableText(run, QStringLiteral(" WL5"));
    ASSERT_TRUE(text.ok()) << text.reason().toStdString();
    ASSERT_GE(text->size(), 6);
    EXPECT_EQ(text->at(0), QStringLiteral("支线\t杆号\t距电源 (m)\t杆距 (m)\t灯具\t相别\tΔuL1 (%)\t"
                                          "ΔuL2 (%)\tΔuL3 (%)\t备注"));
    EXPECT_EQ(text->at(5), QStringLiteral("支线1\tB1-2\t95.0\t30.0\t1×150W\tL2\t0.3313\t0.4114\t"
                                          "0.0915\t最不利"));
    EXPECT_EQ(poleTableText(run, QStringLiteral("WL9")).reason(),
              QStringLiteral("工程中无回路“WL9”"));
    ProjectRun loadCase = run;
    loadCase.project.circuits[0].load = endLoadCircuit(10.0, 0.1).load;
    EXPECT_EQ(poleTableText(loadCase, QStringLiteral("WL5")).reason(),
              QStringLiteral("回路“WL5”不是路灯馈线，无灯杆表"));
}

} // namespace
} // namespace korvane::testing
