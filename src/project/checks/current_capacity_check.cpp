// The current-carrying capacity of the cable laid as the circuit is (GB/T 16895.6-2014 annex B
// with its correction factors, the harmonic factor of annex E for a lamp feeder's neutral)
// against the breaker chosen for it: Ib ≤ In ≤ Iz and I2 ≤ 1.45·Iz (GB 50054-2011 6.3.3), and
// IN ≤ Iz where the cable is sized on the neutral. A feeder with branches: every cable section
// against the one breaker that protects them all.
#include "project/checks/circuit_context.h"

#include "project/handbook_constants.h"

namespace korvane {

namespace {

// Iz of a cable of the circuit laid as the circuit is, with the harmonic factor of a lamp
// feeder, against the breaker chosen for it; Ib the current of that cable.
Computed<CapacityCheck> capacityCheck(const CircuitContext& ctx, const CableIdentity& cable,
                                      double loadCurrentA, const Computed<FeederNeutral>& neutral,
                                      const std::optional<SwitchgearRating>& rating) {
    using Result = Computed<CapacityCheck>;
    if (!rating)
        return Result::failed(CircuitContext::noBreakerReason());
    const Computed<CableConstruction> construction = cableConstruction(cable);
    if (!construction)
        return Result::failed(
            QStringLiteral("载流量表只含四芯电力电缆（聚氯乙烯、交联聚乙烯绝缘），无“%1”")
                .arg(cable.lossType));
    const CableCatalogue& catalogue = ctx.catalogue();
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
        effectiveConditions(ctx.circuit().installation, ctx.project().installation));
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

CheckFigure amperes(QString symbol, double a) {
    return figure(std::move(symbol), a, u"A"_qs, FigureDigits::tenthTrimmed());
}

// Ib ≤ In ≤ Iz and I2 ≤ 1.45·Iz, and IN ≤ Iz where the cable is sized on the neutral; failed
// with each condition that does not hold.
CheckOutcome capacityOutcome(const Computed<CapacityCheck>& computed) {
    if (!computed)
        return CheckOutcome::notComputed(computed.reason());
    const CapacityCheck& c = *computed;
    const OverloadProtection& o = c.overload;
    const CheckFigure ib = amperes(u"Ib"_qs, o.loadCurrentA);
    const CheckFigure in = figure(u"In"_qs, o.ratedCurrentA, u"A"_qs, FigureDigits::shortest());
    const CheckFigure iz = amperes(u"Iz"_qs, c.capacityA);
    const CheckFigure i2 = amperes(u"I2"_qs, o.conventionalTripA);
    const CheckFigure limit = amperes(u"1.45Iz"_qs, kConventionalTripLimit * c.capacityA);
    std::vector<CheckStatement> failed;
    if (!o.loadWithinRating)
        failed.push_back(compare(ib, Relation::Above, in));
    if (!o.ratingWithinCapacity)
        failed.push_back(compare(in, Relation::Above, iz));
    if (!o.tripWithinLimit)
        failed.push_back(compare(i2, Relation::Above, limit));
    if (!c.neutralWithinCapacity)
        failed.push_back(compare(amperes(u"IN"_qs, *c.neutralCurrentA), Relation::Above, iz));
    if (!failed.empty())
        return CheckOutcome::fail(std::move(failed));
    std::vector<CheckStatement> figures{{{ib, in, iz}, {Relation::AtMost, Relation::AtMost}, false},
                                        compare(i2, Relation::AtMost, limit)};
    if (c.neutralCurrentA)
        figures.push_back(
            compare(amperes(u"IN"_qs, *c.neutralCurrentA), Relation::AtMost, named(u"Iz"_qs)));
    return CheckOutcome::pass(std::move(figures));
}

} // namespace

CheckUnit currentCapacityCheck() {
    CheckUnit unit{CircuitCheck::CurrentCapacity, true, true, nullptr};
    unit.judge = [](const CircuitContext& c) {
        CircuitResult& r = c.figures();
        const BreakerChoice& breaker = c.breaker();
        if (c.sections().empty()) {
            r.capacity =
                capacityCheck(c, c.line().cable, *r.loadCurrentA, r.neutral, breaker.rating);
            return capacityOutcome(r.capacity);
        }
        // Each section's current is that of the lamps beyond its start, its neutral with their
        // third harmonics (GB/T 16895.6-2014 annex E).
        const LampFeederResult& poles = *r.feeder;
        const LampFeeder& feeder = std::get<LampFeeder>(c.circuit().load);
        const FeederHarmonics h = feederHarmonics(feeder, poles);
        for (std::size_t k = 0; k < c.sections().size(); ++k) {
            SectionResult& sec = c.sections()[k];
            const RunResult& run = poles.runs[k];
            Computed<FeederNeutral> neutral = r.neutral;
            if (r.neutral) {
                FeederNeutral own = *r.neutral;
                own.withoutHarmonicsA = run.neutralCurrentA;
                own.withHarmonicsA = neutralWithHarmonics(
                    h, run.neutralCurrentA, run.phaseCurrentsA, run.thirdHarmonicSumA);
                neutral = own;
            }
            sec.capacity =
                capacityCheck(c, sec.cable, run.largestPhaseCurrentA, neutral, breaker.rating);
            sec.capacityOutcome = capacityOutcome(sec.capacity);
        }
        r.capacity = c.sections()[0].capacity;
        return sectionsOutcome(c.sections(), &SectionResult::capacityOutcome);
    };
    return unit;
}

} // namespace korvane
