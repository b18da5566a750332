// The pole list of a feeder row (杆位表) and the phase balancing of its poles: the session's
// side of the pole editor, shared by the window and korvane-cli.

#include "app/project_session.h"

#include "base/number_format.h"
#include "project/project_compute.h"
#include "project/inputs/schedule_columns.h"
#include "project_files/imports/pole_import.h"

#include <QDir>

#include <cmath>
#include <limits>

namespace korvane {

namespace {

constexpr double kMissing = std::numeric_limits<double>::quiet_NaN();

const char* const kPoleHeaders[kPoleColumnCount] = {
    "支线",          "起始杆号",        "杆号",       "杆距(m)",   "灯具数量",
    "灯具功率(W)",   "功率因数",        "镇流器系数", "灯具2数量", "灯具2功率(W)",
    "灯具2功率因数", "灯具2镇流器系数", "相别",       "支线电缆",  "截面",
    "距电源(m)",     "ΔuL1(%)",         "ΔuL2(%)",    "ΔuL3(%)"};

bool samePoleId(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// The run and place of the pole with the number; {-1, -1} for none.
std::pair<int, int> findPole(const PoleList& list, const QString& id) {
    for (size_t r = 0; r < list.runs.size(); ++r)
        for (size_t p = 0; p < list.runs[r].poles.size(); ++p)
            if (samePoleId(list.runs[r].poles[p].id, id))
                return {int(r), int(p)};
    return {-1, -1};
}

// The runs leaving a pole of the run, by name.
QStringList branchesFrom(const PoleList& list, const QString& poleId) {
    QStringList names;
    for (size_t r = 1; r < list.runs.size(); ++r)
        if (samePoleId(list.runs[r].fromPole, poleId))
            names << list.runs[r].name;
    return names;
}

// The next number after `id` that no pole has: "N12" gives "N13", "7" gives "8", "A" gives
// "A-1". The engineer renumbers as the survey does.
QString nextFreePoleId(const PoleList& list, const QString& id) {
    QString prefix = id.trimmed();
    qsizetype digits = 0;
    while (digits < prefix.size() && prefix.at(prefix.size() - 1 - digits).isDigit())
        ++digits;
    long long number = 0;
    if (digits > 0 && digits <= 12) {
        number = prefix.right(digits).toLongLong();
        prefix.chop(digits);
    } else if (!prefix.isEmpty()) {
        prefix += u'-';
    }
    for (long long n = number + 1;; ++n) {
        const QString candidate = prefix + QString::number(n);
        if (findPole(list, candidate).first < 0)
            return candidate;
    }
}

QString nextFreeRunName(const PoleList& list) {
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("支线%1").arg(n);
        if (std::none_of(list.runs.begin(), list.runs.end(),
                         [&](const FeederRun& r) { return samePoleId(r.name, candidate); }))
            return candidate;
    }
}

// The feeder with its missing values (not a number) made comparable: two lists missing the same
// values are the same list.
LampFeeder comparable(LampFeeder feeder) {
    constexpr double kMissingMark = -std::numeric_limits<double>::infinity();
    auto mark = [](double& value) {
        if (std::isnan(value))
            value = kMissingMark;
    };
    for (FeederRun& run : feeder.poleList.runs)
        for (FeederPole& pole : run.poles) {
            mark(pole.spanM);
            for (LampGroup& lamp : pole.lamps) {
                mark(lamp.powerW);
                mark(lamp.powerFactor);
                mark(lamp.ballastFactor);
            }
        }
    return feeder;
}

bool sameFeeder(const LampFeeder& a, const LampFeeder& b) {
    return comparable(a) == comparable(b);
}

QString optionalNumber(double value) {
    return std::isfinite(value) ? formatGeneral(value) : QString();
}

// The cable a run is laid in: its own, or that of the run it leaves (the trunk's is the
// circuit's). A loop of branches ends at the circuit's cable.
CableIdentity runCable(const PoleList& list, int run, const CableIdentity& circuitCable) {
    for (size_t steps = 0; run > 0 && steps < list.runs.size(); ++steps) {
        const FeederRun& r = list.runs[size_t(run)];
        if (r.cable)
            return *r.cable;
        run = findPole(list, r.fromPole).first;
    }
    return circuitCable;
}

} // namespace

QString ProjectSession::poleColumnHeader(int column) {
    return column >= 0 && column < kPoleColumnCount ? QString::fromUtf8(kPoleHeaders[column])
                                                    : QString();
}

const PoleList& ProjectSession::shownPoleList(int row) const {
    if (poleCacheRow_ == row && poleCacheRevision_ == revision_)
        return poleCache_;
    poleCacheRow_ = row;
    poleCacheRevision_ = revision_;
    poleCache_ = {};
    poleCacheRows_.clear();
    poleCachePhases_.clear();
    if (!isFeeder(row))
        return poleCache_;
    const auto& feeder = std::get<LampFeeder>(project_.circuits[size_t(row)].load);
    if (!feeder.poleList.empty())
        poleCache_ = feeder.poleList;
    else if (feeder.poles > 0 && feeder.poles <= kMaxFeederPoles)
        poleCache_ = generatedPoleList(feeder);
    for (size_t r = 0; r < poleCache_.runs.size(); ++r)
        for (size_t p = 0; p < poleCache_.runs[r].poles.size(); ++p)
            poleCacheRows_.emplace_back(int(r), int(p));
    LampFeeder withList = feeder;
    withList.poleList = poleCache_;
    poleCachePhases_ = polePhases(withList);
    return poleCache_;
}

int ProjectSession::poleRowCount(int row) const {
    shownPoleList(row);
    return int(poleCacheRows_.size());
}

std::pair<int, int> ProjectSession::poleAt(int row, int poleRow) const {
    if (poleRow < 0 || poleRow >= poleRowCount(row))
        return {-1, -1};
    return poleCacheRows_[size_t(poleRow)];
}

bool ProjectSession::hasPoleList(int row) const {
    return isFeeder(row) &&
           !std::get<LampFeeder>(project_.circuits[size_t(row)].load).poleList.empty();
}

int ProjectSession::worstPoleRow(int row) const {
    const LampFeederResult* result = feederResult(row);
    if (result == nullptr)
        return -1;
    for (size_t i = 0; i < result->poles.size(); ++i)
        if (result->poles[i].pole == result->worstPole)
            return i < size_t(poleRowCount(row)) ? int(i) : -1;
    return -1;
}

CellView ProjectSession::poleCell(int row, int poleRow, int column) const {
    CellView view;
    const auto [run, place] = poleAt(row, poleRow);
    if (run < 0 || column < 0 || column >= kPoleColumnCount)
        return view;
    const PoleList& list = shownPoleList(row);
    const ProjectCircuit& circuit = project_.circuits[size_t(row)];
    const LampFeeder& feeder = std::get<LampFeeder>(circuit.load);
    const FeederRun& r = list.runs[size_t(run)];
    const FeederPole& pole = r.poles[size_t(place)];
    const bool editable = !feeder.poleList.empty() && !poleListLocked(row);
    const bool firstOfBranch = place == 0 && run > 0;
    auto lamp = [&](int group) -> const LampGroup* {
        return size_t(group) < pole.lamps.size() ? &pole.lamps[size_t(group)] : nullptr;
    };
    using P = PoleColumn;
    const P which = P(column);
    switch (which) {
    case P::Run:
        view.text = place == 0 ? r.name : QString();
        view.editable = editable && place == 0;
        return view;
    case P::FromPole:
        view.text = firstOfBranch ? r.fromPole : QString();
        view.editable = editable && firstOfBranch;
        return view;
    case P::Id:
        view.text = pole.id;
        view.editable = editable;
        return view;
    case P::SpanM:
        view.text = optionalNumber(pole.spanM);
        view.editable = editable;
        return view;
    case P::Count1:
    case P::Count2:
    case P::PowerW1:
    case P::PowerW2:
    case P::PowerFactor1:
    case P::PowerFactor2:
    case P::BallastFactor1:
    case P::BallastFactor2: {
        const int group = which >= P::Count2 ? 1 : 0;
        const int field = column - (group == 0 ? int(P::Count1) : int(P::Count2));
        if (const LampGroup* g = lamp(group)) {
            const double values[] = {double(g->count), g->powerW, g->powerFactor, g->ballastFactor};
            view.text = optionalNumber(values[field]);
        }
        // A second group only once there is a first.
        view.editable = editable && (group == 0 || lamp(0) != nullptr);
        return view;
    }
    case P::Phase: {
        view.editable = editable;
        view.choices = {QString(), phaseText(Phase::L1), phaseText(Phase::L2),
                        phaseText(Phase::L3)};
        if (pole.fixedPhase) {
            view.text = phaseText(*pole.fixedPhase);
            return view;
        }
        if (size_t(poleRow) < poleCachePhases_.size()) {
            view.text = phaseText(poleCachePhases_[size_t(poleRow)]);
            view.derived = true;
            view.toolTip = QStringLiteral("按相序轮换；填写 L1、L2 或 L3 可固定相别");
        }
        return view;
    }
    case P::RunCable:
    case P::RunSection: {
        if (place != 0)
            return view;
        const bool type = which == P::RunCable;
        if (run > 0 && r.cable) {
            view.text = type ? r.cable->cableType : r.cable->crossSection;
        } else {
            const CableIdentity inherited = runCable(list, run, circuit.line.cable);
            view.text = type ? inherited.cableType : inherited.crossSection;
            view.derived = true;
            view.toolTip = run == 0 ? QStringLiteral("干线为回路的电缆")
                                    : QStringLiteral("未填写：与所接线路相同");
        }
        view.editable = editable && run > 0;
        if (view.editable) {
            const CableIdentity current = runCable(list, run, circuit.line.cable);
            view.choices << QString();
            if (type) {
                for (const CableRow& c : catalogues_.cableRows().rows)
                    if (c.cable.lossType == circuit.line.cable.lossType &&
                        !view.choices.contains(c.cable.cableType))
                        view.choices << c.cable.cableType;
            } else {
                for (const CableRow* c : catalogues_.cableRows().sectionsOf(
                         circuit.line.cable.lossType, current.cableType))
                    view.choices << c->cable.crossSection;
            }
        }
        return view;
    }
    case P::DistanceM:
    case P::LossL1:
    case P::LossL2:
    case P::LossL3:
        break;
    }

    // The results at the pole, as computed; the worst pole's drop judged against the limit.
    const LampFeederResult* result = feederResult(row);
    if (result == nullptr || size_t(poleRow) >= result->poles.size())
        return view;
    const PoleDrop& drop = result->poles[size_t(poleRow)];
    if (which == P::DistanceM) {
        view.text = formatFixed(drop.distanceM, 1);
        return view;
    }
    const int phase = column - int(P::LossL1);
    view.text = formatFixed(drop.lossPercent[size_t(phase)], kLossPercentDecimals);
    if (drop.pole == result->worstPole && Phase(phase) == result->worstPhase) {
        const double shown = shownLossPercent(result->worstLossPercent);
        view.state = lossWithinLimit(shown, project_.voltageLossLimitPercent) ? CellState::Passed
                                                                              : CellState::Failed;
        view.toolTip = QStringLiteral("最不利杆：电压损失最大（限值 %1%）")
                           .arg(formatGeneral(project_.voltageLossLimitPercent));
    } else if (drop.phase != Phase(phase)) {
        view.derived = true; // a phase without this pole's lamps: shown, never judged
    }
    return view;
}

std::optional<QString> ProjectSession::poleListLocked(int row) const {
    if (!isFeeder(row))
        return QStringLiteral("所选回路不是路灯馈线");
    const ProjectCircuit& c = project_.circuits[size_t(row)];
    for (const ReadingProblem& problem : c.readingProblems)
        if (problem.place.isEmpty())
            return QStringLiteral("%1 在文件中无法读取，不能编辑；可删除此行").arg(c.id);
    return std::nullopt;
}

std::optional<QString> ProjectSession::poleListNotEditable(int row) const {
    if (auto why = poleListLocked(row))
        return why;
    if (!hasPoleList(row))
        return QStringLiteral("%1 为等距布置的馈线，请先“转为杆位表”")
            .arg(project_.circuits[size_t(row)].id);
    return std::nullopt;
}

void ProjectSession::replaceFeeder(int row, LampFeeder feeder) {
    ProjectCircuit& c = project_.circuits[size_t(row)];
    std::get<LampFeeder>(c.load) = std::move(feeder);
    computeRow(row);
    rowEdited(row);
    notifyRowsChanged(row, row);
}

std::optional<QString> ProjectSession::setPoleCell(int row, int poleRow, int column,
                                                   const QString& text) {
    if (auto why = poleListNotEditable(row))
        return why;
    const ProjectCircuit& circuit = project_.circuits[size_t(row)];
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

std::optional<QString> ProjectSession::insertPole(int row, int poleRow) {
    if (auto why = poleListNotEditable(row))
        return why;
    const ProjectCircuit& circuit = project_.circuits[size_t(row)];
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

std::optional<QString> ProjectSession::deletePole(int row, int poleRow) {
    if (auto why = poleListNotEditable(row))
        return why;
    const ProjectCircuit& circuit = project_.circuits[size_t(row)];
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

std::optional<QString> ProjectSession::startBranch(int row, int poleRow) {
    if (auto why = poleListNotEditable(row))
        return why;
    const ProjectCircuit& circuit = project_.circuits[size_t(row)];
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

std::optional<QString> ProjectSession::deleteBranch(int row, int poleRow) {
    if (auto why = poleListLocked(row))
        return why;
    const ProjectCircuit& circuit = project_.circuits[size_t(row)];
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

std::optional<QString> ProjectSession::convertToPoleList(int row) {
    if (auto why = poleListLocked(row))
        return why;
    const ProjectCircuit& circuit = project_.circuits[size_t(row)];
    if (hasPoleList(row))
        return QStringLiteral("%1 已由杆位表给出").arg(circuit.id);
    // The list is made from the feeder's values: they must all have been read.
    if (!run_.project.circuits[size_t(row)].inputProblems.isEmpty())
        return QStringLiteral("%1 回路数据有误，不能转为杆位表：\n%2")
            .arg(circuit.id, run_.project.circuits[size_t(row)].inputProblems.join(u'\n'));
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

std::optional<QString> ProjectSession::setPoleList(int row, PoleList list) {
    if (auto why = poleListLocked(row))
        return why;
    const ProjectCircuit& circuit = project_.circuits[size_t(row)];
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

// ---- 相序平衡 ----

PhaseBalanceProposal ProjectSession::proposePhaseBalance(int row) const {
    PhaseBalanceProposal p;
    p.row = row;
    if (!isFeeder(row)) {
        p.proposal = Computed<PhaseProposal>::failed(QStringLiteral("所选回路不是路灯馈线"));
        return p;
    }
    const ProjectCircuit& circuit = project_.circuits[size_t(row)];
    p.id = circuit.id;
    p.before = std::get<LampFeeder>(circuit.load);
    // The computed copy carries the problems of the supply and of an unknown cable.
    const ProjectCircuit& computed = run_.project.circuits[size_t(row)];
    if (!computed.inputProblems.isEmpty()) {
        p.proposal = Computed<PhaseProposal>::failed(
            QStringLiteral("%1 回路数据有误，未作相序平衡：\n%2")
                .arg(circuit.id, computed.inputProblems.join(u'\n')));
        return p;
    }
    const Computed<std::vector<RunConductors>> conductors =
        feederConductors(run_.project, computed, catalogues_.cableRows());
    if (!conductors) {
        p.proposal = Computed<PhaseProposal>::failed(
            QStringLiteral("%1：%2").arg(circuit.id, conductors.reason()));
        return p;
    }
    p.proposal = korvane::proposePhaseBalance(p.before, *conductors);
    if (!p.proposal)
        p.proposal = Computed<PhaseProposal>::failed(
            QStringLiteral("%1：%2").arg(circuit.id, p.proposal.reason()));
    return p;
}

bool ProjectSession::acceptPhaseBalance(const PhaseBalanceProposal& accepted) {
    if (!accepted.proposal || !isFeeder(accepted.row) || poleListLocked(accepted.row))
        return false;
    const ProjectCircuit& circuit = project_.circuits[size_t(accepted.row)];
    // Only over the feeder it was proposed from: an edit since makes it another feeder.
    if (circuit.id != accepted.id ||
        !sameFeeder(std::get<LampFeeder>(circuit.load), accepted.before))
        return false;
    if (sameFeeder(accepted.proposal->balanced, accepted.before))
        return true;
    replaceFeeder(accepted.row, accepted.proposal->balanced);
    return true;
}

} // namespace korvane

namespace korvane {

bool ProjectSession::importPoleListFile(int row, const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    if (const std::optional<QString> why = poleListLocked(row)) {
        message(true, *why);
        return false;
    }
    const QString id = project_.circuits[size_t(row)].id;
    const PoleImport imported = importPoleList(path, &catalogues_.cableRows());
    if (!imported.ok) {
        message(true, QStringLiteral("未能导入杆位表 %1，%2 未作任何改动：\r\n%3")
                          .arg(shown, id, imported.problems.join(QStringLiteral("\r\n"))));
        return false;
    }
    if (const std::optional<QString> why = setPoleList(row, imported.list)) {
        message(true,
                QStringLiteral("未能导入杆位表 %1，%2 未作任何改动：\r\n%3").arg(shown, id, *why));
        return false;
    }
    if (!imported.problems.isEmpty())
        message(false, QStringLiteral("已导入 %1 的杆位表，以下内容未读取：\r\n%2")
                           .arg(id, imported.problems.join(QStringLiteral("\r\n"))));
    return true;
}

} // namespace korvane
