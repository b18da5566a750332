// 工程名 and 计算者: the dialog that fills them, the books that print them, the calculation file
// that keeps them and the engineer's name remembered from one run to the next.

#include "app/calculation_file.h"
#include "app/preferences.h"
#include "app/project_info.h"
#include "app/script_runner.h"
#include "reports/book_commands.h"
#include "reports/zip_reading.h"
#include "support/test_app.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

Form& dialogOf(TestApp& t) {
    return t.app().form(QString::fromLatin1(kProjectDialog));
}

QString projectName(TestApp& t) {
    return t.text(kProjectNameField);
}

QString engineer(TestApp& t) {
    return t.text(kEngineerField);
}

// Opens 文件 → 工程信息…, types both names and presses `button`.
void fillDialog(TestApp& t, const QString& project, const QString& engineerName,
                const char* button) {
    Form& dialog = dialogOf(t);
    dialog.show();
    ASSERT_EQ(userType(dialog.control(QStringLiteral("Text1")), project), QString());
    ASSERT_EQ(userType(dialog.control(QStringLiteral("Text2")), engineerName), QString());
    ASSERT_EQ(userClick(dialog.control(QString::fromLatin1(button))), QString());
}

TEST(ProjectInfo, TheDialogWritesBothNamesOnConfirmAndNothingOnCancel) {
    struct Case {
        const char* what;
        const char* project;
        const char* engineer;
        const char* button;
        const char* expectedProject;
        const char* expectedEngineer;
    };
    const Case cases[] = {
        {"确定 writes both", "滨江路路灯改造工程", "张工", "Command1", "滨江路路灯改造工程",
         "张工"},
        {"取消 keeps what the window held", "另一个工程", "李工", "Command2", "旧工程", "王工"},
        {"a pasted line break and surrounding spaces are not kept", "  一期\r\n二期 ", "\t赵工 ",
         "Command1", "一期 二期", "赵工"},
        {"emptied names leave the labels alone", "", "", "Command1", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        t.setText(kProjectNameField, u8("旧工程"));
        t.setText(kEngineerField, u8("王工"));
        Form& dialog = dialogOf(t);
        dialog.show();
        EXPECT_EQ(dialog.text(QStringLiteral("Text1")).text(), u8("旧工程"))
            << "the dialog starts from what the window holds";
        EXPECT_EQ(dialog.text(QStringLiteral("Text2")).text(), u8("王工"));
        fillDialog(t, u8(c.project), u8(c.engineer), c.button);
        EXPECT_FALSE(dialog.loaded());
        EXPECT_EQ(projectName(t), u8(c.expectedProject));
        EXPECT_EQ(engineer(t), u8(c.expectedEngineer));
    }
}

// The header lines of both books and the .docx author, from the names the dialog placed.
TEST(ProjectInfo, BothBooksPrintTheNamesAfterTheLabelsAndTheEngineerAsAuthor) {
    struct Case {
        const char* project;
        const char* engineer;
        const char* projectLine;
        const char* engineerLine;
    };
    const Case cases[] = {
        {"滨江路路灯改造工程", "张工", "工程名:滨江路路灯改造工程", "计算者:张工"},
        {"", "张工", "工程名:", "计算者:张工"},
        {"A&B <路灯>", "", "工程名:A&B <路灯>", "计算者:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.projectLine);
        TestApp t;
        fillDialog(t, u8(c.project), u8(c.engineer), "Command1");
        for (BookKind kind : {BookKind::VoltageLoss, BookKind::ShortCircuit}) {
            const ComposedBook book = composeBook(t.app(), t.form(), kind);
            ASSERT_TRUE(book.document);
            const QStringList paragraphs = book.document->paragraphTexts();
            ASSERT_GT(paragraphs.size(), 4);
            EXPECT_EQ(paragraphs[2], u8(c.projectLine));
            EXPECT_EQ(paragraphs[3], u8(c.engineerLine));
            EXPECT_TRUE(paragraphs[4].startsWith(u8("计算时间:")));
            EXPECT_EQ(book.document->properties().author, u8(c.engineer));
        }

        // The written .docx: the header paragraphs and the engineer as the package's creator.
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        t.app().setBooksFolder(folder.path());
        t.click("Command21");
        ASSERT_EQ(t.platform().openedDocuments.size(), 1U);
        QFile written(t.platform().openedDocuments[0]);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QByteArray package = written.readAll();
        const QString document =
            QString::fromUtf8(zipEntry(package, "word/document.xml").value_or(QByteArray()));
        const QString core =
            QString::fromUtf8(zipEntry(package, "docProps/core.xml").value_or(QByteArray()));
        QString escaped = u8(c.projectLine);
        escaped.replace(u8("&"), u8("&amp;"))
            .replace(u8("<"), u8("&lt;"))
            .replace(u8(">"), u8("&gt;"));
        EXPECT_TRUE(document.contains(u8(">") + escaped + u8("</w:t>"))) << c.projectLine;
        EXPECT_TRUE(document.contains(u8(">") + u8(c.engineerLine) + u8("</w:t>")));
        if (*c.engineer != '\0')
            EXPECT_TRUE(core.contains(u8("<dc:creator>") + u8(c.engineer) + u8("</dc:creator>")))
                << core.toStdString();
        else
            EXPECT_FALSE(core.contains(u8("dc:creator"))) << core.toStdString();
    }
}

TEST(ProjectInfo, TheFileKeepsBothNamesAndOlderFilesOpenWithThemEmpty) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u8("滨江路.korvane"));
    TestApp first;
    const QByteArray before = calculationSnapshot(first.form());
    fillDialog(first, u8("滨江路路灯改造工程"), u8("张工"), "Command1");
    EXPECT_NE(calculationSnapshot(first.form()), before)
        << "changed names mark the calculation unsaved";
    ASSERT_TRUE(saveCalculation(first.app(), path));

    TestApp second;
    second.setText(kEngineerField, u8("李工"));
    ASSERT_TRUE(openCalculation(second.app(), path));
    EXPECT_TRUE(second.platform().messages.empty());
    EXPECT_EQ(projectName(second), u8("滨江路路灯改造工程"));
    EXPECT_EQ(engineer(second), u8("张工")) << "the file says who made the calculation";

    // The same file as a version without the two names wrote it.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    QJsonObject older = root.value(QStringLiteral("inputs")).toObject();
    for (const char* quantity : {"project.name", "project.engineer"})
        older.remove(QString::fromLatin1(quantity));
    ASSERT_EQ(older.size() + 2, root.value(QStringLiteral("inputs")).toObject().size());
    root.insert(QStringLiteral("inputs"), older);
    root.insert(QStringLiteral("version"), 1);

    TestApp third;
    third.setText(kProjectNameField, u8("上一个工程"));
    third.setText(kEngineerField, u8("李工"));
    const RestoreReport report = restoreCalculation(third.form(), QJsonDocument(root).toJson());
    EXPECT_TRUE(report.read);
    EXPECT_TRUE(report.problems.isEmpty()) << report.problems.join(u8("; ")).toStdString();
    EXPECT_EQ(projectName(third), QString());
    EXPECT_EQ(engineer(third), QString());
}

// The engineer's name outlives the program; the project's name belongs to one calculation.
TEST(ProjectInfo, TheEngineerIsRememberedAcrossARestartAndANewCalculation) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString settings = dir.filePath(u8("Korvane.ini"));
    {
        SettingsPreferences preferences(settings);
        TestApp first(testHome(), &preferences);
        EXPECT_EQ(engineer(first), QString()) << "nothing remembered yet";
        fillDialog(first, u8("滨江路路灯改造工程"), u8("张工"), "Command1");
    }
    {
        SettingsPreferences preferences(settings);
        TestApp second(testHome(), &preferences);
        EXPECT_EQ(engineer(second), u8("张工"));
        EXPECT_EQ(projectName(second), QString());

        // A colleague's file names its own engineer, but does not change who is remembered.
        second.setText(kEngineerField, u8("李工"));
        second.setText(kProjectNameField, u8("老城区"));
        const QByteArray start = calculationSnapshot(second.form());
        resetCalculation(second.form(), start);
        startNewProject(second.app()); // 文件 → 新建
        EXPECT_EQ(engineer(second), u8("张工"));
        EXPECT_EQ(projectName(second), QString());

        fillDialog(second, u8("老城区"), u8("王工"), "Command2"); // cancelled: not remembered
    }
    SettingsPreferences preferences(settings);
    TestApp third(testHome(), &preferences);
    EXPECT_EQ(engineer(third), u8("张工"));
    EXPECT_EQ(preferences.value(QString::fromLatin1(kEngineerPreference)), u8("张工"));
}

// Scripts reach the dialog as the 文件 menu does and then drive it by its control names.
TEST(ProjectInfo, ScriptsOpenTheDialogAndFillIt) {
    TestApp t;
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    ScriptRunner runner(t.app(), out, err);
    const char* lines[] = {"show GCForm13", "set GCForm13.Text1 滨江路路灯改造工程",
                           "set GCForm13.Text2 张工", "click GCForm13.Command1",
                           "print Text80 Text81"};
    for (const char* line : lines)
        ASSERT_EQ(runner.execute(u8(line)), QString()) << line;
    out.flush();
    EXPECT_EQ(outText, u8("Text80=滨江路路灯改造工程\nText81=张工\n"));
    EXPECT_EQ(runner.execute(u8("show Form1")), u8("unknown dialog Form1"));
    EXPECT_EQ(runner.execute(u8("show GCForm99")), u8("unknown dialog GCForm99"));
}

} // namespace
} // namespace korvane::testing
