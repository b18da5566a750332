#include "app/splash_window.h"

#include "app/application.h"

namespace korvane {

void designSplashWindow(Application& app, Form& form) {
    form.setCaption(QStringLiteral("Korvane"));
    form.setSize(480, 300);
    // The picture fills the window; the view draws it.
    form.add<Label>(QStringLiteral("Image1"), nullptr, -1, {0, 0, 480, 300})
        .setPicture(QStringLiteral("splash"));
    auto& timer = form.add<Timer>(QStringLiteral("Timer1"), nullptr, -1, {});
    form.onLoad([&timer] {
        timer.setInterval(kSplashMilliseconds);
        timer.setEnabled(true);
    });
    timer.on(Event::Timer, [&app, &form, &timer] {
        timer.setEnabled(false);
        form.unload();
        app.mainForm().show();
    });
}

} // namespace korvane
