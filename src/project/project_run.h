#pragma once

#include "project/cable_catalogue.h"
#include "project/project_compute.h"
#include "project/sizing.h"

#include <QString>

#include <optional>
#include <vector>

namespace korvane {

// A project computed, and sized when asked: the results of every circuit, and for a sized
// project the sizing of each and the project with the chosen sections.
struct ProjectRun {
    Project project; // with the chosen sections when sized
    std::vector<CircuitResult> results;
    std::vector<SizingResult> sizing; // empty unless sized
};

// Computes every circuit, each against the cable database: a circuit whose cable is not in it is
// not computed, with the reason. With `size`, each circuit is sized first.
ProjectRun runProject(const Project& project, const CableCatalogue& catalogue, bool size);

// Why the circuit cannot be computed against the database: its cable is not there. Nothing when
// it is.
std::optional<QString> unknownCable(const ProjectCircuit& circuit, const CableCatalogue& catalogue);

// Adds to the input problems of each circuit whose cable the database does not hold.
void markUnknownCables(Project& project, const CableCatalogue& catalogue);

// The results as a table, one circuit a line, tab-separated, a header line first with the
// units; then a line for each check that did not pass, and the sizing decisions.
QString projectResultsText(const ProjectRun& run);

} // namespace korvane
