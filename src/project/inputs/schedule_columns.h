#pragma once

#include "base/number_format.h"
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

// A header as a spreadsheet's header is compared with the schedule's: blanks dropped, letters
// of any case, full-width characters as their ASCII forms, the apostrophes ' ’ ‘ as the prime ′,
// mm2, mm^2 as mm², Ohm as Ω, °C as ℃ (R'(mOhm/m) is R′(mΩ/m)). No two columns of the schedule,
// input or result, have the same key.
QString scheduleHeaderKey(const QString& header);

// Whether the column holds a number: the cross-section's text counts, since it names mm².
bool scheduleColumnIsNumeric(ScheduleColumn column);

// A number written with a comma as its decimal sign ("0,727", "-12,5"): the same number with a
// point ("0.727"). Nothing for any other text, and for the texts a thousands separator could
// have written ("1,234", "12,500"), which may mean either.
std::optional<QString> commaDecimalAsPoint(const QString& text);

// Why a number column refuses a text: "“R(Ω/km)”不是数值：0,727（小数点请用“.”）", the advice in
// brackets when a comma stands where a point or nothing would make the text a number.
QString notANumberReason(ScheduleColumn column, const QString& text);

// A cell: empty, a number or a text.
using ScheduleCell = std::variant<std::monostate, double, QString>;

// A cell as text: a number in `format` (the plain one, '.' and no grouping, unless told), a text
// as it is, nothing for an empty cell.
QString scheduleCellText(const ScheduleCell& cell, const RegionalFormat& format = RegionalFormat{});
// The cell of a circuit's column. A column that does not belong to the circuit's load (the
// feeder columns of a load-case circuit) is empty.
ScheduleCell scheduleCell(const ProjectCircuit& circuit, ScheduleColumn column);

// Sets the column of a circuit from a cell. Returns the reason when the cell cannot be read for
// that column: a text where a number belongs, an unknown choice (choices are matched whatever the
// case of their letters: l1 is L1), a text holding a control character, a line break or half of a
// surrogate pair (no file keeps it intact), or an identifier with a character that a file name or
// a sheet name cannot hold. An empty cell of a column that is not required leaves the circuit's
// value as it is, except in the columns of values that may be missing (the installation
// conditions, I²t, the third-harmonic content), where it clears the circuit's value: the
// project's, or none, applies again. The load kind must be applied before the columns of its
// load.
std::optional<QString> applyScheduleCell(ProjectCircuit& circuit, ScheduleColumn column,
                                         const ScheduleCell& cell);

// The texts of the choice columns.
QString protectionModeText(ProtectionMode mode);
QString loadKindText(bool feeder);
QString connectionText(FeederConnection connection);
QString phaseText(Phase phase);

} // namespace korvane
