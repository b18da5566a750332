// The edits of a feeder row's pole list: its cells, its poles and branches, the conversion of an
// equal feeder and the list taken whole (imported). Each refusal names the circuit, the row of
// the list and the field.

#include "app/pole_list_editor.h"

#include "app/pole_lists.h"
#include "base/number_format.h"
#include "project/inputs/schedule_columns.h"
#include "project/project_compute.h"
#include "project_files/imports/pole_import.h"

#include <QDir>

#include <cmath>
#include <limits>

namespace korvane {

namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

} // namespace

void PoleListEditor::replaceFeeder(int row, LampFeeder feeder) {
    ProjectCircuit& c = state_.project().circuits[size_t(row)];
    std::get<LampFeeder>(c.load) = std::move(feeder);
    state_.computeRow(row);
    document_.rowEdited(row);
    document_.rowsChanged(row, row);
}

std::optional<QString> PoleListEditor::setPoleCell(int row, int poleRow, int column,
                                                   const QString& text) {
    if (auto why = poleListNotEditable(row))
        return why;
    const ProjectCircuit& circuit = state_.project().circuits[size_t(row)];
    const auto [run, place] = poleAt(row, poleRow);
    if (run < 0 || column < 0 || column >= kPoleColumnCount)
        return QStringLiteral("%1 杆位表无此单元格").arg(circuit.id);
    // "WL3 杆位表第 4 行“杆距(m)”：…"
    auto refused = [&](const QString& why) {
        return QStringLiteral("%1 杆位表第 %2 行“%3”：%4")
            .arg(circuit.id, QString::number(poleRow + 1), poleColumnHeader(column), why);
    };
    if (column >= kFirstPoleResultColumn || !poleCell(row, poleRow, column).editable)
        return refused(QStringLiteral("此处不可编辑"));

    LampFeeder feeder = std::get<LampFeeder>(circuit.load);
    PoleList& list = feeder.poleList;
    FeederRun& r = list.runs[size_t(run)];
    FeederPole& pole = r.poles[size_t(place)];
    const QString trimmed = text.trimmed();
    auto number = [&](double& into, bool allowEmpty) -> std::optional<QString> {
        if (trimmed.isEmpty()) {
            if (!allowEmpty)
                return refused(QStringLiteral("不能为空"));
            into = kMissing;
            return std::nullopt;
        }
        const std::optional<double> value = readStrict(trimmed);
        if (!value || !std::isfinite(*value))
            return refused(QStringLiteral("不是数值：%1").arg(trimmed.left(40)));
        if (*value < 0.0)
            return refused(QStringLiteral("不能为负：%1").arg(trimmed.left(40)));
        into = *value;
        return std::nullopt;
    };

    using P = PoleColumn;
    const P which = P(column);
    switch (which) {
    case P::Run: {
        if (trimmed.isEmpty())
            return refused(QStringLiteral("支线名称不能为空"));
        for (size_t i = 0; i < list.runs.size(); ++i)
            if (int(i) != run && samePoleId(list.runs[i].name, trimmed))
                return refused(QStringLiteral("支线“%1”已存在").arg(trimmed));
        r.name = trimmed;
        break;
    }
    case P::FromPole: {
        const auto [fromRun, fromPlace] = findPole(list, trimmed);
        if (fromRun < 0)
            return refused(QStringLiteral("支线“%1”的起始杆“%2”不存在").arg(r.name, trimmed));
        // A branch cannot leave its own poles, nor those of a branch leaving from it.
        for (int at = fromRun, steps = 0; at > 0 && steps <= int(list.runs.size());
             at = findPole(list, list.runs[size_t(at)].fromPole).first, ++steps)
            if (at == run)
                return refused(QStringLiteral("支线“%1”不能从其自身或其下级支线的杆“%2”引出")
                                   .arg(r.name, trimmed));
        r.fromPole = list.runs[size_t(fromRun)].poles[size_t(fromPlace)].id;
        break;
    }
    case P::Id: {
        if (trimmed.isEmpty())
            return refused(QStringLiteral("杆号不能为空"));
        const auto [otherRun, otherPlace] = findPole(list, trimmed);
        if (otherRun >= 0 && (otherRun != run || otherPlace != place))
            return refused(QStringLiteral("杆号“%1”已用于%2第 %3 根杆")
                               .arg(trimmed, list.runs[size_t(otherRun)].name)
                               .arg(otherPlace + 1));
        // The branches leaving the pole follow it to its new number.
        for (FeederRun& other : list.runs)
            if (!other.fromPole.isEmpty() && samePoleId(other.fromPole, pole.id))
                other.fromPole = trimmed;
        pole.id = trimmed;
        break;
    }
    case P::SpanM:
        if (auto why = number(pole.spanM, true))
            return why;
        break;
    case P::Count1:
    case P::Count2: {
        const size_t group = which == P::Count2 ? 1 : 0;
        double count = 0.0;
        if (auto why = number(count, true))
            return why;
        if (!std::isfinite(count) || count == 0.0) {
            // No lamps of this kind on the pole: the group goes (the second moves up).
            if (group < pole.lamps.size())
                pole.lamps.erase(pole.lamps.begin() + qsizetype(group));
            break;
        }
        if (count != std::floor(count) || count > kMaxLampsPerPole)
            return refused(QStringLiteral("应为 1 至 %1 的整数：%2")
                               .arg(kMaxLampsPerPole)
                               .arg(trimmed.left(40)));
        if (group >= pole.lamps.size()) {
            // A new kind of lamp: its power and factors are missing until given.
            pole.lamps.push_back(LampGroup{int(count), kMissing, kMissing, kMissing, {}});
        } else {
            pole.lamps[group].count = int(count);
        }
        break;
    }
    case P::PowerW1:
    case P::PowerFactor1:
    case P::BallastFactor1:
    case P::PowerW2:
    case P::PowerFactor2:
    case P::BallastFactor2: {
        const size_t group = which >= P::Count2 ? 1 : 0;
        if (group >= pole.lamps.size())
            return refused(QStringLiteral("请先填写灯具数量"));
        LampGroup& g = pole.lamps[group];
        double* fields[] = {&g.powerW, &g.powerFactor, &g.ballastFactor};
        const int field = column - int(group == 0 ? P::PowerW1 : P::PowerW2);
        if (auto why = number(*fields[field], true))
            return why;
        if (field == 1 && std::isfinite(g.powerFactor) && g.powerFactor > 1.0)
            return refused(QStringLiteral("功率因数不能大于 1：%1").arg(trimmed.left(40)));
        break;
    }
    case P::Phase: {
        if (trimmed.isEmpty()) {
            pole.fixedPhase.reset();
            break;
        }
        std::optional<Phase> fixed;
        for (Phase p : {Phase::L1, Phase::L2, Phase::L3})
            if (trimmed.compare(phaseText(p), Qt::CaseInsensitive) == 0)
                fixed = p;
        if (!fixed)
            return refused(
                QStringLiteral("应为 L1、L2、L3 或留空（按相序轮换）：%1").arg(trimmed.left(40)));
        pole.fixedPhase = fixed;
        break;
    }
    case P::RunCable:
    case P::RunSection: {
        if (trimmed.isEmpty()) {
            if (which == P::RunCable)
                r.cable.reset(); // the cable of the run it leaves
            else if (r.cable)
                r.cable->crossSection.clear();
            break;
        }
        CableIdentity cable = r.cable ? *r.cable : runCable(list, run, circuit.line.cable);
        cable.lossType = circuit.line.cable.lossType;
        if (which == P::RunCable) {
            if (cable.cableType != trimmed)
                cable.crossSection.clear(); // the section of another type is not this one's
            cable.cableType = trimmed;
        } else {
            cable.crossSection = trimmed;
        }
        r.cable = cable;
        break;
    }
    case P::DistanceM:
    case P::LossL1:
    case P::LossL2:
    case P::LossL3:
        return refused(QStringLiteral("此处不可编辑"));
    }
    if (sameFeeder(feeder, std::get<LampFeeder>(circuit.load)))
        return std::nullopt;
    replaceFeeder(row, std::move(feeder));
    return std::nullopt;
}

std::optional<QString> PoleListEditor::insertPole(int row, int poleRow) {
    if (auto why = poleListNotEditable(row))
        return why;
    const ProjectCircuit& circuit = state_.project().circuits[size_t(row)];
    LampFeeder feeder = std::get<LampFeeder>(circuit.load);
    PoleList& list = feeder.poleList;
    auto [run, place] = poleAt(row, poleRow);
    if (run < 0) {
        run = 0;
        place = -1;
    }
    const QString after =
        place >= 0 ? list.runs[size_t(run)].poles[size_t(place)].id : QStringLiteral("0");
    FeederPole pole;
    pole.id = nextFreePoleId(list, after);
    pole.spanM = kMissing;
    auto& poles = list.runs[size_t(run)].poles;
    poles.insert(poles.begin() + (place + 1), std::move(pole));
    replaceFeeder(row, std::move(feeder));
    return std::nullopt;
}

std::optional<QString> PoleListEditor::deletePole(int row, int poleRow) {
    if (auto why = poleListNotEditable(row))
        return why;
    const ProjectCircuit& circuit = state_.project().circuits[size_t(row)];
    const auto [run, place] = poleAt(row, poleRow);
    if (run < 0)
        return QStringLiteral("%1 杆位表：请先选择要删除的杆").arg(circuit.id);
    LampFeeder feeder = std::get<LampFeeder>(circuit.load);
    PoleList& list = feeder.poleList;
    FeederRun& r = list.runs[size_t(run)];
    const QString id = r.poles[size_t(place)].id;
    const QStringList leaving = branchesFrom(list, id);
    if (!leaving.isEmpty())
        return QStringLiteral("%1 杆位表第 %2 行：杆“%3”有支线%4引出，不能删除；请先删除支线")
            .arg(circuit.id, QString::number(poleRow + 1), id,
                 QStringLiteral("“") + leaving.join(QStringLiteral("”、“")) + QStringLiteral("”"));
    if (run == 0 && r.poles.size() == 1)
        return QStringLiteral("%1 杆位表第 %2 行：干线至少要有一根杆")
            .arg(circuit.id, QString::number(poleRow + 1));
    r.poles.erase(r.poles.begin() + place);
    if (run > 0 && r.poles.empty())
        list.runs.erase(list.runs.begin() + run); // a branch without poles is no branch
    replaceFeeder(row, std::move(feeder));
    return std::nullopt;
}

std::optional<QString> PoleListEditor::startBranch(int row, int poleRow) {
    if (auto why = poleListNotEditable(row))
        return why;
    const ProjectCircuit& circuit = state_.project().circuits[size_t(row)];
    const auto [run, place] = poleAt(row, poleRow);
    if (run < 0)
        return QStringLiteral("%1 杆位表：请先选择支线引出的杆").arg(circuit.id);
    LampFeeder feeder = std::get<LampFeeder>(circuit.load);
    PoleList& list = feeder.poleList;
    if (int(list.runs.size()) >= kMaxFeederRuns)
        return QStringLiteral("%1 杆位表：支线不能多于 %2 条")
            .arg(circuit.id)
            .arg(kMaxFeederRuns - 1);
    FeederRun branch;
    branch.name = nextFreeRunName(list);
    branch.fromPole = list.runs[size_t(run)].poles[size_t(place)].id;
    FeederPole first;
    first.id = nextFreePoleId(list, branch.fromPole + QStringLiteral("-0"));
    first.spanM = kMissing;
    branch.poles.push_back(std::move(first));
    list.runs.push_back(std::move(branch));
    replaceFeeder(row, std::move(feeder));
    return std::nullopt;
}

std::optional<QString> PoleListEditor::deleteBranch(int row, int poleRow) {
    if (auto why = poleListLocked(row))
        return why;
    const ProjectCircuit& circuit = state_.project().circuits[size_t(row)];
    if (!hasPoleList(row))
        return QStringLiteral("%1 为等距布置的馈线，没有支线").arg(circuit.id);
    const auto [run, place] = poleAt(row, poleRow);
    if (run < 0)
        return QStringLiteral("%1 杆位表：请先选择要删除的支线上的杆").arg(circuit.id);
    if (run == 0)
        return QStringLiteral("%1 杆位表第 %2 行：干线不能删除")
            .arg(circuit.id, QString::number(poleRow + 1));
    LampFeeder feeder = std::get<LampFeeder>(circuit.load);
    PoleList& list = feeder.poleList;
    const FeederRun& r = list.runs[size_t(run)];
    QStringList leaving;
    for (const FeederPole& p : r.poles)
        leaving << branchesFrom(list, p.id);
    if (!leaving.isEmpty())
        return QStringLiteral("%1 杆位表第 %2 行：支线%3从支线“%4”引出，不能删除；请先删除它们")
            .arg(circuit.id, QString::number(poleRow + 1),
                 QStringLiteral("“") + leaving.join(QStringLiteral("”、“")) + QStringLiteral("”"),
                 r.name);
    list.runs.erase(list.runs.begin() + run);
    replaceFeeder(row, std::move(feeder));
    return std::nullopt;
}

std::optional<QString> PoleListEditor::convertToPoleList(int row) {
    if (auto why = poleListLocked(row))
        return why;
    const ProjectCircuit& circuit = state_.project().circuits[size_t(row)];
    if (hasPoleList(row))
        return QStringLiteral("%1 已由杆位表给出").arg(circuit.id);
    // The list is made from the feeder's values: they must all have been read.
    if (!state_.run().project.circuits[size_t(row)].inputProblems.isEmpty())
        return QStringLiteral("%1 回路数据有误，不能转为杆位表：\n%2")
            .arg(circuit.id, state_.run().project.circuits[size_t(row)].inputProblems.join(u'\n'));
    LampFeeder feeder = std::get<LampFeeder>(circuit.load);
    if (feeder.poles <= 0 || feeder.poles > kMaxFeederPoles)
        return QStringLiteral("%1 的“%2”应为 1 至 %3：%4")
            .arg(circuit.id, scheduleHeader(ScheduleColumn::Poles))
            .arg(kMaxFeederPoles)
            .arg(feeder.poles);
    feeder.poleList = generatedPoleList(feeder);
    replaceFeeder(row, std::move(feeder));
    return std::nullopt;
}

std::optional<QString> PoleListEditor::setPoleList(int row, PoleList list) {
    if (auto why = poleListLocked(row))
        return why;
    const ProjectCircuit& circuit = state_.project().circuits[size_t(row)];
    const QStringList problems = poleListProblems(list);
    if (!problems.isEmpty())
        return QStringLiteral("%1 的杆位表有误：\n%2").arg(circuit.id, problems.join(u'\n'));
    LampFeeder feeder = std::get<LampFeeder>(circuit.load);
    feeder.poleList = std::move(list);
    if (sameFeeder(feeder, std::get<LampFeeder>(circuit.load)))
        return std::nullopt;
    replaceFeeder(row, std::move(feeder));
    return std::nullopt;
}

bool PoleListEditor::importPoleListFile(int row, const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    if (const std::optional<QString> why = poleListLocked(row)) {
        tellUser(platform_, true, *why);
        return false;
    }
    const QString id = state_.project().circuits[size_t(row)].id;
    const PoleImport imported = importPoleList(path, &state_.catalogues().cableRows());
    if (!imported.ok) {
        tellUser(platform_, true,
                 QStringLiteral("未能导入杆位表 %1，%2 未作任何改动：\r\n%3")
                     .arg(shown, id, imported.problems.join(QStringLiteral("\r\n"))));
        return false;
    }
    if (const std::optional<QString> why = setPoleList(row, imported.list)) {
        tellUser(platform_, true,
                 QStringLiteral("未能导入杆位表 %1，%2 未作任何改动：\r\n%3").arg(shown, id, *why));
        return false;
    }
    if (!imported.problems.isEmpty())
        tellUser(platform_, false,
                 QStringLiteral("已导入 %1 的杆位表，以下内容未读取：\r\n%2")
                     .arg(id, imported.problems.join(QStringLiteral("\r\n"))));
    return true;
}

} // namespace korvane
