#include "short_circuit/busbar_dialog.h"

#include "app/application.h"
#include "app/layout.h"
#include "short_circuit/dialog_database.h"

namespace korvane {

namespace {

const QString kTable = QStringLiteral("低压母线单位长度阻抗");
const QString kMaterialsSql = QStringLiteral(
    "SELECT 母线材质 FROM 低压母线单位长度阻抗 GROUP BY 母线材质 ORDER BY MIN(rowid)");
const QString kSpecificationsSql =
    QStringLiteral("SELECT 截面 FROM 低压母线单位长度阻抗 WHERE 母线材质 = ? ORDER BY rowid");
const QString kBusbarSql =
    QStringLiteral("SELECT 相线电阻, 相线电抗, 相保电阻, 相保电抗 FROM 低压母线单位长度阻抗 "
                   "WHERE 母线材质 = ? AND 截面 = ? ORDER BY rowid LIMIT 1");

} // namespace

void designBusbarDialog(Application& app, Form& form) {
    form.setCaption(QStringLiteral("MX⊙"));
    form.setDialog(true);
    form.setSize(300, 200);
    auto& frame =
        addFrame(form, {}, QStringLiteral("Frame1"), QStringLiteral("选择母线"), {10, 8, 280, 130});
    const Placement in{&frame, -1};
    auto& material = addLabelledCombo(form, in, QStringLiteral("Combo1"),
                                      QStringLiteral("母线材质"), 12, 26, 90, 160);
    auto& specification = addLabelledCombo(form, in, QStringLiteral("Combo2"),
                                           QStringLiteral("母线规格"), 12, 60, 90, 160);
    auto& length = addLabelledCombo(form, in, QStringLiteral("Combo3"),
                                    QStringLiteral("母线长 L(m)"), 12, 94, 90, 160);
    for (ComboBox* list : {&material, &specification, &length})
        list->setEditable(true);
    specification.setText(QStringLiteral("[2[100X10]]+100X10"));
    for (int m = 1; m <= 10; ++m)
        length.addItem(QString::number(m));
    // The values on their way to the main window, outside the visible area of the dialog.
    const char* valueNames[] = {"Text1", "Text2", "Text3", "Text4"};
    const char* valueLabels[] = {"相线电阻R'", "相线电抗X'", "相保电阻Rphp", "相保电抗Xphp"};
    TextBox* values[4] = {};
    for (int i = 0; i < 4; ++i) {
        values[i] = &addLabelledText(form, {}, QString::fromLatin1(valueNames[i]),
                                     QString::fromUtf8(valueLabels[i]), 320, 10 + 30 * i, 100, 80);
    }
    addButton(form, {}, QStringLiteral("Command1"), QStringLiteral("确 定"), {100, 150, 100, 30});

    auto db = dialogDatabase(app);
    auto main = [&app](const char* name) -> TextBox& {
        return app.mainForm().text(QString::fromLatin1(name));
    };

    material.on(Event::Click, [db, &material, &specification] {
        specification.clear();
        fillList(specification, db->query(kSpecificationsSql, {material.text()}));
    });
    specification.on(Event::Click, [db, &material, &specification, values, main] {
        for (TextBox* value : values)
            value->setText({});
        const QueryResult found = db->query(kBusbarSql, {material.text(), specification.text()});
        if (found.ok && !found.rows.empty()) {
            for (int i = 0; i < 4; ++i)
                values[i]->setText(databaseNumberText(found.rows.front().value(i)));
        }
        const char* targets[] = {"Text58", "Text59", "Text60", "Text61"};
        for (int i = 0; i < 4; ++i)
            main(targets[i]).setText(values[i]->text());
    });
    length.on(Event::Click, [&length, main] { main("Text62").setText(length.text()); });

    form.onLoad([&app, &form, db, &material, &specification, &length] {
        specification.clear();
        if (!openAndFillFirstList(app, form, *db, kTable, kMaterialsSql, material))
            return;
        material.setListIndex(0);
        specification.setListIndex(0);
        length.setListIndex(0);
    });
    form.onUnload([db] { db->close(); });
    form.button(QStringLiteral("Command1"))
        .on(Event::Click, [&form, &material, &specification, main] {
            main("Text74").setText(material.text());
            main("Text9").setText(specification.text());
            form.unload();
        });
}

} // namespace korvane
