// The thermal stress of the cable under the largest fault it sees, I″k3 at its origin just
// after the breaker (GB 50054-2011 6.2.3): Smin = √t·I/K < S, or Smin = √(I²t)/K with the
// protective device's let-through energy where it clears in under 0.1 s. K is the cable's own,
// from its conductor and insulation (GB 50054-2011 / IEC 60364-5-54 table 43A). A feeder with
// branches: every cable section against the fault at its own origin.
#include "project/checks/circuit_context.h"

#include "base/number_format.h"
#include "project/handbook_constants.h"

#include <cmath>

namespace korvane {

Computed<double> cableThermalCoefficient(const CableIdentity& cable, const Protection& protection) {
    if (const Computed<CableConstruction> construction = cableConstruction(cable))
        return thermalCoefficientK(*construction);
    // A line the table of K does not know (not a four-core PVC or XLPE cable): the K given.
    if (std::isfinite(protection.coefficientK) && protection.coefficientK > 0.0)
        return protection.coefficientK;
    return Computed<double>::failed(QStringLiteral("热稳定系数 K 应大于0"));
}

namespace {

Computed<ThermalStability> thermalAtOrigin(const Computed<ShortCircuitResult>& origin,
                                           const Protection& protection, double k) {
    if (!origin)
        return Computed<ThermalStability>::failed(QStringLiteral("始端短路电流无法计算：") +
                                                  origin.reason());
    if (usesLetThrough(protection)) {
        ThermalStability t;
        const double smin = std::sqrt(*protection.letThroughA2s) / k;
        if (!std::isfinite(smin))
            return Computed<ThermalStability>::failed(QStringLiteral("热稳定最小截面无法计算"));
        t.computed = true;
        t.minimumCrossSectionMm2 = roundHalfAwayFromZero(smin, 4);
        t.text = formatFixed(smin, 4, RegionalFormat{});
        return t;
    }
    const ThermalStability t = thermalMinimumCrossSection(protection.durationS, origin->ik3, k);
    if (!t.computed)
        return Computed<ThermalStability>::failed(QStringLiteral("热稳定最小截面无法计算"));
    return t;
}

// Smin < S; passed only with Smin strictly below S, as the verification report judges it.
CheckOutcome thermalOutcome(const Computed<ThermalStability>& thermal,
                            const Computed<ShortCircuitResult>& origin,
                            const CableIdentity& cable) {
    const auto s = cable.crossSectionMm2();
    if (!thermal)
        return CheckOutcome::notComputed(thermal.reason());
    if (!s || *s <= 0.0)
        return CheckOutcome::notComputed(QStringLiteral("电缆截面不是数值"));
    const bool ok = thermal->minimumCrossSectionMm2 < *s;
    CheckStatement fault =
        state(figure(u"始端 I″k3"_qs, origin->ik3, u"kA"_qs, FigureDigits::fixed(3)));
    fault.aside = true;
    const std::vector<CheckStatement> figures{
        compare(
            figure(u"Smin"_qs, thermal->minimumCrossSectionMm2, u"mm²"_qs, FigureDigits::fixed(4)),
            ok ? Relation::Below : Relation::AtLeast,
            figure(u"S"_qs, *s, u"mm²"_qs, FigureDigits::shortest())),
        fault};
    return ok ? CheckOutcome::pass(figures) : CheckOutcome::fail(figures);
}

// One cable's check against the fault at its origin, its K kept beside its Smin.
CheckOutcome judgeCable(const CableIdentity& cable, const Computed<ShortCircuitResult>& origin,
                        const Protection& protection, Computed<ThermalStability>& thermal,
                        Computed<double>& coefficient) {
    coefficient = cableThermalCoefficient(cable, protection);
    thermal = coefficient ? thermalAtOrigin(origin, protection, *coefficient)
                          : Computed<ThermalStability>::failed(coefficient.reason());
    return thermalOutcome(thermal, origin, cable);
}

} // namespace

CheckUnit thermalStabilityCheck() {
    CheckUnit unit{CircuitCheck::ThermalStability, true, true, nullptr};
    unit.judge = [](const CircuitContext& c) {
        CircuitResult& r = c.figures();
        if (c.sections().empty())
            return judgeCable(c.line().cable, r.originShortCircuit, c.protection(), r.thermal,
                              r.thermalCoefficientK);
        const LampFeederResult& poles = *r.feeder;
        for (std::size_t k = 0; k < c.sections().size(); ++k) {
            SectionResult& sec = c.sections()[k];
            sec.originShortCircuit =
                k == 0 ? r.originShortCircuit
                       : computeShortCircuit(shortCircuitInput(
                             c.project().supply,
                             equivalentLine(c.circuit().line, poles.runs[k].origin)));
            sec.thermalOutcome = judgeCable(sec.cable, sec.originShortCircuit, c.protection(),
                                            sec.thermal, sec.thermalCoefficientK);
        }
        r.thermal = c.sections()[0].thermal;
        r.thermalCoefficientK = c.sections()[0].thermalCoefficientK;
        return sectionsOutcome(c.sections(), &SectionResult::thermalOutcome);
    };
    return unit;
}

} // namespace korvane
