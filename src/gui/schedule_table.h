#pragma once

#include <QTableView>

#include <vector>

namespace korvane::gui {

class FrozenBlockView;

// The schedule's table with a block of columns held at its left edge (the circuit's identifier,
// its section and the results that judge it), so that a row can be told and its outcome read
// wherever the table is scrolled to. The block is a second view of the same model and selection,
// with the row numbers; it takes the place of this view's row header, which is widened to it, so
// this view's columns (the block's are hidden here) scroll in the room right of the block and
// none passes under it. Each column is shown once, in one of the two.
class ScheduleTable : public QTableView {
public:
    explicit ScheduleTable(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    // Editing starts the same way in both parts.
    void setEditTriggers(EditTriggers triggers);
    // The view of the block.
    QTableView* frozenBlock() const;
    // The model's columns held in the block, in the model's order; the others scroll.
    void setFrozenColumns(std::vector<int> columns);
    const std::vector<int>& frozenColumns() const { return frozenColumns_; }
    bool isFrozen(int column) const;
    // After the model's rows or columns came anew (a reset brings every column back into both
    // views): each view hides what the other shows, and the block takes the rows' heights.
    void refreshFrozenColumns();
    // Sizes every column to its contents, in whichever part shows it, up to `widest` pixels.
    void fitColumnsToContents(int widest);
    // The width of a column in the part that shows it.
    int shownColumnWidth(int column) const;
    // A cell of the block is brought into sight by scrolling up or down only.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    friend class FrozenBlockView;
    int blockWidth() const;
    void placeFrozenBlock();
    // The first and last columns of each part in the order shown; -1 when the part has none.
    int firstScrollingColumn() const;
    int lastFrozenColumn() const;
    // The keyboard follows the current cell into the part that shows it.
    void focusPartOf(const QModelIndex& current);

    FrozenBlockView* frozen_;
    std::vector<int> frozenColumns_;
};

} // namespace korvane::gui
