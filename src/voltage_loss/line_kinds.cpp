#include "voltage_loss/line_kinds.h"

#include "form/form.h"
#include "pages/check_pair.h"
#include "pages/voltage_loss_fields.h"
#include "voltage_loss/voltage_loss.h"

#include <string_view>
#include <utility>
#include <vector>

namespace korvane {

const QStringList& lineKinds() {
    static const QStringList kinds{line_kind::kThreePhase, line_kind::kSinglePhaseLineVoltage,
                                   line_kind::kTwoPhaseNeutral,
                                   line_kind::kSinglePhasePhaseVoltage};
    return kinds;
}

QStringList loadCasesOf(const QString& lineKind) {
    using namespace load_case;
    if (lineKind == line_kind::kThreePhase || lineKind == line_kind::kSinglePhaseLineVoltage)
        return {kEndCurrent, kUniformCurrent, kSeveralCurrent,
                kEndPower4,  kSeveralPower,   kSeveralUnityPower};
    if (lineKind == line_kind::kTwoPhaseNeutral)
        return {kEndCurrent, kUniformCurrent, kEndPower3, kEndUnityPower};
    if (lineKind == line_kind::kSinglePhasePhaseVoltage)
        return {kEndCurrent, kUniformCurrent, kEndPower3, kEndUnityPowerOrDc};
    return {};
}

QString inputFrameOf(const QString& loadCase) {
    using namespace load_case;
    static const std::vector<std::pair<QString, std::string_view>> frames{
        {kEndCurrent, "voltageLoss.loadFrame.endLoad"},
        {kUniformCurrent, "voltageLoss.loadFrame.endLoad"},
        {kSeveralCurrent, "voltageLoss.loadFrame.severalCurrents"},
        {kEndPower4, "voltageLoss.loadFrame.endPower"},
        {kSeveralPower, "voltageLoss.loadFrame.severalPowers"},
        {kSeveralUnityPower, "voltageLoss.loadFrame.severalUnityPowers"},
        {kEndPower3, "voltageLoss.loadFrame.endPower"},
        {kEndUnityPower, "voltageLoss.loadFrame.endPower"},
        {kEndUnityPowerOrDc, "voltageLoss.loadFrame.endPower"},
    };
    for (const auto& [text, frame] : frames) {
        if (text == loadCase)
            return voltageLossFields().control(frame);
    }
    return {};
}

void installLineKindHandlers(Form& form) {
    const BindingTable& fields = voltageLossFields();
    auto& kinds = form.combo(fields.control("voltageLoss.lineKind"));
    auto& cases = form.combo(fields.control("voltageLoss.loadCase"));

    kinds.on(Event::Click, [&kinds, &cases] {
        cases.clear();
        const QStringList offered = loadCasesOf(kinds.text());
        if (offered.isEmpty())
            return;
        cases.addItems(offered);
        cases.setListIndex(0);
    });

    cases.on(Event::Click, [&form, &fields, &cases] {
        const QString shown = inputFrameOf(cases.text());
        if (shown.isEmpty())
            return;
        for (std::string_view quantity : kLoadFrames) {
            const QString name = fields.control(quantity);
            form.frame(name).setVisible(name == shown);
        }
    });

    for (const SwitchedLoad& pair : kSwitchedLoads) {
        auto& check = form.check(fields.control(pair.included));
        auto& load = form.text(fields.control(pair.load));
        auto& distance = form.text(fields.control(pair.lengthKm));
        check.on(Event::Click,
                 [&check, &load, &distance] { switchLoadPair(check, load, distance); });
    }
}

void fillLineKinds(Form& form) {
    auto& kinds = form.combo(voltageLossFields().control("voltageLoss.lineKind"));
    kinds.addItems(lineKinds());
    kinds.setEnabled(true);
    kinds.setListIndex(0);
}

} // namespace korvane
