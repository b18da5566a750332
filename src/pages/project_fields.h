#pragma once

#include "form/binding.h"

#include <QString>

namespace korvane {

// The working fields of the main window that hold the project name and the engineer's name.
// They are out of sight; the project dialog edits them and the books print them in their header.
inline constexpr const char* kProjectNameField = "Text80";
inline constexpr const char* kEngineerField = "Text81";

// The project name and the engineer's name as the calculation file keeps them.
const BindingTable& projectFields();

// The controls of the project dialog: its copy of both names and its two buttons.
const BindingTable& projectDialogFields();

// A name as the books print it: one line, without surrounding spaces.
QString projectLine(const QString& text);

} // namespace korvane
