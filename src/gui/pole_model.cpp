#include "gui/pole_model.h"

#include "gui/schedule_model.h"

#include <QFont>

namespace korvane::gui {

PoleModel::PoleModel(ProjectState& project, PoleListEditor& poles, QObject* parent)
    : QAbstractTableModel(parent), project_(project), poles_(poles) {
    // Any change of the schedule may change the list shown (its row moved, removed or edited,
    // the supply behind its results): the table is read again.
    aboutConnection_ =
        project_.scheduleAboutToChange.connection([this](const ScheduleChange& change) {
            if (change.kind != ScheduleChange::Kind::DataChanged)
                beginResetModel();
        });
    changedConnection_ = project_.scheduleChanged.connection([this](const ScheduleChange& change) {
        if (change.kind == ScheduleChange::Kind::DataChanged)
            reset();
        else
            endResetModel();
    });
    supplyConnection_ = project_.supplyChanged.connection([this] { reset(); });
}

void PoleModel::reset() {
    beginResetModel();
    endResetModel();
}

void PoleModel::setRow(int row) {
    if (row == row_)
        return;
    beginResetModel();
    row_ = row;
    endResetModel();
}

int PoleModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : poles_.poleRowCount(row_);
}

int PoleModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kPoleColumnCount;
}

QVariant PoleModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const CellView cell = poles_.poleCell(row_, index.row(), index.column());
    switch (role) {
    case Qt::ForegroundRole:
        if (cell.state == CellState::Failed)
            return ScheduleModel::failedText();
        if (cell.derived || !cell.editable)
            return ScheduleModel::notComputedText();
        return {};
    case Qt::BackgroundRole:
        if (cell.state == CellState::Failed)
            return ScheduleModel::failedBackground();
        return {};
    case Qt::FontRole:
        if (index.row() == poles_.worstPoleRow(row_)) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return ScheduleModel::cellData(cell, role);
    }
}

QVariant PoleModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return PoleListEditor::poleColumnHeader(section);
    return section + 1;
}

Qt::ItemFlags PoleModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.row() < rowCount() &&
        poles_.poleCell(row_, index.row(), index.column()).editable)
        f |= Qt::ItemIsEditable;
    return f;
}

bool PoleModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString();
    if (text == data(index, Qt::EditRole).toString())
        return true;
    if (const std::optional<QString> reason =
            poles_.setPoleCell(row_, index.row(), index.column(), text)) {
        if (refused)
            refused(index, *reason);
        return false;
    }
    return true;
}

} // namespace korvane::gui
