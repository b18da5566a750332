#include "voltage_loss/line_kinds.h"

#include "form/form.h"
#include "pages/check_pair.h"
#include "voltage_loss/voltage_loss.h"
#include "voltage_loss/voltage_loss_page.h"

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
    static const std::vector<std::pair<QString, QString>> frames{
        {kEndCurrent, QStringLiteral("Frame4")},
        {kUniformCurrent, QStringLiteral("Frame4")},
        {kSeveralCurrent, QStringLiteral("Frame5")},
        {kEndPower4, QStringLiteral("Frame6")},
        {kSeveralPower, QStringLiteral("Frame7")},
        {kSeveralUnityPower, QStringLiteral("Frame8")},
        {kEndPower3, QStringLiteral("Frame6")},
        {kEndUnityPower, QStringLiteral("Frame6")},
        {kEndUnityPowerOrDc, QStringLiteral("Frame6")},
    };
    for (const auto& [text, frame] : frames) {
        if (text == loadCase)
            return frame;
    }
    return {};
}

void installLineKindHandlers(Form& form) {
    auto& kinds = form.combo(QStringLiteral("Combo5"));
    auto& cases = form.combo(QStringLiteral("Combo6"));

    kinds.on(Event::Click, [&kinds, &cases] {
        cases.clear();
        const QStringList offered = loadCasesOf(kinds.text());
        if (offered.isEmpty())
            return;
        cases.addItems(offered);
        cases.setListIndex(0);
    });

    cases.on(Event::Click, [&form, &cases] {
        const QString shown = inputFrameOf(cases.text());
        if (shown.isEmpty())
            return;
        for (int n = 4; n <= 8; ++n) {
            const QString name = QStringLiteral("Frame%1").arg(n);
            form.frame(name).setVisible(name == shown);
        }
    });

    for (const LoadSwitch& pair : kLoadSwitches) {
        auto& check = form.check(QString::fromLatin1(pair.check));
        auto& load = form.text(QString::fromLatin1(pair.load));
        auto& distance = form.text(QString::fromLatin1(pair.distance));
        check.on(Event::Click,
                 [&check, &load, &distance] { switchLoadPair(check, load, distance); });
    }
}

void fillLineKinds(Form& form) {
    auto& kinds = form.combo(QStringLiteral("Combo5"));
    kinds.addItems(lineKinds());
    kinds.setEnabled(true);
    kinds.setListIndex(0);
}

} // namespace korvane
