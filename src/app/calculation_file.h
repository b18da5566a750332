#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace korvane {

class Application;
class Form;

// A calculation file (.korvane): JSON in UTF-8 holding the inputs of the main window's pages,
// never the results. Version 3 names each input by the engineering quantity it is
// ("protection.kFactor", "supply.transformer.voltageKV"), so that a new layout of the window
// leaves saved files readable; versions 1 and 2 named the controls and still open. Version 2
// added the transformer's voltage, by which the transformer dialog finds the chosen row again,
// and the project's and the engineer's names.
inline constexpr int kCalculationFormatVersion = 3;
inline constexpr const char* kCalculationFormatName = "korvane-calculation";
inline constexpr const char* kCalculationSuffix = "korvane";

// The inputs of the main window as the file holds them; equal snapshots mean nothing changed.
QByteArray calculationSnapshot(const Form& main);
// The controls whose values the file keeps: only their changes can change a snapshot.
QStringList calculationInputControls();

// Writes the file atomically (a temporary file renamed over the target). Returns an empty text,
// or why it could not be written.
QString writeCalculationFile(const Form& main, const QString& path);

struct RestoreReport {
    bool read = false;    // the file could be read as a calculation at all
    QStringList problems; // what could not be restored, in the user's language
};

// Restores the inputs in an order that reproduces the cascades (cable lists before the
// cross-section, line kind before the load case, switches before their fields) and empties the
// results, which the page buttons compute again. What cannot be restored is listed; the file
// itself is never changed.
RestoreReport restoreCalculation(Form& main, const QByteArray& json);
RestoreReport readCalculationFile(Form& main, const QString& path);
// Puts the inputs back to a snapshot taken earlier (a new calculation: the start-up state).
void resetCalculation(Form& main, const QByteArray& snapshot);

// Opens a file as the user does: restores it and shows a message box naming what could not be
// restored. Returns false when nothing could be read.
bool openCalculation(Application& app, const QString& path);
// Saves as the user does; a failure is shown in a message box. Returns true when written.
bool saveCalculation(Application& app, const QString& path);

} // namespace korvane
