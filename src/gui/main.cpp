// korvane: the calculator's window.
//
// Options for automation and documentation (the program needs none):
//   --no-splash        open the main window at once
//   --exit-after-load  quit as soon as the main window is shown (start-up timing)
//   --script FILE      run a korvane-cli script against the window after start-up
//   --tab N            show page N of the main window
//   --grab PNG         save a picture of the main window (or of --grab-form NAME) and quit
//   --grab-window      with --grab: the whole window as sized for the screen (menu, status bar)
//   --save-icon PNG    save the program's icon (256 px) and quit
//   --export-pdf voltage-loss|short-circuit DIR
//                      after the script, write that book as PDF into DIR and quit

#include "app/application.h"
#include "app/program_home.h"
#include "app/script_runner.h"
#include "form/number_format.h"
#include "gui/gui_platform.h"
#include "gui/pdf_book.h"
#include "gui/pictures.h"
#include "gui/view_manager.h"
#include "reports/book_commands.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>
#include <QTimer>

namespace {

struct Options {
    bool splash = true;
    bool exitAfterLoad = false;
    QString script;
    int tab = -1;
    QString grab;
    QString grabForm = QStringLiteral("Form1");
    bool grabWindow = false;
    QString pdfBook;
    QString pdfFolder;
};

Options parseOptions(const QStringList& args) {
    Options o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        auto next = [&] { return i + 1 < args.size() ? args.at(++i) : QString(); };
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
        }
    }
    if (!o.script.isEmpty() || !o.grab.isEmpty() || !o.pdfBook.isEmpty())
        o.splash = false;
    return o;
}

// Runs the script and takes the picture once the main window is up.
int automate(korvane::Application& app, korvane::gui::ViewManager& views, const Options& o) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    int status = 0;
    if (!o.script.isEmpty()) {
        QFile file(o.script);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "error: cannot open script " << o.script << '\n';
            return 2;
        }
        korvane::ScriptRunner runner(app, out, err);
        QTextStream script(&file);
        int lineNumber = 0;
        while (!script.atEnd() && status == 0) {
            const QString line = script.readLine().trimmed();
            ++lineNumber;
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            if (const QString why = runner.execute(line); !why.isEmpty()) {
                err << "error: line " << lineNumber << ": " << why << '\n';
                status = 2;
            }
            QCoreApplication::processEvents();
        }
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
            korvane::saveBook(korvane::gui::renderPdfBook(*book.document), o.pdfFolder, book.title,
                              app.platform().now(), QStringLiteral("pdf"));
        out << "book\t" << saved.path << '\n';
        return saved.written ? status : 2;
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
    return status;
}

} // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvane"));
    korvane::setRegionalFormat(korvane::RegionalFormat::fromSystemLocale());
    const Options options = parseOptions(QApplication::arguments());
    if (const qsizetype at = QApplication::arguments().indexOf(QStringLiteral("--save-icon"));
        at > 0 && at + 1 < QApplication::arguments().size()) {
        const QString path = QApplication::arguments().at(at + 1);
        return korvane::gui::builtInPicture(QStringLiteral("icon"), QSize(256, 256)).save(path) ? 0
                                                                                                : 1;
    }

    korvane::gui::GuiPlatform platform;
    korvane::Application app(platform,
                             korvane::programHome(QCoreApplication::applicationDirPath()));
    korvane::gui::ViewManager views(app);

    if (options.splash) {
        app.start();
        return QApplication::exec();
    }

    app.startWithoutSplash();
    if (app.ended())
        return app.exitStatus();
    if (options.exitAfterLoad) {
        QTimer::singleShot(0, &qapp, [] { QCoreApplication::exit(0); });
        return QApplication::exec();
    }
    if (!options.script.isEmpty() || !options.grab.isEmpty() || !options.pdfBook.isEmpty() ||
        options.tab >= 0) {
        const int status = automate(app, views, options);
        if (!options.grab.isEmpty() || !options.pdfBook.isEmpty() || status != 0)
            return status;
    }
    return QApplication::exec();
}
