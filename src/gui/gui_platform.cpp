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
