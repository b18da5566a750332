// The feeder plot painted: the image is read back pixel by pixel, and where the scale of the plot
// puts a value is worked out from the frame and the axis range, so a line drawn at the wrong
// height or in the wrong colour shows.

#include "render/feeder_plot_painter.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace korvane {
namespace {

// Ten poles on phases in turn, the drops rising to `top` % at the far end, each phase a little
// lower than the one before it.
LampFeederResult risingFeeder(double top) {
    LampFeederResult r;
    r.totalLengthM = 300.0;
    for (int i = 0; i < 10; ++i) {
        PoleDrop pole;
        pole.pole = i + 1;
        pole.distanceM = 30.0 + 30.0 * i;
        pole.phase = static_cast<Phase>(i % 3);
        const double share = (i + 1) / 10.0;
        pole.lossPercent = {top * share, 0.8 * top * share, 0.6 * top * share};
        r.poles.push_back(pole);
    }
    r.worstPole = 10;
    r.worstPhase = Phase::L1;
    r.worstLossPercent = top;
    return r;
}

bool near(QRgb pixel, const QColor& colour, int tolerance = 40) {
    return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
           std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

bool isCurve(QRgb pixel) {
    return near(pixel, render::phaseColor(Phase::L1)) ||
           near(pixel, render::phaseColor(Phase::L2)) || near(pixel, render::phaseColor(Phase::L3));
}

QImage painted(const FeederPlot& plot, QSize size) {
    const QByteArray png = render::feederPlotPng(plot, size);
    QImage image = QImage::fromData(png, "PNG");
    return image.convertToFormat(QImage::Format_RGB32);
}

// The device row of a value by the plot's own frame and y range.
double rowOf(double value, const QRectF& frame, const FeederPlot& plot) {
    return frame.bottom() -
           (value - plot.y.minimum) / (plot.y.maximum - plot.y.minimum) * frame.height();
}

// The row inside the frame with the most pixels of the colour, and how many it has.
std::pair<int, int> busiestRow(const QImage& image, const QRectF& frame, const QColor& colour) {
    std::pair<int, int> best{-1, 0};
    for (int y = static_cast<int>(frame.top()); y <= static_cast<int>(frame.bottom()); ++y) {
        int count = 0;
        for (int x = static_cast<int>(frame.left()); x <= static_cast<int>(frame.right()); ++x)
            count += near(image.pixel(x, y), colour) ? 1 : 0;
        if (count > best.second)
            best = {y, count};
    }
    return best;
}

// Curve pixels inside the frame strictly above the given row, less a band for the line's width.
int curvePixelsAbove(const QImage& image, const QRectF& frame, double row) {
    int count = 0;
    const int last = static_cast<int>(std::floor(row)) - 3;
    for (int y = static_cast<int>(std::ceil(frame.top())) + 1; y <= last; ++y)
        for (int x = static_cast<int>(frame.left()) + 1; x < static_cast<int>(frame.right()); ++x)
            count += isCurve(image.pixel(x, y)) ? 1 : 0;
    return count;
}

TEST(FeederPlotPainter, PngHasTheAskedSize) {
    const FeederPlot plot = feederPlot(risingFeeder(4.0), 5.0, QStringLiteral("WL1"));
    for (const QSize size : {QSize(800, 500), QSize(321, 203), QSize(1600, 1000), QSize(60, 40)}) {
        const QImage image = QImage::fromData(render::feederPlotPng(plot, size), "PNG");
        ASSERT_FALSE(image.isNull()) << size.width() << "x" << size.height();
        EXPECT_EQ(image.size(), size);
    }
    EXPECT_TRUE(render::feederPlotPng(plot, QSize(0, 100)).isEmpty());
    EXPECT_TRUE(render::feederPlotPng(plot, QSize(-5, 100)).isEmpty());
}

TEST(FeederPlotPainter, LimitLineLiesWhereTheScalePutsIt) {
    const QSize size(800, 500);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    for (const double limit : {5.0, 2.0, 7.5}) {
        SCOPED_TRACE(limit);
        const FeederPlot plot = feederPlot(risingFeeder(4.0), limit, QStringLiteral("WL1"));
        const QImage image = painted(plot, size);
        ASSERT_FALSE(image.isNull());
        const QRectF frame = render::feederPlotFrame(area, plot);
        const auto [row, count] = busiestRow(image, frame, render::limitLineColor());
        EXPECT_NEAR(row, rowOf(limit, frame, plot), 1.5);
        // A dashed line across the frame: more than a third of its pixels are the line's.
        EXPECT_GT(count, frame.width() / 3.0);
    }
}

TEST(FeederPlotPainter, EveryPhaseShowsInItsColour) {
    const FeederPlot plot = feederPlot(risingFeeder(4.0), 5.0, QStringLiteral("WL1"));
    const QImage image = painted(plot, QSize(800, 500));
    ASSERT_FALSE(image.isNull());
    const QRectF frame = render::feederPlotFrame(QRectF(0, 0, 800, 500), plot);
    for (const Phase phase : {Phase::L1, Phase::L2, Phase::L3}) {
        int count = 0;
        for (int y = static_cast<int>(frame.top()); y < static_cast<int>(frame.bottom()); ++y)
            for (int x = static_cast<int>(frame.left()); x < static_cast<int>(frame.right()); ++x)
                count += near(image.pixel(x, y), render::phaseColor(phase), 25) ? 1 : 0;
        EXPECT_GT(count, 200) << "L" << static_cast<int>(phase) + 1;
    }
}

TEST(FeederPlotPainter, NoCurveAboveALimitAboveEveryValue) {
    const QSize size(800, 500);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    // Highest drop 4.6 % under a limit of 5 %: close, but below.
    const FeederPlot under = feederPlot(risingFeeder(4.6), 5.0, QStringLiteral("WL1"));
    const QImage image = painted(under, size);
    ASSERT_FALSE(image.isNull());
    const QRectF frame = render::feederPlotFrame(area, under);
    EXPECT_EQ(curvePixelsAbove(image, frame, rowOf(5.0, frame, under)), 0);

    // The same curves over a limit of 2 % do rise above it: the count can see them.
    const FeederPlot over = feederPlot(risingFeeder(4.6), 2.0, QStringLiteral("WL1"));
    const QImage overImage = painted(over, size);
    const QRectF overFrame = render::feederPlotFrame(area, over);
    EXPECT_GT(curvePixelsAbove(overImage, overFrame, rowOf(2.0, overFrame, over)), 100);
}

TEST(FeederPlotPainter, PaintsOnlyInsideItsArea) {
    const FeederPlot plot = feederPlot(risingFeeder(9.0), 5.0, QStringLiteral("WL1"));
    const QColor ground(90, 90, 90);
    for (const QRectF area : {QRectF(50, 40, 400, 260), QRectF(10, 10, 90, 60)}) {
        QImage image(520, 360, QImage::Format_RGB32);
        image.fill(ground);
        {
            QPainter painter(&image);
            render::paintFeederPlot(painter, area, plot);
        }
        const QRectF frame = render::feederPlotFrame(area, plot);
        // The large area has its frame inside it; the small one none, or one inside it.
        if (area.width() > 100) {
            EXPECT_FALSE(frame.isEmpty());
        }
        EXPECT_TRUE(frame.isEmpty() || area.contains(frame)) << area.width();
        int outside = 0;
        int inside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool in = area.contains(QPointF(x + 0.5, y + 0.5));
                const bool touched = image.pixel(x, y) != ground.rgb();
                outside += !in && touched ? 1 : 0;
                inside += in && touched ? 1 : 0;
            }
        EXPECT_EQ(outside, 0) << area.width();
        EXPECT_GT(inside, area.width() * area.height() / 2);
    }
}

TEST(FeederPlotPainter, MarginsGrowWithTheArea) {
    const FeederPlot plot = feederPlot(risingFeeder(4.0), 5.0, QStringLiteral("WL1"));
    const QRectF small = render::feederPlotFrame(QRectF(0, 0, 600, 375), plot);
    const QRectF large = render::feederPlotFrame(QRectF(0, 0, 1800, 1125), plot);
    // Text three times as large leaves margins about three times as wide.
    EXPECT_NEAR(large.left() / small.left(), 3.0, 0.6);
    EXPECT_NEAR((1125 - large.bottom()) / (375 - small.bottom()), 3.0, 0.6);
    EXPECT_NEAR(large.top() / small.top(), 3.0, 0.6);
}

// The worst pole's figure stays off the curves and the limit line where the frame has room:
// here the pole lies just under the limit at the end of a curve that flattens out, so no corner
// beside the mark is clear and the figure moves up above the limit line.
TEST(FeederPlotPainter, TheWorstPolesFigureCoversNoCurve) {
    LampFeederResult r = risingFeeder(4.7);
    for (PoleDrop& pole : r.poles) {
        const double share = pole.distanceM / r.totalLengthM;
        const double top = 4.7 * (1.0 - (1.0 - share) * (1.0 - share));
        pole.lossPercent = {top, 0.8 * top, 0.6 * top};
    }
    const FeederPlot plot = feederPlot(r, 5.0, QStringLiteral("WL1"));
    const QRectF area(0, 0, 800, 500);
    const QRectF box = render::feederPlotWorstLabel(area, plot);
    ASSERT_FALSE(box.isEmpty());
    const QRectF frame = render::feederPlotFrame(area, plot);
    EXPECT_TRUE(frame.contains(box));
    const double limitRow = rowOf(5.0, frame, plot);
    EXPECT_TRUE(limitRow < box.top() || limitRow > box.bottom()) << limitRow;

    // The curves painted without the figure: none of their pixels lies where it goes.
    FeederPlot unmarked = plot;
    unmarked.hasWorst = false;
    const QImage image = painted(unmarked, area.size().toSize());
    int covered = 0;
    for (int y = int(std::ceil(box.top())); y < int(box.bottom()); ++y)
        for (int x = int(std::ceil(box.left())); x < int(box.right()); ++x)
            covered += isCurve(image.pixel(x, y)) ? 1 : 0;
    EXPECT_EQ(covered, 0);
    EXPECT_TRUE(render::feederPlotWorstLabel(area, unmarked).isNull());
}

} // namespace
} // namespace korvane
