#include "app/schedule_editor.h"

#include "base/number_format.h"
#include "project/example_circuits.h"
#include "project/inputs/schedule_columns.h"
#include "project_files/project_file.h"
#include "voltage_loss/line_kinds.h"

#include <algorithm>

namespace korvane {

namespace {

// The columns that do not belong to a circuit's kind of load.
bool belongsToLoad(ScheduleColumn column, bool feeder) {
    using C = ScheduleColumn;
    const bool loadCaseOnly =
        column == C::LoadCurrentA || (column >= C::LineKind && column <= C::SeveralLoads);
    const bool feederOnly = column >= C::Poles && column <= C::ThirdHarmonicPercent;
    return feeder ? !loadCaseOnly : !feederOnly;
}

// The columns of an equal feeder that its pole list gives once it has one.
bool givenByPoleList(ScheduleColumn column, const ProjectCircuit& circuit) {
    using C = ScheduleColumn;
    const auto* feeder = std::get_if<LampFeeder>(&circuit.load);
    if (feeder == nullptr || feeder->poleList.empty())
        return false;
    return (column >= C::Poles && column <= C::FirstPoleM) || column == C::ThirdHarmonicPercent;
}

const QString kGivenByPoleList = QStringLiteral("由杆位表给出");
CellState stateOf(CheckOutcome::State state) {
    switch (state) {
    case CheckOutcome::State::Passed:
        return CellState::Passed;
    case CheckOutcome::State::Failed:
        return CellState::Failed;
    case CheckOutcome::State::NotComputed:
        break;
    }
    return CellState::NotComputed;
}

} // namespace

ScheduleEditor::ScheduleEditor(Platform& platform, ProjectState& state, ProjectDocument& document,
                               const SupplyEditor& supply)
    : platform_(platform), state_(state), document_(document), supply_(supply) {}

// ---- Cells ----

int ScheduleEditor::inputColumnCount() const {
    return int(scheduleInputColumns().size());
}

int ScheduleEditor::columnCount() const {
    return inputColumnCount() + int(state_.resultSchema().columns.size());
}

QString ScheduleEditor::columnHeader(int column) const {
    if (column < 0 || column >= columnCount())
        return {};
    if (column < inputColumnCount())
        return QString::fromUtf8(scheduleInputColumns()[size_t(column)].header);
    return state_.resultSchema().columns[size_t(column - inputColumnCount())].header;
}

QStringList ScheduleEditor::cellChoices(const ProjectCircuit& c, int column) const {
    using C = ScheduleColumn;
    QStringList choices;
    const CableIdentity& cable = c.line.cable;
    switch (scheduleInputColumns()[size_t(column)].column) {
    case C::LossType:
        for (const CableRow& row : state_.catalogues().cableRows().rows)
            if (!choices.contains(row.cable.lossType))
                choices << row.cable.lossType;
        break;
    case C::CableType:
        for (const CableRow& row : state_.catalogues().cableRows().rows)
            if (row.cable.lossType == cable.lossType && !choices.contains(row.cable.cableType))
                choices << row.cable.cableType;
        break;
    case C::CrossSection:
        for (const CableRow* row :
             state_.catalogues().cableRows().sectionsOf(cable.lossType, cable.cableType))
            choices << row->cable.crossSection;
        break;
    case C::ProtectionMode:
        choices << protectionModeText(ProtectionMode::EarthFault)
                << protectionModeText(ProtectionMode::ShortCircuit);
        break;
    case C::LoadKind:
        choices << loadKindText(false) << loadKindText(true);
        break;
    case C::LineKind:
        choices = lineKinds();
        break;
    case C::LoadCase:
        if (const auto* loads = std::get_if<LoadCaseLoad>(&c.load))
            choices = loadCasesOf(lineKindText(*loads));
        break;
    case C::Connection:
        choices << connectionText(FeederConnection::SinglePhase)
                << connectionText(FeederConnection::PhasesInTurn);
        break;
    case C::StartPhase:
        choices << phaseText(Phase::L1) << phaseText(Phase::L2) << phaseText(Phase::L3);
        break;
    case C::LayingMethod:
        // The empty choice leaves the circuit laid as the project's circuits are.
        choices << QString();
        for (LayingMethod method : kLayingMethods)
            choices << text(method);
        break;
    default:
        break;
    }
    return choices;
}

QString ScheduleEditor::inheritedNote(ScheduleColumn column) const {
    using C = ScheduleColumn;
    std::optional<SupplyFieldId> field;
    switch (column) {
    case C::LayingMethod:
        field = SupplyFieldId::LayingMethod;
        break;
    case C::LayingTemperatureC:
        field = SupplyFieldId::LayingTemperature;
        break;
    case C::SoilResistivity:
        field = SupplyFieldId::SoilResistivity;
        break;
    case C::GroupedCircuits:
        field = SupplyFieldId::GroupedCircuits;
        break;
    case C::CircuitSpacingM:
        field = SupplyFieldId::CircuitSpacing;
        break;
    case C::ThirdHarmonicPercent:
        return QStringLiteral("未填写：取 IEC 61000-3-2 C 类限值 30 × λ %");
    default:
        return {};
    }
    const QString given = supply_.supplyField(int(*field)).text;
    return given.isEmpty() ? QStringLiteral("未填写，工程敷设条件亦未给出")
                           : QStringLiteral("未填写，采用工程敷设条件：%1").arg(given);
}

CellView ScheduleEditor::cell(int row, int column) const {
    CellView view;
    if (row < 0 || row >= state_.rowCount() || column < 0 || column >= columnCount())
        return view;
    const ProjectCircuit& c = state_.project().circuits[size_t(row)];
    const CircuitResult& r = state_.run().results[size_t(row)];
    if (column < inputColumnCount()) {
        const ScheduleColumn which = scheduleInputColumns()[size_t(column)].column;
        // A value the file held that could not be read shows as the file held it (nothing for
        // one that was missing), never as the number standing in for it.
        const std::optional<QString> unread = unreadCellText(c, which, regionalFormat());
        view.text = unread ? *unread : scheduleCellText(scheduleCell(c, which), regionalFormat());
        view.editable = belongsToLoad(which, std::holds_alternative<LampFeeder>(c.load));
        if (view.editable)
            view.choices = cellChoices(c, column);
        if (view.text.isEmpty())
            view.toolTip = inheritedNote(which);
        if (givenByPoleList(which, c)) {
            view.text = kGivenByPoleList;
            view.editable = false;
            view.derived = true;
            view.choices.clear();
            view.toolTip = QStringLiteral("此馈线由杆位表给出，请在杆位表中编辑各杆");
        }
        if (!r.inputProblems.isEmpty()) {
            view.state = CellState::InputProblem;
            view.toolTip = r.inputProblems.join(QStringLiteral("\n"));
        }
        return view;
    }

    // A result, as the project's result schema reads and judges it.
    const SchemaColumn& shown =
        state_.resultSchema().columns.at(size_t(column - inputColumnCount()));
    const JudgedResult judged = judgeResult(shown, c, r);
    view.text = resultText(shown, judged.value, regionalFormat());
    if (judged.judged) {
        view.state = stateOf(judged.state);
        if (judged.state != CheckOutcome::State::Passed)
            view.toolTip = judged.note;
    } else if (std::holds_alternative<std::monostate>(judged.value.value)) {
        view.state = CellState::NotComputed;
        view.toolTip = judged.note;
    }
    return view;
}

std::optional<QString> ScheduleEditor::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= state_.rowCount() || column < 0 || column >= inputColumnCount())
        return QStringLiteral("此单元格不可编辑");
    const ScheduleColumn which = scheduleInputColumns()[size_t(column)].column;
    ProjectCircuit c = state_.project().circuits[size_t(row)];
    if (!belongsToLoad(which, std::holds_alternative<LampFeeder>(c.load)))
        return QStringLiteral("“%1”不用于此类回路").arg(columnHeader(column));
    if (givenByPoleList(which, c))
        return QStringLiteral("%1 的“%2”%3，请在杆位表中编辑")
            .arg(c.id, columnHeader(column), kGivenByPoleList);
    // A circuit the file did not hold as one cannot be given values one at a time: whatever it
    // had would be lost.
    for (const ReadingProblem& problem : c.readingProblems)
        if (problem.place.isEmpty())
            return QStringLiteral("%1 在文件中无法读取，不能编辑；可删除此行").arg(c.id);
    const QString trimmed = text.trimmed();
    if (which == ScheduleColumn::Id) {
        // Each circuit is known by its own identifier in every message, book and file.
        if (trimmed.isEmpty())
            return QStringLiteral("回路编号不能为空");
        for (int i = 0; i < state_.rowCount(); ++i)
            if (i != row && sameCircuitId(state_.project().circuits[size_t(i)].id, trimmed))
                return QStringLiteral("回路编号“%1”已被第 %2 行使用").arg(trimmed).arg(i + 1);
    }
    const bool wasFeeder = std::holds_alternative<LampFeeder>(c.load);
    const ScheduleCell cell = trimmed.isEmpty() ? ScheduleCell{} : ScheduleCell{trimmed};
    if (auto why = applyScheduleCell(c, which, cell))
        return why;
    // What reading the file said of this value no longer holds. The load kind chosen again
    // answers only for the kind: the values of the load stay as they were read.
    const bool sameKind = which == ScheduleColumn::LoadKind &&
                          wasFeeder == std::holds_alternative<LampFeeder>(c.load);
    dropReadingProblems(c, sameKind ? QStringList{QStringLiteral("load.kind")}
                                    : projectFileKeys(which));
    renameReadingProblems(c);
    if (which == ScheduleColumn::LossType || which == ScheduleColumn::CableType ||
        which == ScheduleColumn::CrossSection)
        fillCableSection(c, state_.catalogues().cableRows());
    const ProjectCircuit& old = state_.project().circuits[size_t(row)];
    if (c.inputProblems == old.inputProblems && circuitToJson(c) == circuitToJson(old))
        return std::nullopt; // the same value again: nothing changed
    state_.project().circuits[size_t(row)] = std::move(c);
    state_.computeRow(row);
    document_.rowEdited(row);
    document_.rowsChanged(row, row);
    if (which == ScheduleColumn::Id)
        dropAnsweredRepeatedIds();
    return std::nullopt;
}

void ScheduleEditor::dropAnsweredRepeatedIds() {
    // A circuit of the file that repeated another's identifier is computed again once no other
    // circuit has it (the other renamed or removed).
    for (int row = 0; row < state_.rowCount(); ++row) {
        ProjectCircuit& c = state_.project().circuits[size_t(row)];
        const auto& problems = c.readingProblems;
        if (std::none_of(problems.begin(), problems.end(), isRepeatedIdProblem))
            continue;
        bool repeated = false;
        for (int other = 0; other < state_.rowCount() && !repeated; ++other)
            repeated =
                other != row && sameCircuitId(state_.project().circuits[size_t(other)].id, c.id);
        if (repeated)
            continue;
        dropReadingProblems(c, {QStringLiteral("id")});
        state_.computeRow(row);
        document_.rowsChanged(row, row);
    }
}

int ScheduleEditor::idColumn() const {
    for (int column = 0; column < inputColumnCount(); ++column)
        if (scheduleInputColumns()[size_t(column)].column == ScheduleColumn::Id)
            return column;
    return 0;
}

QString ScheduleEditor::nextFreeId() const {
    return nextFreeCircuitId(state_.project().circuits);
}

// ---- Repeated identifiers of a file ----

void ScheduleEditor::askToRenameRepeatedIds() {
    QStringList repeated;
    QStringList renamed;
    std::vector<ProjectCircuit> named = state_.project().circuits;
    for (size_t row = 0; row < named.size(); ++row)
        for (const ReadingProblem& problem : named[row].readingProblems)
            if (isRepeatedIdProblem(problem)) {
                repeated << QStringLiteral("第 %1 行 %2").arg(row + 1).arg(problem.text());
                named[row].id = nextFreeCircuitId(named);
                renamed << named[row].id;
            }
    if (repeated.isEmpty())
        return;
    if (platform_.question(
            sessionCaption(),
            QStringLiteral("以下回路的编号与前面的回路重复，这些回路未计算：\r\n%1\r\n"
                           "是否将它们依次改为 %2？")
                .arg(repeated.join(QStringLiteral("\r\n")), renamed.join(QStringLiteral("、")))))
        renameRepeatedIds();
}

int ScheduleEditor::renameRepeatedIds() {
    int renamed = 0;
    for (int row = 0; row < state_.rowCount(); ++row) {
        const auto& problems = state_.project().circuits[size_t(row)].readingProblems;
        if (std::none_of(problems.begin(), problems.end(), isRepeatedIdProblem))
            continue;
        if (!setCell(row, idColumn(), nextFreeId()))
            ++renamed;
    }
    return renamed;
}

} // namespace korvane
