#include "verification/verification_action.h"

#include "app/application.h"
#include "form/number_format.h"
#include "form/stale_results.h"
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

// A needed value is missing, not a number, or a step cannot be evaluated: the run stops with the
// page's missing-data message.
struct RunStopped {};

// What a value must be for a real line: currents and leakage are never negative; a line has a
// length, the thermal coefficient K is a positive material constant, and the thermal check needs
// a fault that flows (I″k3 > 0) for some time (t > 0): with either at zero Smin would be 0 and
// pass any conductor.
enum class Bound { Any, NotNegative, Positive };

double need(const QString& text, Bound bound = Bound::Any) {
    const std::optional<double> value = readStrict(text);
    if (!value || !std::isfinite(*value))
        throw RunStopped{};
    if ((bound == Bound::NotNegative && *value < 0.0) ||
        (bound == Bound::Positive && *value <= 0.0))
        throw RunStopped{};
    return *value;
}

void require(bool computed) {
    if (!computed)
        throw RunStopped{};
}

// A number when the text is one; a text that is not stays a text.
std::optional<double> numberIn(const QString& text) {
    const std::optional<double> value = readStrict(text);
    return value && std::isfinite(*value) ? value : std::nullopt;
}

// The fields a run works from, taken when "校 验" is pressed.
struct PageTexts {
    QString coefficientK;   // Text51
    QString durationS;      // Text52
    QString threePhaseKa;   // Text35, I″k3
    QString singlePhaseKa;  // Text75, I″k1
    QString earthFaultKa;   // Text36, Id
    QString loadCurrentA;   // Text37, Ib
    QString lengthKm;       // Text38, L
    QString leakagePerKmMa; // Text72
    QString transformerKva; // Text57
};

// One press of "校 验": the selections, then the check of each ticked protection mode.
class VerificationRun {
public:
    VerificationRun(Application& app, Form& form, StaleResults& stale)
        : app_(app), form_(form), stale_(stale) {}

    void run() {
        texts_ = {field(form_, "Text51"), field(form_, "Text52"), field(form_, "Text35"),
                  field(form_, "Text75"), field(form_, "Text36"), field(form_, "Text37"),
                  field(form_, "Text38"), field(form_, "Text72"), field(form_, "Text57")};

        line_ = selectLineSwitchgear(need(texts_.loadCurrentA, Bound::NotNegative));
        require(line_.computed);
        if (line_.outOfRange)
            notice(QString::fromUtf8(kLoadOutOfRange));

        residual_ = selectResidualCurrentSetting(need(texts_.leakagePerKmMa, Bound::NotNegative),
                                                 need(texts_.lengthKm, Bound::Positive));
        require(residual_.computed);

        transformer_ = selectTransformerSwitchgear(need(texts_.transformerKva));
        if (transformer_.capacityOutOfRange)
            notice(QString::fromUtf8(kTransformerOutOfRange));

        if (form_.check(QStringLiteral("Check15")).value() == 1)
            checkProtection(ProtectionMode::EarthFault);
        if (form_.check(QStringLiteral("Check14")).value() == 1)
            checkProtection(ProtectionMode::ShortCircuit);
    }

private:
    // A warning with the OK button only, no icon, titled with the program's name.
    void notice(const QString& text) {
        app_.platform().messageBox(MessageIcon::None, QStringLiteral("Korvane"), text);
    }

    void checkProtection(ProtectionMode mode) {
        const bool earthFault = mode == ProtectionMode::EarthFault;
        const double breakerA = line_.breakerRatedA.value_or(0);

        const LoopResistanceCheck resistance =
            checkLoopResistance(need(texts_.lengthKm, Bound::Positive), breakerA,
                                need(field(form_, "Text39"), Bound::NotNegative));
        require(resistance.computed);
        if (resistance.passed) {
            const SensitivityCheck sensitivity = checkSensitivity(
                need(earthFault ? texts_.earthFaultKa : texts_.singlePhaseKa, Bound::NotNegative),
                breakerA);
            require(sensitivity.computed);
            if (sensitivity.belowMinimum) {
                const auto& pieces =
                    earthFault ? kEarthFaultLowSensitivity : kShortCircuitLowSensitivity;
                notice(QString::fromUtf8(pieces[0]) + QStringLiteral("\r\n") +
                       QString::fromUtf8(pieces[1]) + QStringLiteral("\r\n") +
                       QString::fromUtf8(pieces[2]));
            }

            const ThermalStability thermal = thermalMinimumCrossSection(
                need(texts_.durationS, Bound::Positive), need(texts_.threePhaseKa, Bound::Positive),
                need(texts_.coefficientK, Bound::Positive));
            require(thermal.computed);

            writeReport(mode, sensitivity, thermal);
        } else {
            notice(QString::fromUtf8(earthFault ? kEarthFaultResistanceFailed
                                                : kShortCircuitResistanceFailed));
        }

        // The diagram replaces the placeholder whether the line passed or not.
        form_.frame(QStringLiteral("Frame12")).setVisible(true);
        form_.text(QStringLiteral("Text73")).setVisible(false);
        form_.text(QStringLiteral("Text71"))
            .setForeColor(earthFault ? kEarthFaultReportColor : kShortCircuitReportColor);
    }

    void writeReport(ProtectionMode mode, const SensitivityCheck& sensitivity,
                     const ThermalStability& thermal) {
        VerificationFindings findings;
        findings.mode = mode;
        findings.crossSectionText = form_.combo(QStringLiteral("Combo3")).text();
        findings.crossSectionMm2 = numberIn(findings.crossSectionText);
        findings.voltageLossPercent = numberIn(field(form_, "Text6"));
        findings.voltageLossNotComputed =
            field(form_, "Text3").startsWith(QString::fromUtf8(kVerdictNotComputed));
        findings.line = line_;
        findings.residual = residual_;
        findings.sensitivity = sensitivity;
        findings.thermal = thermal;
        findings.transformerCapacityText = texts_.transformerKva;
        findings.transformer = transformer_;
        findings.busbarMaterial = field(form_, "Text74");
        findings.busbarSize = field(form_, "Text9");
        auto& report = form_.text(QStringLiteral("Text71"));
        report.setText(verificationReport(findings));
        stale_.computed(report);
    }

    Application& app_;
    Form& form_;
    StaleResults& stale_;
    PageTexts texts_;
    LineSwitchgear line_;
    ResidualCurrentSetting residual_;
    TransformerSwitchgear transformer_;
};

// "清除数据": empties the page's inputs and the report, then puts the placeholder back over it.
void clearVerificationPage(Form& form) {
    for (const char* name : {"Text35", "Text36", "Text37", "Text38", "Text39", "Text51", "Text52",
                             "Text71", "Text72", "Text75"})
        form.text(QString::fromLatin1(name)).setText({});
    form.frame(QStringLiteral("Frame12")).setVisible(false);
    form.text(QStringLiteral("Text73")).setVisible(true);
}

} // namespace

void installVerificationPage(Application& app, Form& form) {
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
        // The run is guarded: messages already shown and fields already written stay.
        try {
            VerificationRun(app, form, *stale).run();
        } catch (const RunStopped&) {
            app.platform().messageBox(MessageIcon::Critical,
                                      QString::fromUtf8(kVerificationMissingDataTitle),
                                      QString::fromUtf8(kVerificationMissingData));
        }
    });
    form.button(QStringLiteral("Command29")).on(Event::Click, [&form] {
        clearVerificationPage(form);
    });

    const std::pair<const char*, const char*> pickers[] = {
        {"Command26", "Form10"}, {"Command27", "Form2"}, {"Command31", "Form12"}};
    for (const auto& [button, dialog] : pickers) {
        showFormOnClick(app, form.button(QString::fromLatin1(button)), QString::fromLatin1(dialog));
    }
}

} // namespace korvane
