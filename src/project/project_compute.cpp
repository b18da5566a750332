#include "project/project_compute.h"

#include "base/number_format.h"
#include "project/handbook_constants.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

QString number(double value, int decimals) {
    return formatFixed(value, decimals, RegionalFormat{});
}

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

QStringList protectionProblems(const Protection& p, bool feeder) {
    QStringList problems;
    if (!(finite(p.coefficientK) && p.coefficientK > 0.0))
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

CheckOutcome voltageLossOutcome(const Computed<double>& loss, double limit) {
    if (!loss)
        return CheckOutcome::notComputed(loss.reason());
    const bool within = lossWithinLimit(*loss, limit);
    const QString figures =
        QStringLiteral("Δu = %1% %2 %3%")
            .arg(number(*loss, kLossPercentDecimals), within ? u"≤"_qs : u">"_qs,
                 formatGeneral(limit, RegionalFormat{}));
    return within ? CheckOutcome::pass(figures) : CheckOutcome::fail(figures);
}

namespace {

// A current to a tenth of an ampere, a whole number without its ".0" (16 A, 77.4 A): one
// decimal conversion, as a sized circuit writes these figures for every section it tries.
QString amperes(double value) {
    QString text = formatFixed(value, 1, RegionalFormat{});
    if (text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text;
}

// A rated current of the switchgear series (16 A, 12.5 A), as the series gives it.
QString rated(double value) {
    return formatGeneral(value, RegionalFormat{});
}

// The breaker QR and contactor QC of the project's series for a load current: the first row
// whose selection current covers 1.5·Ib.
struct BreakerChoice {
    Computed<LineSwitchgear> switchgear = std::nullopt;
    CheckOutcome outcome;
    std::optional<SwitchgearRating> rating;
};
BreakerChoice chooseBreaker(double loadCurrentA,
                            const Computed<std::vector<SwitchgearRating>>& series) {
    BreakerChoice choice;
    if (!series) {
        choice.switchgear = Computed<LineSwitchgear>::failed(series.reason());
        choice.outcome = CheckOutcome::notComputed(series.reason());
        return choice;
    }
    LineSwitchgear s;
    const double x = kSelectionFactor * loadCurrentA;
    if (!finite(x)) {
        choice.switchgear =
            Computed<LineSwitchgear>::failed(QStringLiteral("选择电流 1.5Ib 无法计算"));
        choice.outcome = CheckOutcome::notComputed(choice.switchgear.reason());
        return choice;
    }
    s.computed = true;
    s.selectionCurrentA = x;
    for (const SwitchgearRating& row : *series)
        if (x <= row.selectionUpToA) {
            s.breakerRatedA = row.breakerA;
            s.contactorRatedA = row.contactorA;
            choice.rating = row;
            choice.switchgear = s;
            choice.outcome = CheckOutcome::pass(
                QStringLiteral("QR In = %1 A，QC Ie = %2 A").arg(row.breakerA).arg(row.contactorA));
            return choice;
        }
    s.outOfRange = true;
    choice.switchgear = s;
    choice.outcome = CheckOutcome::fail(QStringLiteral("1.5Ib = %1 A 超出选择表范围 (≤%2 A)")
                                            .arg(number(x, 2))
                                            .arg(series->back().selectionUpToA));
    return choice;
}

// The third-harmonic content of a feeder's lamps, %: the one content they share (given, or
// the class C limit of their one power factor), or, lamps of different contents, that of their
// currents together, Σ h·I / Σ I.
struct FeederHarmonics {
    double percent = 0.0;
    bool classCLimit = false;
    bool shared = true;
};

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

// The neutral current with the third harmonics of the lamps beyond a point: the fundamental
// imbalance and Σ h·I in quadrature (GB/T 16895.6-2014 annex E).
double neutralWithHarmonics(const FeederHarmonics& h, double neutralA,
                            const std::array<double, 3>& phaseA, double harmonicSumA) {
    if (h.shared)
        return neutralCurrentWithHarmonics(neutralA, phaseA[0] + phaseA[1] + phaseA[2], h.percent);
    return std::hypot(neutralA, harmonicSumA);
}

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

// Ib ≤ In ≤ Iz and I2 ≤ 1.45·Iz, and IN ≤ Iz where the cable is sized on the neutral.
CheckOutcome capacityOutcome(const CapacityCheck& c) {
    const OverloadProtection& o = c.overload;
    const QString iz = amperes(c.capacityA);
    const QString limit = amperes(kConventionalTripLimit * c.capacityA);
    const QString i2 = amperes(o.conventionalTripA);
    QStringList failed;
    if (!o.loadWithinRating)
        failed << QStringLiteral("Ib = %1 A > In = %2 A")
                      .arg(amperes(o.loadCurrentA), rated(o.ratedCurrentA));
    if (!o.ratingWithinCapacity)
        failed << QStringLiteral("In = %1 A > Iz = %2 A").arg(rated(o.ratedCurrentA), iz);
    if (!o.tripWithinLimit)
        failed << QStringLiteral("I2 = %1 A > 1.45Iz = %2 A").arg(i2, limit);
    if (!c.neutralWithinCapacity)
        failed << QStringLiteral("IN = %1 A > Iz = %2 A").arg(amperes(*c.neutralCurrentA), iz);
    if (!failed.isEmpty())
        return CheckOutcome::fail(failed.join(QStringLiteral("，")));
    QString figures = QStringLiteral("Ib = %1 A ≤ In = %2 A ≤ Iz = %3 A，I2 = %4 A ≤ 1.45Iz = %5 A")
                          .arg(amperes(o.loadCurrentA), rated(o.ratedCurrentA), iz, i2, limit);
    if (c.neutralCurrentA)
        figures += QStringLiteral("，IN = %1 A ≤ Iz").arg(amperes(*c.neutralCurrentA));
    return CheckOutcome::pass(figures);
}

} // namespace

Computed<WorkingResistance> workingResistance(const CableIdentity& cable, double databaseOhmPerKm,
                                              const CableCatalogue& catalogue,
                                              std::optional<double> projectTemperatureC) {
    const Computed<LossTypeTemperature> temperatures = catalogue.temperatureOf(cable.lossType);
    if (!temperatures)
        return Computed<WorkingResistance>::failed(temperatures.reason());
    WorkingResistance w;
    if (cable.cableType.contains(u'铜'))
        w.alphaPerK = kCopperAlpha;
    else if (cable.cableType.contains(u'铝'))
        w.alphaPerK = kAluminiumAlpha;
    else
        return Computed<WorkingResistance>::failed(
            QStringLiteral("无法从电缆类型“%1”判断导体材料").arg(cable.cableType));
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

QString checkName(CircuitCheck check) {
    switch (check) {
    case CircuitCheck::VoltageLoss:
        return QStringLiteral("电压损失");
    case CircuitCheck::BreakerSelection:
        return QStringLiteral("断路器选择");
    case CircuitCheck::CurrentCapacity:
        return QStringLiteral("载流量");
    case CircuitCheck::ResidualSetting:
        return QStringLiteral("剩余电流整定");
    case CircuitCheck::LoopResistance:
        return QStringLiteral("相保电阻");
    case CircuitCheck::Sensitivity:
        return QStringLiteral("保护灵敏度");
    case CircuitCheck::ThermalStability:
        return QStringLiteral("热稳定");
    }
    return {};
}

QString checkStateText(const CheckOutcome& outcome) {
    switch (outcome.state) {
    case CheckOutcome::State::Passed:
        return QStringLiteral("通过");
    case CheckOutcome::State::Failed:
        return QStringLiteral("不通过");
    case CheckOutcome::State::NotComputed:
        break;
    }
    return QStringLiteral("未计算");
}

const CheckOutcome& CircuitResult::check(CircuitCheck which) const {
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

// Iz of a cable of the circuit laid as the circuit is, with the harmonic factor of a lamp
// feeder, against the breaker chosen for it; Ib the current of that cable.
Computed<CapacityCheck> capacityCheck(const Project& project, const ProjectCircuit& circuit,
                                      const CableIdentity& cable, double loadCurrentA,
                                      const Computed<FeederNeutral>& neutral,
                                      const CableCatalogue& catalogue,
                                      const std::optional<SwitchgearRating>& rating) {
    using Result = Computed<CapacityCheck>;
    if (!rating)
        return Result::failed(QStringLiteral("未选出断路器 QR，无法校验"));
    const Computed<CableConstruction> construction = cableConstruction(cable);
    if (!construction)
        return Result::failed(
            QStringLiteral("载流量表只含四芯电力电缆（聚氯乙烯、交联聚乙烯绝缘），无“%1”")
                .arg(cable.lossType));
    if (!catalogue.capacity)
        return Result::failed(catalogue.capacity.reason().isEmpty()
                                  ? QStringLiteral("电缆数据库中无载流量表")
                                  : catalogue.capacity.reason());
    const auto section = cable.crossSectionMm2();
    if (!section)
        return Result::failed(QStringLiteral("电缆截面不是数值"));
    if (!neutral && !neutral.reason().isEmpty())
        return Result::failed(neutral.reason());
    const Computed<CurrentCarryingCapacity> iz = currentCarryingCapacity(
        *catalogue.capacity, construction->material, construction->insulation, *section,
        effectiveConditions(circuit.installation, project.installation));
    if (!iz)
        return Result::failed(iz.reason());
    CapacityCheck c;
    c.capacity = *iz;
    if (neutral) {
        c.harmonicFactor = neutral->reduction.factor;
        if (neutral->reduction.onNeutral)
            c.neutralCurrentA = neutral->withHarmonicsA;
    }
    c.capacityA = iz->capacityA * c.harmonicFactor;
    c.breakerKind = rating->breakerKind;
    c.conventionalTripFactor = rating->conventionalTripFactor;
    c.overload = checkOverloadProtection(loadCurrentA, rating->breakerA,
                                         rating->conventionalTripFactor, c.capacityA);
    if (c.neutralCurrentA)
        c.neutralWithinCapacity = *c.neutralCurrentA <= c.capacityA;
    return c;
}

// One run's cable of a feeder: what the drop, the faults and the leakage are computed with.
struct RunCable {
    CableIdentity cable;
    RunConductors conductors;
    double leakagePerKmMa = 0.0;
    Computed<WorkingResistance> resistance = std::nullopt;
};

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

// The circuit's check of its sections together: failed when one fails (naming those that do),
// not computed when one is not, passed with every section's figures.
CheckOutcome sectionsOutcome(const std::vector<SectionResult>& sections,
                             CheckOutcome SectionResult::*outcome) {
    QStringList failed, notComputed, passed;
    for (const SectionResult& s : sections) {
        const CheckOutcome& o = s.*outcome;
        const QString text = s.run + u'：' + o.text;
        if (o.state == CheckOutcome::State::Failed)
            failed << text;
        else if (o.state == CheckOutcome::State::NotComputed)
            notComputed << text;
        else
            passed << text;
    }
    const QString sep = QStringLiteral("；");
    if (!failed.isEmpty())
        return CheckOutcome::fail(failed.join(sep));
    if (!notComputed.isEmpty())
        return CheckOutcome::notComputed(notComputed.join(sep));
    return CheckOutcome::pass(passed.join(sep));
}

// Smin of the cable against the largest fault it sees, I″k3 at its origin (GB 50054-2011
// 6.2.3): S ≥ √t·I/K, or S ≥ √(I²t)/K with the device's let-through energy where it clears in
// under 0.1 s.
Computed<ThermalStability> thermalAtOrigin(const Computed<ShortCircuitResult>& origin,
                                           const Protection& protection) {
    if (!origin)
        return Computed<ThermalStability>::failed(QStringLiteral("始端短路电流无法计算：") +
                                                  origin.reason());
    if (usesLetThrough(protection)) {
        ThermalStability t;
        const double smin = std::sqrt(*protection.letThroughA2s) / protection.coefficientK;
        if (!finite(smin))
            return Computed<ThermalStability>::failed(QStringLiteral("热稳定最小截面无法计算"));
        t.computed = true;
        t.minimumCrossSectionMm2 = roundHalfAwayFromZero(smin, 4);
        t.text = formatFixed(smin, 4, RegionalFormat{});
        return t;
    }
    const ThermalStability t =
        thermalMinimumCrossSection(protection.durationS, origin->ik3, protection.coefficientK);
    if (!t.computed)
        return Computed<ThermalStability>::failed(QStringLiteral("热稳定最小截面无法计算"));
    return t;
}

// Smin < S of a cable against the fault at its origin; passed only with Smin strictly below S,
// as the verification report judges it.
CheckOutcome thermalOutcome(const Computed<ThermalStability>& thermal,
                            const Computed<ShortCircuitResult>& origin,
                            const CableIdentity& cable) {
    const auto s = cable.crossSectionMm2();
    if (!thermal)
        return CheckOutcome::notComputed(thermal.reason());
    if (!s || *s <= 0.0)
        return CheckOutcome::notComputed(QStringLiteral("电缆截面不是数值"));
    const bool ok = thermal->minimumCrossSectionMm2 < *s;
    const QString figures =
        QStringLiteral("Smin = %1 mm² %2 S = %3 mm²（始端 I″k3 = %4 kA）")
            .arg(thermal->text, ok ? u"<"_qs : u"≥"_qs, cable.crossSection, number(origin->ik3, 3));
    return ok ? CheckOutcome::pass(figures) : CheckOutcome::fail(figures);
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

EndFaultChecks endFaultChecks(const CircuitLine& line, const ShortCircuitResult& faults,
                              ProtectionMode mode, double breakerA, bool averagedLoop) {
    EndFaultChecks end;
    const double rphp = line.perMetreMilliOhm.loopResistance; // Ω/km
    const LoopResistanceCheck loop = checkLoopResistance(line.lengthKm, breakerA, rphp);
    if (!loop.computed) {
        end.loopResistance =
            Computed<LoopResistanceCheck>::failed(QStringLiteral("允许相保电阻 Rlim 无法计算"));
        end.loopOutcome = CheckOutcome::notComputed(end.loopResistance.reason());
    } else {
        end.loopResistance = loop;
        const QString figures =
            QStringLiteral("Rphp = %1 Ω/km %2 Rlim = %3 Ω/km")
                .arg(averagedLoop ? number(rphp, 4) : formatGeneral(rphp, RegionalFormat{}),
                     loop.passed ? u"≤"_qs : u">"_qs, number(loop.limitOhmPerKm, 4));
        end.loopOutcome = loop.passed ? CheckOutcome::pass(figures) : CheckOutcome::fail(figures);
    }
    const bool earthFault = mode == ProtectionMode::EarthFault;
    const SensitivityCheck sensitivity =
        checkSensitivity(earthFault ? faults.id : faults.ik1, breakerA);
    if (!sensitivity.computed) {
        end.sensitivity = Computed<SensitivityCheck>::failed(QStringLiteral("保护灵敏度无法计算"));
        end.sensitivityOutcome = CheckOutcome::notComputed(end.sensitivity.reason());
    } else {
        end.sensitivity = sensitivity;
        const QString figures = QStringLiteral("%1 / Ir2 = %2 %3 1.3")
                                    .arg(earthFault ? u"Id"_qs : u"I″k1"_qs, sensitivity.text,
                                         sensitivity.belowMinimum ? u"<"_qs : u"≥"_qs);
        end.sensitivityOutcome =
            sensitivity.belowMinimum ? CheckOutcome::fail(figures) : CheckOutcome::pass(figures);
    }
    return end;
}

CircuitResult computeCircuit(const Project& project, const ProjectCircuit& circuit,
                             const CableCatalogue& catalogue, CircuitDetail detail) {
    CircuitResult r;
    const bool isFeeder = std::holds_alternative<LampFeeder>(circuit.load);
    r.inputProblems = circuit.inputProblems;
    r.inputProblems << supplyProblems(project.supply) << lineProblems(circuit.line)
                    << protectionProblems(circuit.protection, isFeeder);
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
        for (CircuitCheck check : kCircuitChecks)
            r.checks.emplace_back(check, CheckOutcome::notComputed(reason));
        return r;
    }

    CircuitLine line = circuit.line;
    Protection protection = circuit.protection;
    const Computed<CableConstruction> construction = cableConstruction(line.cable);
    // A four-core cable's phase-to-neutral loop is the phase and the neutral core in series,
    // the same loop as R′php, X′php; a copy of the single conductor's R0, X0 leaves the neutral
    // out and overstates I″k1.
    if (construction && line.neutralResistanceMilliOhmPerM == line.perMetreMilliOhm.resistance &&
        line.neutralReactanceMilliOhmPerM == line.perMetreMilliOhm.reactance)
        r.warnings << QStringLiteral("R′、X′ 与单根导体的 R0、X0 相同：单相短路回路未计入中性线，"
                                     "I″k1 偏大（四芯电缆应取 R′php、X′php）");

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
    // Whether to stop at the check just set: it did not pass and only the first failure is
    // wanted. The checks not reached are set not computed, in their order. With branches the
    // capacity outcome is replaced at the end by the sections' own: no stop once it is set.
    auto stopsHere = [&r, detail, branched] {
        if (detail != CircuitDetail::UntilFirstFailure || r.checks.back().second.passed())
            return false;
        if (branched && std::any_of(r.checks.begin(), r.checks.end(), [](const auto& check) {
                return check.first == CircuitCheck::CurrentCapacity;
            }))
            return false;
        for (std::size_t k = r.checks.size(); k < std::size(kCircuitChecks); ++k)
            r.checks.emplace_back(kCircuitChecks[k], CheckOutcome::notComputed(
                                                         QStringLiteral("前项校验未通过，未计算")));
        return true;
    };
    r.checks.emplace_back(CircuitCheck::VoltageLoss, voltageLossOutcome(r.lossPercent, limit));
    if (stopsHere())
        return r;

    auto fail = [&r](const QString& reason) {
        for (CircuitCheck check : kCircuitChecks)
            if (check != CircuitCheck::VoltageLoss)
                r.checks.emplace_back(check, CheckOutcome::notComputed(reason));
        return r;
    };
    if (!r.lineLengthKm)
        return fail(r.lineLengthKm.reason());
    if (!(*r.lineLengthKm > 0.0))
        return fail(QStringLiteral("线路长度应大于0"));
    line.lengthKm = *r.lineLengthKm;
    protection.loadCurrentA = *r.loadCurrentA;
    // The leakage of the whole cable: Σ over the runs of (leakage per km)·(length).
    double leakageMa = protection.leakagePerKmMa * line.lengthKm;
    double cableKm = line.lengthKm;
    std::vector<SectionResult> sections;
    if (branched) {
        const LampFeederResult& poles = *r.feeder;
        line = equivalentLine(circuit.line, poles.poles[poles.weakestPole].path);
        leakageMa = 0.0;
        cableKm = 0.0;
        for (std::size_t k = 0; k < poles.runs.size(); ++k) {
            const RunCable& cable = (*cables)[k];
            leakageMa += cable.leakagePerKmMa * poles.runs[k].lengthM / 1000.0;
            cableKm += poles.runs[k].lengthM / 1000.0;
            SectionResult sec;
            sec.run = std::get<LampFeeder>(circuit.load).poleList.runName(k);
            sec.cable = cable.cable;
            sec.lengthM = poles.runs[k].lengthM;
            sec.resistance = cable.resistance;
            sections.push_back(std::move(sec));
        }
    }

    // Short circuit at the line end, from the project's supply.
    r.shortCircuit = computeShortCircuit(shortCircuitInput(project.supply, line));
    if (!r.shortCircuit)
        return fail(QStringLiteral("短路电流无法计算：") + r.shortCircuit.reason());
    const ShortCircuitResult& sc = *r.shortCircuit;
    CircuitLine origin = line;
    origin.lengthKm = 0.0;
    r.originShortCircuit = computeShortCircuit(shortCircuitInput(project.supply, origin));

    // Switchgear of the line from the project's series, and its checks by the verification
    // page's own functions.
    const BreakerChoice breaker = chooseBreaker(protection.loadCurrentA, catalogue.switchgear);
    r.switchgear = breaker.switchgear;
    std::optional<double> inA;
    if (breaker.rating)
        inA = breaker.rating->breakerA;
    r.checks.emplace_back(CircuitCheck::BreakerSelection, breaker.outcome);
    if (stopsHere())
        return r;

    r.capacity = capacityCheck(project, circuit, line.cable, *r.loadCurrentA, r.neutral, catalogue,
                               breaker.rating);
    r.checks.emplace_back(CircuitCheck::CurrentCapacity,
                          r.capacity ? capacityOutcome(*r.capacity)
                                     : CheckOutcome::notComputed(r.capacity.reason()));
    if (stopsHere())
        return r;

    const ResidualCurrentSetting residual = selectResidualCurrentSetting(
        branched && cableKm > 0.0 ? leakageMa / cableKm : protection.leakagePerKmMa,
        branched ? cableKm : line.lengthKm);
    CheckOutcome residualOutcome;
    if (!residual.computed) {
        r.residual = Computed<ResidualCurrentSetting>::failed(QStringLiteral("泄漏电流无法计算"));
        residualOutcome = CheckOutcome::notComputed(r.residual.reason());
    } else {
        r.residual = residual;
        residualOutcome = residual.ratedResidualMa
                              ? CheckOutcome::pass(QStringLiteral("Ivn = %1 mA ≥ 4Ixn = %2 mA")
                                                       .arg(*residual.ratedResidualMa)
                                                       .arg(number(residual.settingFloorMa, 2)))
                              : CheckOutcome::fail(QStringLiteral("4Ixn = %1 mA 超过 500 mA")
                                                       .arg(number(residual.settingFloorMa, 2)));
    }
    r.checks.emplace_back(CircuitCheck::ResidualSetting, residualOutcome);
    if (stopsHere())
        return r;

    const QString noBreaker = QStringLiteral("未选出断路器 QR，无法校验");
    if (inA) {
        EndFaultChecks end = endFaultChecks(line, sc, protection.mode, *inA, branched);
        r.loopResistance = std::move(end.loopResistance);
        r.sensitivity = std::move(end.sensitivity);
        r.checks.emplace_back(CircuitCheck::LoopResistance, std::move(end.loopOutcome));
        if (stopsHere())
            return r;
        r.checks.emplace_back(CircuitCheck::Sensitivity, std::move(end.sensitivityOutcome));
        if (stopsHere())
            return r;
    } else {
        r.loopResistance = Computed<LoopResistanceCheck>::failed(noBreaker);
        r.sensitivity = Computed<SensitivityCheck>::failed(noBreaker);
        r.checks.emplace_back(CircuitCheck::LoopResistance, CheckOutcome::notComputed(noBreaker));
        r.checks.emplace_back(CircuitCheck::Sensitivity, CheckOutcome::notComputed(noBreaker));
    }

    if (!sections.empty()) {
        // Each section's own checks: its capacity against the one breaker (GB 50054-2011
        // 6.3.3), its thermal stress against I″k3 at its origin (6.2.3).
        const LampFeederResult& poles = *r.feeder;
        const LampFeeder& feeder = std::get<LampFeeder>(circuit.load);
        const FeederHarmonics h = feederHarmonics(feeder, poles);
        for (std::size_t k = 0; k < sections.size(); ++k) {
            SectionResult& sec = sections[k];
            const RunResult& run = poles.runs[k];
            const RunCable& cable = (*cables)[k];
            sec.originShortCircuit =
                k == 0 ? r.originShortCircuit
                       : computeShortCircuit(shortCircuitInput(
                             project.supply, equivalentLine(circuit.line, run.origin)));
            Computed<FeederNeutral> neutral = r.neutral;
            if (r.neutral) {
                FeederNeutral own = *r.neutral;
                own.withoutHarmonicsA = run.neutralCurrentA;
                own.withHarmonicsA = neutralWithHarmonics(
                    h, run.neutralCurrentA, run.phaseCurrentsA, run.thirdHarmonicSumA);
                neutral = own;
            }
            sec.capacity = capacityCheck(project, circuit, cable.cable, run.largestPhaseCurrentA,
                                         neutral, catalogue, breaker.rating);
            sec.capacityOutcome = sec.capacity ? capacityOutcome(*sec.capacity)
                                               : CheckOutcome::notComputed(sec.capacity.reason());
            sec.thermal = thermalAtOrigin(sec.originShortCircuit, protection);
            sec.thermalOutcome = thermalOutcome(sec.thermal, sec.originShortCircuit, cable.cable);
        }
        r.capacity = sections[0].capacity;
        r.thermal = sections[0].thermal;
        r.sections = std::move(sections);
        for (auto& [check, outcome] : r.checks)
            if (check == CircuitCheck::CurrentCapacity)
                outcome = sectionsOutcome(r.sections, &SectionResult::capacityOutcome);
        r.checks.emplace_back(CircuitCheck::ThermalStability,
                              sectionsOutcome(r.sections, &SectionResult::thermalOutcome));
        return r;
    }
    r.thermal = thermalAtOrigin(r.originShortCircuit, protection);
    r.checks.emplace_back(CircuitCheck::ThermalStability,
                          thermalOutcome(r.thermal, r.originShortCircuit, line.cable));
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

std::vector<CircuitResult> computeProject(const Project& project, const CableCatalogue& catalogue) {
    std::vector<CircuitResult> results;
    results.reserve(project.circuits.size());
    for (const ProjectCircuit& circuit : project.circuits)
        results.push_back(computeCircuit(project, circuit, catalogue));
    return results;
}

} // namespace korvane
