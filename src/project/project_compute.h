#pragma once

#include "project/cable_catalogue.h"
#include "project/checks/check.h"
#include "project/project.h"

#include <QString>

#include <optional>
#include <vector>

namespace korvane {

// Δu % of a circuit is shown, written and judged to this many decimals in every output: the
// figure an engineer reads is the figure the limit is compared with.
inline constexpr int kLossPercentDecimals = 4;
// Δu % rounded as it is shown (half away from zero).
double shownLossPercent(double lossPercent);
// Whether a shown Δu % keeps within the limit: Δu ≤ limit, the limit itself included.
bool lossWithinLimit(double shownPercent, double limitPercent);

// The conductor resistance the voltage loss is computed with: the database's figure at the
// temperature its loss type is given at, brought to the working temperature,
// R = R_db · (1 + α(θ − 20)) / (1 + α(θ_db − 20)).
struct WorkingResistance {
    double databaseOhmPerKm = 0.0;
    double databaseTemperatureC = 20.0;
    double workingTemperatureC = 70.0;
    double alphaPerK = 0.0; // 0.00393 copper, 0.00403 aluminium
    double ohmPerKm = 0.0;
    bool projectTemperature = false; // the project's temperature, not the insulation's
};

// The temperature coefficient of resistance at 20 °C: 0.00393 /K for annealed copper, 0.00403 /K
// for hard-drawn aluminium (IEC 60228 annex B; GB/T 3956).
inline constexpr double kCopperAlpha = 0.00393;
inline constexpr double kAluminiumAlpha = 0.00403;

// The database's R of a cable at the working temperature: the loss type's temperatures from the
// database, the conductor from the cable type ("铜", "铝"). Fails with the reason when the
// database gives no temperature for the loss type or the cable type names no conductor.
Computed<WorkingResistance> workingResistance(const CableIdentity& cable, double databaseOhmPerKm,
                                              const CableCatalogue& catalogue,
                                              std::optional<double> projectTemperatureC);

// The neutral of a four-wire lamp feeder with lamps on the phases in turn: the fundamental
// imbalance and the third harmonics that add in it, and what annex E of GB/T 16895.6 makes of
// them.
struct FeederNeutral {
    double thirdHarmonicPercent = 0.0;
    bool classCLimit = false; // the content is the IEC 61000-3-2 class C limit, none given
    bool weighted = false;    // lamps of different contents: Σ h·I / Σ I of their currents
    double withoutHarmonicsA = 0.0;
    double withHarmonicsA = 0.0;
    HarmonicReduction reduction;
};

// What the current-carrying capacity check used: Iz with its factors, the harmonic factor and
// the overload conditions.
struct CapacityCheck {
    CurrentCarryingCapacity capacity; // Iz before the harmonic factor
    double harmonicFactor = 1.0;      // annex E, 1 without harmonics
    double capacityA = 0.0;           // Iz · harmonic factor
    QString breakerKind;
    double conventionalTripFactor = 0.0;
    OverloadProtection overload;
    // Where the cable is sized on the neutral current: IN ≤ Iz.
    std::optional<double> neutralCurrentA;
    bool neutralWithinCapacity = true;
    bool passed() const { return overload.passed() && neutralWithinCapacity; }
};

// The highest nominal voltage of a load case, kV: the program computes low-voltage lines.
inline constexpr double kHighestLowVoltageKv = 1.0;

// The conductor temperature a project may set for its voltage loss, °C.
inline constexpr double kLowestConductorTemperatureC = -50.0;
inline constexpr double kHighestConductorTemperatureC = 250.0;

// A protective device's let-through energy replaces I²·t in the thermal check when it clears in
// under this time, s (GB 50054-2011 6.2.3, note on durations below 0.1 s).
inline constexpr double kLetThroughBelowS = 0.1;
// Whether the thermal check takes the device's I²t: given, and the clearing time under 0.1 s.
bool usesLetThrough(const Protection& protection);

// One cable section of a feeder with branches (its trunk or a branch) with the checks that
// belong to the section: its current-carrying capacity against the feeder's breaker, which
// protects every section (GB 50054-2011 6.3.3), and its thermal stress against the fault at its
// own origin (6.2.3).
struct SectionResult {
    QString run; // the run's name, "干线", "支线1"
    CableIdentity cable;
    double lengthM = 0.0;
    Computed<WorkingResistance> resistance = std::nullopt;
    Computed<ShortCircuitResult> originShortCircuit = std::nullopt; // at the run's start
    Computed<ThermalStability> thermal = std::nullopt;
    Computed<double> thermalCoefficientK = std::nullopt; // the K the thermal check took
    Computed<CapacityCheck> capacity = std::nullopt;
    CheckOutcome capacityOutcome;
    CheckOutcome thermalOutcome;
};

struct CircuitResult {
    // Why nothing was computed: what could not be read for the circuit.
    QStringList inputProblems;

    Computed<double> lineLengthKm = std::nullopt;
    // A lamp-pole feeder's poles, or why they were not computed; empty with no reason for a
    // load-case circuit.
    Computed<LampFeederResult> feeder = std::nullopt;
    Computed<WorkingResistance> resistance = std::nullopt; // R of the voltage loss
    Computed<FeederNeutral> neutral = std::nullopt;        // feeders with phases in turn
    std::optional<VoltageLossResult> loadCase;             // load-case circuits only
    Computed<double> lossPercent = std::nullopt;           // Δu% as shown, four decimals
    Computed<double> maxLengthM = std::nullopt;   // the length at which Δu reaches the limit
    Computed<double> loadCurrentA = std::nullopt; // Ib the protection is chosen for
    Computed<ShortCircuitResult> shortCircuit = std::nullopt; // at the line's end
    // At the origin of the line, just after its breaker (line length zero): the largest fault
    // the cable sees, for its thermal stress.
    Computed<ShortCircuitResult> originShortCircuit = std::nullopt;
    Computed<LineSwitchgear> switchgear = std::nullopt;       // QR, QC
    Computed<CapacityCheck> capacity = std::nullopt;          // Iz, overload protection
    Computed<ResidualCurrentSetting> residual = std::nullopt; // Ivn
    Computed<LoopResistanceCheck> loopResistance = std::nullopt;
    Computed<SensitivityCheck> sensitivity = std::nullopt;
    Computed<ThermalStability> thermal = std::nullopt;
    // The K the thermal check took: the cable's own (its conductor and insulation).
    Computed<double> thermalCoefficientK = std::nullopt;
    // A feeder whose pole list has branches: each cable section and its own checks (the
    // circuit's capacity and thermal checks are then those of its sections together, and the
    // short circuit above is at the weakest end). Empty for a circuit of one cable.
    std::vector<SectionResult> sections;

    std::vector<std::pair<CircuitCheck, CheckOutcome>> checks;
    // What the engineer should know that fails no check (values that look copied by mistake).
    QStringList warnings;

    const CheckOutcome& check(const CircuitCheck& which) const;
    // Every check passed.
    bool passed() const;
    // The first check that did not pass, if any.
    std::optional<CircuitCheck> firstFailure() const;
};

// The state of a circuit's checks together: failed when one failed, passed when every one
// passed, otherwise (a check or the whole circuit not computed) not computed.
CheckOutcome::State overallState(const CircuitResult& result);

// The one line a fault at the end of a feeder's path sees: its length Σ L_i and its per-metre
// values Σ (r_i·L_i) / Σ L_i (the short circuit is linear in r·L); `base` at length zero for a
// path of no length.
CircuitLine equivalentLine(const CircuitLine& base, const PathImpedance& path);

// The cable of every run of a feeder's pole list (the generated one for an equal feeder), in the
// list's order: the trunk's is the circuit's line, a branch's the cable it names (R, X from the
// cable database, the per-metre values from the handbook tables, R′, X′ = R′php, X′php) or, when
// it names none, that of the run it leaves from; R at the working temperature. Fails with the
// reason naming the run ("支线“B1”：电缆数据库中无 VV 4×16").
Computed<std::vector<RunConductors>> feederConductors(const Project& project,
                                                      const ProjectCircuit& circuit,
                                                      const CableCatalogue& catalogue);

// One circuit of the project by the pages' own calculations: the voltage loss of its load (or
// of its lamp poles) at the conductors' working temperature, the short-circuit currents at its
// end and at its origin from the project's supply, the selections and checks of its protection
// and the current-carrying capacity of its cable, with the reference data of the cable
// database.
//
// `UntilFirstFailure` stops at the first check, in the registry's order, that does not pass
// (of those that stop on failure): what sizing needs of a section it rules out (that check and its
// figures); the checks after it are set not computed. A circuit that passes every check comes out
// the same either way, and so does the first failure of one that does not.
//
// The checks are those of `checks`, in its order (the program's own, projectChecks(), unless a
// test gives others).
enum class CircuitDetail { Full, UntilFirstFailure };
struct CheckUnit;
using CheckRegistry = std::vector<CheckUnit>;
const CheckRegistry& projectChecks();
CircuitResult computeCircuit(const Project& project, const ProjectCircuit& circuit,
                             const CableCatalogue& catalogue,
                             CircuitDetail detail = CircuitDetail::Full,
                             const CheckRegistry& checks = projectChecks());
std::vector<CircuitResult> computeProject(const Project& project, const CableCatalogue& catalogue,
                                          const CheckRegistry& checks = projectChecks());

} // namespace korvane
