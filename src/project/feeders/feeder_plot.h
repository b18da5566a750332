#pragma once

#include "project/feeders/lamp_feeder.h"

#include <QString>

#include <vector>

namespace korvane {

// A value on an axis with its text.
struct PlotTick {
    double value = 0.0;
    QString label;
};

// One axis of the plot: its title, the range it shows (minimum < maximum, always finite) and the
// ticks within that range, in increasing order.
struct PlotAxis {
    QString title;
    double minimum = 0.0;
    double maximum = 1.0;
    std::vector<PlotTick> ticks;
};

struct PlotPoint {
    double distanceM = 0.0;
    double lossPercent = 0.0;
    bool lampsOnPhase = false; // the pole's lamps are on this series' phase
};

// The Δu % of one phase along the feeder: the supply (0 m, 0 %) and then pole by pole.
struct PlotSeries {
    Phase phase = Phase::L1;
    QString name;          // "L1", as the legend writes it
    bool hasLamps = false; // some pole has its lamps on this phase
    std::vector<PlotPoint> points;
};

// A run of a branched feeder beside the plotted path: from where it leaves (the supply, or the
// pole it branches from) along its own poles, each at its distance from the supply along its own
// path and with the Δu at its lamps (on the phase its lamps are on, as the worst pole is judged).
// The trunk's poles beyond the point where the path leaves it are such a run too.
struct BranchSeries {
    QString name;                  // the run's name, "支线1", as the plot labels it
    std::vector<PlotPoint> points; // the first: where it leaves
};

// Everything the painting of a feeder's voltage loss needs, computed: texts, ranges, ticks and
// the data, so that the window and the calculation book draw the same plot.
struct FeederPlot {
    QString title;
    PlotAxis x; // distance from the supply, m
    PlotAxis y; // Δu, %
    // The three phases along the plotted path: every pole of a feeder of one cable; of a
    // branched feeder, the path from the supply through the worst pole to the end of its run.
    std::vector<PlotSeries> series;
    QString pathName; // "干线 → 支线1": the runs of that path (branched only)
    std::vector<BranchSeries> branches; // the other runs of a branched feeder
    bool showBranches = true;           // the painter draws `branches` (a window may hide them)
    bool hasLimit = false;              // a finite, positive limit was given
    double limitPercent = 0.0;
    QString limitLabel;
    bool hasWorst = false;
    PlotPoint worst; // the worst pole, on the phase of its lamps
    Phase worstPhase = Phase::L1;
    QString worstLabel;
    bool worstExceedsLimit = false;
};

// The plot of Δu % along a computed feeder, with the project's voltage-loss limit as a line. The
// distances and drops are the feeder result's own; nothing is computed again here.
FeederPlot feederPlot(const LampFeederResult& result, double limitPercent,
                      const QString& circuitId);

// Ticks of 1, 2 or 5 × 10ⁿ covering [low, high]: 4 to 8 of them from `minimum` (0, or a tick
// below a negative low) to `maximum`, the first tick strictly above high. Exposed for the tests.
PlotAxis niceValueAxis(double low, double high);
// Ticks of 1, 2 or 5 × 10ⁿ from 0 up to `length`, 4 to 8 of them; the axis ends at the length.
PlotAxis niceLengthAxis(double length);

} // namespace korvane
