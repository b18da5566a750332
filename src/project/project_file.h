#pragma once

#include "project/project.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace korvane {

// The project file: JSON, UTF-8, with its format name and version.
inline constexpr int kProjectFormatVersion = 1;
inline constexpr const char* kProjectFormatName = "korvane-project";
inline constexpr const char* kProjectFileSuffix = "kvp";

struct ProjectReading {
    // Empty when the file was read as a project; otherwise why nothing could be read.
    QString error;
    Project project;
    // What could not be restored, one line each (a value of the wrong kind, an unknown key of a
    // newer file). A circuit with a value that could not be read also carries the reason in its
    // inputProblems, so it is reported as not computed instead of computed from a default.
    QStringList unrestored;
};

QByteArray projectToJson(const Project& project);
ProjectReading projectFromJson(const QByteArray& bytes);

// Writes the whole file or nothing: a failed write leaves the previous file as it was. Returns
// an empty string on success, otherwise the reason.
QString saveProject(const Project& project, const QString& path);
ProjectReading openProject(const QString& path);

} // namespace korvane
