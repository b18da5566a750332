#include "short_circuit/busbar_dialog.h"

#include "pages/layout.h"
#include "pages/page_services.h"
#include "pages/short_circuit_fields.h"
#include "short_circuit/dialog_database.h"

#include "db/catalogue_tables.h"

#include <optional>
#include <string_view>

namespace korvane {

namespace {

const QString kTable = QStringLiteral("低压母线单位长度阻抗");
const QString kMaterialsSql = QStringLiteral(
    "SELECT 母线材质 FROM 低压母线单位长度阻抗 GROUP BY 母线材质 ORDER BY MIN(rowid)");
const QString kBusbarSizesSql =
    QStringLiteral("SELECT 截面 FROM 低压母线单位长度阻抗 WHERE 母线材质 = ? ORDER BY rowid");
const QString kBusbarSql =
    QStringLiteral("SELECT 相线电阻, 相线电抗, 相保电阻, 相保电抗 FROM 低压母线单位长度阻抗 "
                   "WHERE 母线材质 = ? AND 截面 = ? ORDER BY rowid LIMIT 1");

// The four per-metre impedances in the order of the table's columns: the dialog's own field and
// the main-window field the 规格 step writes.
struct Impedance {
    std::string_view own;
    std::string_view main;
};
constexpr Impedance kImpedances[] = {
    {"busbarDialog.resistanceMilliOhmPerM", "supply.busbar.resistanceMilliOhmPerM"},
    {"busbarDialog.reactanceMilliOhmPerM", "supply.busbar.reactanceMilliOhmPerM"},
    {"busbarDialog.phaseProtectiveResistanceMilliOhmPerM",
     "supply.busbar.phaseProtectiveResistanceMilliOhmPerM"},
    {"busbarDialog.phaseProtectiveReactanceMilliOhmPerM",
     "supply.busbar.phaseProtectiveReactanceMilliOhmPerM"},
};

QString heldText(const Form& main, std::string_view quantity) {
    return boundText(main, shortCircuitFields(), quantity);
}

struct TableBusbar {
    QString material;
    QString busbarSize;
};

// The row of the table whose busbar the main window holds: material and 规格 as 确 定 wrote
// them and the four per-metre impedances as the 规格 step wrote them. Nothing when the window
// holds no busbar of the table.
std::optional<TableBusbar> heldBusbar(const Database& db, const Form& main) {
    const auto row = firstHeldRow(readBusbarTable(db), 2, [&main](const QSqlRecord& r) {
        bool same =
            r.value(BusbarMaterial).toString() == heldText(main, "supply.busbar.material") &&
            r.value(BusbarSize).toString() == heldText(main, "supply.busbar.size");
        for (int i = 0; i < 4 && same; ++i)
            same = holdsDatabaseNumber(heldText(main, kImpedances[i].main),
                                       r.value(BusbarPhaseResistance + i));
        return same;
    });
    if (!row)
        return std::nullopt;
    return TableBusbar{row->value(BusbarMaterial).toString(), row->value(BusbarSize).toString()};
}

} // namespace

void designBusbarDialog(PageServices& app, Form& form) {
    form.setCaption(QStringLiteral("MX⊙"));
    form.setDialog(true);
    form.setSize(300, 200);
    const BindingTable& own = busbarDialogFields();
    auto& frame = addFrame(form, {}, own.control("busbarDialog.frame"), QStringLiteral("选择母线"),
                           {10, 8, 280, 130});
    const Placement in{&frame, -1};
    auto& material = addLabelledCombo(form, in, own.control("busbarDialog.material"),
                                      QStringLiteral("母线材质"), 12, 26, 90, 160);
    auto& busbarSize = addLabelledCombo(form, in, own.control("busbarDialog.size"),
                                        QStringLiteral("母线规格"), 12, 60, 90, 160);
    auto& length = addLabelledCombo(form, in, own.control("busbarDialog.lengthM"),
                                    QStringLiteral("母线长 L(m)"), 12, 94, 90, 160);
    for (ComboBox* list : {&material, &busbarSize, &length})
        list->setEditable(true);
    busbarSize.setText(QStringLiteral("[2[100X10]]+100X10"));
    for (int m = 1; m <= 10; ++m)
        length.addItem(QString::number(m));
    // The values on their way to the main window, outside the visible area of the dialog.
    const char* valueLabels[] = {"相线电阻R'", "相线电抗X'", "相保电阻Rphp", "相保电抗Xphp"};
    TextBox* values[4] = {};
    for (int i = 0; i < 4; ++i) {
        values[i] = &addLabelledText(form, {}, own.control(kImpedances[i].own),
                                     QString::fromUtf8(valueLabels[i]), 320, 10 + 30 * i, 100, 80);
    }
    addButton(form, {}, own.control("busbarDialog.confirm"), QStringLiteral("确 定"),
              {100, 150, 100, 30});

    auto db = dialogDatabase(app);
    // What the dialog places on the short-circuit page of the main window.
    auto main = [&app](std::string_view quantity, const QString& text) {
        writeBoundText(app.mainForm(), shortCircuitFields(), quantity, text);
    };

    material.on(Event::Click, [db, &material, &busbarSize] {
        busbarSize.clear();
        fillList(busbarSize, db->query(kBusbarSizesSql, {material.text()}));
    });
    busbarSize.on(Event::Click, [db, &material, &busbarSize, values, main] {
        for (TextBox* value : values)
            value->setText({});
        const QueryResult found = db->query(kBusbarSql, {material.text(), busbarSize.text()});
        if (found.ok && !found.rows.empty()) {
            for (int i = 0; i < 4; ++i)
                values[i]->setText(databaseNumberText(found.rows.front().value(i)));
        }
        for (int i = 0; i < 4; ++i)
            main(kImpedances[i].main, values[i]->text());
    });
    length.on(Event::Click, [&length, main] { main("supply.busbar.lengthM", length.text()); });

    form.onLoad([&app, &form, db, &material, &busbarSize, &length] {
        busbarSize.clear();
        if (!openAndFillFirstList(app, form, *db, kTable, kMaterialsSql, material))
            return;
        // A window that holds a busbar of the table, with one of the listed lengths, starts
        // from that row and length, so that the dialog writes back what the window holds; any
        // other starts from the first rows and 1 m.
        const auto held = heldBusbar(*db, app.mainForm());
        const int heldLength = length.indexOf(heldText(app.mainForm(), "supply.busbar.lengthM"));
        if (held && heldLength >= 0) {
            material.setListIndex(material.indexOf(held->material));
            busbarSize.setListIndex(busbarSize.indexOf(held->busbarSize));
            length.setListIndex(heldLength);
        } else {
            material.setListIndex(0);
            busbarSize.setListIndex(0);
            length.setListIndex(0);
        }
    });
    form.onUnload([db] { db->close(); });
    form.button(own.control("busbarDialog.confirm"))
        .on(Event::Click, [&form, &material, &busbarSize, main] {
            main("supply.busbar.material", material.text());
            main("supply.busbar.size", busbarSize.text());
            form.unload();
        });
}

} // namespace korvane
