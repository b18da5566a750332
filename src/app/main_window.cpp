#include "app/main_window.h"

#include "app/about_page.h"
#include "app/animation.h"
#include "app/application.h"
#include "app/hints.h"
#include "app/main_window_fields.h"
#include "app/project_info.h"
#include "app/startup.h"
#include "base/number_format.h"
#include "pages/check_pair.h"
#include "pages/layout.h"
#include "pages/short_circuit_fields.h"
#include "pages/verification_fields.h"
#include "pages/voltage_loss_fields.h"
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

#include <string_view>

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
    for (std::string_view quantity : voltageLossClearedQuantities())
        writeBoundText(form, voltageLossFields(), quantity, QString());
}

// The field a mode switch or a spin button acts on, as its row names it.
TextBox& fieldOf(const Form& form, const BindingTable& table, std::string_view quantity) {
    return form.text(table.control(table[quantity].field));
}

void installShellHandlers(Application& app, Form& form) {
    const BindingTable& shell = mainWindowFields();
    const BindingTable& verification = verificationFields();
    for (const QString& exitButton :
         {shell.control("shell.voltageLoss.exit"), shell.control("shell.shortCircuit.exit"),
          verification.control("protection.exit")})
        form.button(exitButton).on(Event::Click, [&app] { app.end(0); });

    form.button(shell.control("shell.voltageLoss.clear")).on(Event::Click, [&form] {
        clearVoltageLossPage(form);
    });

    // Short-circuit duration in tenths of a second.
    auto& duration = form.get<UpDown>(verification.control("protection.durationTenthsS"));
    auto& durationField = fieldOf(form, verification, "protection.durationTenthsS");
    duration.on(Event::Change, [&duration, &durationField] {
        durationField.setText(formatFixed(duration.value() / 10.0, 2));
    });

    // The single-phase current is a computed current: the box only makes it editable or not; it
    // never writes its own state there, which would read as a current of 1 or 0 kA.
    const BindingTable& shortCircuit = shortCircuitFields();
    auto& singlePhase = form.check(shortCircuit.control("shortCircuit.singlePhaseCurrentEditable"));
    auto& singlePhaseField = fieldOf(form, shortCircuit, "shortCircuit.singlePhaseCurrentEditable");
    singlePhase.on(Event::Click, [&singlePhase, &singlePhaseField] {
        enableFieldsByCheck(singlePhase, {&singlePhaseField});
    });

    // The two protection modes of the verification page: unticking one hands the choice to the
    // other, so at most one is ticked.
    auto& shortCircuitMode =
        form.check(verification.control("protection.mode.singlePhaseShortCircuit"));
    auto& earthFaultMode = form.check(verification.control("protection.mode.earthFault"));
    auto& shortCircuitField =
        fieldOf(form, verification, "protection.mode.singlePhaseShortCircuit");
    auto& earthFaultField = fieldOf(form, verification, "protection.mode.earthFault");
    shortCircuitMode.on(Event::Click, [&shortCircuitMode, &earthFaultMode, &shortCircuitField] {
        enableFieldsByCheck(shortCircuitMode, {&shortCircuitField});
        if (shortCircuitMode.value() == 0) {
            shortCircuitMode.setEnabled(false);
            earthFaultMode.setEnabled(true);
        }
    });
    earthFaultMode.on(Event::Click, [&shortCircuitMode, &earthFaultMode, &earthFaultField] {
        enableFieldsByCheck(earthFaultMode, {&earthFaultField});
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
    form.add<Timer>(mainWindowFields().control("animation.timer"), nullptr, -1, {});

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
