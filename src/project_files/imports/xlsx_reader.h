#pragma once

#include "project/inputs/schedule_columns.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace korvane {

// Bounds of what a spreadsheet reader takes in: far beyond any circuit list, small enough that a
// damaged or hostile file cannot exhaust the memory or the time. Each is counted while reading,
// never taken from what the file says of itself; reaching one stops the reading with the reason.
struct SheetLimits {
    // Bytes read from the file, counted as they come: a device or a pipe reports no size.
    qint64 fileBytes = 200LL * 1024 * 1024;
    // One part of a workbook, unpacked.
    qint64 partBytes = 200LL * 1024 * 1024;
    int rows = 100000;
    // Every cell read (empty, error and unreadable cells included) and every column a row is
    // widened by to reach a cell further right.
    qint64 cells = 2000000;
    // The characters of the cells' texts, a shared string counted at every cell that shows it,
    // and of the shared-string table itself.
    qint64 textCharacters = 50000000;
};

// The format's own bounds of a worksheet: column XFD, row 1048576.
inline constexpr int kXlsxColumns = 16384;
inline constexpr int kXlsxRows = 1048576;

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

// The whole file, read in pieces and counted as read; the reason when it cannot be opened or read,
// or holds more than `maxBytes` (a device such as /dev/zero never ends).
std::optional<QByteArray> readFileWithin(const QString& path, qint64 maxBytes, QString& error);

// Reads the sheet named `preferredSheet` of an .xlsx workbook, or its first worksheet when it has
// none of that name: shared strings (rich-text runs joined), inline strings, numbers, booleans
// (as the texts TRUE and FALSE) and the computed values of formulas.
SheetGrid readXlsxSheet(const QString& path, const QString& preferredSheet,
                        const SheetLimits& limits = {});
SheetGrid readXlsxSheetFromBytes(const QByteArray& bytes, const QString& preferredSheet,
                                 const SheetLimits& limits = {});

} // namespace korvane
