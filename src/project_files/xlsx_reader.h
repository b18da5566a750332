#pragma once

#include "project/schedule_columns.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <utility>
#include <vector>

namespace korvane {

// Bounds of a sheet that is read at all: far beyond any circuit list, small enough that a
// damaged or hostile file cannot exhaust the memory.
inline constexpr int kMaxSheetRows = 100000;
inline constexpr int kMaxSheetColumns = 16384;                   // XFD, the format's own limit
inline constexpr qint64 kMaxSheetCells = 5000000;                // sum of the row widths
inline constexpr qint64 kMaxXlsxPartBytes = 200LL * 1024 * 1024; // one XML part, unpacked
inline constexpr qint64 kMaxSpreadsheetFileBytes = 200LL * 1024 * 1024; // the file on disk

// The cells of one sheet. rows[i] is the sheet's row i + 1, cells[j] its column j + 1 (A is 0);
// a row holds cells up to its last cell with a value, rows and cells the file leaves out are
// empty.
struct SheetGrid {
    // Empty when the sheet was read; otherwise why nothing could be read.
    QString error;
    QString sheetName;
    std::vector<std::vector<ScheduleCell>> rows;
    // Cells whose value is an error (#DIV/0!, #N/A) or that cannot be read (a formula without
    // its computed value, a number that is not one), by (row, column) from 0, with the reason.
    // Such a cell is empty in `rows`.
    std::map<std::pair<int, int>, QString> cellProblems;
};

// The column letters of a column counted from 0 (0 → "A", 26 → "AA").
QString columnLetters(int column);

// Reads the sheet named `preferredSheet` of an .xlsx workbook, or its first worksheet when it has
// none of that name: shared strings (rich-text runs joined), inline strings, numbers, booleans
// (as the texts TRUE and FALSE) and the computed values of formulas.
SheetGrid readXlsxSheet(const QString& path, const QString& preferredSheet);
SheetGrid readXlsxSheetFromBytes(const QByteArray& bytes, const QString& preferredSheet);

} // namespace korvane
