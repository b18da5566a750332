#include "gui/schedule_table.h"

#include <QHeaderView>
#include <QScrollBar>

namespace korvane::gui {

ScheduleTable::ScheduleTable(QWidget* parent) : QTableView(parent), frozen_(new QTableView(this)) {
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->verticalHeader()->hide();
    frozen_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->horizontalHeader()->setHighlightSections(false);
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollMode(ScrollPerPixel);
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->setWordWrap(false);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    viewport()->stackUnder(frozen_);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                if (section == 0) {
                    frozen_->setColumnWidth(0, size);
                    placeFrozenColumn();
                }
            });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) { frozen_->setRowHeight(section, size); });
    connect(verticalHeader(), &QHeaderView::geometriesChanged, this,
            [this] { placeFrozenColumn(); });
    connect(frozen_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen_->verticalScrollBar(),
            &QAbstractSlider::setValue);
}

void ScheduleTable::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    frozen_->setModel(model);
    frozen_->setSelectionModel(selectionModel());
    refreshFrozenColumn();
}

void ScheduleTable::setItemDelegate(QAbstractItemDelegate* delegate) {
    QTableView::setItemDelegate(delegate);
    frozen_->setItemDelegate(delegate);
}

void ScheduleTable::refreshFrozenColumn() {
    const QAbstractItemModel* m = model();
    if (m == nullptr)
        return;
    for (int column = 1; column < m->columnCount(); ++column)
        frozen_->setColumnHidden(column, true);
    frozen_->setColumnWidth(0, columnWidth(0));
    frozen_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    for (int row = 0; row < m->rowCount(); ++row)
        frozen_->setRowHeight(row, rowHeight(row));
    placeFrozenColumn();
}

void ScheduleTable::placeFrozenColumn() {
    frozen_->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), columnWidth(0),
                         viewport()->height() + horizontalHeader()->height());
}

void ScheduleTable::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeFrozenColumn();
}

QModelIndex ScheduleTable::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
    // Moving left onto a cell hidden under the first column scrolls it out from under it.
    if (cursorAction == MoveLeft && current.column() > 0 &&
        visualRect(current).topLeft().x() < frozen_->columnWidth(0)) {
        const int shift = visualRect(current).topLeft().x() - frozen_->columnWidth(0);
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + shift);
    }
    return current;
}

void ScheduleTable::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // The first column is always in sight: for it the table only scrolls up or down.
    const int across = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (index.column() == 0)
        horizontalScrollBar()->setValue(across);
}

} // namespace korvane::gui
