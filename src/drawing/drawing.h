#pragma once

#include <QString>

#include <vector>

namespace korvane::drawing {

// A drawing as the CAD programs keep it: lines, circles, arcs, polylines and texts in
// millimetres at 1:1, the y axis upwards, each on a layer. The distribution system diagram is
// composed into it once, and each writer (DXF, SVG, the painter of the window and the PDF)
// draws the same entities.

// The layers of a drawing, named after the usual CAD layer convention of electrical drawings
// (discipline letter, then what the layer holds), ASCII so that every CAD program reads them.
enum class Layer {
    Frame,   // the sheet's border and title block
    Lines,   // the busbar and circuit lines
    Symbols, // the graphical symbols (GB/T 4728 = IEC 60617)
    Text,    // every text
};
inline constexpr Layer kLayers[] = {Layer::Frame, Layer::Lines, Layer::Symbols, Layer::Text};
QString layerName(Layer layer);

struct Point {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const Point&) const = default;
};

struct Line {
    Point from;
    Point to;
    Layer layer = Layer::Lines;
    bool dashed = false;
};

struct Polyline {
    std::vector<Point> points;
    bool closed = false;
    Layer layer = Layer::Symbols;
};

struct Circle {
    Point centre;
    double radius = 0.0;
    Layer layer = Layer::Symbols;
};

// An arc counter-clockwise from startDegrees to endDegrees, angles from the x axis.
struct Arc {
    Point centre;
    double radius = 0.0;
    double startDegrees = 0.0;
    double endDegrees = 0.0;
    Layer layer = Layer::Symbols;
};

enum class HorizontalAlign { Left, Centre, Right };
enum class VerticalAlign { Baseline, Bottom, Middle, Top };

// One line of text: `at` is the point the alignment names (the left end of the baseline for
// Left/Baseline), height is the capital height in mm, rotation counter-clockwise.
struct Text {
    Point at;
    double heightMm = 3.5;
    QString text;
    HorizontalAlign horizontal = HorizontalAlign::Left;
    VerticalAlign vertical = VerticalAlign::Baseline;
    double rotationDegrees = 0.0;
    Layer layer = Layer::Text;
};

// One sheet: its size and what is drawn on it, in the sheet's own coordinates (0, 0 at the
// lower left corner of the paper).
struct Sheet {
    double widthMm = 420.0; // A3 landscape (GB/T 14689)
    double heightMm = 297.0;
    std::vector<Line> lines;
    std::vector<Polyline> polylines;
    std::vector<Circle> circles;
    std::vector<Arc> arcs;
    std::vector<Text> texts;
};

// A drawing of one or more sheets. In model space the sheets lie side by side, each
// kSheetGapMm to the right of the one before, so that one file holds them all.
struct Drawing {
    QString title;
    std::vector<Sheet> sheets;
};
inline constexpr double kSheetGapMm = 20.0;

// The x offset of a sheet in model space.
double sheetOffsetMm(const Drawing& drawing, size_t sheet);

} // namespace korvane::drawing
