// korvane-project-book-bench: the calculation book of a project of 100 circuits, half of them
// feeders of 30 to 60 lamp poles: computed, composed with each feeder's plot painted, and packed
// as .docx or painted as PDF; and composed alone, with a small fixed PNG standing in for the
// plots. Each figure is the median of several runs. Painting needs no display (off-screen).
//
//   korvane-project-book-bench [Google Benchmark options]

#include "bench_project.h"
#include "project/project_run.h"
#include "project_book/project_book.h"
#include "render/book_pictures.h"
#include "render/pdf_book.h"
#include "render/project_outputs.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

using namespace korvane;

// 100 circuits, every other one a feeder of 30 to 60 poles.
Project hundredCircuits() {
    return bench::benchProject(QStringLiteral("百回路路灯工程"), 100, 2,
                               [](int i) { return 30 + (i * 7) % 31; });
}

// A 1×1 PNG in place of the painted plot.
ProjectBookPictures fixedPicture() {
    const QByteArray png = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNkYPhfDwAChwGA60e6kgAAAABJRU5Er"
        "kJggg==");
    return [png](const ProjectCircuit& c, const CircuitResult&) {
        return std::optional(ReportPicture{png, 150.0, 80.0, c.id + QStringLiteral(" 电压分布")});
    };
}

// The figure the target (2 s) is set on: computed, composed with the plots painted, and packed.
void BM_ComputeComposeAndPack100Circuits(benchmark::State& state) {
    const Project project = hundredCircuits();
    qsizetype bytes = 0;
    for (auto _ : state) {
        ProjectRun run;
        run.project = project;
        run.results = computeProject(run.project, bench::shippedCatalogue());
        const ProjectBookPictures pictures = render::paintedFeederPlots(run);
        const std::optional<QByteArray> docx =
            projectBookDocx(run, QDate(2026, 12, 9), {project.name, {}}, pictures);
        if (!docx) {
            state.SkipWithError("the .docx package could not be built");
            break;
        }
        bytes = docx->size();
    }
    state.counters["circuits"] = double(project.circuits.size());
    state.counters["docx_kB"] = double(bytes) / 1024.0;
}
BENCHMARK(BM_ComputeComposeAndPack100Circuits)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The same book painted as PDF, as the window exports it, the plots drawn as lines and text.
void BM_ComputeComposeAndPaintPdf100Circuits(benchmark::State& state) {
    const Project project = hundredCircuits();
    qsizetype bytes = 0;
    for (auto _ : state) {
        ProjectRun run;
        run.project = project;
        run.results = computeProject(run.project, bench::shippedCatalogue());
        const render::VectorFeederPlots plots = render::vectorFeederPlots(run);
        const std::optional<ReportDocument> document =
            projectBookDocument(run, QDate(2026, 12, 9), {project.name, {}}, plots.pictures);
        if (!document) {
            state.SkipWithError("the book could not be composed");
            break;
        }
        bytes = render::renderPdfBook(*document, plots.drawer).size();
    }
    state.counters["pdf_kB"] = double(bytes) / 1024.0;
}
BENCHMARK(BM_ComputeComposeAndPaintPdf100Circuits)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The .docx book of 100, 200 and 400 feeders of 30 to 60 poles as korvane-cli --book writes it
// (composed, the plots painted, packed), from a computed run: a book linear in its circuits takes
// twice as long for twice as many.
void BM_DocxBookOfFeeders(benchmark::State& state) {
    ProjectRun run;
    run.project = bench::benchProject(QStringLiteral("路灯工程"), int(state.range(0)), 1,
                                      [](int i) { return 30 + (i * 7) % 31; });
    run.results = computeProject(run.project, bench::shippedCatalogue());
    qsizetype bytes = 0;
    for (auto _ : state) {
        const Computed<QByteArray> docx =
            render::projectBookFile(run, render::BookFormat::Docx, QDate(2026, 12, 9));
        if (!docx) {
            state.SkipWithError("the .docx book could not be built");
            break;
        }
        bytes = docx->size();
    }
    state.counters["feeders"] = double(run.project.circuits.size());
    state.counters["docx_kB"] = double(bytes) / 1024.0;
}
BENCHMARK(BM_DocxBookOfFeeders)
    ->Arg(100)
    ->Arg(200)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The book alone, composed in memory without packing, the plots not painted.
void BM_Compose100Circuits(benchmark::State& state) {
    ProjectRun run;
    run.project = hundredCircuits();
    run.results = computeProject(run.project, bench::shippedCatalogue());
    const ProjectBookPictures pictures = fixedPicture();
    for (auto _ : state)
        benchmark::DoNotOptimize(projectBookDocument(run, QDate(2026, 12, 9), {}, pictures));
}
BENCHMARK(BM_Compose100Circuits)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
