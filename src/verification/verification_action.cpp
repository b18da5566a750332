#include "verification/verification_action.h"

#include "base/number_format.h"
#include "form/binding.h"
#include "form/stale_results.h"
#include "pages/page_services.h"
#include "pages/short_circuit_fields.h"
#include "pages/verification_fields.h"
#include "pages/voltage_loss_fields.h"
#include "verification/verification.h"
#include "voltage_loss/voltage_loss_action.h"

#include <cmath>
#include <optional>
#include <string_view>
#include <utility>

namespace korvane {

namespace {

// A field's number when it holds one; a field that does not is an input the run lacks.
std::optional<double> numberIn(const QString& text) {
    const std::optional<double> value = readStrict(text);
    return value && std::isfinite(*value) ? value : std::nullopt;
}
std::optional<double> numberIn(const Form& form, const BindingTable& table,
                               std::string_view quantity) {
    return numberIn(boundText(form, table, quantity));
}

// A mode switch takes part only when ticked (Value 1), not when greyed.
bool ticked(const Form& form, std::string_view quantity) {
    return form.check(verificationFields().control(quantity)).value() == 1;
}

TextBox& reportField(const Form& form) {
    return form.text(verificationFields().control("protection.report"));
}

// The diagram and the report in place of the placeholder, or the placeholder back over them.
void showDiagram(Form& form, bool shown) {
    const BindingTable& page = verificationFields();
    form.frame(page.control("protection.diagram")).setVisible(shown);
    form.text(page.control("protection.reportPlaceholder")).setVisible(!shown);
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
            writeBoundText(form, verificationFields(), "protection.report", *check.report);
            stale.computed(reportField(form));
        } else {
            notice(QString::fromUtf8(earthFault ? kEarthFaultResistanceFailed
                                                : kShortCircuitResistanceFailed));
        }

        // The diagram replaces the placeholder whether the line passed or not.
        showDiagram(form, true);
        reportField(form).setForeColor(earthFault ? kEarthFaultReportColor
                                                  : kShortCircuitReportColor);
    }
}

// "清除数据": empties the page's inputs and the report, then puts the placeholder back over it.
void clearVerificationPage(Form& form) {
    for (std::string_view quantity : verificationClearOrder())
        writeBoundText(form, verificationFields(), quantity, QString());
    showDiagram(form, false);
}

} // namespace

VerificationInputs readVerificationInputs(const Form& form) {
    const BindingTable& page = verificationFields();
    const BindingTable& shortCircuit = shortCircuitFields();
    const BindingTable& voltageLoss = voltageLossFields();
    VerificationInputs in;
    ProtectionInputs& p = in.protection;
    p.coefficientK = numberIn(form, page, "protection.kFactor");
    p.durationS = numberIn(form, page, "protection.durationS");
    p.loopResistanceOhmPerKm =
        numberIn(form, page, "protection.line.phaseProtectiveResistanceOhmPerKm");
    p.leakagePerKmMa = numberIn(form, page, "protection.line.leakageMAPerKm");
    p.loadCurrentA = numberIn(form, page, "protection.loadCurrentA");
    p.lengthKm = numberIn(form, page, "protection.line.lengthKm");
    p.checkEarthFault = ticked(form, "protection.mode.earthFault");
    p.checkShortCircuit = ticked(form, "protection.mode.singlePhaseShortCircuit");
    in.faults.threePhaseKa = numberIn(form, page, "protection.threePhaseShortCircuitKA");
    in.faults.singlePhaseKa = numberIn(form, page, "protection.singlePhaseShortCircuitKA");
    in.faults.earthFaultKa = numberIn(form, page, "protection.earthFaultKA");
    VerifiedInstallation& at = in.installation;
    at.transformerCapacityText = boundText(form, shortCircuit, "supply.transformer.ratedKVA");
    at.transformerCapacityKva = numberIn(at.transformerCapacityText);
    at.busbarMaterial = boundText(form, shortCircuit, "supply.busbar.material");
    at.busbarSize = boundText(form, shortCircuit, "supply.busbar.size");
    at.crossSectionText = boundText(form, voltageLoss, "voltageLoss.cableCrossSectionMm2");
    at.crossSectionMm2 = numberIn(at.crossSectionText);
    at.voltageLossPercent = numberIn(form, voltageLoss, "voltageLoss.lossPercent");
    at.voltageLossNotComputed = boundText(form, voltageLoss, "voltageLoss.verdict")
                                    .startsWith(QString::fromUtf8(kVerdictNotComputed));
    return in;
}

void installVerificationPage(PageServices& app, Form& form) {
    const BindingTable& page = verificationFields();
    // What the report is written from: the page's fields and mode switches, the transformer
    // capacity and busbar of page 1, the cross-section and voltage loss of page 0. A run that
    // writes no report (stopped, a failed resistance check, no mode ticked) leaves it marked.
    QStringList inputs =
        page.controls({"protection.mode.singlePhaseShortCircuit", "protection.mode.earthFault",
                       "protection.kFactor", "protection.durationS",
                       "protection.line.phaseProtectiveResistanceOhmPerKm",
                       "protection.line.leakageMAPerKm", "protection.threePhaseShortCircuitKA",
                       "protection.earthFaultKA", "protection.singlePhaseShortCircuitKA",
                       "protection.loadCurrentA", "protection.line.lengthKm"});
    inputs << shortCircuitFields().controls(
        {"supply.transformer.ratedKVA", "supply.busbar.material", "supply.busbar.size"});
    inputs << voltageLossFields().controls(
        {"voltageLoss.cableCrossSectionMm2", "voltageLoss.lossPercent", "voltageLoss.verdict"});
    auto stale = watchStaleResults(form, inputs, page.controls({"protection.report"}),
                                   page.control("protection.staleNote"));

    form.button(page.control("protection.verify")).on(Event::Click, [&app, &form, stale] {
        showVerification(app, form, *stale, verifyProtection(readVerificationInputs(form)));
    });
    form.button(page.control("protection.clear")).on(Event::Click, [&form] {
        clearVerificationPage(form);
    });

    // The pickers: the K table, the Rphp picker and the leakage-current table.
    const std::pair<std::string_view, const char*> pickers[] = {
        {"protection.pick.kFactor", "Form10"},
        {"protection.pick.phaseProtectiveResistance", "Form2"},
        {"protection.pick.leakage", "Form12"}};
    for (const auto& [button, dialog] : pickers)
        app.showDialogOnClick(form.button(page.control(button)), QString::fromLatin1(dialog));
}

} // namespace korvane
