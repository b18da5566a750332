#pragma once

#include "app/project_state.h"
#include "base/signal.h"
#include "form/platform.h"
#include "project/project.h"

#include <QString>
#include <QStringList>

#include <set>

namespace korvane {

// The project as a file: its path, the revisions that tell whether it differs from what was
// last opened or saved, the window title, the recent projects, and the files written from the
// project as computed (the schedule as a workbook, the import template). Every part that
// accepts an edit counts it here (rowEdited or projectChanged) and then has the title told
// (rowsChanged or notifyTitle).
//
// A new project has the supply the short-circuit page and its dialogs start from as far as the
// databases give it (100 MVA, the first transformer and the first busbar of the database, a
// busbar of 1 m, a 5 % limit) and one example circuit, so that the schedule is never blank on first
// sight and shows at once what a row looks like; the engineer edits or deletes it.
class ProjectDocument {
public:
    ProjectDocument(Platform& platform, ProjectState& state);
    ProjectDocument(const ProjectDocument&) = delete;
    ProjectDocument& operator=(const ProjectDocument&) = delete;

    void newProject();
    // Reads a .kvp file as the project. What could not be restored is listed in a message box;
    // a file that cannot be read at all changes nothing and returns false. Circuits that repeat
    // an earlier circuit's identifier are not computed: ProjectSession::open, which the window
    // calls, goes on to offer to rename them.
    bool read(const QString& path);
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
    // Where the recent projects are kept among the preferences.
    static QString recentProjectsKey();

    // The schedule as computed, as a workbook; the blank template of a circuit import. False
    // when the file could not be written (the message box says why).
    bool exportXlsx(const QString& path);
    bool writeImportTemplate(const QString& path);

    // ---- Counting the accepted edits ----
    // A new revision for a row edited in place (compared with what was saved: the row that is
    // as saved again may bring the project back to its saved revision).
    void rowEdited(int row);
    // A new revision for a change of the rows or the supply: the project is modified until saved.
    void projectChanged();
    // Announces the rows first..last as changed (results included), then the title.
    void rowsChanged(int first, int last);
    // Tells the view of the title when it differs from what it was last told.
    void notifyTitle();

    Signal<> titleChanged;

private:
    void replaceProject(Project project, const QString& path);
    void markSaved();
    void rememberRecent(const QString& path);

    Platform& platform_;
    ProjectState& state_;
    QString path_;
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
