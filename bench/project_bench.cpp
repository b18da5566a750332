// korvane-project-bench: a project of 1,000 circuits, each a feeder of 60 lamp poles, read from
// its file, computed and sized against the shipped cable database.

#include "bench_project.h"
#include "db/database.h"
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
        benchmark::DoNotOptimize(computeProject(project));
}
BENCHMARK(BM_Compute1000Feeders)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
