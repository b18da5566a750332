#pragma once

#include "app/project_catalogues.h"
#include "form/signal.h"
#include "project/cable_catalogue.h"
#include "project/feeder_plot.h"
#include "project/project.h"
#include "project/project_run.h"
#include "project/result_schema.h"
#include "project/supply_catalogue.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <set>
#include <vector>

namespace korvane {

class Application;

// The supply fields shown above the circuit schedule, in this order.
// The project's own fields beside its circuits: the supply, the voltage-loss limit, and how the
// circuits are laid unless a circuit says otherwise (from LayingMethod on, each of which may be
// left empty).
enum class SupplyFieldId {
    SystemCapacity,
    Transformer,
    Busbar,
    BusbarLength,
    VoltageLossLimit,
    LayingMethod,
    LayingTemperature,
    SoilResistivity,
    GroupedCircuits,
    CircuitSpacing,
    ConductorTemperature,
};
inline constexpr int kSupplyFieldCount = 11;
inline constexpr int kFirstInstallationField = int(SupplyFieldId::LayingMethod);

// One supply field: its label, its text and, for a choice, the texts to choose from (empty for
// free text; the text is then a number in the regional format).
struct SupplyFieldView {
    QString label;
    QString text;
    QStringList choices;
};

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

// The sizing proposal for one circuit (调整截面).
struct SizingProposal {
    int row = 0;
    QString id;
    QString currentSection;
    // The smallest section that passes every check; nothing when none does or the circuit
    // cannot be sized, and then `notSized` says why.
    std::optional<QString> proposedSection;
    QString notSized;
    std::optional<CircuitCheck> governing; // what rules out the next smaller section
    QString governingText;
    ProjectCircuit sized;  // the circuit with the proposed section and its values
    ProjectCircuit before; // the circuit as proposed from: an edited row is not overwritten
    // The decision behind the proposal (every section tried), for the book's 【截面选择】.
    std::optional<SizingResult> decision;
};

// How imported circuits join the schedule.
enum class ImportMode { Replace, Append };

// The project behind the circuit schedule window: the file, the supply, the circuits and their
// results. Every accepted change recomputes only what depends on it: an edited circuit its own
// result, a new row its own, a supply change every circuit; results move and go with their rows.
// It loads the cable database and the transformer and busbar database of the program folder once,
// when it is made; everything the user is told goes through the platform's message boxes.
//
// A new project has the supply the short-circuit page and its dialogs start from as far as the
// databases give it (100 MVA, the first transformer and the first busbar of the database, a
// busbar of 1 m, a 5 % limit) and one example circuit, so that the schedule is never blank on first
// sight and shows at once what a row looks like; the engineer edits or deletes it.
class ProjectSession {
public:
    explicit ProjectSession(Application& app);

    // ---- File ----
    void newProject();
    // Opens a .kvp file. What could not be restored is listed in a message box; a file that
    // cannot be read at all changes nothing and returns false. Circuits that repeat an earlier
    // circuit's identifier are not computed; the platform's question offers to give them the
    // next free identifiers (renameRepeatedIds).
    bool open(const QString& path);
    // Gives each circuit of the file that repeats an earlier one's identifier the next free WLn,
    // as an edit of its 回路编号 cell; returns how many were renamed.
    int renameRepeatedIds();
    // Saves to path() (false without a path: the view asks for one and calls saveAs).
    bool save();
    bool saveAs(const QString& path);
    const QString& path() const { return path_; }
    // The project differs from what was last opened or saved (a new project: from its start).
    // Decided by revisions: every accepted change makes a new one. Cell edits that bring every
    // circuit back to what was saved (with no row added, removed or moved and the supply as
    // saved) return to the saved revision.
    bool modified() const { return revision_ != savedRevision_; }
    // Counts the accepted changes of this session: a refused edit, or one that leaves the
    // circuit as it was, does not count.
    quint64 revision() const { return revision_; }
    // "未命名工程" or the file name, with "*" when modified.
    QString windowTitle() const;
    // The last eight projects opened or saved, newest first; files that no longer exist are
    // dropped (and forgotten) when listed.
    QStringList recentProjects();

    const Project& project() const { return project_; }
    // The cable database the circuits are computed against (empty when it could not be read).
    const CableCatalogue& cables() const { return catalogues_.cableRows(); }
    // The project as last computed, with every circuit's result.
    const ProjectRun& run() const { return run_; }
    const CircuitResult& result(int row) const { return run_.results.at(size_t(row)); }
    // The run with the sizing decision of every circuit whose proposed section the engineer
    // accepted and has not edited since, as the project book shows it.
    ProjectRun runWithSizing() const;
    // The feeder result of a lamp-pole row (for its plot); nothing for a load case or a feeder
    // that was not computed.
    const LampFeederResult* feederResult(int row) const;
    // Whether the row is a lamp-pole feeder.
    bool isFeeder(int row) const;
    // The plot of Δu % along a computed feeder row against the project's limit; nothing for any
    // other row, and then rowPlotNote says why: no row, not a feeder, or why it was not computed.
    std::optional<FeederPlot> rowPlot(int row) const;
    QString rowPlotNote(int row) const;

    // ---- Supply ----
    int supplyFieldCount() const { return kSupplyFieldCount; }
    SupplyFieldView supplyField(int index) const;
    // Takes the text of a field: a number for the free-text fields, one of the choices for the
    // transformer and the busbar (which fill their values from the database). Returns the reason
    // when it cannot be taken; then nothing changes.
    std::optional<QString> setSupplyField(int index, const QString& text);

    // ---- Schedule ----
    // The result columns shown after the inputs: the program's schema unless told otherwise (an
    // extended schema, with a check under development, is shown the same way). The schema must
    // outlive the session; the view is reset.
    void useResultSchema(const ResultSchema& schema);
    int rowCount() const { return int(project_.circuits.size()); }
    int columnCount() const;
    int inputColumnCount() const;
    // The input columns, then the result columns of the project's result schema.
    QString columnHeader(int column) const;
    CellView cell(int row, int column) const;
    // Reads the text for the cell (numbers in the regional format) and applies it. Returns the
    // reason when it cannot be taken; then the circuit is left as it was. An identifier must be
    // given and be no other circuit's (compared without surrounding spaces and case). A cable type
    // or a cross-section that the cable database and the handbook tables hold fills R, X, the
    // per-metre values and the leakage current of the new section.
    std::optional<QString> setCell(int row, int column, const QString& text);

    // Appends the circuit under the next free identifier WLn and returns its row.
    int addCircuit(ProjectCircuit circuit);
    // Appends an example load case or lamp-pole feeder the same way.
    int addLoadCaseCircuit();
    int addFeederCircuit();
    int duplicateRow(int row);
    void removeRows(std::vector<int> rows);
    // Moves a row one place up or down; false at the ends.
    bool moveRowUp(int row);
    bool moveRowDown(int row);

    // ---- 调整截面 ----
    // The proposals for the given rows (all when empty).
    std::vector<SizingProposal> proposeSizing(std::vector<int> rows = {}) const;
    // Applies the proposals that propose a section to rows that still hold the circuit they
    // were made from; returns how many were applied. Rejecting is not calling it.
    int acceptSizing(const std::vector<SizingProposal>& accepted);

    // ---- Import and export ----
    bool importCircuits(const QString& path, ImportMode mode);
    bool writeImportTemplate(const QString& path);
    bool exportXlsx(const QString& path);

    // ---- What the view hears ----
    Signal<const ScheduleChange&> scheduleAboutToChange;
    Signal<const ScheduleChange&> scheduleChanged;
    Signal<> supplyChanged;
    Signal<> titleChanged;

    // Where the recent projects are kept among the preferences.
    static QString recentProjectsKey();

private:
    // Computes every circuit anew.
    void recompute();
    // Computes one row from its circuit; inserts a slot for it first with `inserted`.
    void computeRow(int row, bool inserted = false);
    void replaceProject(Project project, const QString& path);
    void markSaved();
    // A new revision: for rows edited in place (compared with what was saved), or for a change
    // of the rows or the supply.
    void rowEdited(int row);
    void projectChanged();
    // Swaps two rows with their results.
    void swapRows(int a, int b);
    void rememberRecent(const QString& path);
    void notifyRowsChanged(int first, int last);
    void notifyTitle();
    QString nextFreeId() const;
    int idColumn() const;
    // The project's problems and the supply's, added to a circuit about to be computed.
    void addProjectProblems(ProjectCircuit& computed) const;
    void askToRenameRepeatedIds();
    void dropAnsweredRepeatedIds();
    int appendCircuit(ProjectCircuit circuit);
    // What an empty installation cell of a circuit stands for: the project's value.
    QString inheritedNote(ScheduleColumn column) const;
    QStringList cellChoices(const ProjectCircuit& circuit, int column) const;
    void message(bool error, const QString& text) const;

    Application& app_;
    ProjectCatalogues catalogues_;
    const ResultSchema* schema_ = &projectResultSchema();
    Project project_;
    ProjectRun run_;
    QString path_;
    // The decisions of the accepted proposals, each with the circuit it produced: one belongs
    // to a row only while the row holds that circuit as it was.
    std::vector<SizingResult> acceptedSizing_;
    QStringList supplyProblems_; // why no circuit can be computed from this supply
    quint64 revision_ = 0;
    quint64 savedRevision_ = 0;
    // The project as last opened or saved. While only cells have been edited since
    // (`rowsAsSaved_`), the rows that differ from it are `differingRows_`.
    Project saved_;
    bool rowsAsSaved_ = true;
    std::set<int> differingRows_;
    QString lastTitle_; // the title the view was last told of
};

} // namespace korvane
