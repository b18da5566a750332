#include "drawing/dxf_writer.h"

#include "base/number_format.h"

#include <QStringEncoder>

#include <algorithm>

namespace korvane::drawing {

namespace {

// The name of the one text style and the fonts it names: gbenor.shx for letters and digits and
// the big font gbcbig.shx for the GB 2312 characters, the pair Chinese drafting standards
// (GB/T 18229, GB/T 14691) and AutoCAD's Chinese edition use; a program without them substitutes
// its own CJK font.
constexpr const char* kTextStyle = "KV-HZ";
constexpr const char* kLetterFont = "gbenor.shx";
constexpr const char* kBigFont = "gbcbig.shx";
constexpr double kWidthFactor = 0.7;
// The code page of the drawing, $DWGCODEPAGE ANSI_936: simplified Chinese, GBK.
constexpr const char* kCodePageEncoding = "GBK";

// The colour of each layer in the AutoCAD colour index: frame white/black (7), lines white (7),
// symbols cyan (4), text green (3): the usual screen colours of an electrical drawing.
int layerColour(Layer layer) {
    switch (layer) {
    case Layer::Frame:
    case Layer::Lines:
        return 7;
    case Layer::Symbols:
        return 4;
    case Layer::Text:
        return 3;
    }
    return 7;
}

// Coordinates to 1e-4 mm in the C form DXF requires ('.' decimals, no grouping, no exponent).
QByteArray number(double value) {
    const double rounded = roundHalfAwayFromZero(value, 4) + 0.0; // no "-0"
    return formatGeneral(rounded == 0.0 ? 0.0 : rounded, RegionalFormat{}).toLatin1();
}

class Writer {
public:
    void pair(int code, const QByteArray& value) {
        // Group codes right-aligned in three columns, as AutoCAD writes them.
        out_ += QByteArray::number(code).rightJustified(3, ' ');
        out_ += "\r\n";
        out_ += value;
        out_ += "\r\n";
    }
    void pair(int code, const char* value) { pair(code, QByteArray(value)); }
    void pair(int code, int value) { pair(code, QByteArray::number(value)); }
    void real(int code, double value) { pair(code, number(value)); }
    void point(int code, Point p, double offsetX) {
        real(code, p.x + offsetX);
        real(code + 10, p.y);
        real(code + 20, 0.0);
    }
    QByteArray take() { return std::move(out_); }

private:
    QByteArray out_;
};

void header(Writer& w, const Drawing& drawing) {
    double width = 0.0, height = 0.0;
    for (const Sheet& s : drawing.sheets)
        height = std::max(height, s.heightMm);
    if (!drawing.sheets.empty())
        width = sheetOffsetMm(drawing, drawing.sheets.size() - 1) + drawing.sheets.back().widthMm;
    w.pair(0, "SECTION");
    w.pair(2, "HEADER");
    w.pair(9, "$ACADVER");
    w.pair(1, "AC1009");
    w.pair(9, "$DWGCODEPAGE");
    w.pair(3, "ANSI_936");
    w.pair(9, "$INSBASE");
    w.point(10, {}, 0.0);
    w.pair(9, "$EXTMIN");
    w.point(10, {}, 0.0);
    w.pair(9, "$EXTMAX");
    w.point(10, {width, height}, 0.0);
    w.pair(9, "$LIMMIN");
    w.real(10, 0.0);
    w.real(20, 0.0);
    w.pair(9, "$LIMMAX");
    w.real(10, width);
    w.real(20, height);
    w.pair(9, "$TEXTSTYLE");
    w.pair(7, kTextStyle);
    // Millimetres, metric drafting (the values R12 readers ignore harmlessly).
    w.pair(9, "$MEASUREMENT");
    w.pair(70, 1);
    w.pair(9, "$INSUNITS");
    w.pair(70, 4);
    w.pair(0, "ENDSEC");
}

void tables(Writer& w) {
    w.pair(0, "SECTION");
    w.pair(2, "TABLES");

    w.pair(0, "TABLE");
    w.pair(2, "LTYPE");
    w.pair(70, 2);
    w.pair(0, "LTYPE");
    w.pair(2, "CONTINUOUS");
    w.pair(70, 0);
    w.pair(3, "Solid line");
    w.pair(72, 65);
    w.pair(73, 0);
    w.real(40, 0.0);
    // Dashes of 6 mm with gaps of 2 mm at 1:1 (GB/T 4457.4 dashed line for a drawing at A3).
    w.pair(0, "LTYPE");
    w.pair(2, "DASHED");
    w.pair(70, 0);
    w.pair(3, "__ __ __");
    w.pair(72, 65);
    w.pair(73, 2);
    w.real(40, 8.0);
    w.real(49, 6.0);
    w.real(49, -2.0);
    w.pair(0, "ENDTAB");

    w.pair(0, "TABLE");
    w.pair(2, "LAYER");
    w.pair(70, int(std::size(kLayers)));
    for (Layer layer : kLayers) {
        w.pair(0, "LAYER");
        w.pair(2, layerName(layer).toLatin1());
        w.pair(70, 0);
        w.pair(62, layerColour(layer));
        w.pair(6, "CONTINUOUS");
    }
    w.pair(0, "ENDTAB");

    w.pair(0, "TABLE");
    w.pair(2, "STYLE");
    w.pair(70, 1);
    w.pair(0, "STYLE");
    w.pair(2, kTextStyle);
    w.pair(70, 0);
    w.real(40, 0.0); // height given by each text
    w.real(41, kWidthFactor);
    w.real(50, 0.0);
    w.pair(71, 0);
    w.real(42, 3.5);
    w.pair(3, kLetterFont);
    w.pair(4, kBigFont);
    w.pair(0, "ENDTAB");

    w.pair(0, "ENDSEC");
}

int horizontalCode(HorizontalAlign a) {
    switch (a) {
    case HorizontalAlign::Left:
        return 0;
    case HorizontalAlign::Centre:
        return 1;
    case HorizontalAlign::Right:
        return 2;
    }
    return 0;
}

int verticalCode(VerticalAlign a) {
    switch (a) {
    case VerticalAlign::Baseline:
        return 0;
    case VerticalAlign::Bottom:
        return 1;
    case VerticalAlign::Middle:
        return 2;
    case VerticalAlign::Top:
        return 3;
    }
    return 0;
}

void entities(Writer& w, const Drawing& drawing) {
    w.pair(0, "SECTION");
    w.pair(2, "ENTITIES");
    for (size_t i = 0; i < drawing.sheets.size(); ++i) {
        const Sheet& s = drawing.sheets[i];
        const double dx = sheetOffsetMm(drawing, i);
        for (const Line& l : s.lines) {
            w.pair(0, "LINE");
            w.pair(8, layerName(l.layer).toLatin1());
            if (l.dashed)
                w.pair(6, "DASHED");
            w.point(10, l.from, dx);
            w.point(11, l.to, dx);
        }
        for (const Polyline& p : s.polylines) {
            w.pair(0, "POLYLINE");
            w.pair(8, layerName(p.layer).toLatin1());
            w.pair(66, 1);
            w.point(10, {}, 0.0);
            w.pair(70, p.closed ? 1 : 0);
            for (const Point& v : p.points) {
                w.pair(0, "VERTEX");
                w.pair(8, layerName(p.layer).toLatin1());
                w.point(10, v, dx);
            }
            w.pair(0, "SEQEND");
            w.pair(8, layerName(p.layer).toLatin1());
        }
        for (const Circle& c : s.circles) {
            w.pair(0, "CIRCLE");
            w.pair(8, layerName(c.layer).toLatin1());
            w.point(10, c.centre, dx);
            w.real(40, c.radius);
        }
        for (const Arc& a : s.arcs) {
            w.pair(0, "ARC");
            w.pair(8, layerName(a.layer).toLatin1());
            w.point(10, a.centre, dx);
            w.real(40, a.radius);
            w.real(50, a.startDegrees);
            w.real(51, a.endDegrees);
        }
        for (const Text& t : s.texts) {
            w.pair(0, "TEXT");
            w.pair(8, layerName(t.layer).toLatin1());
            // The first alignment point; for any other alignment than left on the baseline the
            // second point (11) is the one that counts, and readers recompute the first.
            w.point(10, t.at, dx);
            w.real(40, t.heightMm);
            w.pair(1, dxfText(t.text));
            if (t.rotationDegrees != 0.0)
                w.real(50, t.rotationDegrees);
            w.real(41, kWidthFactor);
            w.pair(7, kTextStyle);
            const int h = horizontalCode(t.horizontal);
            const int v = verticalCode(t.vertical);
            if (h != 0)
                w.pair(72, h);
            if (h != 0 || v != 0)
                w.point(11, t.at, dx);
            if (v != 0)
                w.pair(73, v);
        }
    }
    w.pair(0, "ENDSEC");
}

} // namespace

QByteArray dxfText(const QString& text) {
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (u == u'%' && i + 1 < text.size() && text.at(i + 1) == u'%') {
            // "%%%" is AutoCAD's code for one percent sign: "%%" written as two of them, so that
            // "%%c" typed by the engineer does not turn into a diameter sign.
            out += "%%%%%%";
            ++i;
        } else if (u < 0x20 || u == 0x7f) {
            out += ' ';
        } else if (u == u'\\') {
            out += "\\U+005C";
        } else if (u < 0x80) {
            out += char(u);
        } else {
            // One character (with its low surrogate, beyond the BMP) in the drawing's code page,
            // or AutoCAD's escape of its code point where GBK has no such character.
            const qsizetype length = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QString one = text.mid(i, length);
            QStringEncoder gbk(kCodePageEncoding);
            const QByteArray bytes = gbk.encode(one);
            if (gbk.isValid() && !gbk.hasError() && !bytes.isEmpty()) {
                out += bytes;
            } else {
                for (const QChar unit : one) {
                    out += "\\U+";
                    out += QByteArray::number(unit.unicode(), 16).toUpper().rightJustified(4, '0');
                }
            }
            i += length - 1;
        }
    }
    return out;
}

QByteArray dxfDocument(const Drawing& drawing) {
    Writer w;
    header(w, drawing);
    tables(w);
    w.pair(0, "SECTION");
    w.pair(2, "BLOCKS");
    w.pair(0, "ENDSEC");
    entities(w, drawing);
    w.pair(0, "EOF");
    return w.take();
}

} // namespace korvane::drawing
