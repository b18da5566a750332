#include "verification/verification_page.h"

namespace korvane {

void designVerificationPage(Form& form, Placement page) {
    auto& frame = addFrame(form, page, QStringLiteral("Frame9"), QStringLiteral("输入校验参数"),
                           {10, 8, 450, 480});
    const Placement in{&frame, -1};
    const int x = 36;
    const int label = 190;
    auto row = [](int k) { return 26 + 36 * k; };

    addLabelledText(form, in, QStringLiteral("Text52"), QStringLiteral("短路持续时间 s"), x, row(1),
                    label, 120);
    auto& duration = form.add<UpDown>(QStringLiteral("UpDown1"), &frame, -1,
                                      {x + label + 122, row(1), 20, kRowHeight});
    duration.setRange(0, 100);

    auto& earthFault =
        form.add<CheckBox>(QStringLiteral("Check15"), &frame, -1, {10, row(5) + 2, 18, 18});
    earthFault.assignValue(1);
    addLabelledText(form, in, QStringLiteral("Text36"), QStringLiteral("单相接地故障电流Id(kA)"), x,
                    row(5), label, 120);
    form.add<CheckBox>(QStringLiteral("Check14"), &frame, -1, {10, row(6) + 2, 18, 18});
    addLabelledText(form, in, QStringLiteral("Text75"), QStringLiteral("单相短路电流I\"k1(kA)"), x,
                    row(6), label, 120);

    const int y = 420;
    addButton(form, in, QStringLiteral("Command28"), QStringLiteral("校 验"), {20, y, 120, 32});
    addButton(form, in, QStringLiteral("Command29"), QStringLiteral("清除数据"), {160, y, 120, 32});
    addButton(form, in, QStringLiteral("Command30"), QStringLiteral("退  出"), {300, y, 120, 32});

    auto& diagram = addFrame(form, page, QStringLiteral("Frame12"), QStringLiteral("配电示意图"),
                             {470, 8, 500, 150});
    diagram.setVisible(false);
}

} // namespace korvane
