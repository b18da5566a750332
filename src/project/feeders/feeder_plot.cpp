#include "project/feeders/feeder_plot.h"

#include "project/project_compute.h"

#include "base/number_format.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>

namespace korvane {

namespace {

// Ranges are kept within these magnitudes, so that a tick step and the ticks themselves stay
// finite doubles and a span too small to divide is shown as no span at all.
constexpr double kLargest = 1e300;
constexpr double kSmallestSpan = 1e-9;
constexpr int kMaxTicks = 8;
constexpr std::array<int, 3> kMantissas = {1, 2, 5};

// A plot's numbers: the user's decimal sign, without grouping (a tick of 1200 m stays one number
// in the narrow space under the axis).
RegionalFormat plotFormat() {
    RegionalFormat f = regionalFormat();
    f.groupSign = QChar();
    f.groupSize = 0;
    return f;
}

double finiteOr(double value, double otherwise) {
    return std::isfinite(value) ? value : otherwise;
}

// A step of mantissa × 10^exponent.
struct Step {
    int mantissa = 1;
    int exponent = 0;

    double value() const { return times(1); }
    // count × step, rounded once: 3 × 0.1 gives the double nearest 0.3.
    double times(double count) const {
        return exponent >= 0 ? count * mantissa * std::pow(10.0, exponent)
                             : count * mantissa / std::pow(10.0, -exponent);
    }
    int decimals() const { return exponent < 0 ? -exponent : 0; }
};

// The first step of the 1-2-5 sequence that is certainly too fine for a span: a tenth of its
// order of magnitude or less, so more than `kMaxTicks` ticks. The steps after it grow by at most
// 2.5 times, so the first one giving no more than 8 ticks still gives at least 4.
Step finestStep(double span) {
    return Step{1, static_cast<int>(std::floor(std::log10(span))) - 1};
}

Step coarser(Step step) {
    if (step.mantissa == 1)
        return {2, step.exponent};
    if (step.mantissa == 2)
        return {5, step.exponent};
    return {1, step.exponent + 1};
}

QString tickLabel(double value, const Step& step) {
    // Fixed decimals as the step needs them ("0.5", "1.0", "1.5"); the exponent form only where
    // fixed-point digits would run to a line of their own.
    if (std::abs(value) < 1e15)
        return formatFixed(value, step.decimals(), plotFormat());
    return formatGeneral(value, plotFormat());
}

} // namespace

PlotAxis niceValueAxis(double low, double high) {
    low = std::clamp(std::min(finiteOr(low, 0.0), 0.0), -kLargest, 0.0);
    high = std::clamp(std::max(finiteOr(high, 0.0), 0.0), 0.0, kLargest);
    if (high - low < kSmallestSpan) {
        // Nothing to scale to (every value zero): a unit range above zero.
        low = 0.0;
        high = 1.0;
    }

    Step step = finestStep(high - low);
    double bottom = 0.0;
    double top = 0.0;
    for (;;) {
        const double s = step.value();
        double kLow = 0.0;
        if (low < 0.0) {
            kLow = std::floor(low / s);
            if (step.times(kLow) >= low)
                kLow -= 1.0;
        }
        double kHigh = std::floor(high / s) + 1.0;
        if (step.times(kHigh) <= high)
            kHigh += 1.0;
        if (kHigh - kLow + 1.0 <= kMaxTicks) {
            bottom = kLow;
            top = kHigh;
            break;
        }
        step = coarser(step);
    }

    PlotAxis axis;
    axis.minimum = step.times(bottom);
    axis.maximum = step.times(top);
    for (double k = bottom; k <= top; k += 1.0) {
        const double value = step.times(k);
        axis.ticks.push_back({value, tickLabel(value, step)});
    }
    return axis;
}

PlotAxis niceLengthAxis(double length) {
    length = finiteOr(length, 0.0);
    if (length < kSmallestSpan)
        length = 1.0; // a feeder of one pole at the supply: a metre to stand it in
    length = std::min(length, kLargest);

    // A tick that lies on the end within rounding (0.3 m with steps of 0.1 m) counts.
    constexpr double kOnTheEnd = 1.0 + 1e-9;
    Step step = finestStep(length);
    double count = 0.0;
    for (;;) {
        count = std::floor(length / step.value() * kOnTheEnd) + 1.0;
        if (count <= kMaxTicks)
            break;
        step = coarser(step);
    }

    PlotAxis axis;
    axis.minimum = 0.0;
    axis.maximum = length;
    for (double k = 0.0; k < count; k += 1.0) {
        const double value = std::min(step.times(k), length);
        axis.ticks.push_back({value, tickLabel(value, step)});
    }
    return axis;
}

namespace {

// The index of a result's worst pole, -1 when it names none.
int worstIndex(const LampFeederResult& result) {
    for (std::size_t i = 0; i < result.poles.size(); ++i)
        if (result.poles[i].pole == result.worstPole)
            return static_cast<int>(i);
    return -1;
}

// The run whose poles include the index, -1 for none.
int runOf(const LampFeederResult& result, int pole) {
    for (std::size_t r = 0; r < result.runs.size(); ++r) {
        const RunResult& run = result.runs[r];
        if (pole >= run.firstPole && pole < run.firstPole + run.poleCount)
            return static_cast<int>(r);
    }
    return -1;
}

// The poles plotted as the phase curves, in order from the supply. A feeder of one cable: all of
// them. A branched one: the pole chain from the supply to the worst pole (each pole's parent),
// then the rest of the worst pole's run, so that the path ends where its cable ends; without a
// worst pole, the trunk. A parent chain that loops or leaves the poles ends the walk.
std::vector<int> plottedPath(const LampFeederResult& result) {
    const int count = static_cast<int>(result.poles.size());
    std::vector<int> path;
    if (result.runs.size() <= 1) {
        for (int i = 0; i < count; ++i)
            path.push_back(i);
        return path;
    }
    int end = worstIndex(result);
    int run = end >= 0 ? runOf(result, end) : -1;
    if (run < 0) {
        run = 0;
        end = result.runs[0].poleCount > 0 ? result.runs[0].firstPole : -1;
    }
    for (int i = end; i >= 0 && i < count && int(path.size()) <= count;
         i = result.poles[static_cast<std::size_t>(i)].parent)
        path.push_back(i);
    std::reverse(path.begin(), path.end());
    const RunResult& last = result.runs[static_cast<std::size_t>(run)];
    for (int i = std::max(end + 1, last.firstPole);
         i < std::min(count, last.firstPole + last.poleCount); ++i)
        path.push_back(i);
    return path;
}

// A pole as the plot names it: "第3杆" by its place where it has no number of its own (the
// equal feeder's poles are numbered by their places), "杆N12" by its number otherwise.
QString poleName(const PoleDrop& pole) {
    const QString id = pole.id.trimmed();
    if (id.isEmpty() || id == QString::number(pole.pole))
        return QStringLiteral("第%1杆").arg(pole.pole);
    return QStringLiteral("杆") + id;
}

} // namespace

FeederPlot feederPlot(const LampFeederResult& result, double limitPercent,
                      const QString& circuitId) {
    FeederPlot plot;
    const QString caption = QStringLiteral("各灯杆处电压损失");
    const QString id = circuitId.trimmed();
    plot.title = id.isEmpty() ? caption : id + u' ' + caption;

    // Every phase is plotted. Each pole of the result carries the drop of all three L–N voltages;
    // on a single-phase feeder the two phases without lamps still move with the neutral's shift
    // (down or even up), which is what a lamp connected there would see, so the curves show it.
    // Those phases are marked as having no lamps: the painter draws them lighter, and the worst
    // pole is only ever judged on the phase of its lamps. A pole whose distance or Δu is not a
    // number is left out rather than drawn at a made-up place.
    const bool branched = result.runs.size() > 1;
    const std::vector<int> path = plottedPath(result);
    double lowest = 0.0;
    double highest = 0.0;
    // A branched feeder's total length is that of all its cable, not a distance from the supply.
    double farthest = branched ? 0.0 : finiteOr(result.totalLengthM, 0.0);
    for (int k = 0; k < 3; ++k) {
        PlotSeries series;
        series.phase = static_cast<Phase>(k);
        series.name = QStringLiteral("L%1").arg(k + 1);
        series.points.push_back({0.0, 0.0, false});
        for (const int i : path) {
            const PoleDrop& pole = result.poles[static_cast<std::size_t>(i)];
            const bool lamps = pole.phase == series.phase;
            series.hasLamps = series.hasLamps || lamps;
            const double loss = pole.lossPercent[static_cast<std::size_t>(k)];
            if (!std::isfinite(pole.distanceM) || !std::isfinite(loss))
                continue;
            series.points.push_back({pole.distanceM, loss, lamps});
            lowest = std::min(lowest, loss);
            highest = std::max(highest, loss);
            farthest = std::max(farthest, pole.distanceM);
        }
        plot.series.push_back(std::move(series));
    }

    if (branched) {
        // The runs of the path by name, and every run with poles off it as a line of its own,
        // from the pole before its first pole off the path (the supply for none).
        std::vector<bool> onPath(result.poles.size(), false);
        for (const int i : path)
            onPath[static_cast<std::size_t>(i)] = true;
        QStringList names;
        for (const int i : path) {
            const int run = runOf(result, i);
            const QString name =
                run >= 0 ? result.runs[static_cast<std::size_t>(run)].name : QString();
            if (!name.isEmpty() && (names.isEmpty() || names.back() != name))
                names << name;
        }
        plot.pathName = names.join(QStringLiteral(" → "));
        auto atLamps = [](const PoleDrop& pole) {
            return PlotPoint{pole.distanceM, pole.lossPercent[static_cast<std::size_t>(pole.phase)],
                             true};
        };
        auto plottable = [](const PlotPoint& p) {
            return std::isfinite(p.distanceM) && std::isfinite(p.lossPercent);
        };
        const int count = static_cast<int>(result.poles.size());
        for (const RunResult& run : result.runs) {
            const int first = std::max(run.firstPole, 0);
            const int end = std::min(count, run.firstPole + run.poleCount);
            int off = first;
            while (off < end && onPath[static_cast<std::size_t>(off)])
                ++off;
            if (off >= end)
                continue;
            BranchSeries line;
            line.name = run.name;
            const int parent = result.poles[static_cast<std::size_t>(off)].parent;
            const PlotPoint start = parent >= 0 && parent < count
                                        ? atLamps(result.poles[static_cast<std::size_t>(parent)])
                                        : PlotPoint{0.0, 0.0, false};
            if (plottable(start))
                line.points.push_back(start);
            for (int i = off; i < end; ++i) {
                const PlotPoint p = atLamps(result.poles[static_cast<std::size_t>(i)]);
                if (!plottable(p))
                    continue;
                line.points.push_back(p);
                lowest = std::min(lowest, p.lossPercent);
                highest = std::max(highest, p.lossPercent);
                farthest = std::max(farthest, p.distanceM);
            }
            plot.branches.push_back(std::move(line));
        }
    }

    plot.hasLimit = std::isfinite(limitPercent) && limitPercent > 0.0;
    if (plot.hasLimit) {
        plot.limitPercent = limitPercent;
        plot.limitLabel =
            QStringLiteral("限值 ") + formatGeneral(limitPercent, plotFormat()) + u'%';
        highest = std::max(highest, limitPercent);
    }

    plot.x = niceLengthAxis(farthest);
    plot.x.title = plot.pathName.isEmpty() ? QStringLiteral("距电源距离 (m)")
                                           : QStringLiteral("距电源距离 (m)，沿 ") + plot.pathName;
    plot.y = niceValueAxis(lowest, highest);
    plot.y.title = QStringLiteral("电压损失 Δu (%)");

    const int worstAt = worstIndex(result);
    if (worstAt >= 0) {
        const PoleDrop& worst = result.poles[static_cast<std::size_t>(worstAt)];
        const double loss = worst.lossPercent[static_cast<std::size_t>(result.worstPhase)];
        if (std::isfinite(loss) && std::isfinite(worst.distanceM)) {
            plot.hasWorst = true;
            plot.worst = {worst.distanceM, loss, worst.phase == result.worstPhase};
            plot.worstPhase = result.worstPhase;
            // The worst pole's Δu as the schedule shows it, judged as its check judges it: a
            // figure that rounds to the limit keeps within it.
            const double shown = shownLossPercent(loss);
            const int run = branched ? runOf(result, worstAt) : -1;
            const QString where =
                run >= 0 ? result.runs[static_cast<std::size_t>(run)].name + QStringLiteral("，")
                         : QString();
            plot.worstLabel = QStringLiteral("最大 %1%（%2，L%3）")
                                  .arg(formatFixed(shown, kLossPercentDecimals, plotFormat()),
                                       where + poleName(worst),
                                       QString::number(static_cast<int>(result.worstPhase) + 1));
            plot.worstExceedsLimit = plot.hasLimit && !lossWithinLimit(shown, limitPercent);
        }
    }
    return plot;
}

} // namespace korvane
