// korvane-cli computing and sizing a project file: the results printed and written, the sized
// project saved, and a file that cannot be read reported with status 1.

#include "project_files/project_file.h"
#include "support/cli_run.h"
#include "support/json_paths.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>

#include <gtest/gtest.h>

#include <string>

namespace korvane::testing {
namespace {

QString example() {
    return QDir(QStringLiteral(KORVANE_SOURCE_DIR))
        .filePath(QStringLiteral("docs/examples/street_lighting.kvp"));
}

QStringList lines(const std::string& text) {
    return QString::fromStdString(text).split(u'\n');
}

TEST(ProjectCli, ComputesAndSizesTheExampleProject) {
    QTemporaryDir dir;
    const QString sized = dir.filePath(QStringLiteral("sized.kvp"));
    const QString results = dir.filePath(QStringLiteral("results.txt"));
    const CliRun run =
        runCliProgram({QStringLiteral("--home"), QStringLiteral(KORVANE_TEST_HOME),
                       QStringLiteral("--project"), example(), QStringLiteral("--size"),
                       QStringLiteral("--write"), sized, QStringLiteral("--results"), results});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const QStringList out = lines(run.out);
    ASSERT_GE(out.size(), 5);
    EXPECT_TRUE(out[0].startsWith(QStringLiteral("回路\t截面(mm²)\t长度(m)\tΔu(%)")));
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(out[i].startsWith(QStringLiteral("WL%1\t").arg(i))) << out[i].toStdString();
    // Every circuit gets a sizing decision, and the sized circuits pass.
    for (int i = 1; i <= 4; ++i)
        EXPECT_TRUE(out.filter(QStringLiteral("WL%1 选择截面").arg(i)).size() == 1 ||
                    out.filter(QStringLiteral("WL%1 无法选择截面").arg(i)).size() == 1)
            << i;
    // Each circuit's line ends in its verdict, computed for all four.
    EXPECT_EQ(std::count_if(out.begin(), out.end(),
                            [](const QString& line) {
                                return line.endsWith(QStringLiteral("\t通过")) ||
                                       line.endsWith(QStringLiteral("\t不通过"));
                            }),
              4);

    QFile written(results);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), run.out);
    const ProjectReading back = openProject(sized);
    ASSERT_EQ(back.error, QString());
    EXPECT_EQ(back.project.circuits.size(), 4u);

    // Computing the sized project again without sizing gives the same table.
    const CliRun again = runCliProgram({QStringLiteral("--home"), QStringLiteral(KORVANE_TEST_HOME),
                                        QStringLiteral("--project"), sized});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(lines(again.out).mid(0, 5), out.mid(0, 5));
}

TEST(ProjectCli, ReportsFilesItCannotReadAndKeepsTheScriptContract) {
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("broken.kvp"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"format\": \"korvane-project\", ");
    file.close();
    const CliRun damaged = runCliProgram({QStringLiteral("--project"), broken});
    EXPECT_EQ(damaged.status, 1);
    EXPECT_NE(damaged.err.find("文件不是有效的工程文件"), std::string::npos) << damaged.err;
    EXPECT_EQ(damaged.out, "");

    const CliRun missing =
        runCliProgram({QStringLiteral("--project"), dir.filePath(QStringLiteral("none.kvp"))});
    EXPECT_EQ(missing.status, 1);

    // The project options go with --project only; a script run is unchanged.
    EXPECT_EQ(runCliProgram({QStringLiteral("--size")}).status, 2);
    EXPECT_EQ(
        runCliProgram({QStringLiteral("--project"), example(), QStringLiteral("x.kvs")}).status, 2);
    const CliRun help = runCliProgram({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--project FILE"), std::string::npos);
}

// The template written, filled in by the user and imported in place of the project's own
// circuits; a list with a row that cannot be read computes nothing.
TEST(ProjectCli, ImportsACircuitListAllOrNothing) {
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("回路.csv"));
    const CliRun written = runCliProgram({QStringLiteral("--template"), csv});
    ASSERT_EQ(written.status, 0) << written.err;

    const QString kvp = dir.filePath(QStringLiteral("imported.kvp"));
    const CliRun imported = runCliProgram(
        {QStringLiteral("--home"), QStringLiteral(KORVANE_TEST_HOME), QStringLiteral("--project"),
         example(), QStringLiteral("--import"), csv, QStringLiteral("--write"), kvp});
    ASSERT_EQ(imported.status, 0) << imported.err;
    const QStringList out = lines(imported.out);
    // The template's two circuits, computed, and nothing of the example's four.
    ASSERT_GE(out.size(), 3);
    EXPECT_TRUE(out[1].startsWith(QStringLiteral("WL1\t"))) << out[1].toStdString();
    EXPECT_TRUE(out[2].startsWith(QStringLiteral("WL2\t"))) << out[2].toStdString();
    EXPECT_TRUE(out.filter(QStringLiteral("WL3\t")).isEmpty());
    const ProjectReading back = openProject(kvp);
    ASSERT_EQ(back.error, QString());
    EXPECT_EQ(back.project.circuits.size(), 2u);
    // The example's supply is kept.
    const Project original = openProject(example()).project;
    EXPECT_EQ(back.project.supply.systemCapacityMva, original.supply.systemCapacityMva);
    EXPECT_EQ(back.project.supply.transformer.ratedKva, original.supply.transformer.ratedKva);

    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("WL3,坏行,聚氯乙烯绝缘电力电缆(0.6/1kV),VV 四芯 铜芯,16,x\r\n");
    file.close();
    const QString notWritten = dir.filePath(QStringLiteral("not.kvp"));
    const CliRun bad = runCliProgram(
        {QStringLiteral("--home"), QStringLiteral(KORVANE_TEST_HOME), QStringLiteral("--project"),
         example(), QStringLiteral("--import"), csv, QStringLiteral("--write"), notWritten});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("第4行"), std::string::npos) << bad.err;
    EXPECT_FALSE(QFile::exists(notWritten));

    EXPECT_EQ(runCliProgram({QStringLiteral("--import"), csv}).status, 2);
    EXPECT_EQ(runCliProgram(
                  {QStringLiteral("--template"), dir.filePath(QStringLiteral("无此目录/模板.csv"))})
                  .status,
              1);
}

// A new project from a supply file and a circuit list: the supply, limit and laying conditions of
// the file, its name and engineer only as given (never the supply file's), none of its circuits.
TEST(ProjectCli, ANewProjectFromASupplyTakesNoNameItWasNotGiven) {
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("回路.csv"));
    ASSERT_EQ(runCliProgram({QStringLiteral("--template"), csv}).status, 0);
    const Project original = openProject(example()).project;
    ASSERT_FALSE(original.name.isEmpty());

    const struct {
        QStringList naming;
        const char* name;
        const char* engineer;
    } rows[] = {
        {{}, "", ""},
        {{QStringLiteral("--name"), QStringLiteral("滨江路照明"), QStringLiteral("--engineer"),
          QStringLiteral("李工")},
         "滨江路照明",
         "李工"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString kvp = dir.filePath(QStringLiteral("new.kvp"));
        QStringList arguments{QStringLiteral("--home"),   QStringLiteral(KORVANE_TEST_HOME),
                              QStringLiteral("--supply"), example(),
                              QStringLiteral("--import"), csv,
                              QStringLiteral("--write"),  kvp};
        arguments << row.naming;
        const CliRun made = runCliProgram(arguments);
        ASSERT_EQ(made.status, 0) << made.err;
        const ProjectReading back = openProject(kvp);
        ASSERT_EQ(back.error, QString());
        EXPECT_EQ(back.project.name, QString::fromUtf8(row.name));
        EXPECT_EQ(back.project.engineer, QString::fromUtf8(row.engineer));
        EXPECT_EQ(back.project.circuits.size(), 2u); // the template's, none of the file's four
        EXPECT_EQ(back.project.supply.transformer.ratedKva, original.supply.transformer.ratedKva);
        EXPECT_EQ(back.project.installation, original.installation);
    }
    // The name of an existing project is replaced only when given.
    const QString renamed = dir.filePath(QStringLiteral("renamed.kvp"));
    ASSERT_EQ(runCliProgram({QStringLiteral("--home"), QStringLiteral(KORVANE_TEST_HOME),
                             QStringLiteral("--project"), example(), QStringLiteral("--name"),
                             QStringLiteral("新名"), QStringLiteral("--write"), renamed})
                  .status,
              0);
    EXPECT_EQ(openProject(renamed).project.name, QStringLiteral("新名"));
    EXPECT_EQ(openProject(renamed).project.engineer, original.engineer);
    // --project and --supply exclude each other; the naming options need one of them.
    EXPECT_EQ(runCliProgram(
                  {QStringLiteral("--project"), example(), QStringLiteral("--supply"), example()})
                  .status,
              2);
    EXPECT_EQ(runCliProgram({QStringLiteral("--name"), QStringLiteral("x")}).status, 2);
}

// A file with a feeder's pole spacing missing, another's written as "三十" and an identifier
// that repeats an earlier one's: computed with those circuits not computed, and written over
// itself with each of them as it was, so that a second run says and computes the same.
TEST(ProjectCli, WritesBackWhatItCouldNotReadAndComputesTheRest) {
    QTemporaryDir dir;
    QJsonObject root = exampleProjectJson();
    root = withValueAt(root, u"circuits/0/load/spacingM"_qs, QJsonValue(QJsonValue::Undefined));
    root = withValueAt(root, u"circuits/1/load/spacingM"_qs, u"三十"_qs);
    root = withValueAt(root, u"circuits/3/id"_qs, u"wl3"_qs);
    const QString path = dir.filePath(u"损坏.kvp"_qs);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(root).toJson());
    file.close();

    const QStringList arguments{u"--home"_qs,    QStringLiteral(KORVANE_TEST_HOME),
                                u"--project"_qs, path,
                                u"--write"_qs,   path};
    const CliRun first = runCliProgram(arguments);
    ASSERT_EQ(first.status, 0) << first.err;
    for (const char* warning :
         {"warning: WL1 杆距(m)：缺少数值", "warning: WL2 杆距(m)：不是数值：“三十”",
          "warning: wl3：回路编号重复：与第 3 个回路相同"})
        EXPECT_NE(first.err.find(warning), std::string::npos) << first.err;
    const QStringList out = lines(first.out);
    ASSERT_GE(out.size(), 5);
    EXPECT_TRUE(out[1].startsWith(u"WL1\t"_qs) && out[1].endsWith(u"\t未计算"_qs))
        << out[1].toStdString();
    EXPECT_TRUE(out[2].startsWith(u"WL2\t"_qs) && out[2].endsWith(u"\t未计算"_qs));
    EXPECT_FALSE(out[3].endsWith(u"\t未计算"_qs)) << out[3].toStdString();
    EXPECT_TRUE(out[4].startsWith(u"wl3\t"_qs) && out[4].endsWith(u"\t未计算"_qs));

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    file.close();
    const QJsonObject saved = QJsonDocument::fromJson(written).object();
    EXPECT_TRUE(valueAt(saved, u"circuits/0/load/spacingM"_qs).isUndefined());
    EXPECT_EQ(valueAt(saved, u"circuits/1/load/spacingM"_qs), QJsonValue(u"三十"_qs));
    EXPECT_EQ(valueAt(saved, u"circuits/3/id"_qs), QJsonValue(u"wl3"_qs));

    const CliRun second = runCliProgram(arguments);
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, first.out);
    EXPECT_EQ(second.err, first.err);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), written);
}

QString runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return QStringLiteral("did not finish");
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The project book of the example, with its three feeders' plots and the one sheet of its
// distribution system diagram, as .docx and as PDF, painted without a display.
TEST(ProjectCli, WritesTheProjectBookAsDocxAndPdf) {
    QTemporaryDir dir;
    const QString docx = dir.filePath(QStringLiteral("工程计算书.docx"));
    const QString pdf = dir.filePath(QStringLiteral("工程计算书.pdf"));
    for (const QString& book : {docx, pdf}) {
        const CliRun run =
            runCliProgram({QStringLiteral("--home"), QStringLiteral(KORVANE_TEST_HOME),
                           QStringLiteral("--project"), example(), QStringLiteral("--size"),
                           QStringLiteral("--book"), book});
        ASSERT_EQ(run.status, 0) << run.err;
    }
    QFile file(docx);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray package = file.readAll();
    EXPECT_TRUE(package.startsWith("PK"));
    // Three plots, then the diagram's sheet.
    EXPECT_TRUE(package.contains("word/media/image4.png"));
    EXPECT_FALSE(package.contains("word/media/image5.png"));

    const QString text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("低压配电线路工程计算书")))
        << text.left(200).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("二、回路表")));
    // The PDF draws the three feeders' plots and the diagram as lines and text: their titles are
    // text, and pdfimages lists its header of two lines and no image.
    EXPECT_EQ(text.count(QStringLiteral("各灯杆处电压损失")), 3);
    EXPECT_TRUE(text.contains(QStringLiteral("四、配电系统图")));
    EXPECT_TRUE(text.contains(QStringLiteral("低压配电系统图")));
    const QStringList images = runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                   .split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(images.size(), 2) << images.join(u'\n').toStdString();

    const CliRun wrong = runCliProgram(
        {QStringLiteral("--home"), QStringLiteral(KORVANE_TEST_HOME), QStringLiteral("--project"),
         example(), QStringLiteral("--book"), dir.filePath(QStringLiteral("book.txt"))});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find(".docx or .pdf"), std::string::npos) << wrong.err;
    EXPECT_EQ(runCliProgram({QStringLiteral("--book"), docx}).status, 2);
}

// The diagram in each of its formats by the suffix: DXF (Release 12, its ENTITIES section holding
// the example's circuits in GBK), SVG (millimetres of an A3 sheet) and PDF (one A3 page); another
// suffix is refused in Chinese, and without --project the option is a usage error.
TEST(ProjectCli, DiagramIsWrittenAsDxfSvgOrPdfBySuffix) {
    QTemporaryDir dir;
    const QString dxf = dir.filePath(QStringLiteral("系统图.dxf"));
    const QString svg = dir.filePath(QStringLiteral("系统图.svg"));
    const QString pdf = dir.filePath(QStringLiteral("系统图.PDF"));
    for (const QString& path : {dxf, svg, pdf}) {
        const CliRun run = runCliProgram(
            {QStringLiteral("--home"), QStringLiteral(KORVANE_TEST_HOME),
             QStringLiteral("--project"), example(), QStringLiteral("--diagram"), path});
        ASSERT_EQ(run.status, 0) << run.err;
    }
    QFile d(dxf), s(svg), p(pdf);
    ASSERT_TRUE(d.open(QIODevice::ReadOnly) && s.open(QIODevice::ReadOnly) &&
                p.open(QIODevice::ReadOnly));
    const QByteArray dxfBytes = d.readAll();
    EXPECT_TRUE(dxfBytes.startsWith("  0\r\nSECTION\r\n  2\r\nHEADER"));
    EXPECT_TRUE(dxfBytes.contains("AC1009"));
    // 配电系统图 in GBK, the title block's 图名.
    EXPECT_TRUE(dxfBytes.contains("\xc5\xe4\xb5\xe7\xcf\xb5\xcd\xb3\xcd\xbc"));
    EXPECT_TRUE(dxfBytes.contains("\r\nWL4\r\n"));
    EXPECT_TRUE(s.readAll().contains("width=\"420mm\" height=\"297mm\""));
    EXPECT_TRUE(p.readAll().startsWith("%PDF-"));

    const CliRun wrong = runCliProgram(
        {QStringLiteral("--home"), QStringLiteral(KORVANE_TEST_HOME), QStringLiteral("--project"),
         example(), QStringLiteral("--diagram"), dir.filePath(QStringLiteral("系统图.dwg"))});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find("error: "), std::string::npos) << wrong.err;
    EXPECT_NE(wrong.err.find(".dxf、.svg 或 .pdf"), std::string::npos) << wrong.err;
    EXPECT_EQ(runCliProgram({QStringLiteral("--diagram"), dxf}).status, 2);
}

// The twelve circuits of the README's book example are each sized to a section that passes.
TEST(ProjectCli, TheTwelveCircuitExampleSizesToPassingSections) {
    const CliRun run = runCliProgram(
        {QStringLiteral("--home"), QStringLiteral(KORVANE_TEST_HOME), QStringLiteral("--project"),
         QDir(QStringLiteral(KORVANE_SOURCE_DIR))
             .filePath(QStringLiteral("docs/examples/district_lighting_12.kvp")),
         QStringLiteral("--size")});
    ASSERT_EQ(run.status, 0) << run.err;
    const QStringList out = lines(run.out);
    EXPECT_EQ(
        std::count_if(out.begin(), out.end(),
                      [](const QString& line) { return line.endsWith(QStringLiteral("\t通过")); }),
        12)
        << run.out;
    EXPECT_EQ(out.filter(QStringLiteral("选择截面")).size(), 12) << run.out;
}

} // namespace
} // namespace korvane::testing
