#include "project/project_compute.h"

#include "base/number_format.h"
#include "project/checks/circuit_context.h"
#include "project/handbook_constants.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

// The distance of the farthest load that the formula of the case counted, km.
double farthestLoadKm(const VoltageLossInput& in, LossFormula formula) {
    auto farthest = [](const std::array<LoadAtDistance, 4>& loads) {
        double km = 0.0;
        for (const LoadAtDistance& load : loads)
            if (load.load != 0.0)
                km = std::max(km, load.lengthKm);
        return km;
    };
    switch (formula) {
    case LossFormula::CurrentMomentEnd:
    case LossFormula::CurrentMomentUniform:
        return in.endLengthKm;
    case LossFormula::CurrentMomentSeveral:
        return farthest(in.currentLoads);
    case LossFormula::LoadMomentEnd:
    case LossFormula::UnityPowerEnd:
        return in.endPowerLengthKm;
    case LossFormula::LoadMomentSeveral:
        return farthest(in.powerLoads);
    case LossFormula::UnityPowerSeveral:
        return farthest(in.unityPowerLoads);
    case LossFormula::None:
        break;
    }
    return 0.0;
}

bool finite(double v) {
    return std::isfinite(v);
}

// What a supply and a line must have to be real: reasons, empty when nothing is wrong.
QStringList supplyProblems(const Supply& s) {
    QStringList problems;
    if (!(finite(s.systemCapacityMva) && s.systemCapacityMva > 0.0))
        problems << QStringLiteral("系统短路容量应大于0");
    const Transformer& t = s.transformer;
    if (!(finite(t.ratedKva) && t.ratedKva > 0.0))
        problems << QStringLiteral("变压器容量应大于0");
    if (!(finite(t.ukPercent) && t.ukPercent > 0.0))
        problems << QStringLiteral("变压器阻抗电压应大于0");
    if (!(finite(t.loadLossKw) && t.loadLossKw >= 0.0))
        problems << QStringLiteral("变压器负载损耗不能为负数");
    const Busbar& b = s.busbar;
    const PhaseAndLoop& m = b.perMetreMilliOhm;
    if (!(finite(b.lengthM) && b.lengthM >= 0.0))
        problems << QStringLiteral("母线长度不能为负数");
    for (double v : {m.resistance, m.reactance, m.loopResistance, m.loopReactance})
        if (!(finite(v) && v >= 0.0)) {
            problems << QStringLiteral("母线单位长度阻抗不能为负数");
            break;
        }
    return problems;
}

QStringList lineProblems(const CircuitLine& line) {
    QStringList problems;
    const PhaseAndLoop& m = line.perMetreMilliOhm;
    if (!(finite(m.resistance) && m.resistance > 0.0))
        problems << QStringLiteral("线路单位长度电阻 R0 应大于0");
    if (!(finite(m.loopResistance) && m.loopResistance > 0.0))
        problems << QStringLiteral("线路单位长度相保电阻 Rphp 应大于0");
    if (!(finite(line.neutralResistanceMilliOhmPerM) && line.neutralResistanceMilliOhmPerM > 0.0))
        problems << QStringLiteral("线路单位长度相中电阻 R′ 应大于0");
    for (double v : {m.reactance, m.loopReactance, line.neutralReactanceMilliOhmPerM})
        if (!(finite(v) && v >= 0.0)) {
            problems << QStringLiteral("线路单位长度电抗不能为负数");
            break;
        }
    return problems;
}

// `cableK`: the cable's conductor and insulation give K, and the K given is not used.
QStringList protectionProblems(const Protection& p, bool feeder, bool cableK) {
    QStringList problems;
    if (!cableK && !(finite(p.coefficientK) && p.coefficientK > 0.0))
        problems << QStringLiteral("热稳定系数 K 应大于0");
    if (!(finite(p.durationS) && p.durationS > 0.0))
        problems << QStringLiteral("短路持续时间 t 应大于0");
    if (!(finite(p.leakagePerKmMa) && p.leakagePerKmMa >= 0.0))
        problems << QStringLiteral("线路泄漏电流不能为负数");
    if (!feeder && !(finite(p.loadCurrentA) && p.loadCurrentA > 0.0))
        problems << QStringLiteral("计算电流 Ib 应大于0");
    if (p.letThroughA2s && !(finite(*p.letThroughA2s) && *p.letThroughA2s > 0.0))
        problems << QStringLiteral("允通能量 I²t 应大于0");
    return problems;
}

// What a load case must have to be a real low-voltage line: cos φ in (0, 1] where it is given
// (the cases at cos φ = 1 do not use it), and a nominal voltage above 0 and at most 1 kV — the
// field is in kV, and a voltage typed in volts (380) would otherwise be computed as 380 kV and
// pass with a loss a thousand times too small.
QStringList loadCaseProblems(const VoltageLossInput& v) {
    QStringList problems;
    if (v.powerFactor && !(finite(*v.powerFactor) && *v.powerFactor > 0.0 && *v.powerFactor <= 1.0))
        problems << QStringLiteral("cosφ = %1 不在 0～1 之间（应大于0且不大于1）")
                        .arg(formatGeneral(*v.powerFactor, RegionalFormat{}));
    const double kv = v.voltageKv.strict.value_or(v.voltageKv.lenient);
    if (finite(kv) && kv > kHighestLowVoltageKv)
        problems << QStringLiteral(
                        "U(kV) = %1 超过 1 kV：低压线路的电压以 kV 计（380 V 写作 0.38）")
                        .arg(formatGeneral(kv, RegionalFormat{}));
    return problems;
}

} // namespace

FeederHarmonics feederHarmonics(const LampFeeder& feeder, const LampFeederResult& poles) {
    FeederHarmonics h;
    if (feeder.poleList.empty()) {
        h.classCLimit = !feeder.thirdHarmonicPercent.has_value();
        h.percent = feeder.thirdHarmonicPercent.value_or(
            classCThirdHarmonicLimitPercent(feeder.lampPowerFactor));
        return h;
    }
    std::optional<double> common;
    for (const FeederRun& run : feeder.poleList.runs)
        for (const FeederPole& pole : run.poles)
            for (const LampGroup& lamp : pole.lamps) {
                const double content = lamp.thirdHarmonicPercent.value_or(
                    classCThirdHarmonicLimitPercent(lamp.powerFactor));
                if (!common)
                    common = content;
                else if (*common != content)
                    h.shared = false;
            }
    h.classCLimit = poles.thirdHarmonicClassC;
    double lampsA = 0.0;
    for (const PoleDrop& pole : poles.poles)
        lampsA += pole.currentA;
    h.percent = h.shared ? common.value_or(0.0)
                         : (lampsA > 0.0 ? poles.thirdHarmonicSumA / lampsA * 100.0 : 0.0);
    return h;
}

double neutralWithHarmonics(const FeederHarmonics& h, double neutralA,
                            const std::array<double, 3>& phaseA, double harmonicSumA) {
    if (h.shared)
        return neutralCurrentWithHarmonics(neutralA, phaseA[0] + phaseA[1] + phaseA[2], h.percent);
    return std::hypot(neutralA, harmonicSumA);
}

namespace {

// The neutral of a feeder with its lamps on the phases in turn, with the third harmonics of the
// lamps added (GB/T 16895.6-2014 annex E).
Computed<FeederNeutral> feederNeutral(const LampFeeder& feeder, const LampFeederResult& poles) {
    const FeederHarmonics h = feederHarmonics(feeder, poles);
    FeederNeutral n;
    n.classCLimit = h.classCLimit;
    n.weighted = !h.shared;
    n.thirdHarmonicPercent = h.percent;
    const Computed<HarmonicReduction> reduction = harmonicReduction(n.thirdHarmonicPercent);
    if (!reduction)
        return Computed<FeederNeutral>::failed(reduction.reason());
    n.reduction = *reduction;
    n.withoutHarmonicsA = poles.neutralCurrentA;
    n.withHarmonicsA = neutralWithHarmonics(h, poles.neutralCurrentA, poles.phaseCurrentsA,
                                            poles.thirdHarmonicSumA);
    return n;
}

} // namespace

Computed<WorkingResistance> workingResistance(const CableIdentity& cable, double databaseOhmPerKm,
                                              const CableCatalogue& catalogue,
                                              std::optional<double> projectTemperatureC) {
    const Computed<LossTypeTemperature> temperatures = catalogue.temperatureOf(cable.lossType);
    if (!temperatures)
        return Computed<WorkingResistance>::failed(temperatures.reason());
    const Computed<ConductorMaterial> material = conductorMaterial(cable);
    if (!material)
        return Computed<WorkingResistance>::failed(material.reason());
    WorkingResistance w;
    w.alphaPerK = *material == ConductorMaterial::Copper ? kCopperAlpha : kAluminiumAlpha;
    w.databaseOhmPerKm = databaseOhmPerKm;
    w.databaseTemperatureC = temperatures->resistanceTemperatureC;
    w.projectTemperature = projectTemperatureC.has_value();
    w.workingTemperatureC = projectTemperatureC.value_or(temperatures->workingTemperatureC);
    w.ohmPerKm = databaseOhmPerKm * (1.0 + w.alphaPerK * (w.workingTemperatureC - 20.0)) /
                 (1.0 + w.alphaPerK * (w.databaseTemperatureC - 20.0));
    return w;
}

double shownLossPercent(double lossPercent) {
    return roundHalfAwayFromZero(lossPercent, kLossPercentDecimals);
}

bool lossWithinLimit(double shownPercent, double limitPercent) {
    return shownPercent <= limitPercent;
}

const CheckOutcome& CircuitResult::check(const CircuitCheck& which) const {
    for (const auto& [name, outcome] : checks)
        if (name == which)
            return outcome;
    static const CheckOutcome kMissing = CheckOutcome::notComputed(QStringLiteral("未计算"));
    return kMissing;
}

bool CircuitResult::passed() const {
    return !checks.empty() && !firstFailure().has_value();
}

std::optional<CircuitCheck> CircuitResult::firstFailure() const {
    for (const auto& [name, outcome] : checks)
        if (!outcome.passed())
            return name;
    return std::nullopt;
}

CheckOutcome::State overallState(const CircuitResult& result) {
    if (result.passed())
        return CheckOutcome::State::Passed;
    for (const auto& [check, outcome] : result.checks)
        if (outcome.state == CheckOutcome::State::Failed)
            return CheckOutcome::State::Failed;
    return CheckOutcome::State::NotComputed;
}

namespace {

// The cable of every run of the feeder's pole list (the generated one of an equal feeder), the
// trunk's the circuit's own line with R at the working temperature `trunkResistance`.
Computed<std::vector<RunCable>> runCables(const Project& project, const ProjectCircuit& circuit,
                                          const LampFeeder& feeder,
                                          const WorkingResistance& trunkResistance,
                                          const CableCatalogue& catalogue) {
    using Result = Computed<std::vector<RunCable>>;
    const CircuitLine& line = circuit.line;
    RunCable trunk;
    trunk.cable = line.cable;
    trunk.resistance = trunkResistance;
    FeederConductors& d = trunk.conductors.drop;
    d.resistanceOhmPerKm = trunkResistance.ohmPerKm;
    d.reactanceOhmPerKm = line.reactanceOhmPerKm;
    // A four-core cable of one cross-section: the neutral is a core like the phases.
    d.neutralResistanceOhmPerKm = trunkResistance.ohmPerKm;
    d.neutralReactanceOhmPerKm = line.reactanceOhmPerKm;
    trunk.conductors.perMetreMilliOhm = line.perMetreMilliOhm;
    trunk.conductors.neutralResistanceMilliOhmPerM = line.neutralResistanceMilliOhmPerM;
    trunk.conductors.neutralReactanceMilliOhmPerM = line.neutralReactanceMilliOhmPerM;
    trunk.leakagePerKmMa = circuit.protection.leakagePerKmMa;
    const PoleList& list = feeder.poleList;
    if (list.runs.size() <= 1)
        return std::vector<RunCable>{trunk};
    if (const QStringList problems = poleListProblems(list); !problems.isEmpty())
        return Result::failed(problems.join(QStringLiteral("；")));

    std::vector<std::optional<RunCable>> cables(list.runs.size());
    cables[0] = trunk;
    // A branch of its own cable first; then those that take the cable of the run they leave,
    // in as many passes as branches of branches need (the list is a tree: it ends).
    for (std::size_t k = 1; k < list.runs.size(); ++k) {
        const FeederRun& run = list.runs[k];
        if (!run.cable)
            continue;
        const auto who = [&] { return QStringLiteral("支线“%1”：").arg(list.runName(k)); };
        const CableRow* row = catalogue.find(*run.cable);
        if (!row)
            return Result::failed(who() + QStringLiteral("电缆数据库中无“%1 %2 %3 mm²”")
                                              .arg(run.cable->lossType, run.cable->cableType,
                                                   run.cable->crossSection));
        const Computed<CableConstruction> construction = cableConstruction(row->cable);
        if (!construction)
            return Result::failed(who() + construction.reason());
        if (!row->crossSectionMm2)
            return Result::failed(who() + QStringLiteral("电缆截面不是数值"));
        const Computed<HandbookLineConstants> constants =
            handbookLineConstants(*construction, *row->crossSectionMm2);
        if (!constants)
            return Result::failed(who() + constants.reason());
        const Computed<WorkingResistance> working = workingResistance(
            row->cable, row->resistanceOhmPerKm, catalogue, project.conductorTemperatureC);
        if (!working)
            return Result::failed(who() + working.reason());
        RunCable c;
        c.cable = row->cable;
        c.resistance = working;
        c.conductors.drop = {working->ohmPerKm, row->reactanceOhmPerKm, working->ohmPerKm,
                             row->reactanceOhmPerKm};
        c.conductors.perMetreMilliOhm = {constants->resistance, constants->reactance,
                                         constants->loopResistance, constants->loopReactance};
        // The phase-to-neutral loop of a four-core cable, neutral of the phase section: R′php,
        // X′php (as withCableSection takes it).
        c.conductors.neutralResistanceMilliOhmPerM = constants->loopResistance;
        c.conductors.neutralReactanceMilliOhmPerM = constants->loopReactance;
        c.leakagePerKmMa = constants->leakagePerKmMa;
        cables[k] = std::move(c);
    }
    // The run each pole is on, for the runs the branches leave from, when a branch takes the
    // cable of the run it leaves.
    QHash<PoleNumberKey, int> runOfPole;
    if (std::any_of(cables.begin(), cables.end(), [](const auto& c) { return !c; }))
        runOfPole = runOfEachPole(list);
    for (std::size_t pass = 0; pass < list.runs.size(); ++pass)
        for (std::size_t k = 1; k < list.runs.size(); ++k)
            if (!cables[k]) {
                const int from = runOfPole.value(PoleNumberKey(list.runs[k].fromPole));
                if (cables[from])
                    cables[k] = cables[from];
            }
    std::vector<RunCable> result;
    result.reserve(cables.size());
    for (std::optional<RunCable>& c : cables)
        result.push_back(std::move(*c));
    return result;
}

std::vector<RunConductors> conductorsOf(const std::vector<RunCable>& cables) {
    std::vector<RunConductors> conductors;
    conductors.reserve(cables.size());
    for (const RunCable& c : cables)
        conductors.push_back(c.conductors);
    return conductors;
}

} // namespace

bool usesLetThrough(const Protection& protection) {
    return protection.letThroughA2s.has_value() && protection.durationS < kLetThroughBelowS;
}

// The one line a fault at the end of a path sees: its length Σ L_i and its per-metre values
// Σ (r_i·L_i) / Σ L_i. The short circuit adds the line as r·L to the supply's impedances
// (shortCircuitInput), so the equivalent line gives the path's own Σ r_i·L_i. A path of no length
// is the point just after the breaker: `base` at length zero.
CircuitLine equivalentLine(const CircuitLine& base, const PathImpedance& path) {
    CircuitLine line = base;
    line.lengthKm = path.lengthM / 1000.0;
    if (!(path.lengthM > 0.0)) {
        line.lengthKm = 0.0;
        return line;
    }
    const double km = line.lengthKm;
    line.perMetreMilliOhm = {path.ohm.resistance / km, path.ohm.reactance / km,
                             path.ohm.loopResistance / km, path.ohm.loopReactance / km};
    line.neutralResistanceMilliOhmPerM = path.neutralResistanceOhm / km;
    line.neutralReactanceMilliOhmPerM = path.neutralReactanceOhm / km;
    return line;
}

CircuitResult computeCircuit(const Project& project, const ProjectCircuit& circuit,
                             const CableCatalogue& catalogue, CircuitDetail detail,
                             const CheckRegistry& checks) {
    CircuitResult r;
    const bool isFeeder = std::holds_alternative<LampFeeder>(circuit.load);
    r.inputProblems = circuit.inputProblems;
    // A four-core PVC or XLPE cable: the handbook's tables hold its loops, and K is its own.
    const Computed<CableConstruction> construction = cableConstruction(circuit.line.cable);
    const Computed<double> cableK = construction.then(thermalCoefficientK);
    r.inputProblems << supplyProblems(project.supply) << lineProblems(circuit.line)
                    << protectionProblems(circuit.protection, isFeeder, cableK.ok());
    const double limit = project.voltageLossLimitPercent;
    if (!(finite(limit) && limit > 0.0 && limit < 100.0))
        r.inputProblems << QStringLiteral("电压损失允许值应大于0且小于100%");
    if (const auto* loads = std::get_if<LoadCaseLoad>(&circuit.load))
        r.inputProblems << loadCaseProblems(loads->values);
    if (const auto& t = project.conductorTemperatureC;
        t &&
        !(finite(*t) && *t >= kLowestConductorTemperatureC && *t <= kHighestConductorTemperatureC))
        r.inputProblems << QStringLiteral("导体计算温度应在 −50～250 ℃ 之间");
    if (!r.inputProblems.isEmpty()) {
        const QString reason = r.inputProblems.join(QStringLiteral("；"));
        for (const CheckUnit& check : checks)
            r.checks.emplace_back(check.id, CheckOutcome::notComputed(reason));
        return r;
    }

    const CircuitLine& line = circuit.line;
    const Protection& protection = circuit.protection;
    // A four-core cable's phase-to-neutral loop is the phase and the neutral core in series,
    // the same loop as R′php, X′php; a copy of the single conductor's R0, X0 leaves the neutral
    // out and overstates I″k1.
    if (construction && line.neutralResistanceMilliOhmPerM == line.perMetreMilliOhm.resistance &&
        line.neutralReactanceMilliOhmPerM == line.perMetreMilliOhm.reactance)
        r.warnings << QStringLiteral("R′、X′ 与单根导体的 R0、X0 相同：单相短路回路未计入中性线，"
                                     "I″k1 偏大（四芯电缆应取 R′php、X′php）");
    // The thermal check takes the cable's own K; a different one the file holds is kept there,
    // unused, and named.
    if (cableK && protection.coefficientK != 0.0 && protection.coefficientK != *cableK)
        r.warnings << QStringLiteral("K = %1 与%2的 %3 不符，按 %3 校验")
                          .arg(formatGeneral(protection.coefficientK, RegionalFormat{}),
                               constructionName(*construction),
                               formatGeneral(*cableK, RegionalFormat{}));

    // The conductors' resistance at their working temperature, for the voltage loss.
    r.resistance = workingResistance(line.cable, line.resistanceOhmPerKm, catalogue,
                                     project.conductorTemperatureC);
    const double workingR = r.resistance ? r.resistance->ohmPerKm : 0.0;
    Computed<std::vector<RunCable>> cables = std::nullopt;
    bool branched = false;

    // Voltage loss of the load, the line's length and the load current.
    if (!r.resistance) {
        const QString reason = QStringLiteral("电压损失未计算：") + r.resistance.reason();
        r.lineLengthKm = Computed<double>::failed(reason);
        r.lossPercent = Computed<double>::failed(reason);
        r.maxLengthM = Computed<double>::failed(reason);
        r.loadCurrentA = Computed<double>::failed(reason);
    } else if (const auto* feeder = std::get_if<LampFeeder>(&circuit.load)) {
        // Every feeder through its pole list; an equal feeder's is generated from its fields.
        cables = runCables(project, circuit, *feeder, *r.resistance, catalogue);
        r.feeder = cables ? computePoleFeeder(*feeder, conductorsOf(*cables))
                          : Computed<LampFeederResult>::failed(cables.reason());
        const Computed<LampFeederResult>& computed = r.feeder;
        if (computed && feeder->connection == FeederConnection::PhasesInTurn)
            r.neutral = feederNeutral(*feeder, *computed);
        if (computed) {
            branched = computed->runs.size() > 1;
            // With branches, the line the protection sees ends at the weakest pole: the path
            // to it is the line of the fault checks.
            const double lengthM = branched ? computed->poles[computed->weakestPole].path.lengthM
                                            : computed->totalLengthM;
            r.lineLengthKm = lengthM / 1000.0;
            r.lossPercent = shownLossPercent(computed->worstLossPercent);
            r.loadCurrentA = computed->largestPhaseCurrentA;
            // Every drop is proportional to the lengths of the segments: stretching the feeder
            // (every span alike) by limit / Δu brings its worst pole to the limit. The length
            // stretched is the one the schedule shows beside it: with branches, the total cable
            // of trunk and branches.
            const double shownM = branched ? computed->cableLengthM() : lengthM;
            if (computed->worstLossPercent > 0.0)
                r.maxLengthM = shownM * limit / computed->worstLossPercent;
            else
                r.maxLengthM = Computed<double>::failed(QStringLiteral("电压损失为0，长度不受限"));
        } else {
            r.lineLengthKm = Computed<double>::failed(computed.reason());
            r.lossPercent = Computed<double>::failed(computed.reason());
            r.loadCurrentA = Computed<double>::failed(computed.reason());
            r.maxLengthM = Computed<double>::failed(computed.reason());
        }
    } else {
        VoltageLossInput in = std::get<LoadCaseLoad>(circuit.load).values;
        in.resistanceOhmPerKm = {workingR, workingR};
        in.reactanceOhmPerKm = {line.reactanceOhmPerKm, line.reactanceOhmPerKm};
        const VoltageLossResult loss = computeVoltageLoss(in);
        r.loadCase = loss;
        r.loadCurrentA = protection.loadCurrentA;
        if (loss.problem == LossProblem::None) {
            const double km = farthestLoadKm(in, loss.formula);
            r.lineLengthKm = km;
            r.lossPercent = loss.shownLossPercent;
            // Δu is proportional to the load moment: with the loads kept and every distance
            // stretched by limit / Δu the loss reaches the limit.
            if (loss.lossPercent > 0.0)
                r.maxLengthM = km * 1000.0 * limit / loss.lossPercent;
        } else {
            const QString reason = QStringLiteral("电压损失未计算：负荷数据不完整或无效");
            r.lineLengthKm = Computed<double>::failed(reason);
            r.lossPercent = Computed<double>::failed(reason);
            r.maxLengthM = Computed<double>::failed(reason);
        }
    }
    const CircuitContext context(project, circuit, catalogue, r, cables ? &*cables : nullptr,
                                 branched);
    runChecks(checks, context, detail);
    return r;
}

Computed<std::vector<RunConductors>> feederConductors(const Project& project,
                                                      const ProjectCircuit& circuit,
                                                      const CableCatalogue& catalogue) {
    using Result = Computed<std::vector<RunConductors>>;
    const auto* feeder = std::get_if<LampFeeder>(&circuit.load);
    if (!feeder)
        return Result::failed(QStringLiteral("回路不是灯杆馈线"));
    const Computed<WorkingResistance> trunk =
        workingResistance(circuit.line.cable, circuit.line.resistanceOhmPerKm, catalogue,
                          project.conductorTemperatureC);
    if (!trunk)
        return Result::failed(trunk.reason());
    const Computed<std::vector<RunCable>> cables =
        runCables(project, circuit, *feeder, *trunk, catalogue);
    if (!cables)
        return Result::failed(cables.reason());
    return conductorsOf(*cables);
}

std::vector<CircuitResult> computeProject(const Project& project, const CableCatalogue& catalogue,
                                          const CheckRegistry& checks) {
    std::vector<CircuitResult> results;
    results.reserve(project.circuits.size());
    for (const ProjectCircuit& circuit : project.circuits)
        results.push_back(computeCircuit(project, circuit, catalogue, CircuitDetail::Full, checks));
    return results;
}

} // namespace korvane
