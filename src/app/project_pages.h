#pragma once

namespace korvane {

class Application;
class ProjectSession;

// The circuit schedule and the main window's three pages: a circuit placed on the pages as a
// calculation file is opened, and a circuit made from what the pages hold. The session knows
// nothing of the pages; this bridge reads and writes them through their field tables.

// Places the row's inputs on the pages as opening a calculation file does, the results emptied.
// A lamp-pole feeder has no load case of the voltage-loss page: it is refused with a message and
// the pages are left as they were. Returns true when placed.
bool sendCircuitToPages(Application& app, const ProjectSession& session, int row);

// Appends to the session a circuit made from the pages' current inputs and returns its row; when
// a field cannot be read, the reasons are shown and nothing is added (-1).
int takeCircuitFromPages(Application& app, ProjectSession& session);

} // namespace korvane
