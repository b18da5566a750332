#pragma once

#include "calc/computed.h"
#include "project/feeders/pole_list.h"
#include "short_circuit/short_circuit.h"
#include "voltage_loss/load_cases.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <complex>
#include <vector>

namespace korvane {

enum class FeederConnection {
    SinglePhase,  // all lamps L–N on one phase, 220 V
    PhasesInTurn, // pole k on L(start + k mod 3) of a 380/220 V four-wire line
};

// A street-lighting feeder: its pole list, or equal lamp poles at equal spacing along one cable
// from the supply (the quick way to make one; generatedPoleList turns it into its list).
struct LampFeeder {
    int poles = 0; // n
    int lampsPerPole = 1;
    double lampPowerW = 0.0;
    double lampPowerFactor = 1.0; // cos φ of the lamp with its gear
    double ballastFactor = 1.0;   // 1.0 LED driver, about 1.2–1.3 discharge lamp gear
    double spacingM = 0.0;
    double firstPoleM = 0.0; // supply to the first pole
    FeederConnection connection = FeederConnection::SinglePhase;
    Phase startPhase = Phase::L1; // the phase of the first pole (and of all lamps, single-phase)
    double phaseVoltageV = 220.0; // U0
    // Third-harmonic content of the lamps' current, % of it; missing: the class C limit of
    // IEC 61000-3-2 for the lamps' power factor.
    std::optional<double> thirdHarmonicPercent;
    // The surveyor's poles, the trunk and its branches. When it holds runs, the feeder is this
    // list: the equal-pole fields above (poles … firstPoleM, thirdHarmonicPercent) are not used,
    // while connection and startPhase give the rotation of the poles whose phase is not fixed
    // and phaseVoltageV the voltage.
    PoleList poleList;

    bool operator==(const LampFeeder&) const = default;
};

// The cable of the feeder, Ω/km; phase and neutral conductors.
struct FeederConductors {
    double resistanceOhmPerKm = 0.0;
    double reactanceOhmPerKm = 0.0;
    // Equal to the phase conductor's for a four-core cable of one section.
    double neutralResistanceOhmPerKm = 0.0;
    double neutralReactanceOhmPerKm = 0.0;
};

// The impedances along the path from the supply's busbar to a point of the feeder: each run's
// per-metre values (mΩ/m) times its length on the path (km), summed, Ω; and the path's length.
struct PathImpedance {
    double lengthM = 0.0;
    PhaseAndLoop ohm = {};             // Σ R0·L, X0·L, Rphp·L, Xphp·L
    double neutralResistanceOhm = 0.0; // Σ R′·L
    double neutralReactanceOhm = 0.0;  // Σ X′·L
};

// One run's cable: the per-km values of the drop and the per-metre values of the fault loops.
struct RunConductors {
    FeederConductors drop;
    PhaseAndLoop perMetreMilliOhm;
    double neutralResistanceMilliOhmPerM = 0.0; // R′
    double neutralReactanceMilliOhmPerM = 0.0;  // X′
};

// The path extended by spanM (m) of a run's cable: mΩ/m × km = Ω.
void addPath(PathImpedance& path, const RunConductors& c, double spanM);

struct PoleDrop {
    int pole = 0;            // 1 for the pole nearest the supply; the pole's place in the list
    double distanceM = 0.0;  // from the supply
    Phase phase = Phase::L1; // the lamps of this pole
    // Δu % of the L1-N, L2-N and L3-N voltages at this pole. For a single-phase connection the
    // two phases without lamps see only the shift of the neutral; they are shown, never judged.
    std::array<double, 3> lossPercent{};
    // Of a pole list (also filled for an equal feeder, as its generated list):
    QString id = {}; // 杆号
    int run = 0;     // index into the feeder's runs
    int parent = -1; // index into the result's poles of the pole before it on its path; −1 supply
    double loadW = 0.0;    // Σ count·power of its lamps
    double currentA = 0.0; // Σ of its lamps' currents (magnitudes)
    // The segment leading to this pole (from its parent, or the supply): the phase currents of
    // every lamp beyond it, and their phasor sum in the neutral, A.
    std::array<double, 3> segmentCurrentsA{};
    double segmentNeutralA = 0.0;
    PathImpedance path = {}; // supply to this pole (only filled by computePoleFeeder)
};

// A run of the computed feeder: where it starts and what it carries there.
struct RunResult {
    QString name;
    int firstPole = -1; // index into the result's poles of its first pole
    int poleCount = 0;
    int fromPole = -1;                      // index of the pole it leaves from; −1 for the trunk
    double lengthM = 0.0;                   // its own cable: Σ of its spans
    std::array<double, 3> phaseCurrentsA{}; // at its start
    double neutralCurrentA = 0.0;           // at its start, phasor sum
    double largestPhaseCurrentA = 0.0;
    double thirdHarmonicSumA = 0.0; // Σ h·I of the lamps beyond its start, as the feeder's
    PathImpedance origin;           // supply to its start (the busbar for the trunk: all zero)
    int weakestPole = -1;           // its pole with the largest phase-protective loop impedance
};

struct LampFeederResult {
    // P·ballast / (U0·cos φ); of a pole list, where all its lamps are of one kind (0 otherwise).
    double lampCurrentA = 0.0;
    double poleCurrentA = 0.0; // lamps per pole × lamp current; equal feeders only
    // first pole + (n−1)·spacing; of a pole list, the distance of its farthest pole.
    double totalLengthM = 0.0;
    std::vector<PoleDrop> poles;
    // The largest Δu % at the lamps: each pole judged on the phase its lamps are on.
    double worstLossPercent = 0.0;
    int worstPole = 0;
    Phase worstPhase = Phase::L1;
    std::array<double, 3> phaseCurrentsA{}; // at the supply
    double neutralCurrentA = 0.0;           // at the supply, phasor sum
    double largestPhaseCurrentA = 0.0;      // Ib for protection
    // The handbook current moment, A·km. Single-phase connection: M = Σ over the poles of
    // (pole current)·(distance of the pole from the supply, km). Phases in turn: each pole's load
    // taken as balanced over the three phases, M = Σ (pole current / 3)·(distance, km).
    double currentMomentAkm = 0.0;
    double momentLossPercent = 0.0; // Δu % by the matching line-kind formula of the page
    LineKind momentLineKind = LineKind::ThreePhase; // the line kind that formula belongs to
    double momentVoltageKv = 0.0; // U of that formula: U0, or the nominal line voltage
    // Of a pole list (computePoleFeeder):
    std::vector<RunResult> runs; // the trunk first, in the list's order
    std::vector<int> worstPath;  // indices of the poles from the first to the worst pole
    int weakestPole = -1;        // the pole with the largest phase-protective loop impedance
    double totalLoadW = 0.0;
    // Σ over the lamps of (third-harmonic content × lamp current), A: the third harmonics that
    // add in the neutral; and whether any lamp's content is the class C limit, none given.
    double thirdHarmonicSumA = 0.0;
    bool thirdHarmonicClassC = false;

    // The cable laid: Σ of every run's length, m.
    double cableLengthM() const {
        double m = 0.0;
        for (const RunResult& run : runs)
            m += run.lengthM;
        return m;
    }
};

// Largest feeder accepted: far beyond any real street-lighting circuit, small enough that the
// per-pole table stays a modest allocation.
inline constexpr int kMaxFeederPoles = 10000;
// Largest number of lamps on one pole (high-mast lighting included).
inline constexpr int kMaxLampsPerPole = 100;

// Voltage drop along a lamp-pole feeder by the phasor sum of the segment currents, with the
// handbook current-moment figure beside it. Any input no real feeder has fails with the reason.
Computed<LampFeederResult> computeLampFeeder(const LampFeeder& feeder,
                                             const FeederConductors& conductors);

// The phase of the lamps on a pole (0 for the pole nearest the supply).
Phase phaseOfPole(const LampFeeder& feeder, int poleIndex);

// Largest number of runs (the trunk and its branches) of one feeder.
inline constexpr int kMaxFeederRuns = 100;

// A pole number (or run name) as a pole list matches it: trimmed, letters of either case alike
// ("n1 " is "N1"). A view of the list's own text: it lives as long as the list.
struct PoleNumberKey {
    QStringView text;
    explicit PoleNumberKey(const QString& id) : text(QStringView(id).trimmed()) {}
    bool isEmpty() const { return text.isEmpty(); }
    friend bool operator==(PoleNumberKey a, PoleNumberKey b) {
        return a.text.compare(b.text, Qt::CaseInsensitive) == 0;
    }
};
size_t qHash(PoleNumberKey key, size_t seed = 0) noexcept;

// The run each pole number is on (the last, where a number is given twice).
QHash<PoleNumberKey, int> runOfEachPole(const PoleList& list);

// Why a pole list is not a feeder, one reason per fault, empty when it is one: no trunk, a
// branch leaving a pole that does not exist or leaving its own poles (a loop), a pole number or
// run name given twice, a negative or missing span, more poles or lamps than kMaxFeederPoles,
// kMaxLampsPerPole, a lamp no real lamp is. "支线“B2”的起始杆“N40”不存在".
QStringList poleListProblems(const PoleList& list);

// The equal feeder as its pole list: one trunk "干线" of poles "1" … "n", the first at
// firstPoleM, the others at the spacing, each with lampsPerPole lamps of the feeder's lamp.
PoleList generatedPoleList(const LampFeeder& feeder);

// The phase of every pole of the list, in list order (the trunk's poles, then each branch's):
// the fixed phase where the engineer gave one, otherwise the rotation (all on startPhase for a
// single-phase connection; startPhase + k mod 3 for the k-th pole in list order, phases in
// turn).
std::vector<Phase> polePhases(const LampFeeder& feeder);

// The feeder on its pole list (the generated one for an equal feeder): the drop at every pole of
// every run by the phasor sum of its segments' currents, the phase and neutral currents at the
// supply and at each run's start, the path impedances for the fault at the weakest end and at
// each run's origin, and the handbook current-moment figure of the path to the worst pole.
// `conductors` holds one entry per run, in the list's order.
Computed<LampFeederResult> computePoleFeeder(const LampFeeder& feeder,
                                             const std::vector<RunConductors>& conductors);

// The Δu % of each lamp pole, on its lamps' phase, as computePoleFeeder works it out, written as
// a sum over the runs on the pole's path of terms linear in each run's conductors:
// Δu = Σ Re(phase·Z + neutral·Z′), Z = R + jX and Z′ = R′ + jX′ of the run, Ω/km. The loads do
// not depend on the cables, so one model gives the drop of every choice of cables at once.
struct PoleLossTerm {
    int run = 0;
    std::complex<double> phase;
    std::complex<double> neutral;
};
struct FeederLossModel {
    std::vector<std::vector<PoleLossTerm>> poles; // the lamp poles, in list order
};
// Fails as computePoleFeeder does, for the same reasons.
Computed<FeederLossModel> feederLossModel(const LampFeeder& feeder,
                                          const std::vector<RunConductors>& conductors);

} // namespace korvane
