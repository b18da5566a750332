// Qt's own texts in the window (standard buttons, the unsaved-changes question, the file
// dialogs) are Chinese, as the program's own are.

#include "gui/main_shell.h"
#include "gui/qt_translations.h"
#include "support/test_app.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// What Qt shows in English without its translations; none of it may be left in the window.
const char* const kEnglish[] = {"OK",         "Cancel",    "Save",          "Discard",
                                "Look in",    "File name", "Files of type", "Close without Saving",
                                "Don't Save", "Detail"};

// The shown text without its mnemonic: "保存(&S)" is seen as "保存(S)".
QString shown(const QString& text) {
    QString plain = text;
    plain.remove(u'&');
    return plain;
}

void expectNoEnglish(const QString& text) {
    for (const char* english : kEnglish)
        EXPECT_FALSE(text.contains(QLatin1String(english))) << text.toStdString();
}

class QtTranslations : public ::testing::Test {
protected:
    static void SetUpTestSuite() { installed_ = gui::installQtChineseTranslations(); }
    void SetUp() override { ASSERT_TRUE(installed_) << "Qt's Chinese texts are not installed"; }

    // Runs `inspect` on the modal dialog that `open` brings up, which `inspect` must close.
    static void whenModalShows(const std::function<void()>& open,
                               const std::function<void(QWidget*)>& inspect) {
        bool seen = false;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && !seen) {
                seen = true;
                inspect(modal);
            }
        });
        poll.start();
        // Stopped with this call, so that it cannot close a later test's dialog.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        guard.start(5000);
        open();
        EXPECT_TRUE(seen) << "no modal dialog came up";
    }

    static bool installed_;
};

bool QtTranslations::installed_ = false;

TEST_F(QtTranslations, StandardButtonsAreChinese) {
    struct Case {
        QDialogButtonBox::StandardButton button;
        const char* text;
    };
    const Case cases[] = {
        {QDialogButtonBox::Ok, "确定"},   {QDialogButtonBox::Cancel, "取消"},
        {QDialogButtonBox::Save, "保存"}, {QDialogButtonBox::Yes, "是"},
        {QDialogButtonBox::No, "否"},     {QDialogButtonBox::Close, "关闭"},
        {QDialogButtonBox::Open, "打开"},
    };
    QDialogButtonBox box;
    for (const Case& c : cases)
        box.addButton(c.button);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(shown(box.button(c.button)->text()).startsWith(u8(c.text)))
            << box.button(c.button)->text().toStdString();
    }
    QMessageBox message(QMessageBox::Information, u8("Korvane"), u8("文本"), QMessageBox::Ok);
    EXPECT_TRUE(shown(message.button(QMessageBox::Ok)->text()).startsWith(u8("确定")));
    // The type column of the file dialogs.
    EXPECT_EQ(QFileIconProvider().type(QFileInfo(QDir::tempPath())), u8("文件夹"));
}

TEST_F(QtTranslations, TheUnsavedChangesQuestionIsChinese) {
    TestApp t;
    gui::MainShell shell(t.app(), t.form());
    shell.startUpFinished();
    shell.show();
    t.setText("Text4", u8("100"));
    QApplication::processEvents();

    QStringList buttons;
    whenModalShows([&] { shell.close(); },
                   [&](QWidget* modal) {
                       auto* box = qobject_cast<QMessageBox*>(modal);
                       ASSERT_NE(box, nullptr);
                       for (QAbstractButton* button : box->buttons())
                           buttons << shown(button->text());
                       box->button(QMessageBox::Cancel)->click();
                   });
    EXPECT_TRUE(shell.isVisible()) << "取消 keeps the window";
    ASSERT_EQ(buttons.size(), 3);
    const QString all = buttons.join(u' ');
    EXPECT_TRUE(all.contains(u8("保存"))) << all.toStdString();
    EXPECT_TRUE(all.contains(u8("取消"))) << all.toStdString();
    expectNoEnglish(all);
}

TEST_F(QtTranslations, TheSaveDialogIsChinese) {
    TestApp t;
    gui::MainShell shell(t.app(), t.form());
    shell.startUpFinished();
    shell.show();
    QAction* saveAs = nullptr;
    for (QAction* menu : shell.menuBar()->actions()) {
        for (QAction* action : menu->menu()->actions()) {
            if (action->text().startsWith(u8("另存为")))
                saveAs = action;
        }
    }
    ASSERT_NE(saveAs, nullptr);

    whenModalShows([&] { saveAs->trigger(); },
                   [&](QWidget* modal) {
                       auto* dialog = qobject_cast<QFileDialog*>(modal);
                       ASSERT_NE(dialog, nullptr);
                       QStringList texts;
                       for (const QLabel* label : dialog->findChildren<QLabel*>())
                           texts << label->text();
                       for (const QAbstractButton* button : dialog->findChildren<QPushButton*>())
                           texts << shown(button->text());
                       const QString all = texts.join(u'|');
                       EXPECT_TRUE(all.contains(u8("保存"))) << all.toStdString();
                       EXPECT_TRUE(all.contains(u8("取消"))) << all.toStdString();
                       EXPECT_TRUE(all.contains(u8("文件名"))) << all.toStdString();
                       expectNoEnglish(all);
                       // A picture of the dialog for the documentation, when one is asked for.
                       if (const QByteArray png = qgetenv("KORVANE_SAVE_DIALOG_PNG");
                           !png.isEmpty()) {
                           EXPECT_TRUE(dialog->grab().save(QString::fromLocal8Bit(png)));
                       }
                       dialog->reject();
                   });
}

} // namespace
} // namespace korvane::testing
