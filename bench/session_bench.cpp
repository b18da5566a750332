// korvane-session-bench: the circuit schedule's session on a project of 1,000 lamp-pole feeders
// of 60 poles. One cell edit, from setCell to the change signal the schedule's model redraws on,
// beside a full recompute of the same project (what every edit cost when each recomputed all)
// and the project written as its file (what every edit cost to tell whether it was modified).

#include "app/application.h"
#include "app/project_session.h"
#include "bench_project.h"
#include "project/inputs/schedule_columns.h"
#include "project_files/project_file.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

namespace {

using namespace korvane;
using Clock = std::chrono::steady_clock;

// Message boxes are counted, not shown: a benchmark that raises one has gone wrong.
class QuietPlatform : public Platform {
public:
    void messageBox(MessageIcon, const QString&, const QString&) override { ++messages; }
    void endProgram(int) override {}
    bool openDocument(const QString&) override { return false; }
    int messages = 0;
};

struct Fixture {
    QuietPlatform platform;
    Application app{platform, QStringLiteral(KORVANE_HOME)};
    QTemporaryDir dir;
    std::unique_ptr<ProjectSession> session;
    int spacingColumn = -1;
    Fixture() {
        const QString path = dir.filePath(QStringLiteral("bench.kvp"));
        saveProject(
            bench::benchProject(QStringLiteral("千回路路灯工程"), 1000, 1, [](int) { return 60; }),
            path);
        session = std::make_unique<ProjectSession>(app);
        session->open(path);
        for (int c = 0; c < session->schedule().inputColumnCount(); ++c)
            if (session->schedule().columnHeader(c) == scheduleHeader(ScheduleColumn::SpacingM))
                spacingColumn = c;
    }
    // The circuits whose every check was made: a bench of uncomputed rows would time nothing.
    int computed() const {
        int n = 0;
        for (const CircuitResult& r : session->state().run().results)
            n += r.inputProblems.isEmpty() && r.feeder ? 1 : 0;
        return n;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// The spacing of the middle feeder typed anew, 30 and 35 m in turn, timed until the session
// announces the row's new cells (DataChanged), results included.
void BM_EditOneCellOf1000Feeders(benchmark::State& state) {
    Fixture& f = fixture();
    ProjectSession& s = *f.session;
    const int row = s.state().rowCount() / 2;
    Clock::time_point start;
    Clock::time_point announced;
    bool heard = false;
    const int id = s.state().scheduleChanged.connect([&](const ScheduleChange& change) {
        if (change.kind == ScheduleChange::Kind::DataChanged && change.first == row &&
            change.last == row) {
            announced = Clock::now();
            heard = true;
        }
    });
    for (auto _ : state) {
        // Always another value than the cell holds: the same value again changes nothing.
        const bool wide = s.schedule().cell(row, f.spacingColumn).text != QStringLiteral("35");
        heard = false;
        start = Clock::now();
        const auto refused = s.schedule().setCell(
            row, f.spacingColumn, wide ? QStringLiteral("35") : QStringLiteral("30"));
        if (refused || !heard) {
            const std::string why = refused ? refused->toStdString() : "not announced";
            state.SkipWithError(why.c_str());
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(announced - start).count());
    }
    s.state().scheduleChanged.disconnect(id);
    state.counters["circuits"] = double(s.state().rowCount());
    state.counters["computed"] = double(f.computed());
    state.counters["messages"] = double(f.platform.messages);
}
BENCHMARK(BM_EditOneCellOf1000Feeders)->UseManualTime()->Unit(benchmark::kMillisecond);

// Every circuit of the same project computed against the cable database at once, into a run kept
// from one time to the next as the session keeps its own (a run freed whole every time adds the
// cost of returning its memory and taking it again).
void BM_FullRecomputeOf1000Feeders(benchmark::State& state) {
    Fixture& f = fixture();
    const Project& project = f.session->state().project();
    const CableCatalogue& cables = f.session->state().cables();
    ProjectRun run;
    for (auto _ : state) {
        run = runProject(project, cables, false);
        benchmark::DoNotOptimize(run);
    }
    state.counters["circuits"] = double(project.circuits.size());
}
BENCHMARK(BM_FullRecomputeOf1000Feeders)->Unit(benchmark::kMillisecond);

// The project written as its file holds it: what telling "modified" cost after every edit when
// it compared the whole file with the one saved.
void BM_SerialiseProjectOf1000Feeders(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(projectToJson(f.session->state().project()));
}
BENCHMARK(BM_SerialiseProjectOf1000Feeders)->Unit(benchmark::kMillisecond);

// A supply field typed anew: the one edit that recomputes every circuit, through the session.
void BM_EditTheSupplyOf1000Feeders(benchmark::State& state) {
    Fixture& f = fixture();
    ProjectSession& s = *f.session;
    for (auto _ : state) {
        const bool longer =
            s.supply().supplyField(int(SupplyFieldId::BusbarLength)).text != QStringLiteral("6");
        if (s.supply().setSupplyField(int(SupplyFieldId::BusbarLength),
                                      longer ? QStringLiteral("6") : QStringLiteral("5"))) {
            state.SkipWithError("the supply edit was refused");
            break;
        }
    }
    state.counters["circuits"] = double(s.state().rowCount());
    state.counters["computed"] = double(f.computed());
}
BENCHMARK(BM_EditTheSupplyOf1000Feeders)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
