// The window program and the driver started as automation starts them: every run ends by itself,
// within its time, with the status and output it promises; none waits on a display or a user.

#include "support/cli_run.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// The window on the offscreen platform, with its settings and documents in a scratch home so
// that a run neither reads nor writes the user's.
class WindowRun : public ::testing::Test {
protected:
    CliRun runWindow(const QStringList& arguments, bool display = true) {
        ProgramRun program;
        program.program = u8(KORVANE_WINDOW);
        program.arguments = arguments;
        program.timeoutMs = 20000;
        QProcessEnvironment& env = program.environment;
        env.insert(u8("HOME"), home_.path());
        env.insert(u8("XDG_CONFIG_HOME"), home_.filePath(u8("config")));
        env.insert(u8("XDG_DATA_HOME"), home_.filePath(u8("data")));
        env.remove(u8("DISPLAY"));
        env.remove(u8("WAYLAND_DISPLAY"));
        if (display)
            env.insert(u8("QT_QPA_PLATFORM"), u8("offscreen"));
        else
            env.remove(u8("QT_QPA_PLATFORM"));
        return runProgram(program);
    }
    QString writeFile(const char* name, const QByteArray& content) {
        const QString path = home_.filePath(u8(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    QTemporaryDir home_;
};

TEST_F(WindowRun, HelpAndVersionNeedNoDisplay) {
    struct Case {
        const char* what;
        bool window;
        const char* option;
        const char* starts;
    };
    const Case cases[] = {
        {"korvane --help", true, "--help", "用法: korvane [选项] [文件.korvane]\n"},
        {"korvane --version", true, "--version", "korvane " KORVANE_VERSION "\n"},
        {"korvane-cli --help", false, "--help", "usage: korvane-cli [--home DIR] [--out DIR]"},
        {"korvane-cli --version", false, "--version", "korvane-cli " KORVANE_VERSION "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CliRun run;
        if (c.window) {
            run = runWindow({u8(c.option)}, false);
        } else {
            ProgramRun program;
            program.program = u8(KORVANE_CLI);
            program.arguments = {u8(c.option)};
            program.environment.remove(u8("DISPLAY"));
            program.environment.remove(u8("QT_QPA_PLATFORM"));
            run = runProgram(program);
        }
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out.rfind(c.starts, 0), 0u) << run.out;
        EXPECT_EQ(run.err, "");
    }
}

TEST_F(WindowRun, ExitAfterLoadEndsWithAndWithoutTheSplash) {
    // With the splash the main window comes after its three seconds, then the program ends.
    for (const QStringList& arguments : {QStringList{u8("--exit-after-load")},
                                         QStringList{u8("--no-splash"), u8("--exit-after-load")}}) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const CliRun run = runWindow(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(WindowRun, ScriptMessageBoxesArePrintedAndAnswered) {
    // A hint button and the Word book both raise what the window shows in a modal box or hands to
    // the desktop; here they are printed, and the PDF export still follows.
    const QString script = writeFile("book.kvs", "click Command6\n"
                                                 "select Combo3 50\n"
                                                 "set Text4 100\n"
                                                 "set Text5 0.5\n"
                                                 "click Command1\n"
                                                 "click Command2\n"
                                                 "print Text6\n");
    const QString books = home_.filePath(u8("books"));
    QDir().mkpath(books);
    const CliRun run =
        runWindow({u8("--script"), script, u8("--export-pdf"), u8("voltage-loss"), books});
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out.rfind("msgbox\tnone\tKorvane\t【计算线路长度只考虑终段负荷情况】\n", 0), 0u)
        << run.out;
    EXPECT_TRUE(contains(run.out, "book\t")) << run.out;
    EXPECT_TRUE(contains(run.out, "Text6=")) << run.out;
    EXPECT_TRUE(contains(run.out, ".docx\n")) << "the Word book is printed, not opened";
    EXPECT_TRUE(contains(run.out, (books.toStdString() + "/电压损失计算书_").c_str())) << run.out;
    EXPECT_TRUE(contains(run.out, ".pdf\n")) << run.out;
}

TEST_F(WindowRun, AFileOnTheCommandLineIsOpened) {
    // A calculation written by the driver, opened by the window as the 文件 menu opens it.
    const QString saved = home_.filePath(u8("feeder.korvane"));
    const CliRun written = runCliProgram(
        {}, ("select Combo3 50\nset Text4 123\nset Text5 0.75\nsave " + saved + "\n").toUtf8());
    ASSERT_EQ(written.status, 0) << written.err;
    const QString print = writeFile("print.kvs", "print Text4 Text5 Text1\n");

    struct Case {
        const char* what;
        QStringList arguments;
        int status;
        const char* out;
    };
    const Case cases[] = {
        {"the file's inputs are in the window",
         {saved, u8("--script"), print},
         0,
         "Text4=123\nText5=0.75\nText1=0.387\n"},
        {"the start-up values when no file is given",
         {u8("--script"), print},
         0,
         "Text4=\nText5=\nText1="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = runWindow(c.arguments);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(contains(run.out, c.out)) << run.out;
    }
}

TEST_F(WindowRun, ScriptsEndByThemselves) {
    struct Case {
        const char* what;
        const char* script;
        int status;
        const char* out;
        const char* err;
    };
    const Case cases[] = {
        {"to its end", "print Combo4\n", 0, "Combo4=0.05\n", ""},
        {"at an exit button", "click Command11\nprint Combo4\n", 0, "ended\n", ""},
        {"at a line that cannot be carried out", "print Combo4\nbogus Text4\n", 2, "Combo4=0.05\n",
         "error: line 2: unknown verb bogus"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = runWindow({u8("--script"), writeFile("run.kvs", c.script)});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_TRUE(contains(run.err, c.err)) << run.err;
    }
}

TEST_F(WindowRun, BadFilesAndOptionsAreReported) {
    const QString broken = writeFile("broken.korvane", "not a calculation");
    struct Case {
        const char* what;
        QStringList arguments;
        int status;
        const char* out;
        const char* err;
    };
    const Case cases[] = {
        {"a file that is not a calculation: its message box, then the window's end",
         {broken, u8("--no-splash"), u8("--exit-after-load")},
         0,
         "msgbox\t",
         ""},
        {"a file that is not there, with the splash",
         {home_.filePath(u8("missing.korvane")), u8("--exit-after-load")},
         0,
         "msgbox\t",
         ""},
        {"an unknown option", {u8("--frobnicate")}, 2, "", "unknown option --frobnicate"},
        {"an option without its value", {u8("--script")}, 2, "", "--script needs a value"},
        {"two files", {broken, broken}, 2, "", "more than one file"},
        {"a script that is not there",
         {u8("--script"), home_.filePath(u8("missing.kvs"))},
         2,
         "",
         "cannot open script"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = runWindow(c.arguments);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(contains(run.out, c.out)) << run.out;
        EXPECT_TRUE(contains(run.err, c.err)) << run.err;
    }
}

// The pictures of the circuit schedule, of a feeder's plot and of the distribution system
// diagram's window, taken without a display; a project that cannot be opened is reported and no
// picture is taken.
TEST_F(WindowRun, TheScheduleAndAFeederPlotArePictured) {
    const QString example =
        QDir(u8(KORVANE_SOURCE_DIR)).filePath(u8("docs/examples/street_lighting.kvp"));
    const QString schedule = home_.filePath(u8("schedule.png"));
    const QString plot = home_.filePath(u8("plot.png"));
    const QString diagram = home_.filePath(u8("diagram.png"));
    const CliRun run =
        runWindow({u8("--project"), example, u8("--schedule-row"), u8("2"), u8("--grab-schedule"),
                   schedule, u8("--grab-plot"), plot, u8("--grab-diagram"), diagram});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const QString& path : {schedule, plot, diagram}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_TRUE(file.read(8) == QByteArray("\x89PNG\r\n\x1a\n")) << path.toStdString();
    }

    const QString broken = writeFile("broken.kvp", "{\"format\": ");
    const QString none = home_.filePath(u8("none.png"));
    const CliRun bad = runWindow({u8("--project"), broken, u8("--grab-schedule"), none});
    EXPECT_NE(bad.status, 0);
    EXPECT_TRUE(contains(bad.out, "msgbox\tcritical")) << bad.out;
    EXPECT_FALSE(QFile::exists(none));
    EXPECT_EQ(runWindow({u8("--grab-plot"), plot}).status, 2);
    EXPECT_EQ(runWindow({u8("--grab-diagram"), diagram}).status, 2);
}

} // namespace
} // namespace korvane::testing
