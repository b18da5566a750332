#pragma once

#include "project/project.h"

#include <QString>

#include <optional>
#include <vector>

namespace korvane {

// The checks a project circuit must pass, in the order the schedule shows them.
enum class CircuitCheck {
    VoltageLoss,      // Δu% within the project's limit
    BreakerSelection, // a residual-current breaker QR and contactor QC for 1.5·Ib
    ResidualSetting,  // a rated residual operating current Ivn ≥ 4·Ixn
    LoopResistance,   // Rphp ≤ Rlim
    Sensitivity,      // fault current / Ir2 ≥ 1.3
    ThermalStability, // Smin < S
};
inline constexpr CircuitCheck kCircuitChecks[] = {
    CircuitCheck::VoltageLoss,    CircuitCheck::BreakerSelection, CircuitCheck::ResidualSetting,
    CircuitCheck::LoopResistance, CircuitCheck::Sensitivity,      CircuitCheck::ThermalStability};

// Δu % of a circuit is shown, written and judged to this many decimals in every output: the
// figure an engineer reads is the figure the limit is compared with.
inline constexpr int kLossPercentDecimals = 4;
// Δu % rounded as it is shown (half away from zero).
double shownLossPercent(double lossPercent);
// Whether a shown Δu % keeps within the limit: Δu ≤ limit, the limit itself included.
bool lossWithinLimit(double shownPercent, double limitPercent);

// The check's name as the schedule and the reports write it.
QString checkName(CircuitCheck check);

// The outcome of one check, stated truthfully: passed or failed with the figures that decided
// it, or not computed with the reason.
struct CheckOutcome {
    enum class State { NotComputed, Passed, Failed };
    State state = State::NotComputed;
    QString text; // the deciding figures, or the reason it was not computed

    bool passed() const { return state == State::Passed; }
    static CheckOutcome pass(QString figures) { return {State::Passed, std::move(figures)}; }
    static CheckOutcome fail(QString figures) { return {State::Failed, std::move(figures)}; }
    static CheckOutcome notComputed(QString reason) {
        return {State::NotComputed, std::move(reason)};
    }
};

// The state as the schedule and the reports write it: 通过, 不通过 or 未计算.
QString checkStateText(const CheckOutcome& outcome);

struct CircuitResult {
    // Why nothing was computed: what could not be read for the circuit.
    QStringList inputProblems;

    Computed<double> lineLengthKm = std::nullopt;
    // A lamp-pole feeder's poles, or why they were not computed; empty with no reason for a
    // load-case circuit.
    Computed<LampFeederResult> feeder = std::nullopt;
    std::optional<VoltageLossResult> loadCase;    // load-case circuits only
    Computed<double> lossPercent = std::nullopt;  // Δu% as shown, four decimals
    Computed<double> maxLengthM = std::nullopt;   // the length at which Δu reaches the limit
    Computed<double> loadCurrentA = std::nullopt; // Ib the protection is chosen for
    Computed<ShortCircuitResult> shortCircuit = std::nullopt;
    Computed<LineSwitchgear> switchgear = std::nullopt;       // QR, QC
    Computed<ResidualCurrentSetting> residual = std::nullopt; // Ivn
    Computed<LoopResistanceCheck> loopResistance = std::nullopt;
    Computed<SensitivityCheck> sensitivity = std::nullopt;
    Computed<ThermalStability> thermal = std::nullopt;

    std::vector<std::pair<CircuitCheck, CheckOutcome>> checks;

    const CheckOutcome& check(CircuitCheck which) const;
    // Every check passed.
    bool passed() const;
    // The first check that did not pass, if any.
    std::optional<CircuitCheck> firstFailure() const;
};

// The state of a circuit's checks together: failed when one failed, passed when every one
// passed, otherwise (a check or the whole circuit not computed) not computed.
CheckOutcome::State overallState(const CircuitResult& result);

// One circuit of the project by the pages' own calculations: the voltage loss of its load (or
// of its lamp poles), the short-circuit currents at its end from the project's supply, the
// selections and checks of its protection.
CircuitResult computeCircuit(const Project& project, const ProjectCircuit& circuit);
std::vector<CircuitResult> computeProject(const Project& project);

} // namespace korvane
