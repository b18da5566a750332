#pragma once

#include "project/checks/check.h"
#include "project/project_compute.h"

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace korvane {

// One run's cable of a feeder: what the drop, the faults and the leakage are computed with.
struct RunCable {
    CableIdentity cable;
    RunConductors conductors;
    double leakagePerKmMa = 0.0;
    Computed<WorkingResistance> resistance = std::nullopt;
};

// The breaker QR and contactor QC chosen from the project's series for the circuit's Ib.
struct BreakerChoice {
    Computed<LineSwitchgear> switchgear = std::nullopt;
    CheckOutcome outcome;
    std::optional<SwitchgearRating> rating;
};

// What the checks of one circuit are judged on: the circuit, its supply and the cable database;
// its load already computed (Δu, Ib, the feeder's poles, in `result`); and, derived the first
// time a check asks and kept for the checks after it, the line to the fault with the fault
// currents at its end and its origin, and the breaker chosen for Ib. A check reads the context
// and states its outcome; the figures it derives (Iz, Rlim, Smin…) it keeps in `figures()`, the
// circuit's result, which every output reads.
class CircuitContext {
public:
    CircuitContext(const Project& project, const ProjectCircuit& circuit,
                   const CableCatalogue& catalogue, CircuitResult& result,
                   const std::vector<RunCable>* feederCables, bool branched);

    const Project& project() const { return project_; }
    const ProjectCircuit& circuit() const { return circuit_; }
    const CableCatalogue& catalogue() const { return catalogue_; }
    double limitPercent() const { return project_.voltageLossLimitPercent; }
    // A feeder whose pole list has branches: its checks are those of its cable sections.
    bool branched() const { return branched_; }

    // Why the checks of the protection cannot be computed: the line to the fault has no length,
    // or the fault currents at its end cannot be computed. Nothing when they can.
    const std::optional<QString>& lineFailure() const;
    // The line to the fault (with branches, the path to the weakest pole as one line) and the
    // protection with the circuit's Ib; valid once lineFailure() is nothing.
    const CircuitLine& line() const { return line_; }
    const Protection& protection() const { return protection_; }
    // The leakage of the whole cable, mA, and its length, km (with branches, every run's).
    double leakageMa() const { return leakageMa_; }
    double cableKm() const { return cableKm_; }
    // The cable sections of a feeder with branches, with the cables of its runs.
    std::vector<SectionResult>& sections() const { return sections_; }

    // The breaker QR and contactor QC of the project's series for Ib (derived once).
    const BreakerChoice& breaker() const;
    // Why a check of the breaker's protection is not computed when none was chosen.
    static QString noBreakerReason() { return QStringLiteral("未选出断路器 QR，无法校验"); }

    // The circuit's result, where a check keeps the figures it derives.
    CircuitResult& figures() const { return result_; }

private:
    const Project& project_;
    const ProjectCircuit& circuit_;
    const CableCatalogue& catalogue_;
    CircuitResult& result_;
    const std::vector<RunCable>* feederCables_;
    bool branched_;

    mutable bool lineDerived_ = false;
    mutable std::optional<QString> lineFailure_;
    mutable CircuitLine line_;
    mutable Protection protection_;
    mutable double leakageMa_ = 0.0;
    mutable double cableKm_ = 0.0;
    mutable std::vector<SectionResult> sections_;
    mutable std::optional<BreakerChoice> breaker_;
};

// The circuit's check of its sections together: failed when one fails (stating those that do),
// not computed when one is not (stating those), passed with every section's figures.
CheckOutcome sectionsOutcome(const std::vector<SectionResult>& sections,
                             CheckOutcome SectionResult::*outcome);

// The third-harmonic content of a feeder's lamps, %: the one content they share (given, or the
// class C limit of their one power factor), or, lamps of different contents, that of their
// currents together, Σ h·I / Σ I.
struct FeederHarmonics {
    double percent = 0.0;
    bool classCLimit = false;
    bool shared = true;
};
FeederHarmonics feederHarmonics(const LampFeeder& feeder, const LampFeederResult& poles);
// The neutral current with the third harmonics of the lamps beyond a point: the fundamental
// imbalance and Σ h·I in quadrature (GB/T 16895.6-2014 annex E).
double neutralWithHarmonics(const FeederHarmonics& h, double neutralA,
                            const std::array<double, 3>& phaseA, double harmonicSumA);

// The thermal coefficient K of a cable: its conductor's and insulation's (GB 50054-2011 /
// IEC 60364-5-54 table 43A: Cu PVC 115, Cu XLPE 143, Al PVC 76, Al XLPE 94); a line the table
// does not know takes the K the engineer gave, when it is above 0.
Computed<double> cableThermalCoefficient(const CableIdentity& cable, const Protection& protection);

// One check of a project circuit as a unit: which check, whether a failure stops the checks
// after it where only the first failure is wanted (sizing rules a section out on it), whether it
// is a check of the protection (it needs the line to the fault and the fault currents: without
// them it is not computed, with their reason), and the judgement itself.
struct CheckUnit {
    CircuitCheck id;
    bool stopsOnFailure = true;
    bool needsLine = true;
    std::function<CheckOutcome(const CircuitContext&)> judge;
};

// The checks of a project circuit (CheckRegistry, project_compute.h) are judged and shown in
// the registry's order; sizing, the verdict, the notes and the books take them from there. The
// program's own are projectChecks().

// The units of the program's checks, one file each under src/project/checks.
CheckUnit voltageLossCheck();
CheckUnit breakerSelectionCheck();
CheckUnit currentCapacityCheck();
CheckUnit residualSettingCheck();
CheckUnit loopResistanceCheck();
CheckUnit sensitivityCheck();
CheckUnit thermalStabilityCheck();

// Runs the registry's checks on the context in their order into the context's result; with
// `UntilFirstFailure` stops at the first that does not pass and stops on failure, the checks after
// it set not computed.
void runChecks(const CheckRegistry& checks, const CircuitContext& context, CircuitDetail detail);

} // namespace korvane
