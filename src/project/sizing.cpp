#include "project/sizing.h"

#include <QHash>

#include <algorithm>
#include <complex>
#include <limits>
#include <queue>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace korvane {

namespace {

// The circuit's own cable set to another section (see withCableSection), in place.
void setCableSection(ProjectCircuit& sized, const CableRow& row,
                     const HandbookLineConstants& constants) {
    CircuitLine& line = sized.line;
    line.cable = row.cable;
    line.resistanceOhmPerKm = row.resistanceOhmPerKm;
    line.reactanceOhmPerKm = row.reactanceOhmPerKm;
    line.perMetreMilliOhm = {constants.resistance, constants.reactance, constants.loopResistance,
                             constants.loopReactance};
    // The phase-to-neutral loop of a four-core cable whose neutral is a core of the phase
    // section: the phase and the neutral in series, the same loop as the phase and the
    // protective conductor of R′php, X′php (Sp = S).
    line.neutralResistanceMilliOhmPerM = constants.loopResistance;
    line.neutralReactanceMilliOhmPerM = constants.loopReactance;
    sized.protection.leakagePerKmMa = constants.leakagePerKmMa;
}

} // namespace

ProjectCircuit withCableSection(const ProjectCircuit& circuit, const CableRow& row,
                                const HandbookLineConstants& constants) {
    ProjectCircuit sized = circuit;
    setCableSection(sized, row, constants);
    return sized;
}

namespace {

// One section a run may take: its row and the handbook's figures for it.
struct RunSection {
    const CableRow* row = nullptr;
    HandbookLineConstants constants;
};

// What one combination of sections gives: the first check it fails, with its figures.
struct Trial {
    std::optional<CircuitCheck> failed;
    QString failedText;
    // Judged by a model of the feeder rather than computed in full: it fails, but the first
    // check the full computation finds failing may be another, and no figures are kept.
    bool screened = false;
};

// The feeder with branches, sized run by run together (see sizeCircuit).
SizingResult sizeBranchedFeeder(const Project& project, const ProjectCircuit& circuit,
                                const CheckRegistry& checks, const CableCatalogue& catalogue,
                                SizingResult result) {
    const PoleList& list = std::get<LampFeeder>(circuit.load).poleList;
    const std::size_t runs = list.runs.size();
    if (const QStringList problems = poleListProblems(list); !problems.isEmpty()) {
        result.notSized = problems.join(QStringLiteral("；"));
        result.sizedResult =
            computeCircuit(project, circuit, catalogue, CircuitDetail::Full, checks);
        return result;
    }
    // The cable type of each run: its own, or that of the run it leaves from.
    const QHash<PoleNumberKey, int> runOfPole = runOfEachPole(list);
    std::vector<std::optional<CableIdentity>> type(runs);
    type[0] = circuit.line.cable;
    for (std::size_t k = 1; k < runs; ++k)
        type[k] = list.runs[k].cable;
    for (std::size_t pass = 0; pass < runs; ++pass)
        for (std::size_t k = 1; k < runs; ++k)
            if (!type[k])
                type[k] = type[runOfPole.value(PoleNumberKey(list.runs[k].fromPole))];

    // Each run's sections the tables can check, smallest first, and its length.
    std::vector<std::vector<RunSection>> choices(runs);
    std::vector<QString> uncheckedBelow(runs); // a smaller section the tables hold no figure for
    std::vector<double> lengthM(runs, 0.0);
    for (std::size_t k = 0; k < runs; ++k) {
        const QString who = QStringLiteral("%1：").arg(list.runName(k));
        for (const FeederPole& pole : list.runs[k].poles)
            lengthM[k] += pole.spanM;
        const CableIdentity& cable = *type[k];
        const Computed<CableConstruction> construction = cableConstruction(cable);
        if (!construction) {
            result.notSized = who + construction.reason();
            break;
        }
        for (const CableRow* row : catalogue.sectionsOf(cable.lossType, cable.cableType)) {
            const Computed<HandbookLineConstants> constants =
                handbookLineConstants(*construction, *row->crossSectionMm2);
            if (constants)
                choices[k].push_back({row, *constants});
            else if (choices[k].empty())
                uncheckedBelow[k] = QStringLiteral("%1 mm² 无法校验：%2")
                                        .arg(row->cable.crossSection, constants.reason());
        }
        if (choices[k].empty()) {
            result.notSized = who + QStringLiteral("电缆数据库中无可校验的“%1 / %2”截面")
                                        .arg(cable.lossType, cable.cableType);
            break;
        }
    }
    if (!result.notSized.isEmpty()) {
        result.sizedResult =
            computeCircuit(project, circuit, catalogue, CircuitDetail::Full, checks);
        return result;
    }

    // The voltage loss of every combination from one model of the feeder's drops (the loads do
    // not depend on the cables): Δu of a lamp pole = Σ over the runs on its path of a term of
    // that run's section alone. A combination whose Δu clearly exceeds the limit fails without
    // its full computation; and where even the smallest Δu any larger combination can give at
    // some pole (each run's term at its best section, run by run) exceeds the limit, no
    // combination above it passes and the search goes no further that way. Near the limit
    // (within 10⁻⁴ %, the rounding of the shown figure) the full computation decides.
    const double limit = project.voltageLossLimitPercent;
    constexpr double kScreenMarginPercent = 1e-4;
    std::vector<std::vector<std::vector<double>>> term;   // [pole][term][section]
    std::vector<std::vector<std::vector<double>>> bestUp; // least term at that section or above
    std::vector<std::vector<int>> termRun;
    bool screening = false;
    if (const auto conductors = feederConductors(project, circuit, catalogue); conductors) {
        const Computed<FeederLossModel> model =
            feederLossModel(std::get<LampFeeder>(circuit.load), *conductors);
        // Each run's Z = Z′ per km at each of its sections: R at the working temperature.
        std::vector<std::vector<std::complex<double>>> z(runs);
        screening = model.ok();
        for (std::size_t k = 0; k < runs && screening; ++k)
            for (const RunSection& section : choices[k]) {
                const Computed<WorkingResistance> r =
                    workingResistance(section.row->cable, section.row->resistanceOhmPerKm,
                                      catalogue, project.conductorTemperatureC);
                if (!r) {
                    screening = false;
                    break;
                }
                z[k].emplace_back(r->ohmPerKm, section.row->reactanceOhmPerKm);
            }
        if (screening) {
            for (const std::vector<PoleLossTerm>& pole : model->poles) {
                auto& values = term.emplace_back();
                auto& best = bestUp.emplace_back();
                auto& runOf = termRun.emplace_back();
                for (const PoleLossTerm& t : pole) {
                    std::vector<double> v;
                    for (const std::complex<double>& zk : z[t.run])
                        v.push_back((t.phase * zk + t.neutral * zk).real());
                    std::vector<double> b = v;
                    for (std::size_t j = b.size() - 1; j-- > 0;)
                        b[j] = std::min(b[j], b[j + 1]);
                    values.push_back(std::move(v));
                    best.push_back(std::move(b));
                    runOf.push_back(t.run);
                }
            }
        }
    }

    // A combination of sections: each run's index into its choices, one character per run (held
    // without allocation for a trunk and up to six branches, and hashed as a string).
    using Combination = std::u16string;
    auto levelled = [&](std::size_t level) {
        Combination c(runs, u'\0');
        for (std::size_t k = 0; k < runs; ++k)
            c[k] = static_cast<char16_t>(std::min(level, choices[k].size() - 1));
        return c;
    };
    auto modelLoss = [&](const Combination& c) {
        double worst = -std::numeric_limits<double>::infinity();
        for (std::size_t p = 0; p < term.size(); ++p) {
            double loss = 0.0;
            for (std::size_t t = 0; t < term[p].size(); ++t)
                loss += term[p][t][c[termRun[p][t]]];
            worst = std::max(worst, loss);
        }
        return worst;
    };
    auto nothingAbovePasses = [&](const Combination& c) {
        for (std::size_t p = 0; p < bestUp.size(); ++p) {
            double least = 0.0;
            for (std::size_t t = 0; t < bestUp[p].size(); ++t)
                least += bestUp[p][t][c[termRun[p][t]]];
            if (least > limit + kScreenMarginPercent)
                return true;
        }
        return false;
    };
    // The feeder with a combination's sections: one copy of the circuit, its cables set for
    // each combination in turn (a pole list is not copied for every combination).
    ProjectCircuit trial = circuit;
    auto trialCircuit = [&](const Combination& c) -> const ProjectCircuit& {
        setCableSection(trial, *choices[0][c[0]].row, choices[0][c[0]].constants);
        PoleList& runsOf = std::get<LampFeeder>(trial.load).poleList;
        for (std::size_t k = 1; k < runs; ++k)
            runsOf.runs[k].cable = choices[k][c[k]].row->cable;
        return trial;
    };
    std::unordered_map<Combination, Trial> tried;
    auto attempt = [&](const Combination& c, CircuitResult* keep) {
        // A combination not kept is only judged: its first failure is all that is read.
        CircuitResult computed =
            computeCircuit(project, trialCircuit(c), catalogue,
                           keep ? CircuitDetail::Full : CircuitDetail::UntilFirstFailure, checks);
        Trial t;
        if (const auto failure = computed.firstFailure()) {
            t.failed = *failure;
            t.failedText = computed.check(*failure).text();
        }
        tried[c] = t;
        if (keep)
            *keep = std::move(computed);
        return t;
    };

    // The fault checks at the weakest end from the same kind of model: the loop impedance of a
    // pole grows along its path, so the weakest pole is the end of a run, and the path to a
    // run's end is Σ over the runs it passes of (length along that run) × (that run's per-metre
    // values at its section). Each run's per-metre values at each of its sections are those
    // the full computation takes; they depend on that run's section alone.
    std::vector<std::vector<double>> alongRun(runs, std::vector<double>(runs, 0.0)); // [end][run]
    std::vector<std::vector<std::optional<RunConductors>>> perSection(runs);         // as needed
    bool faultScreening = screening;
    if (faultScreening) {
        QHash<PoleNumberKey, double> reachOnRun; // a pole's distance from the start of its run
        for (std::size_t k = 0; k < runs; ++k) {
            double along = 0.0;
            for (const FeederPole& pole : list.runs[k].poles)
                reachOnRun.insert(PoleNumberKey(pole.id), along += pole.spanM);
        }
        for (std::size_t end = 0; end < runs; ++end) {
            alongRun[end][end] = lengthM[end];
            // Up the tree from the run's start: at most one step per run (the list is a tree).
            for (std::size_t k = end, step = 0; k != 0 && step < runs; ++step) {
                const PoleNumberKey from(list.runs[k].fromPole);
                k = static_cast<std::size_t>(runOfPole.value(from));
                alongRun[end][k] += reachOnRun.value(from);
            }
        }
        for (std::size_t k = 0; k < runs; ++k)
            perSection[k].resize(choices[k].size());
    }
    // The breaker of the feeder (its load current does not depend on the cables) and the
    // protection's kind, from the first combination computed in full.
    std::optional<double> breakerA;
    const ProtectionMode mode = circuit.protection.mode;
    // Whether the fault checks clearly fail at the weakest end: at every end whose loop
    // impedance is within 10⁻⁹ of the largest (the full computation's choice among near-equal
    // ends may differ by rounding), the loop resistance fails even 10⁻⁹ lower and the
    // sensitivity even with the fault current 10⁻⁹ higher. Only what clearly fails is screened
    // out; the full computation decides the rest.
    constexpr double kFaultMargin = 1e-9;
    auto faultScreen = [&](const Combination& c) -> std::optional<Trial> {
        if (!faultScreening || !breakerA)
            return std::nullopt;
        for (std::size_t k = 0; k < runs; ++k) {
            if (perSection[k][c[k]])
                continue;
            const auto conductors = feederConductors(project, trialCircuit(c), catalogue);
            if (!conductors || conductors->size() != runs) {
                faultScreening = false;
                return std::nullopt;
            }
            for (std::size_t j = 0; j < runs; ++j)
                perSection[j][c[j]] = (*conductors)[j];
            break;
        }
        std::vector<PathImpedance> ends(runs);
        double largest = 0.0;
        for (std::size_t end = 0; end < runs; ++end) {
            PathImpedance& path = ends[end];
            for (std::size_t k = 0; k < runs; ++k) {
                const double m = alongRun[end][k];
                if (m == 0.0)
                    continue;
                addPath(path, *perSection[k][c[k]], m);
            }
            largest =
                std::max(largest, std::hypot(path.ohm.loopResistance, path.ohm.loopReactance));
        }
        std::optional<Trial> screened;
        for (const PathImpedance& path : ends) {
            if (std::hypot(path.ohm.loopResistance, path.ohm.loopReactance) <
                largest * (1.0 - kFaultMargin))
                continue;
            const CircuitLine line = equivalentLine(circuit.line, path);
            const Computed<ShortCircuitResult> faults =
                computeShortCircuit(shortCircuitInput(project.supply, line));
            if (!faults || !(line.lengthKm > 0.0))
                return std::nullopt;
            const bool earthFault = mode == ProtectionMode::EarthFault;
            const LoopResistanceCheck loop =
                checkLoopResistance(line.lengthKm, *breakerA,
                                    line.perMetreMilliOhm.loopResistance * (1.0 - kFaultMargin));
            const SensitivityCheck sensitivity = checkSensitivity(
                (earthFault ? faults->id : faults->ik1) * (1.0 + kFaultMargin), *breakerA);
            Trial t;
            if (loop.computed && !loop.passed)
                t.failed = CircuitCheck::LoopResistance;
            else if (sensitivity.computed && sensitivity.belowMinimum)
                t.failed = CircuitCheck::Sensitivity;
            else
                return std::nullopt;
            if (!screened)
                screened = t;
        }
        return screened;
    };

    // A run's lower bound: its smallest section passing its own capacity check, which depends
    // on its section and the feeder's breaker only. All runs are raised together to find them.
    // Where no combination can bring every pole within the voltage-loss limit, none is
    // searched: the largest combination says what fails.
    const bool hopeless = screening && nothingAbovePasses(levelled(0));
    std::vector<int> lowest(runs, -1);
    std::size_t widest = 0;
    for (const auto& c : choices)
        widest = std::max(widest, c.size());
    for (std::size_t level = 0; level < widest && !hopeless; ++level) {
        const Combination c = levelled(level);
        CircuitResult computed;
        attempt(c, &computed);
        if (!breakerA && computed.switchgear && computed.switchgear->breakerRatedA)
            breakerA = *computed.switchgear->breakerRatedA;
        bool all = true;
        for (std::size_t k = 0; k < runs; ++k) {
            if (lowest[k] >= 0)
                continue;
            if (k < computed.sections.size() && computed.sections[k].capacityOutcome.passed())
                lowest[k] = c[k];
            else
                all = false;
        }
        if (all)
            break;
    }
    Combination lower(runs, u'\0');
    for (std::size_t k = 0; k < runs; ++k) // no section carries it: the largest, which says why
        lower[k] = static_cast<char16_t>(lowest[k] >= 0 ? lowest[k] : choices[k].size() - 1);

    // Best first over the lattice of combinations from the lower bounds, each step raising one
    // run by one section: copper Σ S·L never falls along a step, so the combinations leave the
    // queue in ascending copper and the first that passes has the least copper of all that do.
    auto copper = [&](const Combination& c) {
        double sum = 0.0;
        for (std::size_t k = 0; k < runs; ++k)
            sum += *choices[k][c[k]].row->crossSectionMm2 * lengthM[k];
        return sum;
    };
    using Entry = std::pair<double, Combination>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    std::unordered_set<Combination> seen;
    if (!hopeless) {
        queue.emplace(copper(lower), lower);
        seen.insert(lower);
    }
    std::optional<Combination> chosen;
    CircuitResult chosenResult;
    auto describe = [&](const Combination& c) {
        QStringList parts;
        for (std::size_t k = 0; k < runs; ++k)
            parts << list.runName(k) + u' ' + choices[k][c[k]].row->cable.crossSection;
        return parts.join(QStringLiteral(" / "));
    };
    bool bounded = false;
    while (!queue.empty()) {
        if (result.combinationsTried >= kMaxSizingCombinations) {
            bounded = true;
            break;
        }
        const Combination c = queue.top().second;
        queue.pop();
        ++result.combinationsTried;
        CircuitResult computed;
        Trial t;
        if (const auto known = tried.find(c); known != tried.end() && known->second.failed) {
            t = known->second;
        } else if (screening && modelLoss(c) > limit + kScreenMarginPercent) {
            t.failed = CircuitCheck::VoltageLoss;
            t.screened = true;
            tried.emplace(c, t);
        } else if (const std::optional<Trial> fault = faultScreen(c)) {
            t = *fault;
            t.screened = true;
            tried.emplace(c, t);
        } else {
            t = attempt(c, &computed);
        }
        const bool dead = t.failed && screening && nothingAbovePasses(c);
        if (!t.failed) {
            SizingCandidate candidate;
            candidate.crossSection = describe(c);
            result.candidates.push_back(candidate);
            chosen = c;
            chosenResult = std::move(computed);
            break;
        }
        for (std::size_t k = 0; k < runs && !dead; ++k) {
            if (c[k] + 1 >= static_cast<int>(choices[k].size()))
                continue;
            Combination next = c;
            ++next[k];
            if (seen.insert(next).second)
                queue.emplace(copper(next), next);
        }
    }

    // A combination's first failing check as the full computation finds it, for what is said.
    auto computedInFull = [&](const Combination& c) {
        const auto at = tried.find(c);
        return at != tried.end() && !at->second.screened ? at->second : attempt(c, nullptr);
    };
    if (!chosen) {
        result.sizedResult =
            computeCircuit(project, circuit, catalogue, CircuitDetail::Full, checks);
        if (bounded) {
            result.notSized = QStringLiteral("组合过多，未能选出（已试 %1 种截面组合）")
                                  .arg(result.combinationsTried);
        } else {
            const Combination largest = levelled(widest);
            const Trial t = computedInFull(largest);
            result.notSized = QStringLiteral("最大可校验截面组合 %1 仍不满足%2：%3")
                                  .arg(describe(largest),
                                       t.failed ? checkName(*t.failed) : QString(), t.failedText);
        }
        return result;
    }

    result.chosen = result.candidates.size() - 1;
    result.sizedCircuit = trialCircuit(*chosen);
    result.sizedResult = std::move(chosenResult);
    // What rules out the next smaller section of each run, the others kept.
    for (std::size_t k = 0; k < runs; ++k) {
        SectionSizing s;
        s.run = list.runName(k);
        s.crossSection = choices[k][(*chosen)[k]].row->cable.crossSection;
        if ((*chosen)[k] == 0) {
            s.governingText = uncheckedBelow[k].isEmpty() ? QStringLiteral("最小截面即满足全部校验")
                                                          : uncheckedBelow[k];
        } else {
            Combination smaller = *chosen;
            --smaller[k];
            const Trial t = computedInFull(smaller);
            s.governing = t.failed;
            s.governingText = t.failed ? QStringLiteral("%1 mm² 不满足%2：%3")
                                             .arg(choices[k][smaller[k]].row->cable.crossSection,
                                                  checkName(*t.failed), t.failedText)
                                       : QStringLiteral("%1 mm² 亦满足全部校验")
                                             .arg(choices[k][smaller[k]].row->cable.crossSection);
        }
        result.sections.push_back(std::move(s));
    }
    result.governing = result.sections[0].governing;
    result.governingText = result.sections[0].governingText;
    return result;
}

} // namespace

SizingResult sizeCircuit(const Project& project, const ProjectCircuit& circuit,
                         const CableCatalogue& catalogue, const CheckRegistry& checks) {
    SizingResult result;
    result.sizedCircuit = circuit;
    if (const auto* feeder = std::get_if<LampFeeder>(&circuit.load);
        feeder && feeder->poleList.runs.size() > 1)
        return sizeBranchedFeeder(project, circuit, checks, catalogue, std::move(result));
    const CableIdentity& cable = circuit.line.cable;
    const auto sections = catalogue.sectionsOf(cable.lossType, cable.cableType);
    if (sections.empty()) {
        result.notSized =
            QStringLiteral("电缆数据库中无“%1 / %2”").arg(cable.lossType, cable.cableType);
        result.sizedResult =
            computeCircuit(project, circuit, catalogue, CircuitDetail::Full, checks);
        return result;
    }
    const Computed<CableConstruction> construction = cableConstruction(cable);
    if (!construction) {
        result.notSized = construction.reason();
        result.sizedResult =
            computeCircuit(project, circuit, catalogue, CircuitDetail::Full, checks);
        return result;
    }

    for (const CableRow* row : sections) {
        SizingCandidate candidate;
        candidate.crossSection = row->cable.crossSection;
        const Computed<HandbookLineConstants> constants =
            handbookLineConstants(*construction, *row->crossSectionMm2);
        if (!constants) {
            candidate.notChecked = constants.reason();
            result.candidates.push_back(candidate);
            continue;
        }
        ProjectCircuit trial = withCableSection(circuit, *row, *constants);
        // A section ruled out is known by its first failure; one that passes is computed whole.
        CircuitResult computed =
            computeCircuit(project, trial, catalogue, CircuitDetail::UntilFirstFailure, checks);
        if (const auto failure = computed.firstFailure()) {
            candidate.failed = *failure;
            candidate.failedText = computed.check(*failure).text();
            result.candidates.push_back(candidate);
            continue;
        }
        result.candidates.push_back(candidate);
        result.chosen = result.candidates.size() - 1;
        result.sizedCircuit = std::move(trial);
        result.sizedResult = std::move(computed);
        break;
    }

    if (!result.chosen) {
        result.sizedResult =
            computeCircuit(project, circuit, catalogue, CircuitDetail::Full, checks);
        // The largest section the tables could check says what fails there.
        const auto checked =
            std::find_if(result.candidates.rbegin(), result.candidates.rend(),
                         [](const SizingCandidate& c) { return c.notChecked.isEmpty(); });
        if (checked == result.candidates.rend())
            result.notSized =
                QStringLiteral("没有可校验的截面：") + result.candidates.back().notChecked;
        else
            result.notSized =
                QStringLiteral("最大可校验截面 %1 mm² 仍不满足%2：%3")
                    .arg(checked->crossSection, checkName(*checked->failed), checked->failedText);
        return result;
    }
    if (*result.chosen > 0) {
        const SizingCandidate& smaller = result.candidates[*result.chosen - 1];
        result.governing = smaller.failed;
        result.governingText =
            smaller.failed
                ? QStringLiteral("%1 mm² 不满足%2：%3")
                      .arg(smaller.crossSection, checkName(*smaller.failed), smaller.failedText)
                : QStringLiteral("%1 mm² 无法校验：%2")
                      .arg(smaller.crossSection, smaller.notChecked);
    } else {
        result.governingText = QStringLiteral("最小截面即满足全部校验");
    }
    return result;
}

} // namespace korvane
