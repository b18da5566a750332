#include "drawing/svg_writer.h"

#include "base/file_text.h"
#include "base/number_format.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvane::drawing {

namespace {

// The width factor of the DXF text style, kept so that texts fill the same room.
constexpr double kWidthFactor = 0.7;

QString number(double value) {
    const double rounded = roundHalfAwayFromZero(value, 3) + 0.0;
    return formatGeneral(rounded == 0.0 ? 0.0 : rounded, RegionalFormat{});
}

QString escaped(const QString& text) {
    return xmlSafeText(text).toHtmlEscaped();
}

// The stroke of each layer: the frame and lines heavier (0.5 mm, GB/T 4457.4 thick line at A3),
// symbols and the title block's rules thinner.
QString stroke(Layer layer) {
    switch (layer) {
    case Layer::Frame:
        return QStringLiteral("stroke=\"#000\" stroke-width=\"0.35\"");
    case Layer::Lines:
        return QStringLiteral("stroke=\"#000\" stroke-width=\"0.5\"");
    case Layer::Symbols:
        return QStringLiteral("stroke=\"#000\" stroke-width=\"0.35\"");
    case Layer::Text:
        break;
    }
    return QStringLiteral("stroke=\"#000\" stroke-width=\"0.25\"");
}

// One sheet's entities, its top `top` mm below the document's top.
QString sheetSvg(const Sheet& sheet, double top) {
    const double h = sheet.heightMm;
    // SVG's y runs downwards: a drawing point (x, y) is (x, top + h − y).
    auto x = [](double v) { return number(v); };
    auto y = [h, top](double v) { return number(top + h - v); };
    QString out;
    out += QStringLiteral("<rect x=\"0\" y=\"%1\" width=\"%2\" height=\"%3\" fill=\"#fff\"/>\n")
               .arg(number(top), number(sheet.widthMm), number(h));
    out += QStringLiteral("<g fill=\"none\" stroke-linecap=\"round\">\n");
    for (const Line& l : sheet.lines)
        out += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" %5%6/>\n")
                   .arg(x(l.from.x), y(l.from.y), x(l.to.x), y(l.to.y), stroke(l.layer),
                        l.dashed ? QStringLiteral(" stroke-dasharray=\"6 2\"") : QString());
    for (const Polyline& p : sheet.polylines) {
        QString points;
        for (const Point& v : p.points)
            points += x(v.x) + u',' + y(v.y) + u' ';
        out +=
            QStringLiteral("<%1 points=\"%2\" %3/>\n")
                .arg(p.closed ? u"polygon"_qs : u"polyline"_qs, points.trimmed(), stroke(p.layer));
    }
    for (const Circle& c : sheet.circles)
        out += QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" %4/>\n")
                   .arg(x(c.centre.x), y(c.centre.y), number(c.radius), stroke(c.layer));
    for (const Arc& a : sheet.arcs) {
        // Counter-clockwise in the drawing is clockwise on the flipped SVG page (sweep 0).
        const double start = a.startDegrees * std::numbers::pi / 180.0;
        double sweep = a.endDegrees - a.startDegrees;
        while (sweep <= 0.0)
            sweep += 360.0;
        const double end = start + sweep * std::numbers::pi / 180.0;
        const Point p0{a.centre.x + a.radius * std::cos(start),
                       a.centre.y + a.radius * std::sin(start)};
        const Point p1{a.centre.x + a.radius * std::cos(end),
                       a.centre.y + a.radius * std::sin(end)};
        out += QStringLiteral("<path d=\"M %1 %2 A %3 %3 0 %4 0 %5 %6\" %7/>\n")
                   .arg(x(p0.x), y(p0.y), number(a.radius), sweep > 180.0 ? u"1"_qs : u"0"_qs,
                        x(p1.x), y(p1.y), stroke(a.layer));
    }
    out += QStringLiteral("</g>\n");
    out += QStringLiteral("<g fill=\"#000\" font-family=\"SimSun, 'Noto Sans CJK SC', "
                          "'WenQuanYi Micro Hei', sans-serif\">\n");
    for (const Text& t : sheet.texts) {
        const QString anchor = t.horizontal == HorizontalAlign::Left     ? u"start"_qs
                               : t.horizontal == HorizontalAlign::Centre ? u"middle"_qs
                                                                         : u"end"_qs;
        const QString baseline = t.vertical == VerticalAlign::Middle ? u"central"_qs
                                 : t.vertical == VerticalAlign::Top  ? u"hanging"_qs
                                                                     : u"alphabetic"_qs;
        // Placed at its point, turned, then narrowed to the style's width factor about that
        // point; an em of 1.25 times the height, as the painter gives it.
        QString transform = QStringLiteral("translate(%1 %2)").arg(x(t.at.x), y(t.at.y));
        if (t.rotationDegrees != 0.0)
            transform += QStringLiteral(" rotate(%1)").arg(number(-t.rotationDegrees));
        transform += QStringLiteral(" scale(%1 1)").arg(number(kWidthFactor));
        out += QStringLiteral("<text transform=\"%1\" font-size=\"%2\" text-anchor=\"%3\" "
                              "dominant-baseline=\"%4\">%5</text>\n")
                   .arg(transform, number(1.25 * t.heightMm), anchor, baseline, escaped(t.text));
    }
    out += QStringLiteral("</g>\n");
    return out;
}

} // namespace

QByteArray svgDocument(const Drawing& drawing) {
    double width = 0.0, height = 0.0;
    for (const Sheet& s : drawing.sheets) {
        width = std::max(width, s.widthMm);
        height += s.heightMm;
    }
    if (drawing.sheets.size() > 1)
        height += kSheetGapMm * double(drawing.sheets.size() - 1);
    QString out;
    out += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1mm\" "
                          "height=\"%2mm\" viewBox=\"0 0 %1 %2\">\n")
               .arg(number(width), number(height));
    out += QStringLiteral("<title>%1</title>\n").arg(escaped(drawing.title));
    double top = 0.0;
    for (const Sheet& s : drawing.sheets) {
        out += sheetSvg(s, top);
        top += s.heightMm + kSheetGapMm;
    }
    out += QStringLiteral("</svg>\n");
    return out.toUtf8();
}

} // namespace korvane::drawing
