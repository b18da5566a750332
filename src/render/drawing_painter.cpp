#include "render/drawing_painter.h"

#include <QBuffer>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvane::render {

using namespace drawing;

namespace {

// The width factor of the drawing's text style (0.7, the long 仿宋 proportion of GB/T 14691).
constexpr double kWidthFactor = 0.7;
constexpr double kEmPerHeight = 1.25;

// Line widths on paper, mm: the busbar and circuit lines 0.5, the frame and symbols 0.35, the
// title block's and table's rules 0.25 (GB/T 4457.4 line groups at A3).
double penWidthMm(Layer layer) {
    switch (layer) {
    case Layer::Lines:
        return 0.5;
    case Layer::Symbols:
        return 0.35;
    case Layer::Frame:
    case Layer::Text:
        break;
    }
    return 0.25;
}

QFont drawingFont() {
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")});
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace

void paintSheet(QPainter& painter, const Sheet& sheet, const QRectF& target, bool rotated) {
    const double w = rotated ? sheet.heightMm : sheet.widthMm;
    const double h = rotated ? sheet.widthMm : sheet.heightMm;
    const double scale = std::min(target.width() / w, target.height() / h); // device units per mm
    const QPointF origin(target.center().x() - w * scale / 2.0,
                         target.center().y() - h * scale / 2.0);
    // Drawing millimetres (y up) to device units (y down), turned a quarter for `rotated`.
    QTransform toDevice;
    toDevice.translate(origin.x(), origin.y());
    if (rotated) {
        // Landscape x runs up the portrait page, landscape y runs right.
        toDevice.translate(0.0, h * scale);
        toDevice.rotate(-90.0);
    }
    toDevice.translate(0.0, sheet.heightMm * scale);
    toDevice.scale(scale, -scale);
    auto device = [&toDevice](Point p) { return toDevice.map(QPointF(p.x, p.y)); };

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    auto pen = [&](Layer layer, bool dashed) {
        QPen p(Qt::black, std::max(0.5, penWidthMm(layer) * scale));
        p.setCapStyle(Qt::RoundCap);
        if (dashed)
            p.setDashPattern({6.0 / penWidthMm(layer), 2.0 / penWidthMm(layer)});
        return p;
    };
    painter.setBrush(Qt::NoBrush);
    for (const Line& l : sheet.lines) {
        painter.setPen(pen(l.layer, l.dashed));
        painter.drawLine(device(l.from), device(l.to));
    }
    for (const Polyline& p : sheet.polylines) {
        painter.setPen(pen(p.layer, false));
        QPolygonF polygon;
        for (const Point& v : p.points)
            polygon << device(v);
        if (p.closed)
            painter.drawPolygon(polygon);
        else
            painter.drawPolyline(polygon);
    }
    for (const Circle& c : sheet.circles) {
        painter.setPen(pen(c.layer, false));
        const QPointF centre = device(c.centre);
        painter.drawEllipse(centre, c.radius * scale, c.radius * scale);
    }
    for (const Arc& a : sheet.arcs) {
        painter.setPen(pen(a.layer, false));
        double sweep = a.endDegrees - a.startDegrees;
        while (sweep <= 0.0)
            sweep += 360.0;
        QPainterPath path;
        const int steps = std::max(8, int(sweep / 10.0));
        for (int i = 0; i <= steps; ++i) {
            const double t = (a.startDegrees + sweep * i / steps) * std::numbers::pi / 180.0;
            const QPointF p =
                device({a.centre.x + a.radius * std::cos(t), a.centre.y + a.radius * std::sin(t)});
            if (i == 0)
                path.moveTo(p);
            else
                path.lineTo(p);
        }
        painter.drawPath(path);
    }

    painter.setPen(Qt::black);
    QFont font = drawingFont();
    for (const Text& t : sheet.texts) {
        // An em of 1.25 times the text's height gives the capitals of the font about the
        // drawing's height (as the CAD fonts draw them) and the Chinese characters a little
        // more, narrowed by the width factor.
        const double em = kEmPerHeight * t.heightMm * scale;
        if (em < 0.5)
            continue;
        font.setPixelSize(std::max(1, int(std::lround(em))));
        const double fontScale = em / font.pixelSize();
        painter.setFont(font);
        const QFontMetricsF fm(font);
        const double width = fm.horizontalAdvance(t.text);
        double x = 0.0;
        if (t.horizontal == HorizontalAlign::Centre)
            x = -width / 2.0;
        else if (t.horizontal == HorizontalAlign::Right)
            x = -width;
        double y = 0.0; // baseline
        switch (t.vertical) {
        case VerticalAlign::Baseline:
            break;
        case VerticalAlign::Bottom:
            y = -fm.descent();
            break;
        case VerticalAlign::Middle:
            y = (fm.ascent() - fm.descent()) / 2.0;
            break;
        case VerticalAlign::Top:
            y = fm.ascent();
            break;
        }
        painter.save();
        painter.translate(device(t.at));
        painter.rotate(-t.rotationDegrees - (rotated ? 90.0 : 0.0));
        painter.scale(kWidthFactor * fontScale, fontScale);
        painter.drawText(QPointF(x, y), t.text);
        painter.restore();
    }
    painter.restore();
}

QByteArray drawingPdf(const Drawing& drawing) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setTitle(drawing.title);
    pdf.setCreator(QStringLiteral("Korvane"));
    pdf.setResolution(600);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    for (size_t i = 0; i < drawing.sheets.size(); ++i) {
        const Sheet& s = drawing.sheets[i];
        pdf.setPageSize(QPageSize(QSizeF(s.widthMm, s.heightMm), QPageSize::Millimeter));
        if (i == 0) {
            if (!painter.begin(&pdf))
                return {};
        } else {
            pdf.newPage();
        }
        const double pxPerMm = pdf.resolution() / 25.4;
        paintSheet(painter, s, QRectF(0, 0, s.widthMm * pxPerMm, s.heightMm * pxPerMm));
    }
    if (painter.isActive())
        painter.end();
    return bytes;
}

QImage sheetImage(const Sheet& sheet, int widthPx, bool rotated) {
    const double across = rotated ? sheet.heightMm : sheet.widthMm;
    const double down = rotated ? sheet.widthMm : sheet.heightMm;
    const int heightPx = std::max(1, int(std::lround(widthPx * down / across)));
    QImage image(widthPx, heightPx, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintSheet(painter, sheet, QRectF(0, 0, widthPx, heightPx), rotated);
    painter.end();
    return image;
}

} // namespace korvane::render
