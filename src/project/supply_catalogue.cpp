#include "project/supply_catalogue.h"

#include "db/catalogue_tables.h"
#include "form/number_format.h"

namespace korvane {

Computed<SupplyCatalogue> loadSupplyCatalogue(const Database& db) {
    const QueryResult transformers = readTransformerTable(db);
    const QueryResult busbars = readBusbarTable(db);
    if (!transformers.ok || !busbars.ok)
        return Computed<SupplyCatalogue>::failed(
            QStringLiteral("无法读取变压器、母线数据库：") +
            (transformers.ok ? busbars.error : transformers.error));
    SupplyCatalogue catalogue;
    for (const QSqlRecord& r : transformers.rows)
        if (const auto kva = databaseNumber(r.value(TransformerCapacity)))
            catalogue.transformers.push_back({r.value(TransformerSeries).toString(),
                                              r.value(TransformerVoltage).toString(), *kva});
    for (const QSqlRecord& r : busbars.rows)
        catalogue.busbars.push_back(
            {r.value(BusbarMaterial).toString(), r.value(BusbarSize).toString()});
    return catalogue;
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
