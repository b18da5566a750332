// The rows of the circuit schedule: added, duplicated, removed, moved and imported. A new row
// computes only its own circuit; the others keep their results, and take them along.

#include "app/schedule_editor.h"

#include "project/example_circuits.h"
#include "project_files/imports/circuit_import.h"
#include "project_files/project_file.h"

#include <QDir>

#include <algorithm>

namespace korvane {

int ScheduleEditor::appendCircuit(ProjectCircuit circuit) {
    const int row = state_.rowCount();
    const ScheduleChange change{ScheduleChange::Kind::RowsInserted, row, row, 0};
    state_.scheduleAboutToChange.fire(change);
    state_.project().circuits.push_back(std::move(circuit));
    state_.computeRow(row, true);
    document_.projectChanged();
    state_.scheduleChanged.fire(change);
    document_.notifyTitle();
    return row;
}

int ScheduleEditor::addCircuit(ProjectCircuit circuit) {
    circuit.id = nextFreeId();
    return appendCircuit(std::move(circuit));
}

int ScheduleEditor::addLoadCaseCircuit() {
    return addCircuit(exampleLoadCaseCircuit(state_.catalogues().cableRows()));
}

int ScheduleEditor::addFeederCircuit() {
    return addCircuit(exampleFeederCircuit(state_.catalogues().cableRows()));
}

int ScheduleEditor::duplicateRow(int row) {
    if (row < 0 || row >= state_.rowCount())
        return -1;
    ProjectCircuit copy = state_.project().circuits[size_t(row)];
    // The copy's identifier is the program's: what the file said of the original's is not its.
    copy.id = nextFreeId();
    dropReadingProblems(copy, {QStringLiteral("id")});
    renameReadingProblems(copy);
    const int at = row + 1;
    const ScheduleChange change{ScheduleChange::Kind::RowsInserted, at, at, 0};
    state_.scheduleAboutToChange.fire(change);
    state_.project().circuits.insert(state_.project().circuits.begin() + at, std::move(copy));
    state_.computeRow(at, true);
    document_.projectChanged();
    state_.scheduleChanged.fire(change);
    document_.notifyTitle();
    return at;
}

void ScheduleEditor::removeRows(std::vector<int> rows) {
    std::erase_if(rows, [this](int r) { return r < 0 || r >= state_.rowCount(); });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // Contiguous runs from the bottom, so the rows above keep their numbers.
    while (!rows.empty()) {
        const int last = rows.back();
        int first = last;
        rows.pop_back();
        while (!rows.empty() && rows.back() == first - 1) {
            first = rows.back();
            rows.pop_back();
        }
        const ScheduleChange change{ScheduleChange::Kind::RowsRemoved, first, last, 0};
        state_.scheduleAboutToChange.fire(change);
        state_.eraseRows(first, last);
        document_.projectChanged();
        state_.scheduleChanged.fire(change);
    }
    dropAnsweredRepeatedIds();
    document_.notifyTitle();
}

bool ScheduleEditor::moveRowUp(int row) {
    if (row <= 0 || row >= state_.rowCount())
        return false;
    const ScheduleChange change{ScheduleChange::Kind::RowMoved, row, row, row - 1};
    state_.scheduleAboutToChange.fire(change);
    state_.swapRows(row, row - 1);
    document_.projectChanged();
    state_.scheduleChanged.fire(change);
    document_.notifyTitle();
    return true;
}

bool ScheduleEditor::moveRowDown(int row) {
    if (row < 0 || row + 1 >= state_.rowCount())
        return false;
    const ScheduleChange change{ScheduleChange::Kind::RowMoved, row, row, row + 2};
    state_.scheduleAboutToChange.fire(change);
    state_.swapRows(row, row + 1);
    document_.projectChanged();
    state_.scheduleChanged.fire(change);
    document_.notifyTitle();
    return true;
}

// ---- Import ----

bool ScheduleEditor::importCircuits(const QString& path, ImportMode mode) {
    const CircuitImport imported = korvane::importCircuits(path, state_.catalogues().cableRows());
    const QString shown = QDir::toNativeSeparators(path);
    if (!imported.ok) {
        tellUser(platform_, true,
                 QStringLiteral("未能导入 %1，工程未作任何改动：\r\n%2")
                     .arg(shown, imported.problems.join(QStringLiteral("\r\n"))));
        return false;
    }
    std::vector<ProjectCircuit> circuits = imported.circuits;
    std::vector<ProjectCircuit> kept =
        mode == ImportMode::Append ? state_.project().circuits : std::vector<ProjectCircuit>{};
    // Appended circuits must not repeat an identifier already in the schedule (compared as
    // the schedule compares them: "wl1" is "WL1").
    if (mode == ImportMode::Append) {
        QStringList clashes;
        for (const ProjectCircuit& c : circuits)
            for (const ProjectCircuit& k : kept)
                if (sameCircuitId(c.id, k.id) && !clashes.contains(c.id))
                    clashes << c.id;
        if (!clashes.isEmpty()) {
            tellUser(platform_, true,
                     QStringLiteral("未能导入 %1，工程未作任何改动：\r\n回路编号已存在：%2")
                         .arg(shown, clashes.join(QStringLiteral("、"))));
            return false;
        }
    }
    const ScheduleChange reset{ScheduleChange::Kind::Reset, 0, -1, 0};
    state_.scheduleAboutToChange.fire(reset);
    const int firstNew = int(kept.size());
    for (ProjectCircuit& c : circuits)
        kept.push_back(std::move(c));
    state_.project().circuits = std::move(kept);
    if (mode == ImportMode::Append) {
        for (int row = firstNew; row < state_.rowCount(); ++row)
            state_.computeRow(row, true); // the rows above keep their results
    } else {
        state_.recompute();
    }
    document_.projectChanged();
    state_.scheduleChanged.fire(reset);
    document_.notifyTitle();
    if (!imported.filled.isEmpty() || !imported.problems.isEmpty()) {
        QString said = QStringLiteral("已导入 %1 个回路").arg(imported.circuits.size());
        if (!imported.filled.isEmpty())
            said += QStringLiteral("，空白的电缆参数已填入：\r\n") +
                    imported.filled.join(QStringLiteral("\r\n"));
        if (!imported.problems.isEmpty())
            said += (imported.filled.isEmpty() ? QStringLiteral("，") : QStringLiteral("\r\n")) +
                    QStringLiteral("以下内容未读取：\r\n") +
                    imported.problems.join(QStringLiteral("\r\n"));
        tellUser(platform_, false, said);
    }
    return true;
}

} // namespace korvane
