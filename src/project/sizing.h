#pragma once

#include "project/cable_catalogue.h"
#include "project/handbook_constants.h"
#include "project/project_compute.h"

#include <optional>
#include <vector>

namespace korvane {

// One cross-section tried for a circuit.
struct SizingCandidate {
    QString crossSection;
    // Why the section could not be checked (no handbook figure for it); empty when it was.
    QString notChecked;
    std::optional<CircuitCheck> failed; // the first check it fails
    QString failedText;                 // that check's figures or reason
    bool passes() const { return notChecked.isEmpty() && !failed; }
};

// The section chosen for one run of a feeder with branches, and what rules out the next smaller.
struct SectionSizing {
    QString run;
    QString crossSection; // chosen; empty when no combination passes
    std::optional<CircuitCheck> governing;
    QString governingText;
};

// The most combinations of sections tried for a feeder with branches before sizing gives up.
inline constexpr int kMaxSizingCombinations = 5000;

struct SizingResult {
    // Why the circuit could not be sized at all (its cable type unknown, no sections).
    QString notSized;
    // Smallest first, up to the chosen one or all. A feeder with branches: the chosen
    // combination alone, named by its sections ("干线 25 / 支线1 10"); what rules out smaller
    // sections is said per run in `sections`.
    std::vector<SizingCandidate> candidates;
    std::optional<size_t> chosen; // index into candidates
    // What rules out the next smaller section: the check, or that section's missing figure.
    std::optional<CircuitCheck> governing;
    QString governingText;
    // A feeder with branches: the trunk and each branch sized together, the combination of the
    // least copper (Σ section mm² × run length) among those that pass every check (see
    // sizeCircuit); one entry per run, the trunk first. Empty for a circuit of one cable.
    std::vector<SectionSizing> sections;
    int combinationsTried = 0; // at most kMaxSizingCombinations

    ProjectCircuit sizedCircuit; // the circuit with the chosen section and its values
    CircuitResult sizedResult;
};

// The circuit with another section of its cable: R and X per km from the cable database, the
// per-metre loop values and leakage from the handbook tables, the phase-to-neutral loop R′, X′
// equal to R′php, X′php (a four-core cable, neutral of the phase section). K, t, Ib and the load
// are kept.
ProjectCircuit withCableSection(const ProjectCircuit& circuit, const CableRow& row,
                                const HandbookLineConstants& constants);

// The smallest cross-section of the circuit's cable type (ordered by its number) that passes
// every check of the circuit, and the check that governs. When even the largest fails, no
// section is chosen and the candidates say which check fails there.
//
// A feeder with branches is sized run by run together. Each run may take the sections of its
// cable type the handbook tables can check, smallest first; its lower bound is the smallest
// that passes its own capacity check (against the feeder's one breaker). From the lower bounds
// the combinations are searched best first in ascending copper, Σ (section mm² × run length m),
// each step raising one run by one section; the first combination that passes every check is
// chosen, which is the least copper among all combinations that pass (ties: the trunk's
// smaller section first). The search stops after kMaxSizingCombinations combinations and says
// so. The chosen sections are written into the sized circuit: the trunk's as its line, every
// branch's as its run's cable.
//
// A section passes when it passes every check of `checks`; a failure of a check that stops on
// failure rules it out at once.
SizingResult sizeCircuit(const Project& project, const ProjectCircuit& circuit,
                         const CableCatalogue& catalogue,
                         const CheckRegistry& checks = projectChecks());

} // namespace korvane
