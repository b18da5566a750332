#include "gui/schedule_table.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace korvane::gui {

// The block's view: the held columns and the row numbers. Moving right from its last column
// goes on to the first scrolling column, as if the two were one table.
class FrozenBlockView : public QTableView {
public:
    explicit FrozenBlockView(ScheduleTable* table) : QTableView(table), table_(table) {}

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override {
        const QModelIndex current = currentIndex();
        if ((cursorAction == MoveRight || cursorAction == MoveNext) && current.isValid() &&
            current.column() == table_->lastFrozenColumn()) {
            const int next = table_->firstScrollingColumn();
            if (next >= 0)
                return model()->index(current.row(), next);
        }
        return QTableView::moveCursor(cursorAction, modifiers);
    }

    void paintEvent(QPaintEvent* event) override {
        QTableView::paintEvent(event);
        // The edge of the block, where the scrolling columns begin.
        QPainter painter(viewport());
        painter.setPen(QPen(palette().color(QPalette::Dark), 2));
        const int x = viewport()->width() - 1;
        painter.drawLine(x, 0, x, viewport()->height());
    }

private:
    ScheduleTable* table_;
};

ScheduleTable::ScheduleTable(QWidget* parent)
    : QTableView(parent), frozen_(new FrozenBlockView(this)) {
    frozen_->horizontalHeader()->setHighlightSections(false);
    frozen_->verticalHeader()->setHighlightSections(false);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollMode(ScrollPerPixel);
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->setWordWrap(false);
    frozen_->raise(); // over this view's row header
    setVerticalScrollMode(ScrollPerPixel);
    // Across, a column at a time: the first column right of the block is always shown whole.
    setHorizontalScrollMode(ScrollPerItem);

    connect(frozen_->horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        updateGeometries();
        placeFrozenBlock();
    });
    // Rows keep one height in both parts, whichever part the engineer resizes them in.
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) { frozen_->setRowHeight(section, size); });
    connect(frozen_->verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) { setRowHeight(section, size); });
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
            &QAbstractSlider::setValue);
}

void ScheduleTable::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    frozen_->setModel(model);
    frozen_->setSelectionModel(selectionModel());
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { focusPartOf(current); });
    refreshFrozenColumns();
}

void ScheduleTable::setEditTriggers(EditTriggers triggers) {
    QTableView::setEditTriggers(triggers);
    frozen_->setEditTriggers(triggers);
}

QTableView* ScheduleTable::frozenBlock() const {
    return frozen_;
}

void ScheduleTable::setFrozenColumns(std::vector<int> columns) {
    std::sort(columns.begin(), columns.end());
    frozenColumns_ = std::move(columns);
    refreshFrozenColumns();
}

bool ScheduleTable::isFrozen(int column) const {
    return std::binary_search(frozenColumns_.begin(), frozenColumns_.end(), column);
}

void ScheduleTable::refreshFrozenColumns() {
    const QAbstractItemModel* m = model();
    if (m == nullptr)
        return;
    for (int column = 0; column < m->columnCount(); ++column) {
        const bool frozen = isFrozen(column);
        // A column that comes into the block keeps the width it had.
        if (frozen && !isColumnHidden(column))
            frozen_->setColumnWidth(column, columnWidth(column));
        frozen_->setColumnHidden(column, !frozen);
        setColumnHidden(column, frozen);
    }
    frozen_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    for (int row = 0; row < m->rowCount(); ++row)
        frozen_->setRowHeight(row, rowHeight(row));
    updateGeometries();
    placeFrozenBlock();
}

void ScheduleTable::fitColumnsToContents(int widest) {
    resizeColumnsToContents();
    frozen_->resizeColumnsToContents();
    for (QTableView* view : {static_cast<QTableView*>(this), static_cast<QTableView*>(frozen_)}) {
        for (int column = 0; column < view->model()->columnCount(); ++column) {
            if (view->columnWidth(column) > widest)
                view->setColumnWidth(column, widest);
        }
    }
    updateGeometries();
    placeFrozenBlock();
}

int ScheduleTable::shownColumnWidth(int column) const {
    return isFrozen(column) ? frozen_->columnWidth(column) : columnWidth(column);
}

int ScheduleTable::blockWidth() const {
    const QHeaderView* numbers = frozen_->verticalHeader();
    int width = std::max(numbers->minimumWidth(), numbers->sizeHint().width());
    for (int column : frozenColumns_)
        width += frozen_->columnWidth(column);
    return width;
}

void ScheduleTable::updateGeometries() {
    // This view's row header is as wide as the block that covers it: the scrolling columns
    // start right of the block.
    verticalHeader()->setMinimumWidth(blockWidth());
    QTableView::updateGeometries();
    placeFrozenBlock();
}

void ScheduleTable::placeFrozenBlock() {
    frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    frozen_->setGeometry(frameWidth(), frameWidth(), verticalHeader()->width(),
                         horizontalHeader()->height() + viewport()->height());
}

void ScheduleTable::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    // At the right end Qt lines the last column up with the right edge, which cuts the column at
    // the left edge; keep that one whole and leave the room at the right, as a spreadsheet does.
    const QScrollBar* across = horizontalScrollBar();
    if (dx != 0 && across->maximum() > 0 && across->value() == across->maximum()) {
        horizontalHeader()->setOffsetToSectionPosition(across->value());
        viewport()->update();
    }
}

void ScheduleTable::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeFrozenBlock();
}

int ScheduleTable::firstScrollingColumn() const {
    const QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column))
            return column;
    }
    return -1;
}

int ScheduleTable::lastFrozenColumn() const {
    return frozenColumns_.empty() ? -1 : frozenColumns_.back();
}

QModelIndex ScheduleTable::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    // Moving left from the first scrolling column goes on into the block.
    const QModelIndex current = currentIndex();
    if ((cursorAction == MoveLeft || cursorAction == MovePrevious) && current.isValid() &&
        current.column() == firstScrollingColumn() && lastFrozenColumn() >= 0)
        return model()->index(current.row(), lastFrozenColumn());
    return QTableView::moveCursor(cursorAction, modifiers);
}

void ScheduleTable::focusPartOf(const QModelIndex& current) {
    if (!current.isValid())
        return;
    QWidget* from = isFrozen(current.column()) ? static_cast<QWidget*>(this) : frozen_;
    QWidget* to = from == frozen_ ? static_cast<QWidget*>(this) : frozen_;
    if (from->hasFocus() || window()->focusWidget() == from)
        to->setFocus();
}

void ScheduleTable::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (index.isValid() && isFrozen(index.column())) {
        frozen_->scrollTo(index, hint); // its rows scroll this view along
        return;
    }
    QTableView::scrollTo(index, hint);
}

} // namespace korvane::gui
