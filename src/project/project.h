#pragma once

#include "capacity/current_capacity.h"
#include "circuit/circuit.h"
#include "project/feeders/lamp_feeder.h"
#include "voltage_loss/voltage_loss.h"

#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>
#include <vector>

namespace korvane {

// The load of a project circuit given as on the voltage-loss page: a line kind, a load case and
// its values. The cable's R and X come from the circuit's line; the line length for the
// short-circuit and protection checks is the distance of the farthest load that counts.
struct LoadCaseLoad {
    VoltageLossInput values; // R, X are taken from the circuit's line when it is computed
    // A line-kind or load-case text from a file or the schedule that names none of the lists':
    // kept as given, so that the schedule shows it and the file writes it back unchanged. The
    // kind or case of values is then nothing, and the loss is not computed (no matching case).
    QString otherLineKind = {};
    QString otherLoadCase = {};
};

// The line kind and load case as the lists show them, or the other text given.
inline QString lineKindText(const LoadCaseLoad& loads) {
    return loads.values.lineKind ? text(*loads.values.lineKind) : loads.otherLineKind;
}
inline QString loadCaseText(const LoadCaseLoad& loads) {
    return loads.values.loadCase ? text(*loads.values.loadCase) : loads.otherLoadCase;
}

// Takes a list text: a known one as its kind or case, any other kept as given.
inline void setLineKindText(LoadCaseLoad& loads, const QString& shown) {
    loads.values.lineKind = lineKindOf(shown);
    loads.otherLineKind = loads.values.lineKind ? QString() : shown;
}
inline void setLoadCaseText(LoadCaseLoad& loads, const QString& shown) {
    loads.values.loadCase = loadCaseOf(shown);
    loads.otherLoadCase = loads.values.loadCase ? QString() : shown;
}

// What a circuit feeds: load cases of the voltage-loss page, or a feeder of lamp poles.
using CircuitLoad = std::variant<LoadCaseLoad, LampFeeder>;

// A value of the project file that could not be read: whose, which field and why.
struct ReadingProblem {
    QString circuit; // the circuit's identifier; empty for the supply and the project's own values
    QString place;   // its key in the file, within the circuit for a circuit's ("load.poles")
    QString field;   // the field as the schedule or the supply names it ("杆距(m)")
    QString reason;  // "缺少数值", "不是数值：“三十”"
    // What the file held there, written back unchanged until the engineer gives the value again
    // (an undefined value: the key was absent, and stays out); nothing for a problem that did not
    // come from a file.
    std::optional<QJsonValue> original = {};

    // As the engineer reads it: "WL2 杆距(m)：缺少数值".
    QString text() const {
        QString who = circuit;
        if (!field.isEmpty())
            who += who.isEmpty() ? field : u' ' + field;
        return who + u'：' + reason;
    }
};

// One outgoing circuit of the supply.
struct ProjectCircuit {
    QString id;          // WL1, WL2, …
    QString description; // what it feeds
    CircuitLine line;    // cable and per-metre values; its length is worked out from the load
    Protection protection;
    // Where the cable is laid: the circuit's own values; what it leaves missing is the
    // project's.
    InstallationConditions installation;
    CircuitLoad load = LoadCaseLoad{};
    // What could not be read for this circuit (a text where a number belongs, an unknown
    // cable): a circuit with problems is not computed, and these are its reasons.
    QStringList inputProblems;
    // Of those, what reading the project file said of its values and of the supply's, each also
    // in inputProblems as its text.
    std::vector<ReadingProblem> readingProblems;
};

inline constexpr double kDefaultVoltageLossLimitPercent = 5.0;

// A supply with its ordered circuits.
struct Project {
    QString name;
    QString engineer;
    Supply supply;
    double voltageLossLimitPercent = kDefaultVoltageLossLimitPercent;
    // How the project's circuits are laid unless a circuit says otherwise (a lighting project
    // usually lays them all alike).
    InstallationConditions installation;
    // The conductor temperature the voltage loss is computed at, °C; missing: each cable's
    // insulation working temperature (70 °C PVC, 90 °C XLPE).
    std::optional<double> conductorTemperatureC;
    std::vector<ProjectCircuit> circuits;
    // What reading the project file said of the supply's and the project's own values (places
    // from the file's root: "supply.busbar.lengthM", "voltageLossLimitPercent"). Those that
    // concern the computation stop every circuit: their texts are in each circuit's
    // inputProblems too.
    std::vector<ReadingProblem> readingProblems;
};

} // namespace korvane
