#include "reports/short_circuit_book.h"

#include "form/binding.h"
#include "form/form.h"
#include "pages/short_circuit_fields.h"
#include "reports/book_frame.h"

#include <optional>
#include <string_view>

namespace korvane {

namespace {

constexpr double kBodyLineSpacingPoints = 18.0;

QString fixed6(double value) {
    return formatFixed(value, 6);
}

QString fixed4(double value) {
    return formatFixed(value, 4);
}

// A paragraph that carries a computed value is written only when the value could be computed.
void appendWithValue(QStringList& out, const QString& before, const BookValue& value,
                     const QString& after = {}) {
    if (value.computed)
        out << before + value.text + after;
}

const QString kFormulas = QStringLiteral("【计算公式：】");
const QString kInputs = QStringLiteral("【输入参数：】:");
const QString kCoefficients = QStringLiteral("【相关系数：】: ");
const QString kVoltageFactorLine =
    QStringLiteral(" \u3000c =   1.05               ……电压系数，计算三相短路电流时取1.05:");

void appendSystem(QStringList& out, const ShortCircuitBookPage& page,
                  const ShortCircuitBookValues& v) {
    out << QStringLiteral("一、计算三相短路电流：") << QStringLiteral("1、系统阻抗: ")
        << kCoefficients << kVoltageFactorLine
        << QStringLiteral(" \u3000Un =  380 (V)            ……变压器低压侧标称电压 :") << kInputs
        << QStringLiteral("   Ss =") + page.systemCapacityMva + QStringLiteral(" (MVA)") +
               QStringLiteral("            ……变压器高压侧系统短路容量")
        << kFormulas << QStringLiteral("   Zs = (c × Un)^ 2 / Ss/1000")
        << QStringLiteral("   Xs = 0.995 × Zs");
    appendWithValue(out, QStringLiteral("   Zs = "), v.zs);
    appendWithValue(out, QStringLiteral("   Xs = "), v.xs);
    appendWithValue(out, QStringLiteral("   Rs = "), v.rs);
}

void appendTransformer(QStringList& out, const ShortCircuitBookPage& page,
                       const ShortCircuitBookValues& v) {
    out << QStringLiteral("2、变压器阻抗: ") << kCoefficients << kVoltageFactorLine
        << QStringLiteral(" \u3000Un =  380 (V)            ……变压器低压侧标称电压:") << kInputs
        << QStringLiteral(" \u3000Uk =") + page.ukPercent + QStringLiteral(" (%)") +
               QStringLiteral("                ……变压器电抗电压百分数:")
        << QStringLiteral(" \u3000St =") + page.ratedKva + QStringLiteral(" (kVA)") +
               QStringLiteral("            ……变压器的额定容量 :")
        << QStringLiteral(" \u3000ΔP =") + page.loadLossKw + QStringLiteral(" (kW)") +
               QStringLiteral("           ……变压器短路损耗 :")
        << kFormulas << QStringLiteral("   Zt = Uk × (c × Un) ^ 2) / 100 × St")
        << QStringLiteral("   Rt = ΔP × (c × Un) ^ 2) / St ^ 2")
        << QStringLiteral("   Xt = √(Zt ^ 2 - Rt ^ 2)");
    appendWithValue(out, QStringLiteral("   Zt = "), v.zt);
    appendWithValue(out, QStringLiteral("   Rt = "), v.rt);
    appendWithValue(out, QStringLiteral("   Xt = "), v.xt);
}

void appendBusbar(QStringList& out, const ShortCircuitBookPage& page,
                  const ShortCircuitBookValues& v) {
    out << QStringLiteral("3、求母线阻抗: ") << kInputs
        << QStringLiteral(" \u3000Rmm =") + page.busbarResistance + QStringLiteral(" (mΩ/m)") +
               QStringLiteral("         ……选定选定母线单位长度的相电阻:")
        << QStringLiteral(" \u3000Xmm =") + page.busbarReactance + QStringLiteral(" (mΩ/m)") +
               QStringLiteral("         ……选定母线单位长度的相电抗:")
        << QStringLiteral(" \u3000Lm =") + page.busbarLengthM + QStringLiteral(" (m)") +
               QStringLiteral("                  ……母线长度:")
        << kFormulas << QStringLiteral("   Rm = Rmm × Lm") << QStringLiteral("   Xm = Xmm × Lm");
    appendWithValue(out, QStringLiteral("   Rm = "), v.rm);
    appendWithValue(out, QStringLiteral("   Xm = "), v.xm);
}

// The line length is printed in metres when it could be converted, as typed otherwise.
void appendLine(QStringList& out, const ShortCircuitBookPage& page,
                const ShortCircuitBookValues& v) {
    const QString length = v.lineLengthM.computed ? v.lineLengthM.text : page.lineLengthKm;
    out << QStringLiteral("4、求线路阻抗: ") << kInputs
        << QStringLiteral(" \u3000Ro =") + page.lineResistance + QStringLiteral(" (mΩ/m)") +
               QStringLiteral("           ……选定配电线路单位长度的相电阻:")
        << QStringLiteral(" \u3000Xo =") + page.lineReactance + QStringLiteral(" (mΩ/m)") +
               QStringLiteral("           ……选定配电线路单位长度的相电抗:")
        << QStringLiteral(" \u3000Lx =") + length + QStringLiteral(" (m)") +
               QStringLiteral("                 ……配电线路长度:")
        << kFormulas << QStringLiteral("   Rx = Ro × Lx") << QStringLiteral("   Xx = Xo × Lx");
    appendWithValue(out, QStringLiteral("   Rx = "), v.rx);
    appendWithValue(out, QStringLiteral("   Xx = "), v.xx);
}

// The three-phase loop and currents of the page's computation (handbook: I″k3 = c·Un/(√3·ZΣ),
// I″k2 = 0.866·I″k3).
void appendThreePhaseCurrents(QStringList& out, const ShortCircuitResult& r) {
    out << QStringLiteral("5、三相短路电流: ") << kFormulas
        << QStringLiteral("   RΣ = Rs + Rt + Rm + Rx")
        << QStringLiteral("   XΣ = Xs + Xt + Xm + Xx")
        << QStringLiteral("   ZΣ = √(RΣ ^ 2 + XΣ ^ 2)")
        << QStringLiteral("   I\u2033k3 = c × Un / (√3 × ZΣ)")
        << QStringLiteral("   I\u2033k2 = 0.866 × I\u2033k3")
        << QStringLiteral("   RΣ = ") + fixed6(r.total.r)
        << QStringLiteral("   XΣ = ") + fixed6(r.total.x)
        << QStringLiteral("   ZΣ = ") + fixed6(r.zTotal)
        << QStringLiteral("   I\u2033k3 = ") + fixed4(r.ik3) + QStringLiteral(" (kA)")
        << QStringLiteral("   I\u2033k2 = ") + fixed4(r.ik2) + QStringLiteral(" (kA)");
}

void appendSystemLoop(QStringList& out, const ShortCircuitBookValues& v) {
    out << QStringLiteral("二、计算单相短路电流：") << QStringLiteral("1、系统相保阻抗: ")
        << kInputs;
    appendWithValue(out, QStringLiteral("   Rs ="), v.rs,
                    QStringLiteral(" (mΩ)") + QStringLiteral("            ……系统电阻"));
    appendWithValue(out, QStringLiteral("   Xs ="), v.xs,
                    QStringLiteral(" (mΩ)") + QStringLiteral("            ……系统电抗"));
    out << kFormulas << QStringLiteral("   Rphps = 2 × Rs / 3")
        << QStringLiteral("   Xphps = 2 × Xs / 3");
    appendWithValue(out, QStringLiteral("   Rphps = "), v.rphps);
    appendWithValue(out, QStringLiteral("   Xphps = "), v.xphps);
}

// For a D,yn11 transformer the phase-to-protective values are the phase values; the last two
// lines print the stored texts as they are, empty ones included.
void appendTransformerLoop(QStringList& out, const ShortCircuitBookValues& v) {
    out << QStringLiteral("2、变压器相保阻抗: ") << kInputs;
    appendWithValue(out, QStringLiteral("   Rt ="), v.rt, QStringLiteral(" (mΩ)"));
    appendWithValue(out, QStringLiteral("   Xt ="), v.xt, QStringLiteral(" (mΩ)"));
    out << kFormulas << QStringLiteral("   Rphpt =  Rt") << QStringLiteral("   Xphpt =  Xt")
        << QStringLiteral("   Rphpt = ") + v.rt.text << QStringLiteral("   Xphpt = ") + v.xt.text;
}

// The rest of the page's single-phase computation: the phase-to-protective impedances of busbar
// and line, the loop and the earth-fault current Id = Un/(√3·Zphp), and the phase-to-neutral loop
// with I″k1 = Un/(√3·Z1), both without the voltage factor.
void appendSinglePhaseCurrents(QStringList& out, const ShortCircuitBookPage& page,
                               const ShortCircuitResult& r) {
    out << QStringLiteral("3、母线相保阻抗: ") << kInputs
        << QStringLiteral(" \u3000Rphpmm =") + page.busbarLoopResistance +
               QStringLiteral(" (mΩ/m)") + QStringLiteral("      ……选定母线单位长度的相保电阻:")
        << QStringLiteral(" \u3000Xphpmm =") + page.busbarLoopReactance +
               QStringLiteral(" (mΩ/m)") + QStringLiteral("      ……选定母线单位长度的相保电抗:")
        << kFormulas << QStringLiteral("   Rphpm = Rphpmm × Lm")
        << QStringLiteral("   Xphpm = Xphpmm × Lm")
        << QStringLiteral("   Rphpm = ") + fixed6(r.busbarLoop.r)
        << QStringLiteral("   Xphpm = ") + fixed6(r.busbarLoop.x);

    out << QStringLiteral("4、线路相保阻抗: ") << kInputs
        << QStringLiteral(" \u3000Rphpo =") + page.lineLoopResistance + QStringLiteral(" (mΩ/m)") +
               QStringLiteral("       ……选定配电线路单位长度的相保电阻:")
        << QStringLiteral(" \u3000Xphpo =") + page.lineLoopReactance + QStringLiteral(" (mΩ/m)") +
               QStringLiteral("       ……选定配电线路单位长度的相保电抗:")
        << kFormulas << QStringLiteral("   Rphpx = Rphpo × Lx")
        << QStringLiteral("   Xphpx = Xphpo × Lx")
        << QStringLiteral("   Rphpx = ") + fixed6(r.lineLoop.r)
        << QStringLiteral("   Xphpx = ") + fixed6(r.lineLoop.x);

    out << QStringLiteral("5、单相接地故障电流: ") << kFormulas
        << QStringLiteral("   Rphp = Rphps + Rphpt + Rphpm + Rphpx")
        << QStringLiteral("   Xphp = Xphps + Xphpt + Xphpm + Xphpx")
        << QStringLiteral("   Zphp = √(Rphp ^ 2 + Xphp ^ 2)")
        << QStringLiteral("   Id = Un / (√3 × Zphp)")
        << QStringLiteral("   Rphp = ") + fixed6(r.loop.r)
        << QStringLiteral("   Xphp = ") + fixed6(r.loop.x)
        << QStringLiteral("   Zphp = ") + fixed6(r.zLoop)
        << QStringLiteral("   Id = ") + fixed4(r.id) + QStringLiteral(" (kA)");

    out << QStringLiteral("6、单相短路电流: ") << kInputs
        << QStringLiteral(" \u3000R' =") + page.lineNeutralResistance + QStringLiteral(" (mΩ/m)") +
               QStringLiteral("          ……选定配电线路单位长度的相中电阻:")
        << QStringLiteral(" \u3000X' =") + page.lineNeutralReactance + QStringLiteral(" (mΩ/m)") +
               QStringLiteral("          ……选定配电线路单位长度的相中电抗:")
        << kFormulas << QStringLiteral("   R1 = Rs + Rt + Rm + R' × Lx")
        << QStringLiteral("   X1 = Xs + Xt + Xm + X' × Lx")
        << QStringLiteral("   Z1 = √(R1 ^ 2 + X1 ^ 2)")
        << QStringLiteral("   I\u2033k1 = Un / (√3 × Z1)")
        << QStringLiteral("   R1 = ") + fixed6(r.neutralLoop.r)
        << QStringLiteral("   X1 = ") + fixed6(r.neutralLoop.x)
        << QStringLiteral("   Z1 = ") + fixed6(r.zNeutralLoop)
        << QStringLiteral("   I\u2033k1 = ") + fixed4(r.ik1) + QStringLiteral(" (kA)");
}

} // namespace

ShortCircuitBookPage readShortCircuitBookPage(const Form& form) {
    auto text = [&form](std::string_view quantity) {
        return boundText(form, shortCircuitFields(), quantity);
    };
    ShortCircuitBookPage page;
    page.systemCapacityMva = text("shortCircuit.systemCapacityMVA");
    page.ukPercent = text("supply.transformer.impedanceVoltagePercent");
    page.ratedKva = text("supply.transformer.ratedKVA");
    page.loadLossKw = text("supply.transformer.loadLossKW");
    page.busbarResistance = text("supply.busbar.resistanceMilliOhmPerM");
    page.busbarReactance = text("supply.busbar.reactanceMilliOhmPerM");
    page.busbarLengthM = text("supply.busbar.lengthM");
    page.lineResistance = text("shortCircuit.line.resistanceMilliOhmPerM");
    page.lineReactance = text("shortCircuit.line.reactanceMilliOhmPerM");
    page.lineLengthKm = text("shortCircuit.line.lengthKm");
    page.busbarLoopResistance = text("supply.busbar.phaseProtectiveResistanceMilliOhmPerM");
    page.busbarLoopReactance = text("supply.busbar.phaseProtectiveReactanceMilliOhmPerM");
    page.lineLoopResistance = text("shortCircuit.line.phaseProtectiveResistanceMilliOhmPerM");
    page.lineLoopReactance = text("shortCircuit.line.phaseProtectiveReactanceMilliOhmPerM");
    page.lineNeutralResistance = text("shortCircuit.line.phaseNeutralResistanceMilliOhmPerM");
    page.lineNeutralReactance = text("shortCircuit.line.phaseNeutralReactanceMilliOhmPerM");
    return page;
}

namespace {

// The book's evaluation of one value: a chain of its own under the six-decimal policy in the
// book's number format, fed by page texts read strictly and by the values before it.
class BookSteps {
public:
    explicit BookSteps(const RegionalFormat& format) : format_(format) {}

    template <typename Step> Computed<double> value(Step step) const {
        StepChain chain(Rounding::SixDecimals, format_);
        const double v = step(chain);
        return chain.result(v);
    }
    // An input as the user typed it; `quantity` names it in the reason of a failure.
    double input(StepChain& chain, const QString& text, const char* quantity) const {
        const std::optional<double> v = readStrict(text, format_);
        if (!v)
            chain.fail(QString::fromUtf8(quantity) + QStringLiteral("未输入或不是数值"));
        return v.value_or(0.0);
    }
    BookValue printed(const Computed<double>& value) const {
        if (!value)
            return {{}, false, value.reason()};
        return {formatFixed(*value, 6, format_), true, {}};
    }

private:
    const RegionalFormat& format_;
};

// A value that could not be computed counts as zero in the values after it.
double earlier(const Computed<double>& value) {
    return value.valueOr(0.0);
}

} // namespace

ShortCircuitBookValues computeShortCircuitBookValues(const ShortCircuitBookPage& page,
                                                     const RegionalFormat& format) {
    using namespace impedance_chain;
    const BookSteps book(format);
    auto input = [&book](StepChain& c, const QString& text, const char* quantity) {
        return book.input(c, text, quantity);
    };

    const Computed<double> zs = book.value([&](StepChain& c) {
        return systemImpedance(c, input(c, page.systemCapacityMva, "系统短路容量Ss"));
    });
    const Computed<double> xs =
        book.value([&](StepChain& c) { return systemReactance(c, earlier(zs)); });
    const Computed<double> rs =
        book.value([&](StepChain& c) { return systemResistance(c, earlier(xs)); });
    const Computed<double> rphps =
        book.value([&](StepChain& c) { return systemLoop(c, earlier(rs)); });
    const Computed<double> xphps =
        book.value([&](StepChain& c) { return systemLoop(c, earlier(xs)); });

    const Computed<double> zt = book.value([&](StepChain& c) {
        const double uk = input(c, page.ukPercent, "变压器电抗电压百分数Uk");
        return transformerImpedance(c, uk, input(c, page.ratedKva, "变压器额定容量St"));
    });
    const Computed<double> rt = book.value([&](StepChain& c) {
        const double loss = input(c, page.loadLossKw, "变压器短路损耗ΔP");
        return transformerResistance(c, loss, input(c, page.ratedKva, "变压器额定容量St"));
    });
    const Computed<double> xt =
        book.value([&](StepChain& c) { return transformerReactance(c, earlier(zt), earlier(rt)); });

    auto along = [&](const QString& length, const char* lengthName, const QString& perMetre,
                     const char* perMetreName) {
        return book.value([&](StepChain& c) {
            const double l = input(c, length, lengthName);
            return alongLength(c, l, input(c, perMetre, perMetreName));
        });
    };
    const Computed<double> rm =
        along(page.busbarLengthM, "母线长度Lm", page.busbarResistance, "母线单位长度相电阻Rmm");
    const Computed<double> xm =
        along(page.busbarLengthM, "母线长度Lm", page.busbarReactance, "母线单位长度相电抗Xmm");

    ShortCircuitBookValues v;
    v.zs = book.printed(zs);
    v.xs = book.printed(xs);
    v.rs = book.printed(rs);
    v.rphps = book.printed(rphps);
    v.xphps = book.printed(xphps);
    v.zt = book.printed(zt);
    v.rt = book.printed(rt);
    v.xt = book.printed(xt);
    v.rm = book.printed(rm);
    v.xm = book.printed(xm);

    // Metres as the page carries them (15 significant digits), printed in the general format;
    // Rx and Xx go on from that figure.
    const Computed<double> lengthM = book.value([&](StepChain& c) {
        return lineLengthMetres(c, input(c, page.lineLengthKm, "线路长度L"));
    });
    if (lengthM)
        v.lineLengthM = {formatGeneral(*lengthM, format), true, {}};
    else
        v.lineLengthM = {{}, false, lengthM.reason()};
    auto alongLine = [&](const QString& perMetre, const char* perMetreName) {
        return book.value([&](StepChain& c) {
            if (!lengthM)
                c.fail(lengthM.reason());
            return alongLength(c, earlier(lengthM), input(c, perMetre, perMetreName));
        });
    };
    v.rx = book.printed(alongLine(page.lineResistance, "线路单位长度相电阻Ro"));
    v.xx = book.printed(alongLine(page.lineReactance, "线路单位长度相电抗Xo"));
    return v;
}

QStringList shortCircuitBodyParagraphs(const ShortCircuitBookPage& page,
                                       const ShortCircuitBookValues& values,
                                       const Computed<ShortCircuitResult>& chain) {
    QStringList out;
    appendSystem(out, page, values);
    appendTransformer(out, page, values);
    appendBusbar(out, page, values);
    appendLine(out, page, values);
    if (chain)
        appendThreePhaseCurrents(out, *chain);
    appendSystemLoop(out, values);
    appendTransformerLoop(out, values);
    if (chain)
        appendSinglePhaseCurrents(out, page, *chain);
    return out;
}

bool writeShortCircuitBook(ReportWriter& writer, const ShortCircuitBookPage& page,
                           const Computed<ShortCircuitResult>& chain, const QDate& today,
                           const BookHeader& header) {
    if (!writer.openDocument())
        return false;
    const ShortCircuitBookValues values = computeShortCircuitBookValues(page);
    writeBookFrame(writer, QString::fromUtf8(kShortCircuitBookTitle), today, header);
    writeBookBody(writer, shortCircuitBodyParagraphs(page, values, chain), kBodyLineSpacingPoints);
    return true;
}

} // namespace korvane
