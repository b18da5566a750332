#include "diagram/system_diagram.h"

#include "drawing/dxf_writer.h"
#include "project/project_fixtures.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>

namespace korvane {
namespace {

using namespace drawing;
using testing::projectOf;
using testing::severalCircuits;
using testing::vvCatalogue;
using testing::vvCopper;

// The designations Chinese drawings write for the cables of the database: model, voltage
// rating, cores × section (GB/T 12706 marking); what the names do not give is left out.
TEST(SystemDiagram, CableDesignationsFromTheDatabaseNames) {
    struct Row {
        const char16_t* lossType;
        const char16_t* cableType;
        const char16_t* section;
        const char16_t* designation;
    };
    const Row rows[] = {
        {u"聚氯乙烯绝缘电力电缆(0.6/1kV)", u"VV 四芯 铜芯", u"35", u"VV-0.6/1kV-4×35"},
        {u"交联聚乙烯绝缘电力电缆(0.6/1kV)", u"YJLV 四芯 铝芯", u"120", u"YJLV-0.6/1kV-4×120"},
        {u"交联聚乙烯绝缘电力电缆(0.6/1kV)", u"YJV 五芯 铜芯", u"25", u"YJV-0.6/1kV-5×25"},
        {u"穿管绝缘导线", u"BV 铜芯", u"2.5", u"BV-2.5"},
        {u"架空绝缘线路", u"JKLYJ 铝芯 集束", u"70", u"JKLYJ-70"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(
            cableDesignation({QString::fromUtf16(row.lossType), QString::fromUtf16(row.cableType),
                              QString::fromUtf16(row.section)}),
            QString::fromUtf16(row.designation));
}

std::vector<QString> textsOf(const Sheet& sheet) {
    std::vector<QString> texts;
    for (const Text& t : sheet.texts)
        texts.push_back(t.text);
    return texts;
}

bool holds(const std::vector<QString>& texts, const QString& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// Every point of the sheet's entities lies on the paper (texts with their estimated extent).
void expectOnTheSheet(const Sheet& s) {
    auto inside = [&s](Point p) {
        return p.x >= 0.0 && p.x <= s.widthMm && p.y >= 0.0 && p.y <= s.heightMm;
    };
    for (const Line& l : s.lines)
        EXPECT_TRUE(inside(l.from) && inside(l.to));
    for (const Circle& c : s.circles)
        EXPECT_TRUE(inside({c.centre.x - c.radius, c.centre.y - c.radius}) &&
                    inside({c.centre.x + c.radius, c.centre.y + c.radius}));
    for (const Text& t : s.texts) {
        // A text is at most as long as its characters at their height, laid from its point by
        // its alignment, along x, or along y when turned.
        const double length = t.text.size() * t.heightMm;
        const double before = t.horizontal == HorizontalAlign::Left     ? 0.0
                              : t.horizontal == HorizontalAlign::Centre ? length / 2.0
                                                                        : length;
        const bool rotated = t.rotationDegrees != 0.0;
        const Point from = rotated ? Point{t.at.x - t.heightMm, t.at.y - before}
                                   : Point{t.at.x - before, t.at.y - t.heightMm};
        const Point to = rotated ? Point{t.at.x + t.heightMm, t.at.y - before + length}
                                 : Point{t.at.x - before + length, t.at.y + t.heightMm};
        EXPECT_TRUE(inside(from) && inside(to)) << t.text.toStdString();
    }
}

// The three circuits of the fixture, worked by hand from the series and the load:
//   WL1: 60 A three-phase end load, 1.5·Ib = 90 A → the row up to 90 A: MCCB (GB/T 14048.2)
//        100 A, contactor 105 A; leakage 79 mA/km × 0.1 km = 7.9 mA, 4·Ixn = 31.6 mA → 100 mA;
//   WL2: 30 poles × 2 × 150 W = 9 kW on the phases in turn: L1/L2/L3, 3P+N;
//   all on VV 四芯 50 mm²: VV-0.6/1kV-4×50, laid as the project: 穿管埋地.
TEST(SystemDiagram, EachCircuitColumnCarriesItsDevicesCableAndFigures) {
    const Project project = severalCircuits();
    const ProjectRun run = runProject(project, vvCatalogue(), false);
    const Drawing d = systemDiagram(run, QDate(2026, 12, 10));
    ASSERT_EQ(d.sheets.size(), 1u);
    const std::vector<QString> texts = textsOf(d.sheets[0]);
    for (const char16_t* expected :
         {u"WL1", u"WL2", u"WL3", u"MCCB 100A 3P+N", u"105A", u"100mA", u"VV-0.6/1kV-4×50",
          u"穿管埋地", u"L1/L2/L3", u"9.00", u"三相", u"测试工程", u"张工", u"2026-12-10",
          u"第 1 张  共 1 张", u"配电系统图"})
        EXPECT_TRUE(holds(texts, QString::fromUtf16(expected)))
            << QString::fromUtf16(expected).toStdString();
    // The figures are the schedule's: Δu to four decimals, as computed.
    for (size_t i = 0; i < run.results.size(); ++i) {
        const DiagramColumn c = diagramColumn(run.project, run.project.circuits[i], run.results[i]);
        ASSERT_TRUE(run.results[i].lossPercent.ok());
        EXPECT_EQ(c.lossPercent, formatFixed(*run.results[i].lossPercent, 4, RegionalFormat{}));
        EXPECT_TRUE(holds(texts, c.lossPercent));
    }
    // A load given as currents has no installed power to show: it says so, it shows no 0.
    EXPECT_EQ(diagramColumn(run.project, run.project.circuits[0], run.results[0]).loadKw,
              u"未计算"_qs);
    expectOnTheSheet(d.sheets[0]);
}

// A feeder with branches: the trunk's cable, then each branch's own cable once, by its size where
// it is of the trunk's kind and in full where it is not; a branch on the trunk's cable or without
// a cable of its own (it takes the cable it leaves) adds nothing.
TEST(SystemDiagram, ABranchedFeedersColumnNamesItsBranchesCables) {
    ProjectCircuit c = severalCircuits().circuits[1];
    LampFeeder f;
    FeederRun trunk{QStringLiteral("干线"), {}, std::nullopt, {}};
    trunk.poles.push_back({QStringLiteral("N1"), 30.0, {{1, 150.0, 0.9, 1.0, {}}}, {}});
    trunk.poles.push_back({QStringLiteral("N2"), 30.0, {{1, 150.0, 0.9, 1.0, {}}}, {}});
    auto branch = [](const char* name, std::optional<CableIdentity> cable) {
        return FeederRun{QString::fromUtf8(name),
                         QStringLiteral("N1"),
                         std::move(cable),
                         {{QString::fromUtf8(name) + u'1', 30.0, {{1, 100.0, 0.95, 1.0, {}}}, {}}}};
    };
    CableIdentity yjv = vvCopper("10");
    yjv.lossType = QStringLiteral("交联聚乙烯绝缘电力电缆(0.6/1kV)");
    yjv.cableType = QStringLiteral("YJV 四芯 铜芯");
    const struct {
        std::vector<FeederRun> branches;
        const char16_t* text;
    } rows[] = {
        {{branch("A", vvCopper("16")), branch("B", vvCopper("10")), branch("C", vvCopper("16"))},
         u"VV-0.6/1kV-4×50，支线 4×16、4×10"},
        {{branch("A", vvCopper("50")), branch("B", std::nullopt)}, u"VV-0.6/1kV-4×50"},
        {{branch("A", yjv)}, u"VV-0.6/1kV-4×50，支线 YJV-0.6/1kV-4×10"},
    };
    for (const auto& row : rows) {
        f.poleList.runs = {trunk};
        for (const FeederRun& b : row.branches)
            f.poleList.runs.push_back(b);
        c.load = f;
        EXPECT_EQ(circuitCableText(c), QString::fromUtf16(row.text));
    }
    // On the sheet the first row's text is too long for its cell at the smallest height: the
    // trunk's cable and the branches' go on two lines, neither cut.
    f.poleList.runs = {trunk};
    for (const FeederRun& b : rows[0].branches)
        f.poleList.runs.push_back(b);
    c.load = f;
    const Drawing d = systemDiagram(runProject(projectOf({c}), vvCatalogue(), false), QDate());
    ASSERT_EQ(d.sheets.size(), 1u);
    const std::vector<QString> texts = textsOf(d.sheets[0]);
    EXPECT_TRUE(holds(texts, u"VV-0.6/1kV-4×50"_qs));
    EXPECT_TRUE(holds(texts, u"支线 4×16、4×10"_qs));
    expectOnTheSheet(d.sheets[0]);
}

// The fixture's three circuits over and over, WL1…WLn, computed.
ProjectRun manyCircuitsRun(int n) {
    Project project = severalCircuits();
    const std::vector<ProjectCircuit> three = project.circuits;
    project.circuits.clear();
    for (int i = 0; i < n; ++i) {
        ProjectCircuit c = three[size_t(i % 3)];
        c.id = QStringLiteral("WL%1").arg(i + 1);
        project.circuits.push_back(c);
    }
    return runProject(project, vvCatalogue(), false);
}

// Thirty circuits take two sheets: 24 on the first, 6 on the second, which says where its
// busbar comes from; every sheet has its number in the title block.
TEST(SystemDiagram, MoreThanTwentyFourCircuitsContinueOnASecondSheet) {
    const ProjectRun run = manyCircuitsRun(30);
    const Drawing d = systemDiagram(run, QDate(2026, 12, 10));
    ASSERT_EQ(d.sheets.size(), 2u);
    const auto first = textsOf(d.sheets[0]), second = textsOf(d.sheets[1]);
    EXPECT_TRUE(holds(first, u"WL24"_qs));
    EXPECT_FALSE(holds(first, u"WL25"_qs));
    EXPECT_TRUE(holds(second, u"WL25"_qs) && holds(second, u"WL30"_qs));
    EXPECT_TRUE(holds(first, u"第 1 张  共 2 张"_qs));
    EXPECT_TRUE(holds(second, u"第 2 张  共 2 张"_qs));
    EXPECT_TRUE(holds(second, u"母线接第 1 张"_qs));
    for (const Sheet& s : d.sheets)
        expectOnTheSheet(s);
}

// The DXF of the diagram as an independent reader (ezdxf) sees it: Release 12 in GBK, the four
// layers, the Chinese text style, every circuit's texts and the title block, nothing off the
// two sheets (0…420 and 440…860 mm by 0…297 mm).
TEST(SystemDiagram, DxfReadBackByAnIndependentReader) {
    const ProjectRun run = manyCircuitsRun(26);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("系统图.dxf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(dxfDocument(systemDiagram(run, QDate(2026, 12, 10))));
    file.close();

    QProcess reader;
    // Debian's interpreter, where its python3-ezdxf is installed.
    const QString python = QFile::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStringLiteral("python3");
    reader.start(python, {QStringLiteral(KORVANE_SOURCE_DIR "/tests/diagram/read_dxf.py"), path});
    ASSERT_TRUE(reader.waitForFinished(60000));
    ASSERT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    const QJsonObject dxf = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    EXPECT_EQ(dxf[u"version"_qs].toString(), u"AC1009"_qs);
    EXPECT_EQ(dxf[u"encoding"_qs].toString(), u"gbk"_qs);
    EXPECT_EQ(dxf[u"auditErrors"_qs].toInt(), 0);
    for (const char* layer : {"E-FRAME", "E-LINE", "E-SYMB", "E-TEXT"})
        EXPECT_TRUE(dxf[u"layers"_qs].toArray().contains(QString::fromLatin1(layer))) << layer;
    EXPECT_EQ(dxf[u"styles"_qs].toObject()[u"KV-HZ"_qs].toArray(),
              (QJsonArray{u"gbenor.shx"_qs, u"gbcbig.shx"_qs}));
    QStringList texts;
    for (const QJsonValue& t : dxf[u"texts"_qs].toArray()) {
        texts << t[u"text"_qs].toString();
        EXPECT_EQ(t[u"layer"_qs].toString(), u"E-TEXT"_qs);
        EXPECT_EQ(t[u"style"_qs].toString(), u"KV-HZ"_qs);
    }
    for (int i = 1; i <= 26; ++i)
        EXPECT_TRUE(texts.contains(QStringLiteral("WL%1").arg(i))) << i;
    for (const char16_t* expected : {u"测试工程", u"张工", u"2026-12-10", u"第 2 张  共 2 张",
                                     u"VV-0.6/1kV-4×50", u"电压损失Δu(%)"})
        EXPECT_TRUE(texts.contains(QString::fromUtf16(expected)))
            << QString::fromUtf16(expected).toStdString();
    const QJsonArray extents = dxf[u"extents"_qs].toArray();
    ASSERT_EQ(extents.size(), 4);
    EXPECT_GE(extents[0].toDouble(), 0.0);
    EXPECT_GE(extents[1].toDouble(), 0.0);
    EXPECT_LE(extents[2].toDouble(), 860.0);
    EXPECT_LE(extents[3].toDouble(), 297.0);
}

} // namespace
} // namespace korvane
