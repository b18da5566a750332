#pragma once

#include "project/cable_catalogue.h"
#include "project/supply_catalogue.h"

#include <QString>

#include <vector>

namespace korvane {

class Application;

// What a project is edited against, read once from the program folder: the cable database and
// the transformer and busbar database, with the choice lists of the schedule's supply fields.
// A database that cannot be read leaves its catalogue empty and says why.
struct ProjectCatalogues {
    CableCatalogue cables;
    QString cablesProblem;
    SupplyCatalogue supplies;
    QString suppliesProblem;
    std::vector<TransformerChoice> transformers;
    std::vector<BusbarChoice> busbars;
};

ProjectCatalogues loadProjectCatalogues(const Application& app);

} // namespace korvane
