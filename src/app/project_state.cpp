#include "app/project_state.h"

#include "diagram/system_diagram.h"
#include "project/project_run.h"
#include "project_files/project_file.h"

namespace korvane {

ProjectState::ProjectState(ProjectCatalogues catalogues) : catalogues_(std::move(catalogues)) {}

QString sessionCaption() {
    return QStringLiteral("Korvane");
}

void tellUser(Platform& platform, bool error, const QString& text) {
    platform.messageBox(error ? MessageIcon::Critical : MessageIcon::Warning, sessionCaption(),
                        text);
}

// ---- The computation ----

void ProjectState::useResultSchema(const ResultSchema& schema) {
    const ScheduleChange reset{ScheduleChange::Kind::Reset, 0, -1, 0};
    scheduleAboutToChange.fire(reset);
    schema_ = &schema;
    scheduleChanged.fire(reset);
}

void ProjectState::useCheckRegistry(const CheckRegistry& checks) {
    const ScheduleChange reset{ScheduleChange::Kind::Reset, 0, -1, 0};
    scheduleAboutToChange.fire(reset);
    checks_ = &checks;
    recompute();
    scheduleChanged.fire(reset);
}

void ProjectState::recompute() {
    supplyProblems_ = catalogues_.supplies ? unknownSupply(project_.supply, *catalogues_.supplies)
                                           : QStringList{catalogues_.supplies.reason()};
    Project computed = project_;
    for (ProjectCircuit& c : computed.circuits)
        addProjectProblems(c);
    run_ = runProject(computed, catalogues_.cableRows(), false, *checks_);
}

void ProjectState::addProjectProblems(ProjectCircuit& computed) const {
    // What the file said of the project's own values stops a circuit added since, too.
    for (const QString& problem : projectStoppingProblems(project_))
        if (!computed.inputProblems.contains(problem))
            computed.inputProblems << problem;
    computed.inputProblems << supplyProblems_;
}

void ProjectState::computeRow(int row, bool inserted) {
    // As recompute() does for every circuit: the project's and the supply's problems, then an
    // unknown cable's.
    ProjectCircuit computed = project_.circuits[size_t(row)];
    addProjectProblems(computed);
    if (const std::optional<QString> why = unknownCable(computed, catalogues_.cableRows()))
        computed.inputProblems << *why;
    CircuitResult result = computeCircuit(run_.project, computed, catalogues_.cableRows(),
                                          CircuitDetail::Full, *checks_);
    if (inserted) {
        run_.project.circuits.insert(run_.project.circuits.begin() + row, std::move(computed));
        run_.results.insert(run_.results.begin() + row, std::move(result));
    } else {
        run_.project.circuits[size_t(row)] = std::move(computed);
        run_.results[size_t(row)] = std::move(result);
    }
}

void ProjectState::replaceProject(Project project) {
    project_ = std::move(project);
    acceptedSizing_.clear();
    recompute();
}

void ProjectState::eraseRows(int first, int last) {
    project_.circuits.erase(project_.circuits.begin() + first,
                            project_.circuits.begin() + last + 1);
    run_.project.circuits.erase(run_.project.circuits.begin() + first,
                                run_.project.circuits.begin() + last + 1);
    run_.results.erase(run_.results.begin() + first, run_.results.begin() + last + 1);
}

void ProjectState::swapRows(int a, int b) {
    std::swap(project_.circuits[size_t(a)], project_.circuits[size_t(b)]);
    std::swap(run_.project.circuits[size_t(a)], run_.project.circuits[size_t(b)]);
    std::swap(run_.results[size_t(a)], run_.results[size_t(b)]);
}

// ---- The run as last computed ----

const LampFeederResult* ProjectState::feederResult(int row) const {
    if (row < 0 || row >= int(run_.results.size()))
        return nullptr;
    const auto& feeder = run_.results[size_t(row)].feeder;
    return feeder ? &*feeder : nullptr;
}

bool ProjectState::isFeeder(int row) const {
    return row >= 0 && row < rowCount() &&
           std::holds_alternative<LampFeeder>(project_.circuits[size_t(row)].load);
}

std::optional<FeederPlot> ProjectState::rowPlot(int row) const {
    const LampFeederResult* feeder = feederResult(row);
    if (feeder == nullptr || row >= rowCount())
        return std::nullopt;
    return feederPlot(*feeder, project_.voltageLossLimitPercent, project_.circuits[size_t(row)].id);
}

QString ProjectState::rowPlotNote(int row) const {
    if (row < 0 || row >= rowCount())
        return QStringLiteral("未选择回路");
    if (feederResult(row) != nullptr)
        return {};
    if (!isFeeder(row))
        return QStringLiteral("所选回路不是路灯馈线");
    const CircuitResult& r = result(row);
    if (!r.feeder.reason().isEmpty())
        return r.feeder.reason();
    if (!r.inputProblems.isEmpty())
        return r.inputProblems.join(u'\n');
    return project_.circuits[size_t(row)].inputProblems.join(u'\n');
}

drawing::Drawing ProjectState::systemDiagram(const QDate& date) const {
    return korvane::systemDiagram(run_, date);
}

} // namespace korvane
