#include "project/result_schema.h"

#include <cmath>

namespace korvane {

namespace {

using C = CircuitCheck;

ResultValue number(double value) {
    return {std::isfinite(value) ? ScheduleCell{value} : ScheduleCell{}, {}};
}

ResultValue missing(QString reason) {
    return {{}, std::move(reason)};
}

// A figure of a computed value; a value that was not computed is missing with its reason.
template <typename T, typename F> ResultValue figureOf(const Computed<T>& computed, F figure) {
    if (!computed)
        return missing(computed.reason());
    return figure(*computed);
}

ResultValue whole(const std::optional<int>& value, const QString& whyNot) {
    return value ? number(double(*value)) : missing(whyNot);
}

ResultValue current(const CircuitResult& r, double ShortCircuitResult::*member) {
    return figureOf(r.shortCircuit,
                    [member](const ShortCircuitResult& s) { return number(s.*member); });
}

SchemaColumn column(const char* header, int decimals, std::optional<CircuitCheck> check,
                    std::function<ResultValue(const ProjectCircuit&, const CircuitResult&)> read,
                    double bookWidthMm) {
    SchemaColumn made;
    made.header = QString::fromUtf8(header);
    made.decimals = decimals;
    made.check = check;
    made.bookWidthMm = bookWidthMm;
    made.read = std::move(read);
    return made;
}

// The widths in the book's table: at 7.5 pt a digit is 1.3 mm in 宋体 and a Chinese character
// 2.6 mm, and a cell keeps 1 mm of margin either side, so "0.3485" and 不通过 take 10 mm, a
// grouped length ("1,255.0") 11.5 mm, a current ("0.3908" up to "12.345") 10.5 mm, a minimum
// section ("34.7138") 12 mm and a whole number of amperes or milliamperes 7 and 8 mm.
constexpr double kAmperesMm = 7.0;
constexpr double kMilliamperesMm = 8.0;
constexpr double kFigureMm = 10.0;
constexpr double kCurrentMm = 10.5;
constexpr double kSectionMm = 12.0;
constexpr double kLengthMm = 11.5;
constexpr double kVerdictMm = 10.0;

ResultSchema makeProjectSchema() {
    constexpr int kText = SchemaColumn::kText;
    constexpr std::nullopt_t kNoCheck = std::nullopt;
    using R = const CircuitResult&;
    ResultSchema s;
    auto add = [&s](const char* header, int decimals, std::optional<CircuitCheck> check,
                    double bookWidthMm, std::function<ResultValue(R)> read) {
        s.columns.push_back(column(
            header, decimals, check,
            [read = std::move(read)](const ProjectCircuit&, R r) { return read(r); }, bookWidthMm));
    };
    // The length of the circuit's cable. A feeder with branches: the total length of its trunk
    // and branches (Σ of every run's spans), the cable laid and bought, not the path to its
    // weakest end (the process text of the book gives that with the fault there).
    add("长度(m)", 1, kNoCheck, kLengthMm, [](R r) {
        if (r.feeder && r.feeder->runs.size() > 1)
            return number(r.feeder->cableLengthM());
        return figureOf(r.lineLengthKm, [](double km) { return number(km * 1000.0); });
    });
    add("Δu(%)", kLossPercentDecimals, C::VoltageLoss, kFigureMm,
        [](R r) { return figureOf(r.lossPercent, [](double p) { return number(p); }); });
    add("电压损失", kText, C::VoltageLoss, kVerdictMm, [](R r) {
        return ResultValue{checkStateText(r.check(C::VoltageLoss)), {}};
    });
    add("最大长度(m)", 1, kNoCheck, 0.0,
        [](R r) { return figureOf(r.maxLengthM, [](double m) { return number(m); }); });
    // The current the protection is chosen for, beside the breaker chosen for it; named apart
    // from the input column Ib(A) of a load case.
    add("计算电流Ib(A)", 3, kNoCheck, kFigureMm,
        [](R r) { return figureOf(r.loadCurrentA, [](double a) { return number(a); }); });
    add("QR In(A)", 0, C::BreakerSelection, kAmperesMm, [](R r) {
        return figureOf(r.switchgear, [&r](const LineSwitchgear& g) {
            return whole(g.breakerRatedA, r.check(C::BreakerSelection).text());
        });
    });
    add("QC Ie(A)", 0, C::BreakerSelection, 0.0, [](R r) {
        return figureOf(r.switchgear, [&r](const LineSwitchgear& g) {
            return whole(g.contactorRatedA, r.check(C::BreakerSelection).text());
        });
    });
    // The cable's current-carrying capacity with its correction factors, the neutral current of
    // a lamp feeder with the lamps' third harmonics, and the check Ib ≤ In ≤ Iz, I2 ≤ 1.45·Iz.
    add("Iz(A)", 1, C::CurrentCapacity, kFigureMm, [](R r) {
        return figureOf(r.capacity, [](const CapacityCheck& c) { return number(c.capacityA); });
    });
    add("校正系数", kText, kNoCheck, 0.0, [](R r) {
        return figureOf(r.capacity, [](const CapacityCheck& c) {
            return ResultValue{factorsText(c), {}};
        });
    });
    add("IN(A)", 1, kNoCheck, 0.0, [](R r) {
        if (r.neutral.reason().isEmpty() && !r.neutral)
            return missing(QStringLiteral("仅相序轮接的路灯馈线计算中性线电流"));
        return figureOf(r.neutral, [](const FeederNeutral& n) { return number(n.withHarmonicsA); });
    });
    add("载流量", kText, C::CurrentCapacity, 0.0, [](R r) {
        return ResultValue{checkStateText(r.check(C::CurrentCapacity)), {}};
    });
    // The book's table gives Iz in place of the end's I″k3: the process text gives both ends'.
    add("I″k3(kA)", 4, kNoCheck, 0.0, [](R r) { return current(r, &ShortCircuitResult::ik3); });
    add("I″k2(kA)", 4, kNoCheck, 0.0, [](R r) { return current(r, &ShortCircuitResult::ik2); });
    add("Id(kA)", 4, kNoCheck, kCurrentMm, [](R r) { return current(r, &ShortCircuitResult::id); });
    add("I″k1(kA)", 4, kNoCheck, kCurrentMm,
        [](R r) { return current(r, &ShortCircuitResult::ik1); });
    // The largest fault the cable sees, just after its breaker: its thermal stress.
    add("始端I″k3(kA)", 4, C::ThermalStability, 0.0, [](R r) {
        return figureOf(r.originShortCircuit,
                        [](const ShortCircuitResult& s) { return number(s.ik3); });
    });
    add("Ivn(mA)", 0, C::ResidualSetting, kMilliamperesMm, [](R r) {
        return figureOf(r.residual, [&r](const ResidualCurrentSetting& v) {
            return whole(v.ratedResidualMa, r.check(C::ResidualSetting).text());
        });
    });
    // The sensitivity is judged to two decimals: the cell holds the figure judged.
    add("灵敏度", 2, C::Sensitivity, 0.0, [](R r) {
        return figureOf(r.sensitivity, [](const SensitivityCheck& v) {
            return number(roundHalfAwayFromZero(v.ratio, 2));
        });
    });
    add("Smin(mm²)", 4, C::ThermalStability, kSectionMm, [](R r) {
        return figureOf(r.thermal,
                        [](const ThermalStability& t) { return number(t.minimumCrossSectionMm2); });
    });
    add("结论", kText, kNoCheck, kVerdictMm, [](R r) {
        return ResultValue{verdictText(circuitVerdict(r)), {}};
    });
    s.columns.back().overall = true;
    return s;
}

} // namespace

QString checkNote(const CircuitCheck& check, const CheckOutcome& outcome) {
    return checkName(check) + checkStateText(outcome) + QStringLiteral("：") + outcome.text();
}

const SchemaColumn* ResultSchema::column(const QString& header) const {
    for (const SchemaColumn& c : columns)
        if (c.header == header)
            return &c;
    return nullptr;
}

const ResultSchema& projectResultSchema() {
    static const ResultSchema schema = makeProjectSchema();
    return schema;
}

JudgedResult judgeResult(const SchemaColumn& column, const ProjectCircuit& circuit,
                         const CircuitResult& result) {
    JudgedResult judged;
    judged.value = column.read ? column.read(circuit, result) : missing(QStringLiteral("未计算"));
    if (column.overall) {
        judged.judged = true;
        judged.state = circuitVerdict(result);
        judged.note = circuitNoteLines(result).join(u'\n');
    } else if (column.check) {
        const CheckOutcome& outcome = result.check(*column.check);
        judged.judged = true;
        judged.state = outcome.state;
        if (!outcome.passed())
            judged.note = outcome.text();
    } else if (std::holds_alternative<std::monostate>(judged.value.value)) {
        judged.note = judged.value.reason;
    }
    return judged;
}

QString resultText(const SchemaColumn& column, const ResultValue& value,
                   const RegionalFormat& format, const QString& missingText) {
    if (const double* v = std::get_if<double>(&value.value))
        return column.decimals == SchemaColumn::kText ? formatGeneral(*v, format)
                                                      : formatFixed(*v, column.decimals, format);
    if (const QString* t = std::get_if<QString>(&value.value))
        return *t;
    return missingText;
}

QStringList circuitNoteLines(const CircuitResult& result) {
    if (!result.inputProblems.isEmpty())
        return {QStringLiteral("未计算：") + result.inputProblems.join(u'；')};
    QStringList lines;
    for (const auto& [check, outcome] : result.checks)
        if (!outcome.passed())
            lines << checkNote(check, outcome);
    for (const QString& warning : result.warnings)
        lines << QStringLiteral("注意：") + warning;
    return lines;
}

QString factorsText(const CapacityCheck& c) {
    const auto f = [](double v) { return formatGeneral(v, RegionalFormat{}); };
    QString text = QStringLiteral("Kt %1 × Kρ %2 × Kg %3")
                       .arg(f(c.capacity.temperatureFactor), f(c.capacity.resistivityFactor),
                            f(c.capacity.groupingFactor));
    if (c.harmonicFactor != 1.0)
        text += QStringLiteral(" × Kh %1").arg(f(c.harmonicFactor));
    return text;
}

QStringList circuitNotes(const ProjectCircuit& circuit, const CircuitResult& result) {
    QStringList notes;
    for (const QString& line : circuitNoteLines(result))
        notes << circuit.id + u' ' + line;
    return notes;
}

} // namespace korvane
