#pragma once

#include "db/database.h"

namespace korvane {

// The three catalogue tables, each read whole, in table order, by one function for every user
// (the project's catalogues, the schedule's choice lists, the database dialogs), with its
// columns in the order named below.

// The cable table AAA.
enum CableColumn {
    CableLossType,
    CableTypeName,
    CableCrossSection,
    CableResistance,
    CableReactance
};
QueryResult readCableTable(const Database& db);

// The transformer table 变压器阻抗.
enum TransformerColumn {
    TransformerSeries,
    TransformerVoltage,
    TransformerCapacity,
    TransformerImpedanceVoltage,
    TransformerLoadLoss
};
QueryResult readTransformerTable(const Database& db);

// The busbar table 低压母线单位长度阻抗, per metre in mΩ/m.
enum BusbarColumn {
    BusbarMaterial,
    BusbarSize,
    BusbarPhaseResistance,
    BusbarPhaseReactance,
    BusbarLoopResistance,
    BusbarLoopReactance
};
QueryResult readBusbarTable(const Database& db);

// The temperatures of each loss type's resistances, loss_type_temperature.
enum LossTypeTemperatureColumn {
    LossTypeName,
    LossTypeResistanceTemperature,
    LossTypeWorkingTemperature
};
QueryResult readLossTypeTemperatureTable(const Database& db);

// The switchgear series of project circuits, project_switchgear, by selection current.
enum SwitchgearColumn {
    SwitchgearSelectionUpTo,
    SwitchgearBreaker,
    SwitchgearContactor,
    SwitchgearKind,
    SwitchgearTripFactor
};
QueryResult readProjectSwitchgearTable(const Database& db);

} // namespace korvane
