#include "project_book/project_book.h"

#include "project_book/book_text.h"
#include "project_book/feeder_book.h"

#include "project/inputs/schedule_columns.h"
#include "project/result_schema.h"

#include "base/file_text.h"
#include "base/number_format.h"
#include "reports/docx_writer.h"
#include "reports/voltage_loss_book.h"

#include <QDateTime>

#include <algorithm>

namespace korvane {

namespace {

constexpr double kBodyLineSpacingPoints = 20.0;
constexpr double kTablePoints = 7.5;
// The columns of 二、回路表 before the result schema's: 回路编号, 电缆, 负荷. With the schema's
// widths they fill the 146 mm between the margins of a .docx page (the PDF page has 160 mm).
constexpr double kIdColumnMm = 9.0;
constexpr double kCableColumnMm = 14.0;
constexpr double kLoadColumnMm = 13.5;
constexpr double kCellPaddingMm = 1.0; // either side of a cell's text, in both back ends
constexpr double kPlotWidthMm = 150.0;
constexpr double kPlotHeightMm = 80.0;

using namespace book_text;

// ---- 一、电源 -------------------------------------------------------------------------------

// How a cable is laid, in words; a value not given is said to be missing.
QString conditionsText(const InstallationConditions& laid) {
    auto given = [](const std::optional<double>& v, const char* unit) {
        return v ? g(*v) + QString::fromUtf8(unit) : QStringLiteral("未给出");
    };
    const bool air = laid.method && !inGround(*laid.method);
    return QStringLiteral("%1，%2 %3，土壤热阻系数 %4，并列 %5 回路，间距 %6")
        .arg(laid.method ? text(*laid.method) : QStringLiteral("敷设方式未给出"),
             air ? QStringLiteral("空气温度") : QStringLiteral("土壤温度"),
             given(laid.temperatureC, " ℃"),
             air ? QStringLiteral("不适用") : given(laid.soilResistivityKmW, " K·m/W"),
             laid.groupedCircuits ? QString::number(*laid.groupedCircuits)
                                  : QStringLiteral("（未给出）"),
             given(laid.spacingM, " m"));
}

QStringList supplyParagraphs(const Project& project) {
    const Supply& s = project.supply;
    const Transformer& t = s.transformer;
    const Busbar& b = s.busbar;
    const PhaseAndLoop& m = b.perMetreMilliOhm;
    return {
        QStringLiteral("一、电源"),
        QStringLiteral(" 系统短路容量:  Ss = %1 (MVA)").arg(g(s.systemCapacityMva)),
        QStringLiteral(" 变压器型号:  %1，高压侧电压 %2 (kV)").arg(t.series, t.voltageKv),
        QStringLiteral("   Sr = %1 (kVA)，uk = %2 (%)，ΔP = %3 (kW)")
            .arg(g(t.ratedKva), g(t.ukPercent), g(t.loadLossKw)),
        QStringLiteral(" 母线:  %1 %2，长度 Lm = %3 (m)").arg(b.material, b.size, g(b.lengthM)),
        QStringLiteral("   Rmm = %1，Xmm = %2，Rphpmm = %3，Xphpmm = %4 (mΩ/m)")
            .arg(g(m.resistance), g(m.reactance), g(m.loopResistance), g(m.loopReactance)),
        QStringLiteral(" 电压损失允许值:  Δu% ≤ %1%").arg(g(project.voltageLossLimitPercent)),
        project.conductorTemperatureC
            ? QStringLiteral(" 电压损失计算温度:  导体 θ = %1 ℃（工程设定）")
                  .arg(g(*project.conductorTemperatureC))
            : QStringLiteral(" 电压损失计算温度:  各电缆绝缘的长期允许工作温度（聚氯乙烯 70 ℃，"
                             "交联聚乙烯 90 ℃），电阻由数据库温度换算"),
        QStringLiteral(" 敷设条件（回路未另行给出时）:  ") + conditionsText(project.installation),
        QStringLiteral(" 载流量:  GB/T 16895.6-2014（IEC 60364-5-52:2009）附录B，三根负载导体；"
                       "过负荷保护按 GB 50054-2011 第6.3.3条；热稳定按线路始端最大短路电流，"
                       "GB 50054-2011 第6.2.3条"),
        QString(),
    };
}

// ---- 二、回路表 -----------------------------------------------------------------------------

ReportTableCell headerCell(const QString& text) {
    return {text, true, std::nullopt, ParagraphAlignment::Centred};
}

// A result cell, red and bold when the check it belongs to did not pass.
ReportTableCell resultCell(const QString& text, bool failed) {
    ReportTableCell cell{text, false, std::nullopt, ParagraphAlignment::Centred};
    if (failed) {
        cell.bold = true;
        cell.colour = colors::kRed;
    }
    return cell;
}

// The width of a text in the table's font, in millimetres: 宋体 sets an ASCII character in half
// an em and a Chinese character (and ×, Ω, № and the like) in a whole one; an em is 7.5 pt =
// 2.646 mm.
double tableTextWidthMm(const QString& text) {
    constexpr double kEmMm = kTablePoints * 25.4 / 72.0;
    double ems = 0.0;
    for (const QChar c : text)
        if (!c.isLowSurrogate())
            ems += c.unicode() < 0x80 ? 0.5 : 1.0;
    return ems * kEmMm;
}

// The cable cell: the cable type broken at its blanks into lines that fit the column, so that the
// word processor, which may break Chinese text between any two characters, never splits a word
// of it ("VV 四芯 铜 / 芯"): "VV 四芯", "铜芯"; then the cross-section on a line of its own. A
// word wider than the column stands on a line of its own.
QString cableText(const CableIdentity& cable) {
    const double width = kCableColumnMm - 2.0 * kCellPaddingMm;
    QStringList lines;
    for (const QString& word : oneLineText(cable.cableType).split(u' ', Qt::SkipEmptyParts)) {
        if (!lines.isEmpty() && tableTextWidthMm(lines.back() + u' ' + word) <= width)
            lines.back() += u' ' + word;
        else
            lines << word;
    }
    lines << oneLineText(cable.crossSection) + QStringLiteral(" mm²");
    return lines.join(u'\r');
}

QString loadText(const ProjectCircuit& c) {
    if (const auto* feeder = std::get_if<LampFeeder>(&c.load))
        return feederLoadText(*feeder);
    return loadCaseText(std::get<LoadCaseLoad>(c.load));
}

// A circuit's row: its identifier, cable and load, then the result schema's columns of the book,
// each figure to its column's decimals, red and bold where its check (or the circuit) failed. A
// value that was not computed is written 未计算, one that a failed check left without a choice
// (no breaker in the table) 无.
std::vector<ReportTableCell> circuitRow(const ResultSchema& schema, const ProjectCircuit& c,
                                        const CircuitResult& r) {
    std::vector<ReportTableCell> row{resultCell(oneLineText(c.id), false),
                                     resultCell(cableText(c.line.cable), false),
                                     resultCell(loadText(c), false)};
    for (const SchemaColumn& column : schema.columns) {
        if (column.bookWidthMm <= 0.0)
            continue;
        const JudgedResult judged = judgeResult(column, c, r);
        const bool failed = judged.judged && judged.state == CheckOutcome::State::Failed;
        row.push_back(resultCell(resultText(column, judged.value, regionalFormat(),
                                            failed ? QStringLiteral("无") : kNotComputed),
                                 failed));
    }
    return row;
}

// The reasons behind the table: each check of a circuit that did not pass, with its figures or
// why it was not computed.
QStringList tableNotes(const ProjectRun& run) {
    QStringList notes;
    for (size_t i = 0; i < run.results.size() && i < run.project.circuits.size(); ++i)
        for (const QString& note : circuitNotes(run.project.circuits[i], run.results[i]))
            notes << u' ' + note;
    if (!notes.isEmpty())
        notes.prepend(QStringLiteral(" 注："));
    return notes;
}

// A table the writer refuses, written as one line of text per row instead.
QStringList tableAsText(const ReportTable& table) {
    QStringList lines;
    for (const std::vector<ReportTableCell>& row : table.rows) {
        QStringList cells;
        for (const ReportTableCell& cell : row)
            cells << QString(cell.text).replace(u'\r', u' ');
        lines << cells.join(QStringLiteral("  "));
    }
    return lines;
}

// ---- 三、各回路计算过程：电压损失 -------------------------------------------------------------

// The input the circuit's load case was computed with: its values, with R and X from its line.
// The load case as computed: R at the working temperature.
VoltageLossInput loadCaseInput(const ProjectCircuit& c, const CircuitResult& r) {
    VoltageLossInput in = std::get<LoadCaseLoad>(c.load).values;
    const double rw = r.resistance ? r.resistance->ohmPerKm : c.line.resistanceOhmPerKm;
    in.resistanceOhmPerKm = {rw, rw};
    in.reactanceOhmPerKm = {c.line.reactanceOhmPerKm, c.line.reactanceOhmPerKm};
    return in;
}

// The voltage-loss page's texts for the input: numbers in the general format.
VoltageLossBookPage loadCasePage(const ProjectCircuit& c, const VoltageLossInput& in) {
    auto loads = [](const std::array<LoadAtDistance, 4>& values) {
        std::array<LoadTexts, 4> texts;
        for (size_t k = 0; k < texts.size(); ++k)
            texts[k] = {g(values[k].load), g(values[k].lengthKm)};
        return texts;
    };
    VoltageLossBookPage page;
    page.lineKind = lineKindText(std::get<LoadCaseLoad>(c.load));
    page.loadCase = loadCaseText(std::get<LoadCaseLoad>(c.load));
    page.lossType = c.line.cable.lossType;
    page.cableType = c.line.cable.cableType;
    page.crossSection = c.line.cable.crossSection;
    page.resistance = g(in.resistanceOhmPerKm.lenient);
    page.reactance = g(c.line.reactanceOhmPerKm);
    page.voltage = in.voltageKv.strict ? g(*in.voltageKv.strict) : QString();
    page.powerFactor = in.powerFactor ? g(*in.powerFactor) : QString();
    page.endCurrent = g(in.endCurrentA);
    page.endLength = g(in.endLengthKm);
    page.endPower = g(in.endPowerKw);
    page.endPowerLength = g(in.endPowerLengthKm);
    page.currentLoads = loads(in.currentLoads);
    page.powerLoads = loads(in.powerLoads);
    page.unityPowerLoads = loads(in.unityPowerLoads);
    return page;
}

// The project's verdict and the longest line at its limit, in place of the page's own against
// 5 %.
void appendLossVerdict(QStringList& out, const Project& project, const CircuitResult& r) {
    out << QStringLiteral(" 校验结果：") + stateLine(r.check(CircuitCheck::VoltageLoss));
    const QString limit = g(project.voltageLossLimitPercent);
    out << QStringLiteral(" 线路最大允许长度（Δu% = %1%）：").arg(limit) +
               (r.maxLengthM
                    ? QStringLiteral("Lmax = %1 (m)").arg(fixed1(*r.maxLengthM))
                    : (r.maxLengthM.reason().isEmpty() ? kNotComputed : r.maxLengthM.reason()));
}

// The conductor resistance at the temperature the loss is computed at, from the database's.
void appendWorkingResistance(QStringList& out, const CircuitResult& r) {
    if (!r.resistance) {
        out << QStringLiteral(" 导体电阻:  ") +
                   (r.resistance.reason().isEmpty() ? kNotComputed : r.resistance.reason());
        return;
    }
    const WorkingResistance& w = *r.resistance;
    out << QStringLiteral(" 导体电阻（换算至 θ = %1 ℃，%2）:")
               .arg(g(w.workingTemperatureC), w.projectTemperature
                                                  ? QStringLiteral("工程设定的导体计算温度")
                                                  : QStringLiteral("绝缘的长期允许工作温度"))
        << QStringLiteral("   R = R%1 × (1 + α(θ − 20)) / (1 + α(%1 − 20)) = %2 × (1 + %3 × (%4 − "
                          "20)) / (1 + %3 × (%1 − 20)) = %5 (Ω/km)")
               .arg(g(w.databaseTemperatureC), g(w.databaseOhmPerKm), g(w.alphaPerK),
                    g(w.workingTemperatureC), fixed4(w.ohmPerKm));
}

void appendLoadCaseLoss(QStringList& out, const ProjectCircuit& c, const CircuitResult& r) {
    const VoltageLossInput in = loadCaseInput(c, r);
    out << voltageLossInputParagraphs(loadCasePage(c, in));
    if (!r.loadCase) {
        out << QStringLiteral(" 未能计算电压损失。");
        return;
    }
    // The page's formula with its values, up to its own verdict.
    for (const QString& line : voltageLossComputationParagraphs(in, *r.loadCase)) {
        if (line.startsWith(QStringLiteral(" 校验结果：")) ||
            line.startsWith(QStringLiteral(" 线路最大允许长度")))
            break;
        out << line;
    }
}

// The neutral current with the lamps' third harmonics, or why it was not computed.
void appendNeutral(QStringList& out, const CircuitResult& r) {
    if (r.neutral) {
        const FeederNeutral& n = *r.neutral;
        // Lamps of different contents: their mean weighted by current, to four decimals.
        const QString source =
            n.weighted
                ? (n.classCLimit ? QStringLiteral("（各灯具含量按其电流加权平均 Σh·I / ΣI；"
                                                  "未给出者取 GB 17625.1 / IEC 61000-3-2 "
                                                  "C 类限值 30 × λ %）")
                                 : QStringLiteral("（各灯具含量按其电流加权平均 Σh·I / ΣI）"))
            : n.classCLimit ? QStringLiteral("（未给出，取 GB 17625.1 / IEC 61000-3-2 "
                                             "C 类限值 30 × λ %）")
                            : QString();
        out << QStringLiteral("   三次谐波含量:  h3 = %1 %%2")
                   .arg(n.weighted ? fixed4(n.thirdHarmonicPercent) : g(n.thirdHarmonicPercent),
                        source)
            << QStringLiteral("   中性线电流:  不计谐波 IN = %1 (A)；计入三次谐波 IN = √(IN1 ^ 2 + "
                              "(h3 × ΣIL) ^ 2) = %2 (A)")
                   .arg(fixed4(n.withoutHarmonicsA), fixed4(n.withHarmonicsA));
    } else if (!r.neutral.reason().isEmpty()) {
        out << QStringLiteral("   中性线电流:  ") + r.neutral.reason();
    }
}

// The input and process of a feeder given as its pole list: the poles' lamps and spans are in
// its pole table, the runs in 线路结构.
void appendPoleListLoss(QStringList& out, const ProjectCircuit& c, const LampFeeder& f,
                        const CircuitResult& r) {
    out << QStringLiteral("【输入参数】：")
        << QStringLiteral(" 灯杆表:  %1，各杆杆号、杆距、灯具见下表").arg(feederLoadText(f))
        << (f.connection == FeederConnection::SinglePhase
                ? QStringLiteral(" 接线方式:  单相，未指定相别的灯具均接 %1 相，U0 = %2 (V)")
                      .arg(phaseText(f.startPhase), g(f.phaseVoltageV))
                : QStringLiteral(" 接线方式:  三相轮流，未指定相别的灯杆自 %1 相起依次轮换，U0 = "
                                 "%2 (V)")
                      .arg(phaseText(f.startPhase), g(f.phaseVoltageV)))
        << QStringLiteral("【计算过程】：");
    if (!r.feeder) {
        out << QStringLiteral(" 未能计算：") + r.feeder.reason();
        return;
    }
    const LampFeederResult& x = *r.feeder;
    out << QStringLiteral(" 灯具电流:  I = P × 镇流器系数 / (U0 × cosφ)，每杆电流为其各灯电流之和");
    out << feederStructureParagraphs(c, r);
    out << QStringLiteral(" 相量法（《工业与民用配电设计手册》第三版，不平衡四线制线路：逐段"
                          "相电流与中性线电流相量叠加，各段用其电缆的 R、X）：")
        << QStringLiteral("   电源处相电流:  IL1 = %1，IL2 = %2，IL3 = %3，IN = %4 (A)")
               .arg(fixed4(x.phaseCurrentsA[0]), fixed4(x.phaseCurrentsA[1]),
                    fixed4(x.phaseCurrentsA[2]), fixed4(x.neutralCurrentA))
        << QStringLiteral("   计算电流:  Ib = %1 (A)").arg(fixed4(x.largestPhaseCurrentA));
    appendNeutral(out, r);
    out << worstPathParagraphs(r);
    // No voltage for its formula: the handbook figure was not worked out.
    if (x.momentVoltageKv > 0.0)
        out << QStringLiteral(" 电流矩法（手册电流矩公式，沿最不利路径，%1，U = %2 kV，供对照）：")
                   .arg(text(x.momentLineKind), g(x.momentVoltageKv))
            << QStringLiteral("   M = %1 (A·km)，Δu% = %2")
                   .arg(fixed4(x.currentMomentAkm), fixed4(x.momentLossPercent));
    else
        out << QStringLiteral(" 电流矩法（手册电流矩公式，供对照）：未计算");
}

void appendFeederLoss(QStringList& out, const ProjectCircuit& c, const LampFeeder& f,
                      const CircuitResult& r) {
    if (!f.poleList.empty()) {
        appendPoleListLoss(out, c, f, r);
        return;
    }
    out << QStringLiteral("【输入参数】：")
        << QStringLiteral(" 灯杆数:  n = %1，每杆灯数 %2").arg(f.poles).arg(f.lampsPerPole)
        << QStringLiteral(" 灯具功率:  P = %1 (W)，cosφ = %2，镇流器系数 %3")
               .arg(g(f.lampPowerW), g(f.lampPowerFactor), g(f.ballastFactor))
        << QStringLiteral(" 灯杆间距:  a = %1 (m)，电源至首杆 %2 (m)")
               .arg(g(f.spacingM), g(f.firstPoleM))
        << (f.connection == FeederConnection::SinglePhase
                ? QStringLiteral(" 接线方式:  单相，灯具均接 %1 相，U0 = %2 (V)")
                      .arg(phaseText(f.startPhase), g(f.phaseVoltageV))
                : QStringLiteral(" 接线方式:  三相轮流，首杆接 %1 相，U0 = %2 (V)")
                      .arg(phaseText(f.startPhase), g(f.phaseVoltageV)))
        << QStringLiteral("【计算过程】：");
    if (!r.feeder) {
        out << QStringLiteral(" 未能计算：") + r.feeder.reason();
        return;
    }
    const LampFeederResult& x = *r.feeder;
    out << QStringLiteral(
               " 灯具电流:  I = P × 镇流器系数 / (U0 × cosφ) = %1 × %2 / (%3 × %4) = %5 (A)")
               .arg(g(f.lampPowerW), g(f.ballastFactor), g(f.phaseVoltageV), g(f.lampPowerFactor),
                    fixed4(x.lampCurrentA))
        << QStringLiteral(" 每杆电流:  Ip = %1 × %2 = %3 (A)")
               .arg(f.lampsPerPole)
               .arg(fixed4(x.lampCurrentA), fixed4(x.poleCurrentA))
        << QStringLiteral(" 线路全长:  L = %1 + (%2 - 1) × %3 = %4 (m)")
               .arg(g(f.firstPoleM))
               .arg(f.poles)
               .arg(g(f.spacingM), fixed1(x.totalLengthM));
    const QString moment = f.connection == FeederConnection::SinglePhase
                               ? QStringLiteral("Σ(Ip × Li)")
                               : QStringLiteral("Σ(Ip / 3 × Li)");
    out << QStringLiteral(" 电流矩法（%1，U = %2 kV）：")
               .arg(text(x.momentLineKind), g(x.momentVoltageKv))
        << QStringLiteral("   M = %1 = %2 (A·km)").arg(moment, fixed4(x.currentMomentAkm))
        << QStringLiteral("   Δu% = ") + fixed4(x.momentLossPercent);
    out << QStringLiteral(" 相量法（《工业与民用配电设计手册》第三版，不平衡四线制线路：逐段相电流"
                          "与中性线电流相量叠加）：")
        << QStringLiteral("   电源处相电流:  IL1 = %1，IL2 = %2，IL3 = %3，IN = %4 (A)")
               .arg(fixed4(x.phaseCurrentsA[0]), fixed4(x.phaseCurrentsA[1]),
                    fixed4(x.phaseCurrentsA[2]), fixed4(x.neutralCurrentA))
        << QStringLiteral("   计算电流:  Ib = %1 (A)").arg(fixed4(x.largestPhaseCurrentA));
    appendNeutral(out, r);
    const auto worst = x.worstPole >= 1 && static_cast<size_t>(x.worstPole) <= x.poles.size()
                           ? std::optional(x.poles[static_cast<size_t>(x.worstPole) - 1])
                           : std::nullopt;
    out << QStringLiteral("   最不利灯杆:  第 %1 杆%2，%3 相")
               .arg(x.worstPole)
               .arg(worst ? QStringLiteral("（距电源 %1 m）").arg(fixed1(worst->distanceM))
                          : QString(),
                    phaseText(x.worstPhase))
        << QStringLiteral("   Δu% = ") + fixed4(x.worstLossPercent);
}

// ---- 短路电流 -------------------------------------------------------------------------------

// How the phase-to-neutral loop of the line was formed, for the reader of I″k1.
QString loopFormation(const ProjectCircuit& c) {
    const CircuitLine& l = c.line;
    if (l.neutralResistanceMilliOhmPerM == l.perMetreMilliOhm.loopResistance &&
        l.neutralReactanceMilliOhmPerM == l.perMetreMilliOhm.loopReactance)
        return QStringLiteral("相线与中性线串联，四芯电缆中性线截面同相线，取 R′php、X′php");
    if (l.neutralResistanceMilliOhmPerM == l.perMetreMilliOhm.resistance &&
        l.neutralReactanceMilliOhmPerM == l.perMetreMilliOhm.reactance)
        return QStringLiteral("与单根导体 R0、X0 相同，未计入中性线，I″k1 偏大");
    return QStringLiteral("按回路给定值");
}

void appendShortCircuit(QStringList& out, const ProjectCircuit& c, const CircuitResult& r) {
    out << QStringLiteral("【线路末端短路电流】：");
    // A feeder with branches: the fault at its weakest end, through the cables of every run on
    // the path there, each run's per-metre values times its length on the path.
    const bool branched = hasBranches(r);
    if (branched)
        out << weakestEndParagraphs(r);
    if (!r.shortCircuit) {
        // Not reached when the line itself was not worked out: the checks carry that reason.
        const QString reason = r.shortCircuit.reason().isEmpty()
                                   ? r.check(CircuitCheck::BreakerSelection).text()
                                   : r.shortCircuit.reason();
        out << QStringLiteral(" 未计算：") + reason;
        return;
    }
    const ShortCircuitResult& s = *r.shortCircuit;
    const PhaseAndLoop& m = c.line.perMetreMilliOhm;
    auto pair = [](const QString& r, const QString& x, const Impedance& z) {
        return QStringLiteral("   %1 = %2，%3 = %4 (mΩ)").arg(r, fixed6(z.r), x, fixed6(z.x));
    };
    out << QStringLiteral(" 1、系统阻抗:  Zs = (c × Un) ^ 2 / Ss / 1000 = %1 (mΩ)")
               .arg(fixed6(s.zs))
        << pair(QStringLiteral("Rs"), QStringLiteral("Xs"), s.system)
        << QStringLiteral(" 2、变压器阻抗:  Zt = %1 (mΩ)").arg(fixed6(s.zt))
        << pair(QStringLiteral("Rt"), QStringLiteral("Xt"), s.transformer)
        << QStringLiteral(" 3、母线阻抗:")
        << pair(QStringLiteral("Rm"), QStringLiteral("Xm"), s.busbar)
        << (branched ? QStringLiteral(" 4、线路阻抗（沿路径各段累加）:  Lx = %1 (m)")
                           .arg(g(s.lineLengthM))
                     : QStringLiteral(" 4、线路阻抗:  Lx = %1 (m)，Ro = %2，Xo = %3 (mΩ/m)")
                           .arg(g(s.lineLengthM), g(m.resistance), g(m.reactance)))
        << pair(QStringLiteral("Rx"), QStringLiteral("Xx"), s.line)
        << QStringLiteral(" 5、三相短路电流:")
        << pair(QStringLiteral("RΣ"), QStringLiteral("XΣ"), s.total)
        << QStringLiteral("   ZΣ = √(RΣ ^ 2 + XΣ ^ 2) = %1 (mΩ)").arg(fixed6(s.zTotal))
        << QStringLiteral("   I\u2033k3 = c × Un / (√3 × ZΣ) = %1 (kA)").arg(fixed4(s.ik3))
        << QStringLiteral("   I\u2033k2 = 0.866 × I\u2033k3 = %1 (kA)").arg(fixed4(s.ik2))
        << (branched ? QStringLiteral(" 6、相保回路（线路部分沿路径各段累加）:")
                     : QStringLiteral(" 6、相保回路:  Rphpo = %1，Xphpo = %2 (mΩ/m)")
                           .arg(g(m.loopResistance), g(m.loopReactance)))
        << pair(QStringLiteral("Rphps"), QStringLiteral("Xphps"), s.systemLoop)
        << pair(QStringLiteral("Rphpt"), QStringLiteral("Xphpt"), s.transformer)
        << pair(QStringLiteral("Rphpm"), QStringLiteral("Xphpm"), s.busbarLoop)
        << pair(QStringLiteral("Rphpx"), QStringLiteral("Xphpx"), s.lineLoop)
        << pair(QStringLiteral("Rphp"), QStringLiteral("Xphp"), s.loop)
        << QStringLiteral("   Zphp = √(Rphp ^ 2 + Xphp ^ 2) = %1 (mΩ)").arg(fixed6(s.zLoop))
        << QStringLiteral("   Id = Un / (√3 × Zphp) = %1 (kA)").arg(fixed4(s.id))
        << (branched ? QStringLiteral(" 7、相中回路（线路部分沿路径各段累加）:")
                     : QStringLiteral(" 7、相中回路:  R' = %1，X' = %2 (mΩ/m)（%3）")
                           .arg(g(c.line.neutralResistanceMilliOhmPerM),
                                g(c.line.neutralReactanceMilliOhmPerM), loopFormation(c)))
        << pair(QStringLiteral("R1"), QStringLiteral("X1"), s.neutralLoop)
        << QStringLiteral("   Z1 = √(R1 ^ 2 + X1 ^ 2) = %1 (mΩ)").arg(fixed6(s.zNeutralLoop))
        << QStringLiteral("   I\u2033k1 = Un / (√3 × Z1) = %1 (kA)").arg(fixed4(s.ik1));
}

// ---- 保护校验 -------------------------------------------------------------------------------

// The table the grouping factor of a way of laying comes from.
QString groupingTable(const InstallationConditions& laid) {
    if (!laid.method || laid.groupedCircuits.value_or(1) <= 1)
        return QStringLiteral("单回路");
    switch (*laid.method) {
    case LayingMethod::InAir:
        return QStringLiteral("表B.52.17 第4项，托盘上单层紧靠");
    case LayingMethod::InDuct:
        return QStringLiteral("表B.52.19");
    case LayingMethod::DirectlyBuried:
        break;
    }
    return QStringLiteral("表B.52.18");
}

// Iz with its table and factors, I2 of the breaker's kind and the conditions.
void appendCapacity(QStringList& out, const Project& project, const ProjectCircuit& c,
                    const CircuitResult& r) {
    const InstallationConditions laid = effectiveConditions(c.installation, project.installation);
    out << QStringLiteral("   敷设条件:  ") + conditionsText(laid);
    if (!r.capacity)
        return;
    const CapacityCheck& k = *r.capacity;
    const CurrentCarryingCapacity& z = k.capacity;
    out << QStringLiteral("   载流量:  I0 = %1 (A)，%2").arg(g(z.tabulatedA), z.table)
        << QStringLiteral(
               "   校正系数:  温度 Kt = %1（%2），土壤热阻 Kρ = %3%4，并列 Kg = %5（%6）%7")
               .arg(g(z.temperatureFactor), z.temperatureRule, g(z.resistivityFactor),
                    laid.method && inGround(*laid.method) ? QStringLiteral("（表B.52.16）")
                                                          : QStringLiteral("（空气中不适用）"),
                    g(z.groupingFactor), groupingTable(laid),
                    k.harmonicFactor != 1.0
                        ? QStringLiteral("，谐波 Kh = %1（GB/T 16895.6-2014 附录E 表E.52.1%2）")
                              .arg(g(k.harmonicFactor), k.neutralCurrentA
                                                            ? QStringLiteral("，按中性线电流选择")
                                                            : QString())
                        : QString())
        << QStringLiteral("   Iz = I0 × Kt × Kρ × Kg%1 = %2 (A)")
               .arg(k.harmonicFactor != 1.0 ? QStringLiteral(" × Kh") : QString(),
                    fixed1(k.capacityA))
        << QStringLiteral("   I2 = %1 × In = %1 × %2 = %3 (A)（%4）")
               .arg(g(k.conventionalTripFactor))
               .arg(k.overload.ratedCurrentA)
               .arg(fixed1(k.overload.conventionalTripA), k.breakerKind);
    if (k.neutralCurrentA)
        out << QStringLiteral("   中性线电流 IN = %1 (A)").arg(fixed1(*k.neutralCurrentA));
}

// The process text of each check the book works out step by step, in the order the book
// numbers them; a check of the registry without one here is stated with its figures after them.
using ProcessText = void (*)(QStringList& out, const Project& project, const ProjectCircuit& c,
                             const CircuitResult& r);

void breakerProcess(QStringList& out, const Project&, const ProjectCircuit&,
                    const CircuitResult& r) {
    const Computed<double>& ib = r.loadCurrentA;
    out << QStringLiteral(" 1、断路器 QR 与接触器 QC（按 1.5 × Ib 选择）：");
    if (r.switchgear) {
        out << QStringLiteral("   1.5 × Ib = 1.5 × %1 = %2 (A)")
                   .arg(ib ? fixed4(*ib) : ib.reason(), fixed4(r.switchgear->selectionCurrentA));
        if (r.switchgear->breakerRatedA && r.switchgear->contactorRatedA)
            out << QStringLiteral("   QR In = %1 (A)，QC Ie = %2 (A)")
                       .arg(*r.switchgear->breakerRatedA)
                       .arg(*r.switchgear->contactorRatedA);
    }
}

void residualProcess(QStringList& out, const Project&, const ProjectCircuit& c,
                     const CircuitResult& r) {
    out << QStringLiteral(" 2、剩余电流动作值（Ivn ≥ 4 × Ixn）：");
    if (r.residual && r.lineLengthKm) {
        out << QStringLiteral("   Ixn = %1 × %2 = %3 (mA)，4 × Ixn = %4 (mA)")
                   .arg(g(c.protection.leakagePerKmMa), g(*r.lineLengthKm),
                        fixed4(r.residual->leakageMa), fixed4(r.residual->settingFloorMa));
        if (r.residual->ratedResidualMa)
            out << QStringLiteral("   Ivn = %1 (mA)").arg(*r.residual->ratedResidualMa);
    }
}

void loopProcess(QStringList& out, const Project&, const ProjectCircuit& c,
                 const CircuitResult& r) {
    out << QStringLiteral(" 3、相保电阻（Rphp ≤ Rlim = 44 / (L × In)）：");
    if (r.loopResistance && r.lineLengthKm && r.switchgear && r.switchgear->breakerRatedA)
        out << QStringLiteral("   Rlim = 44 / (%1 × %2) = %3 (Ω/km)，Rphp = %4 (Ω/km)")
                   .arg(g(*r.lineLengthKm))
                   .arg(*r.switchgear->breakerRatedA)
                   .arg(fixed4(r.loopResistance->limitOhmPerKm),
                        g(c.line.perMetreMilliOhm.loopResistance));
}

void sensitivityProcess(QStringList& out, const Project&, const ProjectCircuit& c,
                        const CircuitResult& r) {
    const bool earthFault = c.protection.mode == ProtectionMode::EarthFault;
    out << QStringLiteral(" 4、保护灵敏度（%1 / Ir2 ≥ 1.3，Ir2 = 4 × In）：")
               .arg(earthFault ? QStringLiteral("Id") : QStringLiteral("I\u2033k1"));
    if (r.sensitivity && r.shortCircuit && r.switchgear && r.switchgear->breakerRatedA)
        out << QStringLiteral("   %1 / Ir2 = %2 × 1000 / (4 × %3) = %4")
                   .arg(earthFault ? QStringLiteral("Id") : QStringLiteral("I\u2033k1"),
                        fixed4(earthFault ? r.shortCircuit->id : r.shortCircuit->ik1))
                   .arg(*r.switchgear->breakerRatedA)
                   .arg(r.sensitivity->text);
}

void thermalProcess(QStringList& out, const Project&, const ProjectCircuit& c,
                    const CircuitResult& r) {
    out << QStringLiteral(
        " 5、热稳定（Smin < S，按线路始端最大短路电流，GB 50054-2011 第6.2.3条）：");
    if (r.originShortCircuit && r.shortCircuit)
        out << QStringLiteral(
                   "   始端 I\u2033k3 = %1 (kA)（断路器出线处，线路长度 0）；末端 I\u2033k3 = "
                   "%2 (kA)")
                   .arg(fixed4(r.originShortCircuit->ik3), fixed4(r.shortCircuit->ik3));
    if (r.thermal && r.originShortCircuit && r.thermalCoefficientK) {
        // K is the cable's own, from its conductor and insulation (GB 50054-2011 表A.0.1).
        const QString k = g(*r.thermalCoefficientK);
        if (usesLetThrough(c.protection))
            out << QStringLiteral(
                       "   t = %1 s < 0.1 s，按保护电器允通能量：Smin = √(I²t) / K = √%2 "
                       "/ %3 = %4 (mm²)，S = %5 (mm²)")
                       .arg(g(c.protection.durationS), g(*c.protection.letThroughA2s), k,
                            r.thermal->text, c.line.cable.crossSection);
        else
            out << QStringLiteral("   Smin = √t × I\u2033k3 × 1000 / K = √%1 × %2 × 1000 / %3 = %4 "
                                  "(mm²)，S = %5 (mm²)")
                       .arg(g(c.protection.durationS), fixed4(r.originShortCircuit->ik3), k,
                            r.thermal->text, c.line.cable.crossSection);
    }
}

void capacityProcess(QStringList& out, const Project& project, const ProjectCircuit& c,
                     const CircuitResult& r) {
    out << QStringLiteral(" 6、载流量与过负荷保护（Ib ≤ In ≤ Iz，I2 ≤ 1.45 × Iz，GB 50054-2011 "
                          "第6.3.3条）：");
    appendCapacity(out, project, c, r);
}

const std::pair<CircuitCheck, ProcessText> kProcessTexts[] = {
    {CircuitCheck::BreakerSelection, breakerProcess},
    {CircuitCheck::ResidualSetting, residualProcess},
    {CircuitCheck::LoopResistance, loopProcess},
    {CircuitCheck::Sensitivity, sensitivityProcess},
    {CircuitCheck::ThermalStability, thermalProcess},
    {CircuitCheck::CurrentCapacity, capacityProcess},
};

void appendVerification(QStringList& out, const Project& project, const ProjectCircuit& c,
                        const CircuitResult& r) {
    out << QStringLiteral("【保护校验】：");
    auto check = [&](const CircuitCheck& which) {
        out << QStringLiteral("   %1：").arg(checkName(which)) + stateLine(r.check(which));
    };
    if (!r.inputProblems.isEmpty()) {
        out << QStringLiteral(" 未计算：") + r.inputProblems.join(u'；');
        return;
    }
    for (const auto& [which, process] : kProcessTexts) {
        process(out, project, c, r);
        check(which);
    }
    // A check without a process text of its own above (the voltage loss has its own section)
    // still states its outcome and figures.
    int next = int(std::size(kProcessTexts)) + 1;
    for (const auto& [which, outcome] : r.checks) {
        if (which == CircuitCheck::VoltageLoss ||
            std::any_of(std::begin(kProcessTexts), std::end(kProcessTexts),
                        [&which](const auto& text) { return text.first == which; }))
            continue;
        out << QStringLiteral(" %1、%2：").arg(next++).arg(checkName(which));
        check(which);
    }
    out << sectionCheckParagraphs(r);
}

void appendSizing(QStringList& out, const SizingResult& s) {
    out << QStringLiteral("【截面选择】：");
    for (const SizingCandidate& candidate : s.candidates) {
        QString verdict;
        if (!candidate.notChecked.isEmpty())
            verdict = QStringLiteral("未校验：") + candidate.notChecked;
        else if (candidate.failed)
            verdict = QStringLiteral("不满足%1：%2")
                          .arg(checkName(*candidate.failed), candidate.failedText);
        else
            verdict = QStringLiteral("满足全部校验");
        out << QStringLiteral("   %1 mm²：%2").arg(candidate.crossSection, verdict);
    }
    if (!s.sections.empty()) {
        out << sectionSizingParagraphs(s);
    } else if (s.chosen && *s.chosen < s.candidates.size()) {
        out << QStringLiteral(" 选择截面:  S = %1 (mm²)").arg(s.candidates[*s.chosen].crossSection);
        out << QStringLiteral(" 控制条件:  ") + s.governingText;
    } else {
        out << QStringLiteral(" 无法选择截面：") + s.notSized;
    }
}

// The heading and the process of one circuit; the feeder plot follows it separately.
QStringList circuitParagraphs(const ProjectRun& run, size_t i) {
    const ProjectCircuit& c = run.project.circuits[i];
    const CircuitResult& r = run.results[i];
    QStringList out;
    out << QStringLiteral("%1、%2").arg(i + 1).arg(
        c.description.isEmpty() ? c.id : c.id + u' ' + c.description);
    out << QStringLiteral(" 电缆:  %1 %2，S = %3 (mm²)")
               .arg(c.line.cable.lossType, c.line.cable.cableType, c.line.cable.crossSection);
    if (!r.inputProblems.isEmpty()) {
        out << QStringLiteral(" 未计算：") + r.inputProblems.join(u'；');
    } else {
        out << QStringLiteral("【电压损失】：");
        appendWorkingResistance(out, r);
        if (const auto* feeder = std::get_if<LampFeeder>(&c.load))
            appendFeederLoss(out, c, *feeder, r);
        else
            appendLoadCaseLoss(out, c, r);
        appendLossVerdict(out, run.project, r);
        appendShortCircuit(out, c, r);
        appendVerification(out, run.project, c, r);
    }
    if (i < run.sizing.size() && run.sizing[i])
        appendSizing(out, *run.sizing[i]);
    return out;
}

// The paragraphs as one block in the body format of the books (writeBookBody), appended in one
// piece. Each is one paragraph whatever the engineer's texts in it hold: a line break or a tab in
// a circuit's name is a space. Before a table or a picture the last paragraph is left open, so
// that it is the one the insertion follows.
void writeParagraphs(ReportWriter& writer, const QStringList& paragraphs,
                     bool beforeInsertion = false) {
    if (paragraphs.isEmpty())
        return;
    QStringList lines;
    lines.reserve(paragraphs.size());
    for (const QString& paragraph : paragraphs)
        lines << oneLineText(paragraph);
    writer.appendText(lines.join(u'\r') + (beforeInsertion ? QString() : QStringLiteral("\r")));
    writer.setFont(QString::fromUtf8(kBookFont), kBookBodyPoints, true, std::nullopt);
    writer.setAlignment(ParagraphAlignment::Left);
    writer.setLineSpacing(kBodyLineSpacingPoints, LineSpacingRule::Exact);
    writer.closeBlock();
}

// 四、配电系统图: the diagram's sheets one after the other, each as large as the page's text
// width allows, so that each takes a page of its own (a picture that does not fit below the text
// starts the next page). Each sheet's title block gives its number and the count of sheets.
void appendDiagram(ReportWriter& writer, const ProjectBookDiagram& sheets) {
    const QString heading = QStringLiteral("四、配电系统图");
    if (sheets.empty()) {
        writeParagraphs(writer, {heading, QStringLiteral(" 未附。")});
        return;
    }
    // The heading directly before the first sheet, so that it goes to that sheet's page.
    writeParagraphs(writer, {heading}, true);
    QStringList after{QString()};
    for (size_t i = 0; i < sheets.size(); ++i)
        if (!writer.insertPicture(sheets[i]))
            after << QStringLiteral(" 第 %1 张图未能插入，未附。").arg(i + 1);
    if (after.size() > 1)
        after << QString();
    writeParagraphs(writer, after);
}

} // namespace

ReportTable projectCircuitTable(const ProjectRun& run, const ResultSchema& schema) {
    ReportTable table;
    // The identifier's header, the cable and the load wrap; each result column is as wide as the
    // schema gives it for its figures and 不通过 on one line.
    table.columnWidthsMm = {kIdColumnMm, kCableColumnMm, kLoadColumnMm};
    table.sizePoints = kTablePoints;
    table.fontName = QString::fromUtf8(kBookFont);
    table.headerRows = 1;
    std::vector<ReportTableCell> header{headerCell(QStringLiteral("回路编号")),
                                        headerCell(QStringLiteral("电缆")),
                                        headerCell(QStringLiteral("负荷"))};
    for (const SchemaColumn& column : schema.columns) {
        if (column.bookWidthMm <= 0.0)
            continue;
        table.columnWidthsMm.push_back(column.bookWidthMm);
        // The unit on a line of its own, under the quantity.
        const qsizetype unit = column.header.indexOf(u'(');
        header.push_back(headerCell(
            unit > 0 ? column.header.left(unit) + u'\r' + column.header.mid(unit) : column.header));
    }
    table.rows.push_back(std::move(header));
    for (size_t i = 0; i < run.results.size() && i < run.project.circuits.size(); ++i)
        table.rows.push_back(circuitRow(schema, run.project.circuits[i], run.results[i]));
    return table;
}

void writeProjectBook(ReportWriter& writer, const ProjectRun& run, const QDate& today,
                      const BookHeader& header, const ProjectBookPictures& pictures,
                      const ProjectBookDiagram& diagram, const ResultSchema& schema) {
    writeBookFrame(writer, QString::fromUtf8(kProjectBookTitle), today, header);
    writeParagraphs(
        writer, supplyParagraphs(run.project) + QStringList{QStringLiteral("二、回路表")}, true);

    const ReportTable table = projectCircuitTable(run, schema);
    QStringList afterTable;
    // A refused table leaves the heading's paragraph open: its rows start on a paragraph of
    // their own.
    if (!writer.insertTable(table))
        afterTable << QString() << tableAsText(table);
    afterTable << tableNotes(run) << QString() << QStringLiteral("三、各回路计算过程");
    writeParagraphs(writer, afterTable);

    const size_t count = std::min(run.results.size(), run.project.circuits.size());
    for (size_t i = 0; i < count; ++i) {
        const ProjectCircuit& c = run.project.circuits[i];
        const CircuitResult& r = run.results[i];
        QStringList paragraphs = circuitParagraphs(run, i);
        if (!std::holds_alternative<LampFeeder>(c.load)) {
            writeParagraphs(writer, paragraphs << QString());
            continue;
        }
        // The pole table after the process, its notes under it.
        if (const Computed<ReportTable> poles =
                feederPoleTable(c, r, run.project.voltageLossLimitPercent)) {
            writeParagraphs(writer, paragraphs << QStringLiteral("【灯杆表】："), true);
            paragraphs.clear();
            if (!writer.insertTable(*poles))
                paragraphs << QString() << tableAsText(*poles);
            paragraphs << poleTableNotes(c, r);
        }
        std::optional<ReportPicture> plot;
        if (r.feeder && pictures)
            plot = pictures(c, r);
        if (!plot) {
            writeParagraphs(writer,
                            paragraphs << QStringLiteral("【电压分布图】：未附。") << QString());
            continue;
        }
        plot->widthMm = kPlotWidthMm;
        plot->heightMm = kPlotHeightMm;
        writeParagraphs(writer, paragraphs << QStringLiteral("【电压分布图】："), true);
        writeParagraphs(
            writer, writer.insertPicture(*plot)
                        ? QStringList{QString()}
                        : QStringList{QString(), QStringLiteral(" 图未能插入，未附。"), QString()});
    }
    appendDiagram(writer, diagram);
}

std::optional<QByteArray> projectBookDocx(const ProjectRun& run, const QDate& today,
                                          const BookHeader& header,
                                          const ProjectBookPictures& pictures,
                                          const ProjectBookDiagram& diagram,
                                          const ResultSchema& schema) {
    DocxReportWriter writer;
    writer.setProperties(
        {QString::fromUtf8(kProjectBookTitle), header.engineer, QDateTime::currentDateTime()});
    if (!writer.openDocument())
        return std::nullopt;
    writeProjectBook(writer, run, today, header, pictures, diagram, schema);
    return writer.package();
}

std::optional<ReportDocument> projectBookDocument(const ProjectRun& run, const QDate& today,
                                                  const BookHeader& header,
                                                  const ProjectBookPictures& pictures,
                                                  const ProjectBookDiagram& diagram,
                                                  const ResultSchema& schema) {
    DocumentReportWriter writer;
    writer.setProperties(
        {QString::fromUtf8(kProjectBookTitle), header.engineer, QDateTime::currentDateTime()});
    if (!writer.openDocument() || writer.document() == nullptr)
        return std::nullopt;
    writeProjectBook(writer, run, today, header, pictures, diagram, schema);
    return *writer.document();
}

} // namespace korvane
