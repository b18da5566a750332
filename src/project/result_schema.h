#pragma once

#include "base/number_format.h"
#include "project/inputs/schedule_columns.h"
#include "project/project_compute.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace korvane {

// The results of a project circuit, described once. Every output — the schedule window, the
// .xlsx workbook, korvane-cli's table and the project book's circuit table — draws its result
// columns, their number formats, their verdicts and the notes below them from here, so that a
// new check or column is one row of the schema.

// The overall verdict of a circuit, in the states of a check (overallState): a circuit one of
// whose checks could not be computed is never reported as passed nor as failed, unless another
// check failed: then it failed.
using CircuitVerdict = CheckOutcome::State;
inline CircuitVerdict circuitVerdict(const CircuitResult& result) {
    return overallState(result);
}
// 通过, 不通过 or 未计算, as a check's state is written.
inline QString verdictText(CircuitVerdict verdict) {
    return checkStateText(verdict);
}

// What a check that did not pass says: "<check><state>：<figures or reason>".
QString checkNote(const CircuitCheck& check, const CheckOutcome& outcome);

// The value of one result cell: a number, a text, or nothing with the reason it is missing.
struct ResultValue {
    ScheduleCell value;
    QString reason; // why the cell is empty; empty when it holds a value
};

// One result column.
struct SchemaColumn {
    // Text columns (a verdict) carry no decimals.
    static constexpr int kText = -1;

    QString header;   // with its unit in brackets, as "Δu(%)"
    int decimals = 0; // a number's decimals in every output, or kText
    // The check whose state the cell shows (red when it did not pass); nothing for a figure that
    // no check judges on its own.
    std::optional<CircuitCheck> check;
    bool overall = false; // the circuit's overall verdict: coloured by circuitVerdict
    // The column's width in the book's circuit table, which has the 146 mm between the margins
    // of an A4 page for every column at 7.5 pt; 0 leaves the column out of that table (the
    // circuit's process text gives the figure).
    double bookWidthMm = 0.0;
    std::function<ResultValue(const ProjectCircuit&, const CircuitResult&)> read;
};

// The result columns of a project circuit, in the order every output shows them.
struct ResultSchema {
    std::vector<SchemaColumn> columns;

    // The column with this header, or nothing.
    const SchemaColumn* column(const QString& header) const;
};

// The schema of the program, its rows in makeProjectSchema (result_schema.cpp). No result may
// take the header of an input column: a schedule holds both in one row and is read back by them.
const ResultSchema& projectResultSchema();

// How one result cell of a circuit is judged: its value, the state of the check (or of the
// circuit) behind it, and for a cell that is not a pass the note that says why (the check's
// figures, or the reason the value is missing; for the verdict, every note of the circuit).
struct JudgedResult {
    ResultValue value;
    bool judged = false; // false: a plain figure, no check behind it
    CheckOutcome::State state = CheckOutcome::State::NotComputed;
    QString note;
};
JudgedResult judgeResult(const SchemaColumn& column, const ProjectCircuit& circuit,
                         const CircuitResult& result);

// The text of a result value: a number in `format` to the column's decimals, a text as it is,
// `missing` for an empty cell.
QString resultText(const SchemaColumn& column, const ResultValue& value,
                   const RegionalFormat& format, const QString& missing = {});

// What stands behind a circuit's verdict, one line each: "未计算：reasons" when its inputs could
// not be read, otherwise "<check><state>：<figures or reason>" for every check that did not pass,
// then "注意：…" for each warning.
QStringList circuitNoteLines(const CircuitResult& result);
// The correction factors of a capacity, "Kt 0.96 × Kρ 1 × Kg 0.8" (× Kh for harmonics).
QString factorsText(const CapacityCheck& capacity);
// The same lines, each led by the circuit's identifier ("WL2 电压损失不通过：…").
QStringList circuitNotes(const ProjectCircuit& circuit, const CircuitResult& result);

} // namespace korvane
