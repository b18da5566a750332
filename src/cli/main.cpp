// korvane-cli: runs a script of user actions against the same forms the window shows.
//   korvane-cli [--home DIR] [--out DIR] [SCRIPT]
//   korvane-cli --help | --version

#include "app/application.h"
#include "app/program_home.h"
#include "app/script_runner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString home = korvane::programHome(QCoreApplication::applicationDirPath());
    QString outDir = QDir::currentPath();
    QString scriptPath;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if ((arg == QLatin1String("--home") || arg == QLatin1String("--out")) &&
            i + 1 < args.size()) {
            (arg == QLatin1String("--home") ? home : outDir) = args.at(++i);
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            out << "usage: korvane-cli [--home DIR] [--out DIR] [SCRIPT]\n"
                   "Runs SCRIPT (standard input when absent), one user action a line, against the\n"
                   "forms of the Korvane window; message boxes are printed and answered OK.\n"
                   "  --home DIR   the program folder (Database/, A page/)\n"
                   "  --out DIR    where calculation books are written (default: the current "
                   "folder)\n"
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
