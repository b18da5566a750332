#include "app/hints.h"

#include "app/application.h"
#include "app/main_window_fields.h"

#include <QStringList>

#include <string_view>
#include <utility>
#include <vector>

namespace korvane {

namespace {

QString paragraphs(const QStringList& parts) {
    return parts.join(QStringLiteral("\r\n\r\n"));
}

// Each hint by the quantity of its button in the main window's table.
using HintTable = std::vector<std::pair<std::string_view, QString>>;

const HintTable& hintTable() {
    static const HintTable table = {
        {"hint.voltageLoss.cableDataSource",
         QStringLiteral("线路数据摘自《工业与民用配电设计手册》第三版 中国电力出版社 P550-P553")},
        {"hint.voltageLoss.conductorTemperature",
         paragraphs({QStringLiteral("【电缆线芯允许长期工作温度】"),
                     QStringLiteral("橡皮绝缘电力电缆线芯工作温度C--60"),
                     QStringLiteral("聚氯乙烯绝缘电力电缆线芯工作温度C--70"),
                     QStringLiteral("交联聚氯乙烯绝缘电力电缆线芯工作温度C--90")})},
        {"hint.voltageLoss.method",
         paragraphs(
             {QString(40, QChar(0x2606)),
              QStringLiteral("1）、对于照明线路，一般按允许电压损失选择线、缆截面，并校验机械强度和"
                             "允许截流量。"),
              QStringLiteral("可先求得计算电流和功率因数，用电流矩法进行计算。《工业与民用配电设计"
                             "手册》第三版"),
              QStringLiteral("2）、带有均匀分布负荷的三相平衡线路可将其分布负荷集中于分布线段的中点"
                             "，然后按集"),
              QStringLiteral("中负荷计算其电压损失。《民用建筑电气设计计算及示例》12SDX101-2")})},
        {"hint.voltageLoss.maxLength", QStringLiteral("【计算线路长度只考虑终段负荷情况】")},
        {"hint.shortCircuit.method",
         paragraphs({QStringLiteral(
                         "配电线路短路电流计算，导线连接点、开关设备和电器的接触电阻忽略不计。"),
                     QStringLiteral("计算过程采用有名单位制，电压用V、电流用kV、阻抗用mΩ。")})},
        {"hint.shortCircuit.threePhase",
         paragraphs({QStringLiteral("⑴、用于校验低压电器导体的热稳定"),
                     QStringLiteral("⑵、用于校验低压开关电器的分断能力")})},
        {"hint.shortCircuit.twoPhase", QStringLiteral("用于校验低压过电流保护电器的灵敏度")},
        {"hint.shortCircuit.earthFault",
         paragraphs({QStringLiteral("TN接地系统的低压网络单相接地故障电流Id计"),
                     QStringLiteral("算，用于校验低压接地故障保护电器的灵敏度")})},
        {"hint.shortCircuit.singlePhase",
         paragraphs({QStringLiteral("单相短路电流I″k1的计算是"),
                     QStringLiteral("TN和TT接地系统的低压网络相线与中性线"),
                     QStringLiteral("之间短路的单相短路电流I″k1的计算。"),
                     QStringLiteral("用于校验低压过电流保护电器的灵敏度：")})},
    };
    return table;
}

} // namespace

QString hintText(const QString& button) {
    for (const auto& [quantity, text] : hintTable()) {
        if (mainWindowFields().control(quantity) == button)
            return text;
    }
    return {};
}

void installHints(Application& app, Form& form) {
    for (const auto& [quantity, text] : hintTable()) {
        const QString name = mainWindowFields().control(quantity);
        if (!form.has(name))
            continue; // a button of a page part not laid out in this window
        form.control(name).on(Event::Click, [&app, text = text] {
            app.platform().messageBox(MessageIcon::None, QStringLiteral("Korvane"), text);
        });
    }
}

} // namespace korvane
