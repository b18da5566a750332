#include "verification/verification_action.h"

#include "app/application.h"

#include <utility>

namespace korvane {

void installVerificationPage(Application& app, Form& form) {
    const std::pair<const char*, const char*> pickers[] = {
        {"Command26", "Form10"}, {"Command27", "Form2"}, {"Command31", "Form12"}};
    for (const auto& [button, dialog] : pickers) {
        const QString name = QString::fromLatin1(dialog);
        form.button(QString::fromLatin1(button)).on(Event::Click, [&app, name] {
            app.form(name).show();
        });
    }
}

} // namespace korvane
