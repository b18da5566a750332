#include "reports/voltage_loss_book.h"

#include "base/number_format.h"
#include "form/binding.h"
#include "form/form.h"
#include "pages/voltage_loss_fields.h"
#include "reports/book_frame.h"
#include "voltage_loss/voltage_loss_action.h"

#include <cmath>
#include <numbers>
#include <string_view>

namespace korvane {

namespace {

constexpr double kBodyLineSpacingPoints = 20.0;

std::array<LoadTexts, 4> readLoadTexts(const Form& form, int first) {
    const BindingTable& fields = voltageLossFields();
    std::array<LoadTexts, 4> loads;
    for (size_t k = 0; k < loads.size(); ++k) {
        const SwitchedLoad& load = kSwitchedLoads[static_cast<size_t>(first) + k];
        loads[k] = {boundText(form, fields, load.load), boundText(form, fields, load.lengthKm)};
    }
    return loads;
}

// The load lines of the current-moment cases (I in A) and of the load-moment cases (P in kW).
// The length labels are padded differently in the two, as the book has always printed them.
void currentLines(QStringList& out, const QString& current, const QString& length) {
    out << QStringLiteral(" 负荷计算电流:  I = ") + current + QStringLiteral("(A)")
        << QStringLiteral(" 线路长度:      L = ") + length + QStringLiteral("(km)");
}

void severalCurrentLines(QStringList& out, const std::array<LoadTexts, 4>& loads) {
    for (int k = 0; k < 4; ++k)
        out << QStringLiteral(" 负荷计算电流:  I%1 = ").arg(k + 1) +
                   loads[static_cast<size_t>(k)].load + QStringLiteral("(A)");
    for (int k = 0; k < 4; ++k)
        out << QStringLiteral(" 线路长度:      L%1 = ").arg(k + 1) +
                   loads[static_cast<size_t>(k)].length + QStringLiteral("(km)");
}

void powerLines(QStringList& out, const QString& power, const QString& length) {
    out << QStringLiteral(" 有功负荷:  P = ") + power + QStringLiteral("(kw)")
        << QStringLiteral(" 线路长度:  L = ") + length + QStringLiteral("(km)");
}

void severalPowerLines(QStringList& out, const std::array<LoadTexts, 4>& loads) {
    for (int k = 0; k < 4; ++k)
        out << QStringLiteral(" 有功负荷:  P%1 = ").arg(k + 1) +
                   loads[static_cast<size_t>(k)].load + QStringLiteral("(kw)");
    for (int k = 0; k < 4; ++k)
        out << QStringLiteral(" 线路长度:  L%1 = ").arg(k + 1) +
                   loads[static_cast<size_t>(k)].length + QStringLiteral("(km)");
}

// The load lines of the case the load-case list shows; false when it shows none of them. Texts are
// compared whole and case-sensitively, so "(3)终段负荷用负荷矩(kW.km)" is not case (3) of the
// current moments.
bool appendLoadLines(QStringList& out, const VoltageLossBookPage& page) {
    const std::optional<LoadCase> shown = loadCaseOf(page.loadCase);
    if (!shown)
        return false;
    switch (placeOf(*shown)) {
    case LoadPlace::EndCurrent:
        currentLines(out, page.endCurrent, page.endLength);
        break;
    case LoadPlace::SeveralCurrents:
        severalCurrentLines(out, page.currentLoads);
        break;
    case LoadPlace::EndPower:
        powerLines(out, page.endPower, page.endPowerLength);
        break;
    case LoadPlace::SeveralPowers:
        severalPowerLines(out, page.powerLoads);
        break;
    case LoadPlace::SeveralUnityPowers:
        severalPowerLines(out, page.unityPowerLoads);
        break;
    }
    return true;
}

// Numbers as the computation used them.
QString g(double value) {
    return formatGeneral(value);
}

// The trigonometric values to four decimals, as one writes them in a hand calculation.
QString trig(double value) {
    return formatFixed(value, 4);
}

// Under " 式中：" in a font whose Latin letters are half as wide as its Chinese ones.
const QString kLegendIndent = QStringLiteral("       ");

// The leading constant of the row as the handbook writes it: √3 for three phases, 1.5·√3 for
// two phases with neutral, plain numbers otherwise.
QString factorText(double factor) {
    constexpr double sqrt3 = std::numbers::sqrt3;
    if (std::abs(factor - sqrt3) < 1e-12)
        return QStringLiteral("√3");
    if (std::abs(factor - 1.5 * sqrt3) < 1e-12)
        return QStringLiteral("1.5 × √3");
    return g(factor);
}

// The constant in front of a load-moment formula; a factor of 1 is not written.
QString powerFactorPrefix(double factor) {
    return factor == 1.0 ? QString() : factorText(factor) + QStringLiteral(" × ");
}

QString methodWords(LossFormula formula) {
    switch (formula) {
    case LossFormula::CurrentMomentEnd:
        return QStringLiteral("终段负荷，电流矩法");
    case LossFormula::CurrentMomentUniform:
        return QStringLiteral("均匀分布负荷，电流矩法");
    case LossFormula::CurrentMomentSeveral:
        return QStringLiteral("几个负荷，电流矩法");
    case LossFormula::LoadMomentEnd:
        return QStringLiteral("终段负荷，负荷矩法");
    case LossFormula::LoadMomentSeveral:
        return QStringLiteral("几个负荷，负荷矩法");
    case LossFormula::UnityPowerSeveral:
        return QStringLiteral("几个负荷，cosφ=1，负荷矩法");
    case LossFormula::UnityPowerEnd:
        return QStringLiteral("终段负荷，cosφ=1，负荷矩法");
    case LossFormula::None:
        break;
    }
    return {};
}

bool isSeveral(LossFormula formula) {
    return formula == LossFormula::CurrentMomentSeveral ||
           formula == LossFormula::LoadMomentSeveral || formula == LossFormula::UnityPowerSeveral;
}

// The moment part of the formula, in symbols and with the values put in.
QString momentSymbols(LossFormula formula) {
    switch (formula) {
    case LossFormula::CurrentMomentEnd:
        return QStringLiteral("I × L");
    case LossFormula::CurrentMomentUniform:
        return QStringLiteral("(0.5 × I) × L");
    case LossFormula::CurrentMomentSeveral:
        return QStringLiteral("Σ(Ii × Li)");
    case LossFormula::LoadMomentSeveral:
    case LossFormula::UnityPowerSeveral:
        return QStringLiteral("Σ(Pi × Li)");
    default:
        return QStringLiteral("P × L");
    }
}

QString momentValues(LossFormula formula, const VoltageLossInput& in, const VoltageLossResult& r) {
    switch (formula) {
    case LossFormula::CurrentMomentEnd:
        return g(in.endCurrentA) + QStringLiteral(" × ") + g(in.endLengthKm);
    case LossFormula::CurrentMomentUniform:
        return QStringLiteral("(0.5 × %1) × %2").arg(g(in.endCurrentA), g(in.endLengthKm));
    case LossFormula::LoadMomentEnd:
    case LossFormula::UnityPowerEnd:
        return g(in.endPowerKw) + QStringLiteral(" × ") + g(in.endPowerLengthKm);
    default:
        return g(r.moment);
    }
}

const std::array<LoadAtDistance, 4>& loadsOf(LossFormula formula, const VoltageLossInput& in) {
    switch (formula) {
    case LossFormula::LoadMomentSeveral:
        return in.powerLoads;
    case LossFormula::UnityPowerSeveral:
        return in.unityPowerLoads;
    default:
        return in.currentLoads;
    }
}

void appendLossComputation(QStringList& out, const VoltageLossInput& in,
                           const VoltageLossResult& r) {
    const Lead lead = leadOf(r.formula);
    const QString u = g(in.voltageKv.lenient);
    const QString rr = g(in.resistanceOhmPerKm.lenient);
    const QString x = g(in.reactanceOhmPerKm.lenient);

    QString symbols;
    QString values;
    // The symbols explained in two lines, the second under the first one's symbols.
    QString legend = QStringLiteral(" 式中：U—标称电压(kV)；R、X—线路单位长度电阻、感抗(Ω/km)；");
    QString legendLoad;
    switch (lead) {
    case Lead::Current:
        symbols =
            QStringLiteral("%1 / (10 × U) × (R × cosφ + X × sinφ) × ").arg(factorText(r.factor));
        values = QStringLiteral("%1 / (10 × %2) × (%3 × %4 + %5 × %6) × ")
                     .arg(factorText(r.factor), u, rr, trig(r.cosPhi), x, trig(r.sinPhi));
        legendLoad = QStringLiteral("I—负荷计算电流(A)；L—线路长度(km)。");
        break;
    case Lead::Power:
        symbols = powerFactorPrefix(r.factor) + QStringLiteral("(R + X × tanφ) / (10 × U ^ 2) × ");
        values = powerFactorPrefix(r.factor) +
                 QStringLiteral("(%1 + %2 × %3) / (10 × %4 ^ 2) × ").arg(rr, x, trig(r.tanPhi), u);
        legendLoad = QStringLiteral("P—有功负荷(kW)；L—线路长度(km)。");
        break;
    case Lead::UnityPower:
        symbols = powerFactorPrefix(r.factor) + QStringLiteral("R / (10 × U ^ 2) × ");
        values = powerFactorPrefix(r.factor) + QStringLiteral("%1 / (10 × %2 ^ 2) × ").arg(rr, u);
        legend = QStringLiteral(" 式中：U—标称电压(kV)；R—线路单位长度电阻(Ω/km)；");
        legendLoad = QStringLiteral("P—有功负荷(kW)；L—线路长度(km)。");
        break;
    }

    out << QStringLiteral(" 计算公式（%1）：").arg(methodWords(r.formula));
    out << QStringLiteral("   Δu% = ") + symbols + momentSymbols(r.formula);
    out << legend << kLegendIndent + legendLoad;
    out << QStringLiteral(" 代入数值：");
    switch (lead) {
    case Lead::Current:
        out << QStringLiteral("   cosφ = %1，sinφ = %2").arg(trig(r.cosPhi), trig(r.sinPhi));
        break;
    case Lead::Power:
        out << QStringLiteral("   cosφ = %1，tanφ = %2").arg(trig(r.cosPhi), trig(r.tanPhi));
        break;
    case Lead::UnityPower:
        break;
    }
    if (isSeveral(r.formula)) {
        QStringList terms;
        for (const LoadAtDistance& load : loadsOf(r.formula, in))
            terms << g(load.load) + QStringLiteral(" × ") + g(load.lengthKm);
        out << QStringLiteral("   %1 = %2 = %3")
                   .arg(momentSymbols(r.formula), terms.join(QStringLiteral(" + ")), g(r.moment));
    }
    out << QStringLiteral("   Δu% = ") + values + momentValues(r.formula, in, r);
    out << QStringLiteral("   Δu% = ") + formatFixed(r.shownLossPercent, 4);
    out << QStringLiteral(" 校验结果：") + voltageLossVerdict(r);
}

// The line constant as the formula writes it, in the program's own form whatever the regional
// format, like the other constants of the formulas.
QString lineCoefficientText() {
    return formatGeneral(kMaxLengthLineCoefficient, RegionalFormat{});
}

void appendMaxLength(QStringList& out, const VoltageLossInput& in, const VoltageLossResult& r) {
    out << QStringLiteral(" 线路最大允许长度（Δu% = 5%）：");
    const QString times = QStringLiteral(" × ") + lineCoefficientText();
    QString symbols;
    QString loadValues;
    switch (r.maxLengthSource) {
    case MaxLengthSource::FromCurrent:
        symbols = QStringLiteral("I") + times;
        loadValues = g(in.endCurrentA) + times;
        break;
    case MaxLengthSource::FromPowerSinglePhase:
        symbols = QStringLiteral("(P / U)") + times;
        loadValues =
            QStringLiteral("(%1 / %2)").arg(g(in.endPowerKw), g(in.voltageKv.lenient)) + times;
        break;
    case MaxLengthSource::FromPowerThreePhase:
        symbols = QStringLiteral("P / (√3 × U × cosφ)") + times;
        loadValues = QStringLiteral("%1 / (√3 × %2 × %3)")
                         .arg(g(in.endPowerKw), g(in.voltageKv.lenient), trig(r.cosPhi)) +
                     times;
        break;
    case MaxLengthSource::None:
        out << QStringLiteral("   未能计算：负荷电流或有功负荷、导线参数或温度未输全。");
        return;
    }
    const double k = r.temperatureFactor.valueOr(0.0);
    const double z = r.impedanceOhmPerKm.valueOr(0.0);
    out << QStringLiteral("   Lmax = 1000 × 5 / (k × Z × ") + symbols + u')';
    out << QStringLiteral(" 式中：k—温度系数；Z—线路单位长度阻抗(Ω/km)；")
        << kLegendIndent + QStringLiteral("θc—线芯工作温度(℃)；θa—环境温度(℃)。");
    out << QStringLiteral("   k = (θc - θa) × 0.004 + 1 = (%1 - %2) × 0.004 + 1 = %3")
               .arg(g(in.conductorTempC.value_or(0.0)), g(in.ambientTempC.value_or(0.0)), g(k));
    out << QStringLiteral("   Z = √(R ^ 2 + X ^ 2) = √(%1 ^ 2 + %2 ^ 2) = %3")
               .arg(g(in.resistanceOhmPerKm.strict.value_or(0.0)),
                    g(in.reactanceOhmPerKm.strict.value_or(0.0)), formatFixed(z, 6));
    out << QStringLiteral("   Lmax = 1000 × 5 / (%1 × %2 × %3)")
               .arg(g(k), formatFixed(z, 6), loadValues);
    out << QStringLiteral("   Lmax = ") + formatFourDecimalsTrimmed(r.maxLengthM.valueOr(0.0)) +
               QStringLiteral(" (m)");
}

} // namespace

VoltageLossBookPage readVoltageLossBookPage(const Form& form) {
    const BindingTable& fields = voltageLossFields();
    auto text = [&](std::string_view quantity) { return boundText(form, fields, quantity); };
    VoltageLossBookPage page;
    page.lineKind = text("voltageLoss.lineKind");
    page.loadCase = text("voltageLoss.loadCase");
    page.lossType = text("voltageLoss.cableCategory");
    page.cableType = text("voltageLoss.cableType");
    page.crossSection = text("voltageLoss.cableCrossSectionMm2");
    page.resistance = text("voltageLoss.cableResistanceOhmPerKm");
    page.reactance = text("voltageLoss.cableReactanceOhmPerKm");
    page.voltage = text("voltageLoss.lineVoltageKV");
    page.powerFactor = text("voltageLoss.powerFactor");
    page.endCurrent = text("voltageLoss.currentLoad.currentA");
    page.endLength = text("voltageLoss.currentLoad.lengthKm");
    page.endPower = text("voltageLoss.powerLoad.powerKW");
    page.endPowerLength = text("voltageLoss.powerLoad.lengthKm");
    page.currentLoads = readLoadTexts(form, kFirstCurrentLoad);
    page.powerLoads = readLoadTexts(form, kFirstPowerLoad);
    page.unityPowerLoads = readLoadTexts(form, kFirstUnityPowerLoad);
    return page;
}

QStringList voltageLossInputParagraphs(const VoltageLossBookPage& page) {
    QStringList out{
        QStringLiteral("【输入参数】："),
        QStringLiteral(" 线路种类: ") + page.lineKind,
        QStringLiteral(" 负荷情况: ") + page.loadCase,
        QStringLiteral(" 电缆损失类型:  ") + page.lossType,
        QStringLiteral(" 电缆型号或类型:  ") + page.cableType,
        QStringLiteral(" 线芯截面:  S = ") + page.crossSection + QStringLiteral("(mm2)"),
        QStringLiteral(" 线路单位长度电阻:  R = ") + page.resistance + QStringLiteral("(Ω/km)"),
        QStringLiteral(" 线路单位长度感抗:  X = ") + page.reactance + QStringLiteral("(Ω/km)"),
        QStringLiteral(" 标称电压:  V = ") + page.voltage + QStringLiteral("(kV)"),
        QStringLiteral(" 功率因数:  cosφ = ") + page.powerFactor,
    };
    if (appendLoadLines(out, page))
        out << QString();
    out << QStringLiteral("【计算过程】：");
    return out;
}

QStringList voltageLossComputationParagraphs(const VoltageLossInput& input,
                                             const VoltageLossResult& result) {
    QStringList out;
    if (result.formula == LossFormula::None) {
        out << QStringLiteral(" 未能计算电压损失：线路种类与负荷情况不对应，或已知数据不全。");
    } else {
        appendLossComputation(out, input, result);
    }
    appendMaxLength(out, input, result);
    return out;
}

bool writeVoltageLossBook(ReportWriter& writer, const VoltageLossBookPage& page,
                          const VoltageLossInput& input, const QDate& today,
                          const BookHeader& header) {
    if (!writer.openDocument())
        return false;
    writeBookFrame(writer, QString::fromUtf8(kVoltageLossBookTitle), today, header);
    writeBookBody(writer,
                  voltageLossInputParagraphs(page) +
                      voltageLossComputationParagraphs(input, computeVoltageLoss(input)),
                  kBodyLineSpacingPoints);
    writer.showDocument();
    return true;
}

} // namespace korvane
