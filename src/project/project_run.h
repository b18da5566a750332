#pragma once

#include "project/cable_catalogue.h"
#include "project/project_compute.h"
#include "project/result_schema.h"
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
    // Per circuit, the sizing decision of a circuit that was sized (every circuit of a sized
    // run; in the window, the circuits whose proposed section the engineer accepted), nothing
    // for one that was not. Empty for a run that sized nothing.
    std::vector<std::optional<SizingResult>> sizing;
};

// Computes every circuit, each against the cable database: a circuit whose cable is not in it is
// not computed, with the reason. With `size`, each circuit is sized first.
// The checks are those of `checks` (the program's own unless a test gives others).
ProjectRun runProject(const Project& project, const CableCatalogue& catalogue, bool size,
                      const CheckRegistry& checks = projectChecks());

// Why the circuit cannot be computed against the database: its cable is not there. Nothing when
// it is.
std::optional<QString> unknownCable(const ProjectCircuit& circuit, const CableCatalogue& catalogue);

// Adds to the input problems of each circuit whose cable the database does not hold.
void markUnknownCables(Project& project, const CableCatalogue& catalogue);

// The results as a table, one circuit a line, tab-separated: 回路, 截面(mm²) and the columns of
// the result schema, a header line first with the units, numbers with '.' and the schema's
// decimals, "-" for a value not computed; then the notes of every circuit that did not pass, and
// the sizing decisions, one a line. A tab or a line break in a field or a note (a circuit's name
// as typed) is a space, and a character a file cannot carry is U+FFFD, so that every line splits
// into the same fields.
QString projectResultsText(const ProjectRun& run,
                           const ResultSchema& schema = projectResultSchema());

} // namespace korvane
