#pragma once

#include "project/cable_catalogue.h"
#include "project/project.h"
#include "project_files/imports/xlsx_reader.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace korvane {

// Reading a circuit list from a spreadsheet: an .xlsx workbook (the sheet named 回路表, else its
// first worksheet) or a CSV file (UTF-8 with or without a byte-order mark, ',' or ';' between
// the fields as the header line shows, fields quoted as RFC 4180 writes them).
//
// The layout is the schedule's input columns (scheduleInputColumns): the header row is the first
// row, among the first ten, that holds the header 回路编号; rows above it (a title) are not read.
// Headers are matched by their key (scheduleHeaderKey: blanks, case, full-width forms, the
// apostrophe for ′, mm2, Ohm and °C do not matter), in any order. A header that is not an input
// column (the result columns of an exported schedule) is reported once and its column is not
// read; a required column that is missing, or a column given twice, fails the whole import. Each
// row below the header is one circuit, its load kind and identifier read before its other cells;
// rows with nothing in them are skipped.
//
// R, X, the six per-metre values and the leakage current may be left blank, or their columns
// left out: they are then filled from the cable database and the handbook tables as a new
// section is (fillBlankCableValues), and `filled` says so for each row; a row whose blanks cannot
// be filled fails. A number written with a comma as its decimal sign is read as such in a CSV
// separated by ';' only, and only where the comma cannot be a thousands separator.
//
// All or nothing: when any row cannot be read, no circuit is imported and the problems list
// every row that failed, with its row number as the spreadsheet numbers it and every reason
// ("第5行：“灯杆数”应为整数：30.5"): a cell its column cannot take, a negative length, a
// circuit identifier (of any case) that a row above already has. A file that cannot be read at
// all (damaged zip or XML, not UTF-8, beyond a limit of `limits`) imports nothing, with the
// reason.
struct CircuitImport {
    // True when every row was read; circuits then holds them all, in the file's order. False:
    // circuits is empty.
    bool ok = false;
    std::vector<ProjectCircuit> circuits;
    // What to tell the user, one line each: why nothing was imported, the rows that could not be
    // read, and the columns that were not read (these alone do not fail the import).
    QStringList problems;
    // The rows whose blank cable values were filled, one line each with its row number and what
    // was filled from where ("第3行：R、X 与单位长度阻抗按电缆数据库和手册表填入"). Empty unless
    // ok.
    QStringList filled;
};

// By the file's suffix: .xlsx or .csv; anything else is refused with the reason. The catalogue
// gives R and X of the cables whose list leaves them blank.
CircuitImport importCircuits(const QString& path, const CableCatalogue& catalogue,
                             const SheetLimits& limits = {});

// The import template: the header row and two example circuits (a load case and a lamp-pole
// feeder), as a UTF-8 CSV with a byte-order mark so that Excel and WPS open it as UTF-8. Written
// whole or not at all; returns an empty string on success, otherwise the reason.
QString writeImportTemplateCsv(const QString& path);

} // namespace korvane
