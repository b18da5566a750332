#include "voltage_loss/voltage_loss_action.h"

#include "form/form.h"
#include "form/number_format.h"
#include "form/stale_results.h"
#include "voltage_loss/voltage_loss.h"
#include "voltage_loss/voltage_loss_page.h"

namespace korvane {

namespace {

FieldReading readBoth(const QString& text) {
    return {readLenient(text), readStrict(text)};
}

// The four (load, distance) pairs switched by kLoadSwitches[first .. first + 3].
std::array<LoadAtDistance, 4> readLoads(const Form& form, int first) {
    std::array<LoadAtDistance, 4> loads{};
    for (int k = 0; k < 4; ++k) {
        const LoadSwitch& pair = kLoadSwitches[first + k];
        loads[static_cast<size_t>(k)] = {
            readLenient(form.text(QString::fromLatin1(pair.load)).text()),
            readLenient(form.text(QString::fromLatin1(pair.distance)).text())};
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
    auto text = [&form](const char* name) { return form.text(QString::fromLatin1(name)).text(); };
    auto listText = [&form](const char* name) {
        return form.combo(QString::fromLatin1(name)).text();
    };
    VoltageLossInput in;
    in.lineKind = listText("Combo5");
    in.loadCase = listText("Combo6");
    in.resistanceOhmPerKm = readBoth(text("Text1"));
    in.reactanceOhmPerKm = readBoth(text("Text2"));
    in.voltageKv = readBoth(listText("Combo7"));
    in.powerFactor = readStrict(listText("Combo4"));
    in.endCurrentA = readLenient(text("Text4"));
    in.endLengthKm = readLenient(text("Text5"));
    in.endPowerKw = readLenient(text("Text17"));
    in.endPowerLengthKm = readLenient(text("Text18"));
    in.currentLoads = readLoads(form, 0);
    in.powerLoads = readLoads(form, 4);
    in.unityPowerLoads = readLoads(form, 8);
    in.conductorTempC = readStrict(listText("Combo8"));
    in.ambientTempC = readStrict(listText("Combo9"));
    return in;
}

namespace {

// What the computation reads: the cable choice and its R and X, voltage, power factor,
// temperatures, line kind and load case, and every load field and its switch.
QStringList voltageLossInputNames() {
    QStringList names{QStringLiteral("Combo1"), QStringLiteral("Combo2"), QStringLiteral("Combo3"),
                      QStringLiteral("Text1"),  QStringLiteral("Text2"),  QStringLiteral("Combo7"),
                      QStringLiteral("Combo4"), QStringLiteral("Combo8"), QStringLiteral("Combo9"),
                      QStringLiteral("Combo5"), QStringLiteral("Combo6"), QStringLiteral("Text4"),
                      QStringLiteral("Text5"),  QStringLiteral("Text17"), QStringLiteral("Text18")};
    for (const LoadSwitch& pair : kLoadSwitches)
        names << QString::fromLatin1(pair.check) << QString::fromLatin1(pair.load)
              << QString::fromLatin1(pair.distance);
    return names;
}

} // namespace

void installVoltageLossAction(Form& form) {
    auto stale = watchStaleResults(
        form, voltageLossInputNames(),
        {QStringLiteral("Text6"), QStringLiteral("Text3"), QStringLiteral("Text7")},
        QStringLiteral("StaleNote0"));
    form.button(QStringLiteral("Command1")).on(Event::Click, [&form, stale] {
        const VoltageLossResult result = computeVoltageLoss(readVoltageLossInput(form));
        auto& loss = form.text(QStringLiteral("Text6"));
        auto& verdict = form.text(QStringLiteral("Text3"));
        loss.setText(formatFixed(result.shownLossPercent, 4));
        verdict.setText(voltageLossVerdict(result));
        stale->computed(loss);
        stale->computed(verdict);
        // Without a line length that could be worked out the field keeps what it showed, and
        // stays marked when it was computed from other inputs.
        if (result.maxLengthM) {
            auto& maxLength = form.text(QStringLiteral("Text7"));
            maxLength.setText(formatFourDecimalsTrimmed(*result.maxLengthM));
            stale->computed(maxLength);
        }
    });
}

} // namespace korvane
