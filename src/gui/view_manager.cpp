#include "gui/view_manager.h"

#include "gui/pictures.h"

#include <QGuiApplication>
#include <QScreen>

namespace korvane::gui {

ViewManager::ViewManager(Application& app) : app_(app) {
    for (Form* form : app.forms())
        form->stateChanged.connect([this](Form& f) { follow(f); });
}

ViewManager::~ViewManager() {
    for (auto& [form, window] : windows_)
        delete window.data();
}

FormWindow* ViewManager::windowOf(const QString& formName) const {
    Form* form = app_.findForm(formName);
    auto it = windows_.find(form);
    return it == windows_.end() ? nullptr : it->second.data();
}

void ViewManager::follow(Form& form) {
    QPointer<FormWindow>& window = windows_[&form];
    if (!form.loaded()) {
        if (window)
            window->deleteLater();
        window.clear();
        return;
    }
    if (!window) {
        window = new FormWindow(form);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->setWindowIcon(QIcon(builtInPicture(QStringLiteral("icon"), QSize(64, 64))));
        if (form.name() == QLatin1String("Form11"))
            window->setWindowFlag(Qt::SplashScreen);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            window->move(area.center() - window->rect().center());
        }
    }
    if (form.visible()) {
        window->show();
        window->raise();
        window->activateWindow();
    } else {
        window->hide();
    }
}

} // namespace korvane::gui
