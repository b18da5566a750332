#include "project/cable_catalogue.h"

#include "capacity/capacity_database.h"
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

Computed<LossTypeTemperature> CableCatalogue::temperatureOf(const QString& lossType) const {
    if (!lossTypes)
        return Computed<LossTypeTemperature>::failed(lossTypes.reason());
    for (const LossTypeTemperature& t : *lossTypes)
        if (t.lossType == lossType)
            return t;
    return Computed<LossTypeTemperature>::failed(
        QStringLiteral("电缆数据库未给出“%1”电阻的温度").arg(lossType));
}

namespace {

Computed<std::vector<LossTypeTemperature>> loadLossTypes(const Database& db) {
    const QueryResult result = readLossTypeTemperatureTable(db);
    if (!result.ok)
        return Computed<std::vector<LossTypeTemperature>>::failed(
            QStringLiteral("电缆数据库中无导体温度表：") + result.error);
    std::vector<LossTypeTemperature> rows;
    for (const QSqlRecord& record : result.rows) {
        const auto from = databaseNumber(record.value(LossTypeResistanceTemperature));
        const auto working = databaseNumber(record.value(LossTypeWorkingTemperature));
        if (from && working)
            rows.push_back({record.value(LossTypeName).toString(), *from, *working});
    }
    return rows;
}

Computed<std::vector<SwitchgearRating>> loadSwitchgear(const Database& db) {
    const QueryResult result = readProjectSwitchgearTable(db);
    if (!result.ok || result.rows.empty())
        return Computed<std::vector<SwitchgearRating>>::failed(
            QStringLiteral("电缆数据库中无工程开关选择表") +
            (result.error.isEmpty() ? QString() : u'：' + result.error));
    std::vector<SwitchgearRating> rows;
    for (const QSqlRecord& record : result.rows) {
        const auto upTo = databaseNumber(record.value(SwitchgearSelectionUpTo));
        const auto breaker = databaseNumber(record.value(SwitchgearBreaker));
        const auto contactor = databaseNumber(record.value(SwitchgearContactor));
        const auto factor = databaseNumber(record.value(SwitchgearTripFactor));
        if (upTo && breaker && contactor && factor)
            rows.push_back({*upTo, static_cast<int>(*breaker), static_cast<int>(*contactor),
                            record.value(SwitchgearKind).toString(), *factor});
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SwitchgearRating& a, const SwitchgearRating& b) {
                         return a.selectionUpToA < b.selectionUpToA;
                     });
    return rows;
}

} // namespace

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
    catalogue.capacity = loadCapacityTables(db);
    catalogue.lossTypes = loadLossTypes(db);
    catalogue.switchgear = loadSwitchgear(db);
    return catalogue;
}

} // namespace korvane
