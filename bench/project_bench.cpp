// korvane-project-bench: a project of 1,000 circuits, each a feeder of 60 lamp poles, read from
// its file, computed and sized against the shipped cable database; the same number of feeders
// with two branches each, computed and sized; and the lamp-pole walk alone, short feeders
// against long ones.

#include "bench_project.h"
#include "db/database.h"
#include "project/feeders/lamp_feeder.h"
#include "project/project_run.h"
#include "project_files/project_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>

#include <benchmark/benchmark.h>

namespace {

using namespace korvane;

Project thousandFeeders() {
    return bench::benchProject(QStringLiteral("千回路路灯工程"), 1000, 1, [](int) { return 60; });
}

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("bench.kvp"));
    CableCatalogue catalogue;
    size_t circuits = 0;
    Fixture() {
        const Project project = thousandFeeders();
        circuits = project.circuits.size();
        saveProject(project, path);
        Database db(
            QDir(QStringLiteral(KORVANE_HOME)).filePath(QStringLiteral("Database/JhxlDlxlss.db")));
        db.open(QStringLiteral("AAA"));
        catalogue = loadCableCatalogue(db).valueOr({});
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// The figure the target is set on: the file read, every circuit computed and sized.
void BM_OpenComputeAndSize1000Feeders(benchmark::State& state) {
    Fixture& f = fixture();
    size_t sized = 0;
    for (auto _ : state) {
        const ProjectReading reading = openProject(f.path);
        const ProjectRun run = runProject(reading.project, f.catalogue, true);
        sized = std::count_if(
            run.sizing.begin(), run.sizing.end(),
            [](const std::optional<SizingResult>& s) { return s && s->chosen.has_value(); });
        benchmark::DoNotOptimize(run);
    }
    state.counters["circuits"] = double(f.circuits);
    state.counters["circuits_sized"] = double(sized);
    state.counters["cable_rows"] = double(f.catalogue.rows.size());
}
BENCHMARK(BM_OpenComputeAndSize1000Feeders)->Unit(benchmark::kMillisecond);

void BM_Compute1000Feeders(benchmark::State& state) {
    const Project project = thousandFeeders();
    for (auto _ : state)
        benchmark::DoNotOptimize(computeProject(project, bench::shippedCatalogue()));
}
BENCHMARK(BM_Compute1000Feeders)->Unit(benchmark::kMillisecond);

// 1,000 feeders of 60 poles with two branches each (bench::branchedFeederProject), computed and
// sized: every run's section chosen together, the least copper that passes.
void BM_ComputeAndSize1000BranchedFeeders(benchmark::State& state) {
    const Project project =
        bench::branchedFeederProject(QStringLiteral("千回路分支路灯工程"), 1000);
    size_t sized = 0;
    double combinations = 0;
    for (auto _ : state) {
        const ProjectRun run = runProject(project, bench::shippedCatalogue(), true);
        sized = std::count_if(
            run.sizing.begin(), run.sizing.end(),
            [](const std::optional<SizingResult>& s) { return s && s->chosen.has_value(); });
        combinations = 0;
        for (const auto& s : run.sizing)
            combinations += s ? s->combinationsTried : 0;
        benchmark::DoNotOptimize(run);
    }
    state.counters["circuits"] = double(project.circuits.size());
    state.counters["circuits_sized"] = double(sized);
    state.counters["combinations"] = combinations;
}
BENCHMARK(BM_ComputeAndSize1000BranchedFeeders)->Unit(benchmark::kMillisecond);

void BM_Compute1000BranchedFeeders(benchmark::State& state) {
    const Project project =
        bench::branchedFeederProject(QStringLiteral("千回路分支路灯工程"), 1000);
    for (auto _ : state)
        benchmark::DoNotOptimize(computeProject(project, bench::shippedCatalogue()));
}
BENCHMARK(BM_Compute1000BranchedFeeders)->Unit(benchmark::kMillisecond);

// The pole-by-pole walk alone: feeders × poles at one total of poles, 1,000 feeders of 60 and 10
// of 6,000. The walk is one pass over the poles, so both take about the same time; a loop over
// pole pairs would make the long feeders a hundred times slower.
void BM_LampFeeders(benchmark::State& state) {
    const int feeders = int(state.range(0));
    LampFeeder f;
    f.poles = int(state.range(1));
    f.lampPowerW = 150.0;
    f.lampPowerFactor = 0.9;
    f.ballastFactor = 1.2;
    f.spacingM = 30.0;
    f.firstPoleM = 40.0;
    f.connection = FeederConnection::PhasesInTurn;
    const FeederConductors cable{0.727, 0.08, 0.727, 0.08};
    for (auto _ : state) {
        double sink = 0.0;
        for (int i = 0; i < feeders; ++i)
            sink += computeLampFeeder(f, cable)->worstLossPercent;
        benchmark::DoNotOptimize(sink);
    }
    state.counters["poles"] = double(feeders) * f.poles;
}
BENCHMARK(BM_LampFeeders)->Args({1000, 60})->Args({10, 6000})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
