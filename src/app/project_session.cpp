#include "app/project_session.h"

#include "app/application.h"
#include "app/project_catalogues.h"
#include "diagram/system_diagram.h"
#include "base/number_format.h"
#include "project/example_circuits.h"
#include "project/handbook_constants.h"
#include "project/project_run.h"
#include "project/inputs/schedule_columns.h"
#include "project/sizing.h"
#include "project_files/imports/circuit_import.h"
#include "project_files/project_file.h"
#include "project_files/schedule_xlsx.h"
#include "voltage_loss/line_kinds.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <set>

namespace korvane {

namespace {

const QString kUntitled = QStringLiteral("未命名工程");
const QString kCaption = QStringLiteral("Korvane");
constexpr int kRecentLimit = 8;

// The supply of a new project as the short-circuit page starts: 100 MVA (the value the page
// suggests), a busbar of 1 m (the busbar dialog's first length).
constexpr double kNewSystemCapacityMva = 100.0;
constexpr double kNewBusbarLengthM = 1.0;

const char* const kSupplyLabels[kSupplyFieldCount] = {
    "系统容量 (MVA)",   "变压器",      "母线",           "母线长度 (m)",
    "电压损失限值 (%)", "敷设方式",    "敷设处温度(℃)",  "土壤热阻系数(K·m/W)",
    "并列回路数",       "回路间距(m)", "导体计算温度(℃)"};

QString optionalText(const std::optional<double>& value) {
    return value ? formatGeneral(*value) : QString();
}

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

bool sameInputs(const ProjectCircuit& a, const ProjectCircuit& b) {
    for (const ScheduleColumnInfo& info : scheduleInputColumns())
        if (scheduleCell(a, info.column) != scheduleCell(b, info.column))
            return false;
    return std::holds_alternative<LampFeeder>(a.load) == std::holds_alternative<LampFeeder>(b.load);
}

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

ProjectSession::ProjectSession(Application& app)
    : app_(app), catalogues_(loadProjectCatalogues(app)) {
    newProject();
}

QString ProjectSession::recentProjectsKey() {
    return QStringLiteral("projects/recent");
}

// ---- File ----

void ProjectSession::newProject() {
    Project project;
    project.supply.systemCapacityMva = kNewSystemCapacityMva;
    if (!catalogues_.transformers.empty())
        project.supply.transformer = catalogues_.transformers.front().transformer;
    if (!catalogues_.busbars.empty()) {
        const BusbarChoice& b = catalogues_.busbars.front();
        project.supply.busbar = {b.material, b.size, b.perMetreMilliOhm, kNewBusbarLengthM};
    } else {
        project.supply.busbar.lengthM = kNewBusbarLengthM;
    }
    // The circuits laid in ducts under the footway, as street-lighting cables usually are, at the
    // reference conditions of the capacity tables (GB/T 16895.6-2014 B.52.2: ground 20 °C, soil
    // 2.5 K·m/W), one circuit per trench: shown in the project's fields for the engineer to set.
    project.installation = {LayingMethod::InDuct, kReferenceGroundTemperatureC,
                            kReferenceSoilResistivityKmW, 1, std::nullopt};
    project.circuits.push_back(exampleLoadCaseCircuit(catalogues_.cableRows()));
    project.circuits.front().id = QStringLiteral("WL1");
    replaceProject(std::move(project), {});
}

bool ProjectSession::open(const QString& path) {
    const ProjectReading reading = openProject(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!reading.error.isEmpty()) {
        message(true, QStringLiteral("无法打开工程文件 %1：\r\n%2").arg(shown, reading.error));
        return false;
    }
    replaceProject(reading.project, QFileInfo(path).absoluteFilePath());
    rememberRecent(path_);
    if (!reading.unrestored.isEmpty())
        message(false, QStringLiteral("打开工程文件 %1 时，以下内容未能恢复：\r\n%2")
                           .arg(shown, reading.unrestored.join(QStringLiteral("\r\n"))));
    askToRenameRepeatedIds();
    return true;
}

void ProjectSession::askToRenameRepeatedIds() {
    QStringList repeated;
    QStringList renamed;
    std::vector<ProjectCircuit> named = project_.circuits;
    for (size_t row = 0; row < named.size(); ++row)
        for (const ReadingProblem& problem : named[row].readingProblems)
            if (isRepeatedIdProblem(problem)) {
                repeated << QStringLiteral("第 %1 行 %2").arg(row + 1).arg(problem.text());
                named[row].id = nextFreeCircuitId(named);
                renamed << named[row].id;
            }
    if (repeated.isEmpty())
        return;
    if (app_.platform().question(
            kCaption,
            QStringLiteral("以下回路的编号与前面的回路重复，这些回路未计算：\r\n%1\r\n"
                           "是否将它们依次改为 %2？")
                .arg(repeated.join(QStringLiteral("\r\n")), renamed.join(QStringLiteral("、")))))
        renameRepeatedIds();
}

int ProjectSession::renameRepeatedIds() {
    int renamed = 0;
    for (int row = 0; row < rowCount(); ++row) {
        const auto& problems = project_.circuits[size_t(row)].readingProblems;
        if (std::none_of(problems.begin(), problems.end(), isRepeatedIdProblem))
            continue;
        if (!setCell(row, idColumn(), nextFreeId()))
            ++renamed;
    }
    return renamed;
}

bool ProjectSession::save() {
    return !path_.isEmpty() && saveAs(path_);
}

bool ProjectSession::saveAs(const QString& path) {
    const QString why = saveProject(project_, path);
    if (!why.isEmpty()) {
        message(true, QStringLiteral("无法保存工程文件：\r\n%1\r\n（%2）")
                          .arg(QDir::toNativeSeparators(path), why));
        return false;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    markSaved();
    rememberRecent(path_);
    return true;
}

QString ProjectSession::windowTitle() const {
    const QString name = path_.isEmpty() ? kUntitled : QFileInfo(path_).fileName();
    return modified() ? name + u'*' : name;
}

QStringList ProjectSession::recentProjects() {
    Preferences* preferences = app_.platform().preferences();
    if (!preferences)
        return {};
    const QStringList stored =
        preferences->value(recentProjectsKey()).split(u'\n', Qt::SkipEmptyParts);
    QStringList existing;
    for (const QString& path : stored)
        if (QFileInfo::exists(path) && !existing.contains(path))
            existing << path;
    if (existing != stored)
        preferences->setValue(recentProjectsKey(), existing.join(u'\n'));
    return existing;
}

void ProjectSession::rememberRecent(const QString& path) {
    Preferences* preferences = app_.platform().preferences();
    if (!preferences)
        return;
    QStringList list = preferences->value(recentProjectsKey()).split(u'\n', Qt::SkipEmptyParts);
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > kRecentLimit)
        list.removeLast();
    preferences->setValue(recentProjectsKey(), list.join(u'\n'));
}

void ProjectSession::useResultSchema(const ResultSchema& schema) {
    const ScheduleChange reset{ScheduleChange::Kind::Reset, 0, -1, 0};
    scheduleAboutToChange.fire(reset);
    schema_ = &schema;
    scheduleChanged.fire(reset);
}

void ProjectSession::replaceProject(Project project, const QString& path) {
    const ScheduleChange reset{ScheduleChange::Kind::Reset, 0, -1, 0};
    scheduleAboutToChange.fire(reset);
    project_ = std::move(project);
    acceptedSizing_.clear();
    path_ = path;
    recompute();
    ++revision_;
    savedRevision_ = revision_;
    saved_ = project_;
    rowsAsSaved_ = true;
    differingRows_.clear();
    scheduleChanged.fire(reset);
    supplyChanged.fire();
    notifyTitle();
}

void ProjectSession::markSaved() {
    savedRevision_ = revision_;
    saved_ = project_;
    rowsAsSaved_ = true;
    differingRows_.clear();
    notifyTitle();
}

void ProjectSession::rowEdited(int row) {
    ++revision_;
    if (!rowsAsSaved_)
        return;
    // One circuit compared as its file holds it: cheap, and true to what saving would write.
    const ProjectCircuit& now = project_.circuits[size_t(row)];
    const ProjectCircuit& saved = saved_.circuits[size_t(row)];
    if (circuitToJson(now) == circuitToJson(saved))
        differingRows_.erase(row);
    else
        differingRows_.insert(row);
    if (differingRows_.empty())
        savedRevision_ = revision_; // every circuit is as saved again
}

void ProjectSession::projectChanged() {
    ++revision_;
    rowsAsSaved_ = false;
    differingRows_.clear();
}

void ProjectSession::notifyTitle() {
    const QString title = windowTitle();
    if (title == lastTitle_)
        return;
    lastTitle_ = title;
    titleChanged.fire();
}

void ProjectSession::recompute() {
    supplyProblems_ = catalogues_.supplies ? unknownSupply(project_.supply, *catalogues_.supplies)
                                           : QStringList{catalogues_.supplies.reason()};
    Project computed = project_;
    for (ProjectCircuit& c : computed.circuits)
        addProjectProblems(c);
    run_ = runProject(computed, catalogues_.cableRows(), false);
}

void ProjectSession::addProjectProblems(ProjectCircuit& computed) const {
    // What the file said of the project's own values stops a circuit added since, too.
    for (const QString& problem : projectStoppingProblems(project_))
        if (!computed.inputProblems.contains(problem))
            computed.inputProblems << problem;
    computed.inputProblems << supplyProblems_;
}

void ProjectSession::computeRow(int row, bool inserted) {
    // As recompute() does for every circuit: the project's and the supply's problems, then an
    // unknown cable's.
    ProjectCircuit computed = project_.circuits[size_t(row)];
    addProjectProblems(computed);
    if (const std::optional<QString> why = unknownCable(computed, catalogues_.cableRows()))
        computed.inputProblems << *why;
    CircuitResult result = computeCircuit(run_.project, computed, catalogues_.cableRows());
    if (inserted) {
        run_.project.circuits.insert(run_.project.circuits.begin() + row, std::move(computed));
        run_.results.insert(run_.results.begin() + row, std::move(result));
    } else {
        run_.project.circuits[size_t(row)] = std::move(computed);
        run_.results[size_t(row)] = std::move(result);
    }
}

void ProjectSession::notifyRowsChanged(int first, int last) {
    scheduleChanged.fire({ScheduleChange::Kind::DataChanged, first, last, 0});
    notifyTitle();
}

const LampFeederResult* ProjectSession::feederResult(int row) const {
    if (row < 0 || row >= int(run_.results.size()))
        return nullptr;
    const auto& feeder = run_.results[size_t(row)].feeder;
    return feeder ? &*feeder : nullptr;
}

bool ProjectSession::isFeeder(int row) const {
    return row >= 0 && row < rowCount() &&
           std::holds_alternative<LampFeeder>(project_.circuits[size_t(row)].load);
}

std::optional<FeederPlot> ProjectSession::rowPlot(int row) const {
    const LampFeederResult* feeder = feederResult(row);
    if (feeder == nullptr || row >= rowCount())
        return std::nullopt;
    return feederPlot(*feeder, project_.voltageLossLimitPercent, project_.circuits[size_t(row)].id);
}

QString ProjectSession::rowPlotNote(int row) const {
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

void ProjectSession::message(bool error, const QString& text) const {
    app_.platform().messageBox(error ? MessageIcon::Critical : MessageIcon::Warning, kCaption,
                               text);
}

// ---- Supply ----

namespace {

// The places in the project file that a supply field gives.
QStringList supplyFieldPlaces(SupplyFieldId field) {
    switch (field) {
    case SupplyFieldId::SystemCapacity:
        return {QStringLiteral("supply.systemCapacityMVA")};
    case SupplyFieldId::Transformer:
        return {QStringLiteral("supply.transformer")};
    case SupplyFieldId::Busbar: {
        QStringList places;
        for (const char* key :
             {"material", "size", "resistanceMilliOhmPerM", "reactanceMilliOhmPerM",
              "phaseProtectiveResistanceMilliOhmPerM", "phaseProtectiveReactanceMilliOhmPerM"})
            places << QStringLiteral("supply.busbar.") + QString::fromLatin1(key);
        return places;
    }
    case SupplyFieldId::BusbarLength:
        return {QStringLiteral("supply.busbar.lengthM")};
    case SupplyFieldId::VoltageLossLimit:
        return {QStringLiteral("voltageLossLimitPercent")};
    case SupplyFieldId::LayingMethod:
        return {QStringLiteral("installation.method")};
    case SupplyFieldId::LayingTemperature:
        return {QStringLiteral("installation.temperatureC")};
    case SupplyFieldId::SoilResistivity:
        return {QStringLiteral("installation.soilResistivityKmW")};
    case SupplyFieldId::GroupedCircuits:
        return {QStringLiteral("installation.groupedCircuits")};
    case SupplyFieldId::CircuitSpacing:
        return {QStringLiteral("installation.spacingM")};
    case SupplyFieldId::ConductorTemperature:
        break;
    }
    return {QStringLiteral("conductorTemperatureC")};
}

// Takes a project installation field: an empty text clears it, otherwise a list text or a
// number. What the value means (a temperature at the insulation's limit, no circuits) is judged
// by the capacity check, circuit by circuit, with the reason.
std::optional<QString> setInstallationField(Project& project, SupplyFieldId field,
                                            const QString& label, const QString& shown) {
    InstallationConditions& i = project.installation;
    const QString text = shown.trimmed();
    if (field == SupplyFieldId::LayingMethod) {
        if (text.isEmpty()) {
            i.method.reset();
            return std::nullopt;
        }
        const std::optional<LayingMethod> method = layingMethodOf(text);
        if (!method)
            return QStringLiteral("“%1”无法识别：%2").arg(label, text.left(40));
        i.method = method;
        return std::nullopt;
    }
    std::optional<double> value;
    if (!text.isEmpty()) {
        value = readStrict(text);
        if (!value)
            return QStringLiteral("“%1”不是数值：%2").arg(label, text.left(40));
    }
    switch (field) {
    case SupplyFieldId::LayingTemperature:
        i.temperatureC = value;
        break;
    case SupplyFieldId::SoilResistivity:
        i.soilResistivityKmW = value;
        break;
    case SupplyFieldId::GroupedCircuits:
        if (value && (*value != std::floor(*value) || std::abs(*value) > 1e6))
            return QStringLiteral("“%1”应为整数：%2").arg(label, text.left(40));
        i.groupedCircuits = value ? std::optional<int>(int(*value)) : std::nullopt;
        break;
    case SupplyFieldId::CircuitSpacing:
        i.spacingM = value;
        break;
    default:
        if (value &&
            !(*value >= kLowestConductorTemperatureC && *value <= kHighestConductorTemperatureC))
            return QStringLiteral("“%1”应在 −50～250 ℃ 之间").arg(label);
        project.conductorTemperatureC = value;
        break;
    }
    return std::nullopt;
}

} // namespace

SupplyFieldView ProjectSession::supplyField(int index) const {
    SupplyFieldView view;
    if (index < 0 || index >= kSupplyFieldCount)
        return view;
    view.label = QString::fromUtf8(kSupplyLabels[index]);
    const Supply& s = project_.supply;
    switch (SupplyFieldId(index)) {
    case SupplyFieldId::SystemCapacity:
        view.text = formatGeneral(s.systemCapacityMva);
        break;
    case SupplyFieldId::Transformer: {
        const Transformer& t = s.transformer;
        view.text = transformerText(t);
        for (const TransformerChoice& choice : catalogues_.transformers)
            view.choices << choice.text;
        break;
    }
    case SupplyFieldId::Busbar:
        view.text = busbarText(s.busbar.material, s.busbar.size);
        for (const BusbarChoice& choice : catalogues_.busbars)
            view.choices << choice.text;
        break;
    case SupplyFieldId::BusbarLength:
        view.text = formatGeneral(s.busbar.lengthM);
        break;
    case SupplyFieldId::VoltageLossLimit:
        view.text = formatGeneral(project_.voltageLossLimitPercent);
        break;
    case SupplyFieldId::LayingMethod:
        view.text = project_.installation.method ? text(*project_.installation.method) : QString();
        view.choices << QString();
        for (LayingMethod method : kLayingMethods)
            view.choices << text(method);
        break;
    case SupplyFieldId::LayingTemperature:
        view.text = optionalText(project_.installation.temperatureC);
        break;
    case SupplyFieldId::SoilResistivity:
        view.text = optionalText(project_.installation.soilResistivityKmW);
        break;
    case SupplyFieldId::GroupedCircuits:
        view.text = project_.installation.groupedCircuits
                        ? QString::number(*project_.installation.groupedCircuits)
                        : QString();
        break;
    case SupplyFieldId::CircuitSpacing:
        view.text = optionalText(project_.installation.spacingM);
        break;
    case SupplyFieldId::ConductorTemperature:
        view.text = optionalText(project_.conductorTemperatureC);
        break;
    }
    // A value the file held that could not be read is shown as the file held it (nothing for
    // one that was missing), never as the number standing in for it.
    for (const QString& place : supplyFieldPlaces(SupplyFieldId(index)))
        if (const auto unread = unreadProjectText(project_, place, regionalFormat())) {
            const bool choice =
                index == int(SupplyFieldId::Transformer) || index == int(SupplyFieldId::Busbar);
            view.text = choice ? QString() : *unread;
            break;
        }
    return view;
}

std::optional<QString> ProjectSession::setSupplyField(int index, const QString& text) {
    if (index < 0 || index >= kSupplyFieldCount)
        return QStringLiteral("没有此项");
    const QString label = QString::fromUtf8(kSupplyLabels[index]);
    Project changed = project_;
    Supply& s = changed.supply;
    const SupplyFieldId field = SupplyFieldId(index);
    if (index >= kFirstInstallationField) {
        if (auto why = setInstallationField(changed, field, label, text))
            return why;
    } else if (field == SupplyFieldId::Transformer || field == SupplyFieldId::Busbar) {
        if (!catalogues_.supplies)
            return QStringLiteral("无法读取变压器、母线数据库：") + catalogues_.supplies.reason();
        const QString wanted = text.trimmed();
        bool found = false;
        if (field == SupplyFieldId::Transformer) {
            for (const TransformerChoice& choice : catalogues_.transformers)
                if (!found && choice.text == wanted) {
                    s.transformer = choice.transformer;
                    found = true;
                }
        } else {
            for (const BusbarChoice& choice : catalogues_.busbars)
                if (!found && choice.text == wanted) {
                    s.busbar.material = choice.material;
                    s.busbar.size = choice.size;
                    s.busbar.perMetreMilliOhm = choice.perMetreMilliOhm;
                    found = true;
                }
        }
        if (!found)
            return QStringLiteral("“%1”不在数据库中：%2").arg(label, wanted.left(40));
    } else {
        const std::optional<double> value = readStrict(text);
        if (!value)
            return QStringLiteral("“%1”不是数值：%2").arg(label, text.trimmed().left(40));
        if (field == SupplyFieldId::SystemCapacity) {
            if (!(*value > 0.0))
                return QStringLiteral("“%1”应大于0").arg(label);
            s.systemCapacityMva = *value;
        } else if (field == SupplyFieldId::BusbarLength) {
            if (*value < 0.0)
                return QStringLiteral("“%1”不能为负值").arg(label);
            s.busbar.lengthM = *value;
        } else {
            if (!(*value > 0.0 && *value < 100.0))
                return QStringLiteral("“%1”应大于0且小于100").arg(label);
            changed.voltageLossLimitPercent = *value;
        }
    }
    // The value given anew voids what reading the file said of it.
    dropProjectReadingProblems(changed, supplyFieldPlaces(field));
    project_ = std::move(changed);
    recompute(); // the supply is every circuit's
    projectChanged();
    supplyChanged.fire();
    notifyRowsChanged(0, rowCount() - 1);
    return std::nullopt;
}

// ---- Schedule ----

int ProjectSession::inputColumnCount() const {
    return int(scheduleInputColumns().size());
}

int ProjectSession::columnCount() const {
    return inputColumnCount() + int(schema_->columns.size());
}

QString ProjectSession::columnHeader(int column) const {
    if (column < 0 || column >= columnCount())
        return {};
    if (column < inputColumnCount())
        return QString::fromUtf8(scheduleInputColumns()[size_t(column)].header);
    return schema_->columns[size_t(column - inputColumnCount())].header;
}

QStringList ProjectSession::cellChoices(const ProjectCircuit& c, int column) const {
    using C = ScheduleColumn;
    QStringList choices;
    const CableIdentity& cable = c.line.cable;
    switch (scheduleInputColumns()[size_t(column)].column) {
    case C::LossType:
        for (const CableRow& row : catalogues_.cableRows().rows)
            if (!choices.contains(row.cable.lossType))
                choices << row.cable.lossType;
        break;
    case C::CableType:
        for (const CableRow& row : catalogues_.cableRows().rows)
            if (row.cable.lossType == cable.lossType && !choices.contains(row.cable.cableType))
                choices << row.cable.cableType;
        break;
    case C::CrossSection:
        for (const CableRow* row :
             catalogues_.cableRows().sectionsOf(cable.lossType, cable.cableType))
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

QString ProjectSession::inheritedNote(ScheduleColumn column) const {
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
    const QString given = supplyField(int(*field)).text;
    return given.isEmpty() ? QStringLiteral("未填写，工程敷设条件亦未给出")
                           : QStringLiteral("未填写，采用工程敷设条件：%1").arg(given);
}

CellView ProjectSession::cell(int row, int column) const {
    CellView view;
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return view;
    const ProjectCircuit& c = project_.circuits[size_t(row)];
    const CircuitResult& r = run_.results[size_t(row)];
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
    const SchemaColumn& shown = schema_->columns.at(size_t(column - inputColumnCount()));
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

std::optional<QString> ProjectSession::setCell(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= inputColumnCount())
        return QStringLiteral("此单元格不可编辑");
    const ScheduleColumn which = scheduleInputColumns()[size_t(column)].column;
    ProjectCircuit c = project_.circuits[size_t(row)];
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
        for (int i = 0; i < rowCount(); ++i)
            if (i != row && sameCircuitId(project_.circuits[size_t(i)].id, trimmed))
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
        fillCableSection(c, catalogues_.cableRows());
    const ProjectCircuit& old = project_.circuits[size_t(row)];
    if (c.inputProblems == old.inputProblems && circuitToJson(c) == circuitToJson(old))
        return std::nullopt; // the same value again: nothing changed
    project_.circuits[size_t(row)] = std::move(c);
    computeRow(row);
    rowEdited(row);
    notifyRowsChanged(row, row);
    if (which == ScheduleColumn::Id)
        dropAnsweredRepeatedIds();
    return std::nullopt;
}

void ProjectSession::dropAnsweredRepeatedIds() {
    // A circuit of the file that repeated another's identifier is computed again once no other
    // circuit has it (the other renamed or removed).
    for (int row = 0; row < rowCount(); ++row) {
        ProjectCircuit& c = project_.circuits[size_t(row)];
        const auto& problems = c.readingProblems;
        if (std::none_of(problems.begin(), problems.end(), isRepeatedIdProblem))
            continue;
        bool repeated = false;
        for (int other = 0; other < rowCount() && !repeated; ++other)
            repeated = other != row && sameCircuitId(project_.circuits[size_t(other)].id, c.id);
        if (repeated)
            continue;
        dropReadingProblems(c, {QStringLiteral("id")});
        computeRow(row);
        notifyRowsChanged(row, row);
    }
}

int ProjectSession::idColumn() const {
    for (int column = 0; column < inputColumnCount(); ++column)
        if (scheduleInputColumns()[size_t(column)].column == ScheduleColumn::Id)
            return column;
    return 0;
}

QString ProjectSession::nextFreeId() const {
    return nextFreeCircuitId(project_.circuits);
}

int ProjectSession::appendCircuit(ProjectCircuit circuit) {
    const int row = rowCount();
    const ScheduleChange change{ScheduleChange::Kind::RowsInserted, row, row, 0};
    scheduleAboutToChange.fire(change);
    project_.circuits.push_back(std::move(circuit));
    computeRow(row, true);
    projectChanged();
    scheduleChanged.fire(change);
    notifyTitle();
    return row;
}

int ProjectSession::addCircuit(ProjectCircuit circuit) {
    circuit.id = nextFreeId();
    return appendCircuit(std::move(circuit));
}

int ProjectSession::addLoadCaseCircuit() {
    return addCircuit(exampleLoadCaseCircuit(catalogues_.cableRows()));
}

int ProjectSession::addFeederCircuit() {
    return addCircuit(exampleFeederCircuit(catalogues_.cableRows()));
}

int ProjectSession::duplicateRow(int row) {
    if (row < 0 || row >= rowCount())
        return -1;
    ProjectCircuit copy = project_.circuits[size_t(row)];
    // The copy's identifier is the program's: what the file said of the original's is not its.
    copy.id = nextFreeId();
    dropReadingProblems(copy, {QStringLiteral("id")});
    renameReadingProblems(copy);
    const int at = row + 1;
    const ScheduleChange change{ScheduleChange::Kind::RowsInserted, at, at, 0};
    scheduleAboutToChange.fire(change);
    project_.circuits.insert(project_.circuits.begin() + at, std::move(copy));
    computeRow(at, true);
    projectChanged();
    scheduleChanged.fire(change);
    notifyTitle();
    return at;
}

void ProjectSession::removeRows(std::vector<int> rows) {
    std::erase_if(rows, [this](int r) { return r < 0 || r >= rowCount(); });
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
        scheduleAboutToChange.fire(change);
        project_.circuits.erase(project_.circuits.begin() + first,
                                project_.circuits.begin() + last + 1);
        run_.project.circuits.erase(run_.project.circuits.begin() + first,
                                    run_.project.circuits.begin() + last + 1);
        run_.results.erase(run_.results.begin() + first, run_.results.begin() + last + 1);
        projectChanged();
        scheduleChanged.fire(change);
    }
    dropAnsweredRepeatedIds();
    notifyTitle();
}

void ProjectSession::swapRows(int a, int b) {
    std::swap(project_.circuits[size_t(a)], project_.circuits[size_t(b)]);
    std::swap(run_.project.circuits[size_t(a)], run_.project.circuits[size_t(b)]);
    std::swap(run_.results[size_t(a)], run_.results[size_t(b)]);
    projectChanged();
}

bool ProjectSession::moveRowUp(int row) {
    if (row <= 0 || row >= rowCount())
        return false;
    const ScheduleChange change{ScheduleChange::Kind::RowMoved, row, row, row - 1};
    scheduleAboutToChange.fire(change);
    swapRows(row, row - 1);
    scheduleChanged.fire(change);
    notifyTitle();
    return true;
}

bool ProjectSession::moveRowDown(int row) {
    if (row < 0 || row + 1 >= rowCount())
        return false;
    const ScheduleChange change{ScheduleChange::Kind::RowMoved, row, row, row + 2};
    scheduleAboutToChange.fire(change);
    swapRows(row, row + 1);
    scheduleChanged.fire(change);
    notifyTitle();
    return true;
}

// ---- 调整截面 ----

std::vector<SizingProposal> ProjectSession::proposeSizing(std::vector<int> rows) const {
    if (rows.empty())
        for (int i = 0; i < rowCount(); ++i)
            rows.push_back(i);
    std::vector<SizingProposal> proposals;
    for (int row : rows) {
        if (row < 0 || row >= rowCount())
            continue;
        const ProjectCircuit& circuit = project_.circuits[size_t(row)];
        SizingProposal p;
        p.row = row;
        p.id = circuit.id;
        p.currentSection = circuit.line.cable.crossSection;
        p.before = circuit;
        p.sized = circuit;
        // The computed copy carries the problems of the supply and of an unknown cable.
        if (!run_.project.circuits[size_t(row)].inputProblems.isEmpty()) {
            p.notSized = QStringLiteral("回路数据有误，未选择截面");
        } else {
            const SizingResult sized = sizeCircuit(run_.project, circuit, catalogues_.cableRows());
            if (sized.chosen) {
                p.decision = sized;
                p.proposedSection = sized.sizedCircuit.line.cable.crossSection;
                p.sized = sized.sizedCircuit;
                p.governing = sized.governing;
                p.governingText = sized.governingText;
            } else {
                p.notSized = sized.notSized;
            }
        }
        proposals.push_back(std::move(p));
    }
    return proposals;
}

drawing::Drawing ProjectSession::systemDiagram(const QDate& date) const {
    return korvane::systemDiagram(run_, date);
}

ProjectRun ProjectSession::runWithSizing() const {
    ProjectRun run = run_;
    run.sizing.clear();
    if (acceptedSizing_.empty())
        return run;
    run.sizing.resize(run.project.circuits.size());
    for (size_t i = 0; i < project_.circuits.size() && i < run.sizing.size(); ++i)
        for (const SizingResult& d : acceptedSizing_)
            if (d.sizedCircuit.id == project_.circuits[i].id &&
                sameInputs(d.sizedCircuit, project_.circuits[i]))
                run.sizing[i] = d;
    return run;
}

int ProjectSession::acceptSizing(const std::vector<SizingProposal>& accepted) {
    int applied = 0;
    int first = rowCount();
    int last = -1;
    for (const SizingProposal& p : accepted) {
        if (!p.proposedSection || p.row < 0 || p.row >= rowCount())
            continue;
        ProjectCircuit& circuit = project_.circuits[size_t(p.row)];
        if (circuit.id != p.before.id || !sameInputs(circuit, p.before))
            continue;
        circuit = p.sized;
        std::erase_if(acceptedSizing_,
                      [&](const SizingResult& d) { return d.sizedCircuit.id == circuit.id; });
        if (p.decision)
            acceptedSizing_.push_back(*p.decision);
        computeRow(p.row);
        rowEdited(p.row);
        ++applied;
        first = std::min(first, p.row);
        last = std::max(last, p.row);
    }
    if (applied > 0)
        notifyRowsChanged(first, last);
    return applied;
}

// ---- Import and export ----

bool ProjectSession::importCircuits(const QString& path, ImportMode mode) {
    const CircuitImport imported = korvane::importCircuits(path, catalogues_.cableRows());
    const QString shown = QDir::toNativeSeparators(path);
    if (!imported.ok) {
        message(true, QStringLiteral("未能导入 %1，工程未作任何改动：\r\n%2")
                          .arg(shown, imported.problems.join(QStringLiteral("\r\n"))));
        return false;
    }
    std::vector<ProjectCircuit> circuits = imported.circuits;
    std::vector<ProjectCircuit> kept =
        mode == ImportMode::Append ? project_.circuits : std::vector<ProjectCircuit>{};
    // Appended circuits must not repeat an identifier already in the schedule (compared as
    // the schedule compares them: "wl1" is "WL1").
    if (mode == ImportMode::Append) {
        QStringList clashes;
        for (const ProjectCircuit& c : circuits)
            for (const ProjectCircuit& k : kept)
                if (sameCircuitId(c.id, k.id) && !clashes.contains(c.id))
                    clashes << c.id;
        if (!clashes.isEmpty()) {
            message(true, QStringLiteral("未能导入 %1，工程未作任何改动：\r\n回路编号已存在：%2")
                              .arg(shown, clashes.join(QStringLiteral("、"))));
            return false;
        }
    }
    const ScheduleChange reset{ScheduleChange::Kind::Reset, 0, -1, 0};
    scheduleAboutToChange.fire(reset);
    const int firstNew = int(kept.size());
    for (ProjectCircuit& c : circuits)
        kept.push_back(std::move(c));
    project_.circuits = std::move(kept);
    if (mode == ImportMode::Append) {
        for (int row = firstNew; row < rowCount(); ++row)
            computeRow(row, true); // the rows above keep their results
    } else {
        recompute();
    }
    projectChanged();
    scheduleChanged.fire(reset);
    notifyTitle();
    if (!imported.filled.isEmpty() || !imported.problems.isEmpty()) {
        QString said = QStringLiteral("已导入 %1 个回路").arg(imported.circuits.size());
        if (!imported.filled.isEmpty())
            said += QStringLiteral("，空白的电缆参数已填入：\r\n") +
                    imported.filled.join(QStringLiteral("\r\n"));
        if (!imported.problems.isEmpty())
            said += (imported.filled.isEmpty() ? QStringLiteral("，") : QStringLiteral("\r\n")) +
                    QStringLiteral("以下内容未读取：\r\n") +
                    imported.problems.join(QStringLiteral("\r\n"));
        message(false, said);
    }
    return true;
}

bool ProjectSession::writeImportTemplate(const QString& path) {
    const QString why = writeImportTemplateCsv(path);
    if (why.isEmpty())
        return true;
    message(true, QStringLiteral("无法写入导入模板：\r\n%1\r\n（%2）")
                      .arg(QDir::toNativeSeparators(path), why));
    return false;
}

bool ProjectSession::exportXlsx(const QString& path) {
    const QString why = writeScheduleXlsx(run_, path);
    if (why.isEmpty())
        return true;
    message(true, QStringLiteral("无法导出回路表：\r\n%1\r\n（%2）")
                      .arg(QDir::toNativeSeparators(path), why));
    return false;
}

} // namespace korvane
