#pragma once

#include "calc/computed.h"
#include "voltage_loss/load_cases.h"

#include <QString>

#include <array>
#include <vector>

namespace korvane {

enum class Phase { L1, L2, L3 };

enum class FeederConnection {
    SinglePhase,  // all lamps L–N on one phase, 220 V
    PhasesInTurn, // pole k on L(start + k mod 3) of a 380/220 V four-wire line
};

// A street-lighting feeder: equal lamp poles at equal spacing along one cable from the supply.
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
};

// The cable of the feeder, Ω/km; phase and neutral conductors.
struct FeederConductors {
    double resistanceOhmPerKm = 0.0;
    double reactanceOhmPerKm = 0.0;
    // Equal to the phase conductor's for a four-core cable of one section.
    double neutralResistanceOhmPerKm = 0.0;
    double neutralReactanceOhmPerKm = 0.0;
};

struct PoleDrop {
    int pole = 0;            // 1 for the pole nearest the supply
    double distanceM = 0.0;  // from the supply
    Phase phase = Phase::L1; // the lamps of this pole
    // Δu % of the L1-N, L2-N and L3-N voltages at this pole. For a single-phase connection the
    // two phases without lamps see only the shift of the neutral; they are shown, never judged.
    std::array<double, 3> lossPercent{};
};

struct LampFeederResult {
    double lampCurrentA = 0.0; // P·ballast / (U0·cos φ)
    double poleCurrentA = 0.0; // lamps per pole × lamp current
    double totalLengthM = 0.0; // first pole + (n−1)·spacing
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

} // namespace korvane
