#pragma once

#include "pages/project_fields.h"

#include <QString>

namespace korvane {

class Application;
class Form;

// The project a calculation belongs to and the engineer who makes it, printed after "工程名:"
// and "计算者:" in the header of every book. Both live in working fields of the main window, out
// of sight, so that the calculation file, the unsaved-changes mark and the books treat them as
// every other input. The project name belongs to the calculation; the engineer's name belongs to
// the user and is remembered from one run to the next.
inline constexpr const char* kProjectDialog = "GCForm13";
inline constexpr const char* kEngineerPreference = "engineer";

// The two working fields of Form1; when the main window loads, they take the start of a new
// calculation (see startNewProject).
void designProjectFields(Application& app, Form& main);

// A new calculation: no project name; as engineer the name the program remembers.
void startNewProject(Application& app);

// GCForm13 "工程信息" (文件 → 工程信息…): 工程名 and 计算者 of the calculation, shown as the
// main window holds them. "确定" writes both back to the main window and remembers the engineer's
// name for the next run; "取消" leaves everything as it was.
void designProjectDialog(Application& app, Form& form);

} // namespace korvane
