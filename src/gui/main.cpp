// korvane: the calculator's window.
//
//   korvane [OPTIONS] [FILE.korvane]   opens the main window and, when given, that calculation
//
// Options for automation and documentation (the program needs none); each of them ends the
// program by itself, and while one runs every message box is printed on standard output and
// answered OK, as korvane-cli does:
//   --exit-after-load  quit as soon as the main window is shown (start-up timing)
//   --script FILE      run a korvane-cli script against the window after start-up, then quit
//   --grab PNG         save a picture of the main window (or of --grab-form NAME) and quit
//   --grab-window      with --grab: the whole window as sized for the screen (menu, status bar)
//   --export-pdf voltage-loss|short-circuit DIR
//                      after the script, write that book as PDF into DIR and quit
//   --save-icon PNG    save the program's icon (256 px) and quit
//   --grab-schedule PNG
//                      save a picture of the circuit schedule window (of --project FILE, or
//                      of a new project) over its screen's available area, its first lamp-pole
//                      feeder selected, and quit
//   --grab-plot PNG    with --grab-schedule: also save the picture of that feeder's plot
//   --grab-poles PNG   with --grab-schedule: also save the picture of the feeder's pole list
//                      beside its plot, as the window shows them
//   --schedule-row N   with --grab-schedule: select row N (from 1) instead
//   --grab-diagram PNG with --grab-schedule: also save the picture of the project's distribution
//                      system diagram (配电系统图) in its window, over its screen's available area
//   --help, --version  print the usage or the version and quit, without a display
// And for showing the window:
//   --no-splash        open the main window at once
//   --tab N            show page N of the main window
//   --project FILE     open that project (.kvp) in the circuit schedule window

#include "app/application.h"
#include "app/program_home.h"
#include "app/script_runner.h"
#include "base/number_format.h"
#include "gui/diagram_view.h"
#include "gui/feeder_plot_widget.h"
#include "gui/gui_platform.h"
#include "gui/main_shell.h"
#include "gui/pictures.h"
#include "gui/pole_editor.h"
#include "gui/qt_translations.h"
#include "gui/schedule_window.h"
#include "gui/view_manager.h"
#include "render/pdf_book.h"
#include "reports/book_commands.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QScrollBar>
#include <QTextStream>
#include <QTimer>

#include <cstring>
#include <memory>
#include <optional>

namespace {

const char* const kUsage =
    "用法: korvane [选项] [文件.korvane]\n"
    "打开低压配电线路计算的主窗口；给出计算文件时打开该计算。\n"
    "\n"
    "自动运行的选项（运行完毕即退出，其间的消息框打印到标准输出并按“确定”回答）:\n"
    "  --exit-after-load      主窗口显示后即退出\n"
    "  --script FILE          启动后对窗口执行 korvane-cli 脚本，然后退出\n"
    "  --grab PNG             保存主窗口（或 --grab-form NAME 窗体）的图片后退出\n"
    "  --grab-window          与 --grab 同用：按屏幕大小的整个窗口（含菜单和状态栏）\n"
    "  --export-pdf voltage-loss|short-circuit DIR\n"
    "                         执行脚本后把该计算书以 PDF 写入 DIR，然后退出\n"
    "  --save-icon PNG        保存程序图标（256 像素）后退出\n"
    "  --grab-schedule PNG    保存回路表窗口（--project 的工程，或新工程）的图片后退出，\n"
    "                         图中选中第一条路灯馈线\n"
    "  --grab-plot PNG        与 --grab-schedule 同用：另存该馈线电压损失曲线的图片\n"
    "  --grab-poles PNG       与 --grab-schedule 同用：另存该馈线杆位表及曲线的图片\n"
    "  --schedule-row N       与 --grab-schedule 同用：改为选中第 N 行（从 1 起）\n"
    "  --grab-diagram PNG     与 --grab-schedule 同用：另存配电系统图窗口的图片\n"
    "  --help                 显示本说明后退出\n"
    "  --version              显示版本后退出\n"
    "\n"
    "显示窗口的选项:\n"
    "  --no-splash            不显示启动画面，直接打开主窗口\n"
    "  --tab N                显示主窗口的第 N 页（从 0 起）\n"
    "  --project FILE         在回路表窗口中打开该工程（.kvp）\n";

// --help and --version are answered before the application is made, so they need no display.
std::optional<int> answerWithoutDisplay(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            QTextStream(stdout) << QString::fromUtf8(kUsage);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            QTextStream(stdout) << "korvane " << KORVANE_VERSION << '\n';
            return 0;
        }
    }
    return std::nullopt;
}

struct Options {
    bool splash = true;
    bool exitAfterLoad = false;
    QString file;
    QString script;
    int tab = -1;
    QString grab;
    QString grabForm = QStringLiteral("Form1");
    bool grabWindow = false;
    QString pdfBook;
    QString pdfFolder;
    QString saveIcon;
    QString project;
    QString grabSchedule;
    QString grabPlot;
    QString grabPoles;
    QString grabDiagram;
    int scheduleRow = 0;
    QString error;

    // The runs that end by themselves and answer their message boxes on standard output.
    bool driven() const {
        return exitAfterLoad || !script.isEmpty() || !grab.isEmpty() || !pdfBook.isEmpty() ||
               !grabSchedule.isEmpty();
    }
};

// Qt has taken its own options (-platform, -style, …) out of `args` already.
Options parseOptions(const QStringList& args) {
    Options o;
    for (qsizetype i = 1; i < args.size() && o.error.isEmpty(); ++i) {
        const QString& a = args.at(i);
        auto next = [&] {
            if (i + 1 < args.size())
                return args.at(++i);
            o.error = QStringLiteral("%1 needs a value").arg(a);
            return QString();
        };
        if (a == QLatin1String("--no-splash"))
            o.splash = false;
        else if (a == QLatin1String("--exit-after-load"))
            o.exitAfterLoad = true;
        else if (a == QLatin1String("--script"))
            o.script = next();
        else if (a == QLatin1String("--tab"))
            o.tab = next().toInt();
        else if (a == QLatin1String("--grab"))
            o.grab = next();
        else if (a == QLatin1String("--grab-form"))
            o.grabForm = next();
        else if (a == QLatin1String("--grab-window"))
            o.grabWindow = true;
        else if (a == QLatin1String("--export-pdf")) {
            o.pdfBook = next();
            o.pdfFolder = next();
            if (o.error.isEmpty() && o.pdfBook != QLatin1String("voltage-loss") &&
                o.pdfBook != QLatin1String("short-circuit"))
                o.error = QStringLiteral("--export-pdf takes voltage-loss or short-circuit");
        } else if (a == QLatin1String("--save-icon"))
            o.saveIcon = next();
        else if (a == QLatin1String("--project"))
            o.project = next();
        else if (a == QLatin1String("--grab-schedule"))
            o.grabSchedule = next();
        else if (a == QLatin1String("--grab-plot"))
            o.grabPlot = next();
        else if (a == QLatin1String("--grab-poles"))
            o.grabPoles = next();
        else if (a == QLatin1String("--grab-diagram"))
            o.grabDiagram = next();
        else if (a == QLatin1String("--schedule-row"))
            o.scheduleRow = next().toInt();
        else if (a.startsWith(u'-'))
            o.error = QStringLiteral("unknown option %1").arg(a);
        else if (o.file.isEmpty())
            o.file = a;
        else
            o.error = QStringLiteral("more than one file: %1").arg(a);
    }
    if (!o.grabPlot.isEmpty() && o.grabSchedule.isEmpty())
        o.error = QStringLiteral("--grab-plot goes with --grab-schedule");
    if (!o.grabPoles.isEmpty() && o.grabSchedule.isEmpty())
        o.error = QStringLiteral("--grab-poles goes with --grab-schedule");
    if (!o.grabDiagram.isEmpty() && o.grabSchedule.isEmpty())
        o.error = QStringLiteral("--grab-diagram goes with --grab-schedule");
    if (!o.script.isEmpty() || !o.grab.isEmpty() || !o.pdfBook.isEmpty() ||
        !o.grabSchedule.isEmpty())
        o.splash = false;
    return o;
}

// The window's platform; in a driven run message boxes and books are printed, not shown, so that
// no modal box waits for a user who is not there.
class WindowPlatform : public korvane::gui::GuiPlatform {
public:
    WindowPlatform(QTextStream& out, bool driven) : out_(out), driven_(driven) {}
    void messageBox(korvane::MessageIcon icon, const QString& title, const QString& text) override {
        if (driven_)
            korvane::printMessageBox(out_, icon, title, text);
        else
            GuiPlatform::messageBox(icon, title, text);
    }
    bool question(const QString& title, const QString& text) override {
        return !driven_ && GuiPlatform::question(title, text);
    }
    bool openDocument(const QString& path) override {
        if (!driven_)
            return GuiPlatform::openDocument(path);
        korvane::printBook(out_, path);
        return true;
    }
    // A driven run starts the same way every time and leaves the user's preferences (recent
    // projects, where the schedule window was left) as they were.
    korvane::Preferences* preferences() override {
        return driven_ ? nullptr : GuiPlatform::preferences();
    }

private:
    QTextStream& out_;
    bool driven_;
};

korvane::gui::MainShell* shellOf(korvane::gui::ViewManager& views) {
    QWidget* form = views.windowOf(QStringLiteral("Form1"));
    return form != nullptr ? dynamic_cast<korvane::gui::MainShell*>(form->window()) : nullptr;
}

// The schedule window as the documentation shows it: over the available area of its screen
// (whatever the user's preferences remember), a feeder selected, so that its plot is drawn, and
// the table scrolled to its right end (the identifier, the section and the key results stay at
// the left).
bool grabSchedule(korvane::gui::ScheduleWindow& window, const Options& o) {
    window.showSchedule();
    if (const QScreen* screen = window.screen())
        window.fitInto(screen->availableGeometry());
    if (o.scheduleRow > 0)
        window.selectRow(o.scheduleRow - 1);
    else if (!window.selectFirstFeeder())
        window.selectRow(0);
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    // The pole list at its worst pole (bold), from the first pole of its run.
    const int worst = window.session().poles().worstPoleRow(window.currentRow());
    korvane::gui::PoleEditor* poles = window.poleEditor();
    poles->selectPole(worst);
    const int place = window.session().poles().poleAt(window.currentRow(), worst).second;
    if (place >= 0)
        poles->table()->scrollTo(poles->table()->model()->index(worst - place, 0),
                                 QAbstractItemView::PositionAtTop);
    QScrollBar* across = window.table()->horizontalScrollBar();
    across->setValue(across->maximum());
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    if (!window.grab().save(o.grabSchedule))
        return false;
    if (!o.grabPoles.isEmpty() && !window.feederPane()->grab().save(o.grabPoles))
        return false;
    if (!o.grabDiagram.isEmpty()) {
        // The diagram's window over the screen, its sheets as wide as the window.
        window.showDiagram();
        korvane::gui::DiagramView* diagram = window.diagramView();
        if (const QScreen* screen = diagram->screen())
            diagram->resize(screen->availableGeometry().size() - QSize(16, 40));
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        if (!diagram->grab().save(o.grabDiagram))
            return false;
    }
    if (o.grabPlot.isEmpty())
        return true;
    // The plot on its own at the proportions of a page's figure.
    korvane::gui::FeederPlotWidget plot(window.session().state());
    plot.setRow(window.currentRow());
    plot.resize(900, 450);
    return plot.grab().save(o.grabPlot);
}

// Runs the script, writes the book and takes the picture once the main window is up.
int automate(korvane::Application& app, korvane::gui::ViewManager& views, const Options& o,
             QTextStream& out, QTextStream& err) {
    if (!o.script.isEmpty()) {
        QFile file(o.script);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "error: cannot open script " << o.script << '\n';
            return 2;
        }
        QTextStream script(&file);
        korvane::ScriptRunner runner(app, out, err);
        const int status = runner.runLines(script, [] { QCoreApplication::processEvents(); });
        if (status != 0 || app.ended())
            return status;
    }
    if (o.tab >= 0)
        app.mainForm().get<korvane::TabControl>(QStringLiteral("SSTab1")).setTab(o.tab);
    if (!o.pdfBook.isEmpty()) {
        const auto kind = o.pdfBook == QLatin1String("short-circuit")
                              ? korvane::BookKind::ShortCircuit
                              : korvane::BookKind::VoltageLoss;
        const korvane::ComposedBook book = korvane::composeBook(app, app.mainForm(), kind);
        if (!book.document)
            return 2;
        const korvane::SavedBook saved =
            korvane::saveBook(korvane::render::renderPdfBook(*book.document), o.pdfFolder,
                              book.title, app.platform().now(), QStringLiteral("pdf"));
        korvane::printBook(out, saved.path);
        if (!saved.written)
            return 2;
    }
    if (!o.grab.isEmpty()) {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QWidget* window = views.windowOf(o.grabForm);
        if (window != nullptr && o.grabWindow)
            window = window->window();
        if (window == nullptr || !window->grab().save(o.grab)) {
            err << "error: cannot save " << o.grab << '\n';
            return 2;
        }
    }
    if (!o.grabSchedule.isEmpty()) {
        korvane::gui::MainShell* shell = shellOf(views);
        if (shell == nullptr || !grabSchedule(shell->scheduleWindow(), o)) {
            err << "error: cannot save " << o.grabSchedule << '\n';
            return 2;
        }
    }
    return 0;
}

// What follows once the main window is shown: the calculation file, then the automation.
// Returns the status to end with, or nothing when the window stays for the user.
std::optional<int> mainWindowShown(korvane::Application& app, korvane::gui::ViewManager& views,
                                   const Options& o, QTextStream& out, QTextStream& err) {
    if (!o.file.isEmpty()) {
        // Opened as the 文件 menu opens it: its problems are reported in message boxes.
        if (korvane::gui::MainShell* shell = shellOf(views))
            shell->openPath(o.file);
        if (app.ended())
            return app.exitStatus();
    }
    if (!o.project.isEmpty()) {
        // Opened as the 工程 menu opens it; a project that cannot be read leaves a new one.
        if (korvane::gui::MainShell* shell = shellOf(views)) {
            if (!shell->scheduleWindow().openProjectPath(o.project) && o.driven())
                return 2;
        }
        if (app.ended())
            return app.exitStatus();
    }
    const int status = automate(app, views, o, out, err);
    if (status != 0 || app.ended() || o.driven())
        return app.ended() ? app.exitStatus() : status;
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> status = answerWithoutDisplay(argc, argv))
        return *status;

    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    korvane::gui::installQtChineseTranslations();
    korvane::setRegionalFormat(korvane::RegionalFormat::fromSystemLocale());
    QTextStream out(stdout);
    QTextStream err(stderr);
    const Options options = parseOptions(QApplication::arguments());
    if (!options.error.isEmpty()) {
        err << "error: " << options.error
            << "\nusage: korvane [OPTIONS] [FILE.korvane] (korvane --help)\n";
        return 2;
    }
    if (!options.saveIcon.isEmpty())
        return korvane::gui::builtInPicture(QStringLiteral("icon"), QSize(256, 256))
                       .save(options.saveIcon)
                   ? 0
                   : 1;

    WindowPlatform platform(out, options.driven());
    korvane::Application app(platform,
                             korvane::programHome(QCoreApplication::applicationDirPath()));
    korvane::gui::ViewManager views(app);

    if (options.splash) {
        // The splash window shows the main window after its first tick; the rest follows then.
        auto shown = std::make_shared<bool>(false);
        app.mainForm().stateChanged.connect([&, shown](korvane::Form& form) {
            if (*shown || !form.loaded() || !form.visible())
                return;
            *shown = true;
            QTimer::singleShot(0, &qapp, [&] {
                if (const auto status = mainWindowShown(app, views, options, out, err))
                    QCoreApplication::exit(*status);
            });
        });
        app.start();
        return QApplication::exec();
    }

    app.startWithoutSplash();
    if (app.ended())
        return app.exitStatus();
    const std::optional<int> status = mainWindowShown(app, views, options, out, err);
    if (!status)
        return QApplication::exec();
    if (options.exitAfterLoad && !app.ended()) {
        // The window is drawn once before the program quits, as start-up timing needs it.
        QTimer::singleShot(0, &qapp, [code = *status] { QCoreApplication::exit(code); });
        return QApplication::exec();
    }
    return *status;
}
