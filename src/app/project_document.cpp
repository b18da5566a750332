#include "app/project_document.h"

#include "project/example_circuits.h"
#include "project/handbook_constants.h"
#include "project_files/imports/circuit_import.h"
#include "project_files/project_file.h"
#include "project_files/schedule_xlsx.h"

#include <QDir>
#include <QFileInfo>

namespace korvane {

namespace {

const QString kUntitled = QStringLiteral("未命名工程");
constexpr int kRecentLimit = 8;

// The supply of a new project as the short-circuit page starts: 100 MVA (the value the page
// suggests), a busbar of 1 m (the busbar dialog's first length).
constexpr double kNewSystemCapacityMva = 100.0;
constexpr double kNewBusbarLengthM = 1.0;

} // namespace

ProjectDocument::ProjectDocument(Platform& platform, ProjectState& state)
    : platform_(platform), state_(state) {}

QString ProjectDocument::recentProjectsKey() {
    return QStringLiteral("projects/recent");
}

void ProjectDocument::newProject() {
    const ProjectCatalogues& catalogues = state_.catalogues();
    Project project;
    project.supply.systemCapacityMva = kNewSystemCapacityMva;
    if (!catalogues.transformers.empty())
        project.supply.transformer = catalogues.transformers.front().transformer;
    if (!catalogues.busbars.empty()) {
        const BusbarChoice& b = catalogues.busbars.front();
        project.supply.busbar = {b.material, b.size, b.perMetreMilliOhm, kNewBusbarLengthM};
    } else {
        project.supply.busbar.lengthM = kNewBusbarLengthM;
    }
    // The circuits laid in ducts under the footway, as street-lighting cables usually are, at the
    // reference conditions of the capacity tables (GB/T 16895.6-2014 B.52.2: ground 20 °C, soil
    // 2.5 K·m/W), one circuit per trench: shown in the project's fields for the engineer to set.
    project.installation = {LayingMethod::InDuct, kReferenceGroundTemperatureC,
                            kReferenceSoilResistivityKmW, 1, std::nullopt};
    project.circuits.push_back(exampleLoadCaseCircuit(catalogues.cableRows()));
    project.circuits.front().id = QStringLiteral("WL1");
    replaceProject(std::move(project), {});
}

bool ProjectDocument::read(const QString& path) {
    const ProjectReading reading = openProject(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!reading.error.isEmpty()) {
        tellUser(platform_, true,
                 QStringLiteral("无法打开工程文件 %1：\r\n%2").arg(shown, reading.error));
        return false;
    }
    replaceProject(reading.project, QFileInfo(path).absoluteFilePath());
    rememberRecent(path_);
    if (!reading.unrestored.isEmpty())
        tellUser(platform_, false,
                 QStringLiteral("打开工程文件 %1 时，以下内容未能恢复：\r\n%2")
                     .arg(shown, reading.unrestored.join(QStringLiteral("\r\n"))));
    return true;
}

bool ProjectDocument::save() {
    return !path_.isEmpty() && saveAs(path_);
}

bool ProjectDocument::saveAs(const QString& path) {
    const QString why = saveProject(state_.project(), path);
    if (!why.isEmpty()) {
        tellUser(platform_, true,
                 QStringLiteral("无法保存工程文件：\r\n%1\r\n（%2）")
                     .arg(QDir::toNativeSeparators(path), why));
        return false;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    markSaved();
    rememberRecent(path_);
    return true;
}

QString ProjectDocument::windowTitle() const {
    const QString name = path_.isEmpty() ? kUntitled : QFileInfo(path_).fileName();
    return modified() ? name + u'*' : name;
}

QStringList ProjectDocument::recentProjects() {
    Preferences* preferences = platform_.preferences();
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

void ProjectDocument::rememberRecent(const QString& path) {
    Preferences* preferences = platform_.preferences();
    if (!preferences)
        return;
    QStringList list = preferences->value(recentProjectsKey()).split(u'\n', Qt::SkipEmptyParts);
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > kRecentLimit)
        list.removeLast();
    preferences->setValue(recentProjectsKey(), list.join(u'\n'));
}

void ProjectDocument::replaceProject(Project project, const QString& path) {
    const ScheduleChange reset{ScheduleChange::Kind::Reset, 0, -1, 0};
    state_.scheduleAboutToChange.fire(reset);
    state_.replaceProject(std::move(project));
    path_ = path;
    ++revision_;
    savedRevision_ = revision_;
    saved_ = state_.project();
    rowsAsSaved_ = true;
    differingRows_.clear();
    state_.scheduleChanged.fire(reset);
    state_.supplyChanged.fire();
    notifyTitle();
}

void ProjectDocument::markSaved() {
    savedRevision_ = revision_;
    saved_ = state_.project();
    rowsAsSaved_ = true;
    differingRows_.clear();
    notifyTitle();
}

// ---- Counting the accepted edits ----

void ProjectDocument::rowEdited(int row) {
    ++revision_;
    if (!rowsAsSaved_)
        return;
    // One circuit compared as its file holds it: cheap, and true to what saving would write.
    const ProjectCircuit& now = state_.project().circuits[size_t(row)];
    const ProjectCircuit& saved = saved_.circuits[size_t(row)];
    if (circuitToJson(now) == circuitToJson(saved))
        differingRows_.erase(row);
    else
        differingRows_.insert(row);
    if (differingRows_.empty())
        savedRevision_ = revision_; // every circuit is as saved again
}

void ProjectDocument::projectChanged() {
    ++revision_;
    rowsAsSaved_ = false;
    differingRows_.clear();
}

void ProjectDocument::rowsChanged(int first, int last) {
    state_.scheduleChanged.fire({ScheduleChange::Kind::DataChanged, first, last, 0});
    notifyTitle();
}

void ProjectDocument::notifyTitle() {
    const QString title = windowTitle();
    if (title == lastTitle_)
        return;
    lastTitle_ = title;
    titleChanged.fire();
}

// ---- Files written from the project ----

bool ProjectDocument::writeImportTemplate(const QString& path) {
    const QString why = writeImportTemplateCsv(path);
    if (why.isEmpty())
        return true;
    tellUser(platform_, true,
             QStringLiteral("无法写入导入模板：\r\n%1\r\n（%2）")
                 .arg(QDir::toNativeSeparators(path), why));
    return false;
}

bool ProjectDocument::exportXlsx(const QString& path) {
    const QString why = writeScheduleXlsx(state_.run(), path);
    if (why.isEmpty())
        return true;
    tellUser(platform_, true,
             QStringLiteral("无法导出回路表：\r\n%1\r\n（%2）")
                 .arg(QDir::toNativeSeparators(path), why));
    return false;
}

} // namespace korvane
