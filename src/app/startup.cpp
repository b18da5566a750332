#include "app/startup.h"

#include "app/about_page.h"
#include "app/application.h"
#include "app/main_window.h"
#include "app/main_window_fields.h"
#include "pages/short_circuit_fields.h"
#include "pages/verification_fields.h"
#include "pages/voltage_loss_fields.h"
#include "voltage_loss/cable_lookup.h"
#include "voltage_loss/line_kinds.h"

#include <QDir>

namespace korvane {

namespace {

bool openCableDatabase(Application& app, Form& form) {
    Database& db = app.cableDatabase();
    const QString why = db.open(QString::fromLatin1(kCableTable));
    if (why.isEmpty())
        return true;
    app.platform().messageBox(
        MessageIcon::Critical, QStringLiteral("Korvane"),
        QStringLiteral("无法打开电缆数据库文件：\r\n%1\r\n（%2）\r\n\r\n程序将退出。")
            .arg(QDir::toNativeSeparators(db.filePath()), why));
    form.unload();
    app.end(1);
    return false;
}

} // namespace

void runStartup(Application& app, Form& form) {
    const BindingTable& voltageLoss = voltageLossFields();
    const BindingTable& verification = verificationFields();
    form.combo(voltageLoss.control("voltageLoss.cableCategory")).clear();
    if (!openCableDatabase(app, form))
        return;
    fillLossTypes(form, app.cableDatabase());

    // The lists that start enabled at their first item.
    QStringList lists = voltageLoss.controls(
        {"voltageLoss.cableCategory", "voltageLoss.cableType", "voltageLoss.powerFactor",
         "voltageLoss.lineVoltageKV", "voltageLoss.conductorTemperatureC",
         "voltageLoss.ambientTemperatureC"});
    lists << shortCircuitFields().control("shortCircuit.systemCapacityMVA");
    for (const QString& name : lists) {
        auto& list = form.combo(name);
        list.setEnabled(true);
        list.setListIndex(0);
    }

    fillLineKinds(form);

    auto& singlePhase = form.text(verification.control("protection.singlePhaseShortCircuitKA"));
    singlePhase.setEnabled(false);
    singlePhase.setBackColor(colors::kButtonFace);
    form.check(verification.control("protection.mode.singlePhaseShortCircuit")).setEnabled(false);
    form.frame(verification.control("protection.diagram")).setVisible(false);
    auto& timer = form.get<Timer>(mainWindowFields().control("animation.timer"));
    timer.setInterval(kAnimationMilliseconds);
    timer.setEnabled(true);

    loadInformationText(app, form);
}

} // namespace korvane
