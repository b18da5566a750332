// korvane-xlsx-bench: the circuit schedule of a computed project of 1,000 circuits written as an
// .xlsx workbook: the schedule sheet, the supply and a pole-by-pole sheet per feeder.

#include "project/project_run.h"
#include "project/schedule_xlsx.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace korvane;

// 1,000 circuits on 16 mm² YJV copper: every other one a feeder of 60 lamp poles, the others a
// distribution box at the end of its line.
Project thousandCircuits() {
    Project project;
    project.name = QStringLiteral("千回路路灯工程");
    project.supply.systemCapacityMva = 100.0;
    project.supply.transformer = {QStringLiteral("S11-M"), 400.0, 4.0, 4.3, QStringLiteral("10")};
    project.supply.busbar = {
        QStringLiteral("铜母线TMY"), QStringLiteral("4(100X10)"), {0.025, 0.15, 0.05, 0.3}, 5.0};
    for (int i = 0; i < 1000; ++i) {
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
            lamps.poles = 60;
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

// The figure the target is set on: the workbook of a computed project written to a file.
void BM_WriteScheduleXlsx1000Circuits(benchmark::State& state) {
    ProjectRun run;
    run.project = thousandCircuits();
    run.results = computeProject(run.project);
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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
