#include "short_circuit/short_circuit_page.h"

#include <string_view>

namespace korvane {

namespace {

// The supply chain drawn left to right: system, transformer "▲", busbar "⊙", K1, the line, K2.
// The three line segments blink while the program runs.
void designSchematic(Form& form, Frame& frame) {
    const Placement in{&frame, -1};
    const int y = 104;
    auto line = [&](const char* name, int x1, int x2) {
        auto& l = form.add<Line>(QString::fromLatin1(name), &frame, -1, {x1, y - 2, x2 - x1, 4});
        l.setEnds(x1, y, x2, y);
        l.setBorderWidth(2);
    };
    addLabel(form, in, QStringLiteral("Label51"), QStringLiteral("系统"), {20, y - 30, 40, 18});
    line("Line9", 30, 176);
    addLabel(form, in, QStringLiteral("Label52"), QStringLiteral("变压器"), {170, y - 44, 60, 18});
    addButton(form, in, QStringLiteral("Command22"), QStringLiteral("▲"), {176, y - 13, 32, 26},
              QStringLiteral("选择变压器参数"));
    form.add<TextBox>(QStringLiteral("Text53"), &frame, -1, {150, y + 20, 110, kRowHeight});
    line("Line10", 208, 296);
    addLabel(form, in, QStringLiteral("Label53"), QStringLiteral("  母线"), {286, y - 44, 60, 18});
    addButton(form, in, QStringLiteral("Command23"), QStringLiteral("⊙"), {296, y - 13, 32, 26},
              QStringLiteral("选择母线参数"));
    line("Line11", 328, 566);
    addLabel(form, in, QStringLiteral("Label54"), QStringLiteral("K1"), {344, y - 26, 30, 18});
    addLabel(form, in, QStringLiteral("Label55"), QStringLiteral("电缆线路"),
             {420, y - 26, 80, 18});
    addLabel(form, in, QStringLiteral("Label56"), QStringLiteral("K2"), {560, y - 30, 30, 18});
    auto& point =
        addLabel(form, in, QStringLiteral("Shape1"), QStringLiteral("●"), {562, y - 9, 18, 18});
    point.setForeColor(0x808080);
    point.setToolTip(QStringLiteral("线路末端短路点"));
}

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
    designSchematic(form, frame);

    struct Row {
        const char* field;
        const char* label;
        const char* picker;
    };
    const Row rows[] = {
        {"Text40", "线路单位长度电阻值 R0", "Command19"},
        {"Text41", "线路单位长度电抗值X0", "Command20"},
        {"Text46", "线路单位长度相保电阻Rphp", "Command15"},
        {"Text47", "线路单位长度相保电抗Xphp", "Command16"},
        {"Text49", "线路单位长度相中电阻R'", "Command17"},
        {"Text50", "线路单位长度相中电抗X'", "Command18"},
    };
    int y = 160;
    for (const Row& row : rows) {
        addLabelledText(form, in, QString::fromLatin1(row.field), QString::fromUtf8(row.label), 40,
                        y, 200, 120);
        addLabel(form, in, QStringLiteral("LabelUnit") + QString::fromLatin1(row.field),
                 QStringLiteral("mΩ/m"), {364, y + 3, 50, 18});
        addButton(form, in, QString::fromLatin1(row.picker), QStringLiteral("←"),
                  {416, y, 32, kRowHeight}, QStringLiteral("选取低压线路单位长度阻抗值"));
        y += 32;
    }
    addLabelledText(form, in, QStringLiteral("Text48"), QStringLiteral("线路长度 L (km)"), 40, y,
                    200, 120);

    form.add<ProgressBar>(QStringLiteral("ProgressBar1"), &frame, -1, {40, 410, 540, 14});
}

void designResultFrame(Form& form, Placement page) {
    auto& frame = addFrame(form, page, QStringLiteral("Frame10"), QStringLiteral("计算结果"),
                           {640, 8, 330, 440});
    const Placement in{&frame, -1};
    struct Row {
        const char* field;
        const char* label;
        const char* hint;
    };
    const Row rows[] = {
        {"Text42", "三相短路电流I\"k3 (kA)", "Command12"},
        {"Text43", "两相短路电流I\"k2 (kA)", "Command13"},
        {"Text44", "单相接地故障电流Id(kA)", "Command14"},
        {"Text45", "单相短路电流I\"k1(kA)", "Command32"},
    };
    int y = 40;
    for (const Row& row : rows) {
        addLabelledText(form, in, QString::fromLatin1(row.field), QString::fromUtf8(row.label), 28,
                        y, 160, 100);
        addButton(form, in, QString::fromLatin1(row.hint), QStringLiteral(">>"),
                  {292, y, 30, kRowHeight},
                  row.hint == std::string_view("Command32") ? QString() : QStringLiteral("提示"));
        y += 60;
    }
    form.add<CheckBox>(QStringLiteral("Check13"), &frame, -1, {8, 40 + 3 * 60 + 2, 18, 18});
    auto& singlePhase = form.text(QStringLiteral("Text45"));
    singlePhase.setEnabled(false);
    singlePhase.setBackColor(colors::kButtonFace);
    addStaleResultsNote(form, in, QStringLiteral("StaleNote1"), {28, 40 + 4 * 60, 290, 20});
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
