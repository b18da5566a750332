#pragma once

#include "app/project_document.h"
#include "app/project_state.h"
#include "app/supply_editor.h"
#include "form/platform.h"
#include "project/inputs/schedule_columns.h"
#include "project/project.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace korvane {

// How imported circuits join the schedule.
enum class ImportMode { Replace, Append };

// The circuit schedule (回路表): its columns (the inputs, then the result columns of the schema
// in use), its cells and its rows. An edited cell or a new row computes only its own circuit;
// moved and removed rows take their results with them.
class ScheduleEditor {
public:
    ScheduleEditor(Platform& platform, ProjectState& state, ProjectDocument& document,
                   const SupplyEditor& supply);

    // ---- Cells ----
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

    // Circuits that repeat an earlier circuit's identifier are not computed: the platform's
    // question offers to give them the next free identifiers (after a file is opened).
    void askToRenameRepeatedIds();
    // Gives each circuit of the file that repeats an earlier one's identifier the next free WLn,
    // as an edit of its 回路编号 cell; returns how many were renamed.
    int renameRepeatedIds();

    // ---- Rows ----
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
    // Reads circuits from a workbook or CSV file into the schedule: false, with the message box
    // saying why, when nothing was taken.
    bool importCircuits(const QString& path, ImportMode mode);

private:
    void dropAnsweredRepeatedIds();
    int appendCircuit(ProjectCircuit circuit);
    QString nextFreeId() const;
    int idColumn() const;
    // What an empty installation cell of a circuit stands for: the project's value.
    QString inheritedNote(ScheduleColumn column) const;
    QStringList cellChoices(const ProjectCircuit& circuit, int column) const;

    Platform& platform_;
    ProjectState& state_;
    ProjectDocument& document_;
    const SupplyEditor& supply_;
};

} // namespace korvane
