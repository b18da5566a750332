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

struct SizingResult {
    // Why the circuit could not be sized at all (its cable type unknown, no sections).
    QString notSized;
    std::vector<SizingCandidate> candidates; // smallest first, up to the chosen one or all
    std::optional<size_t> chosen;            // index into candidates
    // What rules out the next smaller section: the check, or that section's missing figure.
    std::optional<CircuitCheck> governing;
    QString governingText;
    // A feeder with branches: the trunk and each branch sized together (see sizeCircuit); one
    // entry per run, the trunk first. Empty for a circuit of one cable.
    std::vector<SectionSizing> sections;
    int combinationsTried = 0;
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
SizingResult sizeCircuit(const Project& project, const ProjectCircuit& circuit,
                         const CableCatalogue& catalogue);

} // namespace korvane
