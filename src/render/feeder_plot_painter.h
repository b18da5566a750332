#pragma once

#include "project/feeders/feeder_plot.h"

#include <QByteArray>
#include <QColor>
#include <QRectF>
#include <QSize>

class QPainter;

namespace korvane::render {

// The colour of a phase's curve: the Chinese phase colours (yellow, green, red), darkened so
// that they show on white.
QColor phaseColor(Phase phase);
// The colour of the dashed voltage-loss limit line and its label.
QColor limitLineColor();

// The rectangle inside `area` that the axes frame: the value ranges of the plot map onto it
// (x minimum at its left edge, y minimum at its bottom edge). The margins around it follow from
// the size of the text, which follows from the size of the area.
QRectF feederPlotFrame(const QRectF& area, const FeederPlot& plot);
// Where the worst pole's figure is written inside `area`: beside its mark, clear of the limit
// line and the curves wherever the frame leaves room for it. Empty when the plot marks no pole.
QRectF feederPlotWorstLabel(const QRectF& area, const FeederPlot& plot);

// The plot of Δu % along a feeder, filling `area` on a white ground: title, legend, axes with
// grid and tick labels, one curve per phase with its poles marked, the limit as a dashed line
// and the worst pole marked with its figure. Any size of area; nothing is drawn outside it.
void paintFeederPlot(QPainter& painter, const QRectF& area, const FeederPlot& plot);

// The plot painted on a white image of the given size, as PNG; empty when it cannot be made.
// With a `layoutScale` above 1 the plot is laid out on a canvas that many times smaller than the
// image, so that its text and lines come out larger (for print).
QByteArray feederPlotPng(const FeederPlot& plot, QSize pixels, double layoutScale = 1.0);

} // namespace korvane::render
