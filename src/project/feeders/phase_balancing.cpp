#include "project/feeders/phase_balancing.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numeric>

namespace korvane {

// Method.
//
// A lighting feeder on a four-wire line is balanced by the phases its poles take. The supply's
// breaker is chosen for the largest phase current (Ib), and the neutral carries the phasor sum of
// the three, so the first aim is the smallest largest phase current the poles' loads allow; among
// assignments with that largest current, the one whose worst pole drops least.
//
// 1. Each pole's load is its lamps' current as a phasor in its own phase's frame (Σ of count ·
//    P·ballast / (U0·cos φ) lagging by φ of each lamp kind): a phase's current is the magnitude of
//    the sum of the phasors of its poles, whatever the phase.
// 2. The poles whose phase the engineer fixed keep it and are counted first. The others are
//    dealt out largest first (the longest-processing-time rule of scheduling, within 4/3 of the
//    best largest sum for equal power factors), each to the phase with the smallest current so
//    far; of phases equally loaded, the one the pole already has, so that a feeder already in
//    balance is left as it is.
// 3. Then single poles are moved, and pairs of poles on different phases swapped, while a move
//    lowers the largest phase current, or keeps it and lowers the worst pole's drop computed on
//    the whole tree (computePoleFeeder). Every accepted move strictly improves the pair (largest
//    current, worst drop), so the search ends.
//
// The figures before and after come from the same computation as the circuit's, so the dialog
// shows what the schedule will show once the proposal is accepted.

namespace {

using Phasor = std::complex<double>;

// Currents are compared to a microampere: assignments differing by less are equal.
constexpr double kCurrentToleranceA = 1e-6;
// Drops are compared to 1e-9 %: below that, a move changes nothing an engineer reads.
constexpr double kLossTolerancePercent = 1e-9;
// Pairs of poles are tried for swaps up to this many poles (n² pairs, each a computation of the
// tree); a longer list is improved by single moves only.
constexpr int kMostPolesForSwaps = 200;
// Rounds of moves and swaps at most; each round keeps only strict improvements.
constexpr int kMostRounds = 50;

Phasor poleCurrent(const FeederPole& pole, double u0) {
    Phasor sum;
    for (const LampGroup& lamp : pole.lamps) {
        const double magnitude =
            lamp.count * lamp.powerW * lamp.ballastFactor / (u0 * lamp.powerFactor);
        const double sinPhi = std::sqrt(std::max(0.0, 1.0 - lamp.powerFactor * lamp.powerFactor));
        sum += magnitude * Phasor(lamp.powerFactor, -sinPhi);
    }
    return sum;
}

// The poles of the list in list order, as pointers into it.
std::vector<FeederPole*> polesInOrder(PoleList& list) {
    std::vector<FeederPole*> poles;
    for (FeederRun& run : list.runs)
        for (FeederPole& pole : run.poles)
            poles.push_back(&pole);
    return poles;
}

// The largest of the three phase currents of an assignment.
double largestPhaseCurrent(const std::vector<Phasor>& loads, const std::vector<Phase>& phases) {
    std::array<Phasor, 3> sums{};
    for (size_t i = 0; i < loads.size(); ++i)
        sums[size_t(phases[i])] += loads[i];
    return std::max({std::abs(sums[0]), std::abs(sums[1]), std::abs(sums[2])});
}

// The feeder with every pole that has lamps fixed to the assignment's phase.
LampFeeder withPhases(LampFeeder feeder, const std::vector<Phase>& phases) {
    std::vector<FeederPole*> poles = polesInOrder(feeder.poleList);
    for (size_t i = 0; i < poles.size(); ++i)
        if (!poles[i]->lamps.empty())
            poles[i]->fixedPhase = phases[i];
    return feeder;
}

Computed<PhaseAssignment> assess(const LampFeeder& feeder, const std::vector<Phase>& phases,
                                 const std::vector<RunConductors>& conductors) {
    const Computed<LampFeederResult> result =
        computePoleFeeder(withPhases(feeder, phases), conductors);
    if (!result)
        return Computed<PhaseAssignment>::failed(result.reason());
    PhaseAssignment a;
    a.phases = phases;
    a.phaseCurrentsA = result->phaseCurrentsA;
    a.neutralCurrentA = result->neutralCurrentA;
    a.largestPhaseCurrentA = result->largestPhaseCurrentA;
    a.worstLossPercent = result->worstLossPercent;
    for (const PoleDrop& pole : result->poles)
        if (pole.pole == result->worstPole)
            a.worstPole = pole.id;
    return a;
}

// Whether (largest current, worst drop) of `candidate` is strictly better than of `best`.
bool better(double candidateLargestA, double candidateWorst, double bestLargestA,
            double bestWorst) {
    if (candidateLargestA < bestLargestA - kCurrentToleranceA)
        return true;
    return candidateLargestA <= bestLargestA + kCurrentToleranceA &&
           candidateWorst < bestWorst - kLossTolerancePercent;
}

} // namespace

Computed<PhaseProposal> proposePhaseBalance(const LampFeeder& feeder,
                                            const std::vector<RunConductors>& conductors) {
    using Result = Computed<PhaseProposal>;
    if (feeder.connection != FeederConnection::PhasesInTurn)
        return Result::failed(
            QStringLiteral("单相接线的馈线全部灯具接同一相，无相序可平衡（请先改为“三相轮流”）"));
    LampFeeder list = feeder;
    if (list.poleList.empty())
        list.poleList = generatedPoleList(feeder);
    if (const QStringList problems = poleListProblems(list.poleList); !problems.isEmpty())
        return Result::failed(problems.join(QStringLiteral("；")));
    if (conductors.size() != list.poleList.runs.size())
        return Result::failed(QStringLiteral("各支线的电缆参数与杆位表不符"));
    if (!(std::isfinite(list.phaseVoltageV) && list.phaseVoltageV > 0.0))
        return Result::failed(QStringLiteral("相电压应大于0"));

    const std::vector<Phase> before = polePhases(list);
    std::vector<FeederPole*> poles = polesInOrder(list.poleList);
    const size_t n = poles.size();
    std::vector<Phasor> loads(n);
    for (size_t i = 0; i < n; ++i)
        loads[i] = poleCurrent(*poles[i], list.phaseVoltageV);
    // Poles free to move: no phase fixed by the engineer, and lamps to place.
    std::vector<size_t> movable;
    for (size_t i = 0; i < n; ++i)
        if (!poles[i]->fixedPhase && !poles[i]->lamps.empty())
            movable.push_back(i);

    const Computed<PhaseAssignment> beforeFigures = assess(list, before, conductors);
    if (!beforeFigures)
        return Result::failed(beforeFigures.reason());

    // 2. Deal the free poles out, largest current first, onto the least loaded phase.
    std::vector<Phase> phases = before;
    std::array<Phasor, 3> sums{};
    for (size_t i = 0; i < n; ++i)
        if (std::find(movable.begin(), movable.end(), i) == movable.end())
            sums[size_t(phases[i])] += loads[i];
    std::vector<size_t> order = movable;
    std::stable_sort(order.begin(), order.end(), [&loads](size_t a, size_t b) {
        return std::abs(loads[a]) > std::abs(loads[b]);
    });
    for (size_t i : order) {
        auto loadedWith = [&](int k) { return std::abs(sums[size_t(k)] + loads[i]); };
        int chosen = int(phases[i]);
        for (int k = 0; k < 3; ++k)
            if (loadedWith(k) < loadedWith(chosen) - kCurrentToleranceA)
                chosen = k;
        phases[i] = Phase(chosen);
        sums[size_t(chosen)] += loads[i];
    }
    // The dealt assignment replaces the engineer's only where it is no worse on both counts.
    Computed<PhaseAssignment> current = assess(list, phases, conductors);
    if (!current)
        return Result::failed(current.reason());
    if (!better(current->largestPhaseCurrentA, current->worstLossPercent,
                beforeFigures->largestPhaseCurrentA, beforeFigures->worstLossPercent)) {
        phases = before;
        current = beforeFigures;
    }

    // 3. Moves and swaps while they improve (largest current, worst drop).
    double largest = current->largestPhaseCurrentA;
    double worst = current->worstLossPercent;
    auto tryCandidate = [&](const std::vector<Phase>& candidate) {
        const double candidateLargest = largestPhaseCurrent(loads, candidate);
        if (candidateLargest > largest + kCurrentToleranceA)
            return false;
        const Computed<PhaseAssignment> figures = assess(list, candidate, conductors);
        if (!figures ||
            !better(figures->largestPhaseCurrentA, figures->worstLossPercent, largest, worst))
            return false;
        phases = candidate;
        largest = figures->largestPhaseCurrentA;
        worst = figures->worstLossPercent;
        current = figures;
        return true;
    };
    for (int round = 0; round < kMostRounds; ++round) {
        bool improved = false;
        for (size_t i : movable)
            for (int k = 0; k < 3; ++k) {
                if (Phase(k) == phases[i])
                    continue;
                std::vector<Phase> candidate = phases;
                candidate[i] = Phase(k);
                improved = tryCandidate(candidate) || improved;
            }
        if (n <= size_t(kMostPolesForSwaps))
            for (size_t a = 0; a < movable.size(); ++a)
                for (size_t b = a + 1; b < movable.size(); ++b) {
                    const size_t i = movable[a], j = movable[b];
                    if (phases[i] == phases[j])
                        continue;
                    std::vector<Phase> candidate = phases;
                    std::swap(candidate[i], candidate[j]);
                    improved = tryCandidate(candidate) || improved;
                }
        if (!improved)
            break;
    }

    PhaseProposal proposal;
    proposal.before = *beforeFigures;
    proposal.after = *current;
    for (size_t i = 0; i < n; ++i)
        if (phases[i] != before[i] && !poles[i]->lamps.empty())
            ++proposal.polesMoved;
    proposal.balanced = withPhases(list, phases);
    return proposal;
}

} // namespace korvane
