#include "short_circuit/transformer_dialog.h"

#include "base/number_format.h"
#include "pages/layout.h"
#include "pages/page_services.h"
#include "pages/short_circuit_fields.h"
#include "short_circuit/dialog_database.h"

#include "db/catalogue_tables.h"

#include <optional>
#include <string_view>

namespace korvane {

namespace {

const QString kTable = QStringLiteral("变压器阻抗");
const QString kSeriesSql =
    QStringLiteral("SELECT 变压器型号 FROM 变压器阻抗 GROUP BY 变压器型号 ORDER BY MIN(rowid)");
const QString kVoltagesSql = QStringLiteral(
    "SELECT 电压 FROM 变压器阻抗 WHERE 变压器型号 = ? GROUP BY 电压 ORDER BY MIN(rowid)");
const QString kCapacitiesSql =
    QStringLiteral("SELECT 容量 FROM 变压器阻抗 WHERE 变压器型号 = ? AND 电压 = ? ORDER BY rowid");
const QString kTransformerSql = QStringLiteral(
    "SELECT 阻抗电压, 负载损耗 FROM 变压器阻抗 WHERE 电压 = ? AND 变压器型号 = ? AND 容量 = ? "
    "ORDER BY rowid LIMIT 1");

struct TableTransformer {
    QString series;
    QString voltage;
    QString capacity;
};

// The row of the table whose data the main window holds: series, capacity, uk and ΔP as the
// capacity step wrote them, and the voltage when the window knows it, so that choosing them again
// writes back the same values. Nothing when the window holds no transformer of the table.
std::optional<TableTransformer> heldTransformer(const Database& db, const Form& main) {
    auto held = [&main](std::string_view quantity) {
        return boundText(main, shortCircuitFields(), quantity);
    };
    const QString series = held("supply.transformer.series");
    const QString voltage = held("supply.transformer.voltageKV");
    const auto row = firstHeldRow(readTransformerTable(db), 3, [&](const QSqlRecord& r) {
        return r.value(TransformerSeries).toString() == series &&
               (voltage.isEmpty() || r.value(TransformerVoltage).toString() == voltage) &&
               holdsKeyText(held("supply.transformer.ratedKVA"),
                            r.value(TransformerCapacity).toString()) &&
               holdsDatabaseNumber(held("supply.transformer.impedanceVoltagePercent"),
                                   r.value(TransformerImpedanceVoltage)) &&
               holdsDatabaseNumber(held("supply.transformer.loadLossKW"),
                                   r.value(TransformerLoadLoss));
    });
    if (!row)
        return std::nullopt;
    return TableTransformer{row->value(TransformerSeries).toString(),
                            row->value(TransformerVoltage).toString(),
                            row->value(TransformerCapacity).toString()};
}

} // namespace

void designTransformerDialog(PageServices& app, Form& form) {
    form.setCaption(QStringLiteral("BYQ▲"));
    form.setDialog(true);
    form.setSize(300, 280);
    const BindingTable& own = transformerDialogFields();
    auto& frame = addFrame(form, {}, own.control("transformerDialog.frame"),
                           QStringLiteral("变压器参数"), {10, 8, 280, 220});
    const Placement in{&frame, -1};
    auto& series = addLabelledCombo(form, in, own.control("transformerDialog.series"),
                                    QStringLiteral("变压器系列"), 12, 26, 100, 150);
    auto& voltage = addLabelledCombo(form, in, own.control("transformerDialog.voltageKV"),
                                     QStringLiteral("电压 kV"), 12, 58, 100, 150);
    auto& capacity = addLabelledCombo(form, in, own.control("transformerDialog.ratedKVA"),
                                      QStringLiteral("容量 kVA"), 12, 90, 100, 150);
    for (ComboBox* list : {&series, &voltage, &capacity})
        list->setEditable(true);
    auto& uk = addLabelledText(form, in, own.control("transformerDialog.impedanceVoltagePercent"),
                               QStringLiteral("阻抗电压Ud%"), 12, 122, 100, 150);
    auto& loadLoss = addLabelledText(form, in, own.control("transformerDialog.loadLossKW"),
                                     QStringLiteral("负载损耗 kW"), 12, 154, 100, 150);
    addLabel(form, in, own.control("transformerDialog.connection"), QStringLiteral("D yn11 连接"),
             {12, 190, 250, 20});
    addButton(form, {}, own.control("transformerDialog.confirm"), QStringLiteral("确 定"),
              {100, 238, 100, 30});

    auto db = dialogDatabase(app);
    // What the dialog places on the short-circuit page of the main window.
    auto main = [&app](std::string_view quantity, const QString& text) {
        writeBoundText(app.mainForm(), shortCircuitFields(), quantity, text);
    };

    series.on(Event::Click, [db, &series, &voltage, main] {
        voltage.clear();
        fillList(voltage, db->query(kVoltagesSql, {series.text()}));
        main("supply.transformer.series", series.text());
    });
    voltage.on(Event::Click, [db, &series, &voltage, &capacity] {
        capacity.clear();
        fillList(capacity, db->query(kCapacitiesSql, {series.text(), voltage.text()}));
    });
    // Each transfer stands on its own: a capacity without a matching row still reaches the main
    // window, with uk and the load loss emptied.
    capacity.on(Event::Click, [db, &series, &voltage, &capacity, &uk, &loadLoss, main] {
        uk.setText({});
        loadLoss.setText({});
        const QueryResult found =
            db->query(kTransformerSql, {voltage.text(), series.text(), capacity.text()});
        if (found.ok && !found.rows.empty()) {
            uk.setText(databaseNumberText(found.rows.front().value(0)));
            loadLoss.setText(databaseNumberText(found.rows.front().value(1)));
        }
        main("supply.transformer.impedanceVoltagePercent", uk.text());
        main("supply.transformer.loadLossKW", loadLoss.text());
        main("supply.transformer.ratedKVA", regionalDecimalText(capacity.text()));
        main("supply.transformer.voltageKV", voltage.text());
    });

    form.onLoad([&app, &form, db, &series, &voltage, &capacity, main] {
        voltage.clear();
        if (!openAndFillFirstList(app, form, *db, kTable, kSeriesSql, series))
            return;
        // A window that holds a transformer of the table starts from its row, so that the dialog
        // writes back what the window holds; any other starts from the first rows.
        if (const auto held = heldTransformer(*db, app.mainForm())) {
            series.setListIndex(series.indexOf(held->series));
            voltage.setListIndex(voltage.indexOf(held->voltage));
            capacity.setListIndex(capacity.indexOf(held->capacity));
        } else {
            series.setListIndex(0);
            voltage.setListIndex(0);
            capacity.setListIndex(0);
        }
        main("supply.transformer.ratedKVA", regionalDecimalText(capacity.text()));
    });
    form.onUnload([db] { db->close(); });
    form.button(own.control("transformerDialog.confirm")).on(Event::Click, [&form] {
        form.unload();
    });
}

} // namespace korvane
