#include "verification/verification_page.h"

namespace korvane {

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
    diagram.setVisible(false);
    auto& report = form.add<TextBox>(QStringLiteral("Text71"), page.container, page.page,
                                     {470, 166, 500, 322});
    report.setMultiLine(true);
    auto& placeholder = form.add<TextBox>(QStringLiteral("Text73"), page.container, page.page,
                                          {470, 166, 500, 322});
    placeholder.setMultiLine(true);
    placeholder.setText(QStringLiteral("数据视窗"));
}

} // namespace korvane
