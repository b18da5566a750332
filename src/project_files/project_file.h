#pragma once

#include "project/project.h"
#include "project/schedule_columns.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace korvane {

// The project file: JSON, UTF-8, with its format name and version. Version 2 adds the
// installation conditions (the project's and a circuit's), the conductor temperature of the
// voltage loss, a protective device's let-through energy and a feeder's third-harmonic
// content; each is written only when given, and a version 1 file reads as before.
inline constexpr int kProjectFormatVersion = 2;
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
// One circuit as the file holds it (an element of "circuits").
QJsonObject circuitToJson(const ProjectCircuit& circuit);
ProjectReading projectFromJson(const QByteArray& bytes);

// Writes the whole file or nothing: a failed write leaves the previous file as it was. Returns
// an empty string on success, otherwise the reason.
QString saveProject(const Project& project, const QString& path);
ProjectReading openProject(const QString& path);

// A problem of reading a file names the circuit and the field it concerns by the schedule's
// header ("WL2 杆距(m)：不是数值：“三十”"), a supply value by its label ("母线长度(m)：缺少数值").
// Once the user has given such a value again, its old reason no longer holds.
//
// The places in a circuit that a schedule column gives ("load.poles"; the load kind gives the
// whole load, a cable section its line values and leakage as well).
QStringList projectFileKeys(ScheduleColumn column);
// Drops the circuit's reading problems at one of `places` or at a place inside one (a circuit's
// places are within the circuit, the supply's start with "supply."), with their texts.
void dropReadingProblems(ProjectCircuit& circuit, const QStringList& places);

} // namespace korvane
