#include "project/lamp_feeder.h"

#include "voltage_loss/voltage_loss.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

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

    check(f.poles >= 1, QStringLiteral("灯杆数量应为不小于1的整数"));
    check(f.poles <= kMaxFeederPoles, QStringLiteral("灯杆数量不应超过%1").arg(kMaxFeederPoles));
    check(f.lampsPerPole >= 1, QStringLiteral("每杆灯数应为不小于1的整数"));
    check(f.lampsPerPole <= kMaxLampsPerPole,
          QStringLiteral("每杆灯数不应超过%1").arg(kMaxLampsPerPole));
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

} // namespace korvane
