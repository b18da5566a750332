#include "project/cable_catalogue.h"

#include "db/catalogue_tables.h"

#include <algorithm>

namespace korvane {

CableRow::CableRow(CableIdentity identity, double resistance, double reactance)
    : cable(std::move(identity)), resistanceOhmPerKm(resistance), reactanceOhmPerKm(reactance),
      crossSectionMm2(cable.crossSectionMm2()) {}

const CableRow* CableCatalogue::find(const CableIdentity& cable) const {
    for (const CableRow& row : rows)
        if (row.cable.lossType == cable.lossType && row.cable.cableType == cable.cableType &&
            row.cable.crossSection == cable.crossSection)
            return &row;
    return nullptr;
}

std::vector<const CableRow*> CableCatalogue::sectionsOf(const QString& lossType,
                                                        const QString& cableType) const {
    std::vector<const CableRow*> found;
    for (const CableRow& row : rows)
        if (row.cable.lossType == lossType && row.cable.cableType == cableType &&
            row.crossSectionMm2)
            found.push_back(&row);
    std::stable_sort(found.begin(), found.end(), [](const CableRow* a, const CableRow* b) {
        return *a->crossSectionMm2 < *b->crossSectionMm2;
    });
    return found;
}

Computed<CableCatalogue> loadCableCatalogue(const Database& db) {
    const QueryResult result = readCableTable(db);
    if (!result.ok)
        return Computed<CableCatalogue>::failed(QStringLiteral("无法读取电缆数据库：") +
                                                result.error);
    CableCatalogue catalogue;
    for (const QSqlRecord& record : result.rows) {
        const auto r = databaseNumber(record.value(CableResistance));
        const auto x = databaseNumber(record.value(CableReactance));
        if (!r || !x)
            continue;
        catalogue.rows.push_back(
            {{record.value(CableLossType).toString(), record.value(CableTypeName).toString(),
              record.value(CableCrossSection).toString()},
             *r,
             *x});
    }
    return catalogue;
}

} // namespace korvane
