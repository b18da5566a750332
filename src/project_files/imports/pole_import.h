#pragma once

#include "project/cable_catalogue.h"
#include "project/feeders/pole_list.h"
#include "project_files/imports/xlsx_reader.h"

#include <QString>
#include <QStringList>

namespace korvane {

// Reading a feeder's pole list as a surveyor gives it: an .xlsx workbook (the sheet named 杆位表,
// else its first worksheet) or a CSV file (read as the circuit-list import reads one).
//
// One row per pole. The header row is the first row among the first ten that holds 杆号; rows
// above it (a title, notes) are not read. Headers are matched leniently (scheduleHeaderKey), in
// any order:
//   杆号 ★                the pole's number, unique within the list (trimmed, any case)
//   支线                  the run it stands on; empty (or 干线) for the trunk
//   起始杆号              the pole a branch leaves from: on the branch's first row, or on every
//                         row of it, and then the same on each
//   桩号(m), 杆距(m) ★    one of them at least: the chainage along its run from the run's start
//                         (increasing along the run), or the span from the pole before it (from
//                         the run's start for its first pole); a row giving both must agree
//   灯具1数量 ★, 灯具1功率(W) ★, 灯具1功率因数 ★, 灯具1镇流器系数 ★, 灯具1三次谐波含量(%)
//                         the pole's lamps; all empty: a pole without a lamp
//   灯具2… (the same five) a second kind of lamp on the pole (a footway lamp beside the
//                         carriageway one); the group may be left out
//   相别                  L1, L2 or L3 fixes the phase of the pole's lamps; empty: the rotation
//   支线损失类型, 支线电缆类型, 支线截面(mm²)
//                         a branch's own cable, on its first row or on every row of it (and then
//                         the same on each); empty: the cable of the run it leaves from
//
// All or nothing: when any row cannot be read, or the rows are no feeder (a branch leaving a pole
// that does not exist, a loop of branches, a pole number given twice, a chainage that does not
// increase), nothing is imported and every problem is reported with its row number as the
// spreadsheet numbers it ("第 7 行：杆距为负数").
struct PoleImport {
    bool ok = false;
    PoleList list; // the trunk first, then the branches in the order they first appear
    // Why nothing was imported, one line each; and the columns that were not read (these alone
    // do not fail the import).
    QStringList problems;
};

// By the file's suffix: .xlsx or .csv. With a catalogue, each branch cable must be one of its
// cables (a branch giving no loss type takes the one loss type the catalogue holds that cable
// type and section under).
PoleImport importPoleList(const QString& path, const CableCatalogue* catalogue = nullptr,
                          const SheetLimits& limits = {});

// The pole-list template: notes on every column above the header row, then a trunk of six poles
// with two branches, as a UTF-8 CSV with a byte-order mark. Written whole or not at all; returns
// an empty string on success, otherwise the reason.
QString writePoleTemplateCsv(const QString& path);

} // namespace korvane
