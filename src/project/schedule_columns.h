#pragma once

#include "form/number_format.h"
#include "project/project.h"

#include <QString>

#include <optional>
#include <variant>
#include <vector>

namespace korvane {

// The input columns of the circuit schedule, in their order: what the .xlsx export writes and
// the .xlsx and CSV import reads, one circuit a row.
enum class ScheduleColumn {
    Id,
    Description,
    LossType,
    CableType,
    CrossSection,
    ResistanceOhmPerKm,
    ReactanceOhmPerKm,
    R0,
    X0,
    LoopResistance,
    LoopReactance,
    NeutralResistance,
    NeutralReactance,
    CoefficientK,
    DurationS,
    LeakagePerKm,
    LoadCurrentA,
    ProtectionMode,
    LetThroughA2s,
    LayingMethod,
    LayingTemperatureC,
    SoilResistivity,
    GroupedCircuits,
    CircuitSpacingM,
    LoadKind,
    LineKind,
    LoadCase,
    VoltageKv,
    PowerFactor,
    ConductorTemperatureC,
    AmbientTemperatureC,
    Load,
    LoadDistanceKm,
    SeveralLoads,
    Poles,
    LampsPerPole,
    LampPowerW,
    LampPowerFactor,
    BallastFactor,
    SpacingM,
    FirstPoleM,
    Connection,
    StartPhase,
    ThirdHarmonicPercent,
};

struct ScheduleColumnInfo {
    ScheduleColumn column;
    const char* header; // UTF-8, units in the header
    bool required;      // a row without it cannot be a circuit
};

// Every input column, in order.
const std::vector<ScheduleColumnInfo>& scheduleInputColumns();
QString scheduleHeader(ScheduleColumn column);

// A cell: empty, a number or a text.
using ScheduleCell = std::variant<std::monostate, double, QString>;

// A cell as text: a number in `format` (the plain one, '.' and no grouping, unless told), a text
// as it is, nothing for an empty cell.
QString scheduleCellText(const ScheduleCell& cell, const RegionalFormat& format = RegionalFormat{});
// The cell of a circuit's column. A column that does not belong to the circuit's load (the
// feeder columns of a load-case circuit) is empty.
ScheduleCell scheduleCell(const ProjectCircuit& circuit, ScheduleColumn column);

// Sets the column of a circuit from a cell. Returns the reason when the cell cannot be read for
// that column (a text where a number belongs, an unknown choice); an empty cell of a column that
// is not required leaves the circuit's value as it is, except in the columns of values that may
// be missing (the installation conditions, I²t, the third-harmonic content), where it clears the
// circuit's value: the project's, or none, applies again. The load kind must be applied before
// the columns of its load.
std::optional<QString> applyScheduleCell(ProjectCircuit& circuit, ScheduleColumn column,
                                         const ScheduleCell& cell);

// The texts of the choice columns.
QString protectionModeText(ProtectionMode mode);
QString loadKindText(bool feeder);
QString connectionText(FeederConnection connection);
QString phaseText(Phase phase);

} // namespace korvane
