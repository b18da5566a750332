#include "voltage_loss/voltage_loss_page.h"

#include "base/number_format.h"

#include <QStringList>

#include <initializer_list>

namespace korvane {

namespace {

// Fixed list items are numbers the program writes into a field, so they carry the regional
// decimal sign like every other such number.
QStringList regionalItems(std::initializer_list<const char*> plain) {
    QStringList items;
    for (const char* item : plain)
        items << regionalDecimalText(QString::fromLatin1(item));
    return items;
}

QStringList steppedItems(double first, double step, int count, int decimals) {
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << regionalDecimalText(QString::number(first + step * i, 'f', decimals));
    return items;
}

void designCableFrame(Form& form, Placement page) {
    auto& frame = addFrame(form, page, QStringLiteral("Frame1"), QStringLiteral("计算输入参数"),
                           {10, 8, 470, 330});
    const Placement in{&frame, -1};
    const int x = 12;
    const int label = 128;
    const int field = 320;
    addLabelledCombo(form, in, QStringLiteral("Combo1"), QStringLiteral("线路损失类型"), x, 24,
                     label, field);
    addLabelledCombo(form, in, QStringLiteral("Combo2"), QStringLiteral("电缆类型、型号"), x, 54,
                     label, field);
    addLabelledCombo(form, in, QStringLiteral("Combo3"), QStringLiteral("导线截面（mm2)"), x, 84,
                     label, 120);
    addLabelledText(form, in, QStringLiteral("Text1"), QStringLiteral("导线电阻(Ω/km)"), x, 114,
                    label, 120);
    addLabelledText(form, in, QStringLiteral("Text2"), QStringLiteral("导线感抗(Ω/km)"), x, 144,
                    label, 120);
    auto& voltage = addLabelledCombo(form, in, QStringLiteral("Combo7"),
                                     QStringLiteral("电压等级(kV)"), x, 174, label, 120);
    voltage.setEditable(true);
    voltage.addItems(regionalItems({"10", "6", "0.38", "0.22", "0.11"}));
    addLabelledCombo(form, in, QStringLiteral("Combo4"), QStringLiteral("功率因素(cosφ)"), x, 204,
                     label, 120)
        .addItems(steppedItems(0.05, 0.05, 20, 2));
    addLabelledCombo(form, in, QStringLiteral("Combo8"), QStringLiteral("线芯工作温度C"), x, 234,
                     label, 120)
        .addItems(steppedItems(50, 10, 5, 0));
    addLabelledCombo(form, in, QStringLiteral("Combo9"), QStringLiteral("环境温度C"), x, 264, label,
                     120)
        .addItems(steppedItems(10, 5, 15, 0));
    addButton(form, in, QStringLiteral("Command4"), QStringLiteral("线路数据源>>"),
              {x, 296, 120, 24});
    addButton(form, in, QStringLiteral("Command7"), QStringLiteral(">>"),
              {x + label + 128, 234, 36, kRowHeight},
              QStringLiteral("选取电缆线芯允许长期工作温度"));
}

void designLineFrame(Form& form, Placement page) {
    auto& frame = addFrame(form, page, QStringLiteral("Frame2"), QStringLiteral("选择线路"),
                           {490, 8, 480, 92});
    const Placement in{&frame, -1};
    addLabelledCombo(form, in, QStringLiteral("Combo5"), QStringLiteral("线路种类"), 12, 24, 72,
                     340);
    addLabelledCombo(form, in, QStringLiteral("Combo6"), QStringLiteral("负荷情况"), 12, 56, 72,
                     340);
    addButton(form, in, QStringLiteral("Command25"), QStringLiteral(">>"),
              {430, 56, 36, kRowHeight});
}

const Rect kLoadFrameGeometry{490, 106, 480, 232};

void designSingleLoadFrame(Form& form, Placement page, const QString& frameName,
                           const QString& loadField, const QString& loadCaption,
                           const QString& lengthField) {
    auto& frame = addFrame(form, page, frameName, QStringLiteral("负荷参数"), kLoadFrameGeometry);
    const Placement in{&frame, -1};
    addLabelledText(form, in, loadField, loadCaption, 24, 40, 140, 140);
    addLabelledText(form, in, lengthField, QStringLiteral("线路长度L(km)"), 24, 80, 140, 140);
}

// Frames of four switchable loads; `first` is the index of the first load in kSwitchedLoads.
void designMultiLoadFrame(Form& form, Placement page, const QString& frameName, int first,
                          const QString& loadCaption, const QStringList& lengthCaptions) {
    auto& frame = addFrame(form, page, frameName, QStringLiteral("负荷参数"), kLoadFrameGeometry);
    frame.setVisible(false);
    const Placement in{&frame, -1};
    const BindingTable& fields = voltageLossFields();
    for (int k = 0; k < 4; ++k) {
        const SwitchedLoad& load = kSwitchedLoads[static_cast<size_t>(first + k)];
        const int y = 28 + 48 * k;
        auto& check =
            form.add<CheckBox>(fields.control(load.included), &frame, -1, {10, y + 2, 18, 18});
        check.assignValue(1);
        addLabelledText(form, in, fields.control(load.load), loadCaption.arg(k + 1), 32, y, 124,
                        84);
        addLabelledText(form, in, fields.control(load.lengthKm), lengthCaptions.at(k), 248, y, 120,
                        84);
    }
}

void designResultFrame(Form& form, Placement page) {
    auto& frame = addFrame(form, page, QStringLiteral("Frame3"), QStringLiteral("计算结果"),
                           {10, 344, 960, 116});
    const Placement in{&frame, -1};
    addLabelledText(form, in, QStringLiteral("Text6"), QStringLiteral("线路电压损失Δυ%"), 12, 26,
                    150, 130);
    addLabelledText(form, in, QStringLiteral("Text7"), QStringLiteral("最大允许线路长度L(m)"), 12,
                    62, 150, 130);
    auto& verdict = form.add<TextBox>(QStringLiteral("Text3"), &frame, -1, {330, 26, 600, 58});
    verdict.setMultiLine(true);
    verdict.setBackColor(colors::kButtonFace);
    verdict.setForeColor(colors::kRed);
    addButton(form, in, QStringLiteral("Command6"), QStringLiteral(">>"),
              {294, 62, 30, kRowHeight});
    addStaleResultsNote(form, in, QStringLiteral("StaleNote0"), {330, 88, 600, 20});
}

} // namespace

void designVoltageLossPage(Form& form, Placement page) {
    designCableFrame(form, page);
    designLineFrame(form, page);

    designSingleLoadFrame(form, page, QStringLiteral("Frame4"), QStringLiteral("Text4"),
                          QStringLiteral("负荷计算电流(A)"), QStringLiteral("Text5"));
    designMultiLoadFrame(form, page, QStringLiteral("Frame5"), kFirstCurrentLoad,
                         QStringLiteral("负荷计算电流I%1(A)"),
                         {QStringLiteral("线路长度L1(km)"), QStringLiteral("线路长度L2(km)"),
                          QStringLiteral("线路长度L3(km)"), QStringLiteral("线路长度L4(km)")});
    designSingleLoadFrame(form, page, QStringLiteral("Frame6"), QStringLiteral("Text17"),
                          QStringLiteral("有功负荷P(kw)"), QStringLiteral("Text18"));
    form.frame(QStringLiteral("Frame6")).setVisible(false);
    designMultiLoadFrame(form, page, QStringLiteral("Frame7"), kFirstPowerLoad,
                         QStringLiteral("有功负荷P%1(kw)"),
                         {QStringLiteral("线路长度L1(km)"), QStringLiteral("线路长度L2(km)"),
                          QStringLiteral("线路长度3L(km)"), QStringLiteral("线路长度4L(km)")});
    designMultiLoadFrame(form, page, QStringLiteral("Frame8"), kFirstUnityPowerLoad,
                         QStringLiteral("有功负荷P%1(kw)"),
                         {QStringLiteral("线路长度L1(km)"), QStringLiteral("线路长度L2(km)"),
                          QStringLiteral("线路长度L3(km)"), QStringLiteral("线路长度L4(km)")});

    designResultFrame(form, page);

    const int y = 472;
    addButton(form, page, QStringLiteral("Command1"), QStringLiteral("计  算"), {330, y, 110, 32});
    addButton(form, page, QStringLiteral("Command2"), QStringLiteral("Word计算书"),
              {460, y, 110, 32});
    addButton(form, page, QStringLiteral("Command5"), QStringLiteral("清   零"), {590, y, 110, 32});
    addButton(form, page, QStringLiteral("Command3"), QStringLiteral("退  出"), {720, y, 110, 32});
}

} // namespace korvane
