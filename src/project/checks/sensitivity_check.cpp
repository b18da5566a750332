// The sensitivity of the protection to a fault at the line's end: the fault current (Id where
// the protection is by earth fault, otherwise I″k1) over the release setting Ir2 = 4·In, judged
// to two decimals against 1.3.
#include "project/checks/circuit_context.h"

namespace korvane {

CheckUnit sensitivityCheck() {
    CheckUnit unit{CircuitCheck::Sensitivity, true, true, nullptr};
    unit.judge = [](const CircuitContext& c) {
        CircuitResult& r = c.figures();
        const BreakerChoice& breaker = c.breaker();
        if (!breaker.rating) {
            const QString noBreaker = CircuitContext::noBreakerReason();
            r.sensitivity = Computed<SensitivityCheck>::failed(noBreaker);
            return CheckOutcome::notComputed(noBreaker);
        }
        const bool earthFault = c.protection().mode == ProtectionMode::EarthFault;
        const ShortCircuitResult& faults = *r.shortCircuit;
        const SensitivityCheck sensitivity =
            checkSensitivity(earthFault ? faults.id : faults.ik1, breaker.rating->breakerA);
        if (!sensitivity.computed) {
            r.sensitivity =
                Computed<SensitivityCheck>::failed(QStringLiteral("保护灵敏度无法计算"));
            return CheckOutcome::notComputed(r.sensitivity.reason());
        }
        r.sensitivity = sensitivity;
        const CheckStatement s =
            compare(figure(earthFault ? u"Id / Ir2"_qs : u"I″k1 / Ir2"_qs, sensitivity.ratio, {},
                           FigureDigits::fixed(2)),
                    sensitivity.belowMinimum ? Relation::Below : Relation::AtLeast,
                    figure({}, kMinimumSensitivity, {}, FigureDigits::shortest()));
        return sensitivity.belowMinimum ? CheckOutcome::fail({s}) : CheckOutcome::pass({s});
    };
    return unit;
}

} // namespace korvane
