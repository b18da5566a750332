#include "app/animation.h"

#include "form/form.h"

namespace korvane {

void installAnimation(Form& form) {
    form.get<Timer>(QStringLiteral("Timer1")).on(Event::Timer, [&form] {
        for (const char* name : {"Line9", "Line10", "Line11"}) {
            auto& line = form.get<Line>(QString::fromLatin1(name));
            line.setVisible(!line.visible());
        }
        auto& bar = form.get<ProgressBar>(QStringLiteral("ProgressBar1"));
        const float next = bar.value() + 8.0F;
        bar.setValue(bar.max() < next ? next - bar.max() : next);
    });
}

} // namespace korvane
