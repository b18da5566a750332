#pragma once

#include "app/pole_list_editor.h"
#include "app/project_document.h"
#include "app/project_state.h"
#include "project/feeders/phase_balancing.h"
#include "project/project.h"
#include "project/project_run.h"
#include "project/sizing.h"

#include <QString>

#include <optional>
#include <vector>

namespace korvane {

// The sizing proposal for one circuit (调整截面).
struct SizingProposal {
    int row = 0;
    QString id;
    QString currentSection;
    // The smallest section that passes every check; nothing when none does or the circuit
    // cannot be sized, and then `notSized` says why.
    std::optional<QString> proposedSection;
    QString notSized;
    std::optional<CircuitCheck> governing; // what rules out the next smaller section
    QString governingText;
    ProjectCircuit sized;  // the circuit with the proposed section and its values
    ProjectCircuit before; // the circuit as proposed from: an edited row is not overwritten
    // The decision behind the proposal (every section tried), for the book's 【截面选择】.
    std::optional<SizingResult> decision;
};

// A proposal of phases for the poles of one feeder row (相序平衡), with the feeder it was made
// from: it is accepted only while the row still holds that feeder.
struct PhaseBalanceProposal {
    int row = 0;
    QString id;
    LampFeeder before;
    Computed<PhaseProposal> proposal = std::nullopt;
};

// What the program proposes for the circuits as computed, and taking what the engineer accepts:
// the cross-sections (调整截面) and the phases of a feeder's poles (相序平衡). A proposal is
// made from a row's circuit and is taken only while the row still holds that circuit; each
// accepted row is computed again as an edit of it.
class ProjectProposals {
public:
    ProjectProposals(ProjectState& state, ProjectDocument& document, PoleListEditor& poles);

    // ---- 调整截面 ----
    // The proposals for the given rows (all when empty).
    std::vector<SizingProposal> proposeSizing(std::vector<int> rows = {}) const;
    // Applies the proposals that propose a section to rows that still hold the circuit they
    // were made from; returns how many were applied. Rejecting is not calling it.
    int acceptSizing(const std::vector<SizingProposal>& accepted);
    // The run with the sizing decision of every circuit whose proposed section the engineer
    // accepted and has not edited since, as the project book shows it.
    ProjectRun runWithSizing() const;

    // ---- 相序平衡 ----
    // A phase for every unfixed pole of the row's four-wire feeder, with the figures before and
    // after; the proposal's reason when it cannot be made.
    PhaseBalanceProposal proposePhaseBalance(int row) const;
    // Applies the balanced feeder (every pole's phase fixed) as one edit, while the row still
    // holds the feeder it was proposed from; false otherwise.
    bool acceptPhaseBalance(const PhaseBalanceProposal& accepted);

private:
    ProjectState& state_;
    ProjectDocument& document_;
    PoleListEditor& poles_;
};

} // namespace korvane
