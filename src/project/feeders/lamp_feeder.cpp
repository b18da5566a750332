#include "project/feeders/lamp_feeder.h"

#include "capacity/current_capacity.h"
#include "voltage_loss/voltage_loss.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <optional>

namespace korvane {

// Method.
//
// The voltage loss of a low-voltage line by its current moment follows 《工业与民用配电设计手册》
// 第三版 (voltage loss of 0.38/0.22 kV lines): Δu % = factor·(R cos φ + X sin φ)·Σ i·L / (10·U),
// factor √3 for a balanced three-phase line and 2 for a single-phase load on the phase voltage
// (the current goes out in the phase and back in an equal neutral).
//
// A lamp-pole feeder is a four-wire line loaded at every pole, and in general unbalanced, so the
// drop is worked out as for an unbalanced four-wire line, with phasors. The feeder is split into
// segments: supply to pole 1, then pole to pole. A segment carries, in each phase, the current of
// all lamps beyond it on that phase; every lamp current lags its phase voltage by φ, and the
// phase voltages are 120° apart (L1 at 0°, L2 at −120°, L3 at +120°). The neutral of the segment
// carries the phasor sum of its three phase currents. The L–N voltage of phase k at a pole is
// lowered by
//     ΔV_k = Σ over the segments up to the pole of (I_k·Z_phase + I_N·Z_neutral)·length.
// Δu % is the component of ΔV_k along the phase voltage (the handbook's R cos φ + X sin φ
// approximation, which drops the quadrature part), divided by U0, × 100. A single lamp load on
// one phase then gives the handbook's single-phase formula exactly (I_N = I_k, factor 2 for a
// neutral equal to the phase conductor), and a load balanced in every segment gives the
// three-phase formula (I_N = 0, √3/(10·√3·U0) = 1/(10·U0)).
//
// Beside it the handbook figure: the single-phase connection as the page's "接相电压的单相负荷线路"
// with M = Σ (pole current)·L and U = U0; phases in turn as "三相平衡负荷线路", each pole's load
// spread evenly over the three phases, M = Σ (pole current / 3)·L, at the nominal line voltage.
// The handbook figure uses the phase conductor only; it assumes a neutral equal to it.
//
// A pole list is a tree: the trunk from the supply and branches, each leaving a pole of another
// run through a T-joint. Every pole has one segment leading to it, from the pole before it on its
// run, from the pole its branch leaves (a branch's first pole) or from the supply (the trunk's
// first pole). A segment carries the lamps of every pole beyond it, on whatever run they are:
// walking the tree depth first from the supply and adding each pole's currents to the pole its
// segment comes from, in the reverse of that walk, gives every segment's phase currents and
// neutral in one pass. Each lamp group's current P·ballast/(U0·cos φ) lags its phase voltage by
// its own φ, so lamps of different power factor add as phasors, not as magnitudes. The drop at
// a pole is the drop at the pole its segment comes from plus the segment's own, with the per-km
// values of the run the segment belongs to; the formula above is the same with Z of each run.
//
// The handbook figure of a list is the current moment of the path to the worst pole, carried on
// to the end of the worst pole's run: M = Σ over the segments of that path of (Σ of the pole
// currents beyond the segment)·(its length, km). A branch leaving the path thereby counts as its
// load concentrated at the pole it leaves, as the handbook treats a branch; for a feeder without
// branches the path is the whole feeder and M = Σ (pole current)·(distance), the figure above.
// Δu % of the moment is taken run by run along the path, each run's share of M with its own R
// and X, and summed; the power factor is that of the feeder's whole load (its lamps' one cos φ
// when they share it).

namespace {

using Phasor = std::complex<double>;

constexpr double kHalfSqrt3 = std::numbers::sqrt3 / 2.0;

// The phase voltages as unit phasors. Exact components, so that three equal currents, one on
// each phase, add up to exactly zero in the neutral.
const std::array<Phasor, 3> kPhaseUnit = {Phasor(1.0, 0.0), Phasor(-0.5, -kHalfSqrt3),
                                          Phasor(-0.5, kHalfSqrt3)};

int indexOf(Phase phase) {
    return static_cast<int>(phase);
}

bool validPhase(Phase phase) {
    return phase == Phase::L1 || phase == Phase::L2 || phase == Phase::L3;
}

// The first input no real feeder has, as the reason to show; empty when all are usable.
QString inputProblem(const LampFeeder& f, const FeederConductors& c) {
    // A field that is not a finite number fails with its name before its range is looked at.
    auto finite = [](double value, const char* name) {
        return std::isfinite(value) ? QString()
                                    : QString::fromUtf8(name) + QStringLiteral("不是有效数值");
    };
    QString reason;
    auto check = [&reason](bool ok, const QString& why) {
        if (reason.isEmpty() && !ok)
            reason = why;
    };
    auto checkFinite = [&](double value, const char* name) {
        if (reason.isEmpty())
            reason = finite(value, name);
    };

    // The limits' texts written once: sizing checks a feeder once per section it tries.
    static const QString tooManyPoles = QStringLiteral("灯杆数量不应超过%1").arg(kMaxFeederPoles);
    static const QString tooManyLamps = QStringLiteral("每杆灯数不应超过%1").arg(kMaxLampsPerPole);
    check(f.poles >= 1, QStringLiteral("灯杆数量应为不小于1的整数"));
    check(f.poles <= kMaxFeederPoles, tooManyPoles);
    check(f.lampsPerPole >= 1, QStringLiteral("每杆灯数应为不小于1的整数"));
    check(f.lampsPerPole <= kMaxLampsPerPole, tooManyLamps);
    checkFinite(f.lampPowerW, "灯具功率");
    check(f.lampPowerW > 0.0, QStringLiteral("灯具功率应大于0"));
    checkFinite(f.lampPowerFactor, "灯具功率因数");
    check(f.lampPowerFactor > 0.0 && f.lampPowerFactor <= 1.0,
          QStringLiteral("灯具功率因数应大于0且不大于1"));
    checkFinite(f.ballastFactor, "镇流器或驱动器系数");
    check(f.ballastFactor >= 1.0 && f.ballastFactor <= 2.0,
          QStringLiteral("镇流器或驱动器系数应在1至2之间"));
    // The spacing of a single pole is never used, but a negative one is still a wrong entry.
    checkFinite(f.spacingM, "灯杆间距");
    check(f.spacingM > 0.0 || (f.poles == 1 && f.spacingM == 0.0),
          QStringLiteral("灯杆间距应大于0"));
    checkFinite(f.firstPoleM, "电源至首杆距离");
    check(f.firstPoleM >= 0.0, QStringLiteral("电源至首杆距离不应小于0"));
    check(f.connection == FeederConnection::SinglePhase ||
              f.connection == FeederConnection::PhasesInTurn,
          QStringLiteral("灯具接线方式无效"));
    check(validPhase(f.startPhase), QStringLiteral("首杆所接相别无效"));
    checkFinite(f.phaseVoltageV, "相电压");
    check(f.phaseVoltageV > 0.0, QStringLiteral("相电压应大于0"));
    if (f.thirdHarmonicPercent) {
        checkFinite(*f.thirdHarmonicPercent, "三次谐波含量");
        check(*f.thirdHarmonicPercent >= 0.0 && *f.thirdHarmonicPercent <= 100.0,
              QStringLiteral("三次谐波含量应在0至100%之间"));
    }

    checkFinite(c.resistanceOhmPerKm, "相线电阻");
    check(c.resistanceOhmPerKm > 0.0, QStringLiteral("相线电阻应大于0"));
    checkFinite(c.reactanceOhmPerKm, "相线感抗");
    check(c.reactanceOhmPerKm >= 0.0, QStringLiteral("相线感抗不应小于0"));
    checkFinite(c.neutralResistanceOhmPerKm, "中性线电阻");
    check(c.neutralResistanceOhmPerKm > 0.0, QStringLiteral("中性线电阻应大于0"));
    checkFinite(c.neutralReactanceOhmPerKm, "中性线感抗");
    check(c.neutralReactanceOhmPerKm >= 0.0, QStringLiteral("中性线感抗不应小于0"));
    return reason;
}

// The nominal line voltage (kV) of a four-wire line of phase voltage U0: √3·U0 to the nearest
// 10 V, so 380 V for 220 V, as the handbook's tables write it.
double nominalLineVoltageKv(double phaseVoltageV) {
    const double exactKv = std::numbers::sqrt3 * phaseVoltageV / 1000.0;
    const double nominalKv = std::round(exactKv * 100.0) / 100.0;
    return nominalKv > 0.0 ? nominalKv : exactKv;
}

// Δu % of the page's current-moment row for the line kind: its end-load case (1) with I·L = M,
// so the factor, the voltage and the angle are those the page uses.
Computed<double> handbookLossPercent(LineKind lineKind, double momentAkm, double voltageKv,
                                     double cosPhi, const FeederConductors& c) {
    VoltageLossInput input;
    input.lineKind = lineKind;
    input.loadCase = LoadCase::EndCurrent;
    input.resistanceOhmPerKm = FieldReading{c.resistanceOhmPerKm, c.resistanceOhmPerKm};
    input.reactanceOhmPerKm = FieldReading{c.reactanceOhmPerKm, c.reactanceOhmPerKm};
    input.voltageKv = FieldReading{voltageKv, voltageKv};
    input.powerFactor = cosPhi;
    input.endCurrentA = momentAkm;
    input.endLengthKm = 1.0;
    const VoltageLossResult loss = computeVoltageLoss(input);
    if (loss.formula == LossFormula::None || !std::isfinite(loss.lossPercent))
        return Computed<double>::failed(QStringLiteral("电流矩法电压损失无法计算"));
    return loss.lossPercent;
}

} // namespace

Phase phaseOfPole(const LampFeeder& feeder, int poleIndex) {
    if (feeder.connection == FeederConnection::SinglePhase)
        return feeder.startPhase;
    return static_cast<Phase>((indexOf(feeder.startPhase) + poleIndex) % 3);
}

Computed<LampFeederResult> computeLampFeeder(const LampFeeder& feeder,
                                             const FeederConductors& conductors) {
    if (const QString reason = inputProblem(feeder, conductors); !reason.isEmpty())
        return Computed<LampFeederResult>::failed(reason);

    const int n = feeder.poles;
    const double u0 = feeder.phaseVoltageV;
    const double cosPhi = feeder.lampPowerFactor;
    const double sinPhi = std::sqrt(std::max(0.0, 1.0 - cosPhi * cosPhi));
    const Phasor zPhase(conductors.resistanceOhmPerKm, conductors.reactanceOhmPerKm);
    const Phasor zNeutral(conductors.neutralResistanceOhmPerKm,
                          conductors.neutralReactanceOhmPerKm);

    StepChain e;
    LampFeederResult r;
    r.lampCurrentA = e.quotient(feeder.lampPowerW * feeder.ballastFactor, u0 * cosPhi);
    r.poleCurrentA = e.checked(feeder.lampsPerPole * r.lampCurrentA);
    r.totalLengthM = e.checked(feeder.firstPoleM + (n - 1) * feeder.spacingM);

    // One pole's current on each phase: lagging that phase's voltage by φ.
    const Phasor lag = r.poleCurrentA * Phasor(cosPhi, -sinPhi);
    std::array<Phasor, 3> poleCurrentOn{};
    for (int k = 0; k < 3; ++k)
        poleCurrentOn[k] = lag * kPhaseUnit[k];

    // Poles still ahead on each phase. A segment's currents follow from these whole counts, so
    // they carry no rounding that builds up along the feeder.
    std::array<int, 3> polesAhead{};
    for (int i = 0; i < n; ++i)
        ++polesAhead[indexOf(phaseOfPole(feeder, i))];
    for (int k = 0; k < 3; ++k)
        r.phaseCurrentsA[k] = polesAhead[k] * r.poleCurrentA;
    r.neutralCurrentA = std::abs(static_cast<double>(polesAhead[0]) * poleCurrentOn[0] +
                                 static_cast<double>(polesAhead[1]) * poleCurrentOn[1] +
                                 static_cast<double>(polesAhead[2]) * poleCurrentOn[2]);
    r.largestPhaseCurrentA = *std::max_element(r.phaseCurrentsA.begin(), r.phaseCurrentsA.end());

    // Walk out from the supply, adding each segment's drop to every phase.
    std::array<Phasor, 3> drop{};
    double distanceSumKm = 0.0;
    r.poles.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double segmentKm = (i == 0 ? feeder.firstPoleM : feeder.spacingM) / 1000.0;
        std::array<Phasor, 3> current{};
        Phasor neutral;
        for (int k = 0; k < 3; ++k) {
            current[k] = static_cast<double>(polesAhead[k]) * poleCurrentOn[k];
            neutral += current[k];
        }
        for (int k = 0; k < 3; ++k)
            drop[k] += segmentKm * (current[k] * zPhase + neutral * zNeutral);

        PoleDrop pole;
        pole.pole = i + 1;
        pole.distanceM = feeder.firstPoleM + i * feeder.spacingM;
        pole.phase = phaseOfPole(feeder, i);
        for (int k = 0; k < 3; ++k) {
            // The component along the phase voltage: Re(ΔV · conj(unit of the phase)).
            const double along = (drop[k] * std::conj(kPhaseUnit[k])).real();
            pole.lossPercent[k] = e.checked(along / u0 * 100.0);
        }
        const double atLamps = pole.lossPercent[indexOf(pole.phase)];
        if (i == 0 || atLamps > r.worstLossPercent) {
            r.worstLossPercent = atLamps;
            r.worstPole = pole.pole;
            r.worstPhase = pole.phase;
        }
        distanceSumKm += pole.distanceM / 1000.0;
        --polesAhead[indexOf(pole.phase)];
        r.poles.push_back(pole);
    }

    // The handbook figure beside it.
    if (feeder.connection == FeederConnection::SinglePhase) {
        r.currentMomentAkm = e.checked(r.poleCurrentA * distanceSumKm);
        r.momentLineKind = LineKind::SinglePhasePhaseVoltage;
        r.momentVoltageKv = u0 / 1000.0;
    } else {
        r.currentMomentAkm = e.checked(r.poleCurrentA / 3.0 * distanceSumKm);
        r.momentLineKind = LineKind::ThreePhase;
        r.momentVoltageKv = nominalLineVoltageKv(u0);
    }
    if (e.failed())
        return Computed<LampFeederResult>::failed(e.reason());
    const Computed<double> momentLoss = handbookLossPercent(r.momentLineKind, r.currentMomentAkm,
                                                            r.momentVoltageKv, cosPhi, conductors);
    if (!momentLoss)
        return Computed<LampFeederResult>::failed(momentLoss.reason());
    r.momentLossPercent = *momentLoss;
    return r;
}

namespace {

qsizetype poleCountOf(const PoleList& list) {
    qsizetype count = 0;
    for (const FeederRun& run : list.runs)
        count += static_cast<qsizetype>(run.poles.size());
    return count;
}

PoleNumberKey poleKey(const QString& id) {
    return PoleNumberKey(id);
}

// The run as a message names it: "干线", "干线“A”", "支线“B2”".
QString runLabel(const FeederRun& run, bool trunk) {
    const QString name = run.name.trimmed();
    if (trunk)
        return name.isEmpty() || name == QStringLiteral("干线")
                   ? QStringLiteral("干线")
                   : QStringLiteral("干线“%1”").arg(name);
    return QStringLiteral("支线“%1”").arg(name);
}

QString poleLabel(const FeederPole& pole) {
    return QStringLiteral("杆“%1”").arg(pole.id.trimmed());
}

// The current of one lamp of the group, A: P·ballast / (U0·cos φ).
double lampCurrentOf(const LampGroup& lamp, double u0) {
    return lamp.powerW * lamp.ballastFactor / (u0 * lamp.powerFactor);
}

// The third-harmonic content of the group's current, %: given, or the class C limit.
double thirdHarmonicOf(const LampGroup& lamp) {
    return lamp.thirdHarmonicPercent.value_or(classCThirdHarmonicLimitPercent(lamp.powerFactor));
}

// Why one run's cable cannot be computed with; empty when it can.
QString conductorProblem(const RunConductors& c) {
    const FeederConductors& d = c.drop;
    const PhaseAndLoop& m = c.perMetreMilliOhm;
    auto positive = [](double v) { return std::isfinite(v) && v > 0.0; };
    auto notNegative = [](double v) { return std::isfinite(v) && v >= 0.0; };
    if (!positive(d.resistanceOhmPerKm))
        return QStringLiteral("相线电阻应大于0");
    if (!notNegative(d.reactanceOhmPerKm))
        return QStringLiteral("相线感抗不应小于0");
    if (!positive(d.neutralResistanceOhmPerKm))
        return QStringLiteral("中性线电阻应大于0");
    if (!notNegative(d.neutralReactanceOhmPerKm))
        return QStringLiteral("中性线感抗不应小于0");
    for (double v : {m.resistance, m.reactance, m.loopResistance, m.loopReactance,
                     c.neutralResistanceMilliOhmPerM, c.neutralReactanceMilliOhmPerM})
        if (!notNegative(v))
            return QStringLiteral("单位长度阻抗不能为负数");
    return {};
}

// addPath's body, which the walk takes inline for every pole of every section tried (the
// library's exported addPath is called, not inlined).
inline void extendPath(PathImpedance& path, const RunConductors& c, double spanM) {
    const double km = spanM / 1000.0; // mΩ/m × km = Ω
    path.lengthM += spanM;
    path.ohm.resistance += c.perMetreMilliOhm.resistance * km;
    path.ohm.reactance += c.perMetreMilliOhm.reactance * km;
    path.ohm.loopResistance += c.perMetreMilliOhm.loopResistance * km;
    path.ohm.loopReactance += c.perMetreMilliOhm.loopReactance * km;
    path.neutralResistanceOhm += c.neutralResistanceMilliOhmPerM * km;
    path.neutralReactanceOhm += c.neutralReactanceMilliOhmPerM * km;
}

// The square of the phase-protective loop impedance, Ω²: it orders the poles as the impedance
// does, without a square root per pole.
double loopImpedanceSquared(const PathImpedance& path) {
    return path.ohm.loopResistance * path.ohm.loopResistance +
           path.ohm.loopReactance * path.ohm.loopReactance;
}

} // namespace

void addPath(PathImpedance& path, const RunConductors& c, double spanM) {
    extendPath(path, c, spanM);
}

size_t qHash(PoleNumberKey key, size_t seed) noexcept {
    // FNV-1a over the case-folded UTF-16 units outside surrogate pairs, then mixed (the
    // finaliser of MurmurHash3) so that the low bits the table's buckets take vary: numbers
    // equal in any case hash alike, without a folded copy being made.
    std::uint64_t h = 0xcbf29ce484222325ull ^ seed;
    for (const QChar c : key.text)
        if (!c.isSurrogate()) {
            h ^= c.toCaseFolded().unicode();
            h *= 0x100000001b3ull;
        }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return static_cast<size_t>(h);
}

QHash<PoleNumberKey, int> runOfEachPole(const PoleList& list) {
    QHash<PoleNumberKey, int> runOf;
    runOf.reserve(poleCountOf(list));
    for (std::size_t k = 0; k < list.runs.size(); ++k)
        for (const FeederPole& pole : list.runs[k].poles)
            runOf.insert(PoleNumberKey(pole.id), static_cast<int>(k));
    return runOf;
}

QStringList poleListProblems(const PoleList& list) {
    QStringList problems;
    if (list.runs.empty()) {
        problems << QStringLiteral("灯杆表中没有干线");
        return problems;
    }
    if (static_cast<int>(list.runs.size()) > kMaxFeederRuns)
        problems << QStringLiteral("干线与支线总数不应超过%1").arg(kMaxFeederRuns);
    if (!list.runs.front().fromPole.trimmed().isEmpty())
        problems
            << QStringLiteral("干线不应有起始杆（“%1”）").arg(list.runs.front().fromPole.trimmed());

    // The run of every pole number, and the names given twice.
    QHash<PoleNumberKey, int> runOfPole;
    runOfPole.reserve(poleCountOf(list));
    QHash<PoleNumberKey, int> seenRun;
    long long poleCount = 0;
    for (std::size_t r = 0; r < list.runs.size(); ++r) {
        const FeederRun& run = list.runs[r];
        const QString label = runLabel(run, r == 0);
        const PoleNumberKey name = poleKey(run.name);
        if (!name.isEmpty() && seenRun.contains(name)) {
            if (seenRun[name]++ == 1)
                problems << QStringLiteral("线路名“%1”重复").arg(run.name.trimmed());
        } else {
            seenRun.insert(name, 1);
        }
        if (run.poles.empty())
            problems << label + QStringLiteral("没有灯杆");
        poleCount += static_cast<long long>(run.poles.size());
        for (std::size_t i = 0; i < run.poles.size(); ++i) {
            const FeederPole& pole = run.poles[i];
            const PoleNumberKey key = poleKey(pole.id);
            if (key.isEmpty()) {
                problems << label + QStringLiteral("第%1根杆没有杆号").arg(i + 1);
                continue;
            }
            if (runOfPole.contains(key)) {
                if (runOfPole[key] >= 0)
                    problems << QStringLiteral("杆号“%1”重复").arg(pole.id.trimmed());
                runOfPole[key] = -1; // named once however often it repeats
            } else {
                runOfPole.insert(key, static_cast<int>(r));
            }
            // The pole as a message names it, formed only for a message.
            const auto at = [&pole] { return poleLabel(pole); };
            if (!std::isfinite(pole.spanM))
                problems << at() + QStringLiteral("的杆距不是有效数值");
            else if (pole.spanM < 0.0)
                problems << at() + QStringLiteral("的杆距为负数");
            if (pole.fixedPhase && !validPhase(*pole.fixedPhase))
                problems << at() + QStringLiteral("的相别无效");
            long long lamps = 0;
            for (const LampGroup& lamp : pole.lamps) {
                if (lamp.count < 1)
                    problems << at() + QStringLiteral("的灯具数量应不小于1");
                else
                    lamps += lamp.count;
                if (!(std::isfinite(lamp.powerW) && lamp.powerW > 0.0))
                    problems << at() + QStringLiteral("的灯具功率应大于0");
                if (!(std::isfinite(lamp.powerFactor) && lamp.powerFactor > 0.0 &&
                      lamp.powerFactor <= 1.0))
                    problems << at() + QStringLiteral("的灯具功率因数应大于0且不大于1");
                if (!(std::isfinite(lamp.ballastFactor) && lamp.ballastFactor >= 1.0 &&
                      lamp.ballastFactor <= 2.0))
                    problems << at() + QStringLiteral("的镇流器或驱动器系数应在1至2之间");
                if (lamp.thirdHarmonicPercent &&
                    !(std::isfinite(*lamp.thirdHarmonicPercent) &&
                      *lamp.thirdHarmonicPercent >= 0.0 && *lamp.thirdHarmonicPercent <= 100.0))
                    problems << at() + QStringLiteral("的三次谐波含量应在0至100%之间");
            }
            if (lamps > kMaxLampsPerPole)
                problems << at() + QStringLiteral("的灯具数量不应超过%1").arg(kMaxLampsPerPole);
        }
    }
    if (poleCount > kMaxFeederPoles)
        problems << QStringLiteral("灯杆总数不应超过%1").arg(kMaxFeederPoles);

    // Every branch leaves a pole of another run, and following the runs they leave from reaches
    // the trunk: no branch leaves its own poles, directly or through other branches.
    const int runs = static_cast<int>(list.runs.size());
    std::vector<int> parentRun(list.runs.size(), -1);
    bool treeKnown = true;
    for (int r = 1; r < runs; ++r) {
        const FeederRun& run = list.runs[r];
        const QString label = runLabel(run, false);
        const QString from = run.fromPole.trimmed();
        if (from.isEmpty()) {
            problems << label + QStringLiteral("没有起始杆");
            treeKnown = false;
            continue;
        }
        const auto found = runOfPole.constFind(poleKey(from));
        if (found == runOfPole.constEnd()) {
            problems << label + QStringLiteral("的起始杆“%1”不存在").arg(from);
            treeKnown = false;
        } else if (*found == r) {
            problems << label + QStringLiteral("的起始杆“%1”是本支线自己的灯杆").arg(from);
            treeKnown = false;
        } else if (*found < 0) {
            treeKnown = false; // the repeated number is named above
        } else {
            parentRun[r] = *found;
        }
    }
    if (treeKnown) {
        for (int r = 1; r < runs; ++r) {
            int at = r;
            int steps = 0;
            while (at > 0 && steps <= runs) {
                at = parentRun[at];
                ++steps;
            }
            if (at != 0) {
                problems << runLabel(list.runs[r], false) +
                                QStringLiteral("与其他支线首尾相接成环，未接到干线上");
            }
        }
    }
    return problems;
}

namespace {

// The number of the i-th pole of an equal feeder, the first thousand made once and shared.
QString poleNumber(int i) {
    static const std::vector<QString> first = [] {
        std::vector<QString> numbers;
        for (int k = 0; k <= 1000; ++k)
            numbers.push_back(QString::number(k));
        return numbers;
    }();
    return i >= 0 && i < static_cast<int>(first.size()) ? first[static_cast<std::size_t>(i)]
                                                        : QString::number(i);
}

} // namespace

PoleList generatedPoleList(const LampFeeder& feeder) {
    PoleList list;
    FeederRun trunk;
    trunk.name = QStringLiteral("干线");
    LampGroup lamp;
    lamp.count = feeder.lampsPerPole;
    lamp.powerW = feeder.lampPowerW;
    lamp.powerFactor = feeder.lampPowerFactor;
    lamp.ballastFactor = feeder.ballastFactor;
    lamp.thirdHarmonicPercent = feeder.thirdHarmonicPercent;
    const int n = std::clamp(feeder.poles, 0, kMaxFeederPoles);
    trunk.poles.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        FeederPole pole;
        pole.id = poleNumber(i + 1);
        pole.spanM = i == 0 ? feeder.firstPoleM : feeder.spacingM;
        pole.lamps = {lamp};
        trunk.poles.push_back(std::move(pole));
    }
    list.runs.push_back(std::move(trunk));
    return list;
}

namespace {

std::vector<Phase> phasesOf(const LampFeeder& feeder, const PoleList& list) {
    std::vector<Phase> phases;
    int k = 0;
    for (const FeederRun& run : list.runs)
        for (const FeederPole& pole : run.poles) {
            phases.push_back(pole.fixedPhase ? *pole.fixedPhase : phaseOfPole(feeder, k));
            ++k;
        }
    return phases;
}

} // namespace

std::vector<Phase> polePhases(const LampFeeder& feeder) {
    return phasesOf(feeder, feeder.poleList.empty() ? generatedPoleList(feeder) : feeder.poleList);
}

namespace {

// What a feeder's lamps draw, whatever its cables: the tree of its poles, the order of the walk
// and the currents of every segment. The drops follow from these and the runs' cables alone.
struct FeederLoads {
    LampFeeder feeder;  // the feeder they are of, its branches' cables left out
    PoleList generated; // an equal feeder's list
    // Why the feeder cannot be walked whatever its cables: its pole list is not a feeder, or
    // its connection, start phase or U0 is invalid. The rest is filled only when it is empty.
    QString problem;
    std::vector<const FeederPole*> poles; // list order, each run's poles together
    std::vector<int> firstOfRun;
    std::vector<int> runOf;
    std::vector<int> parent; // the pole each segment comes from; −1 the supply
    std::vector<int> walk;   // depth first from the supply
    std::vector<Phase> phases;
    std::vector<std::array<Phasor, 3>> beyond; // each segment's phase currents
    std::vector<Phasor> neutral;               // and their sum in its neutral
    std::vector<double> currentBeyond;         // Σ of the pole currents beyond it (magnitudes)
    std::vector<double> harmonicBeyond;        // Σ h·I beyond it
    std::vector<PoleDrop> skeleton;            // each pole's own figures and segment currents
    double totalLoadW = 0.0;
    double thirdHarmonicSumA = 0.0;
    bool thirdHarmonicClassC = false;
    bool anyLamp = false;
    std::optional<double> commonCosPhi;
    bool oneCosPhi = true;
    StepChain chain = StepChain(); // a figure out of range on the way, reported as the walk's

    const PoleList& list() const { return feeder.poleList.empty() ? generated : feeder.poleList; }
};

// Whether two feeders draw the same currents from the same poles: alike in every field but the
// branches' cables. A field added to the feeder or its pole list is compared here.
bool sameLoads(const LampFeeder& a, const LampFeeder& b) {
    if (!(a.poles == b.poles && a.lampsPerPole == b.lampsPerPole && a.lampPowerW == b.lampPowerW &&
          a.lampPowerFactor == b.lampPowerFactor && a.ballastFactor == b.ballastFactor &&
          a.spacingM == b.spacingM && a.firstPoleM == b.firstPoleM &&
          a.connection == b.connection && a.startPhase == b.startPhase &&
          a.phaseVoltageV == b.phaseVoltageV && a.thirdHarmonicPercent == b.thirdHarmonicPercent &&
          a.poleList.runs.size() == b.poleList.runs.size()))
        return false;
    for (std::size_t k = 0; k < a.poleList.runs.size(); ++k) {
        const FeederRun& x = a.poleList.runs[k];
        const FeederRun& y = b.poleList.runs[k];
        if (!(x.name == y.name && x.fromPole == y.fromPole && x.poles == y.poles))
            return false;
    }
    return true;
}

void fillLoads(FeederLoads& l) {
    const LampFeeder& feeder = l.feeder;
    const double u0 = feeder.phaseVoltageV;
    // The list generated from an equal feeder's fields (checked before) is a feeder: its
    // numbers 1…n, one run.
    if (feeder.poleList.empty())
        l.generated = generatedPoleList(feeder);
    else if (const QStringList problems = poleListProblems(feeder.poleList); !problems.isEmpty())
        l.problem = problems.join(QStringLiteral("；"));
    if (l.problem.isEmpty() && !(feeder.connection == FeederConnection::SinglePhase ||
                                 feeder.connection == FeederConnection::PhasesInTurn))
        l.problem = QStringLiteral("灯具接线方式无效");
    if (l.problem.isEmpty() && !validPhase(feeder.startPhase))
        l.problem = QStringLiteral("首杆所接相别无效");
    if (l.problem.isEmpty() && !(std::isfinite(u0) && u0 > 0.0))
        l.problem = QStringLiteral("相电压应大于0");
    if (!l.problem.isEmpty())
        return;
    const PoleList& list = l.list();
    const int runs = static_cast<int>(list.runs.size());

    // The poles in list order, each run's together.
    l.firstOfRun.resize(list.runs.size());
    QHash<PoleNumberKey, int> indexOfPole; // for the poles branches leave from
    if (runs > 1)
        indexOfPole.reserve(poleCountOf(list));
    l.poles.reserve(static_cast<std::size_t>(poleCountOf(list)));
    l.runOf.reserve(static_cast<std::size_t>(poleCountOf(list)));
    for (int k = 0; k < runs; ++k) {
        l.firstOfRun[k] = static_cast<int>(l.poles.size());
        for (const FeederPole& pole : list.runs[k].poles) {
            if (runs > 1)
                indexOfPole.insert(poleKey(pole.id), static_cast<int>(l.poles.size()));
            l.poles.push_back(&pole);
            l.runOf.push_back(k);
        }
    }
    const int n = static_cast<int>(l.poles.size());
    l.phases = phasesOf(feeder, list);

    // The pole each segment comes from, and the poles it leads on to.
    l.parent.assign(static_cast<std::size_t>(n), -1);
    std::vector<std::vector<int>> branchesAt(static_cast<std::size_t>(n));
    for (int k = 0; k < runs; ++k) {
        const int first = l.firstOfRun[k];
        const int count = static_cast<int>(list.runs[k].poles.size());
        for (int i = 1; i < count; ++i)
            l.parent[first + i] = first + i - 1;
        if (k > 0) {
            const int from = indexOfPole.value(poleKey(list.runs[k].fromPole));
            l.parent[first] = from;
            branchesAt[from].push_back(first);
        }
    }
    // Depth first from the supply: a pole comes after the pole its segment comes from.
    l.walk.reserve(static_cast<std::size_t>(n));
    {
        std::vector<int> stack{0};
        while (!stack.empty()) {
            const int p = stack.back();
            stack.pop_back();
            l.walk.push_back(p);
            for (auto it = branchesAt[p].rbegin(); it != branchesAt[p].rend(); ++it)
                stack.push_back(*it);
            // The next pole of its run is walked first.
            if (p + 1 < n && l.runOf[p + 1] == l.runOf[p])
                stack.push_back(p + 1);
        }
    }

    // Each pole's own lamps, then everything beyond it.
    StepChain& e = l.chain;
    l.beyond.resize(static_cast<std::size_t>(n));
    l.currentBeyond.assign(static_cast<std::size_t>(n), 0.0);
    l.harmonicBeyond.assign(static_cast<std::size_t>(n), 0.0);
    l.skeleton.resize(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p) {
        const FeederPole& pole = *l.poles[p];
        PoleDrop& d = l.skeleton[p];
        d.pole = p + 1;
        d.id = pole.id.trimmed();
        d.run = l.runOf[p];
        d.parent = l.parent[p];
        d.phase = l.phases[p];
        Phasor own;
        for (const LampGroup& lamp : pole.lamps) {
            const double groupA = e.checked(lamp.count * lampCurrentOf(lamp, u0));
            const double sinPhi =
                std::sqrt(std::max(0.0, 1.0 - lamp.powerFactor * lamp.powerFactor));
            own += groupA * Phasor(lamp.powerFactor, -sinPhi);
            d.loadW += lamp.count * lamp.powerW;
            d.currentA += groupA;
            l.harmonicBeyond[p] += thirdHarmonicOf(lamp) / 100.0 * groupA;
            l.thirdHarmonicClassC = l.thirdHarmonicClassC || !lamp.thirdHarmonicPercent;
            l.anyLamp = true;
            if (!l.commonCosPhi)
                l.commonCosPhi = lamp.powerFactor;
            else if (*l.commonCosPhi != lamp.powerFactor)
                l.oneCosPhi = false;
        }
        l.beyond[p][indexOf(d.phase)] = own * kPhaseUnit[indexOf(d.phase)];
        l.currentBeyond[p] = d.currentA;
        l.totalLoadW += d.loadW;
        l.thirdHarmonicSumA += l.harmonicBeyond[p];
    }
    for (auto it = l.walk.rbegin(); it != l.walk.rend(); ++it) {
        const int p = *it;
        if (const int up = l.parent[p]; up >= 0) {
            for (int k = 0; k < 3; ++k)
                l.beyond[up][k] += l.beyond[p][k];
            l.currentBeyond[up] += l.currentBeyond[p];
            l.harmonicBeyond[up] += l.harmonicBeyond[p];
        }
    }
    l.neutral.resize(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p) {
        l.neutral[p] = l.beyond[p][0] + l.beyond[p][1] + l.beyond[p][2];
        PoleDrop& d = l.skeleton[p];
        for (int k = 0; k < 3; ++k)
            d.segmentCurrentsA[k] = std::abs(l.beyond[p][k]);
        d.segmentNeutralA = std::abs(l.neutral[p]);
    }
}

// The loads of the feeder. Sizing walks one feeder once for every section or combination of
// sections it tries; the loads of the last feeder walked on a thread are kept for the next walk
// of a feeder alike in them.
const FeederLoads& loadsOf(const LampFeeder& feeder) {
    thread_local FeederLoads kept;
    thread_local bool valid = false;
    if (valid && sameLoads(feeder, kept.feeder))
        return kept;
    valid = false;
    kept = FeederLoads{};
    kept.feeder = feeder;
    for (FeederRun& run : kept.feeder.poleList.runs)
        run.cable.reset();
    fillLoads(kept);
    valid = true;
    return kept;
}

Computed<LampFeederResult> walkPoleFeeder(const LampFeeder& feeder,
                                          const std::vector<RunConductors>& conductors,
                                          FeederLossModel* model) {
    using Result = Computed<LampFeederResult>;
    const bool equal = feeder.poleList.empty();
    // An equal feeder is checked on its own fields, with the reasons its page gives.
    if (equal) {
        if (conductors.empty())
            return Result::failed(QStringLiteral("馈线电缆参数缺失"));
        if (const QString reason = inputProblem(feeder, conductors.front().drop); !reason.isEmpty())
            return Result::failed(reason);
    }
    const FeederLoads& loads = loadsOf(feeder);
    if (!loads.problem.isEmpty())
        return Result::failed(loads.problem);
    const PoleList& list = loads.list();
    const double u0 = feeder.phaseVoltageV;
    const int runs = static_cast<int>(list.runs.size());
    if (static_cast<int>(conductors.size()) != runs)
        return Result::failed(QStringLiteral("馈线电缆参数与线路段数不符"));
    for (int r = 0; r < runs; ++r)
        if (const QString reason = conductorProblem(conductors[r]); !reason.isEmpty())
            return Result::failed(runs > 1 ? runLabel(list.runs[r], r == 0) + u'：' + reason
                                           : reason);
    if (!loads.anyLamp)
        return Result::failed(QStringLiteral("灯杆表中没有灯具"));

    const std::vector<const FeederPole*>& poles = loads.poles;
    const std::vector<int>& runOf = loads.runOf;
    const std::vector<int>& parent = loads.parent;
    const std::vector<std::array<Phasor, 3>>& beyond = loads.beyond;
    const int n = static_cast<int>(poles.size());
    StepChain e = loads.chain;
    LampFeederResult r;
    r.poles = loads.skeleton;
    r.totalLoadW = loads.totalLoadW;
    r.thirdHarmonicSumA = loads.thirdHarmonicSumA;
    r.thirdHarmonicClassC = loads.thirdHarmonicClassC;

    // Out from the supply: each segment's drop and impedance added to those of its parent.
    std::vector<std::array<Phasor, 3>> drop(static_cast<std::size_t>(n));
    // For the model: Σ I·ℓ of the three phases and the neutral over the path, run by run.
    using RunMoments = std::vector<std::pair<int, std::array<Phasor, 4>>>;
    std::vector<RunMoments> moments(model ? static_cast<std::size_t>(n) : 0);
    for (const int p : loads.walk) {
        PoleDrop& d = r.poles[p];
        const RunConductors& c = conductors[runOf[p]];
        const FeederPole& pole = *poles[p];
        const double rPhase = c.drop.resistanceOhmPerKm;
        const double xPhase = c.drop.reactanceOhmPerKm;
        const double rNeutral = c.drop.neutralResistanceOhmPerKm;
        const double xNeutral = c.drop.neutralReactanceOhmPerKm;
        const double segmentKm = pole.spanM / 1000.0;
        const Phasor neutral = loads.neutral[p];
        // The products of phasors written out, (a + jb)(c + jd) = (ac − bd) + j(ad + bc): this
        // loop runs for every pole of every section sizing tries. I_N·Z′ is the same on the
        // three phases.
        const double neutralRe = neutral.real() * rNeutral - neutral.imag() * xNeutral;
        const double neutralIm = neutral.real() * xNeutral + neutral.imag() * rNeutral;
        std::array<Phasor, 3>& here = drop[p];
        if (parent[p] >= 0) {
            here = drop[parent[p]];
            d.path = r.poles[parent[p]].path;
        }
        for (int k = 0; k < 3; ++k) {
            const Phasor& i = beyond[p][k];
            const double re = i.real() * rPhase - i.imag() * xPhase + neutralRe;
            const double im = i.real() * xPhase + i.imag() * rPhase + neutralIm;
            here[k] = Phasor(here[k].real() + segmentKm * re, here[k].imag() + segmentKm * im);
            // The component along the phase voltage: Re(ΔV · conj(unit of the phase)).
            const double along =
                here[k].real() * kPhaseUnit[k].real() + here[k].imag() * kPhaseUnit[k].imag();
            d.lossPercent[k] = e.checked(along / u0 * 100.0);
        }
        if (model) {
            RunMoments& m = moments[p];
            if (parent[p] >= 0)
                m = moments[parent[p]];
            if (m.empty() || m.back().first != runOf[p])
                m.push_back({runOf[p], {}});
            for (int k = 0; k < 3; ++k)
                m.back().second[k] += segmentKm * beyond[p][k];
            m.back().second[3] += segmentKm * neutral;
        }
        extendPath(d.path, c, pole.spanM);
        d.distanceM = d.path.lengthM;
        r.totalLengthM = std::max(r.totalLengthM, d.distanceM);
    }

    if (model) {
        for (int p = 0; p < n; ++p) {
            if (poles[p]->lamps.empty())
                continue;
            const int k = indexOf(loads.phases[p]);
            const Phasor along = std::conj(kPhaseUnit[k]) * (100.0 / u0);
            std::vector<PoleLossTerm> terms;
            terms.reserve(moments[p].size());
            for (const auto& [run, m] : moments[p])
                terms.push_back({run, m[k] * along, m[3] * along});
            model->poles.push_back(std::move(terms));
        }
    }

    // The worst pole, judged on the phase of its lamps; poles without lamps are not judged.
    int worst = -1;
    for (int p = 0; p < n; ++p) {
        if (poles[p]->lamps.empty())
            continue;
        const double atLamps = r.poles[p].lossPercent[indexOf(r.poles[p].phase)];
        if (worst < 0 || atLamps > r.worstLossPercent) {
            worst = p;
            r.worstLossPercent = atLamps;
        }
    }
    r.worstPole = r.poles[worst].pole;
    r.worstPhase = r.poles[worst].phase;
    std::size_t onPath = 0;
    for (int p = worst; p >= 0; p = parent[p])
        ++onPath;
    r.worstPath.resize(onPath);
    for (int p = worst; p >= 0; p = parent[p])
        r.worstPath[--onPath] = p;

    // The weakest pole of the feeder and of each run: the larger phase-protective loop
    // impedance, on a tie the farther one.
    std::vector<double> loopSquared(static_cast<std::size_t>(n));
    for (int p = 0; p < n; ++p)
        loopSquared[p] = loopImpedanceSquared(r.poles[p].path);
    auto weakerPole = [&](int a, int b) {
        return loopSquared[a] > loopSquared[b] ||
               (loopSquared[a] == loopSquared[b] &&
                r.poles[a].path.lengthM > r.poles[b].path.lengthM);
    };
    r.weakestPole = 0;
    for (int p = 1; p < n; ++p)
        if (weakerPole(p, r.weakestPole))
            r.weakestPole = p;

    // At the supply and at each run's start.
    for (int k = 0; k < 3; ++k)
        r.phaseCurrentsA[k] = e.checked(r.poles[0].segmentCurrentsA[k]);
    r.neutralCurrentA = r.poles[0].segmentNeutralA;
    r.largestPhaseCurrentA = *std::max_element(r.phaseCurrentsA.begin(), r.phaseCurrentsA.end());
    r.runs.reserve(list.runs.size());
    for (int k = 0; k < runs; ++k) {
        RunResult run;
        run.name = list.runs[k].name.trimmed();
        run.firstPole = loads.firstOfRun[k];
        run.poleCount = static_cast<int>(list.runs[k].poles.size());
        run.fromPole = parent[run.firstPole];
        for (const FeederPole& pole : list.runs[k].poles)
            run.lengthM += pole.spanM;
        run.phaseCurrentsA = r.poles[run.firstPole].segmentCurrentsA;
        run.neutralCurrentA = r.poles[run.firstPole].segmentNeutralA;
        run.largestPhaseCurrentA =
            *std::max_element(run.phaseCurrentsA.begin(), run.phaseCurrentsA.end());
        run.thirdHarmonicSumA = loads.harmonicBeyond[run.firstPole];
        if (run.fromPole >= 0)
            run.origin = r.poles[run.fromPole].path;
        run.weakestPole = run.firstPole;
        for (int p = run.firstPole + 1; p < run.firstPole + run.poleCount; ++p)
            if (weakerPole(p, run.weakestPole))
                run.weakestPole = p;
        r.runs.push_back(std::move(run));
    }

    // The handbook figure: the path to the worst pole, carried on to the end of its run.
    std::vector<int> path = r.worstPath;
    for (int p = worst + 1; p < n && runOf[p] == runOf[worst]; ++p)
        path.push_back(p);
    std::vector<double> momentOfRun(list.runs.size(), 0.0);
    double cosPhi = *loads.commonCosPhi;
    if (!loads.oneCosPhi) {
        Phasor total;
        for (int k = 0; k < 3; ++k)
            total += beyond[0][k] * std::conj(kPhaseUnit[k]);
        cosPhi = total.real() / std::abs(total);
    }
    for (const int p : path) {
        const double moment = e.checked(loads.currentBeyond[p] * poles[p]->spanM / 1000.0);
        momentOfRun[runOf[p]] += moment;
    }
    const bool singlePhase = feeder.connection == FeederConnection::SinglePhase;
    r.momentLineKind = singlePhase ? LineKind::SinglePhasePhaseVoltage : LineKind::ThreePhase;
    r.momentVoltageKv = singlePhase ? u0 / 1000.0 : nominalLineVoltageKv(u0);
    for (int k = 0; k < runs; ++k) {
        if (momentOfRun[k] == 0.0)
            continue;
        const double moment = singlePhase ? momentOfRun[k] : momentOfRun[k] / 3.0;
        r.currentMomentAkm += moment;
        const Computed<double> loss = handbookLossPercent(
            r.momentLineKind, moment, r.momentVoltageKv, cosPhi, conductors[k].drop);
        if (!loss)
            return Result::failed(loss.reason());
        r.momentLossPercent += *loss;
    }

    if (equal) {
        // The equal feeder's own figures, as its page states them.
        r.lampCurrentA =
            e.quotient(feeder.lampPowerW * feeder.ballastFactor, u0 * feeder.lampPowerFactor);
        r.poleCurrentA = e.checked(feeder.lampsPerPole * r.lampCurrentA);
        r.totalLengthM = e.checked(feeder.firstPoleM + (feeder.poles - 1) * feeder.spacingM);
    } else {
        // One lamp throughout: its current.
        const LampGroup* lamp = nullptr;
        bool oneLamp = true;
        for (const FeederPole* p : poles)
            for (const LampGroup& g : p->lamps) {
                if (lamp && !(g.powerW == lamp->powerW && g.ballastFactor == lamp->ballastFactor &&
                              g.powerFactor == lamp->powerFactor))
                    oneLamp = false;
                lamp = &g;
            }
        if (oneLamp && lamp)
            r.lampCurrentA = lampCurrentOf(*lamp, u0);
    }
    if (e.failed())
        return Result::failed(e.reason());
    return r;
}

} // namespace

Computed<LampFeederResult> computePoleFeeder(const LampFeeder& feeder,
                                             const std::vector<RunConductors>& conductors) {
    return walkPoleFeeder(feeder, conductors, nullptr);
}

Computed<FeederLossModel> feederLossModel(const LampFeeder& feeder,
                                          const std::vector<RunConductors>& conductors) {
    FeederLossModel model;
    const Computed<LampFeederResult> walked = walkPoleFeeder(feeder, conductors, &model);
    if (!walked)
        return Computed<FeederLossModel>::failed(walked.reason());
    return model;
}

} // namespace korvane
