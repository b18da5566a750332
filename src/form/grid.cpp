#include "form/grid.h"

namespace korvane {

namespace {
const QString kNoText;
}

void Grid::setSize(int rows, int cols) {
    rows_ = rows;
    cols_ = cols;
    texts_.assign(static_cast<size_t>(rows * cols), QString());
    backColors_.assign(static_cast<size_t>(rows * cols), colors::kWhite);
    rowHeights_.assign(static_cast<size_t>(rows), kDefaultRowHeightTwips);
    colWidths_.assign(static_cast<size_t>(cols), kDefaultColWidthTwips);
    alignments_.assign(static_cast<size_t>(cols), CellAlignment::LeftCenter);
    mergeRows_.assign(static_cast<size_t>(rows), false);
    mergeCols_.assign(static_cast<size_t>(cols), false);
    row_ = -1; // no current cell until the user enters one
    col_ = -1;
    notify();
}

bool Grid::contains(int row, int col) const {
    return row >= 0 && row < rows_ && col >= 0 && col < cols_;
}

int Grid::rowHeight(int row) const {
    return row >= 0 && row < rows_ ? rowHeights_[static_cast<size_t>(row)] : 0;
}

void Grid::setRowHeight(int row, int twips) {
    if (row >= 0 && row < rows_)
        rowHeights_[static_cast<size_t>(row)] = twips;
}

int Grid::colWidth(int col) const {
    return col >= 0 && col < cols_ ? colWidths_[static_cast<size_t>(col)] : 0;
}

void Grid::setColWidth(int col, int twips) {
    if (col >= 0 && col < cols_)
        colWidths_[static_cast<size_t>(col)] = twips;
}

CellAlignment Grid::colAlignment(int col) const {
    return col >= 0 && col < cols_ ? alignments_[static_cast<size_t>(col)]
                                   : CellAlignment::LeftCenter;
}

void Grid::setColAlignment(int col, CellAlignment alignment) {
    if (col >= 0 && col < cols_)
        alignments_[static_cast<size_t>(col)] = alignment;
}

const QString& Grid::text(int row, int col) const {
    return contains(row, col) ? texts_[index(row, col)] : kNoText;
}

void Grid::setText(int row, int col, const QString& text) {
    if (!contains(row, col))
        return;
    texts_[index(row, col)] = text;
    notify();
}

Color Grid::cellBackColor(int row, int col) const {
    return contains(row, col) ? backColors_[index(row, col)] : colors::kWhite;
}

void Grid::setMergeCells(bool on) {
    mergeCells_ = on;
    notify();
}

bool Grid::mergeRow(int row) const {
    return row >= 0 && row < rows_ && mergeRows_[static_cast<size_t>(row)];
}

void Grid::setMergeRow(int row, bool on) {
    if (row >= 0 && row < rows_) {
        mergeRows_[static_cast<size_t>(row)] = on;
        notify();
    }
}

bool Grid::mergeCol(int col) const {
    return col >= 0 && col < cols_ && mergeCols_[static_cast<size_t>(col)];
}

void Grid::setMergeCol(int col, bool on) {
    if (col >= 0 && col < cols_) {
        mergeCols_[static_cast<size_t>(col)] = on;
        notify();
    }
}

std::vector<CellRange> Grid::mergedRanges() const {
    std::vector<CellRange> ranges;
    if (!mergeCells_ || rows_ == 0 || cols_ == 0)
        return ranges;
    // First the runs of equal text along each row that may merge.
    std::vector<int> runStart(static_cast<size_t>(rows_ * cols_));
    std::vector<int> runLength(static_cast<size_t>(rows_ * cols_), 1);
    for (int r = 0; r < rows_; ++r) {
        int c = 0;
        while (c < cols_) {
            int end = c + 1;
            if (mergeRow(r)) {
                while (end < cols_ && text(r, end) == text(r, c))
                    ++end;
            }
            for (int k = c; k < end; ++k) {
                runStart[index(r, k)] = c;
                runLength[index(r, k)] = end - c;
            }
            c = end;
        }
    }
    // Then equal cells down a column that may merge, where the cells above and below cover the
    // same columns, so that every merged area stays a rectangle.
    std::vector<bool> taken(static_cast<size_t>(rows_ * cols_), false);
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            if (taken[index(r, c)] || runStart[index(r, c)] != c)
                continue;
            const int span = runLength[index(r, c)];
            int bottom = r + 1;
            if (mergeCol(c)) {
                while (bottom < rows_ && text(bottom, c) == text(r, c) &&
                       runStart[index(bottom, c)] == c && runLength[index(bottom, c)] == span)
                    ++bottom;
            }
            for (int rr = r; rr < bottom; ++rr) {
                for (int cc = c; cc < c + span; ++cc)
                    taken[index(rr, cc)] = true;
            }
            if (bottom - r > 1 || span > 1)
                ranges.push_back({r, c, bottom - r, span});
        }
    }
    return ranges;
}

void Grid::setCurrentCell(int row, int col) {
    if (!contains(row, col) || (row == row_ && col == col_))
        return;
    if (contains(row_, col_))
        raise(Event::LeaveCell);
    row_ = row;
    col_ = col;
    notify();
    raise(Event::EnterCell);
}

void Grid::setCurrentCellBackColor(Color color) {
    if (!contains(row_, col_))
        return;
    backColors_[index(row_, col_)] = color;
    notify();
}

PropertyList Grid::properties() const {
    auto list = Control::properties();
    list.emplace_back(QStringLiteral("Rows"), QString::number(rows_));
    list.emplace_back(QStringLiteral("Cols"), QString::number(cols_));
    list.emplace_back(QStringLiteral("Row"), QString::number(row_));
    list.emplace_back(QStringLiteral("Col"), QString::number(col_));
    list.emplace_back(QStringLiteral("Text"), text(row_, col_));
    list.emplace_back(QStringLiteral("CellBackColor"), colorText(cellBackColor(row_, col_)));
    return list;
}

} // namespace korvane
