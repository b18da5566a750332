#include "voltage_loss/voltage_loss_action.h"

#include "base/number_format.h"
#include "form/binding.h"
#include "form/form.h"
#include "form/stale_results.h"
#include "pages/voltage_loss_fields.h"
#include "voltage_loss/voltage_loss.h"

#include <string_view>

namespace korvane {

namespace {

// A number as both readings see it: leniently for the formulas, strictly for the checks.
FieldReading readBoth(const Form& form, std::string_view quantity) {
    const QString text = boundText(form, voltageLossFields(), quantity);
    return {readLenient(text), readStrict(text)};
}

// The four (load, distance) pairs of kSwitchedLoads[first .. first + 3].
std::array<LoadAtDistance, 4> readLoads(const Form& form, int first) {
    const BindingTable& fields = voltageLossFields();
    std::array<LoadAtDistance, 4> loads{};
    for (size_t k = 0; k < loads.size(); ++k) {
        const SwitchedLoad& load = kSwitchedLoads[static_cast<size_t>(first) + k];
        loads[k] = {boundLenient(form, fields, load.load),
                    boundLenient(form, fields, load.lengthKm)};
    }
    return loads;
}

const char* problemReason(LossProblem problem) {
    switch (problem) {
    case LossProblem::None:
        break;
    case LossProblem::NoMatchingCase:
        return "线路种类与负荷情况不对应";
    case LossProblem::NoVoltage:
        return "标称电压U未输入或不大于0";
    case LossProblem::NoResistance:
        return "导线电阻R未输入或不大于0，请选择导体截面";
    case LossProblem::NegativeReactance:
        return "导线感抗X为负值";
    case LossProblem::NegativeLoad:
        return "负荷或线路长度为负值";
    case LossProblem::NoLoad:
        return "未输入大于0的负荷";
    case LossProblem::NoLength:
        return "负荷的线路长度未输入或为0";
    case LossProblem::NotFinite:
        return "计算结果超出数值范围，请检查输入数据";
    }
    return "";
}

} // namespace

QString voltageLossVerdict(const VoltageLossResult& result) {
    if (result.problem != LossProblem::None)
        return QString::fromUtf8(kVerdictNotComputed) +
               QString::fromUtf8(problemReason(result.problem));
    return QString::fromUtf8(result.withinLimit ? kVerdictPass : kVerdictFail);
}

VoltageLossInput readVoltageLossInput(const Form& form) {
    const BindingTable& fields = voltageLossFields();
    auto lenient = [&](std::string_view quantity) { return boundLenient(form, fields, quantity); };
    auto strict = [&](std::string_view quantity) { return boundStrict(form, fields, quantity); };
    VoltageLossInput in;
    in.lineKind = lineKindOf(boundText(form, fields, "voltageLoss.lineKind"));
    in.loadCase = loadCaseOf(boundText(form, fields, "voltageLoss.loadCase"));
    in.resistanceOhmPerKm = readBoth(form, "voltageLoss.cableResistanceOhmPerKm");
    in.reactanceOhmPerKm = readBoth(form, "voltageLoss.cableReactanceOhmPerKm");
    in.voltageKv = readBoth(form, "voltageLoss.lineVoltageKV");
    in.powerFactor = strict("voltageLoss.powerFactor");
    in.endCurrentA = lenient("voltageLoss.currentLoad.currentA");
    in.endLengthKm = lenient("voltageLoss.currentLoad.lengthKm");
    in.endPowerKw = lenient("voltageLoss.powerLoad.powerKW");
    in.endPowerLengthKm = lenient("voltageLoss.powerLoad.lengthKm");
    in.currentLoads = readLoads(form, kFirstCurrentLoad);
    in.powerLoads = readLoads(form, kFirstPowerLoad);
    in.unityPowerLoads = readLoads(form, kFirstUnityPowerLoad);
    in.conductorTempC = strict("voltageLoss.conductorTemperatureC");
    in.ambientTempC = strict("voltageLoss.ambientTemperatureC");
    return in;
}

namespace {

// What the computation reads: the cable choice and its R and X, voltage, power factor,
// temperatures, line kind and load case, and every load field and its switch.
QStringList voltageLossInputNames() {
    const BindingTable& fields = voltageLossFields();
    QStringList names = fields.controls(
        {"voltageLoss.cableCategory", "voltageLoss.cableType", "voltageLoss.cableCrossSectionMm2",
         "voltageLoss.cableResistanceOhmPerKm", "voltageLoss.cableReactanceOhmPerKm",
         "voltageLoss.lineVoltageKV", "voltageLoss.powerFactor",
         "voltageLoss.conductorTemperatureC", "voltageLoss.ambientTemperatureC",
         "voltageLoss.lineKind", "voltageLoss.loadCase", "voltageLoss.currentLoad.currentA",
         "voltageLoss.currentLoad.lengthKm", "voltageLoss.powerLoad.powerKW",
         "voltageLoss.powerLoad.lengthKm"});
    for (const SwitchedLoad& load : kSwitchedLoads)
        names << fields.controls({load.included, load.load, load.lengthKm});
    return names;
}

} // namespace

// Reads the page through its table, computes, and writes Δu%, the verdict and the longest line in
// their written formats.
void installVoltageLossAction(Form& form) {
    const BindingTable& fields = voltageLossFields();
    auto stale = watchStaleResults(form, voltageLossInputNames(), fields.writtenControls(),
                                   fields.control("voltageLoss.staleResultsNote"));
    form.button(fields.control("voltageLoss.compute")).on(Event::Click, [&form, &fields, stale] {
        const VoltageLossResult result = computeVoltageLoss(readVoltageLossInput(form));
        auto resultField = [&](std::string_view quantity) -> TextBox& {
            return form.text(fields.control(quantity));
        };
        writeBound(form, fields, "voltageLoss.lossPercent", result.shownLossPercent);
        writeBoundText(form, fields, "voltageLoss.verdict", voltageLossVerdict(result));
        stale->computed(resultField("voltageLoss.lossPercent"));
        stale->computed(resultField("voltageLoss.verdict"));
        // Without a line length that could be worked out the field keeps what it showed, and
        // stays marked when it was computed from other inputs.
        if (result.maxLengthM) {
            writeBound(form, fields, "voltageLoss.maxLengthM", *result.maxLengthM);
            stale->computed(resultField("voltageLoss.maxLengthM"));
        }
    });
}

} // namespace korvane
