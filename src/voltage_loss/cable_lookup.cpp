#include "voltage_loss/cable_lookup.h"

#include "db/database.h"
#include "form/form.h"
#include "pages/voltage_loss_fields.h"

namespace korvane {

namespace {

// First occurrence order: the lists follow the order in which the table holds its rows.
const QString kLossTypesSql =
    QStringLiteral("SELECT 损失类型 FROM AAA GROUP BY 损失类型 ORDER BY MIN(rowid)");
const QString kCableTypesSql = QStringLiteral(
    "SELECT 导线类型 FROM AAA WHERE 损失类型 = ? GROUP BY 导线类型 ORDER BY MIN(rowid)");
const QString kCrossSectionsSql =
    QStringLiteral("SELECT 导线截面 FROM AAA WHERE 损失类型 = ? AND 导线类型 = ? ORDER BY rowid");
const QString kCableSql = QStringLiteral(
    "SELECT 电阻, 电抗 FROM AAA WHERE 导线类型 = ? AND 损失类型 = ? AND 导线截面 = ? "
    "ORDER BY rowid LIMIT 1");

} // namespace

void fillLossTypes(Form& form, const Database& db) {
    fillList(form.combo(voltageLossFields().control("voltageLoss.cableCategory")),
             db.query(kLossTypesSql));
}

void installCableLookup(Form& form, const Database& db) {
    const BindingTable& fields = voltageLossFields();
    auto& lossType = form.combo(fields.control("voltageLoss.cableCategory"));
    auto& cableType = form.combo(fields.control("voltageLoss.cableType"));
    auto& crossSection = form.combo(fields.control("voltageLoss.cableCrossSectionMm2"));
    auto& resistance = form.text(fields.control("voltageLoss.cableResistanceOhmPerKm"));
    auto& reactance = form.text(fields.control("voltageLoss.cableReactanceOhmPerKm"));

    lossType.on(Event::Click, [&db, &lossType, &cableType] {
        cableType.clear();
        fillList(cableType, db.query(kCableTypesSql, {lossType.text()}));
    });

    cableType.on(Event::Click, [&db, &lossType, &cableType, &crossSection] {
        crossSection.clear();
        fillList(crossSection, db.query(kCrossSectionsSql, {lossType.text(), cableType.text()}));
    });

    // R and X go in together or not at all: a stale reactance beside a cleared resistance
    // would be taken for the new cable's.
    crossSection.on(
        Event::Click, [&db, &lossType, &cableType, &crossSection, &resistance, &reactance] {
            resistance.setText({});
            const QueryResult found =
                db.query(kCableSql, {cableType.text(), lossType.text(), crossSection.text()});
            QString r;
            QString x;
            if (found.ok && !found.rows.empty()) {
                r = databaseNumberText(found.rows.front().value(0));
                x = databaseNumberText(found.rows.front().value(1));
            }
            if (r.isEmpty() || x.isEmpty()) {
                r.clear();
                x.clear();
            }
            resistance.setText(r);
            reactance.setText(x);
        });
}

} // namespace korvane
