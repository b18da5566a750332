#pragma once

#include "app/project_session.h"

#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QTableView;
class QToolBar;

namespace korvane::gui {

class PoleModel;

// 杆位表: the pole list of the current feeder row, with a tool bar for its poles and branches
// (插入杆, 删除杆, 新建支线, 删除支线, 转为杆位表, 相序平衡…, 导入杆位表…). The session does the
// work; refused edits and what the commands answer go to `status`.
class PoleEditor : public QWidget {
public:
    enum class Command {
        InsertPole,
        DeletePole,
        StartBranch,
        DeleteBranch,
        Convert,
        Balance,
        Import,
    };

    explicit PoleEditor(ProjectSession& session, QWidget* parent = nullptr);

    void setRow(int row);
    int row() const;
    PoleModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    QToolBar* toolBar() const { return bar_; }
    QAction* action(Command which) const { return actions_.at(size_t(which)); }
    // The pole row of the current cell, -1 for none.
    int currentPole() const;
    void selectPole(int poleRow);

    // Where refusals and answers are told (the window's status bar).
    std::function<void(const QString&)> status;
    // Run by 相序平衡… and 导入杆位表… (the window owns the dialogs).
    std::function<void()> balance;
    std::function<void()> importList;

private:
    void refresh();
    void run(Command which);

    ProjectSession& session_;
    PoleModel* model_;
    QTableView* table_;
    QLabel* note_;
    QToolBar* bar_;
    std::vector<QAction*> actions_;
    // The current cell while the list is read again.
    struct Kept {
        int feeder = -1;
        int pole = -1;
        int column = 0;
    } kept_;
    Signal<const ScheduleChange&>::Connection scheduleConnection_;
};

} // namespace korvane::gui
