#include "project_book/feeder_book.h"

#include "project_book/book_text.h"

#include "project/inputs/schedule_columns.h"
#include "project/result_schema.h"

#include "base/file_text.h"
#include "base/number_format.h"
#include "reports/book_frame.h"

#include <algorithm>

namespace korvane {

namespace {

constexpr double kTablePoints = 7.5;
// The pole table's columns over the 146 mm between the margins of an A4 page at 7.5 pt (a digit
// 1.3 mm, a Chinese character 2.6 mm, 1 mm of margin either side of a cell): a run name or pole
// number of up to 8 ASCII characters in 12 mm, a grouped distance ("1,255.0") in 14 mm, a span
// in 11, the lamps of a pole ("2×150W+1×60W", 18.5 mm) in 37, "L2*" in 10, a Δu ("0.3485") in
// 13 and 最不利 in 11 mm.
constexpr double kPoleColumnsMm[] = {12.0, 12.0, 14.0, 11.0, 37.0, 10.0, 13.0, 13.0, 13.0, 11.0};
constexpr int kLossColumn = 6; // ΔuL1; ΔuL2 and ΔuL3 follow

using namespace book_text;

// Why a value was not computed; 未计算 where the step was not taken at all.
template <typename T> QString whyNot(const Computed<T>& computed) {
    return computed.reason().isEmpty() ? kNotComputed : computed.reason();
}

ReportTableCell cell(const QString& text, bool header = false) {
    return {text, header, std::nullopt, ParagraphAlignment::Centred};
}

// The lamps of a pole: "2×150W+1×60W"; 无 for a pole without lamps (a junction pole).
QString lampsText(const std::vector<LampGroup>& lamps) {
    QStringList groups;
    for (const LampGroup& lamp : lamps)
        groups << QStringLiteral("%1×%2W").arg(lamp.count).arg(g(lamp.powerW));
    return groups.isEmpty() ? QStringLiteral("无") : groups.join(u'+');
}

// One pole of the feeder as the list gives it, with its computed drop (null when the result has
// no entry for it).
struct PoleLine {
    QString run;
    QString id;
    double spanM = 0.0;
    QString lamps;
    bool fixed = false;
    const PoleDrop* drop = nullptr;
    int index = -1; // into the result's poles
};

// The feeder's poles in the list's order, each with its drop. An equal feeder is one trunk of
// n poles, the first at firstPoleM, the others at the spacing, each with lampsPerPole lamps.
std::vector<PoleLine> poleLines(const LampFeeder& f, const LampFeederResult& x) {
    std::vector<PoleLine> lines;
    auto dropAt = [&x](int index) {
        return index >= 0 && size_t(index) < x.poles.size() ? &x.poles[size_t(index)] : nullptr;
    };
    if (f.poleList.empty()) {
        const std::vector<LampGroup> lamps{
            {f.lampsPerPole, f.lampPowerW, f.lampPowerFactor, f.ballastFactor, std::nullopt}};
        for (size_t i = 0; i < x.poles.size(); ++i) {
            const PoleDrop& p = x.poles[i];
            lines.push_back({QStringLiteral("干线"), p.id.isEmpty() ? QString::number(i + 1) : p.id,
                             i == 0 ? f.firstPoleM : f.spacingM, lampsText(lamps), false, &p,
                             int(i)});
        }
        return lines;
    }
    int next = 0; // the list's order, where the result does not say where a run starts
    for (size_t k = 0; k < f.poleList.runs.size(); ++k) {
        const FeederRun& run = f.poleList.runs[k];
        const int first =
            k < x.runs.size() && x.runs[k].firstPole >= 0 ? x.runs[k].firstPole : next;
        for (size_t j = 0; j < run.poles.size(); ++j) {
            const FeederPole& pole = run.poles[j];
            const int index = first + int(j);
            lines.push_back({run.name, pole.id, pole.spanM, lampsText(pole.lamps),
                             pole.fixedPhase.has_value(), dropAt(index), index});
        }
        next = first + int(run.poles.size());
    }
    return lines;
}

// The index of the worst pole into the result's poles: the end of the worst path, or the
// pole numbered from 1 of a result without paths; −1 when there is none.
int worstIndex(const LampFeederResult& x) {
    const int index = x.worstPath.empty() ? x.worstPole - 1 : x.worstPath.back();
    return index >= 0 && size_t(index) < x.poles.size() ? index : -1;
}

QString runName(const LampFeederResult& x, int run) {
    if (run >= 0 && size_t(run) < x.runs.size())
        return x.runs[size_t(run)].name;
    return QStringLiteral("干线");
}

QString poleId(const LampFeederResult& x, int index) {
    const PoleDrop& p = x.poles[size_t(index)];
    return p.id.isEmpty() ? QString::number(p.pole) : p.id;
}

// The poles from the first after the supply to `index`, following each pole's parent; the
// worst path as the result gives it where it is that pole's.
std::vector<int> pathTo(const LampFeederResult& x, int index) {
    if (!x.worstPath.empty() && x.worstPath.back() == index)
        return x.worstPath;
    std::vector<int> path;
    for (int at = index; at >= 0 && size_t(at) < x.poles.size() && path.size() <= x.poles.size();
         at = x.poles[size_t(at)].parent)
        path.push_back(at);
    std::reverse(path.begin(), path.end());
    return path;
}

// A path run by run: "干线 N1…N15（450.0 m）→ 支线1 B1-1…B1-7（210.0 m）"; each run's share is the
// sum of the spans on it (the difference of the distances from the supply).
QString pathText(const LampFeederResult& x, const std::vector<int>& path) {
    QStringList parts;
    double before = 0.0;
    for (size_t i = 0; i < path.size();) {
        const int run = x.poles[size_t(path[i])].run;
        size_t j = i;
        while (j + 1 < path.size() && x.poles[size_t(path[j + 1])].run == run)
            ++j;
        const double end = x.poles[size_t(path[j])].distanceM;
        const QString first = poleId(x, path[i]);
        parts << QStringLiteral("%1 %2（%3 m）")
                     .arg(oneLineText(runName(x, run)),
                          i == j ? first : first + QStringLiteral("…") + poleId(x, path[j]),
                          fixed1(end - before));
        before = end;
        i = j + 1;
    }
    return parts.join(QStringLiteral(" → "));
}

const LampFeeder* feederOf(const ProjectCircuit& c) {
    return std::get_if<LampFeeder>(&c.load);
}

// The cable of run k: its own, or that of the run it leaves from, the trunk's being the
// circuit's.
CableIdentity runCable(const ProjectCircuit& c, const PoleList& list, size_t k) {
    for (size_t guard = 0; guard <= list.runs.size() && k < list.runs.size() && k > 0; ++guard) {
        const FeederRun& run = list.runs[k];
        if (run.cable)
            return *run.cable;
        const QString from = run.fromPole.trimmed();
        size_t parent = 0;
        for (size_t r = 0; r < list.runs.size(); ++r)
            for (const FeederPole& p : list.runs[r].poles)
                if (p.id.trimmed().compare(from, Qt::CaseInsensitive) == 0)
                    parent = r;
        if (parent == k)
            break;
        k = parent;
    }
    return c.line.cable;
}

QString cableText(const CableIdentity& cable) {
    return QStringLiteral("%1 %2 mm²").arg(oneLineText(cable.cableType), cable.crossSection);
}

// The run (name) and number of the pole a branch leaves from.
QString leavesFrom(const PoleList& list, const FeederRun& run) {
    const QString from = run.fromPole.trimmed();
    for (const FeederRun& other : list.runs)
        for (const FeederPole& p : other.poles)
            if (p.id.trimmed().compare(from, Qt::CaseInsensitive) == 0)
                return QStringLiteral("自%1杆 %2 引出").arg(oneLineText(other.name), p.id);
    return QStringLiteral("自杆 %1 引出").arg(from);
}

QString currentsText(const std::array<double, 3>& phases, double neutral) {
    return QStringLiteral("L1 %1 A、L2 %2 A、L3 %3 A，中性线 %4 A")
        .arg(fixed4(phases[0]), fixed4(phases[1]), fixed4(phases[2]), fixed4(neutral));
}

} // namespace

bool hasBranches(const CircuitResult& r) {
    return r.feeder && r.feeder->runs.size() > 1;
}

QString feederLoadText(const LampFeeder& f) {
    if (f.poleList.empty())
        return QStringLiteral("路灯馈线 %1 杆").arg(f.poles);
    size_t poles = 0;
    for (const FeederRun& run : f.poleList.runs)
        poles += run.poles.size();
    const size_t branches = f.poleList.runs.size() - 1;
    return branches == 0 ? QStringLiteral("路灯馈线 %1 杆").arg(poles)
                         : QStringLiteral("路灯馈线 %1 杆 %2 支线").arg(poles).arg(branches);
}

Computed<ReportTable> feederPoleTable(const ProjectCircuit& circuit, const CircuitResult& r,
                                      double limitPercent) {
    const LampFeeder* f = feederOf(circuit);
    if (f == nullptr)
        return Computed<ReportTable>::failed(
            QStringLiteral("回路“%1”不是路灯馈线，无灯杆表").arg(oneLineText(circuit.id)));
    if (!r.feeder)
        return Computed<ReportTable>::failed(
            QStringLiteral("回路“%1”的灯杆未计算：%2")
                .arg(oneLineText(circuit.id),
                     r.inputProblems.isEmpty() ? r.feeder.reason() : r.inputProblems.join(u'；')));
    const LampFeederResult& x = *r.feeder;
    ReportTable table;
    table.columnWidthsMm.assign(std::begin(kPoleColumnsMm), std::end(kPoleColumnsMm));
    table.sizePoints = kTablePoints;
    table.fontName = QString::fromUtf8(kBookFont);
    table.headerRows = 1;
    std::vector<ReportTableCell> header;
    for (const char* title : {"支线", "杆号", "距电源\r(m)", "杆距\r(m)", "灯具", "相别",
                              "ΔuL1\r(%)", "ΔuL2\r(%)", "ΔuL3\r(%)", "备注"})
        header.push_back(cell(QString::fromUtf8(title), true));
    table.rows.push_back(std::move(header));
    const int worst = worstIndex(x);
    for (const PoleLine& line : poleLines(*f, x)) {
        std::vector<ReportTableCell> row{
            cell(oneLineText(line.run)), cell(oneLineText(line.id)),
            cell(line.drop ? fixed1(line.drop->distanceM) : kNotComputed), cell(fixed1(line.spanM)),
            cell(line.lamps)};
        if (!line.drop) {
            for (int k = 0; k < 4; ++k)
                row.push_back(cell(kNotComputed));
            row.push_back(cell({}));
            table.rows.push_back(std::move(row));
            continue;
        }
        const PoleDrop& p = *line.drop;
        row.push_back(cell(phaseText(p.phase) + (line.fixed ? QStringLiteral("*") : QString())));
        for (int k = 0; k < 3; ++k) {
            ReportTableCell loss = cell(fixed4(p.lossPercent[size_t(k)]));
            // Each pole is judged on the phase its lamps are on; the other two are shown only.
            if (int(p.phase) == k) {
                const double shown = shownLossPercent(p.lossPercent[size_t(k)]);
                if (!lossWithinLimit(shown, limitPercent)) {
                    loss.bold = true;
                    loss.colour = colors::kRed;
                }
                if (line.index == worst)
                    loss.bold = true;
            }
            row.push_back(loss);
        }
        row.push_back(cell(line.index == worst ? QStringLiteral("最不利") : QString()));
        table.rows.push_back(std::move(row));
    }
    return table;
}

QStringList poleTableNotes(const ProjectCircuit& circuit, const CircuitResult&) {
    QStringList notes{QStringLiteral(" 注：各杆 Δu 按其灯具所接相别判定，另两相仅列出；"
                                     "“最不利”为判定 Δu 最大的杆。")};
    if (const LampFeeder* f = feederOf(circuit))
        for (const FeederRun& run : f->poleList.runs)
            for (const FeederPole& pole : run.poles)
                if (pole.fixedPhase) {
                    notes << QStringLiteral(" *为设计人指定相别，其余按%1接线依次轮换。")
                                 .arg(connectionText(f->connection));
                    return notes;
                }
    return notes;
}

Computed<QStringList> poleTableText(const ProjectRun& run, const QString& circuitId) {
    const size_t count = std::min(run.project.circuits.size(), run.results.size());
    for (size_t i = 0; i < count; ++i) {
        const ProjectCircuit& c = run.project.circuits[i];
        if (oneLineText(c.id).trimmed() != circuitId.trimmed())
            continue;
        const Computed<ReportTable> table =
            feederPoleTable(c, run.results[i], run.project.voltageLossLimitPercent);
        if (!table)
            return Computed<QStringList>::failed(table.reason());
        QStringList lines = tableLines(*table, QStringLiteral("\t"));
        for (const QString& note : poleTableNotes(c, run.results[i]))
            lines << note.trimmed();
        return lines;
    }
    return Computed<QStringList>::failed(QStringLiteral("工程中无回路“%1”").arg(circuitId));
}

QStringList tableLines(const ReportTable& table, const QString& separator) {
    QStringList lines;
    for (const std::vector<ReportTableCell>& row : table.rows) {
        QStringList cells;
        for (const ReportTableCell& c : row)
            cells << QString(c.text).replace(u'\r', u' ');
        lines << cells.join(separator);
    }
    return lines;
}

QStringList feederStructureParagraphs(const ProjectCircuit& circuit, const CircuitResult& r) {
    const LampFeeder* f = feederOf(circuit);
    if (f == nullptr || f->poleList.empty() || !r.feeder)
        return {};
    const LampFeederResult& x = *r.feeder;
    const PoleList& list = f->poleList;
    QStringList out{QStringLiteral(" 线路结构:")};
    for (size_t k = 0; k < list.runs.size(); ++k) {
        const FeederRun& run = list.runs[k];
        double lengthM = 0.0;
        for (const FeederPole& p : run.poles)
            lengthM += p.spanM;
        const RunResult* computed = k < x.runs.size() ? &x.runs[k] : nullptr;
        if (computed)
            lengthM = computed->lengthM;
        out << QStringLiteral("   %1 %2，%3，长 %4 m，%5 杆；起点电流 %6")
                   .arg(oneLineText(run.name),
                        k == 0 ? QStringLiteral("自电源引出") : leavesFrom(list, run),
                        cableText(runCable(circuit, list, k)), fixed1(lengthM))
                   .arg(run.poles.size())
                   .arg(computed ? currentsText(computed->phaseCurrentsA, computed->neutralCurrentA)
                                 : kNotComputed);
    }
    out << QStringLiteral("   电缆总长 %1 m，灯具总功率 ΣP = %2 W（灯具标称功率之和；各杆电流"
                          "计入镇流器（驱动电源）系数，CJJ 45-2015）")
               .arg(fixed1(x.cableLengthM()), g(x.totalLoadW));
    return out;
}

QStringList worstPathParagraphs(const CircuitResult& r) {
    if (!r.feeder)
        return {};
    const LampFeederResult& x = *r.feeder;
    const int worst = worstIndex(x);
    if (worst < 0)
        return {QStringLiteral("   最不利杆:  未计算")};
    const QString path = pathText(x, pathTo(x, worst));
    return {QStringLiteral("   最不利杆 %1（%2），路径：%3，Δu = %4%")
                .arg(poleId(x, worst), phaseText(x.worstPhase), path, fixed4(x.worstLossPercent))};
}

QStringList weakestEndParagraphs(const CircuitResult& r) {
    if (!r.feeder)
        return {};
    const LampFeederResult& x = *r.feeder;
    if (x.weakestPole < 0 || size_t(x.weakestPole) >= x.poles.size())
        return {QStringLiteral(" 短路校验点:  未计算")};
    const PoleDrop& p = x.poles[size_t(x.weakestPole)];
    return {
        QStringLiteral(" 短路校验点：最远端（相保回路阻抗最大）杆 %1，距电源 %2 m，路径：%3")
            .arg(poleId(x, x.weakestPole), fixed1(p.path.lengthM),
                 pathText(x, pathTo(x, x.weakestPole))),
        QStringLiteral("   沿路径各段累加（各段电缆每米阻抗 × 其在路径上的长度）：Rx = %1，Xx = "
                       "%2，Rphpx = %3，Xphpx = %4，R′x = %5，X′x = %6 (mΩ)")
            .arg(fixed6(p.path.ohm.resistance * 1000.0), fixed6(p.path.ohm.reactance * 1000.0),
                 fixed6(p.path.ohm.loopResistance * 1000.0),
                 fixed6(p.path.ohm.loopReactance * 1000.0),
                 fixed6(p.path.neutralResistanceOhm * 1000.0),
                 fixed6(p.path.neutralReactanceOhm * 1000.0))};
}

QStringList sectionCheckParagraphs(const CircuitResult& r) {
    if (r.sections.empty())
        return {};
    QStringList out{
        QStringLiteral("【各段校验】：各段均由馈线首端同一断路器保护，载流量按 GB/T 16895.6-2014 "
                       "附录B，过负荷保护按 GB 50054-2011 第6.3.3条逐段校验；热稳定按各段始端"
                       "（分支点）最大短路电流，GB 50054-2011 第6.2.3条")};
    for (const SectionResult& s : r.sections) {
        out << QStringLiteral(" %1 %2，长 %3 m:")
                   .arg(oneLineText(s.run), cableText(s.cable), fixed1(s.lengthM));
        out << QStringLiteral("   始端 I\u2033k3 = ") +
                   (s.originShortCircuit
                        ? QStringLiteral("%1 (kA)").arg(fixed4(s.originShortCircuit->ik3))
                        : whyNot(s.originShortCircuit));
        out << QStringLiteral("   热稳定:  ") +
                   (s.thermal ? QStringLiteral("Smin = %1 (mm²)，S = %2 (mm²)")
                                    .arg(s.thermal->text, s.cable.crossSection)
                              : whyNot(s.thermal));
        out << QStringLiteral("   热稳定：") + stateLine(s.thermalOutcome);
        if (s.capacity) {
            const CapacityCheck& k = *s.capacity;
            out << QStringLiteral("   载流量:  I0 = %1 (A)（%2），Iz = I0 × %3 = %4 (A)")
                       .arg(g(k.capacity.tabulatedA), k.capacity.table, factorsText(k),
                            formatFixed(k.capacityA, 1))
                << QStringLiteral("   Ib = %1 (A)，In = %2 (A)，I2 = %3 (A) ≤ 1.45 × Iz = %4 (A)")
                       .arg(fixed4(k.overload.loadCurrentA))
                       .arg(k.overload.ratedCurrentA)
                       .arg(fixed1(k.overload.conventionalTripA),
                            fixed1(kConventionalTripLimit * k.capacityA));
            if (k.neutralCurrentA)
                out << QStringLiteral("   中性线电流 IN = %1 (A)").arg(fixed1(*k.neutralCurrentA));
        } else {
            out << QStringLiteral("   载流量:  ") + whyNot(s.capacity);
        }
        out << QStringLiteral("   载流量：") + stateLine(s.capacityOutcome);
    }
    return out;
}

QStringList sectionSizingParagraphs(const SizingResult& s) {
    if (s.sections.empty())
        return {};
    QStringList out{
        QStringLiteral(" 各段截面（按各段截面×长度之和（用铜量）最小选取通过全部校验的组合，"
                       "共试算 %1 种组合）:")
            .arg(s.combinationsTried)};
    for (const SectionSizing& section : s.sections) {
        const QString rule =
            section.governing ? QStringLiteral("；次小一级截面不满足%1：%2")
                                    .arg(checkName(*section.governing), section.governingText)
            : section.governingText.isEmpty() ? QString()
                                              : QStringLiteral("；") + section.governingText;
        out << (section.crossSection.isEmpty()
                    ? QStringLiteral("   %1：无通过全部校验的截面%2")
                          .arg(oneLineText(section.run), rule)
                    : QStringLiteral("   %1：S = %2 (mm²)%3")
                          .arg(oneLineText(section.run), section.crossSection, rule));
    }
    return out;
}

} // namespace korvane
