#include "app/main_window.h"

#include "app/about_page.h"
#include "app/animation.h"
#include "app/application.h"
#include "app/hints.h"
#include "app/project_info.h"
#include "app/startup.h"
#include "form/number_format.h"
#include "pages/check_pair.h"
#include "pages/layout.h"
#include "reports/book_commands.h"
#include "short_circuit/dialog_database.h"
#include "short_circuit/short_circuit_action.h"
#include "short_circuit/short_circuit_page.h"
#include "verification/verification_action.h"
#include "verification/verification_page.h"
#include "voltage_loss/cable_lookup.h"
#include "voltage_loss/line_kinds.h"
#include "voltage_loss/voltage_loss_action.h"
#include "voltage_loss/voltage_loss_page.h"

namespace korvane {

namespace {

// Working fields that the transformer and busbar dialogs fill; they lie below the tab control,
// out of the user's sight, and start holding their own names (not numbers), so a short-circuit
// computation fails until both dialogs have been used.
void designHiddenFields(Form& form) {
    const char* names[] = {"Text55", "Text56", "Text57", "Text58", "Text59",
                           "Text60", "Text61", "Text62", "Text9",  "Text74"};
    int x = 8;
    for (const char* name : names) {
        auto& field = form.add<TextBox>(QString::fromLatin1(name), nullptr, -1,
                                        {x, form.height() + 40, 60, kRowHeight});
        field.setText(QString::fromLatin1(name));
        x += 64;
    }
    // The chosen transformer's voltage, which no computation uses; empty until the transformer
    // dialog transfers a transformer.
    form.add<TextBox>(QString::fromLatin1(kTransformerVoltageField), nullptr, -1,
                      {x, form.height() + 40, 60, kRowHeight});
}

// Page 0 "清   零": empties the results and the load fields, keeps R, X, lists and switches.
void clearVoltageLossPage(Form& form) {
    for (int n : {3, 4, 5, 6, 7, 8})
        form.text(QStringLiteral("Text%1").arg(n)).setText({});
    for (int n = 10; n <= 34; ++n)
        form.text(QStringLiteral("Text%1").arg(n)).setText({});
}

void installShellHandlers(Application& app, Form& form) {
    for (const char* exitButton : {"Command3", "Command11", "Command30"})
        form.button(QString::fromLatin1(exitButton)).on(Event::Click, [&app] { app.end(0); });

    form.button(QStringLiteral("Command5")).on(Event::Click, [&form] {
        clearVoltageLossPage(form);
    });

    // Short-circuit duration in tenths of a second.
    auto& duration = form.get<UpDown>(QStringLiteral("UpDown1"));
    duration.on(Event::Change, [&form, &duration] {
        form.text(QStringLiteral("Text52")).setText(formatFixed(duration.value() / 10.0, 2));
    });

    // Text45 is a computed current: the box only makes it editable or not; it never writes its
    // own state there, which would read as a current of 1 or 0 kA.
    auto& singlePhase = form.check(QStringLiteral("Check13"));
    singlePhase.on(Event::Click, [&form, &singlePhase] {
        enableFieldsByCheck(singlePhase, {&form.text(QStringLiteral("Text45"))});
    });

    // The two protection modes of the verification page: unticking one hands the choice to the
    // other, so at most one is ticked.
    auto& shortCircuitMode = form.check(QStringLiteral("Check14"));
    auto& earthFaultMode = form.check(QStringLiteral("Check15"));
    shortCircuitMode.on(Event::Click, [&form, &shortCircuitMode, &earthFaultMode] {
        enableFieldsByCheck(shortCircuitMode, {&form.text(QStringLiteral("Text75"))});
        if (shortCircuitMode.value() == 0) {
            shortCircuitMode.setEnabled(false);
            earthFaultMode.setEnabled(true);
        }
    });
    earthFaultMode.on(Event::Click, [&form, &shortCircuitMode, &earthFaultMode] {
        enableFieldsByCheck(earthFaultMode, {&form.text(QStringLiteral("Text36"))});
        if (earthFaultMode.value() == 0) {
            shortCircuitMode.setEnabled(true);
            earthFaultMode.setEnabled(false);
        }
    });
}

} // namespace

void designMainWindow(Application& app, Form& form) {
    form.setCaption(QStringLiteral("Korvane"));
    form.setSize(1000, 600);

    auto& tabs = form.add<TabControl>(QStringLiteral("SSTab1"), nullptr, -1, {6, 6, 988, 588});
    tabs.setTabCaptions({QStringLiteral("线路电压损失计算"), QStringLiteral("低压线路短路电流计算"),
                         QStringLiteral("低压线路校验及电器选择"), QStringLiteral("关于软件")});
    designVoltageLossPage(form, {&tabs, 0});
    designShortCircuitPage(form, {&tabs, 1});
    designVerificationPage(form, {&tabs, 2});
    designAboutPage(form, {&tabs, 3});
    designHiddenFields(form);
    designProjectFields(app, form);
    form.add<Timer>(QStringLiteral("Timer1"), nullptr, -1, {});

    installShellHandlers(app, form);
    installLineKindHandlers(form);
    installCableLookup(form, app.cableDatabase());
    installVoltageLossAction(form);
    installShortCircuitPage(app, form);
    installVerificationPage(app, form);
    installBooks(app, form);
    installHints(app, form);
    installAboutPage(form);
    installAnimation(form);

    form.onLoad([&app, &form] { runStartup(app, form); });
    form.onUnload([&app] { app.cableDatabase().close(); });
}

} // namespace korvane
