// The rated residual operating current of the RCD: the smallest standard Ivn not below four
// times the normal leakage Ixn of the whole cable (with branches, every run's); beyond 500 mA no
// standard value fits and the check fails.
#include "project/checks/circuit_context.h"

namespace korvane {

CheckUnit residualSettingCheck() {
    CheckUnit unit{CircuitCheck::ResidualSetting, true, true, nullptr};
    unit.judge = [](const CircuitContext& c) {
        CircuitResult& r = c.figures();
        const bool branched = c.branched();
        const ResidualCurrentSetting residual = selectResidualCurrentSetting(
            branched && c.cableKm() > 0.0 ? c.leakageMa() / c.cableKm()
                                          : c.protection().leakagePerKmMa,
            branched ? c.cableKm() : c.line().lengthKm);
        if (!residual.computed) {
            r.residual =
                Computed<ResidualCurrentSetting>::failed(QStringLiteral("泄漏电流无法计算"));
            return CheckOutcome::notComputed(r.residual.reason());
        }
        r.residual = residual;
        const CheckFigure floor =
            figure(u"4Ixn"_qs, residual.settingFloorMa, u"mA"_qs, FigureDigits::fixed(2));
        if (!residual.ratedResidualMa)
            return CheckOutcome::fail({compare(
                floor, Relation::Exceeds, figure({}, 500.0, u"mA"_qs, FigureDigits::shortest()))});
        return CheckOutcome::pass({compare(
            figure(u"Ivn"_qs, *residual.ratedResidualMa, u"mA"_qs, FigureDigits::shortest()),
            Relation::AtLeast, floor)});
    };
    return unit;
}

} // namespace korvane
