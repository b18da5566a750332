// The project calculation book: its parts in order, the circuit table (a row per circuit, checks
// that did not pass in red and bold), figures taken from the run's results, values that were not
// computed written as their reasons, and the feeder plots only when a painter gives one.

#include "db/database.h"
#include "form/number_format.h"
#include "project/project_book.h"
#include "project/project_file.h"
#include "project/project_run.h"
#include "project_fixtures.h"
#include "reports/tiny_png.h"

#include <QDir>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

const QDate kToday(2026, 12, 9);

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
    QStringList paragraphs() const { return document()->paragraphTexts(); }

    std::vector<ReportTable> tables;
    std::vector<ReportPicture> pictures;
};

CableCatalogue testCatalogue() {
    Database db(QStringLiteral(KORVANE_TEST_HOME "/Database/JhxlDlxlss.db"));
    EXPECT_EQ(db.open(QStringLiteral("AAA")), QString());
    return loadCableCatalogue(db).valueOr({});
}

Project exampleProject() {
    const ProjectReading reading =
        openProject(QDir(QStringLiteral(KORVANE_SOURCE_DIR))
                        .filePath(QStringLiteral("docs/examples/street_lighting.kvp")));
    EXPECT_EQ(reading.error, QString());
    return reading.project;
}

ReportPicture smallPicture() {
    return {tinyPng(), 10.0, 10.0, QStringLiteral("电压分布")};
}

void write(CapturingWriter& writer, const ProjectRun& run, const ProjectBookPictures& pictures) {
    ASSERT_TRUE(writer.openDocument());
    writeProjectBook(writer, run, kToday, {QStringLiteral("示例工程"), QStringLiteral("张工")},
                     pictures);
}

qsizetype indexOf(const QStringList& paragraphs, const QString& text, qsizetype from = 0) {
    return paragraphs.indexOf(text, from);
}

bool contains(const QStringList& paragraphs, const QString& text) {
    return paragraphs.contains(text);
}

// Column indices of the circuit table.
enum Column {
    Id = 0,
    Load = 2,
    Length = 3,
    Loss = 4,
    LossState = 5,
    Ik3 = 6,
    Ik1 = 7,
    Id_ = 8,
    Qr = 9,
    Ivn = 10,
    Smin = 11,
    Overall = 12
};

TEST(ProjectBook, ExampleProjectInItsPartsInOrderWithATableRowPerCircuit) {
    const ProjectRun run = runProject(exampleProject(), testCatalogue(), false);
    ASSERT_EQ(run.results.size(), 4u);
    CapturingWriter writer;
    write(writer, run, {});
    const QStringList p = writer.paragraphs();

    ASSERT_GE(p.size(), 9);
    EXPECT_EQ(p[0], QString::fromUtf8(kProjectBookTitle));
    EXPECT_EQ(p[2], QStringLiteral("工程名:示例工程"));
    EXPECT_EQ(p[3], QStringLiteral("计算者:张工"));
    const qsizetype supply = indexOf(p, QStringLiteral("一、电源"));
    const qsizetype table = indexOf(p, QStringLiteral("二、回路表"));
    const qsizetype process = indexOf(p, QStringLiteral("三、各回路计算过程"));
    ASSERT_GT(supply, 8);
    EXPECT_GT(table, supply);
    EXPECT_GT(process, table);
    EXPECT_TRUE(contains(p, QStringLiteral(" 系统短路容量:  Ss = 100 (MVA)")));
    EXPECT_TRUE(contains(p, QStringLiteral("   Sr = 400 (kVA)，uk = 4 (%)，ΔP = 4.3 (kW)")));
    EXPECT_TRUE(contains(p, QStringLiteral(" 母线:  铜母线TMY 4(100X10)，长度 Lm = 5 (m)")));
    EXPECT_TRUE(contains(p, QStringLiteral(" 电压损失允许值:  Δu% ≤ 5%")));

    // The circuits follow part 三 in the project's order, each with its three processes.
    qsizetype at = process;
    for (size_t i = 0; i < run.project.circuits.size(); ++i) {
        const ProjectCircuit& c = run.project.circuits[i];
        const qsizetype heading =
            indexOf(p, QStringLiteral("%1、%2 %3").arg(i + 1).arg(c.id, c.description), at);
        ASSERT_GT(heading, at) << c.id.toStdString();
        const qsizetype loss = indexOf(p, QStringLiteral("【电压损失】："), heading);
        const qsizetype sc = indexOf(p, QStringLiteral("【线路末端短路电流】："), loss);
        const qsizetype checks = indexOf(p, QStringLiteral("【保护校验】："), sc);
        EXPECT_GT(loss, heading);
        EXPECT_GT(sc, loss);
        EXPECT_GT(checks, sc);
        at = heading;
    }

    // The table is given to the writer as one, after the heading of part 二.
    const QStringList& ops = writer.operations();
    EXPECT_EQ(ops.count(QStringLiteral("InsertTable 5x13")), 1);
    ASSERT_EQ(writer.tables.size(), 1u);
    const ReportTable& t = writer.tables.front();
    EXPECT_EQ(t.rows.size(), run.results.size() + 1);
    EXPECT_EQ(t.headerRows, 1);
    double width = 0.0;
    for (double w : t.columnWidthsMm)
        width += w;
    EXPECT_DOUBLE_EQ(width, 160.0);
    EXPECT_GE(t.sizePoints, 8.0);
    EXPECT_LE(t.sizePoints, 9.0);
    for (const auto& row : t.rows)
        EXPECT_EQ(row.size(), t.columnWidthsMm.size());
    EXPECT_EQ(t.rows[0][Ik3].text, QStringLiteral("I″k3\r(kA)"));
    EXPECT_EQ(t.rows[1][Load].text, QStringLiteral("路灯馈线 20 杆"));
    EXPECT_EQ(t.rows[3][Load].text,
              std::get<LoadCaseLoad>(run.project.circuits[2].load).values.loadCase);
}

// Every figure of the table and of the processes is the run's own, in the books' formats.
TEST(ProjectBook, FiguresAreTheRunsResults) {
    const ProjectRun run = runProject(exampleProject(), testCatalogue(), false);
    CapturingWriter writer;
    write(writer, run, {});
    const QStringList p = writer.paragraphs();
    ASSERT_EQ(writer.tables.size(), 1u);
    const ReportTable& t = writer.tables.front();
    for (size_t i = 0; i < run.results.size(); ++i) {
        const CircuitResult& r = run.results[i];
        const auto& row = t.rows[i + 1];
        SCOPED_TRACE(run.project.circuits[i].id.toStdString());
        ASSERT_TRUE(r.lossPercent.ok());
        ASSERT_TRUE(r.shortCircuit.ok());
        EXPECT_EQ(row[Loss].text, formatFixed(*r.lossPercent, 4));
        EXPECT_EQ(row[Length].text, formatFixed(*r.lineLengthKm * 1000.0, 1));
        EXPECT_EQ(row[Ik3].text, formatFixed(r.shortCircuit->ik3, 4));
        EXPECT_EQ(row[Ik1].text, formatFixed(r.shortCircuit->ik1, 4));
        EXPECT_EQ(row[Id_].text, formatFixed(r.shortCircuit->id, 4));
        EXPECT_EQ(row[LossState].text, checkStateText(r.check(CircuitCheck::VoltageLoss)));
        EXPECT_TRUE(contains(p, QStringLiteral("   I″k3 = c × Un / (√3 × ZΣ) = %1 (kA)")
                                    .arg(formatFixed(r.shortCircuit->ik3, 4))));
        EXPECT_TRUE(contains(p, QStringLiteral("   Id = Un / (√3 × Zphp) = %1 (kA)")
                                    .arg(formatFixed(r.shortCircuit->id, 4))));
        EXPECT_TRUE(contains(p, QStringLiteral(" 校验结果：%1（%2）")
                                    .arg(checkStateText(r.check(CircuitCheck::VoltageLoss)),
                                         r.check(CircuitCheck::VoltageLoss).text)));
        for (const auto& [check, outcome] : r.checks) {
            if (check == CircuitCheck::VoltageLoss)
                continue;
            EXPECT_TRUE(
                contains(p, QStringLiteral("   %1：%2（%3）")
                                .arg(checkName(check), checkStateText(outcome), outcome.text)))
                << checkName(check).toStdString();
        }
        if (r.feeder) {
            EXPECT_TRUE(contains(p, QStringLiteral("   Δu% = ") +
                                        formatFixed(r.feeder->worstLossPercent, 4)));
            EXPECT_TRUE(contains(p, QStringLiteral("   Δu% = ") +
                                        formatFixed(r.feeder->momentLossPercent, 4)));
        } else {
            ASSERT_TRUE(r.loadCase.has_value());
            EXPECT_TRUE(contains(p, QStringLiteral("   Δu% = ") +
                                        formatFixed(r.loadCase->shownLossPercent, 4)));
        }
    }
}

// A project of three circuits: one that passes, one whose line is far too long, one that cannot
// be computed.
Project mixedProject() {
    ProjectCircuit passing = endLoadCircuit(30.0, 0.05);
    passing.id = QStringLiteral("WL1");
    ProjectCircuit tooLong = endLoadCircuit(60.0, 1.0);
    tooLong.id = QStringLiteral("WL2");
    ProjectCircuit unreadable = endLoadCircuit(30.0, 0.05);
    unreadable.id = QStringLiteral("WL3");
    unreadable.protection.coefficientK = 0.0;
    return projectOf({passing, tooLong, unreadable});
}

TEST(ProjectBook, FailingChecksAreRedAndBoldInTheTable) {
    const ProjectRun run = runProject(mixedProject(), vvCatalogue(), false);
    ASSERT_TRUE(run.results[0].passed());
    ASSERT_EQ(run.results[1].check(CircuitCheck::VoltageLoss).state, CheckOutcome::State::Failed);
    const ReportTable t = projectCircuitTable(run);
    ASSERT_EQ(t.rows.size(), 4u);

    const auto& passing = t.rows[1];
    for (const ReportTableCell& cell : passing) {
        EXPECT_FALSE(cell.colour.has_value()) << cell.text.toStdString();
        EXPECT_FALSE(cell.bold) << cell.text.toStdString();
    }
    EXPECT_EQ(passing[Overall].text, QStringLiteral("通过"));

    const auto& failing = t.rows[2];
    for (int column : {Loss, LossState, Overall}) {
        EXPECT_EQ(failing[column].colour, std::optional<Color>(colors::kRed)) << column;
        EXPECT_TRUE(failing[column].bold) << column;
    }
    EXPECT_EQ(failing[LossState].text, QStringLiteral("不通过"));
    EXPECT_EQ(failing[Overall].text, QStringLiteral("不通过"));
    // The short-circuit currents of the failing circuit are computed and not marked.
    EXPECT_FALSE(failing[Ik3].colour.has_value());
    EXPECT_EQ(failing[Ik3].text, formatFixed(run.results[1].shortCircuit->ik3, 4));
}

TEST(ProjectBook, AValueNotComputedIsWrittenAsItsReasonNeverAsZero) {
    Project project = mixedProject();
    // A feeder that cannot be computed: no poles.
    ProjectCircuit feeder = endLoadCircuit(0.0, 0.0);
    feeder.id = QStringLiteral("WL4");
    LampFeeder lamps;
    lamps.poles = 0;
    lamps.lampPowerW = 100.0;
    lamps.spacingM = 30.0;
    feeder.load = lamps;
    project.circuits.push_back(feeder);
    const ProjectRun run = runProject(project, vvCatalogue(), false);
    ASSERT_FALSE(run.results[2].inputProblems.isEmpty());
    ASSERT_FALSE(run.results[3].feederFailure.isEmpty());

    CapturingWriter writer;
    write(writer, run, [](const ProjectCircuit&, const CircuitResult&) {
        return std::optional(smallPicture());
    });
    const QStringList p = writer.paragraphs();
    ASSERT_EQ(writer.tables.size(), 1u);
    const ReportTable& t = writer.tables.front();

    for (size_t row : {3u, 4u})
        for (int column : {Length, Loss, Ik3, Ik1, Id_, Qr, Ivn, Smin}) {
            EXPECT_EQ(t.rows[row][column].text, QStringLiteral("未计算")) << row << " " << column;
        }
    EXPECT_EQ(t.rows[3][Overall].text, QStringLiteral("未计算"));
    EXPECT_FALSE(t.rows[3][Overall].colour.has_value());

    const QString reason = run.results[2].inputProblems.join(u'；');
    EXPECT_TRUE(reason.contains(QStringLiteral("热稳定系数 K 应大于0")));
    EXPECT_TRUE(contains(p, QStringLiteral(" 未计算：") + reason));
    EXPECT_TRUE(contains(p, QStringLiteral(" WL3 未计算：") + reason));
    EXPECT_TRUE(contains(p, QStringLiteral(" 未能计算：") + run.results[3].feederFailure));
    // The short circuit of that feeder was not reached: the feeder's reason is given for it.
    const qsizetype sc =
        indexOf(p, QStringLiteral("【线路末端短路电流】："), indexOf(p, QStringLiteral("4、WL4")));
    ASSERT_GT(sc, 0);
    EXPECT_EQ(p[sc + 1], QStringLiteral(" 未计算：") + run.results[3].feederFailure);
    // No plot for a feeder that was not computed.
    EXPECT_TRUE(writer.pictures.empty());
    EXPECT_TRUE(contains(p, QStringLiteral("【电压分布图】：未附。")));
    for (const QString& paragraph : p)
        EXPECT_FALSE(paragraph.contains(QStringLiteral("I″k3 = c × Un / (√3 × ZΣ) = 0.0000")));
}

TEST(ProjectBook, AFeederGetsItsPlotOnlyWhenThePainterGivesOne) {
    const ProjectRun run = runProject(exampleProject(), testCatalogue(), false);
    const int feeders = 3; // WL1, WL2, WL4

    CapturingWriter painted;
    QStringList asked;
    write(painted, run, [&asked](const ProjectCircuit& c, const CircuitResult& r) {
        asked << c.id;
        EXPECT_TRUE(r.feeder.has_value());
        return std::optional(smallPicture());
    });
    EXPECT_EQ(asked,
              (QStringList{QStringLiteral("WL1"), QStringLiteral("WL2"), QStringLiteral("WL4")}));
    EXPECT_EQ(painted.operations().count(QStringLiteral("InsertPicture 150x80 mm")), feeders);
    ASSERT_EQ(painted.pictures.size(), static_cast<size_t>(feeders));
    EXPECT_EQ(painted.pictures[0].png, smallPicture().png);
    EXPECT_FALSE(contains(painted.paragraphs(), QStringLiteral("【电压分布图】：未附。")));

    for (const ProjectBookPictures& none :
         {ProjectBookPictures{},
          ProjectBookPictures([](const ProjectCircuit&, const CircuitResult&) {
              return std::optional<ReportPicture>();
          })}) {
        CapturingWriter plain;
        write(plain, run, none);
        EXPECT_TRUE(plain.pictures.empty());
        EXPECT_EQ(plain.paragraphs().count(QStringLiteral("【电压分布图】：未附。")), feeders);
    }

    // A picture the writer refuses is said to be missing; the book goes on.
    CapturingWriter refusing;
    refusing.fails = [](const QString& op) {
        return op.startsWith(QStringLiteral("InsertPicture"));
    };
    write(refusing, run, [](const ProjectCircuit&, const CircuitResult&) {
        return std::optional(smallPicture());
    });
    const QStringList p = refusing.paragraphs();
    EXPECT_EQ(p.count(QStringLiteral(" 图未能插入，未附。")), feeders);
    EXPECT_TRUE(contains(p, QStringLiteral("4、WL4 ") + run.project.circuits[3].description));
}

TEST(ProjectBook, ATableTheWriterRefusesIsWrittenAsText) {
    const ProjectRun run = runProject(mixedProject(), vvCatalogue(), false);
    CapturingWriter writer;
    writer.fails = [](const QString& op) { return op.startsWith(QStringLiteral("InsertTable")); };
    write(writer, run, {});
    const QStringList p = writer.paragraphs();
    const qsizetype heading = indexOf(p, QStringLiteral("二、回路表"));
    ASSERT_GT(heading, 0);
    EXPECT_TRUE(p[heading + 1].startsWith(QStringLiteral("回路编号  电缆  负荷  长度 (m)")));
    EXPECT_TRUE(p[heading + 2].startsWith(QStringLiteral("WL1  VV 四芯 铜芯 50 mm²")));
    EXPECT_GT(indexOf(p, QStringLiteral("三、各回路计算过程")), heading + 4);
}

TEST(ProjectBook, SizedRunStatesTheChosenSectionAndWhatGovernsIt) {
    const ProjectRun run = runProject(severalCircuits(), vvCatalogue(), true);
    ASSERT_EQ(run.sizing.size(), 3u);
    CapturingWriter writer;
    write(writer, run, {});
    const QStringList p = writer.paragraphs();
    EXPECT_EQ(p.count(QStringLiteral("【截面选择】：")), 3);
    int chosen = 0;
    for (size_t i = 0; i < run.sizing.size(); ++i) {
        const SizingResult& s = run.sizing[i];
        if (!s.chosen) {
            EXPECT_TRUE(contains(p, QStringLiteral(" 无法选择截面：") + s.notSized));
            continue;
        }
        ++chosen;
        const QString section = s.candidates[*s.chosen].crossSection;
        // The table and the process show the chosen section, with the sized circuit's figures.
        EXPECT_EQ(run.project.circuits[i].line.cable.crossSection, section);
        EXPECT_TRUE(contains(p, QStringLiteral(" 选择截面:  S = %1 (mm²)").arg(section)));
        EXPECT_TRUE(
            writer.tables.front().rows[i + 1][1].text.endsWith(section + QStringLiteral(" mm²")));
        const QString governs = QStringLiteral(" 控制条件:  ") + s.governingText;
        EXPECT_TRUE(contains(p, governs)) << governs.toStdString();
        for (const SizingCandidate& candidate : s.candidates) {
            if (!candidate.failed)
                continue;
            EXPECT_TRUE(contains(p, QStringLiteral("   %1 mm²：不满足%2：%3")
                                        .arg(candidate.crossSection, checkName(*candidate.failed),
                                             candidate.failedText)));
        }
    }
    EXPECT_GT(chosen, 0);
}

TEST(ProjectBook, PackedAsDocxAndComposedForThePdfBackEnd) {
    const ProjectRun run = runProject(exampleProject(), testCatalogue(), false);
    const std::optional<QByteArray> docx = projectBookDocx(run, kToday, {}, {});
    ASSERT_TRUE(docx.has_value());
    EXPECT_TRUE(docx->startsWith("PK"));

    const std::optional<ReportDocument> document = projectBookDocument(run, kToday, {}, {});
    ASSERT_TRUE(document.has_value());
    const QStringList p = document->paragraphTexts();
    EXPECT_EQ(p.first(), QString::fromUtf8(kProjectBookTitle));
    EXPECT_EQ(document->properties().title, QString::fromUtf8(kProjectBookTitle));
    EXPECT_TRUE(contains(p, QStringLiteral("三、各回路计算过程")));

    // After the frame every paragraph is in the books' body format: 宋体 10.5 pt bold, left,
    // exactly 20 pt.
    const CharacterFormat body{QStringLiteral("宋体"), 10.5, true, std::nullopt};
    const std::vector<ReportParagraph> paragraphs = document->paragraphs();
    ASSERT_GT(paragraphs.size(), 100u);
    for (size_t i = 9; i + 1 < paragraphs.size(); ++i) {
        const ReportParagraph& paragraph = paragraphs[i];
        for (const TextRun& run : paragraph.runs)
            EXPECT_EQ(run.format, body) << i << " " << run.text.toStdString();
        EXPECT_EQ(paragraph.format,
                  (ParagraphFormat{ParagraphAlignment::Left, 20.0, LineSpacingRule::Exact}))
            << i << " " << paragraph.text().toStdString();
    }
}

} // namespace
} // namespace korvane::testing
