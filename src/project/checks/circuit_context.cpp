#include "project/checks/circuit_context.h"

#include "project/feeders/lamp_feeder.h"

#include <cmath>

namespace korvane {

CircuitContext::CircuitContext(const Project& project, const ProjectCircuit& circuit,
                               const CableCatalogue& catalogue, CircuitResult& result,
                               const std::vector<RunCable>* feederCables, bool branched)
    : project_(project), circuit_(circuit), catalogue_(catalogue), result_(result),
      feederCables_(feederCables), branched_(branched) {}

const std::optional<QString>& CircuitContext::lineFailure() const {
    if (lineDerived_)
        return lineFailure_;
    lineDerived_ = true;
    CircuitResult& r = result_;
    if (!r.lineLengthKm) {
        lineFailure_ = r.lineLengthKm.reason();
        return lineFailure_;
    }
    if (!(*r.lineLengthKm > 0.0)) {
        lineFailure_ = QStringLiteral("线路长度应大于0");
        return lineFailure_;
    }
    line_ = circuit_.line;
    line_.lengthKm = *r.lineLengthKm;
    protection_ = circuit_.protection;
    protection_.loadCurrentA = *r.loadCurrentA;
    // The leakage of the whole cable: Σ over the runs of (leakage per km)·(length).
    leakageMa_ = protection_.leakagePerKmMa * line_.lengthKm;
    cableKm_ = line_.lengthKm;
    if (branched_) {
        const LampFeederResult& poles = *r.feeder;
        line_ = equivalentLine(circuit_.line, poles.poles[poles.weakestPole].path);
        leakageMa_ = 0.0;
        cableKm_ = 0.0;
        const PoleList& list = std::get<LampFeeder>(circuit_.load).poleList;
        for (std::size_t k = 0; k < poles.runs.size(); ++k) {
            const RunCable& cable = (*feederCables_)[k];
            leakageMa_ += cable.leakagePerKmMa * poles.runs[k].lengthM / 1000.0;
            cableKm_ += poles.runs[k].lengthM / 1000.0;
            SectionResult sec;
            sec.run = list.runName(k);
            sec.cable = cable.cable;
            sec.lengthM = poles.runs[k].lengthM;
            sec.resistance = cable.resistance;
            sections_.push_back(std::move(sec));
        }
    }
    // The short circuit at the line's end and just after its breaker, from the project's supply.
    r.shortCircuit = computeShortCircuit(shortCircuitInput(project_.supply, line_));
    if (!r.shortCircuit) {
        lineFailure_ = QStringLiteral("短路电流无法计算：") + r.shortCircuit.reason();
        return lineFailure_;
    }
    CircuitLine origin = line_;
    origin.lengthKm = 0.0;
    r.originShortCircuit = computeShortCircuit(shortCircuitInput(project_.supply, origin));
    return lineFailure_;
}

namespace {

// The first row of the series whose selection current covers 1.5·Ib.
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
    if (!std::isfinite(x)) {
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
            const auto whole = FigureDigits::shortest();
            choice.outcome =
                CheckOutcome::pass({state(figure(u"QR In"_qs, row.breakerA, u"A"_qs, whole)),
                                    state(figure(u"QC Ie"_qs, row.contactorA, u"A"_qs, whole))});
            return choice;
        }
    s.outOfRange = true;
    choice.switchgear = s;
    choice.outcome = CheckOutcome::fail(
        {compare(figure(u"1.5Ib"_qs, x, u"A"_qs, FigureDigits::fixed(2)), Relation::BeyondTable,
                 figure({}, series->back().selectionUpToA, u"A"_qs, FigureDigits::shortest()))});
    return choice;
}

} // namespace

const BreakerChoice& CircuitContext::breaker() const {
    if (!breaker_) {
        breaker_ = chooseBreaker(protection_.loadCurrentA, catalogue_.switchgear);
        result_.switchgear = breaker_->switchgear;
    }
    return *breaker_;
}

void runChecks(const CheckRegistry& checks, const CircuitContext& context, CircuitDetail detail) {
    CircuitResult& r = context.figures();
    r.checks.reserve(checks.size());
    for (std::size_t k = 0; k < checks.size(); ++k) {
        const CheckUnit& unit = checks[k];
        const std::optional<QString>* failure = unit.needsLine ? &context.lineFailure() : nullptr;
        r.checks.emplace_back(unit.id, failure && *failure ? CheckOutcome::notComputed(**failure)
                                                           : unit.judge(context));
        if (detail == CircuitDetail::UntilFirstFailure && unit.stopsOnFailure &&
            !r.checks.back().second.passed()) {
            for (std::size_t after = k + 1; after < checks.size(); ++after)
                r.checks.emplace_back(checks[after].id, CheckOutcome::notComputed(QStringLiteral(
                                                            "前项校验未通过，未计算")));
            return;
        }
    }
    if (!context.sections().empty())
        r.sections = std::move(context.sections());
}

CheckOutcome sectionsOutcome(const std::vector<SectionResult>& sections,
                             CheckOutcome SectionResult::*outcome) {
    CheckOutcome failed, notComputed, passed;
    failed.state = CheckOutcome::State::Failed;
    passed.state = CheckOutcome::State::Passed;
    for (const SectionResult& s : sections) {
        const CheckOutcome& o = s.*outcome;
        CheckOutcome& into = o.state == CheckOutcome::State::Failed        ? failed
                             : o.state == CheckOutcome::State::NotComputed ? notComputed
                                                                           : passed;
        into.sections.push_back({s.run, o});
    }
    if (!failed.sections.empty())
        return failed;
    if (!notComputed.sections.empty())
        return notComputed;
    return passed;
}

const CheckRegistry& projectChecks() {
    static const CheckRegistry checks{voltageLossCheck(),     breakerSelectionCheck(),
                                      currentCapacityCheck(), residualSettingCheck(),
                                      loopResistanceCheck(),  sensitivityCheck(),
                                      thermalStabilityCheck()};
    return checks;
}

} // namespace korvane
