#include "short_circuit/short_circuit_action.h"

#include "form/number_format.h"
#include "form/stale_results.h"
#include "pages/page_services.h"

namespace korvane {

namespace {

void showMissingData(PageServices& app) {
    app.platform().messageBox(MessageIcon::Critical,
                              QString::fromUtf8(kShortCircuitMissingDataTitle),
                              QString::fromUtf8(kShortCircuitMissingData));
}

const char* const kCurrentFields[] = {"Text42", "Text43", "Text44", "Text45"};

// Writes the four currents and their copies on the verification page.
void writeCurrents(Form& form, const ShortCircuitResult& result, StaleResults& stale) {
    form.text(QStringLiteral("Text42")).setText(formatFixed(result.ik3, 4));
    form.text(QStringLiteral("Text43")).setText(formatFixed(result.ik2, 4));
    form.text(QStringLiteral("Text44")).setText(formatFixed(result.id, 4));
    form.text(QStringLiteral("Text45")).setText(formatFixed(result.ik1, 4));
    for (const char* name : kCurrentFields)
        stale.computed(form.text(QString::fromLatin1(name)));
    form.text(QStringLiteral("Text35")).setText(form.text(QStringLiteral("Text42")).text());
    form.text(QStringLiteral("Text36")).setText(form.text(QStringLiteral("Text44")).text());
    form.text(QStringLiteral("Text75")).setText(form.text(QStringLiteral("Text45")).text());
}

void clearShortCircuitPage(Form& form) {
    for (int n : {40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 53, 55, 56, 57, 58, 59, 60, 61, 62})
        form.text(QStringLiteral("Text%1").arg(n)).setText({});
}

} // namespace

Computed<ShortCircuitInput> readShortCircuitInput(const Form& form) {
    QString missing;
    auto read = [&](const QString& text, const char* quantity) {
        const auto value = readStrict(text);
        if (!value && missing.isEmpty())
            missing = QString::fromUtf8(quantity) + QStringLiteral("未输入或不是数值");
        return value.value_or(0.0);
    };
    auto field = [&](const char* name, const char* quantity) {
        return read(form.text(QString::fromLatin1(name)).text(), quantity);
    };

    ShortCircuitInput in;
    in.systemCapacityMva = read(form.combo(QStringLiteral("Combo18")).text(), "系统短路容量Ss");
    in.transformerUkPercent = field("Text55", "变压器电抗电压百分数Uk");
    in.transformerRatedKva = field("Text57", "变压器额定容量St");
    in.transformerLoadLossKw = field("Text56", "变压器短路损耗ΔP");
    in.busbarPerMetre = {field("Text58", "母线相电阻"), field("Text59", "母线相电抗"),
                         field("Text60", "母线相保电阻"), field("Text61", "母线相保电抗")};
    in.busbarLengthM = field("Text62", "母线长度");
    in.linePerMetre = {field("Text40", "线路相电阻"), field("Text41", "线路相电抗"),
                       field("Text46", "线路相保电阻"), field("Text47", "线路相保电抗")};
    in.lineNeutralResistancePerMetre = field("Text49", "线路相中电阻");
    in.lineNeutralReactancePerMetre = field("Text50", "线路相中电抗");
    in.lineLengthKm = field("Text48", "线路长度");
    if (!missing.isEmpty())
        return Computed<ShortCircuitInput>::failed(missing);
    return in;
}

void installShortCircuitPage(PageServices& app, Form& form) {
    // What the computation reads: the system, the line and the transformer and busbar values the
    // dialogs place. A failed computation writes nothing, so its results stay marked; whatever
    // its reason, the page answers with the one message of missing data.
    QStringList inputs{QStringLiteral("Combo18")};
    for (int n : {40, 41, 46, 47, 49, 50, 48, 55, 56, 57, 58, 59, 60, 61, 62})
        inputs << QStringLiteral("Text%1").arg(n);
    QStringList results;
    for (const char* name : kCurrentFields)
        results << QString::fromLatin1(name);
    auto stale = watchStaleResults(form, inputs, results, QStringLiteral("StaleNote1"));

    form.button(QStringLiteral("Command9")).on(Event::Click, [&app, &form, stale] {
        const Computed<ShortCircuitResult> result =
            readShortCircuitInput(form).then(computeShortCircuit);
        if (!result) {
            showMissingData(app);
            return;
        }
        writeCurrents(form, *result, *stale);
    });
    form.button(QStringLiteral("Command10")).on(Event::Click, [&form] {
        clearShortCircuitPage(form);
    });

    const std::pair<const char*, const char*> dialogs[] = {
        {"Command22", "BYQForm8"}, {"Command23", "MXForm9"}, {"Command19", "Form4"},
        {"Command20", "Form5"},    {"Command15", "Form2"},   {"Command16", "Form3"},
        {"Command17", "Form6"},    {"Command18", "Form7"},
    };
    for (const auto& [button, dialog] : dialogs) {
        app.showDialogOnClick(form.button(QString::fromLatin1(button)),
                              QString::fromLatin1(dialog));
    }
}

} // namespace korvane
