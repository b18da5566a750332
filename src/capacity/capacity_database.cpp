#include "capacity/capacity_database.h"

#include <QSqlRecord>

#include <cmath>

namespace korvane {

namespace {

std::optional<ConductorMaterial> materialOf(const QVariant& code) {
    const QString c = code.toString();
    if (c == QLatin1String("Cu"))
        return ConductorMaterial::Copper;
    if (c == QLatin1String("Al"))
        return ConductorMaterial::Aluminium;
    return std::nullopt;
}

std::optional<Insulation> insulationOf(const QVariant& code) {
    const QString c = code.toString();
    if (c == QLatin1String("PVC"))
        return Insulation::Pvc;
    if (c == QLatin1String("XLPE"))
        return Insulation::Xlpe;
    return std::nullopt;
}

std::optional<LayingMethod> methodOf(const QVariant& code) {
    const QString c = code.toString();
    for (LayingMethod method : kLayingMethods)
        if (methodCode(method) == c)
            return method;
    return std::nullopt;
}

std::optional<bool> groundOf(const QVariant& medium) {
    const QString m = medium.toString();
    if (m == QLatin1String("ground"))
        return true;
    if (m == QLatin1String("air"))
        return false;
    return std::nullopt;
}

// A whole positive number of circuits; anything else is no row.
std::optional<int> circuitsOf(const QVariant& value) {
    const std::optional<double> n = databaseNumber(value);
    if (!n || *n < 1.0 || *n > 1000.0 || std::floor(*n) != *n)
        return std::nullopt;
    return static_cast<int>(*n);
}

// Reads one of the four tables; the reason names the table the database lacks.
Computed<std::vector<QSqlRecord>> readTable(const Database& db, const QString& table,
                                            const QString& columns) {
    const QueryResult exists = db.query(
        QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?"),
        {table});
    if (!exists.ok)
        return Computed<std::vector<QSqlRecord>>::failed(
            QStringLiteral("电缆数据库无法读取：%1").arg(exists.error));
    if (exists.rows.empty() || exists.rows.front().value(0).toInt() != 1)
        return Computed<std::vector<QSqlRecord>>::failed(
            QStringLiteral("电缆数据库中缺少载流量数据表 %1").arg(table));
    QueryResult rows =
        db.query(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(columns, table));
    if (!rows.ok)
        return Computed<std::vector<QSqlRecord>>::failed(
            QStringLiteral("电缆数据库的载流量数据表 %1 无法读取：%2").arg(table, rows.error));
    return std::move(rows.rows);
}

} // namespace

Computed<CapacityTables> loadCapacityTables(const Database& db) {
    using Result = Computed<CapacityTables>;
    CapacityTables tables;

    const auto ratings =
        readTable(db, QStringLiteral("cable_capacity"),
                  QStringLiteral("conductor, insulation, method, section_mm2, current_a"));
    if (!ratings)
        return Result::failed(ratings.reason());
    for (const QSqlRecord& r : *ratings) {
        const auto material = materialOf(r.value(0));
        const auto insulation = insulationOf(r.value(1));
        const auto method = methodOf(r.value(2));
        const auto section = databaseNumber(r.value(3));
        const auto current = databaseNumber(r.value(4));
        if (material && insulation && method && section && current)
            tables.ratings.push_back({*material, *insulation, *method, *section, *current});
    }

    const auto temperatures =
        readTable(db, QStringLiteral("capacity_temperature_factor"),
                  QStringLiteral("medium, insulation, temperature_c, factor"));
    if (!temperatures)
        return Result::failed(temperatures.reason());
    for (const QSqlRecord& r : *temperatures) {
        const auto ground = groundOf(r.value(0));
        const auto insulation = insulationOf(r.value(1));
        const auto temperature = databaseNumber(r.value(2));
        const auto factor = databaseNumber(r.value(3));
        if (ground && insulation && temperature && factor)
            tables.temperatureFactors.push_back({*ground, *insulation, *temperature, *factor});
    }

    const auto resistivities = readTable(db, QStringLiteral("capacity_resistivity_factor"),
                                         QStringLiteral("method, resistivity_kmw, factor"));
    if (!resistivities)
        return Result::failed(resistivities.reason());
    for (const QSqlRecord& r : *resistivities) {
        const auto method = methodOf(r.value(0));
        const auto resistivity = databaseNumber(r.value(1));
        const auto factor = databaseNumber(r.value(2));
        if (method && inGround(*method) && resistivity && factor)
            tables.resistivityFactors.push_back({*method, *resistivity, *factor});
    }

    const auto groupings = readTable(db, QStringLiteral("capacity_grouping_factor"),
                                     QStringLiteral("method, spacing_m, circuits, factor"));
    if (!groupings)
        return Result::failed(groupings.reason());
    for (const QSqlRecord& r : *groupings) {
        const auto method = methodOf(r.value(0));
        const auto spacing = databaseNumber(r.value(1));
        const auto circuits = circuitsOf(r.value(2));
        const auto factor = databaseNumber(r.value(3));
        if (method && spacing && circuits && factor)
            tables.groupingFactors.push_back({*method, *spacing, *circuits, *factor});
    }
    return tables;
}

} // namespace korvane
