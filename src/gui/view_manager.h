#pragma once

#include "app/application.h"
#include "gui/form_window.h"
#include "gui/main_shell.h"

#include <QPointer>

#include <map>

namespace korvane::gui {

// Opens a window for every form that is loaded and shown, raises it when it is shown again,
// and deletes it when the form is unloaded.
class ViewManager {
public:
    explicit ViewManager(Application& app);
    ~ViewManager();

    FormWindow* windowOf(const QString& formName) const;

private:
    void follow(Form& form);

    Application& app_;
    std::map<Form*, QPointer<FormWindow>> windows_;
    QPointer<MainShell> shell_;
};

} // namespace korvane::gui
