#pragma once

#include "app/project_document.h"
#include "app/project_state.h"
#include "form/platform.h"
#include "project/project.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace korvane {

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

// The pole list of a feeder row (杆位表): its table as the window's pole editor shows it, and its
// edits. Each accepted edit puts the changed feeder into the row and computes that row again.
class PoleListEditor {
public:
    PoleListEditor(Platform& platform, ProjectState& state, ProjectDocument& document);

    // ---- The table ----
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

    // ---- The edits ----
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

    // ---- For the edits of a whole feeder (相序平衡) ----
    // Why the row's feeder cannot be edited; nothing when it can.
    std::optional<QString> poleListLocked(int row) const;
    // Puts the feeder into the row as one edit: recomputes it and marks the project modified.
    // The caller has asked poleListLocked.
    void replaceFeeder(int row, LampFeeder feeder);

private:
    // The pole list the row's feeder is, or shows (its generated one).
    const PoleList& shownPoleList(int row) const;
    // Why the row's feeder cannot be edited, and why the poles of an equal feeder (no list
    // yet) cannot be edited one by one.
    std::optional<QString> poleListNotEditable(int row) const;

    Platform& platform_;
    ProjectState& state_;
    ProjectDocument& document_;
    // The pole list last shown, for the row and revision it belongs to, with the run and place
    // of each of its rows: a table of many poles is drawn cell by cell.
    mutable int poleCacheRow_ = -1;
    mutable quint64 poleCacheRevision_ = 0;
    mutable PoleList poleCache_;
    mutable std::vector<std::pair<int, int>> poleCacheRows_;
    mutable std::vector<Phase> poleCachePhases_; // each pole's phase by the rotation
};

} // namespace korvane
