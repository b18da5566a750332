#include "app/animation.h"

#include "app/main_window_fields.h"
#include "form/form.h"

namespace korvane {

void installAnimation(Form& form) {
    const BindingTable& shell = mainWindowFields();
    const QStringList arrows =
        shell.controls({"animation.arrow.1", "animation.arrow.2", "animation.arrow.3"});
    const QString progress = shell.control("animation.progress");
    form.get<Timer>(shell.control("animation.timer")).on(Event::Timer, [&form, arrows, progress] {
        for (const QString& name : arrows) {
            auto& line = form.get<Line>(name);
            line.setVisible(!line.visible());
        }
        auto& bar = form.get<ProgressBar>(progress);
        const float next = bar.value() + 8.0F;
        bar.setValue(bar.max() < next ? next - bar.max() : next);
    });
}

} // namespace korvane
