#pragma once

#include "app/application.h"
#include "gui/form_window.h"
#include "gui/main_shell.h"

#include <QPointer>

#include <map>
#include <vector>

namespace korvane::gui {

// Opens a window for every form that is loaded and shown, raises it when it is shown again,
// and deletes it when the form is unloaded. Every window it opened is gone by the time it is
// itself: a window whose deletion still waits for the event loop is deleted with it, so that no
// window outlives the forms it draws (the application, which owns them, outlives the manager).
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
    // Windows of unloaded forms, detached and waiting for their deferred deletion.
    std::vector<QPointer<QWidget>> retired_;
    std::vector<Signal<Form&>::Connection> connections_;
};

} // namespace korvane::gui
