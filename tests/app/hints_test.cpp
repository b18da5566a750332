// The hint buttons: one fixed text each, and nothing else changes.

#include "app/hints.h"

#include "support/test_app.h"

#include <map>
#include <string>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

struct Hint {
    const char* button;
    const char* text;
};

// ⏎⏎ of the hint table is "\r\n\r\n".
const Hint kHints[] = {
    {"Command4", "线路数据摘自《工业与民用配电设计手册》第三版 中国电力出版社 P550-P553"},
    {"Command7",
     "【电缆线芯允许长期工作温度】\r\n\r\n橡皮绝缘电力电缆线芯工作温度C--60\r\n\r\n"
     "聚氯乙烯绝缘电力电缆线芯工作温度C--70\r\n\r\n交联聚氯乙烯绝缘电力电缆线芯工作温度C--90"},
    {"Command25",
     "☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆☆\r\n\r\n"
     "1）、对于照明线路，一般按允许电压损失选择线、缆截面，并校验机械强度和允许截流量。\r\n\r\n"
     "可先求得计算电流和功率因数，用电流矩法进行计算。《工业与民用配电设计手册》第三版\r\n\r\n"
     "2）、带有均匀分布负荷的三相平衡线路可将其分布负荷集中于分布线段的中点，然后按集\r\n\r\n"
     "中负荷计算其电压损失。《民用建筑电气设计计算及示例》12SDX101-2"},
    {"Command6", "【计算线路长度只考虑终段负荷情况】"},
    {"Command24", "配电线路短路电流计算，导线连接点、开关设备和电器的接触电阻忽略不计。\r\n\r\n"
                  "计算过程采用有名单位制，电压用V、电流用kV、阻抗用mΩ。"},
    {"Command12", "⑴、用于校验低压电器导体的热稳定\r\n\r\n⑵、用于校验低压开关电器的分断能力"},
    {"Command13", "用于校验低压过电流保护电器的灵敏度"},
    {"Command14", "TN接地系统的低压网络单相接地故障电流Id计\r\n\r\n"
                  "算，用于校验低压接地故障保护电器的灵敏度"},
    {"Command32", "单相短路电流I″k1的计算是\r\n\r\nTN和TT接地系统的低压网络相线与中性线\r\n\r\n"
                  "之间短路的单相短路电流I″k1的计算。\r\n\r\n用于校验低压过电流保护电器的灵敏度："},
};

// Everything a user could see change on the window: texts, items, values, enabled and visible.
std::map<QString, QString> snapshot(const Form& form) {
    std::map<QString, QString> state;
    for (const auto& control : form.controls()) {
        QString line;
        for (const auto& [name, value] : control->properties())
            line += name + u'=' + value + u';';
        if (const auto* combo = dynamic_cast<const ComboBox*>(control.get()))
            line += combo->items().join(u'|');
        state[control->name()] = line;
    }
    return state;
}

// Names of the controls whose state differs between two snapshots.
std::string changedControls(const std::map<QString, QString>& before,
                            const std::map<QString, QString>& after) {
    std::string names;
    for (const auto& [name, state] : after) {
        auto it = before.find(name);
        if (it == before.end() || it->second != state)
            names += name.toStdString() + ' ';
    }
    return names;
}

TEST(Hints, EachButtonShowsItsOwnText) {
    for (const Hint& h : kHints) {
        SCOPED_TRACE(h.button);
        EXPECT_EQ(hintText(u8(h.button)), u8(h.text));
    }
    EXPECT_EQ(u8(kHints[2].text).left(41), QString(40, QChar(0x2606)) + u8("\r"));
    EXPECT_EQ(hintText(u8("Command1")), QString()); // a button that is no hint
}

TEST(Hints, ClickShowsOneUntitledBoxAndChangesNothing) {
    TestApp t;
    // A page in some state of use, so that "nothing changes" has something to keep.
    t.select("Combo3", u8("50"));
    t.select("Combo6", u8("(3)几个负荷用电流矩(A.km)"));
    ASSERT_EQ(userCheck(t.check("Check2"), 0), QString());
    t.setText("Text4", u8("100"));
    t.click("Command1");

    for (const Hint& h : kHints) {
        SCOPED_TRACE(h.button);
        ASSERT_TRUE(t.form().has(u8(h.button)));
        for (int round = 0; round < 2; ++round) {
            const auto before = snapshot(t.form());
            t.platform().messages.clear();
            t.click(h.button);
            ASSERT_EQ(t.platform().messages.size(), 1U);
            const RecordedMessage& shown = t.platform().messages.front();
            EXPECT_EQ(shown.text, u8(h.text));
            EXPECT_EQ(shown.title, u8("Korvane"));
            EXPECT_EQ(shown.icon, MessageIcon::None);
            EXPECT_EQ(changedControls(before, snapshot(t.form())), "");
            EXPECT_TRUE(t.platform().endStatuses.empty());
        }
    }
}

} // namespace
} // namespace korvane::testing
