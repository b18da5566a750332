#pragma once

#include "calc/computed.h"
#include "project/project.h"

#include <vector>

namespace korvane {

class Database;

// The transformers and busbars of the transformer and busbar database, by the names a project
// gives its supply.
struct SupplyCatalogue {
    struct TransformerRow {
        QString series;
        QString voltageKv;
        double ratedKva = 0.0;
    };
    struct BusbarRow {
        QString material;
        QString size;
    };
    std::vector<TransformerRow> transformers;
    std::vector<BusbarRow> busbars;
};

Computed<SupplyCatalogue> loadSupplyCatalogue(const Database& db);

// Why the project's supply is not one of the database: its transformer (series, HV voltage when
// the project names one, capacity) or its busbar (material and size). Empty when both are there.
QStringList unknownSupply(const Supply& supply, const SupplyCatalogue& catalogue);

// Adds those reasons to every circuit: no circuit is computed from a supply the database lacks.
void markUnknownSupply(Project& project, const SupplyCatalogue& catalogue);

} // namespace korvane
