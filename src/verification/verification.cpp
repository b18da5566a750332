#include "verification/verification.h"

#include "base/number_format.h"

#include <cmath>
#include <iterator>
#include <utility>

namespace korvane {

namespace {

// Line class table: upper bound of x (A, included), In of QR and Ie of QC.
struct LineClassRow {
    double upToA;
    int breakerA;
    int contactorA;
};
constexpr LineClassRow kLineClasses[] = {
    {14, 16, 18}, {18, 20, 25}, {23, 25, 25},   {30, 32, 32},    {38, 40, 40},    {48, 50, 50},
    {60, 63, 65}, {75, 80, 80}, {90, 100, 105}, {125, 125, 125}, {140, 140, 150}, {160, 160, 180},
};

// Standard rated residual operating currents IΔn of RCDs, mA.
constexpr int kResidualSettingsMa[] = {30, 100, 200, 300, 500};
constexpr double kLeakageMargin = 4.0;

// Transformer class table: rated capacity (kVA), Ie of QS and Ie of QF (A).
struct TransformerRow {
    int capacityKva;
    int isolatorA;
    int breakerA;
};
constexpr TransformerRow kTransformerClasses[] = {
    {10, 18, 16},      {20, 32, 32},       {30, 50, 50},       {50, 80, 80},    {63, 105, 100},
    {80, 150, 140},    {100, 180, 160},    {125, 220, 200},    {160, 350, 315}, {200, 400, 350},
    {250, 400, 400},   {315, 600, 500},    {400, 800, 700},    {500, 800, 800}, {630, 1000, 1000},
    {800, 1500, 1500}, {1000, 1600, 1600}, {1250, 2000, 2000},
};
constexpr double kOutOfRangeCapacityKva = 1600.0;
constexpr double kSmallestListedKva = 10.0;
constexpr double kLargestListedKva = 1250.0;

// Permissible loop factor U0 / 5 = 220 V / 5 (instantaneous release at 5 × In).
constexpr double kLoopVoltageFactor = 44.0;
// Breaker setting Ir2 = 4 × In.
constexpr double kSettingFactor = 4.0;

// A computed limit as it is written (15 significant digits): 44 / (0.55 km × 25 A) is 3.2 Ω/km,
// not the binary quotient a hair below it, so an Rphp of 3.2 meets it.
double asWritten(double value) {
    return roundToSignificant(value, 15);
}

QString integerText(const std::optional<int>& value) {
    return value ? QString::number(*value) : QString();
}

QString voltageLossLine(const std::optional<double>& percent, bool notComputed) {
    if (!percent)
        return QStringLiteral(" ㈡、计算电压损失Δu%: 未计算");
    // A loss page 0 could not work out from a real line, or a negative one, proves nothing.
    if (notComputed || *percent < 0.0)
        return QStringLiteral(" ㈡、计算电压损失Δu%: 无法计算，未作校验");
    // The 5 % limit of JGJ 16-2008 for lighting circuits.
    if (*percent <= 5.0)
        return QStringLiteral(" ㈡、计算电压损失Δu% ≤ 5% 符合要求:");
    return QStringLiteral(" ㈡、计算电压损失Δu% > 5% 不符合要求:");
}

// Line 16: the RCD setting, or why none of the standard settings fits.
QString residualSettingLine(const ResidualCurrentSetting& residual) {
    const QString head = QStringLiteral("     RCD额定剩余动作电流整定值: Ivn ≥4Ixn = ") +
                         formatGeneral(residual.settingFloorMa) + QStringLiteral("mA  ");
    if (!residual.ratedResidualMa)
        return head + QStringLiteral("未选择 Ivn（4Ixn 超过最大整定值 %1mA）")
                          .arg(kResidualSettingsMa[std::size(kResidualSettingsMa) - 1]);
    return head + QStringLiteral("取 Ivn =") + integerText(residual.ratedResidualMa) +
           QStringLiteral("mA ");
}

// Line 24: the transformer-side isolator and breaker, or why the table gives none.
QString transformerSwitchgearLine(const TransformerSwitchgear& transformer) {
    if (!transformer.isolatorRatedA || !transformer.breakerRatedA) {
        const double kva = transformer.capacityKva;
        const QString why = kva < kSmallestListedKva || kva > kLargestListedKva
                                ? QStringLiteral("变压器容量超出选择表范围 %1～%2kVA")
                                      .arg(kSmallestListedKva)
                                      .arg(kLargestListedKva)
                                : QStringLiteral("变压器容量不是选择表中的容量等级");
        return QStringLiteral("     隔离开关 QS、保护断路器QF: 未选择额定电流（") + why +
               QStringLiteral("）");
    }
    return QStringLiteral("     隔离开关 QS: 额定电流 Ie =") +
           integerText(transformer.isolatorRatedA) + QStringLiteral("A :") +
           QStringLiteral("保护断路器QF: 额定电流 Ie =") + integerText(transformer.breakerRatedA) +
           QStringLiteral("A");
}

} // namespace

LineSwitchgear selectLineSwitchgear(double loadCurrentA) {
    LineSwitchgear result;
    StepChain chain;
    const double x = chain.value(kSelectionFactor * loadCurrentA);
    if (chain.failed())
        return result;
    result.computed = true;
    result.selectionCurrentA = x;
    for (const LineClassRow& row : kLineClasses) {
        if (x <= row.upToA) {
            result.breakerRatedA = row.breakerA;
            result.contactorRatedA = row.contactorA;
            return result;
        }
    }
    result.outOfRange = true;
    return result;
}

ResidualCurrentSetting selectResidualCurrentSetting(double leakagePerKmMa, double lengthKm) {
    ResidualCurrentSetting result;
    const double ixn = leakagePerKmMa * lengthKm;
    StepChain chain;
    const double floor = chain.value(kLeakageMargin * ixn);
    if (chain.failed())
        return result;
    result.computed = true;
    result.leakageMa = ixn;
    result.settingFloorMa = floor;
    for (int setting : kResidualSettingsMa) {
        if (setting >= floor) {
            result.ratedResidualMa = setting;
            break;
        }
    }
    return result;
}

TransformerSwitchgear selectTransformerSwitchgear(double capacityKva) {
    TransformerSwitchgear result;
    result.capacityKva = capacityKva;
    if (capacityKva == kOutOfRangeCapacityKva) {
        result.capacityOutOfRange = true;
        return result;
    }
    for (const TransformerRow& row : kTransformerClasses) {
        if (capacityKva == row.capacityKva) {
            result.isolatorRatedA = row.isolatorA;
            result.breakerRatedA = row.breakerA;
            break;
        }
    }
    return result;
}

LoopResistanceCheck checkLoopResistance(double lengthKm, double breakerRatedA,
                                        double loopResistanceOhmPerKm) {
    LoopResistanceCheck result;
    StepChain chain;
    const double limit =
        chain.value(asWritten(chain.divide(kLoopVoltageFactor, lengthKm * breakerRatedA)));
    if (chain.failed())
        return result;
    result.computed = true;
    result.limitOhmPerKm = limit;
    result.passed = loopResistanceOhmPerKm <= limit;
    return result;
}

SensitivityCheck checkSensitivity(double faultCurrentKa, double breakerRatedA) {
    SensitivityCheck result;
    StepChain chain;
    const double ratio =
        chain.divide(chain.value(1000.0 * faultCurrentKa), kSettingFactor * breakerRatedA);
    if (chain.failed())
        return result;
    result.computed = true;
    result.ratio = ratio;
    result.text = formatFixed(ratio, 2);
    result.belowMinimum = roundHalfAwayFromZero(ratio, 2) < kMinimumSensitivity;
    return result;
}

ThermalStability thermalMinimumCrossSection(double durationS, double threePhaseCurrentKa,
                                            double coefficientK) {
    ThermalStability result;
    StepChain chain;
    const double smin = chain.divide(
        chain.value(chain.squareRoot(durationS) * (1000.0 * threePhaseCurrentKa)), coefficientK);
    if (chain.failed())
        return result;
    result.computed = true;
    result.minimumCrossSectionMm2 = roundHalfAwayFromZero(smin, 4);
    result.text = formatFixed(smin, 4);
    return result;
}

QString verificationReport(const VerificationFindings& f) {
    const QString& s = f.crossSectionText;
    const QString& smin = f.thermal.text;

    QString thermalHeading;
    QString thermalDetail;
    if (!f.crossSectionMm2) {
        thermalHeading = QStringLiteral(" ㈢、短路热稳定校验:");
        thermalDetail = QStringLiteral("     热稳定最小允许截面Smin = ") + smin +
                        QStringLiteral(" (未选择电缆截面)");
    } else if (f.thermal.minimumCrossSectionMm2 < *f.crossSectionMm2) {
        thermalHeading = QStringLiteral(" ㈢、短路热稳定校验通过:");
        thermalDetail = QStringLiteral("     热稳定最小允许截面Smin满足 Smin ＜ S 条件: ") + smin +
                        QStringLiteral(" <  ") + s;
    } else {
        thermalHeading = QStringLiteral(" ㈢、短路热稳定校验不通过:");
        thermalDetail = QStringLiteral("     热稳定最小允许截面Smin不满足 Smin ＜ S 条件: ") +
                        smin + QStringLiteral(" ≥  ") + s;
    }

    const QString sensitivityLabel = f.mode == ProtectionMode::EarthFault
                                         ? QStringLiteral(" ㈤、保护灵敏度校验: Id.min / Ir2 = ")
                                         : QStringLiteral(" ㈤、保护灵敏度校验: Ik.min / Ir2 = ");
    const QString sensitivityVerdict = f.sensitivity.belowMinimum
                                           ? QStringLiteral("  < 1.3  检验不合格")
                                           : QStringLiteral("  > 1.3  检验合格");

    const QString lines[] = {
        QString(),
        QStringLiteral("校验结果："),
        QString(),
        QStringLiteral(" ㈠、选择电缆截面:S = ") + s + QStringLiteral("mm"),
        QString(),
        voltageLossLine(f.voltageLossPercent, f.voltageLossNotComputed),
        QString(),
        thermalHeading,
        QString(),
        thermalDetail,
        QString(),
        QStringLiteral(" ㈣、选择线路剩余电流保护断路器 QR: 额定电流 In = ") +
            integerText(f.line.breakerRatedA) + QStringLiteral("A"),
        QString(),
        QStringLiteral("     线路泄露电流计算值: Ixn = ") + formatGeneral(f.residual.leakageMa) +
            QStringLiteral("mA "),
        QString(),
        residualSettingLine(f.residual),
        QString(),
        QStringLiteral("     选择线路接触器 QC: 额定电流 Ie = ") +
            integerText(f.line.contactorRatedA) + QStringLiteral("A"),
        QString(),
        sensitivityLabel + f.sensitivity.text + sensitivityVerdict,
        QString(),
        QStringLiteral(" ㈥、变压器容量 ") + f.transformerCapacityText +
            QStringLiteral("kVA : 变压器低压侧电器选择如下："),
        QString(),
        transformerSwitchgearLine(f.transformer),
        QString(),
        QStringLiteral("     母线规格 WB: ") + f.busbarMaterial + QStringLiteral("—") +
            f.busbarSize,
    };
    QString report;
    for (const QString& line : lines) {
        if (&line != std::begin(lines))
            report += QStringLiteral("\r\n");
        report += line;
    }
    return report;
}

namespace {

QString quantityName(VerificationQuantity quantity) {
    switch (quantity) {
    case VerificationQuantity::LoadCurrent:
        return QStringLiteral("负荷电流 Ib");
    case VerificationQuantity::LeakagePerKm:
        return QStringLiteral("单位长度泄漏电流");
    case VerificationQuantity::Length:
        return QStringLiteral("线路长度 L");
    case VerificationQuantity::TransformerCapacity:
        return QStringLiteral("变压器容量");
    case VerificationQuantity::LoopResistance:
        return QStringLiteral("单位长度相保电阻 Rphp");
    case VerificationQuantity::EarthFaultCurrent:
        return QStringLiteral("接地故障电流 Id");
    case VerificationQuantity::SinglePhaseCurrent:
        return QStringLiteral("单相短路电流 I″k1");
    case VerificationQuantity::Duration:
        return QStringLiteral("短路持续时间 t");
    case VerificationQuantity::ThreePhaseCurrent:
        return QStringLiteral("三相短路电流 I″k3");
    case VerificationQuantity::CoefficientK:
        return QStringLiteral("热稳定系数 K");
    case VerificationQuantity::SelectionCurrent:
        return QStringLiteral("选择电流 1.5Ib");
    case VerificationQuantity::ResidualSetting:
        return QStringLiteral("线路泄漏电流 Ixn");
    case VerificationQuantity::LoopResistanceLimit:
        return QStringLiteral("允许相保电阻 Rlim");
    case VerificationQuantity::Sensitivity:
        return QStringLiteral("保护灵敏度");
    case VerificationQuantity::MinimumCrossSection:
        return QStringLiteral("热稳定最小截面 Smin");
    }
    return {};
}

// What a value must be for a real line: currents and leakage are never negative; a line has a
// length, the thermal coefficient K is a positive material constant, and the thermal check needs
// a fault that flows (I″k3 > 0) for some time (t > 0): with either at zero Smin would be 0 and
// pass any conductor.
enum class Bound { Any, NotNegative, Positive };

// The run's progress: the first stop ends it, and every value asked for after it fails with the
// stop's reason.
class Run {
public:
    bool stopped() const { return stop_.has_value(); }
    const std::optional<VerificationStop>& stop() const { return stop_; }

    // A value the run needs within its bound; nothing once the run has stopped or when it is not.
    std::optional<double> need(const std::optional<double>& value, VerificationQuantity quantity,
                               Bound bound) {
        if (stopped())
            return std::nullopt;
        using Cause = VerificationStop::Cause;
        if (!value)
            return halt(quantity, Cause::Missing);
        if (bound == Bound::NotNegative && *value < 0.0)
            return halt(quantity, Cause::Negative);
        if (bound == Bound::Positive && *value <= 0.0)
            return halt(quantity, Cause::NotPositive);
        return value;
    }

    // A step's outcome: the value, or the run stopped because the step could not be evaluated.
    template <typename T> Computed<T> step(const T& value, VerificationQuantity quantity) {
        if (!stopped() && !value.computed)
            halt(quantity, VerificationStop::Cause::NotComputable);
        return outcome(value);
    }
    template <typename T> Computed<T> outcome(T value) const {
        if (stopped())
            return Computed<T>::failed(verificationStopReason(*stop_));
        return Computed<T>(std::move(value));
    }
    template <typename T> Computed<T> notReached() const {
        return Computed<T>::failed(stopped() ? verificationStopReason(*stop_) : QString());
    }

private:
    std::nullopt_t halt(VerificationQuantity quantity, VerificationStop::Cause cause) {
        stop_ = VerificationStop{quantity, cause};
        return std::nullopt;
    }
    std::optional<VerificationStop> stop_;
};

// The check of one mode: each value follows from the one before, and a failure (a stop, or a
// loop resistance over its limit) passes on to the values after it with its reason.
ProtectionVerification verifyMode(Run& run, ProtectionMode mode, const VerificationInputs& in,
                                  const LineSwitchgear& line,
                                  const ResidualCurrentSetting& residual,
                                  const TransformerSwitchgear& transformer) {
    using Q = VerificationQuantity;
    const ProtectionInputs& p = in.protection;
    const double breakerA = line.breakerRatedA.value_or(0);

    const auto lengthKm = run.need(p.lengthKm, Q::Length, Bound::Positive);
    const auto rphp = run.need(p.loopResistanceOhmPerKm, Q::LoopResistance, Bound::NotNegative);
    const Computed<LoopResistanceCheck> loop =
        lengthKm && rphp
            ? run.step(checkLoopResistance(*lengthKm, breakerA, *rphp), Q::LoopResistanceLimit)
            : run.notReached<LoopResistanceCheck>();

    const Computed<SensitivityCheck> sensitivity =
        loop.then([&](const LoopResistanceCheck& resistance) {
            if (!resistance.passed)
                return Computed<SensitivityCheck>::failed(
                    QStringLiteral("相保电阻 Rphp 超过允许值 Rlim，未作校验"));
            const auto faultKa =
                mode == ProtectionMode::EarthFault
                    ? run.need(in.faults.earthFaultKa, Q::EarthFaultCurrent, Bound::NotNegative)
                    : run.need(in.faults.singlePhaseKa, Q::SinglePhaseCurrent, Bound::NotNegative);
            if (!faultKa)
                return run.notReached<SensitivityCheck>();
            return run.step(checkSensitivity(*faultKa, breakerA), Q::Sensitivity);
        });

    const Computed<ThermalStability> thermal = sensitivity.then([&](const SensitivityCheck&) {
        const auto durationS = run.need(p.durationS, Q::Duration, Bound::Positive);
        const auto ik3 = run.need(in.faults.threePhaseKa, Q::ThreePhaseCurrent, Bound::Positive);
        const auto k = run.need(p.coefficientK, Q::CoefficientK, Bound::Positive);
        if (!durationS || !ik3 || !k)
            return run.notReached<ThermalStability>();
        return run.step(thermalMinimumCrossSection(*durationS, *ik3, *k), Q::MinimumCrossSection);
    });

    const Computed<QString> report = thermal.then([&](const ThermalStability& stability) {
        const VerifiedInstallation& at = in.installation;
        VerificationFindings findings;
        findings.mode = mode;
        findings.crossSectionText = at.crossSectionText;
        findings.crossSectionMm2 = at.crossSectionMm2;
        findings.voltageLossPercent = at.voltageLossPercent;
        findings.voltageLossNotComputed = at.voltageLossNotComputed;
        findings.line = line;
        findings.residual = residual;
        findings.sensitivity = *sensitivity;
        findings.thermal = stability;
        findings.transformerCapacityText = at.transformerCapacityText;
        findings.transformer = transformer;
        findings.busbarMaterial = at.busbarMaterial;
        findings.busbarSize = at.busbarSize;
        return Computed<QString>(verificationReport(findings));
    });
    return {mode, loop, sensitivity, thermal, report};
}

} // namespace

QString verificationStopReason(const VerificationStop& stop) {
    switch (stop.cause) {
    case VerificationStop::Cause::Missing:
        return quantityName(stop.quantity) + QStringLiteral(" 未输入或不是数值");
    case VerificationStop::Cause::Negative:
        return quantityName(stop.quantity) + QStringLiteral(" 不能为负数");
    case VerificationStop::Cause::NotPositive:
        return quantityName(stop.quantity) + QStringLiteral(" 必须大于0");
    case VerificationStop::Cause::NotComputable:
        return quantityName(stop.quantity) + QStringLiteral(" 无法计算");
    }
    return {};
}

VerificationResult verifyProtection(const VerificationInputs& in) {
    using Q = VerificationQuantity;
    const ProtectionInputs& p = in.protection;
    Run run;

    const auto ib = run.need(p.loadCurrentA, Q::LoadCurrent, Bound::NotNegative);
    const Computed<LineSwitchgear> line =
        ib ? run.step(selectLineSwitchgear(*ib), Q::SelectionCurrent)
           : run.notReached<LineSwitchgear>();

    const auto leakage = run.need(p.leakagePerKmMa, Q::LeakagePerKm, Bound::NotNegative);
    const auto lengthKm = run.need(p.lengthKm, Q::Length, Bound::Positive);
    const Computed<ResidualCurrentSetting> residual =
        leakage && lengthKm
            ? run.step(selectResidualCurrentSetting(*leakage, *lengthKm), Q::ResidualSetting)
            : run.notReached<ResidualCurrentSetting>();

    const auto kva =
        run.need(in.installation.transformerCapacityKva, Q::TransformerCapacity, Bound::Any);
    const Computed<TransformerSwitchgear> transformer =
        kva ? run.outcome(selectTransformerSwitchgear(*kva))
            : run.notReached<TransformerSwitchgear>();

    std::vector<ProtectionVerification> protections;
    const std::pair<bool, ProtectionMode> modes[] = {
        {p.checkEarthFault, ProtectionMode::EarthFault},
        {p.checkShortCircuit, ProtectionMode::ShortCircuit}};
    for (const auto& [asked, mode] : modes) {
        if (!asked)
            continue;
        if (run.stopped())
            protections.push_back({mode, run.notReached<LoopResistanceCheck>(),
                                   run.notReached<SensitivityCheck>(),
                                   run.notReached<ThermalStability>(), run.notReached<QString>()});
        else
            protections.push_back(verifyMode(run, mode, in, *line, *residual, *transformer));
    }
    return {line, residual, transformer, std::move(protections), run.stop()};
}

} // namespace korvane
