#pragma once

#include "calc/computed.h"
#include "project/feeders/lamp_feeder.h"

#include <array>
#include <vector>

namespace korvane {

// The feeder's figures under one assignment of phases to its poles.
struct PhaseAssignment {
    std::vector<Phase> phases;              // every pole, in list order
    std::array<double, 3> phaseCurrentsA{}; // at the supply
    double neutralCurrentA = 0.0;           // at the supply, phasor sum of the fundamentals
    double largestPhaseCurrentA = 0.0;
    double worstLossPercent = 0.0; // at the lamps, each pole on its own phase
    QString worstPole;             // its 杆号
};

// A proposal of phases for the poles of a four-wire feeder, with the figures before and after.
struct PhaseProposal {
    PhaseAssignment before;
    PhaseAssignment after;
    int polesMoved = 0;
    // The feeder as a pole list with every pole's phase fixed to the proposal, for the engineer
    // to accept in place of the circuit's load.
    LampFeeder balanced;
};

// Proposes a phase for every pole whose phase the engineer has not fixed: first the largest
// phase current at the supply as small as the poles' loads allow, then, among assignments with
// that largest current, the worst pole's drop. Fixed poles keep their phase. Fails with the
// reason for a single-phase feeder, a pole list that is not a tree or conductors that do not
// match its runs.
Computed<PhaseProposal> proposePhaseBalance(const LampFeeder& feeder,
                                            const std::vector<RunConductors>& conductors);

} // namespace korvane
