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
        double ukPercent = 0.0;  // a figure the database lacks reads as 0
        double loadLossKw = 0.0; //
    };
    struct BusbarRow {
        QString material;
        QString size;
        PhaseAndLoop perMetreMilliOhm{}; // a figure the database lacks reads as 0
    };
    std::vector<TransformerRow> transformers;
    std::vector<BusbarRow> busbars;
};

// A transformer or busbar as the schedule's supply fields offer it: the text of the choice and
// the figures choosing it transfers.
struct TransformerChoice {
    QString text; // "S11-M 10 kV 400 kVA"
    Transformer transformer;
};
struct BusbarChoice {
    QString text; // "铜母线TMY 4(100X10)"
    QString material;
    QString size;
    PhaseAndLoop perMetreMilliOhm;
};

Computed<SupplyCatalogue> loadSupplyCatalogue(const Database& db);

// The rows as the transformer and busbar dialogs list them: each text once, its first row
// counting, as the dialogs find it.
std::vector<TransformerChoice> transformerChoices(const SupplyCatalogue& catalogue);
// The text a transformer or busbar is offered and shown by: "S11-M 10 kV 400 kVA",
// "铜母线TMY 4(100X10)".
QString transformerText(const Transformer& transformer);
QString busbarText(const QString& material, const QString& size);
std::vector<BusbarChoice> busbarChoices(const SupplyCatalogue& catalogue);

// Why the project's supply is not one of the database: its transformer (series, HV voltage when
// the project names one, capacity) or its busbar (material and size). Empty when both are there.
QStringList unknownSupply(const Supply& supply, const SupplyCatalogue& catalogue);

// Adds those reasons to every circuit: no circuit is computed from a supply the database lacks.
void markUnknownSupply(Project& project, const SupplyCatalogue& catalogue);

} // namespace korvane
