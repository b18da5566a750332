#pragma once

#include "project/cable_catalogue.h"
#include "project/supply_catalogue.h"

#include <QString>

#include <vector>

namespace korvane {

class Application;

// What a project is edited against, read once from the program folder: the cable database and
// the transformer and busbar database, with the choice lists of the schedule's supply fields.
// A database that cannot be read gives its catalogue as the reason, and no choices.
struct ProjectCatalogues {
    Computed<CableCatalogue> cables = std::nullopt;
    Computed<SupplyCatalogue> supplies = std::nullopt;
    std::vector<TransformerChoice> transformers;
    std::vector<BusbarChoice> busbars;

    // The cables to choose from and compute with: none when the database could not be read.
    const CableCatalogue& cableRows() const;
};

ProjectCatalogues loadProjectCatalogues(const Application& app);

} // namespace korvane
