#pragma once

#include "app/pole_list_editor.h"
#include "app/project_state.h"

#include <QAbstractTableModel>

#include <functional>

namespace korvane::gui {

// The pole list (杆位表) of one feeder row of the project as a table: the pole-list editor's
// columns, one pole a row. It holds nothing of its own; every change the project announces
// resets it, and edits go to the editor, which recomputes the feeder. The worst pole's row is bold.
class PoleModel : public QAbstractTableModel {
public:
    PoleModel(ProjectState& project, PoleListEditor& poles, QObject* parent = nullptr);

    // The schedule row whose feeder is shown; -1 for none.
    void setRow(int row);
    int row() const { return row_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Hands the text to the editor; a refused text changes nothing and its reason goes to
    // `refused`.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    std::function<void(const QModelIndex&, const QString&)> refused;

private:
    void reset();

    ProjectState& project_;
    PoleListEditor& poles_;
    int row_ = -1;
    Signal<const ScheduleChange&>::Connection aboutConnection_;
    Signal<const ScheduleChange&>::Connection changedConnection_;
    Signal<>::Connection supplyConnection_;
};

} // namespace korvane::gui
