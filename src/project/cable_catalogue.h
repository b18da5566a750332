#pragma once

#include "calc/computed.h"
#include "capacity/current_capacity.h"
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

// The temperature the database's resistances of a loss type are given at, and the working
// temperature of its insulation, °C.
struct LossTypeTemperature {
    QString lossType;
    double resistanceTemperatureC = 20.0;
    double workingTemperatureC = 70.0;
};

// One row of the project switchgear series: the residual-current circuit-breaker QR and the
// contactor QC chosen for a selection current 1.5·Ib up to `selectionUpToA`, and the breaker's
// kind with its conventional operating current I2 = factor · In.
struct SwitchgearRating {
    double selectionUpToA = 0.0;
    int breakerA = 0;
    int contactorA = 0;
    QString breakerKind;
    double conventionalTripFactor = 1.45;
};

// The cable database in memory: the cables in the order of their table, and the reference data
// of project circuits beside them. A table the database does not hold is missing with the
// reason, and only the checks that need it are not computed.
struct CableCatalogue {
    std::vector<CableRow> rows;
    Computed<CapacityTables> capacity = std::nullopt;
    Computed<std::vector<LossTypeTemperature>> lossTypes = std::nullopt;
    Computed<std::vector<SwitchgearRating>> switchgear = std::nullopt;

    const CableRow* find(const CableIdentity& cable) const;
    // The cross-sections of one cable type, smallest first by their number.
    std::vector<const CableRow*> sectionsOf(const QString& lossType,
                                            const QString& cableType) const;
    // The temperatures of a loss type; failed with the reason when the database gives none.
    Computed<LossTypeTemperature> temperatureOf(const QString& lossType) const;
};

// Reads the whole cable table; rows whose R or X is not a number are left out.
Computed<CableCatalogue> loadCableCatalogue(const Database& db);

} // namespace korvane
