// korvane-cli: runs a script of user actions against the same forms the window shows.
//   korvane-cli [--home DIR] [--out DIR] [SCRIPT]
//   korvane-cli [--home DIR] (--project FILE | --supply FILE) [--name TEXT] [--engineer TEXT]
//               [--size] [--write FILE] [--results FILE] [--xlsx FILE] [--import FILE]
//               [--book FILE] [--poles CIRCUIT=FILE]... [--pole-table CIRCUIT]
//               [--diagram FILE]
//   korvane-cli --template FILE
//   korvane-cli --pole-template FILE
//   korvane-cli --help | --version

#include "app/application.h"
#include "app/program_home.h"
#include "app/script_runner.h"
#include "base/atomic_file.h"
#include "db/database.h"
#include "project/project_run.h"
#include "project/supply_catalogue.h"
#include "project_book/feeder_book.h"
#include "project_book/project_book.h"
#include "project_files/imports/circuit_import.h"
#include "project_files/imports/pole_import.h"
#include "project_files/project_file.h"
#include "project_files/schedule_xlsx.h"
#include "render/diagram_outputs.h"
#include "render/project_outputs.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace {

// What to do with a project file.
struct ProjectOptions {
    QString path;
    // A new project from the supply of this file (its supply, voltage-loss limit, installation
    // conditions and conductor temperature; not its name, engineer or circuits).
    QString supplyPath;
    std::optional<QString> name;     // 工程名 to give the project
    std::optional<QString> engineer; // 计算者
    bool size = false;
    QString writePath;
    QString resultsPath;
    QString xlsxPath;
    QString importPath;  // circuits to take in place of the file's own
    QString bookPath;    // the project calculation book, .docx or .pdf
    QString diagramPath; // the distribution system diagram, .dxf, .svg or .pdf
    // Pole lists to import, each into the feeder circuit named: (circuit, file).
    std::vector<std::pair<QString, QString>> poleLists;
    QString poleTable; // the circuit whose pole table is printed in place of the results
};

// Standard error carries one line per message, led by the fixed tag "error: ", "warning: " or
// "note: " for scripts to read; the message after it is in Chinese and names the file or the place.
QString writeError(const QString& path, const QString& why) {
    return QStringLiteral("error: 无法写入 %1：%2\n").arg(path, why);
}

// Computes a project file (and sizes its circuits) and prints the results: 0 when it was
// computed, 1 when a file could not be read or written.
int runProjectFile(const QString& home, const ProjectOptions& options, QTextStream& out,
                   QTextStream& err) {
    const QString& path = options.supplyPath.isEmpty() ? options.path : options.supplyPath;
    const korvane::ProjectReading reading = korvane::openProject(path);
    if (!reading.error.isEmpty()) {
        err << "error: " << path << "：" << reading.error << '\n';
        return 1;
    }
    korvane::Project project = reading.project;
    QStringList unrestored = reading.unrestored;
    if (!options.supplyPath.isEmpty()) {
        // A new project: the supply file's circuits, name and engineer are not taken, nor what
        // reading said of them.
        for (const korvane::ProjectCircuit& c : project.circuits)
            for (const korvane::ReadingProblem& problem : c.readingProblems)
                if (!problem.circuit.isEmpty())
                    unrestored.removeAll(problem.text());
        project.circuits.clear();
        project.name.clear();
        project.engineer.clear();
    }
    for (const QString& line : unrestored)
        err << "warning: " << line << '\n';
    if (options.name)
        project.name = *options.name;
    if (options.engineer)
        project.engineer = *options.engineer;

    // The cable database checks every circuit's cable, and gives the sections sizing tries.
    korvane::CableCatalogue catalogue;
    {
        korvane::Database db(QDir(home).filePath(QStringLiteral("Database/JhxlDlxlss.db")));
        const QString why = db.open(QStringLiteral("AAA"));
        const korvane::Computed<korvane::CableCatalogue> loaded =
            why.isEmpty() ? korvane::loadCableCatalogue(db)
                          : korvane::Computed<korvane::CableCatalogue>::failed(why);
        if (!loaded) {
            err << "error: 无法读取电缆数据库：" << loaded.reason() << '\n';
            return 1;
        }
        catalogue = *loaded;
    }
    // An imported circuit list replaces the file's circuits whole, or nothing is computed; the
    // cable database fills the cable values it leaves blank.
    if (!options.importPath.isEmpty()) {
        const korvane::CircuitImport imported =
            korvane::importCircuits(options.importPath, catalogue);
        for (const QString& line : imported.filled)
            err << "note: " << options.importPath << "：" << line << '\n';
        for (const QString& line : imported.problems)
            err << (imported.ok ? "warning: " : "error: ") << options.importPath << "：" << line
                << '\n';
        if (!imported.ok)
            return 1;
        project.circuits = imported.circuits;
        // What stops every circuit of the project (a value of the supply or the project's own
        // that could not be read) stops the imported ones too.
        for (korvane::ProjectCircuit& c : project.circuits)
            c.inputProblems << korvane::projectStoppingProblems(project);
    }
    // Each pole list goes into its feeder whole, or nothing is computed.
    for (const auto& [circuitId, polePath] : options.poleLists) {
        const auto circuit = std::find_if(project.circuits.begin(), project.circuits.end(),
                                          [&](const korvane::ProjectCircuit& c) {
                                              return korvane::sameCircuitId(c.id, circuitId);
                                          });
        if (circuit == project.circuits.end()) {
            err << "error: " << polePath << "：工程中没有回路“" << circuitId << "”\n";
            return 1;
        }
        if (!std::holds_alternative<korvane::LampFeeder>(circuit->load)) {
            err << "error: " << polePath << "：回路“" << circuit->id
                << "”不是路灯馈线，不能导入杆位表\n";
            return 1;
        }
        const korvane::PoleImport imported = korvane::importPoleList(polePath, &catalogue);
        for (const QString& line : imported.problems)
            err << (imported.ok ? "warning: " : "error: ") << polePath << "：" << line << '\n';
        if (!imported.ok)
            return 1;
        korvane::setPoleList(*circuit, imported.list);
        err << "note: " << polePath << "：已导入回路 " << circuit->id << " 的杆位表（"
            << imported.list.runs.size() << " 条线路）\n";
    }
    // The transformer and busbar database checks the supply.
    {
        korvane::Database db(QDir(home).filePath(QStringLiteral("Database/Byaqi-Muxie.db")));
        const QString why = db.open(QStringLiteral("变压器阻抗"));
        const korvane::Computed<korvane::SupplyCatalogue> loaded =
            why.isEmpty() ? korvane::loadSupplyCatalogue(db)
                          : korvane::Computed<korvane::SupplyCatalogue>::failed(why);
        if (!loaded) {
            err << "error: 无法读取变压器、母线数据库：" << loaded.reason() << '\n';
            return 1;
        }
        korvane::markUnknownSupply(project, *loaded);
    }
    const korvane::ProjectRun run = korvane::runProject(project, catalogue, options.size);
    const QString text = korvane::projectResultsText(run);
    if (options.poleTable.isEmpty()) {
        out << text;
    } else {
        const korvane::Computed<QStringList> poles = korvane::poleTableText(run, options.poleTable);
        if (!poles) {
            err << "error: " << poles.reason() << '\n';
            return 1;
        }
        out << poles->join(u'\n') << '\n';
    }
    if (!options.resultsPath.isEmpty()) {
        const QString why = korvane::writeFileAtomically(options.resultsPath, text.toUtf8());
        if (!why.isEmpty()) {
            err << writeError(options.resultsPath, why);
            return 1;
        }
    }
    if (!options.writePath.isEmpty()) {
        const QString why = korvane::saveProject(run.project, options.writePath);
        if (!why.isEmpty()) {
            err << writeError(options.writePath, why);
            return 1;
        }
    }
    if (!options.xlsxPath.isEmpty()) {
        const QString why = korvane::writeScheduleXlsx(run, options.xlsxPath);
        if (!why.isEmpty()) {
            err << writeError(options.xlsxPath, why);
            return 1;
        }
    }
    if (!options.bookPath.isEmpty()) {
        const QString why =
            korvane::render::writeProjectBookFile(run, options.bookPath, QDate::currentDate());
        if (!why.isEmpty()) {
            err << writeError(options.bookPath, why);
            return 1;
        }
    }
    if (!options.diagramPath.isEmpty()) {
        const QString why =
            korvane::render::writeDiagramFile(run, options.diagramPath, QDate::currentDate());
        if (!why.isEmpty()) {
            err << writeError(options.diagramPath, why);
            return 1;
        }
    }
    return 0;
}

} // namespace

// Whether the command line asks for the project book or the diagram, whose plots and PDF are
// painted: that needs Qt's GUI application (its fonts), on the off-screen platform when none is
// chosen, so that no display is needed.
bool paintsBook(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--book") == 0 || std::strcmp(argv[i], "--diagram") == 0)
            return true;
    return false;
}

int main(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> qapp;
    if (paintsBook(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qapp = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        qapp = std::make_unique<QCoreApplication>(argc, argv);
    }
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString home = korvane::programHome(QCoreApplication::applicationDirPath());
    QString outDir = QDir::currentPath();
    QString scriptPath;
    ProjectOptions project;
    QString templatePath;
    QString poleTemplatePath;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if ((arg == QLatin1String("--home") || arg == QLatin1String("--out")) &&
            i + 1 < args.size()) {
            (arg == QLatin1String("--home") ? home : outDir) = args.at(++i);
        } else if ((arg == QLatin1String("--name") || arg == QLatin1String("--engineer")) &&
                   i + 1 < args.size()) {
            (arg == QLatin1String("--name") ? project.name : project.engineer) = args.at(++i);
        } else if ((arg == QLatin1String("--project") || arg == QLatin1String("--write") ||
                    arg == QLatin1String("--results") || arg == QLatin1String("--xlsx") ||
                    arg == QLatin1String("--import") || arg == QLatin1String("--template") ||
                    arg == QLatin1String("--book") || arg == QLatin1String("--supply") ||
                    arg == QLatin1String("--pole-template") ||
                    arg == QLatin1String("--pole-table") || arg == QLatin1String("--diagram")) &&
                   i + 1 < args.size()) {
            (arg == QLatin1String("--project")      ? project.path
             : arg == QLatin1String("--supply")     ? project.supplyPath
             : arg == QLatin1String("--write")      ? project.writePath
             : arg == QLatin1String("--results")    ? project.resultsPath
             : arg == QLatin1String("--xlsx")       ? project.xlsxPath
             : arg == QLatin1String("--import")     ? project.importPath
             : arg == QLatin1String("--book")       ? project.bookPath
             : arg == QLatin1String("--diagram")    ? project.diagramPath
             : arg == QLatin1String("--template")   ? templatePath
             : arg == QLatin1String("--pole-table") ? project.poleTable
                                                    : poleTemplatePath) = args.at(++i);
        } else if (arg == QLatin1String("--poles") && i + 1 < args.size()) {
            const QString given = args.at(++i);
            const qsizetype equals = given.indexOf(u'=');
            if (equals <= 0 || equals + 1 == given.size()) {
                err << "usage: --poles CIRCUIT=FILE\n";
                return 2;
            }
            project.poleLists.emplace_back(given.left(equals), given.mid(equals + 1));
        } else if (arg == QLatin1String("--size")) {
            project.size = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            out << "usage: korvane-cli [--home DIR] [--out DIR] [SCRIPT]\n"
                   "       korvane-cli [--home DIR] (--project FILE | --supply FILE) [--name "
                   "TEXT]\n"
                   "                   [--engineer TEXT] [--size] [--write FILE] [--results FILE]\n"
                   "                   [--xlsx FILE] [--import FILE] [--book FILE]\n"
                   "                   [--poles CIRCUIT=FILE]... [--pole-table CIRCUIT]\n"
                   "                   [--diagram FILE]\n"
                   "       korvane-cli --template FILE\n"
                   "       korvane-cli --pole-template FILE\n"
                   "Runs SCRIPT (standard input when absent), one user action a line, against the\n"
                   "forms of the Korvane window; message boxes are printed and answered OK.\n"
                   "  --home DIR   the program folder (Database/, A page/)\n"
                   "  --out DIR    where calculation books are written (default: the current "
                   "folder)\n"
                   "  --project FILE  compute the project FILE (.kvp) instead of a script and\n"
                   "               print its circuits' results\n"
                   "  --supply FILE   start a new project from the supply of FILE (.kvp): its\n"
                   "               supply, voltage-loss limit and installation conditions, no\n"
                   "               circuits (give them with --import), no name or engineer\n"
                   "  --name TEXT  the project's name (工程名) in what is written\n"
                   "  --engineer TEXT  the engineer (计算者) in what is written\n"
                   "  --size       with --project: choose the smallest cable section of each\n"
                   "               circuit that passes every check\n"
                   "  --write FILE with --project: save the project (with the chosen sections)\n"
                   "  --results FILE  with --project: also write the printed results\n"
                   "  --xlsx FILE  with --project: write the circuit schedule, the supply and\n"
                   "               each feeder's pole-by-pole voltages as an .xlsx workbook\n"
                   "  --import FILE  with --project: compute the circuits listed in FILE (.xlsx\n"
                   "               or .csv, the schedule's input columns) instead of the "
                   "project's\n"
                   "               own; nothing is computed when a row cannot be read\n"
                   "  --book FILE  with --project: write the project calculation book, as .docx\n"
                   "               or (by the suffix) .pdf, with each feeder's plot\n"
                   "  --poles CIRCUIT=FILE  with --project: import the pole list FILE (.xlsx or\n"
                   "               .csv, one row per pole) into the feeder CIRCUIT before\n"
                   "               computing; nothing is computed when a row cannot be read\n"
                   "  --pole-table CIRCUIT  with --project: print the pole table of the feeder\n"
                   "               CIRCUIT (tab-separated, as the book gives it) in place of the\n"
                   "               results\n"
                   "  --diagram FILE  with --project: draw the distribution system diagram\n"
                   "               (配电系统图), as .dxf, .svg or (by the suffix) .pdf\n"
                   "  --template FILE  write the circuit list template (CSV) and stop\n"
                   "  --pole-template FILE  write the pole list template (CSV) and stop\n"
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

    if (!templatePath.isEmpty()) {
        if (!scriptPath.isEmpty() || !project.path.isEmpty() || !poleTemplatePath.isEmpty()) {
            err << "usage: korvane-cli --template FILE\n";
            return 2;
        }
        const QString why = korvane::writeImportTemplateCsv(templatePath);
        if (!why.isEmpty()) {
            err << writeError(templatePath, why);
            return 1;
        }
        return 0;
    }
    if (!poleTemplatePath.isEmpty()) {
        if (!scriptPath.isEmpty() || !project.path.isEmpty() || !templatePath.isEmpty()) {
            err << "usage: korvane-cli --pole-template FILE\n";
            return 2;
        }
        const QString why = korvane::writePoleTemplateCsv(poleTemplatePath);
        if (!why.isEmpty()) {
            err << writeError(poleTemplatePath, why);
            return 1;
        }
        return 0;
    }
    if (!project.path.isEmpty() && !project.supplyPath.isEmpty()) {
        err << "usage: --project FILE and --supply FILE exclude each other\n";
        return 2;
    }
    if (!project.path.isEmpty() || !project.supplyPath.isEmpty()) {
        if (!scriptPath.isEmpty()) {
            err << "usage: korvane-cli [--home DIR] --project FILE [--size] [--write FILE] "
                   "[--results FILE]\n";
            return 2;
        }
        return runProjectFile(home, project, out, err);
    }
    if (project.size || !project.writePath.isEmpty() || !project.resultsPath.isEmpty() ||
        project.name || project.engineer) {
        err << "usage: --size, --write, --results, --name and --engineer go with --project FILE "
               "or --supply FILE\n";
        return 2;
    }
    if (!project.xlsxPath.isEmpty() || !project.importPath.isEmpty() ||
        !project.bookPath.isEmpty() || !project.diagramPath.isEmpty() ||
        !project.poleLists.empty() || !project.poleTable.isEmpty()) {
        err << "usage: --xlsx, --import, --poles, --book, --diagram and --pole-table go with "
               "--project FILE\n";
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
