#pragma once

#include "app/project_session.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QStyledItemDelegate>

#include <functional>
#include <optional>
#include <vector>

namespace korvane::gui {

// The circuit schedule of a project session as a table: one circuit a row, the session's input
// and result columns. The model holds nothing of its own but a cache of the cells shown, which
// every change the session announces clears; edits go to the session, which recomputes.
class ScheduleModel : public QAbstractTableModel {
public:
    // The texts an editable choice cell offers (a QStringList; empty for free text).
    static constexpr int ChoicesRole = Qt::UserRole + 1;
    // The cell's CellState as an int.
    static constexpr int StateRole = Qt::UserRole + 2;

    explicit ScheduleModel(ProjectSession& session, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Hands the text to the session. A text it refuses changes nothing: the reason goes to
    // `refused` and false is returned, so the view keeps showing the old value.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Told the reason when the session refuses an edited text.
    std::function<void(const QModelIndex&, const QString&)> refused;

    // The colours of the cell states, shared with the legend and the tests.
    static QColor failedText();
    static QColor failedBackground();
    static QColor notComputedText();
    static QColor inputProblemBackground();

    // What every table of cells shows of a cell alike: its text (an empty one to edit where the
    // text is derived), tool tip, choices and state; nothing for the other roles, which each
    // table colours by its own rules.
    static QVariant cellData(const CellView& cell, int role);

private:
    const CellView& cellAt(int row, int column) const;
    void aboutToChange(const ScheduleChange& change);
    void changed(const ScheduleChange& change);

    ProjectSession& session_;
    Signal<const ScheduleChange&>::Connection aboutConnection_;
    Signal<const ScheduleChange&>::Connection changedConnection_;
    // The cells of the rows shown so far, filled on demand.
    mutable std::vector<std::optional<std::vector<CellView>>> rows_;
};

// Edits a cell with choices in a combo box of those choices, any other cell in a line edit. A
// choice is taken as soon as it is picked.
class ScheduleDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
};

} // namespace korvane::gui
