#pragma once

#include "app/project_catalogues.h"
#include "base/signal.h"
#include "drawing/drawing.h"
#include "form/platform.h"
#include "project/cable_catalogue.h"
#include "project/feeders/feeder_plot.h"
#include "project/project.h"
#include "project/project_run.h"
#include "project/result_schema.h"
#include "project/sizing.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace korvane {

// How a schedule cell is to be drawn.
enum class CellState {
    Input,        // an input value
    InputProblem, // an input of a circuit that could not be read: the circuit is not computed
    Passed,       // a result whose check passed
    Failed,       // a result whose check failed
    NotComputed,  // a result that could not be computed
};

// A cell of the schedule as the view shows it. `toolTip`: for a failed or uncomputed result the
// check's figures or reason, for an input problem the reasons. `choices`: the texts an editable
// choice cell offers (empty for free text).
struct CellView {
    QString text;
    CellState state = CellState::Input;
    QString toolTip;
    bool editable = false;
    QStringList choices;
    // The text is what the program takes for an empty cell (a pole's phase by the rotation, a
    // branch's cable from the run it leaves): drawn greyed, edited from empty.
    bool derived = false;
};

// What changed in the schedule. Structural changes are announced twice: on
// scheduleAboutToChange before (a model calls beginInsertRows, beginRemoveRows, beginMoveRows,
// beginResetModel) and on scheduleChanged after (the matching end call). DataChanged (every cell
// of rows first..last, results included) comes only after.
struct ScheduleChange {
    enum class Kind { RowsInserted, RowsRemoved, RowMoved, DataChanged, Reset };
    Kind kind = Kind::Reset;
    int first = 0;       // the rows inserted, removed or changed, first..last
    int last = -1;       //
    int destination = 0; // RowMoved: the row first moves before, as beginMoveRows takes it
};

// The one project of the circuit schedule window and its computed run, shared by the parts that
// edit it (the document, the supply, the schedule, the pole lists, the proposals). It owns the
// computation: which databases and which result schema the circuits are computed and judged
// against, and how one row or every row is computed again. The editors change `project()` and
// then call computeRow or recompute themselves, by the rules of their edit; the view hears of
// every change on the signals below.
class ProjectState {
public:
    explicit ProjectState(ProjectCatalogues catalogues);
    ProjectState(const ProjectState&) = delete;
    ProjectState& operator=(const ProjectState&) = delete;

    const Project& project() const { return project_; }
    Project& project() { return project_; }
    int rowCount() const { return int(project_.circuits.size()); }
    // The databases read from the program folder when the session was made.
    const ProjectCatalogues& catalogues() const { return catalogues_; }
    // The cable database the circuits are computed against (empty when it could not be read).
    const CableCatalogue& cables() const { return catalogues_.cableRows(); }

    // ---- The computation ----
    // The result columns shown after the inputs: the program's schema unless told otherwise (an
    // extended schema, with a check under development, is shown the same way). The schema must
    // outlive the session; the view is reset. Whatever else decides how the circuits are
    // computed or judged is set here beside it, and then computes every row again.
    void useResultSchema(const ResultSchema& schema);
    const ResultSchema& resultSchema() const { return *schema_; }
    // The checks every circuit is judged by and sized against: the program's registry unless
    // told otherwise (one with a check under development). It must outlive the session; every
    // row is computed again and the view is reset.
    void useCheckRegistry(const CheckRegistry& checks);
    const CheckRegistry& checkRegistry() const { return *checks_; }
    // Computes every circuit anew (after a change of the supply or of the whole project).
    void recompute();
    // Computes one row from its circuit; inserts a slot for it first with `inserted`.
    void computeRow(int row, bool inserted = false);
    // Takes the project as a whole (a new or opened file): no proposal accepted yet, every
    // circuit computed. Announcing it and counting its revision are the caller's.
    void replaceProject(Project project);
    // Removes rows first..last with their results; swaps two rows with theirs.
    void eraseRows(int first, int last);
    void swapRows(int a, int b);

    // ---- The run as last computed ----
    // The project as last computed, with every circuit's result.
    const ProjectRun& run() const { return run_; }
    const CircuitResult& result(int row) const { return run_.results.at(size_t(row)); }
    // The feeder result of a lamp-pole row (for its plot); nothing for a load case or a feeder
    // that was not computed.
    const LampFeederResult* feederResult(int row) const;
    // Whether the row is a lamp-pole feeder.
    bool isFeeder(int row) const;
    // The plot of Δu % along a computed feeder row against the project's limit; nothing for any
    // other row, and then rowPlotNote says why: no row, not a feeder, or why it was not computed.
    std::optional<FeederPlot> rowPlot(int row) const;
    QString rowPlotNote(int row) const;
    // The distribution system diagram (配电系统图) of the project as last computed, its title
    // block dated `date`: what the window shows and exports. A figure a circuit has not got, or
    // that was not computed, is drawn as "未计算".
    drawing::Drawing systemDiagram(const QDate& date) const;

    // The decisions of the accepted sizing proposals, each with the circuit it produced: one
    // belongs to a row only while the row holds that circuit as it was (the project book shows
    // it). Kept here because a new or opened project drops them.
    const std::vector<SizingResult>& acceptedSizing() const { return acceptedSizing_; }
    std::vector<SizingResult>& acceptedSizing() { return acceptedSizing_; }

    // ---- What the view hears ----
    Signal<const ScheduleChange&> scheduleAboutToChange;
    Signal<const ScheduleChange&> scheduleChanged;
    Signal<> supplyChanged;

private:
    // The project's problems and the supply's, added to a circuit about to be computed.
    void addProjectProblems(ProjectCircuit& computed) const;

    const ProjectCatalogues catalogues_;
    const ResultSchema* schema_ = &projectResultSchema();
    const CheckRegistry* checks_ = &projectChecks();
    Project project_;
    ProjectRun run_;
    std::vector<SizingResult> acceptedSizing_;
    QStringList supplyProblems_; // why no circuit can be computed from this supply
};

// Tells the user through the platform's message box, under the program's caption: an error,
// or a warning of what was done in part.
void tellUser(Platform& platform, bool error, const QString& text);
// The caption of the session's message boxes and questions.
QString sessionCaption();

} // namespace korvane
