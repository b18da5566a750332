#include "diagram/system_diagram.h"

#include "base/number_format.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace korvane {

using namespace drawing;

namespace {

const QString kNotComputed = QStringLiteral("未计算");

// ---- The sheet (mm, origin at the lower left corner of the paper) ----

constexpr double kSheetWidth = 420.0; // A3 landscape, GB/T 14689
constexpr double kSheetHeight = 297.0;
constexpr double kBindingMargin = 25.0; // the left border with a binding edge
constexpr double kMargin = 10.0;
constexpr double kLeft = kBindingMargin;
constexpr double kRight = kSheetWidth - kMargin;
constexpr double kBottom = kMargin;
constexpr double kTop = kSheetHeight - kMargin;

// The title block in the lower right corner: 180 mm wide (GB/T 10609.1), four rows of 8 mm.
constexpr double kTitleWidth = 180.0;
constexpr double kTitleRow = 8.0;
constexpr int kTitleRows = 4;
constexpr double kTitleTop = kBottom + kTitleRow * kTitleRows;

// The circuit table: the row names in the first column, then one column per circuit.
constexpr double kLabelWidth = 40.0;
constexpr double kColumnWidth = (kRight - kLeft - kLabelWidth) / kCircuitsPerSheet;
constexpr double kTableBottom = kTitleTop + 4.0;

// Text heights (GB/T 14691, GB/T 18229 for A3): Chinese 3.5 mm, letters and digits 2.5 mm; the
// title of the drawing 7 mm. Widths estimated for the gbenor/gbcbig fonts at width factor 0.7.
constexpr double kChinese = 3.5;
constexpr double kLatin = 2.5;
constexpr double kHeading = 7.0;
constexpr double kSmallest = 1.8; // a text shrunk to fit its cell goes no smaller

// The busbar and the branch symbols.
constexpr double kBusbarY = 238.0;
constexpr double kBreakerTop = 228.0;    // the fixed contact of QR
constexpr double kBreakerBottom = 216.0; // the pivot of its blade
constexpr double kResidualY = 209.0;     // the residual-current detector ring
constexpr double kContactorTop = 200.0;
constexpr double kContactorBottom = 189.0;

struct Row {
    const char16_t* label;
    double height;
    bool rotated; // the column's text runs upwards (long texts: the breaker, the cable)
    QString DiagramColumn::*text;
};
const Row kRows[] = {
    {u"回路编号", 7.0, false, &DiagramColumn::id},
    {u"相别", 7.0, false, &DiagramColumn::phases},
    {u"断路器 QR", 25.0, true, &DiagramColumn::breaker},
    {u"剩余电流 IΔn", 7.0, false, &DiagramColumn::residual},
    {u"接触器 QC", 7.0, false, &DiagramColumn::contactor},
    {u"电缆型号规格", 27.0, true, &DiagramColumn::cable},
    {u"敷设方式", 7.0, false, &DiagramColumn::laying},
    {u"长度(m)", 7.0, false, &DiagramColumn::lengthM},
    {u"安装容量(kW)", 7.0, false, &DiagramColumn::loadKw},
    {u"计算电流Ib(A)", 7.0, false, &DiagramColumn::currentA},
    {u"电压损失Δu(%)", 7.0, false, &DiagramColumn::lossPercent},
};

double tableHeight() {
    double h = 0.0;
    for (const Row& row : kRows)
        h += row.height;
    return h;
}
const double kTableTop = kTableBottom + tableHeight();

bool isChinese(QChar c) {
    return c.unicode() >= 0x2E80;
}

// The width of a text at a height, at most: a Chinese character 0.9 of its height (the big
// font's square glyph at width factor 0.7, and a TrueType CJK font's at the em the painter and
// the SVG give it), a letter or digit 0.7.
double estimatedWidth(const QString& text, double height) {
    double w = 0.0;
    for (QChar c : text)
        w += (isChinese(c) ? 0.9 : 0.7) * height;
    return w;
}

// The height of a text so that it fits `room` mm: its usual height, or smaller down to the
// smallest legible.
double fittedHeight(const QString& text, double usual, double room) {
    const double width = estimatedWidth(text, usual);
    if (width <= room)
        return usual;
    return std::max(kSmallest, usual * room / width);
}

// The text cut with an ellipsis where even the smallest height cannot hold it in `room` mm (a
// name longer than its title-block cell); every figure of a circuit fits without.
QString fitted(const QString& text, double room) {
    if (estimatedWidth(text, kSmallest) <= room)
        return text;
    QString cut = text;
    while (!cut.isEmpty() && estimatedWidth(cut + u'…', kSmallest) > room)
        cut.chop(1);
    return cut + u'…';
}

double usualHeight(const QString& text) {
    for (QChar c : text)
        if (isChinese(c))
            return kChinese;
    return kLatin;
}

class Composer {
public:
    explicit Composer(Sheet& sheet) : s_(sheet) {}

    void line(Point a, Point b, Layer layer = Layer::Lines, bool dashed = false) {
        s_.lines.push_back({a, b, layer, dashed});
    }
    void rectangle(double x0, double y0, double x1, double y1, Layer layer) {
        s_.polylines.push_back({{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, true, layer});
    }
    // A text centred in a box, shrunk to fit its width (or its height, rotated).
    void centred(const QString& text, double cx, double cy, double room, bool rotated = false,
                 double usual = 0.0) {
        place(text, {cx, cy}, room, HorizontalAlign::Centre, rotated, usual);
    }
    void left(const QString& text, double x, double y, double room, double usual = 0.0) {
        place(text, {x, y}, room, HorizontalAlign::Left, false, usual);
    }

    // Circuit-breaker, GB/T 4728.7 07-13-05: a make contact whose blade pivots at the lower
    // terminal, with a cross at the fixed contact.
    void breaker(double x) {
        line({x, kBusbarY}, {x, kBreakerTop}, Layer::Lines);
        line({x, kBreakerBottom}, {x - 4.5, kBreakerTop - 0.5}, Layer::Symbols);
        const double c = 1.2;
        line({x - c, kBreakerTop - c}, {x + c, kBreakerTop + c}, Layer::Symbols);
        line({x - c, kBreakerTop + c}, {x + c, kBreakerTop - c}, Layer::Symbols);
        // The residual-current release: a detector ring around the conductor, linked
        // mechanically (dashed) to the blade, GB/T 4728.7 07-20 with 02-12 mechanical link.
        line({x, kBreakerBottom}, {x, kResidualY}, Layer::Lines);
        s_.circles.push_back({{x, kResidualY}, 2.0, Layer::Symbols});
        line({x - 2.0, kResidualY}, {x - 3.0, kResidualY}, Layer::Symbols, true);
        // Up to the blade, which crosses x − 3 at 3/4.5 of its rise.
        const double onBlade = kBreakerBottom + (kBreakerTop - 0.5 - kBreakerBottom) * 3.0 / 4.5;
        line({x - 3.0, kResidualY}, {x - 3.0, onBlade}, Layer::Symbols, true);
    }

    // Contactor, GB/T 4728.7 07-13-02: a make contact with a semicircle at the fixed contact.
    void contactor(double x) {
        line({x, kResidualY}, {x, kContactorTop}, Layer::Lines);
        line({x, kContactorBottom}, {x - 4.5, kContactorTop - 0.5}, Layer::Symbols);
        s_.arcs.push_back({{x, kContactorTop}, 1.2, 180.0, 360.0, Layer::Symbols});
        line({x, kContactorBottom}, {x, kTableTop}, Layer::Lines);
    }

    // Transformer, GB/T 4728.6 06-09-01: two overlapping circles.
    void transformer(double x, double yTop) {
        s_.circles.push_back({{x, yTop - 6.0}, 6.0, Layer::Symbols});
        s_.circles.push_back({{x, yTop - 15.0}, 6.0, Layer::Symbols});
    }

private:
    // A text at its usual height (by its characters when `usual` is 0), shrunk to `room` mm
    // along its line and cut with an ellipsis where even the smallest height cannot hold it.
    void place(const QString& text, Point at, double room, HorizontalAlign horizontal, bool rotated,
               double usual) {
        if (text.isEmpty())
            return;
        const double h = fittedHeight(text, usual > 0.0 ? usual : usualHeight(text), room);
        s_.texts.push_back({at, h, fitted(text, room), horizontal, VerticalAlign::Middle,
                            rotated ? 90.0 : 0.0, Layer::Text});
    }

    Sheet& s_;
};

// Figures on a drawing: '.' decimals and no grouping (1055.0, not 1,055.0), as drawings are
// exchanged between offices whatever their settings.
RegionalFormat drawingFormat() {
    RegionalFormat f;
    f.groupSign = QChar();
    f.groupSize = 0;
    return f;
}

QString number(double value, int decimals) {
    return formatFixed(value, decimals, drawingFormat());
}

// A schema column's value as the schedule shows it, '.' decimals; "未计算" when missing.
QString schemaText(const QString& header, const ProjectCircuit& circuit,
                   const CircuitResult& result) {
    const SchemaColumn* column = projectResultSchema().column(header);
    if (!column)
        return kNotComputed;
    const ResultValue value = column->read(circuit, result);
    const QString text = resultText(*column, value, drawingFormat());
    return text.isEmpty() ? kNotComputed : text;
}

bool isSinglePhase(const CircuitLoad& load) {
    if (const auto* feeder = std::get_if<LampFeeder>(&load))
        return feeder->connection == FeederConnection::SinglePhase;
    const auto& kind = std::get<LoadCaseLoad>(load).values.lineKind;
    return kind && (*kind == LineKind::SinglePhasePhaseVoltage ||
                    *kind == LineKind::SinglePhaseLineVoltage);
}

QString phaseName(Phase phase) {
    return QStringLiteral("L%1").arg(int(phase) + 1);
}

QString phasesText(const CircuitLoad& load) {
    if (const auto* feeder = std::get_if<LampFeeder>(&load)) {
        if (feeder->connection == FeederConnection::SinglePhase) {
            // Poles the engineer fixed on another phase make the feeder's phases several.
            bool others = false;
            for (const FeederRun& run : feeder->poleList.runs)
                for (const FeederPole& pole : run.poles)
                    others = others || (pole.fixedPhase && *pole.fixedPhase != feeder->startPhase);
            return others ? QStringLiteral("L1/L2/L3") : phaseName(feeder->startPhase);
        }
        return QStringLiteral("L1/L2/L3");
    }
    const auto& kind = std::get<LoadCaseLoad>(load).values.lineKind;
    if (!kind)
        return kNotComputed;
    switch (*kind) {
    case LineKind::ThreePhase:
        return QStringLiteral("三相");
    case LineKind::TwoPhaseNeutral:
        return QStringLiteral("两相");
    case LineKind::SinglePhaseLineVoltage:
    case LineKind::SinglePhasePhaseVoltage:
        break;
    }
    return QStringLiteral("单相");
}

// The installed power of a circuit, kW: the lamps' rated power of a feeder (without their gear),
// the powers of a load case given in kW; nothing for a load given as currents.
std::optional<double> installedKw(const CircuitLoad& load) {
    if (const auto* f = std::get_if<LampFeeder>(&load)) {
        if (f->poleList.empty())
            return double(f->poles) * f->lampsPerPole * f->lampPowerW / 1000.0;
        double w = 0.0;
        for (const FeederRun& run : f->poleList.runs)
            for (const FeederPole& pole : run.poles)
                for (const LampGroup& lamp : pole.lamps)
                    w += lamp.count * lamp.powerW;
        return w / 1000.0;
    }
    const VoltageLossInput& v = std::get<LoadCaseLoad>(load).values;
    if (!v.loadCase)
        return std::nullopt;
    auto sum = [](const std::array<LoadAtDistance, 4>& loads) {
        double kw = 0.0;
        for (const LoadAtDistance& l : loads)
            kw += l.load;
        return kw;
    };
    switch (*v.loadCase) {
    case LoadCase::EndPower4:
    case LoadCase::EndPower3:
    case LoadCase::EndUnityPower:
    case LoadCase::EndUnityPowerOrDc:
        return v.endPowerKw;
    case LoadCase::SeveralPower:
        return sum(v.powerLoads);
    case LoadCase::SeveralUnityPower:
        return sum(v.unityPowerLoads);
    case LoadCase::EndCurrent:
    case LoadCase::UniformCurrent:
    case LoadCase::SeveralCurrent:
        break;
    }
    return std::nullopt;
}

// How a laying method is written on a drawing.
QString layingText(const std::optional<LayingMethod>& method) {
    if (!method)
        return kNotComputed;
    switch (*method) {
    case LayingMethod::InAir:
        return QStringLiteral("桥架");
    case LayingMethod::InDuct:
        return QStringLiteral("穿管埋地");
    case LayingMethod::DirectlyBuried:
        return QStringLiteral("直埋");
    }
    return kNotComputed;
}

// The device kind by the standard of the series' row: GB/T 10963.1 miniature circuit-breakers
// (MCB), GB/T 14048.2 moulded-case circuit-breakers (MCCB).
QString breakerKindText(const QString& standard) {
    if (standard.contains(QStringLiteral("10963")))
        return QStringLiteral("MCB");
    if (standard.contains(QStringLiteral("14048")))
        return QStringLiteral("MCCB");
    return standard;
}

int chineseNumeral(QChar c) {
    const QString numerals = QStringLiteral("一二三四五六七八九");
    return int(numerals.indexOf(c)) + 1;
}

} // namespace

QString cableDesignation(const CableIdentity& cable) {
    const QString model = cable.cableType.section(u' ', 0, 0, QString::SectionSkipEmpty);
    QString designation = model;
    static const QRegularExpression rating(QStringLiteral("\\(([0-9.]+/[0-9.]+kV)\\)"));
    if (const QRegularExpressionMatch m = rating.match(cable.lossType); m.hasMatch())
        designation += u'-' + m.captured(1);
    static const QRegularExpression cores(QStringLiteral("([一二三四五六七八九0-9])芯"));
    QString size = cable.crossSection.trimmed();
    if (const QRegularExpressionMatch m = cores.match(cable.cableType); m.hasMatch()) {
        const QChar c = m.captured(1).at(0);
        const int n = c.isDigit() ? c.digitValue() : chineseNumeral(c);
        size = QString::number(n) + u'×' + size;
    }
    if (!size.isEmpty())
        designation += (designation.isEmpty() ? QString() : QStringLiteral("-")) + size;
    return designation;
}

QString circuitCableText(const ProjectCircuit& circuit) {
    const QString trunk = cableDesignation(circuit.line.cable);
    const auto* feeder = std::get_if<LampFeeder>(&circuit.load);
    if (!feeder || feeder->poleList.runs.size() <= 1)
        return trunk;
    // The trunk's kind and rating ("VV-0.6/1kV-"): a branch of the same kind by its size alone.
    const qsizetype cut = trunk.lastIndexOf(u'-');
    const QString kind = cut > 0 ? trunk.left(cut + 1) : QString();
    QStringList branches;
    for (std::size_t k = 1; k < feeder->poleList.runs.size(); ++k) {
        const std::optional<CableIdentity>& own = feeder->poleList.runs[k].cable;
        if (!own)
            continue; // the cable of the run it leaves
        QString designation = cableDesignation(*own);
        if (designation == trunk)
            continue;
        if (!kind.isEmpty() && designation.startsWith(kind))
            designation = designation.mid(kind.size());
        if (!branches.contains(designation))
            branches << designation;
    }
    return branches.isEmpty() ? trunk : trunk + QStringLiteral("，支线 ") + branches.join(u'、');
}

DiagramColumn diagramColumn(const Project& project, const ProjectCircuit& circuit,
                            const CircuitResult& result) {
    DiagramColumn c;
    c.id = circuit.id;
    c.singlePhase = isSinglePhase(circuit.load);
    c.phases = phasesText(circuit.load);
    const QString poles = c.singlePhase ? QStringLiteral("1P+N") : QStringLiteral("3P+N");
    if (result.switchgear && result.switchgear->breakerRatedA) {
        const QString kind =
            result.capacity ? breakerKindText(result.capacity->breakerKind) : QString();
        c.breaker = (kind.isEmpty() ? QString() : kind + u' ') +
                    QStringLiteral("%1A %2").arg(*result.switchgear->breakerRatedA).arg(poles);
    } else {
        c.breaker = kNotComputed;
    }
    c.residual = result.residual && result.residual->ratedResidualMa
                     ? QStringLiteral("%1mA").arg(*result.residual->ratedResidualMa)
                     : kNotComputed;
    c.contactor = result.switchgear && result.switchgear->contactorRatedA
                      ? QStringLiteral("%1A").arg(*result.switchgear->contactorRatedA)
                      : kNotComputed;
    c.cable = circuitCableText(circuit);
    c.laying = layingText(effectiveConditions(circuit.installation, project.installation).method);
    c.lengthM = schemaText(QStringLiteral("长度(m)"), circuit, result);
    const std::optional<double> kw = installedKw(circuit.load);
    c.loadKw = kw && std::isfinite(*kw) ? number(*kw, 2) : kNotComputed;
    c.currentA = schemaText(QStringLiteral("计算电流Ib(A)"), circuit, result);
    c.lossPercent = schemaText(QStringLiteral("Δu(%)"), circuit, result);
    return c;
}

namespace {

void frame(Composer& d, const Project& project, const QDate& date, int sheet, int sheets) {
    d.rectangle(0.0, 0.0, kSheetWidth, kSheetHeight, Layer::Frame);
    d.rectangle(kLeft, kBottom, kRight, kTop, Layer::Frame);
    const double x0 = kRight - kTitleWidth;
    d.rectangle(x0, kBottom, kRight, kTitleTop, Layer::Frame);
    for (int r = 1; r < kTitleRows; ++r)
        d.line({x0, kBottom + r * kTitleRow}, {kRight, kBottom + r * kTitleRow}, Layer::Frame);
    // Columns: a name of 25 mm, its value of 65 mm, a second name of 25 mm, its value of 65 mm.
    const double xs[] = {x0 + 25.0, x0 + 90.0, x0 + 115.0};
    for (double x : xs)
        d.line({x, kBottom}, {x, kTitleTop}, Layer::Frame);
    auto rowY = [](int fromTop) { return kTitleTop - (fromTop + 0.5) * kTitleRow; };
    auto cell = [&](int row, int col, const QString& text) {
        const double left[] = {x0, xs[0], xs[1], xs[2]};
        const double right[] = {xs[0], xs[1], xs[2], kRight};
        d.centred(text, (left[col] + right[col]) / 2.0, rowY(row), right[col] - left[col] - 2.0);
    };
    cell(0, 0, QStringLiteral("工程名称"));
    cell(0, 1, project.name);
    cell(0, 2, QStringLiteral("图名"));
    cell(0, 3, QStringLiteral("配电系统图"));
    cell(1, 0, QStringLiteral("设计"));
    cell(1, 1, project.engineer);
    cell(1, 2, QStringLiteral("日期"));
    cell(1, 3, date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString());
    // Checking and approval are signed by hand: their cells stay empty.
    cell(2, 0, QStringLiteral("校对"));
    cell(2, 2, QStringLiteral("审核"));
    cell(3, 0, QStringLiteral("张次"));
    cell(3, 1, QStringLiteral("第 %1 张  共 %2 张").arg(sheet + 1).arg(sheets));
    cell(3, 2, QStringLiteral("图幅"));
    cell(3, 3, QStringLiteral("A3"));
}

void supply(Composer& d, const Project& project, int sheet) {
    const double x = kLeft + 20.0;
    const Supply& s = project.supply;
    if (sheet == 0) {
        d.transformer(x, kTop - 6.0);
        d.line({x, kTop - 27.0}, {x, kBusbarY}, Layer::Lines);
        const Transformer& t = s.transformer;
        const double tx = x + 10.0;
        const QString model =
            t.series.isEmpty()
                ? QString()
                : QStringLiteral("%1-%2/%3")
                      .arg(t.series, formatGeneral(t.ratedKva, RegionalFormat{}), t.voltageKv);
        QStringList lines;
        lines << QStringLiteral("电源：系统短路容量 S″s = %1 MVA")
                     .arg(formatGeneral(s.systemCapacityMva, RegionalFormat{}));
        lines << QStringLiteral("变压器 %1  %2 kVA  %3/0.4 kV  uk = %4%  ΔP = %5 kW")
                     .arg(model, formatGeneral(t.ratedKva, RegionalFormat{}), t.voltageKv,
                          formatGeneral(t.ukPercent, RegionalFormat{}),
                          formatGeneral(t.loadLossKw, RegionalFormat{}));
        lines << QStringLiteral("低压母线 %1 %2  L = %3 m")
                     .arg(s.busbar.material, s.busbar.size,
                          formatGeneral(s.busbar.lengthM, RegionalFormat{}));
        for (int i = 0; i < lines.size(); ++i)
            d.left(lines[i], tx, kTop - 8.0 - i * 6.0, 150.0);
    } else {
        d.left(QStringLiteral("母线接第 1 张"), kLeft + 2.0, kBusbarY + 4.0, 40.0);
    }
}

} // namespace

Drawing systemDiagram(const ProjectRun& run, const QDate& date) {
    Drawing drawing;
    drawing.title = QStringLiteral("配电系统图");
    const Project& project = run.project;
    const int circuits = int(project.circuits.size());
    const int sheets = std::max(1, (circuits + kCircuitsPerSheet - 1) / kCircuitsPerSheet);
    for (int sheet = 0; sheet < sheets; ++sheet) {
        Sheet s;
        s.widthMm = kSheetWidth;
        s.heightMm = kSheetHeight;
        Composer d(s);
        frame(d, project, date, sheet, sheets);
        d.centred(project.name.isEmpty() ? QStringLiteral("低压配电系统图")
                                         : project.name + QStringLiteral(" 低压配电系统图"),
                  300.0, kTop - 8.0, 180.0, false, kHeading);
        supply(d, project, sheet);

        const int first = sheet * kCircuitsPerSheet;
        const int count = std::min(kCircuitsPerSheet, circuits - first);
        const double tableLeft = kLeft + kLabelWidth;
        // The busbar, a heavy line of about 1.2 mm (three strokes 0.35 mm apart, as a line has
        // no width in the file), over every column of the sheet.
        const double busEnd = tableLeft + std::max(count, 1) * kColumnWidth - kColumnWidth / 2.0;
        for (double dy : {0.0, 0.35, 0.7})
            d.line({kLeft + 12.0, kBusbarY + dy}, {busEnd, kBusbarY + dy}, Layer::Lines);

        // The table: row names, rules, then the columns of the sheet's circuits.
        const double tableRight = tableLeft + std::max(count, 1) * kColumnWidth;
        double y = kTableTop;
        d.line({kLeft, y}, {tableRight, y}, Layer::Frame);
        for (const Row& row : kRows) {
            const double mid = y - row.height / 2.0;
            d.centred(QString::fromUtf16(row.label), kLeft + kLabelWidth / 2.0, mid,
                      kLabelWidth - 2.0);
            y -= row.height;
            d.line({kLeft, y}, {tableRight, y}, Layer::Frame);
        }
        d.line({kLeft, kTableTop}, {kLeft, kTableBottom}, Layer::Frame);
        for (int i = 0; i <= std::max(count, 1); ++i) {
            const double x = tableLeft + i * kColumnWidth;
            d.line({x, kTableTop}, {x, kTableBottom}, Layer::Frame);
        }

        for (int i = 0; i < count; ++i) {
            const size_t index = size_t(first + i);
            const ProjectCircuit& circuit = project.circuits[index];
            const CircuitResult& result = run.results[index];
            const DiagramColumn column = diagramColumn(project, circuit, result);
            const double x = tableLeft + (i + 0.5) * kColumnWidth;
            d.breaker(x);
            d.contactor(x);
            double top = kTableTop;
            for (const Row& row : kRows) {
                const QString& text = column.*row.text;
                const double mid = top - row.height / 2.0;
                const double room = row.height - 2.0;
                const qsizetype comma = text.indexOf(u'，');
                if (row.rotated && comma > 0 && estimatedWidth(text, kSmallest) > room) {
                    // Too long for one line even at the smallest height (a trunk's cable and its
                    // branches'): two lines side by side, the part after the comma second.
                    d.centred(text.left(comma), x - kLatin * 0.7, mid, room, true, kLatin);
                    d.centred(text.mid(comma + 1), x + kLatin * 0.7, mid, room, true, kLatin);
                } else if (row.rotated)
                    d.centred(text, x, mid, room, true, kLatin);
                else
                    d.centred(text, x, mid, kColumnWidth - 1.5);
                top -= row.height;
            }
        }
        drawing.sheets.push_back(std::move(s));
    }
    return drawing;
}

} // namespace korvane
