#pragma once

#include "form/grid.h"

#include <string_view>

#include <QString>
#include <QStringList>

#include <vector>

namespace korvane {

class BindingTable;

// A main-window field that receives a picked cell: the quantity in the table of its page.
struct PickTarget {
    const BindingTable* fields;
    std::string_view quantity;
};

// A handbook table offered in a picker dialog: its texts, its grid and the main-window fields a
// picked cell is copied into.
struct ReferenceTable {
    QString form;                   // dialog name, e.g. "Form4"
    QString caption;                // window title
    QString titleLine;              // the line above the grid, centred by leading spaces
    QString heading;                // the heading above that line
    QString sourceNote;             // the handbook the figures come from
    QString instruction;            // below the grid, left; empty when the dialog has none
    QString unit;                   // below the grid, right; empty when the dialog has none
    std::vector<QStringList> cells; // row by row, every row as long as the grid is wide
    int rowHeightTwips = 280;
    int colWidthTwips = 698; // columns 1 to the last; column 0 keeps the default
    CellAlignment alignment = CellAlignment::CenterCenter;
    std::vector<int> mergeRows;
    std::vector<int> mergeCols;
    std::vector<PickTarget> targets; // main-window fields that receive a picked cell
};

// Every picker table: Form2 (Rphp), Form3 (Xphp), Form4/Form6 (R'), Form5/Form7 (X'),
// Form10 (K) and Form12 (leakage current).
const std::vector<ReferenceTable>& referenceTables();

} // namespace korvane
