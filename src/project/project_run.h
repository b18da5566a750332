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

ProjectRun runProject(const Project& project, const CableCatalogue* sizeWith);

// The results as a table, one circuit a line, tab-separated, a header line first with the
// units; then a line for each check that did not pass, and the sizing decisions.
QString projectResultsText(const ProjectRun& run);

} // namespace korvane
