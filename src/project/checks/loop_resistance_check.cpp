// The phase-protective loop resistance of the line against the largest that lets the breaker's
// release still trip on a fault at the line's end: Rphp ≤ Rlim = 44 / (L · In).
#include "project/checks/circuit_context.h"

namespace korvane {

CheckUnit loopResistanceCheck() {
    CheckUnit unit{CircuitCheck::LoopResistance, true, true, nullptr};
    unit.judge = [](const CircuitContext& c) {
        CircuitResult& r = c.figures();
        const BreakerChoice& breaker = c.breaker();
        if (!breaker.rating) {
            const QString noBreaker = CircuitContext::noBreakerReason();
            r.loopResistance = Computed<LoopResistanceCheck>::failed(noBreaker);
            return CheckOutcome::notComputed(noBreaker);
        }
        const double rphp = c.line().perMetreMilliOhm.loopResistance; // Ω/km
        const LoopResistanceCheck loop =
            checkLoopResistance(c.line().lengthKm, breaker.rating->breakerA, rphp);
        if (!loop.computed) {
            r.loopResistance =
                Computed<LoopResistanceCheck>::failed(QStringLiteral("允许相保电阻 Rlim 无法计算"));
            return CheckOutcome::notComputed(r.loopResistance.reason());
        }
        r.loopResistance = loop;
        // A path of several cables (a feeder with branches) has an averaged Rphp, written to
        // four decimals; one cable's is the handbook's figure as it stands.
        const CheckStatement s =
            compare(figure(u"Rphp"_qs, rphp, u"Ω/km"_qs,
                           c.branched() ? FigureDigits::fixed(4) : FigureDigits::shortest()),
                    loop.passed ? Relation::AtMost : Relation::Above,
                    figure(u"Rlim"_qs, loop.limitOhmPerKm, u"Ω/km"_qs, FigureDigits::fixed(4)));
        return loop.passed ? CheckOutcome::pass({s}) : CheckOutcome::fail({s});
    };
    return unit;
}

} // namespace korvane
