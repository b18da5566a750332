#include "short_circuit/short_circuit_page.h"

namespace korvane {

namespace {

void designInputFrame(Form& form, Placement page) {
    auto& frame = addFrame(form, page, QStringLiteral("Frame11"),
                           QStringLiteral("计算短路电流输入参数"), {10, 8, 620, 440});
    const Placement in{&frame, -1};
    auto& capacity = addLabelledCombo(form, in, QStringLiteral("Combo18"),
                                      QStringLiteral("系统短路容量MVA "), 12, 24, 128, 80);
    capacity.setEditable(true);
    capacity.addItems({QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"),
                       QStringLiteral("50"), QStringLiteral("75"), QStringLiteral("100"),
                       QStringLiteral("200"), QStringLiteral("250"), QStringLiteral("300")});
    capacity.setToolTip(QStringLiteral("高压侧系统基准容量可以任意选定，为计算方便，一般取100MVA"));

    // The supply chain drawn left to right: system, transformer, busbar, K1, line, K2. The
    // three segments of the line blink while the program runs.
    const int y = 80;
    auto line = [&](const char* name, int x1, int x2) {
        auto& l = form.add<Line>(QString::fromLatin1(name), &frame, -1, {x1, y - 2, x2 - x1, 4});
        l.setEnds(x1, y, x2, y);
        l.setBorderWidth(2);
    };
    line("Line9", 60, 200);
    line("Line10", 240, 380);
    line("Line11", 420, 580);

    form.add<ProgressBar>(QStringLiteral("ProgressBar1"), &frame, -1, {60, 400, 520, 16});
}

void designResultFrame(Form& form, Placement page) {
    auto& frame = addFrame(form, page, QStringLiteral("Frame10"), QStringLiteral("计算结果"),
                           {640, 8, 330, 440});
    const Placement in{&frame, -1};
    form.add<CheckBox>(QStringLiteral("Check13"), &frame, -1, {8, 140, 18, 18});
    auto& singlePhase = addLabelledText(form, in, QStringLiteral("Text45"),
                                        QStringLiteral("单相短路电流I\"k1(kA)"), 28, 138, 150, 100);
    singlePhase.setEnabled(false);
    singlePhase.setBackColor(colors::kButtonFace);
}

} // namespace

void designShortCircuitPage(Form& form, Placement page) {
    designInputFrame(form, page);
    designResultFrame(form, page);
    const int y = 460;
    addButton(form, page, QStringLiteral("Command9"), QStringLiteral("计  算"), {120, y, 110, 32});
    addButton(form, page, QStringLiteral("Command10"), QStringLiteral("清  零"), {250, y, 110, 32});
    addButton(form, page, QStringLiteral("Command21"), QStringLiteral("Word计算书"),
              {380, y, 110, 32});
    addButton(form, page, QStringLiteral("Command24"), QStringLiteral("[提 示]"),
              {510, y, 110, 32});
    addButton(form, page, QStringLiteral("Command11"), QStringLiteral("退  出"), {640, y, 110, 32});
}

} // namespace korvane
