// The table of a feeder row's pole list: what each cell shows, and whether it may be edited.

#include "app/pole_list_editor.h"

#include "app/pole_lists.h"
#include "base/number_format.h"
#include "project/inputs/schedule_columns.h"
#include "project/project_compute.h"

#include <cmath>

namespace korvane {

namespace {

const char* const kPoleHeaders[kPoleColumnCount] = {
    "支线",          "起始杆号",        "杆号",       "杆距(m)",   "灯具数量",
    "灯具功率(W)",   "功率因数",        "镇流器系数", "灯具2数量", "灯具2功率(W)",
    "灯具2功率因数", "灯具2镇流器系数", "相别",       "支线电缆",  "截面",
    "距电源(m)",     "ΔuL1(%)",         "ΔuL2(%)",    "ΔuL3(%)"};

QString optionalNumber(double value) {
    return std::isfinite(value) ? formatGeneral(value) : QString();
}

} // namespace

PoleListEditor::PoleListEditor(Platform& platform, ProjectState& state, ProjectDocument& document)
    : platform_(platform), state_(state), document_(document) {}

QString PoleListEditor::poleColumnHeader(int column) {
    return column >= 0 && column < kPoleColumnCount ? QString::fromUtf8(kPoleHeaders[column])
                                                    : QString();
}

const PoleList& PoleListEditor::shownPoleList(int row) const {
    if (poleCacheRow_ == row && poleCacheRevision_ == document_.revision())
        return poleCache_;
    poleCacheRow_ = row;
    poleCacheRevision_ = document_.revision();
    poleCache_ = {};
    poleCacheRows_.clear();
    poleCachePhases_.clear();
    if (!state_.isFeeder(row))
        return poleCache_;
    const auto& feeder = std::get<LampFeeder>(state_.project().circuits[size_t(row)].load);
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

int PoleListEditor::poleRowCount(int row) const {
    shownPoleList(row);
    return int(poleCacheRows_.size());
}

std::pair<int, int> PoleListEditor::poleAt(int row, int poleRow) const {
    if (poleRow < 0 || poleRow >= poleRowCount(row))
        return {-1, -1};
    return poleCacheRows_[size_t(poleRow)];
}

bool PoleListEditor::hasPoleList(int row) const {
    return state_.isFeeder(row) &&
           !std::get<LampFeeder>(state_.project().circuits[size_t(row)].load).poleList.empty();
}

int PoleListEditor::worstPoleRow(int row) const {
    const LampFeederResult* result = state_.feederResult(row);
    if (result == nullptr)
        return -1;
    for (size_t i = 0; i < result->poles.size(); ++i)
        if (result->poles[i].pole == result->worstPole)
            return i < size_t(poleRowCount(row)) ? int(i) : -1;
    return -1;
}

CellView PoleListEditor::poleCell(int row, int poleRow, int column) const {
    CellView view;
    const auto [run, place] = poleAt(row, poleRow);
    if (run < 0 || column < 0 || column >= kPoleColumnCount)
        return view;
    const PoleList& list = shownPoleList(row);
    const ProjectCircuit& circuit = state_.project().circuits[size_t(row)];
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
                for (const CableRow& c : state_.catalogues().cableRows().rows)
                    if (c.cable.lossType == circuit.line.cable.lossType &&
                        !view.choices.contains(c.cable.cableType))
                        view.choices << c.cable.cableType;
            } else {
                for (const CableRow* c : state_.catalogues().cableRows().sectionsOf(
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
    const LampFeederResult* result = state_.feederResult(row);
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
        view.state = lossWithinLimit(shown, state_.project().voltageLossLimitPercent)
                         ? CellState::Passed
                         : CellState::Failed;
        view.toolTip = QStringLiteral("最不利杆：电压损失最大（限值 %1%）")
                           .arg(formatGeneral(state_.project().voltageLossLimitPercent));
    } else if (drop.phase != Phase(phase)) {
        view.derived = true; // a phase without this pole's lamps: shown, never judged
    }
    return view;
}

std::optional<QString> PoleListEditor::poleListLocked(int row) const {
    if (!state_.isFeeder(row))
        return QStringLiteral("所选回路不是路灯馈线");
    const ProjectCircuit& c = state_.project().circuits[size_t(row)];
    for (const ReadingProblem& problem : c.readingProblems)
        if (problem.place.isEmpty())
            return QStringLiteral("%1 在文件中无法读取，不能编辑；可删除此行").arg(c.id);
    return std::nullopt;
}

std::optional<QString> PoleListEditor::poleListNotEditable(int row) const {
    if (auto why = poleListLocked(row))
        return why;
    if (!hasPoleList(row))
        return QStringLiteral("%1 为等距布置的馈线，请先“转为杆位表”")
            .arg(state_.project().circuits[size_t(row)].id);
    return std::nullopt;
}

} // namespace korvane
