#include "project/checks/check.h"

#include "base/number_format.h"

namespace korvane {

namespace {

QString numberText(double value, FigureDigits digits) {
    const RegionalFormat plain;
    switch (digits.kind) {
    case FigureDigits::Kind::Fixed:
        return formatFixed(value, digits.decimals, plain);
    case FigureDigits::Kind::TenthTrimmed: {
        QString text = formatFixed(value, 1, plain);
        if (text.endsWith(QLatin1String(".0")))
            text.chop(2);
        return text;
    }
    case FigureDigits::Kind::Shortest:
        break;
    }
    return formatGeneral(value, plain);
}

// "Δu = 1.0479%", "In = 16 A", "Iz" (named only), "160 A" (a bare limit).
QString figureText(const CheckFigure& f) {
    if (!f.value)
        return f.symbol;
    QString text = numberText(*f.value, f.digits);
    if (!f.unit.isEmpty())
        text += f.unit == QLatin1String("%") ? f.unit : u' ' + f.unit;
    return f.symbol.isEmpty() ? text : f.symbol + QStringLiteral(" = ") + text;
}

QString statementText(const CheckStatement& s) {
    QString text;
    for (std::size_t k = 0; k < s.figures.size(); ++k) {
        if (k == 0) {
            text = figureText(s.figures[k]);
            continue;
        }
        const Relation relation =
            k - 1 < s.relations.size() ? s.relations[k - 1] : Relation::AtMost;
        const QString next = figureText(s.figures[k]);
        switch (relation) {
        case Relation::AtMost:
            text += QStringLiteral(" ≤ ") + next;
            break;
        case Relation::Below:
            text += QStringLiteral(" < ") + next;
            break;
        case Relation::AtLeast:
            text += QStringLiteral(" ≥ ") + next;
            break;
        case Relation::Above:
            text += QStringLiteral(" > ") + next;
            break;
        case Relation::Exceeds:
            text += QStringLiteral(" 超过 ") + next;
            break;
        case Relation::BeyondTable:
            text += QStringLiteral(" 超出选择表范围 (≤") + next + u')';
            break;
        }
    }
    return s.aside ? u'（' + text + u'）' : text;
}

} // namespace

QString checkWords(const CheckOutcome& outcome) {
    if (outcome.state == CheckOutcome::State::NotComputed && outcome.sections.empty())
        return outcome.reason;
    if (!outcome.sections.empty()) {
        QStringList parts;
        for (const SectionOutcome& s : outcome.sections)
            parts << s.run + u'：' + checkWords(s.outcome);
        return parts.join(QStringLiteral("；"));
    }
    QString text;
    for (const CheckStatement& s : outcome.statements) {
        if (!text.isEmpty() && !s.aside)
            text += QStringLiteral("，");
        text += statementText(s);
    }
    return text;
}

QString CheckOutcome::text() const {
    return checkWords(*this);
}

CheckOutcome CheckOutcome::pass(std::vector<CheckStatement> statements) {
    CheckOutcome o;
    o.state = State::Passed;
    o.statements = std::move(statements);
    return o;
}

CheckOutcome CheckOutcome::fail(std::vector<CheckStatement> statements) {
    CheckOutcome o;
    o.state = State::Failed;
    o.statements = std::move(statements);
    return o;
}

CheckOutcome CheckOutcome::notComputed(QString reason) {
    CheckOutcome o;
    o.reason = std::move(reason);
    return o;
}

QString checkStateText(CheckOutcome::State state) {
    switch (state) {
    case CheckOutcome::State::Passed:
        return QStringLiteral("通过");
    case CheckOutcome::State::Failed:
        return QStringLiteral("不通过");
    case CheckOutcome::State::NotComputed:
        break;
    }
    return QStringLiteral("未计算");
}

CheckFigure figure(QString symbol, double value, QString unit, FigureDigits digits) {
    return {std::move(symbol), value, std::move(unit), digits};
}

CheckFigure named(QString symbol) {
    return {std::move(symbol), std::nullopt, {}, {}};
}

CheckStatement compare(CheckFigure left, Relation relation, CheckFigure right) {
    return {{std::move(left), std::move(right)}, {relation}, false};
}

CheckStatement state(CheckFigure only) {
    return {{std::move(only)}, {}, false};
}

} // namespace korvane
