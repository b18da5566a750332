#pragma once

#include "app/pole_list_editor.h"
#include "app/project_document.h"
#include "app/project_proposals.h"
#include "app/project_state.h"
#include "app/schedule_editor.h"
#include "app/supply_editor.h"

#include <QString>

namespace korvane {

class Application;

// The project behind the circuit schedule window, as the parts that edit it: the window holds a
// session and calls its parts. They share one ProjectState (the project, its computed run, and
// the computation), owned here with them:
//   document()  — the file, its revisions and title, the recent projects, the exports
//   supply()    — the supply and installation fields above the schedule
//   schedule()  — the schedule's columns, cells and rows, and the import of circuits
//   poles()     — the pole list of a feeder row (杆位表)
//   proposals() — 调整截面 and 相序平衡
// Every accepted change recomputes only what depends on it: an edited circuit its own result, a
// new row its own, a supply change every circuit; results move and go with their rows. The
// session loads the cable database and the transformer and busbar database of the program folder
// once, when it is made, and starts with a new project; everything the user is told goes through
// the platform's message boxes.
class ProjectSession {
public:
    explicit ProjectSession(Application& app);
    ProjectSession(const ProjectSession&) = delete;
    ProjectSession& operator=(const ProjectSession&) = delete;

    // Opens a .kvp file (ProjectDocument::read); a file whose circuits repeat an earlier
    // circuit's identifier is followed by the platform's question whether to rename them
    // (ScheduleEditor::askToRenameRepeatedIds). False when the file could not be read.
    bool open(const QString& path);

    // The project, its computed run, the result schema in use and the signals the views hear.
    ProjectState& state() { return state_; }
    const ProjectState& state() const { return state_; }
    ProjectDocument& document() { return document_; }
    const ProjectDocument& document() const { return document_; }
    SupplyEditor& supply() { return supply_; }
    const SupplyEditor& supply() const { return supply_; }
    ScheduleEditor& schedule() { return schedule_; }
    const ScheduleEditor& schedule() const { return schedule_; }
    PoleListEditor& poles() { return poles_; }
    const PoleListEditor& poles() const { return poles_; }
    ProjectProposals& proposals() { return proposals_; }
    const ProjectProposals& proposals() const { return proposals_; }

private:
    ProjectState state_;
    ProjectDocument document_;
    SupplyEditor supply_;
    ScheduleEditor schedule_;
    PoleListEditor poles_;
    ProjectProposals proposals_;
};

} // namespace korvane
