#include "verification/verification_action.h"

#include "form/number_format.h"
#include "form/stale_results.h"
#include "pages/page_services.h"
#include "verification/verification.h"
#include "voltage_loss/voltage_loss_action.h"

#include <cmath>
#include <optional>
#include <utility>

namespace korvane {

namespace {

QString field(const Form& form, const char* name) {
    return form.text(QString::fromLatin1(name)).text();
}

// A field's number when it holds one; a field that does not is an input the run lacks.
std::optional<double> numberIn(const QString& text) {
    const std::optional<double> value = readStrict(text);
    return value && std::isfinite(*value) ? value : std::nullopt;
}
std::optional<double> numberIn(const Form& form, const char* name) {
    return numberIn(field(form, name));
}

// The values a run works from, taken when "校 验" is pressed: page 2's protection inputs and
// fault currents, page 1's transformer and busbar, page 0's cross-section and voltage loss.
VerificationInputs readInputs(const Form& form) {
    VerificationInputs in;
    ProtectionInputs& p = in.protection;
    p.coefficientK = numberIn(form, "Text51");
    p.durationS = numberIn(form, "Text52");
    p.loopResistanceOhmPerKm = numberIn(form, "Text39");
    p.leakagePerKmMa = numberIn(form, "Text72");
    p.loadCurrentA = numberIn(form, "Text37");
    p.lengthKm = numberIn(form, "Text38");
    p.checkEarthFault = form.check(QStringLiteral("Check15")).value() == 1;
    p.checkShortCircuit = form.check(QStringLiteral("Check14")).value() == 1;
    in.faults.threePhaseKa = numberIn(form, "Text35");
    in.faults.singlePhaseKa = numberIn(form, "Text75");
    in.faults.earthFaultKa = numberIn(form, "Text36");
    VerifiedInstallation& at = in.installation;
    at.transformerCapacityText = field(form, "Text57");
    at.transformerCapacityKva = numberIn(at.transformerCapacityText);
    at.busbarMaterial = field(form, "Text74");
    at.busbarSize = field(form, "Text9");
    at.crossSectionText = form.combo(QStringLiteral("Combo3")).text();
    at.crossSectionMm2 = numberIn(at.crossSectionText);
    at.voltageLossPercent = numberIn(form, "Text6");
    at.voltageLossNotComputed =
        field(form, "Text3").startsWith(QString::fromUtf8(kVerdictNotComputed));
    return in;
}

// One press of "校 验": the result's messages and fields in the order the run met them. A stop
// ends it with the page's missing-data message; what was shown and written before it stays.
void showVerification(PageServices& app, Form& form, StaleResults& stale,
                      const VerificationResult& result) {
    // A warning with the OK button only, no icon, titled with the program's name.
    const auto notice = [&app](const QString& text) {
        app.platform().messageBox(MessageIcon::None, QStringLiteral("Korvane"), text);
    };
    const auto stopped = [&app] {
        app.platform().messageBox(MessageIcon::Critical,
                                  QString::fromUtf8(kVerificationMissingDataTitle),
                                  QString::fromUtf8(kVerificationMissingData));
    };

    if (!result.line)
        return stopped();
    if (result.line->outOfRange)
        notice(QString::fromUtf8(kLoadOutOfRange));
    if (!result.residual || !result.transformer)
        return stopped();
    if (result.transformer->capacityOutOfRange)
        notice(QString::fromUtf8(kTransformerOutOfRange));

    for (const ProtectionVerification& check : result.protections) {
        const bool earthFault = check.mode == ProtectionMode::EarthFault;
        if (!check.loopResistance)
            return stopped();
        if (check.loopResistance->passed) {
            if (!check.sensitivity)
                return stopped();
            if (check.sensitivity->belowMinimum) {
                const auto& pieces =
                    earthFault ? kEarthFaultLowSensitivity : kShortCircuitLowSensitivity;
                notice(QString::fromUtf8(pieces[0]) + QStringLiteral("\r\n") +
                       QString::fromUtf8(pieces[1]) + QStringLiteral("\r\n") +
                       QString::fromUtf8(pieces[2]));
            }
            if (!check.thermal || !check.report)
                return stopped();
            auto& report = form.text(QStringLiteral("Text71"));
            report.setText(*check.report);
            stale.computed(report);
        } else {
            notice(QString::fromUtf8(earthFault ? kEarthFaultResistanceFailed
                                                : kShortCircuitResistanceFailed));
        }

        // The diagram replaces the placeholder whether the line passed or not.
        form.frame(QStringLiteral("Frame12")).setVisible(true);
        form.text(QStringLiteral("Text73")).setVisible(false);
        form.text(QStringLiteral("Text71"))
            .setForeColor(earthFault ? kEarthFaultReportColor : kShortCircuitReportColor);
    }
}

// "清除数据": empties the page's inputs and the report, then puts the placeholder back over it.
void clearVerificationPage(Form& form) {
    for (const char* name : {"Text35", "Text36", "Text37", "Text38", "Text39", "Text51", "Text52",
                             "Text71", "Text72", "Text75"})
        form.text(QString::fromLatin1(name)).setText({});
    form.frame(QStringLiteral("Frame12")).setVisible(false);
    form.text(QStringLiteral("Text73")).setVisible(true);
}

} // namespace

void installVerificationPage(PageServices& app, Form& form) {
    // What the report is written from: the page's fields and mode switches, the transformer
    // capacity and busbar of page 1, the cross-section and voltage loss of page 0. A run that
    // writes no report (stopped, a failed resistance check, no mode ticked) leaves it marked.
    QStringList inputs{QStringLiteral("Check14"), QStringLiteral("Check15"),
                       QStringLiteral("Combo3")};
    for (int n : {51, 52, 39, 72, 35, 36, 75, 37, 38, 57, 74, 9, 6, 3})
        inputs << QStringLiteral("Text%1").arg(n);
    auto stale =
        watchStaleResults(form, inputs, {QStringLiteral("Text71")}, QStringLiteral("StaleNote2"));

    form.button(QStringLiteral("Command28")).on(Event::Click, [&app, &form, stale] {
        showVerification(app, form, *stale, verifyProtection(readInputs(form)));
    });
    form.button(QStringLiteral("Command29")).on(Event::Click, [&form] {
        clearVerificationPage(form);
    });

    const std::pair<const char*, const char*> pickers[] = {
        {"Command26", "Form10"}, {"Command27", "Form2"}, {"Command31", "Form12"}};
    for (const auto& [button, dialog] : pickers) {
        app.showDialogOnClick(form.button(QString::fromLatin1(button)),
                              QString::fromLatin1(dialog));
    }
}

} // namespace korvane
