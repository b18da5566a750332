#include "voltage_loss/line_kinds.h"

#include "form/form.h"
#include "pages/check_pair.h"
#include "pages/voltage_loss_fields.h"
#include "voltage_loss/load_cases.h"
#include "voltage_loss/voltage_loss.h"

#include <optional>
#include <string_view>

namespace korvane {

const QStringList& lineKinds() {
    static const QStringList kinds = [] {
        QStringList texts;
        for (LineKind kind : allLineKinds())
            texts << text(kind);
        return texts;
    }();
    return kinds;
}

QStringList loadCasesOf(const QString& lineKind) {
    QStringList texts;
    if (const std::optional<LineKind> kind = lineKindOf(lineKind)) {
        for (LoadCase loadCase : loadCasesOf(*kind))
            texts << text(loadCase);
    }
    return texts;
}

QString inputFrameOf(const QString& loadCase) {
    const std::optional<LoadCase> known = loadCaseOf(loadCase);
    if (!known)
        return {};
    std::string_view frame;
    switch (placeOf(*known)) {
    case LoadPlace::EndCurrent:
        frame = "voltageLoss.loadFrame.endLoad";
        break;
    case LoadPlace::EndPower:
        frame = "voltageLoss.loadFrame.endPower";
        break;
    case LoadPlace::SeveralCurrents:
        frame = "voltageLoss.loadFrame.severalCurrents";
        break;
    case LoadPlace::SeveralPowers:
        frame = "voltageLoss.loadFrame.severalPowers";
        break;
    case LoadPlace::SeveralUnityPowers:
        frame = "voltageLoss.loadFrame.severalUnityPowers";
        break;
    }
    return voltageLossFields().control(frame);
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
