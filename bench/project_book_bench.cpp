// korvane-project-book-bench: the calculation book of a project of 100 circuits, half of them
// feeders of 30 to 60 lamp poles: computed, composed and packed as .docx, with a small fixed PNG
// standing in for each feeder's plot. Each figure is the median of several runs.
//
//   korvane-project-book-bench [Google Benchmark options]

#include "project/project_book.h"
#include "project/project_run.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

using namespace korvane;

Project hundredCircuits() {
    Project project;
    project.name = QStringLiteral("百回路路灯工程");
    project.supply.systemCapacityMva = 100.0;
    project.supply.transformer = {QStringLiteral("S11-M"), 400.0, 4.0, 4.3, QStringLiteral("10")};
    project.supply.busbar = {
        QStringLiteral("铜母线TMY"), QStringLiteral("4(100X10)"), {0.025, 0.15, 0.05, 0.3}, 5.0};
    for (int i = 0; i < 100; ++i) {
        ProjectCircuit c;
        c.id = QStringLiteral("WL%1").arg(i + 1);
        c.description = QStringLiteral("第%1回路").arg(i + 1);
        c.line.cable = {QStringLiteral("交联聚乙烯绝缘电力电缆(0.6/1kV)"),
                        QStringLiteral("YJV 四芯 铜芯"), QStringLiteral("16")};
        c.line.resistanceOhmPerKm = 1.466;
        c.line.reactanceOhmPerKm = 0.086;
        c.line.perMetreMilliOhm = {1.097, 0.082, 3.291, 0.164};
        c.line.neutralResistanceMilliOhmPerM = 1.097;
        c.line.neutralReactanceMilliOhmPerM = 0.082;
        c.protection = {143.0, 0.1, 26.0, 0.0, ProtectionMode::EarthFault};
        if (i % 2 == 0) {
            LampFeeder lamps;
            lamps.poles = 30 + (i * 7) % 31;
            lamps.lampPowerW = 40.0 + 10.0 * (i % 8);
            lamps.lampPowerFactor = 0.95;
            lamps.spacingM = 25.0 + (i % 4) * 5.0;
            lamps.firstPoleM = 30.0;
            lamps.connection =
                i % 4 ? FeederConnection::PhasesInTurn : FeederConnection::SinglePhase;
            c.load = lamps;
        } else {
            c.protection.loadCurrentA = 20.0 + i % 40;
            VoltageLossInput v;
            v.lineKind = line_kind::kThreePhase;
            v.loadCase = load_case::kEndCurrent;
            v.voltageKv = {0.38, 0.38};
            v.powerFactor = 0.9;
            v.endCurrentA = c.protection.loadCurrentA;
            v.endLengthKm = 0.05 + 0.01 * (i % 50);
            c.load = LoadCaseLoad{v};
        }
        project.circuits.push_back(c);
    }
    return project;
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

// The figure the target (2 s) is set on: computed, composed and packed.
void BM_ComputeComposeAndPack100Circuits(benchmark::State& state) {
    const Project project = hundredCircuits();
    const ProjectBookPictures pictures = fixedPicture();
    qsizetype bytes = 0;
    for (auto _ : state) {
        ProjectRun run;
        run.project = project;
        run.results = computeProject(run.project);
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

// The book alone, composed in memory without packing.
void BM_Compose100Circuits(benchmark::State& state) {
    ProjectRun run;
    run.project = hundredCircuits();
    run.results = computeProject(run.project);
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
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
