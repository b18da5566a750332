#include "short_circuit/short_circuit_action.h"

#include "base/number_format.h"
#include "form/binding.h"
#include "form/stale_results.h"
#include "pages/page_services.h"
#include "pages/short_circuit_fields.h"
#include "pages/verification_fields.h"

#include <string_view>

namespace korvane {

namespace {

void showMissingData(PageServices& app) {
    app.platform().messageBox(MessageIcon::Critical,
                              QString::fromUtf8(kShortCircuitMissingDataTitle),
                              QString::fromUtf8(kShortCircuitMissingData));
}

// The currents at the line end, each with the verification-page field that receives a copy.
struct CurrentCopy {
    std::string_view current;
    std::string_view copy;
};
constexpr CurrentCopy kCurrentCopies[] = {
    {"shortCircuit.threePhaseShortCircuitKA", "protection.threePhaseShortCircuitKA"},
    {"shortCircuit.earthFaultKA", "protection.earthFaultKA"},
    {"shortCircuit.singlePhaseShortCircuitKA", "protection.singlePhaseShortCircuitKA"},
};

// Writes the four currents and their copies on the verification page.
void writeCurrents(Form& form, const ShortCircuitResult& result, StaleResults& stale) {
    const BindingTable& fields = shortCircuitFields();
    writeBound(form, fields, "shortCircuit.threePhaseShortCircuitKA", result.ik3);
    writeBound(form, fields, "shortCircuit.twoPhaseShortCircuitKA", result.ik2);
    writeBound(form, fields, "shortCircuit.earthFaultKA", result.id);
    writeBound(form, fields, "shortCircuit.singlePhaseShortCircuitKA", result.ik1);
    for (const QString& name : fields.writtenControls())
        stale.computed(form.text(name));
    for (const CurrentCopy& c : kCurrentCopies)
        writeBoundText(form, verificationFields(), c.copy, boundText(form, fields, c.current));
}

// Each picker button with the dialog it opens.
struct DialogButton {
    std::string_view button;
    const char* dialog;
};
constexpr DialogButton kDialogButtons[] = {
    {"shortCircuit.chooseTransformer", "BYQForm8"},
    {"shortCircuit.chooseBusbar", "MXForm9"},
    {"shortCircuit.pick.line.resistance", "Form4"},
    {"shortCircuit.pick.line.reactance", "Form5"},
    {"shortCircuit.pick.line.phaseProtectiveResistance", "Form2"},
    {"shortCircuit.pick.line.phaseProtectiveReactance", "Form3"},
    {"shortCircuit.pick.line.phaseNeutralResistance", "Form6"},
    {"shortCircuit.pick.line.phaseNeutralReactance", "Form7"},
};

} // namespace

Computed<ShortCircuitInput> readShortCircuitInput(const Form& form) {
    const BindingTable& fields = shortCircuitFields();
    QString missing;
    auto field = [&](std::string_view quantity, const char* name) {
        const auto value = boundStrict(form, fields, quantity);
        if (!value && missing.isEmpty())
            missing = QString::fromUtf8(name) + QStringLiteral("未输入或不是数值");
        return value.value_or(0.0);
    };

    ShortCircuitInput in;
    in.systemCapacityMva = field("shortCircuit.systemCapacityMVA", "系统短路容量Ss");
    in.transformerUkPercent =
        field("supply.transformer.impedanceVoltagePercent", "变压器电抗电压百分数Uk");
    in.transformerRatedKva = field("supply.transformer.ratedKVA", "变压器额定容量St");
    in.transformerLoadLossKw = field("supply.transformer.loadLossKW", "变压器短路损耗ΔP");
    in.busbarPerMetre = {
        field("supply.busbar.resistanceMilliOhmPerM", "母线相电阻"),
        field("supply.busbar.reactanceMilliOhmPerM", "母线相电抗"),
        field("supply.busbar.phaseProtectiveResistanceMilliOhmPerM", "母线相保电阻"),
        field("supply.busbar.phaseProtectiveReactanceMilliOhmPerM", "母线相保电抗")};
    in.busbarLengthM = field("supply.busbar.lengthM", "母线长度");
    in.linePerMetre = {
        field("shortCircuit.line.resistanceMilliOhmPerM", "线路相电阻"),
        field("shortCircuit.line.reactanceMilliOhmPerM", "线路相电抗"),
        field("shortCircuit.line.phaseProtectiveResistanceMilliOhmPerM", "线路相保电阻"),
        field("shortCircuit.line.phaseProtectiveReactanceMilliOhmPerM", "线路相保电抗")};
    in.lineNeutralResistancePerMetre =
        field("shortCircuit.line.phaseNeutralResistanceMilliOhmPerM", "线路相中电阻");
    in.lineNeutralReactancePerMetre =
        field("shortCircuit.line.phaseNeutralReactanceMilliOhmPerM", "线路相中电抗");
    in.lineLengthKm = field("shortCircuit.line.lengthKm", "线路长度");
    if (!missing.isEmpty())
        return Computed<ShortCircuitInput>::failed(missing);
    return in;
}

void installShortCircuitPage(PageServices& app, Form& form) {
    // What the computation reads: the system, the line and the transformer and busbar values the
    // dialogs place. A failed computation writes nothing, so its results stay marked; whatever
    // its reason, the page answers with the one message of missing data.
    const BindingTable& fields = shortCircuitFields();
    const QStringList inputs = fields.controls({
        "shortCircuit.systemCapacityMVA",
        "shortCircuit.line.resistanceMilliOhmPerM",
        "shortCircuit.line.reactanceMilliOhmPerM",
        "shortCircuit.line.phaseProtectiveResistanceMilliOhmPerM",
        "shortCircuit.line.phaseProtectiveReactanceMilliOhmPerM",
        "shortCircuit.line.phaseNeutralResistanceMilliOhmPerM",
        "shortCircuit.line.phaseNeutralReactanceMilliOhmPerM",
        "shortCircuit.line.lengthKm",
        "supply.transformer.impedanceVoltagePercent",
        "supply.transformer.loadLossKW",
        "supply.transformer.ratedKVA",
        "supply.busbar.resistanceMilliOhmPerM",
        "supply.busbar.reactanceMilliOhmPerM",
        "supply.busbar.phaseProtectiveResistanceMilliOhmPerM",
        "supply.busbar.phaseProtectiveReactanceMilliOhmPerM",
        "supply.busbar.lengthM",
    });
    auto stale = watchStaleResults(form, inputs, fields.writtenControls(),
                                   fields.control("shortCircuit.staleResultsNote"));

    form.button(fields.control("shortCircuit.compute")).on(Event::Click, [&app, &form, stale] {
        const Computed<ShortCircuitResult> result =
            readShortCircuitInput(form).then(computeShortCircuit);
        if (!result) {
            showMissingData(app);
            return;
        }
        writeCurrents(form, *result, *stale);
    });
    form.button(fields.control("shortCircuit.clear")).on(Event::Click, [&form] {
        clearBound(form, shortCircuitFields());
    });

    for (const DialogButton& d : kDialogButtons)
        app.showDialogOnClick(form.button(fields.control(d.button)), QString::fromLatin1(d.dialog));
}

} // namespace korvane
