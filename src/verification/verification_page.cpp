#include "verification/verification_page.h"

#include <algorithm>
#include <cstdlib>

namespace korvane {

namespace {

// The single-line diagram of the verified line, drawn left to right along the conductor: the
// transformer's isolator QS and breaker QF, the busbar WB, the line's residual-current breaker
// QR with its zero-sequence current transformer, the contactor QC and the line L to the lamps.
// Switches are drawn open (GB/T 4728): a blade raised from the conductor, with a bar at the
// fixed contact of the isolator, "×" for a breaker and "⌒" for a contactor.
class DiagramPen {
public:
    DiagramPen(Form& form, Frame& frame) : form_(form), frame_(frame) {}

    Line& line(int x1, int y1, int x2, int y2, int width = 1) {
        const Rect box{std::min(x1, x2) - 2 - width / 2, std::min(y1, y2) - 2 - width / 2,
                       std::abs(x2 - x1) + 4 + width, std::abs(y2 - y1) + 4 + width};
        auto& l = form_.add<Line>(QStringLiteral("Line%1").arg(nextLine_++), &frame_, -1, box);
        l.setEnds(x1, y1, x2, y2);
        l.setBorderWidth(width);
        return l;
    }

    Label& text(const QString& caption, Rect geometry) {
        auto& label = addLabel(form_, {&frame_, -1}, QStringLiteral("Label%1").arg(nextLabel_++),
                               caption, geometry);
        label.setAlignment(Alignment::Center);
        return label;
    }

private:
    Form& form_;
    Frame& frame_;
    int nextLine_ = 12;
    int nextLabel_ = 61;
};

void designDiagram(Form& form, Frame& frame) {
    DiagramPen pen(form, frame);
    const int y = 88;     // the conductor
    const int nameY = 40; // the names above it
    const int blade = 32; // horizontal reach of an open blade
    const int rise = 18;  // its rise above the conductor
    auto name = [&](const char* caption, int centre) {
        pen.text(QString::fromLatin1(caption), {centre - 18, nameY, 36, 18});
    };
    // An open switch from x to x + blade + 4, the fixed contact at its right end.
    auto openBlade = [&](int x) { pen.line(x, y, x + blade, y - rise); };
    // Switch symbols drawn as glyphs, their type as large as their box.
    auto symbol = [&](const QString& glyph, int centre, int top, int size) {
        pen.text(glyph, {centre - size / 2 - 2, top - 2, size + 4, size + 6})
            .setFontSize(size * 0.75);
    };

    pen.line(14, y, 48, y);
    openBlade(48);
    pen.line(84, y - 7, 84, y + 7); // isolator: bar at the fixed contact
    name("QS", 66);

    pen.line(84, y, 124, y);
    openBlade(124);
    symbol(QStringLiteral("×"), 160, y - 10, 16);
    name("QF", 142);

    pen.line(160, y, 210, y);
    pen.line(210, y - 28, 210, y + 28, 5); // busbar
    name("WB", 210);

    pen.line(210, y, 256, y);
    openBlade(256);
    symbol(QStringLiteral("×"), 292, y - 10, 16);
    symbol(QStringLiteral("○"), 318, y - 11, 18); // zero-sequence CT around the conductor
    name("QR", 290);

    pen.line(292, y, 350, y);
    openBlade(350);
    symbol(QStringLiteral("⌒"), 386, y - 12, 16);
    name("QC", 368);

    pen.line(386, y, 472, y);
    pen.line(472, y, 463, y - 5); // towards the lamps
    pen.line(472, y, 463, y + 5);
    name("L", 430);
}

} // namespace

void designVerificationPage(Form& form, Placement page) {
    auto& frame = addFrame(form, page, QStringLiteral("Frame9"), QStringLiteral("输入校验参数"),
                           {10, 8, 450, 480});
    const Placement in{&frame, -1};
    const int x = 36;
    const int label = 190;
    const int field = 120;
    auto row = [](int k) { return 26 + 38 * k; };
    auto text = [&](const char* name, const char* caption, int k) -> TextBox& {
        return addLabelledText(form, in, QString::fromLatin1(name), QString::fromUtf8(caption), x,
                               row(k), label, field);
    };
    const int pickerX = x + label + field + 4;

    text("Text51", "热稳定系数 K", 0);
    // The K picker lies on the page itself, over the frame's first row.
    addButton(form, page, QStringLiteral("Command26"), QStringLiteral("←"),
              {10 + pickerX, 8 + row(0), 32, kRowHeight});

    text("Text52", "短路持续时间 s", 1);
    auto& duration =
        form.add<UpDown>(QStringLiteral("UpDown1"), &frame, -1, {pickerX, row(1), 20, kRowHeight});
    duration.setRange(0, 100);

    text("Text39", "线路阻抗 Rphp", 2);
    addButton(form, in, QStringLiteral("Command27"), QStringLiteral("←"),
              {pickerX, row(2), 32, kRowHeight});
    text("Text72", "线路泄露电流 mA/km", 3);
    addButton(form, in, QStringLiteral("Command31"), QStringLiteral("←"),
              {pickerX, row(3), 32, kRowHeight});
    text("Text35", "三相短路电流I\"k3 (kA)", 4);

    auto& earthFault =
        form.add<CheckBox>(QStringLiteral("Check15"), &frame, -1, {10, row(5) + 2, 18, 18});
    earthFault.assignValue(1);
    text("Text36", "单相接地故障电流Id(kA)", 5);
    form.add<CheckBox>(QStringLiteral("Check14"), &frame, -1, {10, row(6) + 2, 18, 18});
    text("Text75", "单相短路电流I\"k1(kA)", 6);
    text("Text37", "负荷计算电流 (A)", 7);
    text("Text38", "线路长度 L(km)", 8);

    const int y = 420;
    addButton(form, in, QStringLiteral("Command28"), QStringLiteral("校 验"), {20, y, 120, 32});
    addButton(form, in, QStringLiteral("Command29"), QStringLiteral("清除数据"), {160, y, 120, 32});
    addButton(form, in, QStringLiteral("Command30"), QStringLiteral("退  出"), {300, y, 120, 32});

    auto& diagram = addFrame(form, page, QStringLiteral("Frame12"), QStringLiteral("配电示意图"),
                             {470, 8, 500, 150});
    designDiagram(form, diagram);
    diagram.setVisible(false);
    auto& report = form.add<TextBox>(QStringLiteral("Text71"), page.container, page.page,
                                     {470, 166, 500, 322});
    report.setMultiLine(true);
    auto& placeholder = form.add<TextBox>(QStringLiteral("Text73"), page.container, page.page,
                                          {470, 166, 500, 322});
    placeholder.setMultiLine(true);
    placeholder.setText(QStringLiteral("数据视窗"));
    addStaleResultsNote(form, page, QStringLiteral("StaleNote2"), {470, 492, 500, 20});
}

} // namespace korvane
