// korvane-books-bench: how long writing each calculation book takes, printed as figures.
//
// Two figures per book: the whole click of "Word计算书" as the window runs it (read the page, build
// the document, pack the .docx, write the file, hand it to the desktop), and the document alone
// (built and packed in memory). Each is repeated many times; the median is the figure to quote.
//
//   korvane-books-bench [--benchmark_repetitions=N] [Google Benchmark options]

#include "app/application.h"
#include "form/form.h"
#include "reports/docx_writer.h"
#include "reports/short_circuit_book.h"
#include "reports/voltage_loss_book.h"
#include "short_circuit/short_circuit_action.h"
#include "voltage_loss/voltage_loss_action.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace korvane;

// Records what the window would show or open; the clock stands still, so every book of a run
// has the same name and the last one is removed before the next is written.
class QuietPlatform : public Platform {
public:
    void messageBox(MessageIcon, const QString&, const QString&) override { ++messages; }
    void endProgram(int) override {}
    bool openDocument(const QString& path) override {
        lastDocument = path;
        return true;
    }
    QDateTime now() const override { return {QDate(2026, 12, 8), QTime(9, 30, 15)}; }

    QString lastDocument;
    int messages = 0;
};

// The program over the build's own folder, both pages filled as in the worked examples.
struct Program {
    Program() : app(platform, QStringLiteral(KORVANE_HOME)) {
        app.startWithoutSplash();
        app.setBooksFolder(folder.path());
        Form& form = app.mainForm();
        const std::pair<const char*, const char*> lists[] = {
            {"Combo5", "三相平衡负荷线路"},
            {"Combo6", "(1)终段负荷用电流矩(A.km)"},
            {"Combo1", "聚氯乙烯绝缘电力电缆(0.6/1kV)"},
            {"Combo2", "VV 四芯 铜芯"},
            {"Combo3", "50"},
            {"Combo7", "0.38"},
            {"Combo4", "0.85"},
            {"Combo8", "70"},
            {"Combo9", "30"},
            {"Combo18", "100"},
        };
        for (const auto& [name, text] : lists)
            form.combo(QString::fromUtf8(name)).setText(QString::fromUtf8(text));
        const std::pair<const char*, const char*> fields[] = {
            {"Text1", "0.387"}, {"Text2", "0.08"},  {"Text4", "100"},  {"Text5", "0.5"},
            {"Text55", "4"},    {"Text56", "4.3"},  {"Text57", "400"}, {"Text58", "0.025"},
            {"Text59", "0.15"}, {"Text60", "0.05"}, {"Text61", "0.3"}, {"Text62", "5"},
            {"Text40", "0.3"},  {"Text41", "0.08"}, {"Text46", "0.9"}, {"Text47", "0.16"},
            {"Text49", "0.6"},  {"Text50", "0.15"}, {"Text48", "0.1"},
        };
        for (const auto& [name, text] : fields)
            form.text(QString::fromUtf8(name)).setText(QString::fromUtf8(text));
    }

    QuietPlatform platform;
    QTemporaryDir folder;
    Application app;
};

// Made in main() after the Qt application and gone before it.
std::unique_ptr<Program> theProgram;

Program& program() {
    return *theProgram;
}

void click(benchmark::State& state, const char* button) {
    Program& p = program();
    CommandButton& command = p.app.mainForm().button(QString::fromLatin1(button));
    for (auto _ : state) {
        command.raise(Event::Click);
        state.PauseTiming();
        if (p.platform.lastDocument.isEmpty() || !QFile::remove(p.platform.lastDocument))
            state.SkipWithError("no book was written");
        p.platform.lastDocument.clear();
        state.ResumeTiming();
    }
    if (p.platform.messages != 0)
        state.SkipWithError("the window reported a failure");
}

void BM_VoltageLossBookClick(benchmark::State& state) {
    click(state, "Command2");
}

void BM_ShortCircuitBookClick(benchmark::State& state) {
    click(state, "Command21");
}

void BM_VoltageLossBookInMemory(benchmark::State& state) {
    const Form& form = program().app.mainForm();
    const VoltageLossBookPage page = readVoltageLossBookPage(form);
    const VoltageLossInput input = readVoltageLossInput(form);
    for (auto _ : state) {
        DocxReportWriter writer;
        writeVoltageLossBook(writer, page, input, QDate(2026, 12, 8));
        benchmark::DoNotOptimize(writer.package());
    }
}

void BM_ShortCircuitBookInMemory(benchmark::State& state) {
    const Form& form = program().app.mainForm();
    const ShortCircuitBookPage page = readShortCircuitBookPage(form);
    const Computed<ShortCircuitResult> chain = computeShortCircuit(*readShortCircuitInput(form));
    for (auto _ : state) {
        DocxReportWriter writer;
        writeShortCircuitBook(writer, page, chain, QDate(2026, 12, 8));
        benchmark::DoNotOptimize(writer.package());
    }
}

constexpr int kRepetitions = 30;

BENCHMARK(BM_VoltageLossBookClick)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ShortCircuitBookClick)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_VoltageLossBookInMemory)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ShortCircuitBookInMemory)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv); // the database driver needs one
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    theProgram = std::make_unique<Program>();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theProgram.reset();
    return 0;
}
