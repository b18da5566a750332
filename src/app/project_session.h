#pragma once

#include "app/project_catalogues.h"
#include "drawing/drawing.h"
#include "base/signal.h"
#include "project/cable_catalogue.h"
#include "project/feeders/feeder_plot.h"
#include "project/feeders/phase_balancing.h"
#include "project/project.h"
#include "project/project_run.h"
#include "project/result_schema.h"
#include "project/supply_catalogue.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <set>
#include <utility>
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
    // The text is what the program takes for an empty cell (a pole's phase by the rotation, a
    // branch's cable from the run it leaves): drawn greyed, edited from empty.
    bool derived = false;
};

// The columns of a feeder's pole list (杆位表), in this order: the run and the pole, its two lamp
// groups, its phase and its branch's cable, then the results at the pole.
enum class PoleColumn {
    Run,      // 支线: the run's name, on its first pole
    FromPole, // 起始杆号: the pole a branch leaves, on its first pole
    Id,       // 杆号
    SpanM,    // 杆距(m): from the pole before it on its run (from the supply or branch pole)
    Count1,
    PowerW1,
    PowerFactor1,
    BallastFactor1,
    Count2,
    PowerW2,
    PowerFactor2,
    BallastFactor2,
    Phase,      // 相别: empty for the rotation
    RunCable,   // 支线电缆: a branch's cable type, on its first pole
    RunSection, // 截面
    DistanceM,  // 距电源(m), computed
    LossL1,     // ΔuL1(%), computed
    LossL2,     //
    LossL3,     //
};
inline constexpr int kPoleColumnCount = 19;
inline constexpr int kFirstPoleResultColumn = int(PoleColumn::DistanceM);

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

// A proposal of phases for the poles of one feeder row (相序平衡), with the feeder it was made
// from: it is accepted only while the row still holds that feeder.
struct PhaseBalanceProposal {
    int row = 0;
    QString id;
    LampFeeder before;
    Computed<PhaseProposal> proposal = std::nullopt;
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
    // The distribution system diagram (配电系统图) of the project as last computed, its title
    // block dated `date`: what the window shows and exports. A figure a circuit has not got, or
    // that was not computed, is drawn as "未计算".
    drawing::Drawing systemDiagram(const QDate& date) const;

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

    // ---- The pole list of a feeder row (杆位表) ----
    // Rows: the poles of every run in the list's order (the trunk's, then each branch's). An
    // equal feeder shows its generated list, read-only until it is converted (转为杆位表). No
    // rows for a row that is not a feeder.
    int poleRowCount(int row) const;
    static QString poleColumnHeader(int column);
    CellView poleCell(int row, int poleRow, int column) const;
    // Whether the row's feeder is given by its own pole list (the list may be edited).
    bool hasPoleList(int row) const;
    // The pole row of the worst pole of the computed feeder; -1 when there is none.
    int worstPoleRow(int row) const;
    // The run of a pole row and the pole's place on it; {-1, -1} for none.
    std::pair<int, int> poleAt(int row, int poleRow) const;
    // Each edit of the list returns the reason it is refused (naming the circuit, the row of
    // the list and the field), and then changes nothing; otherwise it recomputes the circuit.
    std::optional<QString> setPoleCell(int row, int poleRow, int column, const QString& text);
    // A pole after the pole row on its run (at the trunk's start for -1), under the next free
    // number; its span is missing until the engineer gives it, and it has no lamps.
    std::optional<QString> insertPole(int row, int poleRow);
    // Refused for a pole a branch leaves from, and for the trunk's only pole; a branch losing
    // its last pole goes with it.
    std::optional<QString> deletePole(int row, int poleRow);
    // A branch leaving the pole of the pole row, with one new pole (its span missing).
    std::optional<QString> startBranch(int row, int poleRow);
    // Deletes the branch the pole row belongs to; refused for the trunk and for a branch other
    // branches leave from.
    std::optional<QString> deleteBranch(int row, int poleRow);
    // 转为杆位表: the equal feeder of the row becomes its generated pole list.
    std::optional<QString> convertToPoleList(int row);
    // The feeder of the row becomes the given pole list (as imported); refused for a list that
    // is not a tree of poles, with its problems.
    std::optional<QString> setPoleList(int row, PoleList list);
    // Reads a surveyor's pole list from a file into the feeder of the row; false when it could
    // not be read or taken (the message box says why), and then the circuit is left as it was.
    bool importPoleListFile(int row, const QString& path);

    // ---- 相序平衡 ----
    // A phase for every unfixed pole of the row's four-wire feeder, with the figures before and
    // after; the proposal's reason when it cannot be made.
    PhaseBalanceProposal proposePhaseBalance(int row) const;
    // Applies the balanced feeder (every pole's phase fixed) as one edit, while the row still
    // holds the feeder it was proposed from; false otherwise.
    bool acceptPhaseBalance(const PhaseBalanceProposal& accepted);

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
    // The pole list the row's feeder is, or shows (its generated one).
    const PoleList& shownPoleList(int row) const;
    // Puts the feeder into the row as one edit: recomputes it and marks the project modified.
    void replaceFeeder(int row, LampFeeder feeder);
    // Why the row's feeder cannot be edited; nothing when it can.
    std::optional<QString> poleListLocked(int row) const;
    // The same, and why the poles of an equal feeder (no list yet) cannot be edited one by one.
    std::optional<QString> poleListNotEditable(int row) const;

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
    // The pole list last shown, for the row and revision it belongs to, with the run and place
    // of each of its rows: a table of many poles is drawn cell by cell.
    mutable int poleCacheRow_ = -1;
    mutable quint64 poleCacheRevision_ = 0;
    mutable PoleList poleCache_;
    mutable std::vector<std::pair<int, int>> poleCacheRows_;
    mutable std::vector<Phase> poleCachePhases_; // each pole's phase by the rotation
};

} // namespace korvane
