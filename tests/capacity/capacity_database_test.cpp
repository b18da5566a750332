// Reading the capacity tables of a cable database: a database without them is refused with the
// table it lacks, and rows the program cannot read are left out rather than guessed.

#include "capacity/capacity_database.h"

#include "support/test_app.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// Writes a scratch SQLite database from SQL statements (without the CHECK constraints of the
// shipped schema, so that rows the shipped file cannot hold can be tried).
void writeDatabase(const QString& path, const QStringList& statements) {
    const QString connection = QStringLiteral("capacity-test-writer");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        for (const QString& sql : statements) {
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

const QStringList kSchema = {
    u8("CREATE TABLE cable_capacity (conductor, insulation, method, section_mm2, current_a, "
       "source)"),
    u8("CREATE TABLE capacity_temperature_factor (medium, insulation, temperature_c, factor, "
       "source)"),
    u8("CREATE TABLE capacity_resistivity_factor (method, resistivity_kmw, factor, source)"),
    u8("CREATE TABLE capacity_grouping_factor (method, spacing_m, circuits, factor, source)"),
};

TEST(CapacityDatabase, ADatabaseWithoutTheTablesIsRefused) {
    // The transformer and busbar database holds none of the four tables.
    Database other(QDir(testHome()).filePath(u8("Database/Byaqi-Muxie.db")));
    ASSERT_EQ(other.open(u8("变压器阻抗")), QString());
    EXPECT_EQ(loadCapacityTables(other).reason(),
              u8("电缆数据库中缺少载流量数据表 cable_capacity"));

    // One table short: the reason names the one missing.
    QTemporaryDir dir;
    const QString path = dir.filePath(u8("three.db"));
    writeDatabase(path, {kSchema[0], kSchema[1], kSchema[3]});
    Database three(path);
    ASSERT_EQ(three.open(u8("cable_capacity")), QString());
    EXPECT_EQ(loadCapacityTables(three).reason(),
              u8("电缆数据库中缺少载流量数据表 capacity_resistivity_factor"));
}

TEST(CapacityDatabase, RowsWithUnknownCodesOrFiguresAreSkipped) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u8("rows.db"));
    QStringList sql = kSchema;
    sql << u8("INSERT INTO cable_capacity VALUES ('Cu', 'PVC', 'D2', 25, 92, 'kept'), "
              "('Fe', 'PVC', 'D2', 25, 50, 'unknown conductor'), "
              "('Cu', 'EPR', 'D2', 25, 50, 'unknown insulation'), "
              "('Cu', 'PVC', 'C', 25, 96, 'method C is not one of ours'), "
              "('Al', 'XLPE', 'E', '2.5', '24', 'numbers as text in the program''s form'), "
              "('Cu', 'XLPE', 'E', 25, NULL, 'no figure'), "
              "('Cu', 'XLPE', 'E', '2,5', 32, 'not a number')")
        << u8("INSERT INTO capacity_temperature_factor VALUES ('air', 'PVC', 35, 0.94, 'kept'), "
              "('ground', 'XLPE', 25, 0.96, 'kept'), ('water', 'PVC', 25, 1.1, 'unknown medium')")
        << u8("INSERT INTO capacity_resistivity_factor VALUES ('D2', 1.5, 1.28, 'kept'), "
              "('E', 1.5, 1.1, 'no soil in air')")
        << u8("INSERT INTO capacity_grouping_factor VALUES ('D1', 0.25, 3, 0.85, 'kept'), "
              "('D1', 0.25, 2.5, 0.9, 'not a whole number of circuits'), "
              "('D1', 0.25, 0, 1.0, 'no circuit'), ('G', 0, 2, 0.9, 'unknown method')");
    writeDatabase(path, sql);
    Database db(path);
    ASSERT_EQ(db.open(u8("cable_capacity")), QString());
    const Computed<CapacityTables> loaded = loadCapacityTables(db);
    ASSERT_TRUE(loaded.ok()) << loaded.reason().toStdString();

    ASSERT_EQ(loaded->ratings.size(), 2u);
    EXPECT_EQ(loaded->ratings[0].material, ConductorMaterial::Copper);
    EXPECT_EQ(loaded->ratings[0].method, LayingMethod::DirectlyBuried);
    EXPECT_EQ(loaded->ratings[0].currentA, 92.0);
    EXPECT_EQ(loaded->ratings[1].material, ConductorMaterial::Aluminium);
    EXPECT_EQ(loaded->ratings[1].insulation, Insulation::Xlpe);
    EXPECT_EQ(loaded->ratings[1].sectionMm2, 2.5);
    EXPECT_EQ(loaded->ratings[1].currentA, 24.0);

    ASSERT_EQ(loaded->temperatureFactors.size(), 2u);
    EXPECT_FALSE(loaded->temperatureFactors[0].ground);
    EXPECT_TRUE(loaded->temperatureFactors[1].ground);
    EXPECT_EQ(loaded->temperatureFactors[1].factor, 0.96);

    ASSERT_EQ(loaded->resistivityFactors.size(), 1u);
    EXPECT_EQ(loaded->resistivityFactors[0].method, LayingMethod::DirectlyBuried);

    ASSERT_EQ(loaded->groupingFactors.size(), 1u);
    EXPECT_EQ(loaded->groupingFactors[0].circuits, 3);
    EXPECT_EQ(loaded->groupingFactors[0].factor, 0.85);
}

} // namespace
} // namespace korvane::testing
