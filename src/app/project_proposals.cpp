#include "app/project_proposals.h"

#include "app/pole_lists.h"
#include "project/inputs/schedule_columns.h"
#include "project/project_compute.h"
#include "project/sizing.h"

#include <algorithm>

namespace korvane {

namespace {

bool sameInputs(const ProjectCircuit& a, const ProjectCircuit& b) {
    for (const ScheduleColumnInfo& info : scheduleInputColumns())
        if (scheduleCell(a, info.column) != scheduleCell(b, info.column))
            return false;
    return std::holds_alternative<LampFeeder>(a.load) == std::holds_alternative<LampFeeder>(b.load);
}

} // namespace

ProjectProposals::ProjectProposals(ProjectState& state, ProjectDocument& document,
                                   PoleListEditor& poles)
    : state_(state), document_(document), poles_(poles) {}

// ---- 调整截面 ----

std::vector<SizingProposal> ProjectProposals::proposeSizing(std::vector<int> rows) const {
    if (rows.empty())
        for (int i = 0; i < state_.rowCount(); ++i)
            rows.push_back(i);
    std::vector<SizingProposal> proposals;
    for (int row : rows) {
        if (row < 0 || row >= state_.rowCount())
            continue;
        const ProjectCircuit& circuit = state_.project().circuits[size_t(row)];
        SizingProposal p;
        p.row = row;
        p.id = circuit.id;
        p.currentSection = circuit.line.cable.crossSection;
        p.before = circuit;
        p.sized = circuit;
        // The computed copy carries the problems of the supply and of an unknown cable.
        if (!state_.run().project.circuits[size_t(row)].inputProblems.isEmpty()) {
            p.notSized = QStringLiteral("回路数据有误，未选择截面");
        } else {
            const SizingResult sized =
                sizeCircuit(state_.run().project, circuit, state_.catalogues().cableRows(),
                            state_.checkRegistry());
            if (sized.chosen) {
                p.decision = sized;
                p.proposedSection = sized.sizedCircuit.line.cable.crossSection;
                p.sized = sized.sizedCircuit;
                p.governing = sized.governing;
                p.governingText = sized.governingText;
            } else {
                p.notSized = sized.notSized;
            }
        }
        proposals.push_back(std::move(p));
    }
    return proposals;
}

ProjectRun ProjectProposals::runWithSizing() const {
    ProjectRun run = state_.run();
    run.sizing.clear();
    if (state_.acceptedSizing().empty())
        return run;
    run.sizing.resize(run.project.circuits.size());
    for (size_t i = 0; i < state_.project().circuits.size() && i < run.sizing.size(); ++i)
        for (const SizingResult& d : state_.acceptedSizing())
            if (d.sizedCircuit.id == state_.project().circuits[i].id &&
                sameInputs(d.sizedCircuit, state_.project().circuits[i]))
                run.sizing[i] = d;
    return run;
}

int ProjectProposals::acceptSizing(const std::vector<SizingProposal>& accepted) {
    int applied = 0;
    int first = state_.rowCount();
    int last = -1;
    for (const SizingProposal& p : accepted) {
        if (!p.proposedSection || p.row < 0 || p.row >= state_.rowCount())
            continue;
        ProjectCircuit& circuit = state_.project().circuits[size_t(p.row)];
        if (circuit.id != p.before.id || !sameInputs(circuit, p.before))
            continue;
        circuit = p.sized;
        std::erase_if(state_.acceptedSizing(),
                      [&](const SizingResult& d) { return d.sizedCircuit.id == circuit.id; });
        if (p.decision)
            state_.acceptedSizing().push_back(*p.decision);
        state_.computeRow(p.row);
        document_.rowEdited(p.row);
        ++applied;
        first = std::min(first, p.row);
        last = std::max(last, p.row);
    }
    if (applied > 0)
        document_.rowsChanged(first, last);
    return applied;
}

// ---- 相序平衡 ----

PhaseBalanceProposal ProjectProposals::proposePhaseBalance(int row) const {
    PhaseBalanceProposal p;
    p.row = row;
    if (!state_.isFeeder(row)) {
        p.proposal = Computed<PhaseProposal>::failed(QStringLiteral("所选回路不是路灯馈线"));
        return p;
    }
    const ProjectCircuit& circuit = state_.project().circuits[size_t(row)];
    p.id = circuit.id;
    p.before = std::get<LampFeeder>(circuit.load);
    // The computed copy carries the problems of the supply and of an unknown cable.
    const ProjectCircuit& computed = state_.run().project.circuits[size_t(row)];
    if (!computed.inputProblems.isEmpty()) {
        p.proposal = Computed<PhaseProposal>::failed(
            QStringLiteral("%1 回路数据有误，未作相序平衡：\n%2")
                .arg(circuit.id, computed.inputProblems.join(u'\n')));
        return p;
    }
    const Computed<std::vector<RunConductors>> conductors =
        feederConductors(state_.run().project, computed, state_.catalogues().cableRows());
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

bool ProjectProposals::acceptPhaseBalance(const PhaseBalanceProposal& accepted) {
    if (!accepted.proposal || !state_.isFeeder(accepted.row) || poles_.poleListLocked(accepted.row))
        return false;
    const ProjectCircuit& circuit = state_.project().circuits[size_t(accepted.row)];
    // Only over the feeder it was proposed from: an edit since makes it another feeder.
    if (circuit.id != accepted.id ||
        !sameFeeder(std::get<LampFeeder>(circuit.load), accepted.before))
        return false;
    if (sameFeeder(accepted.proposal->balanced, accepted.before))
        return true;
    poles_.replaceFeeder(accepted.row, accepted.proposal->balanced);
    return true;
}

} // namespace korvane
