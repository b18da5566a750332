#pragma once

#include "project_files/imports/xlsx_reader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>

namespace korvane {

// What the imports of lists (circuits, poles) share: a CSV file read into the cells of a sheet,
// and the questions asked of a sheet's cells.

// The header row of a list is looked for among the first rows only: a data cell far down that
// holds a header's text is not a header.
inline constexpr int kSheetHeaderSearchRows = 10;

// A CSV file as Excel, WPS and LibreOffice save it: UTF-8 with or without a byte-order mark,
// fields quoted as RFC 4180 writes them, separated by ';' when the header line (the first of the
// first kSheetHeaderSearchRows lines that holds `headerText`, else the first line) has more of
// them than commas, else by ','. Returns the sheet and its separator; the sheet's error says why
// nothing could be read (not UTF-8, an open quote at the end, beyond a limit of `limits`).
std::pair<SheetGrid, char> readCsvSheet(const QString& path, const QString& headerText,
                                        const SheetLimits& limits);

// The sheet of a list to import, by the file's suffix: the .xlsx workbook's sheet `sheetName` (or
// its first), or a CSV file read as readCsvSheet does, whose ';' separator means decimal commas.
// The grid's error says why nothing could be read, a file of another kind included.
struct ImportSheet {
    SheetGrid grid;
    bool commaDecimals = false;
};
ImportSheet readImportSheet(const QString& path, const QString& sheetName,
                            const QString& headerText, const SheetLimits& limits);

bool isBlankCell(const ScheduleCell& cell);
// The cell at (row, column) from 0; an empty cell beyond the sheet's rows or a row's cells.
const ScheduleCell& gridCell(const SheetGrid& grid, size_t row, size_t column);
// Why the cell at (row, column) could not be read (an error value); nothing when it could.
const QString* gridCellProblem(const SheetGrid& grid, size_t row, size_t column);
// Whether the row holds anything, a cell that could not be read included.
bool gridRowHasContent(const SheetGrid& grid, size_t row);
// “a”、“b”.
QString quotedList(const QStringList& texts);
// A CSV field as RFC 4180 writes it: quoted where it holds a separator, a quote, a line break or
// blanks at either end.
QString csvField(const QString& text);

} // namespace korvane
