// korvane-cli: runs a script of user actions against the same forms the window shows.
//   korvane-cli [--home DIR] [--out DIR] [SCRIPT]
//   korvane-cli [--home DIR] --project FILE [--size] [--write FILE] [--results FILE]
//               [--xlsx FILE]
//   korvane-cli --help | --version

#include "app/application.h"
#include "app/program_home.h"
#include "app/script_runner.h"
#include "db/database.h"
#include "form/atomic_file.h"
#include "project/project_file.h"
#include "project/project_run.h"
#include "project/schedule_xlsx.h"
#include "project/supply_catalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

// Computes a project file (and sizes its circuits) and prints the results: 0 when it was
// computed, 1 when a file could not be read or written.
int runProjectFile(const QString& home, const QString& path, bool size, const QString& writePath,
                   const QString& resultsPath, const QString& xlsxPath, QTextStream& out,
                   QTextStream& err) {
    const korvane::ProjectReading reading = korvane::openProject(path);
    if (!reading.error.isEmpty()) {
        err << "error: " << path << ": " << reading.error << '\n';
        return 1;
    }
    for (const QString& line : reading.unrestored)
        err << "warning: " << line << '\n';

    // The cable database checks every circuit's cable, and gives the sections sizing tries.
    korvane::CableCatalogue catalogue;
    {
        korvane::Database db(QDir(home).filePath(QStringLiteral("Database/JhxlDlxlss.db")));
        const QString why = db.open(QStringLiteral("AAA"));
        const korvane::Computed<korvane::CableCatalogue> loaded =
            why.isEmpty() ? korvane::loadCableCatalogue(db)
                          : korvane::Computed<korvane::CableCatalogue>::failed(why);
        if (!loaded) {
            err << "error: cannot read the cable database: " << loaded.reason() << '\n';
            return 1;
        }
        catalogue = *loaded;
    }
    // The transformer and busbar database checks the supply.
    korvane::Project project = reading.project;
    {
        korvane::Database db(QDir(home).filePath(QStringLiteral("Database/Byaqi-Muxie.db")));
        const QString why = db.open(QStringLiteral("变压器阻抗"));
        const korvane::Computed<korvane::SupplyCatalogue> loaded =
            why.isEmpty() ? korvane::loadSupplyCatalogue(db)
                          : korvane::Computed<korvane::SupplyCatalogue>::failed(why);
        if (!loaded) {
            err << "error: cannot read the transformer and busbar database: " << loaded.reason()
                << '\n';
            return 1;
        }
        korvane::markUnknownSupply(project, *loaded);
    }
    const korvane::ProjectRun run = korvane::runProject(project, catalogue, size);
    const QString text = korvane::projectResultsText(run);
    out << text;
    if (!resultsPath.isEmpty()) {
        const QString why = korvane::writeFileAtomically(resultsPath, text.toUtf8());
        if (!why.isEmpty()) {
            err << "error: cannot write " << resultsPath << ": " << why << '\n';
            return 1;
        }
    }
    if (!writePath.isEmpty()) {
        const QString why = korvane::saveProject(run.project, writePath);
        if (!why.isEmpty()) {
            err << "error: cannot write " << writePath << ": " << why << '\n';
            return 1;
        }
    }
    if (!xlsxPath.isEmpty()) {
        const QString why = korvane::writeScheduleXlsx(run, xlsxPath);
        if (!why.isEmpty()) {
            err << "error: cannot write " << xlsxPath << ": " << why << '\n';
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString home = korvane::programHome(QCoreApplication::applicationDirPath());
    QString outDir = QDir::currentPath();
    QString scriptPath;
    QString projectPath;
    QString writePath;
    QString resultsPath;
    QString xlsxPath;
    bool size = false;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if ((arg == QLatin1String("--home") || arg == QLatin1String("--out")) &&
            i + 1 < args.size()) {
            (arg == QLatin1String("--home") ? home : outDir) = args.at(++i);
        } else if ((arg == QLatin1String("--project") || arg == QLatin1String("--write") ||
                    arg == QLatin1String("--results") || arg == QLatin1String("--xlsx")) &&
                   i + 1 < args.size()) {
            (arg == QLatin1String("--project")   ? projectPath
             : arg == QLatin1String("--write")   ? writePath
             : arg == QLatin1String("--results") ? resultsPath
                                                 : xlsxPath) = args.at(++i);
        } else if (arg == QLatin1String("--size")) {
            size = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            out << "usage: korvane-cli [--home DIR] [--out DIR] [SCRIPT]\n"
                   "       korvane-cli [--home DIR] --project FILE [--size] [--write FILE] "
                   "[--results FILE]\n"
                   "                   [--xlsx FILE]\n"
                   "Runs SCRIPT (standard input when absent), one user action a line, against the\n"
                   "forms of the Korvane window; message boxes are printed and answered OK.\n"
                   "  --home DIR   the program folder (Database/, A page/)\n"
                   "  --out DIR    where calculation books are written (default: the current "
                   "folder)\n"
                   "  --project FILE  compute the project FILE (.kvp) instead of a script and\n"
                   "               print its circuits' results\n"
                   "  --size       with --project: choose the smallest cable section of each\n"
                   "               circuit that passes every check\n"
                   "  --write FILE with --project: save the project (with the chosen sections)\n"
                   "  --results FILE  with --project: also write the printed results\n"
                   "  --xlsx FILE  with --project: write the circuit schedule, the supply and\n"
                   "               each feeder's pole-by-pole voltages as an .xlsx workbook\n"
                   "  --help       print this text\n"
                   "  --version    print the version\n";
            return 0;
        } else if (arg == QLatin1String("--version")) {
            out << "korvane-cli " << KORVANE_VERSION << '\n';
            return 0;
        } else if (arg.startsWith(QLatin1String("--")) || !scriptPath.isEmpty()) {
            err << "usage: korvane-cli [--home DIR] [--out DIR] [SCRIPT]\n";
            return 2;
        } else {
            scriptPath = arg;
        }
    }

    if (!projectPath.isEmpty()) {
        if (!scriptPath.isEmpty()) {
            err << "usage: korvane-cli [--home DIR] --project FILE [--size] [--write FILE] "
                   "[--results FILE]\n";
            return 2;
        }
        return runProjectFile(home, projectPath, size, writePath, resultsPath, xlsxPath, out, err);
    }
    if (size || !writePath.isEmpty() || !resultsPath.isEmpty()) {
        err << "usage: --size, --write and --results go with --project FILE\n";
        return 2;
    }
    if (!xlsxPath.isEmpty()) {
        err << "usage: --xlsx goes with --project FILE\n";
        return 2;
    }

    QFile scriptFile;
    if (scriptPath.isEmpty()) {
        if (!scriptFile.open(stdin, QIODevice::ReadOnly)) {
            err << "error: cannot read standard input\n";
            return 2;
        }
    } else {
        scriptFile.setFileName(scriptPath);
        if (!scriptFile.open(QIODevice::ReadOnly)) {
            err << "error: cannot open script " << scriptPath << '\n';
            return 2;
        }
    }
    QTextStream script(&scriptFile);

    korvane::ScriptPlatform platform(out);
    korvane::Application app(platform, QDir(home).absolutePath());
    app.setBooksFolder(QDir(outDir).absolutePath());
    korvane::ScriptRunner runner(app, out, err);
    return runner.run(script);
}
