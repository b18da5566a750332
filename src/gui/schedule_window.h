#pragma once

#include "app/project_session.h"

#include "gui/schedule_table.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QSplitter;
class QTableView;

namespace korvane::gui {

class DiagramView;
class FeederPlotWidget;
class PoleEditor;
class ScheduleModel;

// 回路表: the project of a session as a window. The supply's fields at the top, the circuit
// schedule below them and, under it, the current feeder row's pole list (杆位表) beside the
// voltage loss along it; a 工程 menu
// for the file, a 回路 menu and tool bar for the rows. The session does the work; the window
// draws it, hands it what the user typed and shows what it answers. Closing the window only
// hides it: the project stays open with the program.
//
// The schedule holds the circuit's identifier, its section and the results that decide it
// (Δu, Ib, the breaker's In, Iz and the verdict) at its left, beside the inputs and results
// that scroll. The window opens where it was last left, or over the available area of its screen,
// so that its status bar, where refused input is explained, is always in sight.
class ScheduleWindow : public QMainWindow {
public:
    // The actions of the 回路 menu and the tool bar.
    enum class Action {
        AddLoadCase,
        AddFeeder,
        Duplicate,
        Remove,
        MoveUp,
        MoveDown,
        AdjustSections,
        SendToPages,
        TakeFromPages,
        Import,
        ExportTemplate,
        ExportXlsx,
        BookWord,
        BookPdf,
    };

    // `mainWindow` is raised when a circuit is sent to the pages; `app` gives the books' folder,
    // the date and where a written book is announced.
    ScheduleWindow(Application& app, ProjectSession& session, QWidget* mainWindow);
    ~ScheduleWindow() override;

    ProjectSession& session() const { return session_; }
    ScheduleModel* model() const { return model_; }
    ScheduleTable* table() const { return table_; }
    FeederPlotWidget* plot() const { return plot_; }
    PoleEditor* poleEditor() const { return poles_; }
    // The pole editor and the plot side by side, under the schedule.
    QWidget* feederPane() const;
    // 显示其他支线: whether the plot draws the runs beside its path.
    QCheckBox* showBranches() const { return showBranches_; }
    QAction* action(Action which) const { return actions_.at(size_t(which)); }
    // The editor of a supply field: a QLineEdit for free text, a QComboBox for a choice.
    QWidget* supplyEditor(int field) const { return supplyEditors_.at(size_t(field)); }

    // ---- The project file; `owner` is the window the dialogs belong to ----
    // Shows the window: the first time where it was last left (the preferences keep that), or
    // over all of its screen.
    void showSchedule();
    // Takes the part of `area` (a screen's available geometry) that leaves room for the frame,
    // centred there.
    void fitInto(const QRect& area);
    // Ask about unsaved changes of the project first; then show this window with the result.
    void newProject(QWidget* owner = nullptr);
    void openProject(QWidget* owner = nullptr);
    // Opens a .kvp file and shows the window; a file that cannot be read changes nothing.
    bool openProjectPath(const QString& path);
    bool saveProject(QWidget* owner = nullptr);
    bool saveProjectAs(QWidget* owner = nullptr);
    // With unsaved project changes, asks whether to save them (保存/不保存/取消); true when the
    // project may be left.
    bool confirmDiscardProject(QWidget* owner = nullptr);
    // The recent projects as the entries of `menu`.
    void fillRecentMenu(QMenu* menu, QWidget* owner);

    // ---- Rows ----
    // The row of the current cell, -1 when there is none.
    int currentRow() const;
    // The rows selected as whole rows (by their row headers), in increasing order.
    std::vector<int> selectedRows() const;
    void selectRow(int row);
    // Makes the first lamp-pole feeder the current row; false when the project has none.
    bool selectFirstFeeder();

    // ---- The current feeder's poles ----
    // 相序平衡…: the proposal for the current row in a dialog; 接受 applies it.
    void balancePhases();
    // 导入杆位表…: a pole list read from a file for the current feeder row.
    void importPoleList();

    // ---- The distribution system diagram (配电系统图) ----
    // Shows the window of the diagram, made when first asked for; it follows the project.
    void showDiagram();
    // The window of the diagram; nothing before it was first shown.
    DiagramView* diagramView() const { return diagram_; }
    // 导出配电系统图…: asks for a .dxf, .svg or .pdf file and writes the diagram to it.
    void exportDiagram(QWidget* owner = nullptr);
    // Writes the diagram of the project as computed to `path`, in the format of its suffix;
    // what went wrong is said in a message box. True when written.
    bool writeDiagram(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QRect screenArea() const;
    void placeOnScreen();
    void rememberGeometry();
    QWidget* makeSupplyFields();
    void makeActions();
    void commitSupplyField(int field, const QString& text);
    void refreshSupply();
    void updateTitle();
    void cellRefused(const QModelIndex& index, const QString& reason);
    void scheduleChanged(const ScheduleChange& change);
    void fitColumns();
    void showStatus(const QString& message);
    QString startFolder() const;

    void addRow(bool feeder);
    void duplicateRow();
    void removeRows();
    void moveRow(bool up);
    void adjustSections();
    void sendToPages();
    void takeFromPages();
    void importSchedule();
    void exportTemplate();
    void exportXlsx();
    void writeBook(bool pdf);
    // The current row's feeder in the pole editor and the plot; the editor only for a feeder.
    void showRow(int row);

    Application& app_;
    ProjectSession& session_;
    QPointer<QWidget> mainWindow_;
    ScheduleModel* model_;
    ScheduleTable* table_;
    FeederPlotWidget* plot_;
    PoleEditor* poles_;
    QCheckBox* showBranches_;
    QSplitter* splitter_;
    QSplitter* lower_; // the pole editor beside the plot
    DiagramView* diagram_ = nullptr;
    std::vector<QWidget*> supplyEditors_;
    std::vector<QAction*> actions_;
    Signal<const ScheduleChange&>::Connection scheduleConnection_;
    std::vector<Signal<>::Connection> connections_;
    bool placed_ = false;
};

// The entries of a 工程 menu (新建工程 … 回路表…, 配电系统图…) on `menu`, acting on the schedule
// window that `window` gives, which may be made only when first used; dialogs belong to `owner`.
void addProjectMenuEntries(QMenu* menu, QWidget* owner, std::function<ScheduleWindow&()> window);

} // namespace korvane::gui
