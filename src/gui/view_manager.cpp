#include "gui/view_manager.h"

#include "gui/pictures.h"

#include <QGuiApplication>
#include <QScreen>

namespace korvane::gui {

ViewManager::ViewManager(Application& app) : app_(app) {
    for (Form* form : app.forms())
        connections_.push_back(form->stateChanged.connection([this](Form& f) { follow(f); }));
}

ViewManager::~ViewManager() {
    connections_.clear();
    delete shell_.data();
    for (auto& [form, window] : windows_)
        delete window.data();
    for (const QPointer<QWidget>& window : retired_)
        delete window.data();
}

FormWindow* ViewManager::windowOf(const QString& formName) const {
    Form* form = app_.findForm(formName);
    auto it = windows_.find(form);
    return it == windows_.end() ? nullptr : it->second.data();
}

void ViewManager::follow(Form& form) {
    QPointer<FormWindow>& window = windows_[&form];
    const bool main = &form == &app_.mainForm();
    if (!form.loaded()) {
        // The window stops drawing the form now: the next load builds its controls afresh, and
        // this window may still be handling the event that unloaded the form.
        QWidget* retiring = main ? static_cast<QWidget*>(shell_.data()) : window.data();
        if (window)
            window->detach();
        if (retiring != nullptr) {
            retiring->hide();
            retiring->deleteLater();
            std::erase_if(retired_, [](const QPointer<QWidget>& w) { return w.isNull(); });
            retired_.emplace_back(retiring);
        }
        if (main)
            shell_.clear();
        window.clear();
        return;
    }
    if (main && !shell_) {
        shell_ = new MainShell(app_, form);
        window = shell_->formWindow();
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            shell_->fitInto(screen->availableGeometry());
    }
    QWidget* top = main ? static_cast<QWidget*>(shell_.data()) : window.data();
    if (!window) {
        window = new FormWindow(form);
        top = window;
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->setWindowIcon(QIcon(builtInPicture(QStringLiteral("icon"), QSize(64, 64))));
        if (form.name() == QLatin1String("Form11"))
            window->setWindowFlag(Qt::SplashScreen);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            window->move(area.center() - window->rect().center());
        }
    }
    if (main) {
        shell_->setWindowIcon(QIcon(builtInPicture(QStringLiteral("icon"), QSize(64, 64))));
        if (form.visible())
            shell_->startUpFinished();
    }
    if (form.visible()) {
        top->show();
        top->raise();
        top->activateWindow();
    } else {
        top->hide();
    }
}

} // namespace korvane::gui
