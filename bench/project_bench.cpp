// korvane-project-bench: a project of 1,000 circuits, each a feeder of 60 lamp poles, read from
// its file, computed and sized against the shipped cable database.

#include "db/database.h"
#include "project/project_file.h"
#include "project/project_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>

#include <benchmark/benchmark.h>

namespace {

using namespace korvane;

Project thousandFeeders() {
    Project project;
    project.name = QStringLiteral("千回路路灯工程");
    project.supply.systemCapacityMva = 100.0;
    project.supply.transformer = {QStringLiteral("S11-M"), 400.0, 4.0, 4.3, QStringLiteral("10")};
    project.supply.busbar = {
        QStringLiteral("铜母线TMY"), QStringLiteral("4(100X10)"), {0.025, 0.15, 0.05, 0.3}, 5.0};
    for (int i = 0; i < 1000; ++i) {
        ProjectCircuit c;
        c.id = QStringLiteral("WL%1").arg(i + 1);
        c.line.cable = {QStringLiteral("交联聚乙烯绝缘电力电缆(0.6/1kV)"),
                        QStringLiteral("YJV 四芯 铜芯"), QStringLiteral("16")};
        c.line.resistanceOhmPerKm = 1.466;
        c.line.reactanceOhmPerKm = 0.086;
        c.line.perMetreMilliOhm = {1.097, 0.082, 3.291, 0.164};
        c.line.neutralResistanceMilliOhmPerM = 1.097;
        c.line.neutralReactanceMilliOhmPerM = 0.082;
        c.protection = {143.0, 0.1, 26.0, 0.0, ProtectionMode::EarthFault};
        LampFeeder lamps;
        lamps.poles = 60;
        lamps.lampPowerW = 40.0 + 10.0 * (i % 8);
        lamps.lampPowerFactor = 0.95;
        lamps.spacingM = 25.0 + (i % 4) * 5.0;
        lamps.firstPoleM = 30.0;
        lamps.connection = i % 2 ? FeederConnection::PhasesInTurn : FeederConnection::SinglePhase;
        c.load = lamps;
        project.circuits.push_back(c);
    }
    return project;
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
        sized = std::count_if(run.sizing.begin(), run.sizing.end(),
                              [](const SizingResult& s) { return s.chosen.has_value(); });
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
