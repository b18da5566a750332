#include "db/catalogue_tables.h"

namespace korvane {

QueryResult readCableTable(const Database& db) {
    return db.query(
        QStringLiteral("SELECT 损失类型, 导线类型, 导线截面, 电阻, 电抗 FROM AAA ORDER BY rowid"));
}

QueryResult readTransformerTable(const Database& db) {
    return db.query(QStringLiteral(
        "SELECT 变压器型号, 电压, 容量, 阻抗电压, 负载损耗 FROM 变压器阻抗 ORDER BY rowid"));
}

QueryResult readBusbarTable(const Database& db) {
    return db.query(QStringLiteral("SELECT 母线材质, 截面, 相线电阻, 相线电抗, 相保电阻, 相保电抗 "
                                   "FROM 低压母线单位长度阻抗 ORDER BY rowid"));
}

QueryResult readLossTypeTemperatureTable(const Database& db) {
    return db.query(QStringLiteral("SELECT loss_type, resistance_temperature_c, "
                                   "working_temperature_c FROM loss_type_temperature"));
}

QueryResult readProjectSwitchgearTable(const Database& db) {
    return db.query(QStringLiteral(
        "SELECT selection_up_to_a, breaker_a, contactor_a, breaker_kind, conventional_trip_factor "
        "FROM project_switchgear ORDER BY selection_up_to_a"));
}

} // namespace korvane
