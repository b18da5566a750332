#include "app/startup.h"

#include "app/about_page.h"
#include "app/application.h"
#include "app/main_window.h"
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
    form.combo(QStringLiteral("Combo1")).clear();
    if (!openCableDatabase(app, form))
        return;
    fillLossTypes(form, app.cableDatabase());

    for (const char* name :
         {"Combo1", "Combo2", "Combo4", "Combo7", "Combo8", "Combo9", "Combo18"}) {
        auto& list = form.combo(QString::fromLatin1(name));
        list.setEnabled(true);
        list.setListIndex(0);
    }

    fillLineKinds(form);

    auto& singlePhase = form.text(QStringLiteral("Text75"));
    singlePhase.setEnabled(false);
    singlePhase.setBackColor(colors::kButtonFace);
    form.check(QStringLiteral("Check14")).setEnabled(false);
    form.frame(QStringLiteral("Frame12")).setVisible(false);
    auto& timer = form.get<Timer>(QStringLiteral("Timer1"));
    timer.setInterval(kAnimationMilliseconds);
    timer.setEnabled(true);

    loadInformationText(app, form);
}

} // namespace korvane
