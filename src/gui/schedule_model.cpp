#include "gui/schedule_model.h"

#include <QComboBox>

namespace korvane::gui {

ScheduleModel::ScheduleModel(ProjectSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session) {
    aboutConnection_ = session_.state().scheduleAboutToChange.connection(
        [this](const ScheduleChange& change) { aboutToChange(change); });
    changedConnection_ = session_.state().scheduleChanged.connection(
        [this](const ScheduleChange& change) { changed(change); });
}

QColor ScheduleModel::failedText() {
    return QColor(0xb0, 0x00, 0x20);
}
QColor ScheduleModel::failedBackground() {
    return QColor(0xfd, 0xe2, 0xe2);
}
QColor ScheduleModel::notComputedText() {
    return QColor(0x80, 0x80, 0x80);
}
QColor ScheduleModel::inputProblemBackground() {
    return QColor(0xff, 0xe4, 0xa8);
}

int ScheduleModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : session_.state().rowCount();
}

int ScheduleModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : session_.schedule().columnCount();
}

const CellView& ScheduleModel::cellAt(int row, int column) const {
    if (rows_.size() != size_t(session_.state().rowCount()))
        rows_.assign(size_t(session_.state().rowCount()), std::nullopt);
    auto& cells = rows_[size_t(row)];
    if (!cells) {
        cells.emplace();
        const int columns = session_.schedule().columnCount();
        cells->reserve(size_t(columns));
        for (int c = 0; c < columns; ++c)
            cells->push_back(session_.schedule().cell(row, c));
    }
    return cells->at(size_t(column));
}

QVariant ScheduleModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const CellView& cell = cellAt(index.row(), index.column());
    switch (role) {
    case Qt::ForegroundRole:
        if (cell.state == CellState::Failed)
            return failedText();
        if (cell.state == CellState::NotComputed || cell.derived)
            return notComputedText();
        return {};
    case Qt::BackgroundRole:
        if (cell.state == CellState::Failed)
            return failedBackground();
        if (cell.state == CellState::InputProblem)
            return inputProblemBackground();
        return {};
    default:
        return cellData(cell, role);
    }
}

QVariant ScheduleModel::cellData(const CellView& cell, int role) {
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case Qt::EditRole:
        // A derived text stands for an empty cell: editing starts from empty.
        return cell.derived ? QString() : cell.text;
    case Qt::ToolTipRole:
        return cell.toolTip.isEmpty() ? QVariant() : QVariant(cell.toolTip);
    case ChoicesRole:
        return cell.choices;
    case StateRole:
        return int(cell.state);
    default:
        return {};
    }
}

QVariant ScheduleModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < columnCount() ? session_.schedule().columnHeader(section)
                                                       : QVariant();
    return section + 1;
}

Qt::ItemFlags ScheduleModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.row() < rowCount() && index.column() < columnCount() &&
        cellAt(index.row(), index.column()).editable)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ScheduleModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString();
    if (text == data(index, Qt::EditRole).toString())
        return true;
    // The session announces what it changed (the row, or more); the model follows from there.
    if (const std::optional<QString> reason =
            session_.schedule().setCell(index.row(), index.column(), text)) {
        if (refused)
            refused(index, *reason);
        return false;
    }
    return true;
}

void ScheduleModel::aboutToChange(const ScheduleChange& change) {
    using Kind = ScheduleChange::Kind;
    switch (change.kind) {
    case Kind::RowsInserted:
        beginInsertRows(QModelIndex(), change.first, change.last);
        break;
    case Kind::RowsRemoved:
        beginRemoveRows(QModelIndex(), change.first, change.last);
        break;
    case Kind::RowMoved:
        beginMoveRows(QModelIndex(), change.first, change.last, QModelIndex(), change.destination);
        break;
    case Kind::Reset:
        beginResetModel();
        break;
    case Kind::DataChanged:
        break;
    }
}

void ScheduleModel::changed(const ScheduleChange& change) {
    using Kind = ScheduleChange::Kind;
    rows_.clear();
    switch (change.kind) {
    case Kind::RowsInserted:
        endInsertRows();
        break;
    case Kind::RowsRemoved:
        endRemoveRows();
        break;
    case Kind::RowMoved:
        endMoveRows();
        break;
    case Kind::Reset:
        endResetModel();
        break;
    case Kind::DataChanged:
        if (change.first <= change.last && change.last < rowCount())
            emit dataChanged(index(change.first, 0), index(change.last, columnCount() - 1));
        break;
    }
}

QWidget* ScheduleDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    const QStringList choices = index.data(ScheduleModel::ChoicesRole).toStringList();
    if (choices.isEmpty())
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto* combo = new QComboBox(parent);
    combo->addItems(choices);
    combo->setFrame(false);
    // Picking an item is the edit: it is taken at once, without leaving the cell first.
    connect(combo, &QComboBox::activated, this, [this, combo] {
        auto* self = const_cast<ScheduleDelegate*>(this);
        emit self->commitData(combo);
        emit self->closeEditor(combo);
    });
    return combo;
}

void ScheduleDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const int at = combo->findText(index.data(Qt::EditRole).toString());
        combo->setCurrentIndex(at);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void ScheduleDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        if (combo->currentIndex() >= 0)
            model->setData(index, combo->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

} // namespace korvane::gui
