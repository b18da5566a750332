#include "app/project_session.h"

#include "base/number_format.h"
#include "project/inputs/schedule_columns.h"
#include "project_files/project_file.h"
#include "support/result_columns.h"
#include "support/test_app.h"

#include <QJsonObject>

namespace korvane {
namespace {

using testing::TestApp;

struct Session {
    TestApp t;
    ProjectSession s{t.app()};
};

int column(const ProjectSession& s, ScheduleColumn which) {
    for (int c = 0; c < s.schedule().inputColumnCount(); ++c)
        if (s.schedule().columnHeader(c) == scheduleHeader(which))
            return c;
    ADD_FAILURE() << "no column " << scheduleHeader(which).toStdString();
    return -1;
}

const LampFeeder& feederOf(const ProjectSession& s, int row) {
    return std::get<LampFeeder>(s.state().project().circuits.at(size_t(row)).load);
}

QString poleText(const ProjectSession& s, int row, int pole, PoleColumn c) {
    return s.poles().poleCell(row, pole, int(c)).text;
}

// Every cell of a schedule row as shown.
QStringList rowTexts(const ProjectSession& s, int row) {
    QStringList texts;
    for (int c = 0; c < s.schedule().columnCount(); ++c)
        texts << s.schedule().cell(row, c).text;
    return texts;
}

// The example feeder (20 poles of one 150 W lamp, 20 m to the first pole, 30 m spacing, phases in
// turn from L1) added as WL2 and turned into its pole list.
int listedFeeder(ProjectSession& s) {
    const int row = s.schedule().addFeederCircuit();
    EXPECT_EQ(s.poles().convertToPoleList(row), std::nullopt);
    EXPECT_TRUE(s.poles().hasPoleList(row));
    return row;
}

TEST(ProjectSessionPoles, AnEqualFeederShowsItsGeneratedListUntilConverted) {
    Session f;
    ProjectSession& s = f.s;
    EXPECT_EQ(s.poles().poleRowCount(0), 0); // a load case has no poles
    const int row = s.schedule().addFeederCircuit();
    ASSERT_EQ(s.poles().poleRowCount(row), 20);
    EXPECT_FALSE(s.poles().hasPoleList(row));
    EXPECT_FALSE(s.poles().poleCell(row, 3, int(PoleColumn::SpanM)).editable);
    EXPECT_EQ(s.poles().setPoleCell(row, 3, int(PoleColumn::SpanM), QStringLiteral("25")),
              QStringLiteral("WL2 为等距布置的馈线，请先“转为杆位表”"));
    EXPECT_EQ(s.poles().insertPole(row, 3),
              QStringLiteral("WL2 为等距布置的馈线，请先“转为杆位表”"));
    EXPECT_EQ(s.poles().convertToPoleList(0), QStringLiteral("所选回路不是路灯馈线"));

    // Converting keeps every figure of the schedule: the list is the same feeder.
    const QStringList before = rowTexts(s, row);
    const quint64 revision = s.document().revision();
    ASSERT_EQ(s.poles().convertToPoleList(row), std::nullopt);
    EXPECT_GT(s.document().revision(), revision);
    EXPECT_TRUE(s.document().modified());
    const QStringList after = rowTexts(s, row);
    ASSERT_EQ(before.size(), after.size());
    for (int c = s.schedule().inputColumnCount(); c < s.schedule().columnCount(); ++c)
        EXPECT_EQ(after[c], before[c]) << s.schedule().columnHeader(c).toStdString();
    EXPECT_EQ(s.poles().convertToPoleList(row), QStringLiteral("WL2 已由杆位表给出"));

    // The equal-pole cells are the list's now: shown so, and refused with the reason.
    for (ScheduleColumn which : {ScheduleColumn::Poles, ScheduleColumn::SpacingM,
                                 ScheduleColumn::LampPowerW, ScheduleColumn::FirstPoleM}) {
        const CellView cell = s.schedule().cell(row, column(s, which));
        EXPECT_EQ(cell.text, QStringLiteral("由杆位表给出"));
        EXPECT_FALSE(cell.editable);
        EXPECT_EQ(
            s.schedule().setCell(row, column(s, which), QStringLiteral("12")),
            QStringLiteral("WL2 的“%1”由杆位表给出，请在杆位表中编辑").arg(scheduleHeader(which)));
    }
    // The rotation still belongs to the schedule.
    EXPECT_TRUE(s.schedule().cell(row, column(s, ScheduleColumn::StartPhase)).editable);

    // The generated list: poles "1" … "20", 20 m then 30 m, one 150 W lamp each; the phase of
    // an unfixed pole is the rotation's, greyed: pole 5 is L(1 + 4 mod 3) = L2.
    EXPECT_EQ(poleText(s, row, 0, PoleColumn::Run), QStringLiteral("干线"));
    EXPECT_EQ(poleText(s, row, 4, PoleColumn::Id), QStringLiteral("5"));
    EXPECT_EQ(poleText(s, row, 0, PoleColumn::SpanM), QStringLiteral("20"));
    EXPECT_EQ(poleText(s, row, 4, PoleColumn::SpanM), QStringLiteral("30"));
    EXPECT_EQ(poleText(s, row, 4, PoleColumn::PowerW1), QStringLiteral("150"));
    const CellView phase = s.poles().poleCell(row, 4, int(PoleColumn::Phase));
    EXPECT_EQ(phase.text, QStringLiteral("L2"));
    EXPECT_TRUE(phase.derived);
    // Distances along the trunk: 20 + 4 × 30 = 140 m at pole 5.
    EXPECT_EQ(poleText(s, row, 4, PoleColumn::DistanceM), formatFixed(140.0, 1));
}

TEST(ProjectSessionPoles, EditsThatCannotBeTakenSayWhyAndChangeNothing) {
    Session f;
    ProjectSession& s = f.s;
    const int row = listedFeeder(s);
    ASSERT_EQ(s.poles().startBranch(row, 4), std::nullopt); // 支线1 from pole "5", its pole "5-1"
    ASSERT_EQ(s.poles().poleRowCount(row), 21);
    const int branchPole = 20;
    ASSERT_EQ(poleText(s, row, branchPole, PoleColumn::Id), QStringLiteral("5-1"));
    ASSERT_EQ(poleText(s, row, branchPole, PoleColumn::FromPole), QStringLiteral("5"));

    const struct {
        int pole;
        PoleColumn column;
        const char* text;
        const char* refusal;
    } cases[] = {
        {3, PoleColumn::SpanM, "-5", "WL2 杆位表第 4 行“杆距(m)”：不能为负：-5"},
        {3, PoleColumn::SpanM, "3O", "WL2 杆位表第 4 行“杆距(m)”：不是数值：3O"},
        {3, PoleColumn::Id, "2", "WL2 杆位表第 4 行“杆号”：杆号“2”已用于干线第 2 根杆"},
        {3, PoleColumn::Id, " 5-1 ", "WL2 杆位表第 4 行“杆号”：杆号“5-1”已用于支线1第 1 根杆"},
        {3, PoleColumn::Id, "", "WL2 杆位表第 4 行“杆号”：杆号不能为空"},
        {3, PoleColumn::Phase, "L4",
         "WL2 杆位表第 4 行“相别”：应为 L1、L2、L3 或留空（按相序轮换）：L4"},
        {3, PoleColumn::Count1, "2.5", "WL2 杆位表第 4 行“灯具数量”：应为 1 至 100 的整数：2.5"},
        {3, PoleColumn::PowerFactor1, "1.2",
         "WL2 杆位表第 4 行“功率因数”：功率因数不能大于 1：1.2"},
        {3, PoleColumn::PowerW2, "100", "WL2 杆位表第 4 行“灯具2功率(W)”：请先填写灯具数量"},
        {3, PoleColumn::Run, "B", "WL2 杆位表第 4 行“支线”：此处不可编辑"},
        {3, PoleColumn::LossL1, "1", "WL2 杆位表第 4 行“ΔuL1(%)”：此处不可编辑"},
        {branchPole, PoleColumn::FromPole, "N40",
         "WL2 杆位表第 21 行“起始杆号”：支线“支线1”的起始杆“N40”不存在"},
        {branchPole, PoleColumn::FromPole, "5-1",
         "WL2 杆位表第 21 行“起始杆号”：支线“支线1”不能从其自身或其下级支线的杆“5-1”引出"},
        {branchPole, PoleColumn::Run, "干线", "WL2 杆位表第 21 行“支线”：支线“干线”已存在"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QJsonObject before = circuitToJson(s.state().project().circuits[size_t(row)]);
        const quint64 revision = s.document().revision();
        EXPECT_EQ(s.poles().setPoleCell(row, c.pole, int(c.column), QString::fromUtf8(c.text)),
                  QString::fromUtf8(c.refusal));
        EXPECT_EQ(circuitToJson(s.state().project().circuits[size_t(row)]), before);
        EXPECT_EQ(s.document().revision(), revision);
    }

    // Structural edits refused, with the reason.
    const QJsonObject before = circuitToJson(s.state().project().circuits[size_t(row)]);
    EXPECT_EQ(s.poles().deletePole(row, 4),
              QStringLiteral("WL2 杆位表第 5 行：杆“5”有支线“支线1”引出，不能删除；请先删除支线"));
    EXPECT_EQ(s.poles().deleteBranch(row, 2), QStringLiteral("WL2 杆位表第 3 行：干线不能删除"));
    ASSERT_EQ(s.poles().startBranch(row, branchPole), std::nullopt); // 支线2 from "5-1"
    EXPECT_EQ(
        s.poles().deleteBranch(row, branchPole),
        QStringLiteral("WL2 杆位表第 21 行：支线“支线2”从支线“支线1”引出，不能删除；请先删除它们"));
    ASSERT_EQ(s.poles().deleteBranch(row, 21), std::nullopt); // 支线2 goes
    EXPECT_EQ(circuitToJson(s.state().project().circuits[size_t(row)]), before);
}

TEST(ProjectSessionPoles, EditsAreTakenAndRecomputedAtOnce) {
    Session f;
    ProjectSession& s = f.s;
    const int row = listedFeeder(s);
    ASSERT_NE(s.state().feederResult(row), nullptr);

    // A pole number changed carries the branches leaving it along.
    ASSERT_EQ(s.poles().startBranch(row, 1), std::nullopt); // from "2"
    ASSERT_EQ(s.poles().setPoleCell(row, 1, int(PoleColumn::Id), QStringLiteral("N2")),
              std::nullopt);
    EXPECT_EQ(feederOf(s, row).poleList.runs[1].fromPole, QStringLiteral("N2"));

    // The new branch pole has no span until the engineer gives one: the feeder is not computed
    // and says why.
    const int branchPole = s.poles().poleRowCount(row) - 1;
    EXPECT_EQ(poleText(s, row, branchPole, PoleColumn::SpanM), QString());
    EXPECT_EQ(s.state().feederResult(row), nullptr);
    EXPECT_FALSE(s.state().rowPlotNote(row).isEmpty());
    // 25 m from pole N2 (20 + 30 m from the supply): 75 m; the regional decimal sign is read.
    ASSERT_EQ(s.poles().setPoleCell(row, branchPole, int(PoleColumn::SpanM), QStringLiteral("25")),
              std::nullopt);
    ASSERT_NE(s.state().feederResult(row), nullptr) << s.state().rowPlotNote(row).toStdString();
    EXPECT_EQ(poleText(s, row, branchPole, PoleColumn::DistanceM), formatFixed(75.0, 1));

    // The branch's cable: the trunk's, greyed, until it is given.
    const CellView cable = s.poles().poleCell(row, branchPole, int(PoleColumn::RunCable));
    EXPECT_TRUE(cable.derived);
    EXPECT_EQ(cable.text, s.state().project().circuits[size_t(row)].line.cable.cableType);

    // A fixed phase, then the rotation again.
    ASSERT_EQ(s.poles().setPoleCell(row, 0, int(PoleColumn::Phase), QStringLiteral("l3")),
              std::nullopt);
    EXPECT_EQ(feederOf(s, row).poleList.runs[0].poles[0].fixedPhase, Phase::L3);
    EXPECT_FALSE(s.poles().poleCell(row, 0, int(PoleColumn::Phase)).derived);
    ASSERT_EQ(s.poles().setPoleCell(row, 0, int(PoleColumn::Phase), QString()), std::nullopt);
    EXPECT_FALSE(feederOf(s, row).poleList.runs[0].poles[0].fixedPhase.has_value());

    // A second kind of lamp: its power and factors are missing until given.
    ASSERT_EQ(s.poles().setPoleCell(row, 2, int(PoleColumn::Count2), QStringLiteral("2")),
              std::nullopt);
    ASSERT_EQ(feederOf(s, row).poleList.runs[0].poles[2].lamps.size(), 2U);
    EXPECT_EQ(poleText(s, row, 2, PoleColumn::PowerW2), QString());
    EXPECT_EQ(s.state().feederResult(row), nullptr);
    ASSERT_EQ(s.poles().setPoleCell(row, 2, int(PoleColumn::Count2), QStringLiteral("0")),
              std::nullopt);
    EXPECT_EQ(feederOf(s, row).poleList.runs[0].poles[2].lamps.size(), 1U);

    // A pole inserted after the first: the next free number, no span yet; then deleted.
    const int count = s.poles().poleRowCount(row);
    ASSERT_EQ(s.poles().insertPole(row, 0), std::nullopt);
    EXPECT_EQ(s.poles().poleRowCount(row), count + 1);
    EXPECT_EQ(poleText(s, row, 1, PoleColumn::Id), QStringLiteral("2")); // free since N2
    EXPECT_EQ(poleText(s, row, 1, PoleColumn::SpanM), QString());
    ASSERT_EQ(s.poles().deletePole(row, 1), std::nullopt);
    EXPECT_EQ(s.poles().poleRowCount(row), count);
    // The branch's only pole deleted: the branch goes with it.
    ASSERT_EQ(s.poles().deletePole(row, branchPole), std::nullopt);
    EXPECT_EQ(feederOf(s, row).poleList.runs.size(), 1U);
    EXPECT_TRUE(s.document().modified());
}

TEST(ProjectSessionPoles, ABranchedListShowsDistancesAlongItsPaths) {
    Session f;
    ProjectSession& s = f.s;
    const int row = s.schedule().addFeederCircuit();
    // The trunk 20, 30, 30 m; a branch of 25, 25 m from its second pole (hand-summed: the trunk
    // at 20, 50, 80 m, the branch at 50 + 25 = 75 and 100 m).
    PoleList list;
    auto pole = [](const char* id, double span) {
        return FeederPole{QString::fromLatin1(id), span, {LampGroup{1, 150.0, 0.9, 1.0, {}}}, {}};
    };
    list.runs.push_back(
        {QStringLiteral("干线"), {}, {}, {pole("1", 20), pole("2", 30), pole("3", 30)}});
    list.runs.push_back(
        {QStringLiteral("B1"), QStringLiteral("2"), {}, {pole("B1-1", 25), pole("B1-2", 25)}});
    ASSERT_EQ(s.poles().setPoleList(row, list), std::nullopt);
    ASSERT_NE(s.state().feederResult(row), nullptr) << s.state().rowPlotNote(row).toStdString();
    const double distances[] = {20.0, 50.0, 80.0, 75.0, 100.0};
    ASSERT_EQ(s.poles().poleRowCount(row), 5);
    for (int p = 0; p < 5; ++p)
        EXPECT_EQ(poleText(s, row, p, PoleColumn::DistanceM), formatFixed(distances[p], 1)) << p;
    EXPECT_EQ(poleText(s, row, 3, PoleColumn::Run), QStringLiteral("B1"));
    EXPECT_EQ(poleText(s, row, 3, PoleColumn::FromPole), QStringLiteral("2"));
    EXPECT_EQ(poleText(s, row, 4, PoleColumn::Run), QString());
    // The worst pole is marked: one cell of its row is judged, the others are not.
    const int worst = s.poles().worstPoleRow(row);
    ASSERT_GE(worst, 0);
    int judged = 0;
    for (int c = int(PoleColumn::LossL1); c <= int(PoleColumn::LossL3); ++c)
        judged += s.poles().poleCell(row, worst, c).state == CellState::Passed ? 1 : 0;
    EXPECT_EQ(judged, 1);

    // A list that is not a tree is refused whole, with the problems.
    PoleList loose = list;
    loose.runs[1].fromPole = QStringLiteral("N40");
    const std::optional<QString> refused = s.poles().setPoleList(row, loose);
    ASSERT_TRUE(refused.has_value());
    EXPECT_TRUE(refused->startsWith(QStringLiteral("WL2 的杆位表有误：")));
    EXPECT_TRUE(feederOf(s, row).poleList == list);
}

TEST(ProjectSessionPoles, PhaseBalancingIsAppliedOnlyWhenAccepted) {
    Session f;
    ProjectSession& s = f.s;
    EXPECT_EQ(s.proposals().proposePhaseBalance(0).proposal.reason(),
              QStringLiteral("所选回路不是路灯馈线"));
    const int row = listedFeeder(s);
    // The first pole fixed on L2; the others follow the rotation until a proposal fixes them.
    ASSERT_EQ(s.poles().setPoleCell(row, 0, int(PoleColumn::Phase), QStringLiteral("L2")),
              std::nullopt);
    const LampFeeder before = feederOf(s, row);
    const PhaseBalanceProposal proposal = s.proposals().proposePhaseBalance(row);
    ASSERT_TRUE(proposal.proposal.has_value()) << proposal.proposal.reason().toStdString();
    EXPECT_EQ(proposal.id, QStringLiteral("WL2"));

    // Cancelled: not accepted, nothing changes.
    EXPECT_TRUE(feederOf(s, row) == before);

    // Accepted after another edit: refused, the feeder is no longer the one proposed from.
    ASSERT_EQ(s.poles().setPoleCell(row, 1, int(PoleColumn::SpanM), QStringLiteral("31")),
              std::nullopt);
    const quint64 revision = s.document().revision();
    EXPECT_FALSE(s.proposals().acceptPhaseBalance(proposal));
    EXPECT_EQ(s.document().revision(), revision);

    // Accepted: the balanced feeder, as one edit.
    const PhaseBalanceProposal again = s.proposals().proposePhaseBalance(row);
    ASSERT_TRUE(again.proposal.has_value());
    EXPECT_TRUE(s.proposals().acceptPhaseBalance(again));
    EXPECT_TRUE(feederOf(s, row) == again.proposal->balanced);
    EXPECT_EQ(s.document().revision(), revision + 1);
    for (int p = 0; p < s.poles().poleRowCount(row); ++p)
        EXPECT_FALSE(s.poles().poleCell(row, p, int(PoleColumn::Phase)).derived) << p;
    EXPECT_EQ(poleText(s, row, 0, PoleColumn::Phase), QStringLiteral("L2")); // fixed, kept
}

TEST(ProjectSessionPoles, APoleListFileIsImportedWholeOrNotAtAll) {
    Session f;
    ProjectSession& s = f.s;
    const int row = s.schedule().addFeederCircuit();
    const QJsonObject before = circuitToJson(s.state().project().circuits[size_t(row)]);
    EXPECT_FALSE(
        s.poles().importPoleListFile(row, QStringLiteral(KORVANE_SOURCE_DIR "/docs/no_such.csv")));
    ASSERT_EQ(f.t.platform().messages.size(), 1U);
    EXPECT_TRUE(f.t.platform().messages[0].text.startsWith(QStringLiteral("未能导入杆位表")));
    EXPECT_TRUE(f.t.platform().messages[0].text.contains(QStringLiteral("WL2 未作任何改动")));
    EXPECT_EQ(circuitToJson(s.state().project().circuits[size_t(row)]), before);
    EXPECT_FALSE(s.poles().hasPoleList(row));

    // The example survey: 46 poles; the trunk by chainage, N1 at 20 m and N2 at 52 m, so spans
    // of 20 and 52 − 20 = 32 m.
    ASSERT_TRUE(s.poles().importPoleListFile(
        row, QStringLiteral(KORVANE_SOURCE_DIR "/docs/examples/branched_feeder_poles.csv")));
    EXPECT_TRUE(s.poles().hasPoleList(row));
    EXPECT_EQ(s.poles().poleRowCount(row), 46);
    EXPECT_EQ(poleText(s, row, 0, PoleColumn::Id), QStringLiteral("N1"));
    EXPECT_EQ(poleText(s, row, 0, PoleColumn::SpanM), QStringLiteral("20"));
    EXPECT_EQ(poleText(s, row, 1, PoleColumn::SpanM), QStringLiteral("32"));
    EXPECT_TRUE(s.document().modified());
}

} // namespace
} // namespace korvane
