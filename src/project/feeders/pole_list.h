#pragma once

#include "circuit/circuit.h"

#include <QString>

#include <optional>
#include <vector>

namespace korvane {

enum class Phase { L1, L2, L3 };

// One kind of lamp on a pole: how many, the lamp's power, its power factor with its gear, the
// gear factor (1.0 an LED driver, about 1.1–1.3 discharge-lamp gear) and the third-harmonic
// content of its current, % (missing: the IEC 61000-3-2 class C limit for its power factor).
struct LampGroup {
    int count = 1;
    double powerW = 0.0;
    double powerFactor = 1.0;
    double ballastFactor = 1.0;
    std::optional<double> thirdHarmonicPercent;

    bool operator==(const LampGroup&) const = default;
};

// A lamp pole as the surveyor's list gives it: its number, the span from the pole before it on
// its run (from the supply for the trunk's first pole, from the branch pole for a branch's first
// pole), its lamps, and the phase its lamps are on where the engineer fixed it (missing: the
// feeder's rotation gives it).
struct FeederPole {
    QString id; // 杆号: "N12", "3"; unique within the feeder (trimmed, case-insensitive)
    double spanM = 0.0;
    std::vector<LampGroup> lamps; // a pole may carry no lamp (a junction pole)
    std::optional<Phase> fixedPhase;

    bool operator==(const FeederPole&) const = default;
};

// A run of the feeder's cable: the trunk from the supply (the first run), or a branch leaving
// the pole `fromPole` of another run (a T-joint in the pole's junction box) in its own cable.
struct FeederRun {
    QString name;     // "干线" for the trunk, "支线1", "B2", …; unique within the feeder
    QString fromPole; // the pole the branch leaves from; empty for the trunk
    // The branch's cable: type and section of the cable database. Missing: the cable of the run
    // it leaves from (the trunk's is always the circuit's own cable).
    std::optional<CableIdentity> cable;
    std::vector<FeederPole> poles; // in order along the run, nearest the start first

    bool operator==(const FeederRun&) const = default;
};

// A feeder as a tree of poles: the trunk first, then the branches, each leaving a pole of a run
// listed before it or after it (a branch of a branch is allowed; the tree is checked, not
// assumed).
struct PoleList {
    std::vector<FeederRun> runs;

    bool empty() const { return runs.empty(); }
    // The name the run at `index` goes by in messages and results: its own, trimmed; the
    // trunk's 干线 when it has none.
    QString runName(std::size_t index) const {
        const QString name = runs[index].name.trimmed();
        return index == 0 && name.isEmpty() ? QStringLiteral("干线") : name;
    }
    bool operator==(const PoleList&) const = default;
};

} // namespace korvane
