// 文件 → 工程信息… in the window: the dialog drawn from its form, typed into and confirmed, and the
// title marking the changed calculation as unsaved.

#include "app/project_info.h"
#include "gui/started_window.h"
#include "gui/view_manager.h"
#include "support/test_app.h"

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

template <typename W> W* child(QWidget& window, const char* name) {
    W* w = window.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Chinese text arrives from the input method as a committed string, as a user's IME sends it.
void typeChinese(QLineEdit* edit, const QString& text) {
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(edit, &event);
}

TEST(ProjectDialog, TheFileMenuOpensItAndConfirmingMarksTheCalculationUnsaved) {
    StartedWindow program;
    Application& app = program.app;
    gui::ViewManager& views = program.views;
    gui::FormWindow* content = program.content();
    ASSERT_NE(content, nullptr);
    QWidget* shell = program.shell();
    QApplication::processEvents();
    ASSERT_EQ(shell->windowTitle(), QStringLiteral("未命名 - Korvane"));

    QAction* menuItem = nullptr;
    for (QAction* action : shell->findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("工程信息(&I)…"))
            menuItem = action;
    }
    ASSERT_NE(menuItem, nullptr) << "文件 → 工程信息…";
    menuItem->trigger();
    QApplication::processEvents();
    gui::FormWindow* dialog = views.windowOf(QString::fromLatin1(kProjectDialog));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("工程信息"));

    typeChinese(child<QLineEdit>(*dialog, "Text1"), QStringLiteral("滨江路路灯改造工程"));
    typeChinese(child<QLineEdit>(*dialog, "Text2"), QStringLiteral("张工"));
    QApplication::processEvents();
    EXPECT_EQ(shell->windowTitle(), QStringLiteral("未命名 - Korvane"))
        << "nothing changes before 确定";
    QPushButton* ok = child<QPushButton>(*dialog, "Command1");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("确定"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QApplication::processEvents();

    EXPECT_FALSE(app.form(QString::fromLatin1(kProjectDialog)).loaded());
    EXPECT_EQ(app.mainForm().text(QString::fromLatin1(kProjectNameField)).text(),
              QStringLiteral("滨江路路灯改造工程"));
    EXPECT_EQ(app.mainForm().text(QString::fromLatin1(kEngineerField)).text(),
              QStringLiteral("张工"));
    EXPECT_EQ(shell->windowTitle(), QStringLiteral("未命名* - Korvane"));
    // The working fields are out of the pages: no widget of the main window shows them.
    QWidget* field = content->findChild<QWidget*>(QString::fromLatin1(kEngineerField));
    EXPECT_TRUE(field == nullptr || !field->isVisible());
}

} // namespace
} // namespace korvane::testing
