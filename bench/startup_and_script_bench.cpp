// Figures for the program's responsiveness, printed, never asserted:
//  - time from process start to the main window loaded and shown (offscreen, no splash wait),
//    the median of repeated runs of `korvane --no-splash --exit-after-load`, against a bare Qt
//    window with four tabs (korvane-bare-window) started alternately in the same run, and the
//    ratio of the two;
//  - the load of an information file of 20,000 lines, headless and with the window drawn;
//  - the headless driver's rate for a script of 10,000 "click Command1" lines (the voltage-loss
//    computation each time), the median of repeated runs.
// Run from the build tree: bin/korvane-bench [runs]

#include "app/application.h"
#include "app/information_file.h"
#include "gui/view_manager.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <memory>
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

class QuietPlatform : public korvane::Platform {
public:
    void messageBox(korvane::MessageIcon, const QString&, const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    void endProgram(int) override {}
    bool openDocument(const QString&) override { return true; }
};

// A program folder with the build's databases and an information file of `lines` lines.
bool makeHome(const QString& home, const QString& bin, int lines) {
    QDir().mkpath(home + QStringLiteral("/Database"));
    QDir().mkpath(home + QStringLiteral("/A page"));
    const QDir databases(bin + QStringLiteral("/Database"));
    for (const QString& name : databases.entryList(QDir::Files)) {
        if (!QFile::copy(databases.filePath(name), home + QStringLiteral("/Database/") + name))
            return false;
    }
    QFile file(home + QLatin1Char('/') + QString::fromLatin1(korvane::kInformationFile));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream text(&file);
    for (int i = 1; i <= lines; ++i)
        text << QStringLiteral("第%1行：路灯配电线路的电压损失、短路电流与保护校验。\r\n").arg(i);
    return true;
}

// Milliseconds from the start of loading the main window to its information text in place
// (and, with a window, drawn), or a negative value when the text did not arrive.
double timedLoad(const QString& home, bool window, qsizetype expectedLength) {
    QuietPlatform platform;
    korvane::Application program(platform, home);
    std::unique_ptr<korvane::gui::ViewManager> views;
    if (window)
        views = std::make_unique<korvane::gui::ViewManager>(program);
    QElapsedTimer timer;
    timer.start();
    program.startWithoutSplash();
    QCoreApplication::processEvents();
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    const auto& box = program.mainForm().get<korvane::RichTextBox>(QStringLiteral("RichTextBox1"));
    return box.text().size() == expectedLength ? ms : -1.0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const QString bin = QCoreApplication::applicationDirPath();

    // The two windows take turns, so a change of the machine's load weighs on both alike.
    std::vector<double> startups;
    std::vector<double> bare;
    for (int i = 0; i < runs; ++i) {
        const double ms =
            timedRun(bin + QStringLiteral("/korvane"),
                     {QStringLiteral("--no-splash"), QStringLiteral("--exit-after-load")});
        const double bareMs = timedRun(bin + QStringLiteral("/korvane-bare-window"), {});
        if (ms < 0 || bareMs < 0) {
            std::fprintf(stderr, "korvane or korvane-bare-window failed to start\n");
            return 1;
        }
        startups.push_back(ms);
        bare.push_back(bareMs);
    }
    std::printf("startup_to_form1_loaded_ms median=%.1f min=%.1f runs=%d\n", median(startups),
                *std::min_element(startups.begin(), startups.end()), runs);
    std::printf("bare_qt_window_4_tabs_ms median=%.1f min=%.1f runs=%d\n", median(bare),
                *std::min_element(bare.begin(), bare.end()), runs);
    std::printf("startup_ratio_to_bare_window median=%.2f\n", median(startups) / median(bare));

    {
        QTemporaryDir longHome;
        const int lines = 20000;
        if (!makeHome(longHome.path(), bin, lines)) {
            std::fprintf(stderr, "cannot write the program folder with a long information file\n");
            return 1;
        }
        const auto written = korvane::readInformationLines(
            longHome.filePath(QString::fromLatin1(korvane::kInformationFile)));
        qsizetype length = 0;
        for (const QString& line : written.value_or(QStringList()))
            length += line.size() + 2;
        for (const bool window : {false, true}) {
            std::vector<double> loads;
            for (int i = 0; i < 3; ++i) {
                const double ms = timedLoad(longHome.path(), window, length);
                if (ms < 0) {
                    std::fprintf(stderr, "the long information file did not load\n");
                    return 1;
                }
                loads.push_back(ms);
            }
            std::printf("information_file_%d_lines_%s_ms median=%.1f\n", lines,
                        window ? "window" : "headless", median(loads));
        }
    }

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
