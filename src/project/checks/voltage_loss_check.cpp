// Δu % of the circuit, as the schedule shows it, within the project's limit (the limit itself
// included): GB 50054-2011 3.2.2 / GB 51348-2019 3.4.2, the limit the engineer sets.
#include "project/checks/circuit_context.h"

namespace korvane {

namespace {

CheckOutcome voltageLossOutcome(const Computed<double>& shownLossPercent, double limitPercent) {
    if (!shownLossPercent)
        return CheckOutcome::notComputed(shownLossPercent.reason());
    const bool within = lossWithinLimit(*shownLossPercent, limitPercent);
    const CheckStatement s = compare(
        figure(u"Δu"_qs, *shownLossPercent, u"%"_qs, FigureDigits::fixed(kLossPercentDecimals)),
        within ? Relation::AtMost : Relation::Above,
        figure({}, limitPercent, u"%"_qs, FigureDigits::shortest()));
    return within ? CheckOutcome::pass({s}) : CheckOutcome::fail({s});
}

} // namespace

CheckUnit voltageLossCheck() {
    CheckUnit unit{CircuitCheck::VoltageLoss, true, false, nullptr};
    unit.judge = [](const CircuitContext& c) {
        return voltageLossOutcome(c.figures().lossPercent, c.limitPercent());
    };
    return unit;
}

} // namespace korvane
