#pragma once

#include "project/project_run.h"
#include "project/result_schema.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace korvane {

// Writes a computed project as an .xlsx workbook: the sheet "回路表" with one row per circuit
// (the input columns of the schedule, then the columns of the result schema, each number in its
// column's decimals; a check that failed or was not computed in red with its reason as a comment),
// the sheet "电源" with the supply, and one sheet per lamp-pole feeder, named after the circuit,
// with its voltages pole by pole. The workbook is written beside `path` and replaces it only when
// complete, so a failed write leaves an older file as it was. Returns an empty string on success,
// otherwise the reason.
QString writeScheduleXlsx(const ProjectRun& run, const QString& path,
                          const ResultSchema& schema = projectResultSchema());

// The sheet names of a workbook, compared as Excel compares them, without regard to case; each
// name is found in constant time, so that naming a sheet per feeder stays linear in the feeders.
class SheetNames {
public:
    SheetNames();

    // Takes `name` as it is (a sheet the writer names itself).
    void take(const QString& name);
    // A sheet name Excel accepts for `wanted` that is not taken yet, now taken: the characters
    // []:*?/\, control characters and what XML cannot carry replaced by '_', no apostrophe at
    // either end, at most 31 characters, and a number appended when the name is taken.
    QString add(const QString& wanted);

private:
    QSet<QString> taken_;            // case-folded
    QHash<QString, int> nextNumber_; // per case-folded base name: the number to try first
};

// The name SheetNames::add gives `wanted` in a workbook whose sheets are `taken`.
QString uniqueSheetName(const QString& wanted, const QStringList& taken);

} // namespace korvane
