#pragma once

#include <QTableView>

namespace korvane::gui {

// The schedule's table with its first column (the circuit's identifier) held at the left edge:
// a second view of the same model and selection lies over it and scrolls only up and down, so
// that a row can be told by its identifier wherever the table is scrolled to.
class ScheduleTable : public QTableView {
public:
    explicit ScheduleTable(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    void setItemDelegate(QAbstractItemDelegate* delegate);
    // The view over the first column.
    QTableView* frozenColumn() const { return frozen_; }
    // After the model's columns came anew (a reset): only the first stays in the frozen view.
    void refreshFrozenColumn();
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    void placeFrozenColumn();

    QTableView* frozen_;
};

} // namespace korvane::gui
