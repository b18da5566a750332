#pragma once

#include "calc/computed.h"
#include "circuit/circuit.h"

#include <optional>
#include <vector>

namespace korvane {

class Database;

// One row of the cable database: the cable and its R and X per km. The cross-section is read as
// a number once, here, for everything that computes with it (the order of the sections, the
// handbook figures of a section); the text stays what the database writes, for display and files.
struct CableRow {
    CableRow(CableIdentity identity, double resistance, double reactance);

    CableIdentity cable;
    double resistanceOhmPerKm = 0.0;
    double reactanceOhmPerKm = 0.0;
    std::optional<double> crossSectionMm2; // missing when the database's text is not a number
};

// The cable database in memory, in the order of its table.
struct CableCatalogue {
    std::vector<CableRow> rows;

    const CableRow* find(const CableIdentity& cable) const;
    // The cross-sections of one cable type, smallest first by their number.
    std::vector<const CableRow*> sectionsOf(const QString& lossType,
                                            const QString& cableType) const;
};

// Reads the whole cable table; rows whose R or X is not a number are left out.
Computed<CableCatalogue> loadCableCatalogue(const Database& db);

} // namespace korvane
