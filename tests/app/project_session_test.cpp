#include "app/project_session.h"

#include "app/calculation_file.h"
#include "app/project_pages.h"
#include "base/number_format.h"
#include "project/handbook_constants.h"
#include "project/inputs/schedule_columns.h"
#include "project_book/project_book.h"
#include "project_files/project_file.h"
#include "support/json_paths.h"
#include "support/result_columns.h"
#include "support/test_app.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSet>
#include <QTemporaryDir>

#include <map>

namespace korvane {
namespace {

using testing::TestApp;
namespace ResultColumn = testing::ResultColumn;

// Preferences held in memory for one test.
class MemoryPreferences : public Preferences {
public:
    QString value(const QString& key) const override {
        const auto it = values.find(key);
        return it == values.end() ? QString() : it->second;
    }
    void setValue(const QString& key, const QString& value) override { values[key] = value; }
    std::map<QString, QString> values;
};

int column(const ProjectSession& s, ScheduleColumn which) {
    for (int c = 0; c < s.schedule().inputColumnCount(); ++c)
        if (s.schedule().columnHeader(c) == scheduleHeader(which))
            return c;
    ADD_FAILURE() << "no column " << scheduleHeader(which).toStdString();
    return -1;
}

int result(const ProjectSession& s, const QString& header) {
    const int c = testing::resultColumn(s, header);
    if (c < 0)
        ADD_FAILURE() << "no result column " << header.toStdString();
    return c;
}

QString text(const ProjectSession& s, int row, ScheduleColumn which) {
    return s.schedule().cell(row, column(s, which)).text;
}

// Every input of two circuits but the identifier.
void expectSameInputs(const ProjectCircuit& a, const ProjectCircuit& b) {
    for (const ScheduleColumnInfo& info : scheduleInputColumns()) {
        if (info.column != ScheduleColumn::Id) {
            EXPECT_EQ(scheduleCell(a, info.column), scheduleCell(b, info.column)) << info.header;
        }
    }
}

// Records the change notifications as "kind first last" texts, before (<) and after (>).
struct ChangeLog {
    explicit ChangeLog(ProjectSession& s) {
        auto text = [](char when, const ScheduleChange& c) {
            return QStringLiteral("%1%2 %3 %4").arg(when).arg(int(c.kind)).arg(c.first).arg(c.last);
        };
        s.state().scheduleAboutToChange.connect(
            [this, text](const ScheduleChange& c) { entries << text('<', c); });
        s.state().scheduleChanged.connect(
            [this, text](const ScheduleChange& c) { entries << text('>', c); });
        s.document().titleChanged.connect([this] { ++titles; });
    }
    QStringList entries;
    int titles = 0;
};

struct Session {
    TestApp t;
    ProjectSession s{t.app()};
};

TEST(ProjectSession, AnEditedCellIsTakenAndRecomputed) {
    Session f;
    ProjectSession& s = f.s;
    ASSERT_EQ(s.state().rowCount(), 1);
    ChangeLog log(s);
    const double before =
        *readStrict(s.schedule().cell(0, result(s, ResultColumn::LossPercent)).text);
    EXPECT_EQ(s.schedule().cell(0, result(s, ResultColumn::Overall)).state, CellState::Passed)
        << s.schedule().cell(0, result(s, ResultColumn::Overall)).toolTip.toStdString();

    // Doubling the current at the end doubles Δu (current moment method).
    EXPECT_EQ(s.schedule().setCell(0, column(s, ScheduleColumn::Load), QStringLiteral("60")),
              std::nullopt);
    const double after =
        *readStrict(s.schedule().cell(0, result(s, ResultColumn::LossPercent)).text);
    EXPECT_NEAR(after, 2.0 * before, 2e-4);
    EXPECT_EQ(log.entries, QStringList{QStringLiteral(">3 0 0")});

    // A line far too long fails the voltage loss, with its figures as the tooltip.
    EXPECT_EQ(
        s.schedule().setCell(0, column(s, ScheduleColumn::LoadDistanceKm), QStringLiteral("3")),
        std::nullopt);
    const CellView verdict = s.schedule().cell(0, result(s, ResultColumn::Verdict));
    EXPECT_EQ(verdict.state, CellState::Failed);
    EXPECT_EQ(verdict.text, QStringLiteral("不通过"));
    EXPECT_EQ(verdict.toolTip, s.state().result(0).check(CircuitCheck::VoltageLoss).text());
    EXPECT_FALSE(verdict.toolTip.isEmpty());
    EXPECT_EQ(s.schedule().cell(0, result(s, ResultColumn::Overall)).state, CellState::Failed);
}

TEST(ProjectSession, TextThatCannotBeTakenLeavesTheCircuitAsItWas) {
    QTemporaryDir dir;
    Session f;
    ProjectSession& s = f.s;
    s.schedule().addLoadCaseCircuit();
    ASSERT_TRUE(s.document().saveAs(dir.filePath(QStringLiteral("two.kvp"))));
    const QByteArray before = projectToJson(s.state().project());
    const quint64 revision = s.document().revision();
    ChangeLog log(s);
    const int r = column(s, ScheduleColumn::ResistanceOhmPerKm);

    const auto why = s.schedule().setCell(0, r, QStringLiteral("0.5欧"));
    ASSERT_TRUE(why);
    EXPECT_TRUE(why->contains(scheduleHeader(ScheduleColumn::ResistanceOhmPerKm)));
    EXPECT_TRUE(s.schedule().setCell(0, column(s, ScheduleColumn::Id), QStringLiteral("WL2")))
        << "an identifier another row has";
    EXPECT_TRUE(s.schedule().setCell(0, column(s, ScheduleColumn::Poles), QStringLiteral("10")))
        << "a feeder column of a load case";
    EXPECT_FALSE(s.schedule().cell(0, column(s, ScheduleColumn::Poles)).editable);
    EXPECT_TRUE(s.schedule().setCell(0, result(s, ResultColumn::LossPercent), QStringLiteral("1")));
    EXPECT_FALSE(s.schedule().cell(0, result(s, ResultColumn::LossPercent)).editable);
    // The value the cell already holds, written differently, changes nothing either.
    const int load = column(s, ScheduleColumn::Load);
    ASSERT_EQ(text(s, 0, ScheduleColumn::Load), QStringLiteral("30"));
    EXPECT_EQ(s.schedule().setCell(0, load, QStringLiteral(" 30.0 ")), std::nullopt);
    EXPECT_EQ(projectToJson(s.state().project()), before);
    EXPECT_FALSE(s.document().modified());
    EXPECT_EQ(s.document().revision(), revision);
    EXPECT_TRUE(log.entries.isEmpty()) << log.entries.join(u' ').toStdString();
}

TEST(ProjectSession, NumbersAreReadAndWrittenWithTheRegionalDecimalSign) {
    Session f;
    ProjectSession& s = f.s;
    const RegionalFormat saved = regionalFormat();
    RegionalFormat comma;
    comma.decimalSign = u',';
    comma.groupSign = u'.';
    setRegionalFormat(comma);
    const auto taken =
        s.schedule().setCell(0, column(s, ScheduleColumn::LoadDistanceKm), QStringLiteral("0,25"));
    const auto limit =
        s.supply().setSupplyField(int(SupplyFieldId::VoltageLossLimit), QStringLiteral("4,5"));
    const QString shown = text(s, 0, ScheduleColumn::LoadDistanceKm);
    setRegionalFormat(saved);
    EXPECT_EQ(taken, std::nullopt);
    EXPECT_EQ(limit, std::nullopt);
    EXPECT_EQ(shown, QStringLiteral("0,25"));
    EXPECT_EQ(s.state().project().voltageLossLimitPercent, 4.5);
    EXPECT_EQ(std::get<LoadCaseLoad>(s.state().project().circuits[0].load).values.endLengthKm,
              0.25);
}

TEST(ProjectSession, CableChoicesFollowTheLossTypeAndCableType) {
    Session f;
    ProjectSession& s = f.s;
    const int lossType = column(s, ScheduleColumn::LossType);
    const int cableType = column(s, ScheduleColumn::CableType);
    const int section = column(s, ScheduleColumn::CrossSection);
    const QStringList lossTypes = s.schedule().cell(0, lossType).choices;
    ASSERT_GE(lossTypes.size(), 2);
    EXPECT_TRUE(lossTypes.contains(QStringLiteral("测试类型")));

    // The test rows' own loss type offers exactly its one cable type and its sections.
    EXPECT_EQ(s.schedule().setCell(0, lossType, QStringLiteral("测试类型")), std::nullopt);
    EXPECT_EQ(s.schedule().cell(0, cableType).choices, QStringList{QStringLiteral("缺值电缆")});
    EXPECT_EQ(s.schedule().setCell(0, cableType, QStringLiteral("缺值电缆")), std::nullopt);
    EXPECT_EQ(s.schedule().cell(0, section).choices,
              (QStringList{QStringLiteral("25"), QStringLiteral("25")}))
        << "the rows without R or X are not offered";
    // A section the database does not hold is taken, and the row is not computed, saying why.
    EXPECT_EQ(s.schedule().setCell(0, section, QStringLiteral("16")), std::nullopt);
    const CellView unknown = s.schedule().cell(0, section);
    EXPECT_EQ(unknown.state, CellState::InputProblem);
    EXPECT_TRUE(unknown.toolTip.contains(QStringLiteral("电缆数据库中无电缆")));
    EXPECT_EQ(s.schedule().cell(0, result(s, ResultColumn::Overall)).state, CellState::NotComputed);

    // Back on a four-core PVC copper cable a new section fills R, X from the database and the
    // per-metre values from the handbook tables.
    const QString vv = QStringLiteral("聚氯乙烯绝缘电力电缆(0.6/1kV)");
    EXPECT_EQ(s.schedule().setCell(0, lossType, vv), std::nullopt);
    EXPECT_TRUE(s.schedule().cell(0, cableType).choices.contains(QStringLiteral("VV 四芯 铜芯")));
    EXPECT_EQ(s.schedule().setCell(0, cableType, QStringLiteral("VV 四芯 铜芯")), std::nullopt);
    EXPECT_TRUE(s.schedule().cell(0, section).choices.contains(QStringLiteral("95")));
    EXPECT_EQ(s.schedule().setCell(0, section, QStringLiteral("95")), std::nullopt);
    const CircuitLine& line = s.state().project().circuits[0].line;
    EXPECT_EQ(line.resistanceOhmPerKm, 0.193);
    EXPECT_EQ(line.reactanceOhmPerKm, 0.08);
    const auto constants = handbookLineConstants({}, 95.0);
    ASSERT_TRUE(constants);
    EXPECT_EQ(line.perMetreMilliOhm.loopResistance, constants->loopResistance);
    EXPECT_EQ(s.state().project().circuits[0].protection.leakagePerKmMa, constants->leakagePerKmMa);
    EXPECT_EQ(s.schedule().cell(0, result(s, ResultColumn::Overall)).state, CellState::Passed);

    // The load cases offered are those of the row's line kind.
    const int lineKind = column(s, ScheduleColumn::LineKind);
    const int loadCase = column(s, ScheduleColumn::LoadCase);
    EXPECT_EQ(s.schedule().cell(0, lineKind).choices.size(), 4);
    const QStringList threePhase = s.schedule().cell(0, loadCase).choices;
    EXPECT_EQ(s.schedule().setCell(0, lineKind, line_kind::kSinglePhasePhaseVoltage), std::nullopt);
    EXPECT_NE(s.schedule().cell(0, loadCase).choices, threePhase);
    EXPECT_FALSE(s.schedule().cell(0, loadCase).choices.isEmpty());
}

TEST(ProjectSession, RowsAreAddedDuplicatedRemovedAndMoved) {
    Session f;
    ProjectSession& s = f.s;
    ChangeLog log(s);
    EXPECT_EQ(s.schedule().addFeederCircuit(), 1);
    EXPECT_EQ(s.schedule().addLoadCaseCircuit(), 2);
    EXPECT_EQ(text(s, 1, ScheduleColumn::Id), QStringLiteral("WL2"));
    EXPECT_EQ(text(s, 1, ScheduleColumn::LoadKind), loadKindText(true));
    ASSERT_NE(s.state().feederResult(1), nullptr);
    EXPECT_EQ(s.state().feederResult(1)->poles.size(), 20u);
    EXPECT_EQ(s.state().feederResult(0), nullptr);
    EXPECT_EQ(s.schedule().cell(1, result(s, ResultColumn::Overall)).state, CellState::Passed)
        << s.schedule().cell(1, result(s, ResultColumn::Overall)).toolTip.toStdString();

    // A duplicate sits below its original with the next free identifier.
    EXPECT_EQ(s.schedule().duplicateRow(1), 2);
    EXPECT_EQ(text(s, 2, ScheduleColumn::Id), QStringLiteral("WL4"));
    expectSameInputs(s.state().project().circuits[1], s.state().project().circuits[2]);
    EXPECT_EQ(s.state().rowCount(), 4);
    EXPECT_EQ(log.entries,
              (QStringList{"<0 1 1", ">0 1 1", "<0 2 2", ">0 2 2", "<0 2 2", ">0 2 2"}));

    log.entries.clear();
    EXPECT_TRUE(s.schedule().moveRowDown(0));
    EXPECT_FALSE(s.schedule().moveRowDown(3));
    EXPECT_FALSE(s.schedule().moveRowUp(0));
    EXPECT_TRUE(s.schedule().moveRowUp(3));
    QStringList ids;
    for (int r = 0; r < s.state().rowCount(); ++r)
        ids << text(s, r, ScheduleColumn::Id);
    EXPECT_EQ(ids, (QStringList{"WL2", "WL1", "WL3", "WL4"}));
    EXPECT_EQ(log.entries, (QStringList{"<2 0 0", ">2 0 0", "<2 3 3", ">2 3 3"}));

    // Removing rows 0, 1 and 3 announces the run at the bottom first.
    log.entries.clear();
    s.schedule().removeRows({3, 0, 1, 1});
    EXPECT_EQ(s.state().rowCount(), 1);
    EXPECT_EQ(text(s, 0, ScheduleColumn::Id), QStringLiteral("WL3"));
    EXPECT_EQ(s.state().run().results.size(), 1u);
    EXPECT_EQ(log.entries, (QStringList{"<1 3 3", ">1 3 3", "<1 0 1", ">1 0 1"}));
    EXPECT_EQ(s.schedule().addLoadCaseCircuit(), 1);
    EXPECT_EQ(text(s, 1, ScheduleColumn::Id), QStringLiteral("WL1")) << "the free number";
}

TEST(ProjectSession, SizingIsProposedAndAppliedOnlyWhenAccepted) {
    Session f;
    ProjectSession& s = f.s;
    // 60 A at 0.4 km fails the voltage loss on 25 mm².
    ASSERT_EQ(s.schedule().setCell(0, column(s, ScheduleColumn::Load), QStringLiteral("60")),
              std::nullopt);
    ASSERT_EQ(
        s.schedule().setCell(0, column(s, ScheduleColumn::LoadDistanceKm), QStringLiteral("0.4")),
        std::nullopt);
    ASSERT_EQ(s.schedule().cell(0, result(s, ResultColumn::Overall)).state, CellState::Failed);
    const QByteArray before = projectToJson(s.state().project());

    const std::vector<SizingProposal> proposals = s.proposals().proposeSizing();
    ASSERT_EQ(proposals.size(), 1u);
    const SizingProposal& p = proposals[0];
    EXPECT_EQ(p.currentSection, QStringLiteral("25"));
    ASSERT_TRUE(p.proposedSection);
    EXPECT_GT(p.proposedSection->toDouble(), 25.0);
    EXPECT_EQ(p.governing, CircuitCheck::VoltageLoss);
    EXPECT_FALSE(p.governingText.isEmpty());
    EXPECT_EQ(projectToJson(s.state().project()), before) << "proposing changes nothing";

    // A proposal for a row edited since is not applied.
    ASSERT_EQ(
        s.schedule().setCell(0, column(s, ScheduleColumn::Description), QStringLiteral("泵房")),
        std::nullopt);
    EXPECT_EQ(s.proposals().acceptSizing(proposals), 0);
    EXPECT_EQ(text(s, 0, ScheduleColumn::CrossSection), QStringLiteral("25"));

    const std::vector<SizingProposal> fresh = s.proposals().proposeSizing({0});
    EXPECT_EQ(s.proposals().acceptSizing(fresh), 1);
    EXPECT_EQ(text(s, 0, ScheduleColumn::CrossSection), *fresh[0].proposedSection);
    EXPECT_EQ(s.schedule().cell(0, result(s, ResultColumn::Overall)).state, CellState::Passed);

    // The book of the window shows the accepted decision: the sections tried from the smallest,
    // 25 mm² among them refused for its voltage loss, the proposed section chosen; a circuit
    // edited since has none.
    EXPECT_TRUE(s.state().run().sizing.empty());
    const ProjectRun sized = s.proposals().runWithSizing();
    ASSERT_EQ(sized.sizing.size(), 1u);
    ASSERT_TRUE(sized.sizing[0] && sized.sizing[0]->chosen);
    const SizingResult& decision = *sized.sizing[0];
    EXPECT_EQ(decision.candidates[*decision.chosen].crossSection, *fresh[0].proposedSection);
    const auto tried25 =
        std::find_if(decision.candidates.begin(), decision.candidates.end(),
                     [](const SizingCandidate& c) { return c.crossSection == u"25"_qs; });
    ASSERT_NE(tried25, decision.candidates.end());
    EXPECT_EQ(tried25->failed, CircuitCheck::VoltageLoss);
    const std::optional<ReportDocument> book =
        projectBookDocument(sized, QDate(2026, 12, 9), {}, {});
    ASSERT_TRUE(book.has_value());
    EXPECT_EQ(book->paragraphTexts().filter(QStringLiteral("【截面选择】")).size(), 1);
    ASSERT_EQ(s.schedule().setCell(0, column(s, ScheduleColumn::Load), QStringLiteral("61")),
              std::nullopt);
    const ProjectRun edited = s.proposals().runWithSizing();
    EXPECT_TRUE(edited.sizing.empty() || !edited.sizing[0]);
}

TEST(ProjectSession, ACircuitSentToThePagesComesBackTheSame) {
    Session f;
    ProjectSession& s = f.s;
    ASSERT_EQ(
        s.schedule().setCell(0, column(s, ScheduleColumn::PowerFactor), QStringLiteral("0.9")),
        std::nullopt);
    ASSERT_EQ(s.schedule().setCell(0, column(s, ScheduleColumn::ConductorTemperatureC),
                                   QStringLiteral("70")),
              std::nullopt);
    ASSERT_EQ(s.schedule().setCell(0, column(s, ScheduleColumn::AmbientTemperatureC),
                                   QStringLiteral("30")),
              std::nullopt);
    ASSERT_EQ(s.schedule().setCell(0, column(s, ScheduleColumn::ProtectionMode),
                                   QStringLiteral("单相短路")),
              std::nullopt);
    ASSERT_TRUE(sendCircuitToPages(f.t.app(), s, 0));
    EXPECT_TRUE(f.t.platform().messages.empty())
        << f.t.platform().messages.front().text.toStdString();
    EXPECT_EQ(f.t.text("Text6"), QString()) << "the results are emptied";
    EXPECT_EQ(f.t.text("Text38"), formatGeneral(*s.state().result(0).lineLengthKm));

    const int row = takeCircuitFromPages(f.t.app(), s);
    ASSERT_EQ(row, 1);
    EXPECT_EQ(text(s, 1, ScheduleColumn::Id), QStringLiteral("WL2"));
    expectSameInputs(s.state().project().circuits[0], s.state().project().circuits[1]);
    EXPECT_EQ(s.schedule().cell(1, result(s, ResultColumn::LossPercent)).text,
              s.schedule().cell(0, result(s, ResultColumn::LossPercent)).text);
}

TEST(ProjectSession, PagesThatCannotBeReadOrAFeederAreRefused) {
    Session f;
    ProjectSession& s = f.s;
    s.schedule().addFeederCircuit();
    const QByteArray pages = calculationSnapshot(f.t.form());
    EXPECT_FALSE(sendCircuitToPages(f.t.app(), s, 1));
    ASSERT_EQ(f.t.platform().messages.size(), 1u);
    EXPECT_TRUE(f.t.platform().messages[0].text.contains(QStringLiteral("路灯馈线")));
    EXPECT_EQ(calculationSnapshot(f.t.form()), pages);

    f.t.setText("Text51", QStringLiteral("K?"));
    EXPECT_EQ(takeCircuitFromPages(f.t.app(), s), -1);
    EXPECT_EQ(s.state().rowCount(), 2);
    ASSERT_EQ(f.t.platform().messages.size(), 2u);
    EXPECT_TRUE(f.t.platform().messages[1].text.contains(QStringLiteral("“K”不是数值：K?")));
}

TEST(ProjectSession, TheSupplyFieldsTakeDatabaseRowsAndNumbers) {
    Session f;
    ProjectSession& s = f.s;
    int supplyChanges = 0;
    s.state().supplyChanged.connect([&supplyChanges] { ++supplyChanges; });
    const SupplyFieldView transformer = s.supply().supplyField(int(SupplyFieldId::Transformer));
    EXPECT_EQ(transformer.label, QStringLiteral("变压器"));
    ASSERT_FALSE(transformer.choices.isEmpty());
    EXPECT_EQ(transformer.text, transformer.choices.front()) << "a new project's first row";
    EXPECT_EQ(transformer.choices.count(QStringLiteral("重复测试 10 kV 100 kVA")), 1);

    // The first of two rows of one transformer is the one the dialog finds.
    EXPECT_EQ(s.supply().setSupplyField(int(SupplyFieldId::Transformer),
                                        QStringLiteral("重复测试 10 kV 100 kVA")),
              std::nullopt);
    EXPECT_EQ(s.state().project().supply.transformer.ukPercent, 4.0);
    EXPECT_EQ(s.state().project().supply.transformer.loadLossKw, 1.5);
    EXPECT_EQ(
        s.supply().setSupplyField(int(SupplyFieldId::Busbar), QStringLiteral("重复测试 4(40X4)")),
        std::nullopt);
    EXPECT_EQ(s.state().project().supply.busbar.perMetreMilliOhm.loopReactance, 0.4);
    EXPECT_EQ(supplyChanges, 2);

    const QByteArray before = projectToJson(s.state().project());
    EXPECT_TRUE(
        s.supply().setSupplyField(int(SupplyFieldId::Transformer), QStringLiteral("S99 10 kV")));
    EXPECT_TRUE(
        s.supply().setSupplyField(int(SupplyFieldId::SystemCapacity), QStringLiteral("大")));
    EXPECT_TRUE(
        s.supply().setSupplyField(int(SupplyFieldId::VoltageLossLimit), QStringLiteral("100")));
    EXPECT_EQ(projectToJson(s.state().project()), before);
    EXPECT_EQ(supplyChanges, 2);

    // A weaker system lowers the fault current at the circuit's end.
    const double ik3 =
        *readStrict(s.schedule().cell(0, result(s, ResultColumn::ThreePhaseKa)).text);
    EXPECT_EQ(s.supply().setSupplyField(int(SupplyFieldId::SystemCapacity), QStringLiteral("10")),
              std::nullopt);
    EXPECT_LT(*readStrict(s.schedule().cell(0, result(s, ResultColumn::ThreePhaseKa)).text), ik3);
    EXPECT_EQ(s.supply().supplyField(int(SupplyFieldId::SystemCapacity)).text,
              QStringLiteral("10"));

    // How the circuits are laid: a new project's are in ducts at the tables' reference
    // conditions; a field emptied is missing again (the capacity then not computed, naming it),
    // never a 0; a text that is none of the list's is refused.
    const auto field = [&s](SupplyFieldId id) { return s.supply().supplyField(int(id)).text; };
    EXPECT_EQ(field(SupplyFieldId::LayingMethod), QStringLiteral("穿管埋地(D1)"));
    EXPECT_EQ(field(SupplyFieldId::LayingTemperature), QStringLiteral("20"));
    EXPECT_EQ(field(SupplyFieldId::SoilResistivity), QStringLiteral("2.5"));
    EXPECT_EQ(field(SupplyFieldId::GroupedCircuits), QStringLiteral("1"));
    EXPECT_EQ(field(SupplyFieldId::CircuitSpacing), QString());
    EXPECT_EQ(field(SupplyFieldId::ConductorTemperature), QString());
    EXPECT_EQ(s.supply().setSupplyField(int(SupplyFieldId::LayingMethod), QStringLiteral("架空")),
              QStringLiteral("“敷设方式”无法识别：架空"));
    EXPECT_EQ(s.supply().setSupplyField(int(SupplyFieldId::LayingMethod), QString()), std::nullopt);
    EXPECT_FALSE(s.state().project().installation.method.has_value());
    const QString capacity = s.schedule().cell(0, result(s, QStringLiteral("载流量"))).toolTip;
    EXPECT_TRUE(capacity.contains(u"敷设方式")) << capacity.toStdString();
    EXPECT_EQ(
        s.supply().setSupplyField(int(SupplyFieldId::ConductorTemperature), QStringLiteral("300")),
        QStringLiteral("“导体计算温度(℃)”应在 −50～250 ℃ 之间"));
    EXPECT_EQ(
        s.supply().setSupplyField(int(SupplyFieldId::ConductorTemperature), QStringLiteral("70")),
        std::nullopt);
    EXPECT_EQ(s.state().project().conductorTemperatureC, 70.0);
}

// A program folder without the transformer and busbar database: no supply can be chosen, and
// every circuit is not computed with the reason, rather than computed from a supply nobody
// could check.
TEST(ProjectSession, ASupplyDatabaseThatCannotBeReadStopsEveryCircuitAndSaysWhy) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("Database")));
    ASSERT_TRUE(QFile::copy(testing::testHome() + QStringLiteral("/Database/JhxlDlxlss.db"),
                            folder.filePath(QStringLiteral("Database/JhxlDlxlss.db"))));
    TestApp t(folder.path());
    ProjectSession s{t.app()};
    ASSERT_EQ(s.state().rowCount(), 1);
    EXPECT_TRUE(s.supply().supplyField(int(SupplyFieldId::Transformer)).choices.isEmpty());
    EXPECT_TRUE(s.supply().supplyField(int(SupplyFieldId::Busbar)).choices.isEmpty());
    const std::optional<QString> refused = s.supply().setSupplyField(
        int(SupplyFieldId::Transformer), QStringLiteral("S11-M 10 kV 400 kVA"));
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(*refused, QStringLiteral("无法读取变压器、母线数据库：文件不存在"));
    const CellView overall = s.schedule().cell(0, result(s, ResultColumn::Overall));
    EXPECT_EQ(overall.state, CellState::NotComputed);
    EXPECT_TRUE(overall.toolTip.contains(QStringLiteral("文件不存在")))
        << overall.toolTip.toStdString();
}

TEST(ProjectSession, ModifiedTitleAndRecentProjects) {
    QTemporaryDir dir;
    MemoryPreferences preferences;
    TestApp t(testing::testHome(), &preferences);
    ProjectSession s(t.app());
    ChangeLog log(s);
    EXPECT_EQ(s.document().windowTitle(), QStringLiteral("未命名工程"));
    EXPECT_FALSE(s.document().modified());
    ASSERT_EQ(
        s.schedule().setCell(0, column(s, ScheduleColumn::Description), QStringLiteral("水泵")),
        std::nullopt);
    EXPECT_TRUE(s.document().modified());
    EXPECT_EQ(s.document().windowTitle(), QStringLiteral("未命名工程*"));
    EXPECT_EQ(log.titles, 1);
    EXPECT_FALSE(s.document().save()) << "no path yet";

    QStringList saved;
    for (int i = 1; i <= 9; ++i) {
        saved.prepend(dir.filePath(QStringLiteral("p%1.kvp").arg(i)));
        ASSERT_TRUE(s.document().saveAs(saved.front()));
    }
    EXPECT_FALSE(s.document().modified());
    EXPECT_EQ(s.document().windowTitle(), QStringLiteral("p9.kvp"));
    EXPECT_EQ(s.document().recentProjects(), saved.mid(0, 8));

    // Back to what was saved: not modified.
    ASSERT_EQ(s.schedule().setCell(0, column(s, ScheduleColumn::Description), QStringLiteral("x")),
              std::nullopt);
    EXPECT_EQ(s.document().windowTitle(), QStringLiteral("p9.kvp*"));
    ASSERT_EQ(
        s.schedule().setCell(0, column(s, ScheduleColumn::Description), QStringLiteral("水泵")),
        std::nullopt);
    EXPECT_FALSE(s.document().modified());
    // A row added and removed again leaves the same circuits, but the project has been changed.
    s.schedule().removeRows({s.schedule().addLoadCaseCircuit()});
    EXPECT_TRUE(s.document().modified());
    ASSERT_TRUE(s.document().save());
    EXPECT_FALSE(s.document().modified());

    // A file that is gone is dropped; opening one moves it to the top.
    ASSERT_TRUE(QFile::remove(saved[1]));
    ASSERT_TRUE(s.open(saved[3]));
    EXPECT_EQ(s.document().recentProjects(),
              (QStringList{saved[3], saved[0], saved[2], saved[4], saved[5], saved[6], saved[7]}));
    EXPECT_EQ(preferences.value(ProjectDocument::recentProjectsKey()).split(u'\n').size(), 7);
}

TEST(ProjectSession, AFileThatCannotBeReadChangesNothing) {
    QTemporaryDir dir;
    Session f;
    ProjectSession& s = f.s;
    s.schedule().addFeederCircuit();
    const QString good = dir.filePath(QStringLiteral("good.kvp"));
    ASSERT_TRUE(s.document().saveAs(good));
    ASSERT_EQ(s.schedule().setCell(0, column(s, ScheduleColumn::Description), QStringLiteral("改")),
              std::nullopt);
    const QByteArray before = projectToJson(s.state().project());

    const QString damaged = dir.filePath(QStringLiteral("damaged.kvp"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"format\": \"korvane-project\", \"version\": 1, \"circuits\": [");
    file.close();
    EXPECT_FALSE(s.open(damaged));
    ASSERT_EQ(f.t.platform().messages.size(), 1u);
    EXPECT_EQ(f.t.platform().messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(projectToJson(s.state().project()), before);
    EXPECT_EQ(s.document().path(), QFileInfo(good).absoluteFilePath());
    EXPECT_TRUE(s.document().modified());

    // The saved file opens as it was written.
    ASSERT_TRUE(s.open(good));
    EXPECT_EQ(s.state().rowCount(), 2);
    EXPECT_EQ(text(s, 0, ScheduleColumn::Description), QString());
    EXPECT_FALSE(s.document().modified());
    s.document().newProject();
    EXPECT_EQ(s.document().path(), QString());
    EXPECT_EQ(s.state().rowCount(), 1);
}

// A value the file held wrongly stops its circuit until the engineer gives it again in the
// schedule: then its reason goes, and the circuit is computed.
TEST(ProjectSession, AValueGivenAgainClearsWhatReadingTheFileSaidOfIt) {
    QTemporaryDir dir;
    Session f;
    ProjectSession& s = f.s;
    s.schedule().addFeederCircuit();
    const QString path = dir.filePath(QStringLiteral("p.kvp"));
    ASSERT_TRUE(s.document().saveAs(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray json = file.readAll();
    file.close();
    const QByteArray poles = "\"poles\": ";
    const qsizetype at = json.indexOf(poles);
    ASSERT_GT(at, 0);
    json.insert(at + poles.size(), "\"三十\", \"x\": ");
    const QByteArray length = "\"lengthM\": ";
    const qsizetype lengthAt = json.indexOf(length);
    ASSERT_GT(lengthAt, 0);
    json.insert(lengthAt + length.size(), "\"长\", \"y\": ");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(json);
    file.close();

    ASSERT_TRUE(s.open(path));
    const int feeder = 1;
    const int overall = result(s, ResultColumn::Overall);
    ASSERT_EQ(s.state().project().circuits[feeder].inputProblems.size(), 2)
        << s.state().project().circuits[feeder].inputProblems.join(u'\n').toStdString();
    EXPECT_EQ(s.state().project().circuits[feeder].inputProblems,
              (QStringList{QStringLiteral("WL2 灯杆数：不是数值：“三十”"),
                           QStringLiteral("母线长度 (m)：不是数值：“长”")}));
    EXPECT_EQ(s.schedule().cell(feeder, overall).state, CellState::NotComputed);
    EXPECT_EQ(s.schedule().cell(0, overall).state,
              CellState::NotComputed); // the busbar stops every circuit

    ASSERT_EQ(s.schedule().setCell(feeder, column(s, ScheduleColumn::Poles), QStringLiteral("30")),
              std::nullopt);
    EXPECT_EQ(s.state().project().circuits[feeder].inputProblems,
              QStringList{s.state().project().circuits[0].inputProblems});
    EXPECT_EQ(s.schedule().cell(feeder, overall).state, CellState::NotComputed);
    ASSERT_EQ(s.supply().setSupplyField(int(SupplyFieldId::BusbarLength), QStringLiteral("5")),
              std::nullopt);
    for (int row : {0, feeder}) {
        EXPECT_TRUE(s.state().project().circuits[size_t(row)].inputProblems.isEmpty()) << row;
        EXPECT_NE(s.schedule().cell(row, overall).state, CellState::NotComputed) << row;
    }
    // Another column's edit leaves a problem it does not concern.
    ProjectCircuit read;
    read.readingProblems = {{QStringLiteral("WL2"), QStringLiteral("load.spacingM"),
                             QStringLiteral("杆距(m)"), QStringLiteral("不是数值：“x”")},
                            {QStringLiteral("WL2"), QStringLiteral("load.currentLoads[2].currentA"),
                             QStringLiteral("多个负荷"), QStringLiteral("不是数值")},
                            {QStringLiteral("WL2"), {}, {}, QStringLiteral("不是对象")}};
    for (const ReadingProblem& problem : read.readingProblems)
        read.inputProblems << problem.text();
    QStringList& problems = read.inputProblems;
    dropReadingProblems(read, projectFileKeys(ScheduleColumn::Poles));
    EXPECT_EQ(problems.size(), 3);
    dropReadingProblems(read, projectFileKeys(ScheduleColumn::SeveralLoads));
    EXPECT_EQ(problems.size(), 2);
    dropReadingProblems(read, projectFileKeys(ScheduleColumn::LoadKind));
    EXPECT_EQ(problems, QStringList{QStringLiteral("WL2：不是对象")});
    EXPECT_EQ(read.readingProblems.size(), 1u);
}

// Every row as the edited session shows it equals the row computed afresh: a session that opens
// the saved file computes the whole project at once. A result left behind by an edit, a move or a
// removal shows as a differing cell.
TEST(ProjectSession, EditedRowsShowWhatComputingTheWholeProjectShows) {
    QTemporaryDir dir;
    Session f;
    ProjectSession& s = f.s;
    const int feeder = s.schedule().addFeederCircuit(); // WL2
    s.schedule().addLoadCaseCircuit();                  // WL3
    s.schedule().duplicateRow(feeder);                  // WL4 below WL2
    s.schedule().addFeederCircuit();                    // WL5
    auto edit = [&](int row, ScheduleColumn which, const char* value) {
        ASSERT_EQ(s.schedule().setCell(row, column(s, which), QString::fromUtf8(value)),
                  std::nullopt)
            << row << " " << scheduleHeader(which).toStdString();
    };
    // The supply first: it recomputes every row, and would hide what the row edits leave behind.
    ASSERT_EQ(s.supply().setSupplyField(int(SupplyFieldId::BusbarLength), QStringLiteral("12")),
              std::nullopt);
    edit(1, ScheduleColumn::SpacingM, "45");
    edit(2, ScheduleColumn::Poles, "35");
    edit(3, ScheduleColumn::Load, "60");
    edit(3, ScheduleColumn::LoadDistanceKm, "0.4"); // fails its voltage loss on 25 mm²
    ASSERT_TRUE(s.schedule().moveRowUp(3));         // WL1 WL2 WL3 WL4 WL5
    ASSERT_TRUE(s.schedule().moveRowDown(0));       // WL2 WL1 WL3 WL4 WL5
    edit(4, ScheduleColumn::CrossSection, "16");
    edit(0, ScheduleColumn::CrossSection, "99"); // not in the database: not computed
    s.schedule().removeRows({1});                // WL2 WL3 WL4 WL5
    edit(2, ScheduleColumn::SpacingM, "-1");     // a feeder that cannot be computed
    edit(0, ScheduleColumn::CrossSection, "25");
    ASSERT_EQ(s.schedule().duplicateRow(1), 2); // WL2 WL3 WL1 WL4 WL5
    ASSERT_EQ(s.proposals().acceptSizing(s.proposals().proposeSizing({2})), 1);
    // The import template's two circuits, as WL7 and WL8, appended below.
    const QString csv = dir.filePath(QStringLiteral("more.csv"));
    ASSERT_TRUE(s.document().writeImportTemplate(csv));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString content = QString::fromUtf8(file.readAll());
    file.close();
    content.replace(QStringLiteral("\nWL1,"), QStringLiteral("\nWL7,"))
        .replace(QStringLiteral("\nWL2,"), QStringLiteral("\nWL8,"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content.toUtf8());
    file.close();
    ASSERT_TRUE(s.schedule().importCircuits(csv, ImportMode::Append));
    ASSERT_EQ(s.state().rowCount(), 7);

    const QString path = dir.filePath(QStringLiteral("edited.kvp"));
    ASSERT_TRUE(s.document().saveAs(path));
    ProjectSession fresh(f.t.app());
    ASSERT_TRUE(fresh.open(path));
    ASSERT_EQ(fresh.state().rowCount(), s.state().rowCount());
    ASSERT_EQ(s.state().run().results.size(), size_t(s.state().rowCount()));
    ASSERT_EQ(s.state().run().project.circuits.size(), size_t(s.state().rowCount()));
    QSet<int> states;
    for (int row = 0; row < s.state().rowCount(); ++row) {
        for (int c = 0; c < s.schedule().columnCount(); ++c) {
            const CellView edited = s.schedule().cell(row, c);
            const CellView whole = fresh.schedule().cell(row, c);
            EXPECT_EQ(edited.text, whole.text)
                << row << " " << s.schedule().columnHeader(c).toStdString();
            EXPECT_EQ(edited.state, whole.state)
                << row << " " << s.schedule().columnHeader(c).toStdString();
            EXPECT_EQ(edited.toolTip, whole.toolTip)
                << row << " " << s.schedule().columnHeader(c).toStdString();
        }
        // The computed copy of each row (what sizing and the books read) is the row's own.
        EXPECT_EQ(s.state().run().project.circuits[size_t(row)].id,
                  s.state().project().circuits[size_t(row)].id);
        EXPECT_EQ(s.state().run().project.circuits[size_t(row)].inputProblems,
                  fresh.state().run().project.circuits[size_t(row)].inputProblems)
            << row;
        states << int(s.schedule().cell(row, result(s, ResultColumn::Overall)).state);
        EXPECT_EQ(s.state().rowPlotNote(row), fresh.state().rowPlotNote(row)) << row;
    }
    // The rows compared are not all alike: passed, failed and not computed are among them.
    EXPECT_EQ(states, (QSet<int>{int(CellState::Passed), int(CellState::Failed),
                                 int(CellState::NotComputed)}));
}

// The plot of a row, or why there is none.
TEST(ProjectSession, ARowsPlotOrWhyItHasNone) {
    Session f;
    ProjectSession& s = f.s;
    EXPECT_FALSE(s.state().rowPlot(0).has_value());
    EXPECT_EQ(s.state().rowPlotNote(0), QStringLiteral("所选回路不是路灯馈线"));
    EXPECT_EQ(s.state().rowPlotNote(5), QStringLiteral("未选择回路"));
    const int feeder = s.schedule().addFeederCircuit();
    ASSERT_TRUE(s.state().isFeeder(feeder));
    const std::optional<FeederPlot> plot = s.state().rowPlot(feeder);
    ASSERT_TRUE(plot.has_value());
    EXPECT_TRUE(plot->title.startsWith(s.state().project().circuits[size_t(feeder)].id));
    EXPECT_EQ(s.state().rowPlotNote(feeder), QString());
    ASSERT_EQ(
        s.schedule().setCell(feeder, column(s, ScheduleColumn::SpacingM), QStringLiteral("-5")),
        std::nullopt);
    EXPECT_FALSE(s.state().rowPlot(feeder).has_value());
    EXPECT_EQ(s.state().rowPlotNote(feeder), s.state().result(feeder).feeder.reason());
    EXPECT_FALSE(s.state().rowPlotNote(feeder).isEmpty());
}

TEST(ProjectSession, ImportIsAllOrNothingAndExportWritesTheSchedule) {
    QTemporaryDir dir;
    Session f;
    ProjectSession& s = f.s;
    const QString csv = dir.filePath(QStringLiteral("template.csv"));
    ASSERT_TRUE(s.document().writeImportTemplate(csv));
    const QByteArray before = projectToJson(s.state().project());

    // The template's WL1 is already in the schedule: appending it fails whole.
    EXPECT_FALSE(s.schedule().importCircuits(csv, ImportMode::Append));
    EXPECT_EQ(projectToJson(s.state().project()), before);
    const QString broken = dir.filePath(QStringLiteral("broken.xlsx"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("PK\x03\x04 not a workbook");
    file.close();
    EXPECT_FALSE(s.schedule().importCircuits(broken, ImportMode::Replace));
    EXPECT_EQ(projectToJson(s.state().project()), before);
    EXPECT_EQ(f.t.platform().messages.size(), 2u);

    ASSERT_TRUE(s.schedule().importCircuits(csv, ImportMode::Replace));
    EXPECT_EQ(s.state().rowCount(), 2);
    EXPECT_EQ(text(s, 1, ScheduleColumn::LoadKind), loadKindText(true));

    // The same circuits under other identifiers append below.
    QFile read(csv);
    ASSERT_TRUE(read.open(QIODevice::ReadOnly));
    QString content = QString::fromUtf8(read.readAll());
    read.close();
    content.replace(QStringLiteral("\nWL1,"), QStringLiteral("\nWL7,"))
        .replace(QStringLiteral("\nWL2,"), QStringLiteral("\nWL8,"));
    const QString renamed = dir.filePath(QStringLiteral("renamed.csv"));
    QFile out(renamed);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(content.toUtf8());
    out.close();
    ASSERT_TRUE(s.schedule().importCircuits(renamed, ImportMode::Append));
    ASSERT_EQ(s.state().rowCount(), 4);
    EXPECT_EQ(text(s, 3, ScheduleColumn::Id), QStringLiteral("WL8"));
    expectSameInputs(s.state().project().circuits[1], s.state().project().circuits[3]);

    const QString xlsx = dir.filePath(QStringLiteral("schedule.xlsx"));
    ASSERT_TRUE(s.document().exportXlsx(xlsx));
    QFile written(xlsx);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(2) == "PK");
    EXPECT_FALSE(s.document().exportXlsx(dir.filePath(QStringLiteral("no/such/folder/x.xlsx"))));
    EXPECT_EQ(f.t.platform().messages.back().icon, MessageIcon::Critical);
}

// ---- Files with values that could not be read, and circuit identifiers ----

QString writeFile(const QString& path, const QJsonObject& root) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QJsonDocument(root).toJson());
    return path;
}

QJsonObject readFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object();
}

// The schedule shows what the file held where a value could not be read (nothing for one that
// was missing), never the 0 standing in for it; saving writes it back as it was, and the
// circuits stay not computed until the engineer gives the value.
TEST(ProjectSession, AValueTheFileCouldNotReadIsShownAndSavedAsTheFileHeldIt) {
    QTemporaryDir dir;
    Session f;
    ProjectSession& s = f.s;
    QJsonObject root = testing::exampleProjectJson();
    root = testing::withValueAt(root, u"circuits/0/load/spacingM"_qs,
                                QJsonValue(QJsonValue::Undefined));
    root = testing::withValueAt(root, u"circuits/1/load/spacingM"_qs, u"三十"_qs);
    root = testing::withValueAt(root, u"circuits/1/load/connection"_qs,
                                QJsonValue(QJsonValue::Undefined));
    root = testing::withValueAt(root, u"circuits/3"_qs, u"不是回路"_qs);
    root = testing::withValueAt(root, u"voltageLossLimitPercent"_qs, u"3%"_qs);
    const QString path = writeFile(dir.filePath(u"damaged.kvp"_qs), root);

    ASSERT_TRUE(s.open(path));
    EXPECT_TRUE(f.t.platform().questions.empty());
    EXPECT_EQ(text(s, 0, ScheduleColumn::SpacingM), QString());
    EXPECT_EQ(text(s, 1, ScheduleColumn::SpacingM), u"三十"_qs);
    EXPECT_EQ(text(s, 1, ScheduleColumn::Connection), QString());
    EXPECT_EQ(text(s, 3, ScheduleColumn::Poles), QString());
    EXPECT_EQ(s.supply().supplyField(int(SupplyFieldId::VoltageLossLimit)).text, u"3%"_qs);
    const int overall = result(s, ResultColumn::Overall);
    for (int row = 0; row < s.state().rowCount(); ++row) {
        EXPECT_EQ(s.schedule().cell(row, overall).state, CellState::NotComputed) << row;
        EXPECT_TRUE(
            s.schedule().cell(row, overall).toolTip.contains(u"电压损失限值 (%)：不是数值：“3%”"))
            << s.schedule().cell(row, overall).toolTip.toStdString();
    }
    // A circuit the file did not hold as one cannot be edited a value at a time.
    EXPECT_EQ(s.schedule().setCell(3, column(s, ScheduleColumn::Description), u"x"_qs),
              u"WL4 在文件中无法读取，不能编辑；可删除此行"_qs);
    // The load kind chosen again answers for the kind only: its values stay unread.
    EXPECT_EQ(s.schedule().setCell(1, column(s, ScheduleColumn::LoadKind), loadKindText(true)),
              std::nullopt);
    EXPECT_EQ(text(s, 1, ScheduleColumn::SpacingM), u"三十"_qs);
    EXPECT_EQ(s.schedule().cell(1, overall).state, CellState::NotComputed);

    ASSERT_TRUE(s.document().save());
    QJsonObject saved = readFile(path);
    EXPECT_TRUE(testing::valueAt(saved, u"circuits/0/load/spacingM"_qs).isUndefined());
    EXPECT_EQ(testing::valueAt(saved, u"circuits/1/load/spacingM"_qs), QJsonValue(u"三十"_qs));
    EXPECT_TRUE(testing::valueAt(saved, u"circuits/1/load/connection"_qs).isUndefined());
    EXPECT_EQ(testing::valueAt(saved, u"circuits/3"_qs), QJsonValue(u"不是回路"_qs));
    EXPECT_EQ(testing::valueAt(saved, u"voltageLossLimitPercent"_qs), QJsonValue(u"3%"_qs));

    // Given again, each value is taken, shown and saved; the circuits are computed.
    s.schedule().removeRows({3});
    for (const auto& [row, which, given] :
         {std::tuple{0, ScheduleColumn::SpacingM, u"30"_qs},
          std::tuple{1, ScheduleColumn::SpacingM, u"35"_qs},
          std::tuple{1, ScheduleColumn::Connection,
                     connectionText(FeederConnection::PhasesInTurn)}})
        ASSERT_EQ(s.schedule().setCell(row, column(s, which), given), std::nullopt) << row;
    ASSERT_EQ(s.supply().setSupplyField(int(SupplyFieldId::VoltageLossLimit), u"5"_qs),
              std::nullopt);
    EXPECT_EQ(text(s, 0, ScheduleColumn::SpacingM), u"30"_qs);
    EXPECT_EQ(s.supply().supplyField(int(SupplyFieldId::VoltageLossLimit)).text, u"5"_qs);
    for (int row = 0; row < s.state().rowCount(); ++row)
        EXPECT_NE(s.schedule().cell(row, overall).state, CellState::NotComputed)
            << row << s.schedule().cell(row, overall).toolTip.toStdString();
    ASSERT_TRUE(s.document().save());
    saved = readFile(path);
    EXPECT_EQ(testing::valueAt(saved, u"circuits/0/load/spacingM"_qs), QJsonValue(30));
    EXPECT_EQ(testing::valueAt(saved, u"circuits/1/load/spacingM"_qs), QJsonValue(35));
    EXPECT_EQ(testing::valueAt(saved, u"circuits/1/load/connection"_qs),
              QJsonValue(u"phasesInTurn"_qs));
    EXPECT_EQ(testing::valueAt(saved, u"voltageLossLimitPercent"_qs), QJsonValue(5));
}

// An identifier is given and is no other circuit's, compared without surrounding spaces and
// case; the next free WLn counts "wl3" as taken.
TEST(ProjectSession, EachCircuitHasAnIdentifierOfItsOwn) {
    QTemporaryDir dir;
    Session f;
    ProjectSession& s = f.s;
    s.schedule().addLoadCaseCircuit();
    s.schedule().addFeederCircuit(); // WL1 WL2 WL3
    const int id = column(s, ScheduleColumn::Id);
    struct Row {
        const char* typed;
        std::optional<QString> refused;
    };
    const Row rows[] = {
        {"", u"回路编号不能为空"_qs},
        {"  ", u"回路编号不能为空"_qs},
        {"wl3", u"回路编号“wl3”已被第 3 行使用"_qs},
        {" WL2 ", u"回路编号“WL2”已被第 2 行使用"_qs},
        {"WL1", std::nullopt}, // its own
    };
    for (const Row& row : rows)
        EXPECT_EQ(s.schedule().setCell(0, id, QString::fromUtf8(row.typed)), row.refused)
            << row.typed;
    ASSERT_EQ(s.schedule().setCell(2, id, u"wl3"_qs), std::nullopt);
    EXPECT_EQ(s.state().project().circuits[s.schedule().addLoadCaseCircuit()].id, u"WL4"_qs);

    // Appended circuits whose identifiers the schedule has are refused, named.
    const QString csv = dir.filePath(u"more.csv"_qs);
    ASSERT_TRUE(s.document().writeImportTemplate(csv));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString content = QString::fromUtf8(file.readAll());
    file.close();
    content.replace(u"\nWL1,"_qs, u"\nwl2,"_qs).replace(u"\nWL2,"_qs, u"\nWL9,"_qs);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content.toUtf8());
    file.close();
    const QByteArray before = projectToJson(s.state().project());
    EXPECT_FALSE(s.schedule().importCircuits(csv, ImportMode::Append));
    EXPECT_EQ(projectToJson(s.state().project()), before);
    ASSERT_FALSE(f.t.platform().messages.empty());
    EXPECT_TRUE(f.t.platform().messages.back().text.endsWith(u"回路编号已存在：wl2"_qs))
        << f.t.platform().messages.back().text.toStdString();
}

// A file holding one identifier twice opens with the later circuit named and not computed; the
// engineer is asked whether to give it the next free identifier, and only a yes renames it, as
// an edit.
TEST(ProjectSession, RepeatedIdentifiersOfAFileAreRenamedOnlyWhenTheEngineerSaysSo) {
    QTemporaryDir dir;
    Session f;
    ProjectSession& s = f.s;
    testing::RecordingPlatform& platform = f.t.platform();
    QJsonObject root = testing::exampleProjectJson();
    root = testing::withValueAt(root, u"circuits/2/id"_qs, u"wl1"_qs);
    root = testing::withValueAt(root, u"circuits/3/id"_qs, u"WL2"_qs);
    const QString path = writeFile(dir.filePath(u"twice.kvp"_qs), root);
    const int id = column(s, ScheduleColumn::Id);
    const int overall = result(s, ResultColumn::Overall);

    platform.answer = false;
    ASSERT_TRUE(s.open(path));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(u"wl1：回路编号重复：与第 1 个回路相同"))
        << platform.messages[0].text.toStdString();
    ASSERT_EQ(platform.questions.size(), 1u);
    const QString asked = platform.questions[0].text;
    EXPECT_TRUE(asked.contains(u"第 3 行 wl1：回路编号重复：与第 1 个回路相同"))
        << asked.toStdString();
    EXPECT_TRUE(asked.contains(u"第 4 行 WL2：回路编号重复：与第 2 个回路相同"));
    EXPECT_TRUE(asked.endsWith(u"是否将它们依次改为 WL3、WL4？")) << asked.toStdString();
    EXPECT_FALSE(s.document().modified());
    EXPECT_EQ(text(s, 2, ScheduleColumn::Id), u"wl1"_qs);
    EXPECT_EQ(s.schedule().cell(2, overall).state, CellState::NotComputed);
    EXPECT_EQ(s.schedule().cell(3, overall).state, CellState::NotComputed);
    EXPECT_NE(s.schedule().cell(0, overall).state, CellState::NotComputed);
    // Once the first WL1 is called otherwise, the later one is its own and is computed.
    ASSERT_EQ(s.schedule().setCell(0, id, u"WL7"_qs), std::nullopt);
    EXPECT_NE(s.schedule().cell(2, overall).state, CellState::NotComputed)
        << s.schedule().cell(2, overall).toolTip.toStdString();
    EXPECT_EQ(s.schedule().cell(3, overall).state, CellState::NotComputed);
    s.schedule().removeRows({1}); // the first WL2: the later one is its own
    EXPECT_NE(s.schedule().cell(2, overall).state, CellState::NotComputed);

    platform.answer = true;
    ASSERT_TRUE(s.open(path));
    EXPECT_EQ(platform.questions.size(), 2u);
    EXPECT_EQ(text(s, 2, ScheduleColumn::Id), u"WL3"_qs);
    EXPECT_EQ(text(s, 3, ScheduleColumn::Id), u"WL4"_qs);
    EXPECT_TRUE(s.document().modified());
    for (int row = 0; row < s.state().rowCount(); ++row)
        EXPECT_NE(s.schedule().cell(row, overall).state, CellState::NotComputed) << row;
    ASSERT_TRUE(s.document().save());
    const QJsonObject saved = readFile(path);
    EXPECT_EQ(testing::valueAt(saved, u"circuits/2/id"_qs), QJsonValue(u"WL3"_qs));
    EXPECT_EQ(testing::valueAt(saved, u"circuits/3/id"_qs), QJsonValue(u"WL4"_qs));
}

// A value that could not be read goes with its circuit under whatever identifier it is given,
// and into a copy of it; it is not sent to the pages as the number standing in for it. What
// the file said of an identifier stays with the circuit that had it.
TEST(ProjectSession, AnUnreadValueGoesWithItsCircuitUnderAnyName) {
    QTemporaryDir dir;
    Session f;
    ProjectSession& s = f.s;
    QJsonObject root = testing::exampleProjectJson();
    root = testing::withValueAt(root, u"circuits/2/load/currentA"_qs, u"四十"_qs);
    root = testing::withValueAt(root, u"circuits/3/id"_qs, u"wl1"_qs);
    ASSERT_TRUE(s.open(writeFile(dir.filePath(u"p.kvp"_qs), root)));
    const int overall = result(s, ResultColumn::Overall);

    const QByteArray pages = calculationSnapshot(f.t.form());
    const size_t before = f.t.platform().messages.size();
    EXPECT_FALSE(sendCircuitToPages(f.t.app(), s, 2));
    ASSERT_EQ(f.t.platform().messages.size(), before + 1);
    EXPECT_TRUE(f.t.platform().messages.back().text.contains(u"WL3 负荷(A或kW)：不是数值：“四十”"))
        << f.t.platform().messages.back().text.toStdString();
    EXPECT_EQ(calculationSnapshot(f.t.form()), pages);

    ASSERT_EQ(s.schedule().setCell(2, column(s, ScheduleColumn::Id), u"WL9"_qs), std::nullopt);
    const QString renamed = s.schedule().cell(2, overall).toolTip;
    EXPECT_TRUE(renamed.contains(u"WL9 负荷(A或kW)：不是数值：“四十”")) << renamed.toStdString();
    EXPECT_FALSE(renamed.contains(u"WL3 负荷")) << renamed.toStdString();

    ASSERT_EQ(s.schedule().duplicateRow(2), 3); // WL1 WL2 WL9 WL3 wl1
    EXPECT_EQ(text(s, 3, ScheduleColumn::Id), u"WL3"_qs);
    EXPECT_EQ(text(s, 3, ScheduleColumn::Load), u"四十"_qs);
    EXPECT_EQ(s.schedule().cell(3, overall).state, CellState::NotComputed);
    EXPECT_TRUE(
        s.schedule().cell(3, overall).toolTip.contains(u"WL3 负荷(A或kW)：不是数值：“四十”"));
    // The copy of the circuit that repeated WL1 has an identifier of its own and is computed.
    ASSERT_EQ(s.schedule().cell(4, overall).state, CellState::NotComputed);
    ASSERT_EQ(s.schedule().duplicateRow(4), 5);
    EXPECT_EQ(text(s, 5, ScheduleColumn::Id), u"WL4"_qs);
    EXPECT_NE(s.schedule().cell(5, overall).state, CellState::NotComputed)
        << s.schedule().cell(5, overall).toolTip.toStdString();
}

} // namespace
} // namespace korvane
