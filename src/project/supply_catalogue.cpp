#include "project/supply_catalogue.h"

#include "base/number_format.h"
#include "db/catalogue_tables.h"

#include <algorithm>

namespace korvane {

Computed<SupplyCatalogue> loadSupplyCatalogue(const Database& db) {
    const QueryResult transformers = readTransformerTable(db);
    const QueryResult busbars = readBusbarTable(db);
    if (!transformers.ok || !busbars.ok)
        return Computed<SupplyCatalogue>::failed(
            QStringLiteral("无法读取变压器、母线数据库：") +
            (transformers.ok ? busbars.error : transformers.error));
    SupplyCatalogue catalogue;
    auto figure = [](const QSqlRecord& r, int column) {
        return databaseNumber(r.value(column)).value_or(0.0);
    };
    for (const QSqlRecord& r : transformers.rows)
        if (const auto kva = databaseNumber(r.value(TransformerCapacity)))
            catalogue.transformers.push_back(
                {r.value(TransformerSeries).toString(), r.value(TransformerVoltage).toString(),
                 *kva, figure(r, TransformerImpedanceVoltage), figure(r, TransformerLoadLoss)});
    for (const QSqlRecord& r : busbars.rows)
        catalogue.busbars.push_back(
            {r.value(BusbarMaterial).toString(),
             r.value(BusbarSize).toString(),
             {figure(r, BusbarPhaseResistance), figure(r, BusbarPhaseReactance),
              figure(r, BusbarLoopResistance), figure(r, BusbarLoopReactance)}});
    return catalogue;
}

QString transformerText(const Transformer& t) {
    return QStringLiteral("%1 %2 kV %3 kVA").arg(t.series, t.voltageKv, formatGeneral(t.ratedKva));
}

QString busbarText(const QString& material, const QString& size) {
    return material + u' ' + size;
}

std::vector<TransformerChoice> transformerChoices(const SupplyCatalogue& catalogue) {
    std::vector<TransformerChoice> choices;
    for (const SupplyCatalogue::TransformerRow& row : catalogue.transformers) {
        const Transformer transformer{row.series, row.ratedKva, row.ukPercent, row.loadLossKw,
                                      row.voltageKv};
        const QString text = transformerText(transformer);
        if (std::none_of(choices.begin(), choices.end(),
                         [&text](const TransformerChoice& c) { return c.text == text; }))
            choices.push_back({text, transformer});
    }
    return choices;
}

std::vector<BusbarChoice> busbarChoices(const SupplyCatalogue& catalogue) {
    std::vector<BusbarChoice> choices;
    for (const SupplyCatalogue::BusbarRow& row : catalogue.busbars) {
        const QString text = busbarText(row.material, row.size);
        if (std::none_of(choices.begin(), choices.end(),
                         [&text](const BusbarChoice& c) { return c.text == text; }))
            choices.push_back({text, row.material, row.size, row.perMetreMilliOhm});
    }
    return choices;
}

QStringList unknownSupply(const Supply& supply, const SupplyCatalogue& catalogue) {
    QStringList problems;
    const Transformer& t = supply.transformer;
    bool transformerFound = false;
    for (const auto& row : catalogue.transformers)
        transformerFound =
            transformerFound || (row.series == t.series && row.ratedKva == t.ratedKva &&
                                 (t.voltageKv.isEmpty() || row.voltageKv == t.voltageKv));
    if (!transformerFound)
        problems << QStringLiteral("变压器数据库中无变压器“%1 %2 kV %3 kVA”")
                        .arg(t.series, t.voltageKv, formatGeneral(t.ratedKva, {}));
    const Busbar& b = supply.busbar;
    bool busbarFound = false;
    for (const auto& row : catalogue.busbars)
        busbarFound = busbarFound || (row.material == b.material && row.size == b.size);
    if (!busbarFound)
        problems << QStringLiteral("母线数据库中无母线“%1 %2”").arg(b.material, b.size);
    return problems;
}

void markUnknownSupply(Project& project, const SupplyCatalogue& catalogue) {
    const QStringList problems = unknownSupply(project.supply, catalogue);
    for (ProjectCircuit& circuit : project.circuits)
        circuit.inputProblems << problems;
}

} // namespace korvane
