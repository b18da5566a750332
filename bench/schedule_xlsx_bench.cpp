// korvane-xlsx-bench: the circuit schedule of a computed project written as an .xlsx workbook: the
// schedule sheet, the supply and a pole-by-pole sheet per feeder; 1,000 circuits (half of them
// feeders), and 5,000 feeders, whose time shows whether the writer stays linear in the sheets.

#include "bench_project.h"
#include "project/project_run.h"
#include "project_files/schedule_xlsx.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace korvane;

// 1,000 circuits: every other one a feeder of 60 lamp poles, the others a distribution box at
// the end of its line.
Project thousandCircuits() {
    return bench::benchProject(QStringLiteral("千回路路灯工程"), 1000, 2, [](int) { return 60; });
}

// The figure the target is set on: the workbook of a computed project written to a file.
void BM_WriteScheduleXlsx1000Circuits(benchmark::State& state) {
    ProjectRun run;
    run.project = thousandCircuits();
    run.results = computeProject(run.project, bench::shippedCatalogue());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("schedule.xlsx"));
    for (auto _ : state) {
        const QString why = writeScheduleXlsx(run, path);
        if (!why.isEmpty()) {
            state.SkipWithError(why.toStdString().c_str());
            break;
        }
    }
    state.counters["circuits"] = double(run.project.circuits.size());
    state.counters["file_kB"] = double(QFileInfo(path).size()) / 1024.0;
}
BENCHMARK(BM_WriteScheduleXlsx1000Circuits)->Unit(benchmark::kMillisecond);

// 1,250 to 5,000 feeders of 20 poles, each its own sheet: a writer linear in the feeders takes
// four times as long for four times as many.
void BM_WriteScheduleXlsxFeeders(benchmark::State& state) {
    ProjectRun run;
    run.project = bench::benchProject(QStringLiteral("路灯工程"), int(state.range(0)), 1,
                                      [](int) { return 20; });
    run.results = computeProject(run.project, bench::shippedCatalogue());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("schedule.xlsx"));
    for (auto _ : state) {
        const QString why = writeScheduleXlsx(run, path);
        if (!why.isEmpty()) {
            state.SkipWithError(why.toStdString().c_str());
            break;
        }
    }
    state.counters["feeders"] = double(run.project.circuits.size());
    state.counters["file_kB"] = double(QFileInfo(path).size()) / 1024.0;
}
BENCHMARK(BM_WriteScheduleXlsxFeeders)
    ->Arg(1250)
    ->Arg(2500)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
