#include "gui/gui_platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace korvane::gui {

void GuiPlatform::messageBox(MessageIcon icon, const QString& title, const QString& text) {
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::Critical:
        qtIcon = QMessageBox::Critical;
        break;
    case MessageIcon::Information:
        qtIcon = QMessageBox::Information;
        break;
    case MessageIcon::Warning:
        qtIcon = QMessageBox::Warning;
        break;
    case MessageIcon::None:
        break;
    }
    QString shown = text;
    shown.remove(u'\r');
    QMessageBox box(qtIcon, title, shown, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool GuiPlatform::question(const QString& title, const QString& text) {
    QString shown = text;
    shown.remove(u'\r');
    return QMessageBox::question(QApplication::activeWindow(), title, shown,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void GuiPlatform::endProgram(int status) {
    ended_ = true;
    status_ = status;
    QCoreApplication::exit(status);
}

} // namespace korvane::gui

namespace korvane::gui {

bool GuiPlatform::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace korvane::gui

namespace korvane::gui {

void GuiPlatform::longActionStarted(const QString& what) {
    if (showStatus)
        showStatus(what, 0);
    if (!busy_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busy_ = true;
    }
    // Paint the message and the cursor now, before the work starts.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void GuiPlatform::longActionFinished(const QString& result) {
    if (busy_) {
        QApplication::restoreOverrideCursor();
        busy_ = false;
    }
    if (showStatus)
        showStatus(result, 15000);
}

Preferences* GuiPlatform::preferences() {
    if (!preferences_)
        preferences_ = std::make_unique<SettingsPreferences>();
    return preferences_.get();
}

} // namespace korvane::gui
