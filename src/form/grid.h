#pragma once

#include "form/control.h"

#include <vector>

namespace korvane {

enum class CellAlignment { CenterCenter, CenterTop, LeftCenter };

// A rectangle of cells drawn as one.
struct CellRange {
    int row = 0;
    int col = 0;
    int rowSpan = 1;
    int colSpan = 1;

    bool operator==(const CellRange&) const = default;
};

// Grid of text cells with a current cell, per-row heights and per-column widths in twips
// (1/1440 inch), per-column alignment, per-cell background colours and free merging: with it on,
// neighbouring cells of equal text are drawn as one cell along the rows and columns that allow it.
// Moving the current cell raises LeaveCell (on the old cell) and EnterCell (on the new one).
class Grid : public Control {
public:
    Grid(Form& form, QString name) : Control(form, ControlKind::Grid, std::move(name)) {}

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    void setSize(int rows, int cols);

    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);
    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    CellAlignment colAlignment(int col) const;
    void setColAlignment(int col, CellAlignment alignment);

    const QString& text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    Color cellBackColor(int row, int col) const;

    bool mergeCells() const { return mergeCells_; }
    void setMergeCells(bool on);
    bool mergeRow(int row) const;
    void setMergeRow(int row, bool on);
    bool mergeCol(int col) const;
    void setMergeCol(int col, bool on);
    // The merged rectangles of more than one cell, row by row.
    std::vector<CellRange> mergedRanges() const;

    // The current cell; -1 before the user has entered any.
    int row() const { return row_; }
    int col() const { return col_; }
    // Moves the current cell, raising LeaveCell and EnterCell when it changes.
    void setCurrentCell(int row, int col);
    // Sets the background of the current cell.
    void setCurrentCellBackColor(Color color);

    bool contains(int row, int col) const;
    PropertyList properties() const override;

private:
    size_t index(int row, int col) const {
        return static_cast<size_t>(row) * static_cast<size_t>(cols_) + static_cast<size_t>(col);
    }

    int rows_ = 0;
    int cols_ = 0;
    std::vector<QString> texts_;
    std::vector<Color> backColors_;
    std::vector<int> rowHeights_;
    std::vector<int> colWidths_;
    std::vector<CellAlignment> alignments_;
    std::vector<bool> mergeRows_;
    std::vector<bool> mergeCols_;
    bool mergeCells_ = false;
    int row_ = -1;
    int col_ = -1;
};

// Twips (1/1440 inch) to pixels at the 96 dpi the forms are laid out for.
inline constexpr int twipsToPixels(int twips) {
    return (twips + 7) / 15;
}

inline constexpr int kDefaultRowHeightTwips = 240;
inline constexpr int kDefaultColWidthTwips = 1200;

} // namespace korvane
