#include "project/example_circuits.h"

#include "project/handbook_constants.h"
#include "project/sizing.h"
#include "voltage_loss/line_kinds.h"

#include <QStringList>

#include <algorithm>

namespace korvane {

namespace {

using C = ScheduleColumn;

bool isAsciiWordEnd(const QString& text) {
    return !text.isEmpty() && text.back().unicode() < 128 && text.back().isLetterOrNumber();
}

// Two pieces of a message, a blank between a Latin letter or digit and the Chinese text after it
// ("R、X 与单位长度阻抗").
QString joined(const QString& first, const QString& second) {
    return isAsciiWordEnd(first) ? first + u' ' + second : first + second;
}

// "A", "A 与 B", "A、B 与 C" as a sentence names them.
QString namesWithAnd(const QStringList& names) {
    if (names.size() < 2)
        return names.value(0);
    return joined(names.mid(0, names.size() - 1).join(QStringLiteral("、")),
                  QStringLiteral("与") + names.back());
}

bool holds(const std::vector<C>& columns, C column) {
    return std::find(columns.begin(), columns.end(), column) != columns.end();
}

// The blank columns as the message names them: by their symbols (R、X; R0、X0, …), the six
// per-metre values together as 单位长度阻抗, the leakage current as 泄漏电流. The first name is
// what the cable database gives, the rest what the handbook gives.
QStringList databaseNames(const std::vector<C>& blanks) {
    QStringList symbols;
    if (holds(blanks, C::ResistanceOhmPerKm))
        symbols << QStringLiteral("R");
    if (holds(blanks, C::ReactanceOhmPerKm))
        symbols << QStringLiteral("X");
    return symbols.isEmpty() ? QStringList{} : QStringList{symbols.join(QStringLiteral("、"))};
}

QStringList handbookNames(const std::vector<C>& blanks) {
    static const std::pair<C, const char*> perMetreSymbols[] = {{C::R0, "R0"},
                                                                {C::X0, "X0"},
                                                                {C::LoopResistance, "Rphp"},
                                                                {C::LoopReactance, "Xphp"},
                                                                {C::NeutralResistance, "R′"},
                                                                {C::NeutralReactance, "X′"}};
    QStringList perMetre;
    for (const auto& [column, symbol] : perMetreSymbols)
        if (holds(blanks, column))
            perMetre << QString::fromUtf8(symbol);
    QStringList names;
    if (perMetre.size() == qsizetype(std::size(perMetreSymbols)))
        names << QStringLiteral("单位长度阻抗");
    else if (!perMetre.isEmpty())
        names << perMetre.join(QStringLiteral("、"));
    if (holds(blanks, C::LeakagePerKm))
        names << QStringLiteral("泄漏电流");
    return names;
}

} // namespace

const std::vector<ScheduleColumn>& cableTableColumns() {
    static const std::vector<ScheduleColumn> columns{C::ResistanceOhmPerKm,
                                                     C::ReactanceOhmPerKm,
                                                     C::R0,
                                                     C::X0,
                                                     C::LoopResistance,
                                                     C::LoopReactance,
                                                     C::NeutralResistance,
                                                     C::NeutralReactance,
                                                     C::LeakagePerKm};
    return columns;
}

CableFill fillBlankCableValues(ProjectCircuit& c, const std::vector<ScheduleColumn>& blanks,
                               const CableCatalogue& catalogue) {
    CableFill fill;
    const QStringList fromDatabase = databaseNames(blanks);
    const QStringList fromHandbook = handbookNames(blanks);
    if (fromDatabase.isEmpty() && fromHandbook.isEmpty())
        return fill;
    auto blank = [&](C column) { return holds(blanks, column); };
    const CableIdentity& cable = c.line.cable;
    CircuitLine line = c.line;
    double leakage = c.protection.leakagePerKmMa;
    QStringList refused;
    if (!fromDatabase.isEmpty()) {
        if (const CableRow* row = catalogue.find(cable)) {
            if (blank(C::ResistanceOhmPerKm))
                line.resistanceOhmPerKm = row->resistanceOhmPerKm;
            if (blank(C::ReactanceOhmPerKm))
                line.reactanceOhmPerKm = row->reactanceOhmPerKm;
        } else {
            refused << joined(fromDatabase.join(QStringLiteral("、")),
                              QStringLiteral("为空，电缆数据库中无“%1 / %2 / %3”")
                                  .arg(cable.lossType, cable.cableType, cable.crossSection));
        }
    }
    if (!fromHandbook.isEmpty()) {
        const Computed<CableConstruction> construction = cableConstruction(cable);
        const std::optional<double> mm2 = cable.crossSectionMm2();
        const Computed<HandbookLineConstants> constants =
            !construction ? Computed<HandbookLineConstants>::failed(construction.reason())
            : !mm2        ? Computed<HandbookLineConstants>::failed(
                                QStringLiteral("截面“%1”不是数值").arg(cable.crossSection))
                   : handbookLineConstants(*construction, *mm2);
        if (constants) {
            // As withCableSection: R′, X′ of the phase-to-neutral loop are R′php, X′php.
            struct Figure {
                C column;
                double value;
                double* into;
            };
            const Figure figures[] = {
                {C::R0, constants->resistance, &line.perMetreMilliOhm.resistance},
                {C::X0, constants->reactance, &line.perMetreMilliOhm.reactance},
                {C::LoopResistance, constants->loopResistance,
                 &line.perMetreMilliOhm.loopResistance},
                {C::LoopReactance, constants->loopReactance, &line.perMetreMilliOhm.loopReactance},
                {C::NeutralResistance, constants->loopResistance,
                 &line.neutralResistanceMilliOhmPerM},
                {C::NeutralReactance, constants->loopReactance, &line.neutralReactanceMilliOhmPerM},
                {C::LeakagePerKm, constants->leakagePerKmMa, &leakage}};
            for (const Figure& figure : figures)
                if (blank(figure.column))
                    *figure.into = figure.value;
        } else {
            refused << joined(namesWithAnd(fromHandbook),
                              QStringLiteral("为空，无法按手册表填入：") + constants.reason());
        }
    }
    if (!refused.isEmpty()) {
        fill.refused = refused.join(u'；');
        return fill;
    }
    c.line = line;
    c.protection.leakagePerKmMa = leakage;
    const QString source = !fromDatabase.isEmpty() && !fromHandbook.isEmpty()
                               ? QStringLiteral("按电缆数据库和手册表填入")
                           : fromDatabase.isEmpty() ? QStringLiteral("按手册表填入")
                                                    : QStringLiteral("按电缆数据库填入");
    fill.filled = joined(namesWithAnd(fromDatabase + fromHandbook), source);
    return fill;
}

void fillCableSection(ProjectCircuit& c, const CableCatalogue& catalogue) {
    const CableRow* row = catalogue.find(c.line.cable);
    if (!row)
        return;
    const Computed<CableConstruction> construction = cableConstruction(c.line.cable);
    const auto mm2 = c.line.cable.crossSectionMm2();
    const Computed<HandbookLineConstants> constants =
        construction && mm2 ? handbookLineConstants(*construction, *mm2)
                            : Computed<HandbookLineConstants>::failed({});
    if (constants) {
        c = withCableSection(c, *row, *constants);
    } else {
        c.line.resistanceOhmPerKm = row->resistanceOhmPerKm;
        c.line.reactanceOhmPerKm = row->reactanceOhmPerKm;
    }
}

ProjectCircuit exampleLoadCaseCircuit(const CableCatalogue& catalogue) {
    ProjectCircuit c;
    for (const CableRow& row : catalogue.rows) {
        const Computed<CableConstruction> construction = cableConstruction(row.cable);
        if (!construction)
            continue;
        const auto sections = catalogue.sectionsOf(row.cable.lossType, row.cable.cableType);
        const CableRow* chosen = sections[sections.size() / 2];
        for (const CableRow* s : sections)
            if (s->cable.crossSection == QLatin1String("25"))
                chosen = s;
        c.line.cable = chosen->cable;
        if (const Computed<double> k = thermalCoefficientK(*construction))
            c.protection.coefficientK = *k;
        fillCableSection(c, catalogue);
        break;
    }
    c.protection.durationS = 0.1;
    c.protection.loadCurrentA = 30.0;
    c.protection.mode = ProtectionMode::EarthFault;
    VoltageLossInput v;
    v.lineKind = LineKind::ThreePhase;
    v.loadCase = LoadCase::EndCurrent;
    v.voltageKv = {0.38, 0.38};
    v.powerFactor = 0.85;
    v.endCurrentA = 30.0;
    v.endLengthKm = 0.1;
    c.load = LoadCaseLoad{v};
    return c;
}

ProjectCircuit exampleFeederCircuit(const CableCatalogue& catalogue) {
    ProjectCircuit c = exampleLoadCaseCircuit(catalogue);
    c.protection.loadCurrentA = 0.0; // a feeder's Ib is its largest phase current
    LampFeeder lamps;
    lamps.poles = 20;
    lamps.lampsPerPole = 1;
    lamps.lampPowerW = 150.0;
    lamps.lampPowerFactor = 0.9;
    lamps.ballastFactor = 1.0;
    lamps.spacingM = 30.0;
    lamps.firstPoleM = 20.0;
    lamps.connection = FeederConnection::PhasesInTurn;
    lamps.startPhase = Phase::L1;
    c.load = lamps;
    return c;
}

} // namespace korvane
