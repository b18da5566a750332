// Figures for the program's responsiveness, printed, never asserted:
//  - time from process start to the main window loaded and shown (offscreen, no splash wait),
//    the median of repeated runs of `korvane --no-splash --exit-after-load`;
//  - the headless driver's rate for a script of 10,000 "click Command1" lines (the voltage-loss
//    computation each time), the median of repeated runs.
// Run from the build tree: bin/korvane-bench [runs]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

// Wall time of one run in milliseconds, or a negative value when the program failed.
double timedRun(const QString& program, const QStringList& args, const QString& input = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    if (!input.isEmpty())
        process.setStandardInputFile(input);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1.0;
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const QString bin = QCoreApplication::applicationDirPath();

    std::vector<double> startups;
    for (int i = 0; i < runs; ++i) {
        const double ms =
            timedRun(bin + QStringLiteral("/korvane"),
                     {QStringLiteral("--no-splash"), QStringLiteral("--exit-after-load")});
        if (ms < 0) {
            std::fprintf(stderr, "korvane failed to start\n");
            return 1;
        }
        startups.push_back(ms);
    }
    std::printf("startup_to_form1_loaded_ms median=%.1f min=%.1f runs=%d\n", median(startups),
                *std::min_element(startups.begin(), startups.end()), runs);

    QTemporaryDir dir;
    const QString scriptPath = dir.filePath(QStringLiteral("clicks.kvs"));
    const int clicks = 10000;
    {
        QFile file(scriptPath);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        QTextStream script(&file);
        script << "select Combo3 50\nselect Combo4 0.85\nselect Combo7 0.38\n"
                  "set Text4 100\nset Text5 0.5\nset Text17 30\n";
        for (int i = 0; i < clicks; ++i)
            script << "click Command1\n";
    }
    const double emptyMs =
        median({timedRun(bin + QStringLiteral("/korvane-cli"), {}, QStringLiteral("/dev/null")),
                timedRun(bin + QStringLiteral("/korvane-cli"), {}, QStringLiteral("/dev/null")),
                timedRun(bin + QStringLiteral("/korvane-cli"), {}, QStringLiteral("/dev/null"))});
    std::vector<double> scriptRuns;
    for (int i = 0; i < std::max(3, runs / 3); ++i) {
        const double ms = timedRun(bin + QStringLiteral("/korvane-cli"), {scriptPath});
        if (ms < 0) {
            std::fprintf(stderr, "korvane-cli failed on the script\n");
            return 1;
        }
        scriptRuns.push_back(ms);
    }
    const double total = median(scriptRuns);
    const double linesPerSecond = clicks / ((total - emptyMs) / 1000.0);
    std::printf("cli_10000_clicks_ms median=%.1f (start-up alone %.1f ms)\n", total, emptyMs);
    std::printf("cli_click_rate lines_per_second=%.0f\n", linesPerSecond);
    return 0;
}
