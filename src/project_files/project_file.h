#pragma once

#include "project/inputs/schedule_columns.h"
#include "project/project.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace korvane {

// The project file: JSON, UTF-8, with its format name and version. Version 2 adds the
// installation conditions (the project's and a circuit's), the conductor temperature of the
// voltage loss, a protective device's let-through energy and a feeder's third-harmonic
// content; each is written only when given, and a version 1 file reads as before.
//
// Reading takes keys in any order; writing puts the project's own values first and each
// circuit's identifier first, so that the file reads from the top. A value that could not be
// read is written back as the file held it (left out when it was absent) until the engineer
// gives it again, so that saving never turns it into a number nobody typed.
//
// Version 3 adds a feeder's pole list ("load.poleList": its runs, each with its poles and their
// lamps), written in place of the equal-pole values. A file is written as version 3 only when a
// feeder has a pole list, so that earlier releases still open every file without one; a pole
// list read whole that is no feeder (poleListProblems) stops its circuit with the reasons.
inline constexpr int kProjectFormatVersion = 3;
inline constexpr int kProjectFormatVersionWithoutPoleLists = 2;
inline constexpr const char* kProjectFormatName = "korvane-project";
inline constexpr const char* kProjectFileSuffix = "kvp";
// A project file of many circuits is a few megabytes; reading stops beyond this.
inline constexpr qint64 kLargestProjectFileBytes = 64LL * 1024 * 1024;

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
// One circuit as the file holds it (an element of "circuits"), its unread values as the file
// held them.
QJsonObject circuitToJson(const ProjectCircuit& circuit);
ProjectReading projectFromJson(const QByteArray& bytes);

// Writes the whole file or nothing: a failed write leaves the previous file as it was. Returns
// an empty string on success, otherwise the reason.
QString saveProject(const Project& project, const QString& path);
// Reads at most kLargestProjectFileBytes, whatever size the file claims (a device or a pipe
// claims none).
ProjectReading openProject(const QString& path);

// Circuit identifiers are one circuit's each: compared without the spaces around them and
// without regard to case ("wl1" is "WL1").
bool sameCircuitId(const QString& a, const QString& b);
// Gives a lamp feeder its pole list (an imported one): what reading said of its old list and of
// the equal-pole values, which the list replaces, goes, and so do the reasons its old list was no
// feeder. Returns false, changing nothing, when the circuit is not a lamp feeder.
bool setPoleList(ProjectCircuit& circuit, PoleList list);

// The first WLn that no circuit has.
QString nextFreeCircuitId(const std::vector<ProjectCircuit>& circuits);
// A circuit of a file whose identifier an earlier circuit has ("回路编号重复：与第 1 个回路相同"):
// it is not computed until it has one of its own.
bool isRepeatedIdProblem(const ReadingProblem& problem);

// A problem of reading a file names the circuit and the field it concerns by the schedule's
// header ("WL2 杆距(m)：不是数值：“三十”"), a supply value by its label ("母线长度(m)：缺少数值").
// Once the user has given such a value again, its old reason no longer holds.
//
// The places in a circuit that a schedule column gives ("load.poles"; the load kind gives the
// whole load, a cable section its line values and leakage as well).
QStringList projectFileKeys(ScheduleColumn column);
// Drops the circuit's reading problems at one of `places`, at a place inside one, or at a part of
// the circuit that holds one and could not be read as a whole (a load that was not an object:
// the value given is the first of it), with their texts. A circuit that was not an object at all
// keeps its problem: only removing the row clears it.
void dropReadingProblems(ProjectCircuit& circuit, const QStringList& places);
// Names the circuit's reading problems, and their texts, by its identifier once it has another.
void renameReadingProblems(ProjectCircuit& circuit);
// The same for the project's own problems (places from the file's root, "supply.busbar.lengthM"),
// with their texts in every circuit.
void dropProjectReadingProblems(Project& project, const QStringList& places);
// The texts of the project's problems that stop every circuit: the supply's and the project's
// settings (not its name).
QStringList projectStoppingProblems(const Project& project);

// What the schedule shows for a value that could not be read: what the file held at its place
// (a text as written, a number in `format`, other JSON as written), nothing for a key that was
// absent or a part holding it that could not be read; no text at all when the value was read.
// A circuit's by the column that shows it, the project's by its place ("supply.busbar.lengthM").
std::optional<QString> unreadCellText(const ProjectCircuit& circuit, ScheduleColumn column,
                                      const RegionalFormat& format);
std::optional<QString> unreadProjectText(const Project& project, const QString& place,
                                         const RegionalFormat& format);

} // namespace korvane
