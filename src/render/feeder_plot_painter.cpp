#include "render/feeder_plot_painter.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane::render {

namespace {

const QColor kText(30, 30, 30);
const QColor kAxis(70, 70, 70);
const QColor kGrid(224, 224, 224);
const QColor kExceeded(190, 0, 0);
const QColor kBranch(110, 110, 130); // the runs beside the plotted path

// A colour taken `share` of the way towards white: the curves of phases without lamps.
QColor paler(const QColor& colour, double share) {
    auto mix = [share](int c) { return static_cast<int>(std::lround(c + (255 - c) * share)); };
    return {mix(colour.red()), mix(colour.green()), mix(colour.blue())};
}

// The text of a chart in a sans-serif CJK face where there is one. Its size follows the area,
// so the same plot reads alike in a small window pane and in a large image for a book.
QFont chartFont(const QRectF& area) {
    const double pixels = std::clamp(std::min(area.width(), area.height() * 1.6) / 50.0, 8.0, 40.0);
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("SimHei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(static_cast<int>(std::lround(pixels)));
    return font;
}

struct Layout {
    QFont text;
    QFont title;
    double pad = 0.0; // half a line: the space between the parts
    double tickLength = 0.0;
    double lineWidth = 0.0; // of a curve
    double marker = 0.0;    // radius of a pole's marker
    QRectF titleBox;
    QRectF legendBox;
    QRectF frame;
};

Layout layoutFor(const QRectF& area, const FeederPlot& plot) {
    Layout l;
    l.text = chartFont(area);
    l.title = l.text;
    l.title.setPixelSize(static_cast<int>(std::lround(l.text.pixelSize() * 1.2)));
    l.title.setBold(true);
    const QFontMetricsF fm(l.text);
    const QFontMetricsF titleFm(l.title);
    const double line = fm.height();
    l.pad = line * 0.5;
    l.tickLength = line * 0.3;
    l.lineWidth = std::max(1.5, l.text.pixelSize() * 0.15);
    l.marker = std::max(2.0, l.text.pixelSize() * 0.22);

    double widestYLabel = 0.0;
    for (const PlotTick& tick : plot.y.ticks)
        widestYLabel = std::max(widestYLabel, fm.horizontalAdvance(tick.label));
    const double lastXLabel =
        plot.x.ticks.empty() ? 0.0 : fm.horizontalAdvance(plot.x.ticks.back().label);

    l.titleBox =
        QRectF(area.left() + l.pad, area.top() + l.pad, area.width() - 2 * l.pad, titleFm.height());
    l.legendBox = QRectF(area.left() + l.pad, l.titleBox.bottom() + l.pad * 0.6,
                         area.width() - 2 * l.pad, line);
    const double top = l.legendBox.bottom() + l.pad;
    const double left =
        area.left() + l.pad + line + l.pad + widestYLabel + l.pad * 0.5 + l.tickLength;
    const double bottom =
        area.bottom() - (l.pad + line + l.pad * 0.5 + line + l.pad * 0.3 + l.tickLength);
    const double right = area.right() - (l.pad + std::max(lastXLabel / 2.0, l.pad));
    // An area too small for the axes and their text gets no frame: only the title and legend.
    if (right - left >= 1.0 && bottom - top >= 1.0)
        l.frame = QRectF(QPointF(left, top), QPointF(right, bottom));
    else
        l.frame = QRectF(area.topLeft(), QSizeF(0.0, 0.0));
    return l;
}

// Plot values to device coordinates on the frame. Values far off the range are held a few
// frames away, so a line towards them still leaves the frame at a steep slope and the painter
// never sees coordinates it cannot handle.
class Scale {
public:
    Scale(const QRectF& frame, const FeederPlot& plot) : frame_(frame), plot_(plot) {}

    double x(double value) const {
        const double share = (value - plot_.x.minimum) / (plot_.x.maximum - plot_.x.minimum);
        return frame_.left() + held(share) * frame_.width();
    }
    double y(double value) const {
        const double share = (value - plot_.y.minimum) / (plot_.y.maximum - plot_.y.minimum);
        return frame_.bottom() - held(share) * frame_.height();
    }
    QPointF at(const PlotPoint& p) const { return {x(p.distanceM), y(p.lossPercent)}; }

private:
    static double held(double share) {
        return std::isfinite(share) ? std::clamp(share, -10.0, 11.0) : 0.0;
    }

    QRectF frame_;
    const FeederPlot& plot_;
};

QPen curvePen(const PlotSeries& series, const Layout& l) {
    const QColor colour =
        series.hasLamps ? phaseColor(series.phase) : paler(phaseColor(series.phase), 0.5);
    QPen pen(colour, series.hasLamps ? l.lineWidth : l.lineWidth * 0.7);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QPen limitPen(const Layout& l) {
    QPen pen(limitLineColor(), l.lineWidth * 0.9, Qt::CustomDashLine);
    pen.setDashPattern({6.0, 4.0});
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

QString legendName(const PlotSeries& series) {
    return series.hasLamps ? series.name : series.name + QStringLiteral("（未接灯）");
}

void drawAxes(QPainter& painter, const Layout& l, const FeederPlot& plot, const Scale& scale) {
    const QFontMetricsF fm(l.text);
    painter.setFont(l.text);

    // Grid at every tick, under everything else.
    painter.setPen(QPen(kGrid, 1.0));
    for (const PlotTick& tick : plot.x.ticks)
        painter.drawLine(QPointF(scale.x(tick.value), l.frame.top()),
                         QPointF(scale.x(tick.value), l.frame.bottom()));
    for (const PlotTick& tick : plot.y.ticks)
        painter.drawLine(QPointF(l.frame.left(), scale.y(tick.value)),
                         QPointF(l.frame.right(), scale.y(tick.value)));

    painter.setPen(QPen(kAxis, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(l.frame);
    for (const PlotTick& tick : plot.x.ticks) {
        const double x = scale.x(tick.value);
        painter.setPen(QPen(kAxis, 1.0));
        painter.drawLine(QPointF(x, l.frame.bottom()), QPointF(x, l.frame.bottom() + l.tickLength));
        const double width = fm.horizontalAdvance(tick.label);
        painter.setPen(kText);
        painter.drawText(QRectF(x - width / 2.0, l.frame.bottom() + l.tickLength + l.pad * 0.3,
                                width, fm.height()),
                         Qt::AlignCenter | Qt::TextDontClip, tick.label);
    }
    for (const PlotTick& tick : plot.y.ticks) {
        const double y = scale.y(tick.value);
        painter.setPen(QPen(kAxis, 1.0));
        painter.drawLine(QPointF(l.frame.left() - l.tickLength, y), QPointF(l.frame.left(), y));
        painter.setPen(kText);
        const double right = l.frame.left() - l.tickLength - l.pad * 0.5;
        painter.drawText(QRectF(right - fm.horizontalAdvance(tick.label), y - fm.height() / 2.0,
                                fm.horizontalAdvance(tick.label), fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, tick.label);
    }

    // Axis titles: below the x labels, and turned upright beside the y labels.
    painter.setPen(kText);
    const double xTitleTop =
        l.frame.bottom() + l.tickLength + l.pad * 0.3 + fm.height() + l.pad * 0.5;
    painter.drawText(QRectF(l.frame.left(), xTitleTop, l.frame.width(), fm.height()),
                     Qt::AlignCenter | Qt::TextDontClip, plot.x.title);
    painter.save();
    painter.translate(l.titleBox.left() + fm.height() / 2.0, l.frame.center().y());
    painter.rotate(-90.0);
    painter.drawText(
        QRectF(-l.frame.height() / 2.0, -fm.height() / 2.0, l.frame.height(), fm.height()),
        Qt::AlignCenter | Qt::TextDontClip, plot.y.title);
    painter.restore();
}

void drawLimit(QPainter& painter, const Layout& l, const FeederPlot& plot, const Scale& scale) {
    if (!plot.hasLimit)
        return;
    const double y = scale.y(plot.limitPercent);
    painter.setPen(limitPen(l));
    painter.drawLine(QPointF(l.frame.left(), y), QPointF(l.frame.right(), y));
    // The label at the supply's end, where the curves are lowest, above the line (below it when
    // the line runs along the top of the frame).
    const QFontMetricsF fm(l.text);
    const double above = y - l.pad * 0.3 - fm.height();
    const double top = above >= l.frame.top() ? above : y + l.pad * 0.3;
    painter.setPen(limitLineColor());
    painter.setFont(l.text);
    painter.drawText(
        QRectF(l.frame.left() + l.pad, top, fm.horizontalAdvance(plot.limitLabel), fm.height()),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, plot.limitLabel);
}

void drawMarker(QPainter& painter, const QPointF& at, double radius, const QColor& colour,
                bool filled) {
    painter.setPen(QPen(colour, std::max(1.0, radius * 0.45)));
    painter.setBrush(filled ? QBrush(colour) : QBrush(Qt::white));
    painter.drawEllipse(at, radius, radius);
}

void drawCurves(QPainter& painter, const Layout& l, const FeederPlot& plot, const Scale& scale) {
    // Phases without lamps first, so that the judged curves lie on top.
    for (const bool loaded : {false, true}) {
        for (const PlotSeries& series : plot.series) {
            if (series.hasLamps != loaded || series.points.empty())
                continue;
            QPolygonF line;
            line.reserve(static_cast<qsizetype>(series.points.size()));
            for (const PlotPoint& p : series.points)
                line << scale.at(p);
            const QPen pen = curvePen(series, l);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(line);
            // Pole markers where they stand apart: filled where the pole's lamps are on the
            // phase, open where the phase only passes by.
            const bool roomForMarkers =
                static_cast<double>(series.points.size()) * l.marker * 3.5 <= l.frame.width();
            if (!roomForMarkers)
                continue;
            for (std::size_t i = 1; i < series.points.size(); ++i)
                drawMarker(painter, line[static_cast<qsizetype>(i)],
                           l.marker * (loaded ? 1.0 : 0.8), pen.color(),
                           series.points[i].lampsOnPhase);
        }
    }
}

QPen branchPen(const Layout& l) {
    QPen pen(kBranch, std::max(1.0, l.lineWidth * 0.6), Qt::CustomDashLine);
    pen.setDashPattern({4.0, 3.0});
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

bool drawsBranches(const FeederPlot& plot) {
    return plot.showBranches && !plot.branches.empty();
}

// The other runs of a branched feeder, thinner and dashed under the path's curves, each named
// at its far end.
void drawBranches(QPainter& painter, const Layout& l, const FeederPlot& plot, const Scale& scale) {
    if (!drawsBranches(plot))
        return;
    const QFontMetricsF fm(l.text);
    painter.setFont(l.text);
    for (const BranchSeries& branch : plot.branches) {
        if (branch.points.empty())
            continue;
        QPolygonF line;
        for (const PlotPoint& p : branch.points)
            line << scale.at(p);
        painter.setPen(branchPen(l));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(line);
        const bool roomForMarkers =
            static_cast<double>(branch.points.size()) * l.marker * 3.5 <= l.frame.width();
        if (roomForMarkers)
            for (qsizetype i = 1; i < line.size(); ++i)
                drawMarker(painter, line[i], l.marker * 0.7, kBranch, true);
        // The name beside the last pole, kept inside the frame.
        const double width = fm.horizontalAdvance(branch.name);
        QRectF box(line.back() + QPointF(l.marker * 1.5, -fm.height()), QSizeF(width, fm.height()));
        if (box.right() > l.frame.right())
            box.moveRight(line.back().x() - l.marker * 1.5);
        if (box.top() < l.frame.top())
            box.moveTop(line.back().y() + l.marker);
        painter.setPen(kBranch);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, branch.name);
    }
}

// Whether any curve passes through the rectangle: a pole inside it, or a segment between two
// poles crossing one of its edges.
bool crossesCurves(const QRectF& box, const FeederPlot& plot, const Scale& scale) {
    const QLineF edges[] = {{box.topLeft(), box.topRight()},
                            {box.topRight(), box.bottomRight()},
                            {box.bottomRight(), box.bottomLeft()},
                            {box.bottomLeft(), box.topLeft()}};
    for (const PlotSeries& series : plot.series) {
        for (std::size_t i = 0; i < series.points.size(); ++i) {
            const QPointF b = scale.at(series.points[i]);
            if (box.contains(b))
                return true;
            if (i == 0)
                continue;
            const QLineF segment(scale.at(series.points[i - 1]), b);
            for (const QLineF& edge : edges)
                if (segment.intersects(edge) == QLineF::BoundedIntersection)
                    return true;
        }
    }
    return false;
}

// Where the worst pole's figure goes: beside its mark, above and to the left where that is inside
// the frame and clear of the limit line and the curves, else the first other corner that is;
// else, on the left or the right of the mark, the height nearest the mark that is clear of both;
// failing all, the best corner inside the frame (clear of the limit line if one is), or above
// and left of the mark pushed inside the frame.
QRectF worstLabelBox(const Layout& l, const FeederPlot& plot, const Scale& scale) {
    const QPointF at = scale.at(plot.worst);
    const QFontMetricsF fm(l.text);
    const double width = fm.horizontalAdvance(plot.worstLabel) + l.pad;
    const double height = fm.height();
    const double gap = l.marker * 2.6;
    const QRectF inside = l.frame.adjusted(l.pad * 0.5, l.pad * 0.5, -l.pad * 0.5, -l.pad * 0.5);
    const double limitY = plot.hasLimit ? scale.y(plot.limitPercent) : -1e9;
    // 0: inside the frame, 1: and clear of the limit line, 2: and clear of the curves too.
    auto rank = [&](const QRectF& candidate) {
        if (!inside.contains(candidate))
            return -1;
        if (limitY >= candidate.top() - 2.0 && limitY <= candidate.bottom() + 2.0)
            return 0;
        return crossesCurves(candidate, plot, scale) ? 1 : 2;
    };
    const QPointF corners[] = {{at.x() - gap - width, at.y() - gap - height},
                               {at.x() - gap - width, at.y() + gap},
                               {at.x() + gap, at.y() - gap - height},
                               {at.x() + gap, at.y() + gap}};
    QRectF best;
    int bestRank = -1;
    for (const QPointF& corner : corners) {
        const QRectF candidate(corner, QSizeF(width, height));
        const int r = rank(candidate);
        if (r > bestRank) {
            best = candidate;
            bestRank = r;
        }
        if (r == 2)
            return best;
    }
    QRectF nearest;
    double nearestDistance = std::numeric_limits<double>::infinity();
    const double step = std::max(1.0, height / 4.0);
    for (const double left : {at.x() - gap - width, at.x() + gap}) {
        for (double top = inside.top(); top + height <= inside.bottom(); top += step) {
            const QRectF candidate(QPointF(left, top), QSizeF(width, height));
            const double distance = std::abs(candidate.center().y() - at.y());
            if (distance < nearestDistance && rank(candidate) == 2) {
                nearest = candidate;
                nearestDistance = distance;
            }
        }
    }
    if (!nearest.isNull())
        return nearest;
    if (bestRank >= 0)
        return best;
    QRectF box(corners[0], QSizeF(width, height));
    box.moveLeft(
        std::clamp(box.left(), inside.left(), std::max(inside.left(), inside.right() - width)));
    box.moveTop(
        std::clamp(box.top(), inside.top(), std::max(inside.top(), inside.bottom() - height)));
    return box;
}

void drawWorst(QPainter& painter, const Layout& l, const FeederPlot& plot, const Scale& scale) {
    if (!plot.hasWorst)
        return;
    const QPointF at = scale.at(plot.worst);
    const QColor mark = plot.worstExceedsLimit ? kExceeded : kText;
    painter.setPen(QPen(mark, std::max(1.5, l.lineWidth * 0.8)));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(at, l.marker * 2.2, l.marker * 2.2);

    const QRectF box = worstLabelBox(l, plot, scale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 220));
    painter.drawRect(box);
    painter.setPen(mark);
    painter.setFont(l.text);
    painter.drawText(box, Qt::AlignCenter | Qt::TextDontClip, plot.worstLabel);
}

void drawTitleAndLegend(QPainter& painter, const Layout& l, const FeederPlot& plot) {
    painter.setPen(kText);
    painter.setFont(l.title);
    const QFontMetricsF titleFm(l.title);
    painter.drawText(l.titleBox, Qt::AlignCenter,
                     titleFm.elidedText(plot.title, Qt::ElideRight, l.titleBox.width()));

    // One entry per curve and the limit: a short stroke of its line, then its name.
    const QFontMetricsF fm(l.text);
    const double sample = fm.height() * 1.8;
    const double gap = l.pad * 0.5;
    const double spacing = l.pad * 2.0;
    struct Entry {
        QPen pen;
        QString name;
        bool marker;
    };
    std::vector<Entry> entries;
    for (const PlotSeries& series : plot.series)
        entries.push_back({curvePen(series, l), legendName(series), true});
    if (drawsBranches(plot))
        entries.push_back({branchPen(l), QStringLiteral("其他支线（灯具所在相）"), false});
    if (plot.hasLimit)
        entries.push_back({limitPen(l), plot.limitLabel, false});
    double total = 0.0;
    for (const Entry& e : entries)
        total += sample + gap + fm.horizontalAdvance(e.name) + spacing;
    total -= spacing;

    painter.setFont(l.text);
    double x = std::max(l.legendBox.left(), l.frame.center().x() - total / 2.0);
    const double y = l.legendBox.center().y();
    for (const Entry& e : entries) {
        painter.setPen(e.pen);
        painter.drawLine(QPointF(x, y), QPointF(x + sample, y));
        if (e.marker)
            drawMarker(painter, QPointF(x + sample / 2.0, y), l.marker, e.pen.color(), true);
        x += sample + gap;
        const double width = fm.horizontalAdvance(e.name);
        painter.setPen(kText);
        painter.drawText(QRectF(x, l.legendBox.top(), width, l.legendBox.height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, e.name);
        x += width + spacing;
    }
}

} // namespace

QColor phaseColor(Phase phase) {
    switch (phase) {
    case Phase::L1:
        return {196, 140, 0}; // yellow, darkened to amber
    case Phase::L2:
        return {0, 140, 60};
    case Phase::L3:
        return {200, 30, 30};
    }
    return kText;
}

QColor limitLineColor() {
    return {30, 80, 190};
}

QRectF feederPlotFrame(const QRectF& area, const FeederPlot& plot) {
    return layoutFor(area, plot).frame;
}

QRectF feederPlotWorstLabel(const QRectF& area, const FeederPlot& plot) {
    if (!area.isValid() || !plot.hasWorst)
        return {};
    const Layout l = layoutFor(area, plot);
    return worstLabelBox(l, plot, Scale(l.frame, plot));
}

void paintFeederPlot(QPainter& painter, const QRectF& area, const FeederPlot& plot) {
    if (!area.isValid())
        return;
    const Layout l = layoutFor(area, plot);
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(area, Qt::white);
    drawTitleAndLegend(painter, l, plot);
    if (l.frame.width() >= 1.0 && l.frame.height() >= 1.0) {
        const Scale scale(l.frame, plot);
        // Grid and frame lines on whole pixels, crisp.
        painter.setRenderHint(QPainter::Antialiasing, false);
        drawAxes(painter, l, plot, scale);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.save();
        const double edge = l.marker * 2.5;
        painter.setClipRect(l.frame.adjusted(-edge, -edge, edge, edge), Qt::IntersectClip);
        drawLimit(painter, l, plot, scale);
        drawBranches(painter, l, plot, scale);
        drawCurves(painter, l, plot, scale);
        drawWorst(painter, l, plot, scale);
        painter.restore();
    }
    painter.restore();
}

QByteArray feederPlotPng(const FeederPlot& plot, QSize pixels, double layoutScale) {
    // Beyond this the image alone would take gigabytes.
    constexpr qint64 kMaxPixels = 100'000'000;
    if (pixels.isEmpty() || static_cast<qint64>(pixels.width()) * pixels.height() > kMaxPixels ||
        !(layoutScale >= 1.0))
        return {};
    QImage image(pixels, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.setDevicePixelRatio(layoutScale);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        if (!painter.isActive())
            return {};
        paintFeederPlot(painter, QRectF(QPointF(0, 0), QSizeF(pixels) / layoutScale), plot);
    }
    // A light compression: a plot is mostly white, and the strongest costs three times the time
    // for a few per cent.
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG", 80))
        return {};
    return png;
}

} // namespace korvane::render
