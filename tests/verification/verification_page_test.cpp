// "校 验" and "清除数据" of page 2, driven as the user drives them.

#include "support/test_app.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

const char* const kMissing = "校验参数未输全，请检查：";
const char* const kLoadOutOfRange = " 超出计算范围！重新选择设计参数：";
const char* const kTransformerOutOfRange = " 变压器容量超出范围！重新选择：";
const char* const kEarthFaultLow = "断路器灵敏度校验 < 1.3 不合格,单相接地故障\r\n\r\n"
                                   "电流Id较小，需扩大导体截面或缩短供电距离：";
const char* const kShortCircuitLow = "断路器灵敏度校验 < 1.3 不合格,单相短路 \r\n\r\n"
                                     "电流Ik1较小，需扩大导体截面或缩短供电距离：";
const char* const kEarthFaultResistance = "选择的电缆截面不符合接地故障保护要求，重新选择电缆截面";

// A line that passes every check: Ib 20 A (x 30: QR 32 A, QC 32 A) over 0.5 km (Rlim 2.75 Ω/km),
// Rphp 2.5 Ω/km, 15 mA/km of leakage (Ixn 7.5 mA, Ivn 30 mA), K 115, t 1 s, I″k3 5 kA
// (Smin 43.4783 mm² under S = 50 mm²), Id 2 kA (ratio 15.63), I″k1 0.15 kA (ratio 1.17),
// 400 kVA transformer (QS 800 A, QF 700 A), Δu 4.5351 %.
class VerificationPage : public ::testing::Test {
protected:
    void SetUp() override { fill(); }

    void fill() {
        app.select("Combo3", u8("50"));
        const std::pair<const char*, const char*> values[] = {
            {"Text51", "115"},   {"Text52", "1.00"},      {"Text39", "2.5"},
            {"Text72", "15"},    {"Text35", "5"},         {"Text36", "2"},
            {"Text75", "0.15"},  {"Text37", "20"},        {"Text38", "0.5"},
            {"Text57", "400"},   {"Text74", "铜母线TMY"}, {"Text9", "4(125X10)"},
            {"Text6", "4.5351"},
        };
        for (const auto& [name, value] : values)
            app.setText(name, u8(value));
    }

    void verify() { app.click("Command28"); }
    void shortCircuitMode() {
        ASSERT_EQ(userCheck(app.check("Check15"), 0), QString());
        ASSERT_EQ(userCheck(app.check("Check14"), 1), QString());
    }

    std::vector<std::string> reportLines() {
        std::vector<std::string> lines;
        for (const QString& line : app.text("Text71").split(u8("\r\n")))
            lines.push_back(line.toStdString());
        return lines;
    }
    std::string reportLine(int number) {
        const auto lines = reportLines();
        return number <= static_cast<int>(lines.size()) ? lines[static_cast<size_t>(number - 1)]
                                                        : "(no line)";
    }
    // Texts of the message boxes shown so far; each must carry its page's title and icon.
    std::vector<std::string> messages() {
        std::vector<std::string> texts;
        for (const RecordedMessage& m : app.platform().messages) {
            const bool missing = m.text == u8(kMissing);
            EXPECT_EQ(m.icon, missing ? MessageIcon::Critical : MessageIcon::None);
            EXPECT_EQ(m.title, missing ? u8("输入校验参数 ") : u8("Korvane"));
            texts.push_back(m.text.toStdString());
        }
        return texts;
    }
    bool diagramShown() { return app.form().frame(u8("Frame12")).visible(); }
    bool placeholderShown() { return app.form().text(u8("Text73")).visible(); }
    Color reportColor() { return app.form().text(u8("Text71")).foreColor(); }

    TestApp app;
};

TEST_F(VerificationPage, EarthFaultReportLineByLine) {
    verify();
    const std::vector<std::string> expected = {
        "", "校验结果：",
        "", " ㈠、选择电缆截面:S = 50mm",
        "", " ㈡、计算电压损失Δu% ≤ 5% 符合要求:",
        "", " ㈢、短路热稳定校验通过:",
        "", "     热稳定最小允许截面Smin满足 Smin ＜ S 条件: 43.4783 <  50",
        "", " ㈣、选择线路剩余电流保护断路器 QR: 额定电流 In = 32A",
        "", "     线路泄露电流计算值: Ixn = 7.5mA ",
        "", "     RCD额定剩余动作电流整定值: Ivn ≥4Ixn = 30mA  取 Ivn =30mA ",
        "", "     选择线路接触器 QC: 额定电流 Ie = 32A",
        "", " ㈤、保护灵敏度校验: Id.min / Ir2 = 15.63  > 1.3  检验合格",
        "", " ㈥、变压器容量 400kVA : 变压器低压侧电器选择如下：",
        "", "     隔离开关 QS: 额定电流 Ie =800A :保护断路器QF: 额定电流 Ie =700A",
        "", "     母线规格 WB: 铜母线TMY—4(125X10)",
    };
    EXPECT_EQ(reportLines(), expected);
    EXPECT_TRUE(app.text("Text71").startsWith(u8("\r\n校验结果：\r\n")));
    EXPECT_EQ(messages(), std::vector<std::string>{});
    EXPECT_EQ(reportColor(), 0x0000C0u);
    EXPECT_TRUE(diagramShown());
    EXPECT_FALSE(placeholderShown());
}

TEST_F(VerificationPage, ShortCircuitReportLineByLine) {
    // The duration as the spin button writes it, a typed capacity kept as typed, a new busbar.
    ASSERT_EQ(userSpin(app.form().get<UpDown>(u8("UpDown1")), 5), QString());
    app.setText("Text57", u8("1000"));
    app.setText("Text74", u8("铝母线LMY"));
    app.setText("Text9", u8("4(80X8)"));
    app.setText("Text72", u8("33"));
    app.setText("Text36", u8("")); // not needed in this mode
    shortCircuitMode();
    verify();
    const std::vector<std::string> expected = {
        "", "校验结果：",
        "", " ㈠、选择电缆截面:S = 50mm",
        "", " ㈡、计算电压损失Δu% ≤ 5% 符合要求:",
        "", " ㈢、短路热稳定校验通过:",
        "", "     热稳定最小允许截面Smin满足 Smin ＜ S 条件: 30.7438 <  50",
        "", " ㈣、选择线路剩余电流保护断路器 QR: 额定电流 In = 32A",
        "", "     线路泄露电流计算值: Ixn = 16.5mA ",
        "", "     RCD额定剩余动作电流整定值: Ivn ≥4Ixn = 66mA  取 Ivn =100mA ",
        "", "     选择线路接触器 QC: 额定电流 Ie = 32A",
        "", " ㈤、保护灵敏度校验: Ik.min / Ir2 = 1.17  < 1.3  检验不合格",
        "", " ㈥、变压器容量 1000kVA : 变压器低压侧电器选择如下：",
        "", "     隔离开关 QS: 额定电流 Ie =1600A :保护断路器QF: 额定电流 Ie =1600A",
        "", "     母线规格 WB: 铝母线LMY—4(80X8)",
    };
    EXPECT_EQ(reportLines(), expected);
    EXPECT_EQ(messages(), std::vector<std::string>{kShortCircuitLow});
    EXPECT_EQ(reportColor(), 0xC000C0u);
    EXPECT_TRUE(diagramShown());
}

TEST_F(VerificationPage, ResidualSettingAbove500MilliampsSaysNoneFits) {
    struct Case {
        const char* leakage;
        const char* line14;
        const char* line16;
    };
    const Case cases[] = {
        {"250", "     线路泄露电流计算值: Ixn = 125mA ",
         "     RCD额定剩余动作电流整定值: Ivn ≥4Ixn = 500mA  取 Ivn =500mA "},
        {"252", "     线路泄露电流计算值: Ixn = 126mA ",
         "     RCD额定剩余动作电流整定值: Ivn ≥4Ixn = 504mA  未选择 Ivn（4Ixn 超过最大整定值 "
         "500mA）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.leakage);
        app.setText("Text72", u8(c.leakage)); // over 0.5 km
        verify();
        EXPECT_EQ(reportLine(14), c.line14);
        EXPECT_EQ(reportLine(16), c.line16);
        EXPECT_EQ(messages(), std::vector<std::string>{});
    }
}

TEST_F(VerificationPage, TransformerSwitchgearLine) {
    const char* const kBeyondTable =
        "     隔离开关 QS、保护断路器QF: 未选择额定电流（变压器容量超出选择表范围 10～1250kVA）";
    struct Case {
        const char* kva;
        const char* line24;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"10", "     隔离开关 QS: 额定电流 Ie =18A :保护断路器QF: 额定电流 Ie =16A", {}},
        {"1250", "     隔离开关 QS: 额定电流 Ie =2000A :保护断路器QF: 额定电流 Ie =2000A", {}},
        {"1600", kBeyondTable, {kTransformerOutOfRange}},
        {"2000", kBeyondTable, {}},
        {"2500", kBeyondTable, {}},
        {"5", kBeyondTable, {}},
        {"75",
         "     隔离开关 QS、保护断路器QF: 未选择额定电流（变压器容量不是选择表中的容量等级）",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kva);
        app.platform().messages.clear();
        app.setText("Text57", u8(c.kva));
        verify();
        EXPECT_EQ(reportLine(22),
                  std::string(" ㈥、变压器容量 ") + c.kva + "kVA : 变压器低压侧电器选择如下：");
        EXPECT_EQ(reportLine(24), c.line24);
        EXPECT_EQ(messages(), c.messages);
    }
}

TEST_F(VerificationPage, LoopResistanceDecidesWhetherTheReportIsWritten) {
    // L 0.5 km, In 32 A: Rlim = 2.75 Ω/km.
    struct Case {
        const char* rphp;
        bool reported;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"2.5", true, {}},
        {"2.75", true, {}},
        {"3", false, {kEarthFaultResistance}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rphp);
        app.platform().messages.clear();
        app.setText("Text71", u8("earlier report"));
        app.form().text(u8("Text71")).setForeColor(0);
        app.form().frame(u8("Frame12")).setVisible(false);
        app.setText("Text39", u8(c.rphp));
        verify();
        EXPECT_EQ(app.text("Text71") != u8("earlier report"), c.reported);
        EXPECT_EQ(messages(), c.messages);
        // Diagram and colour follow the run whether the check passed or not.
        EXPECT_TRUE(diagramShown());
        EXPECT_EQ(reportColor(), 0x0000C0u);
    }
}

TEST_F(VerificationPage, LowSensitivityWarnsAndTheReportSaysSo) {
    app.setText("Text36", u8("0.15")); // 150 A / (4 × 32 A) = 1.17
    verify();
    EXPECT_EQ(messages(), std::vector<std::string>{kEarthFaultLow});
    EXPECT_EQ(reportLine(20), " ㈤、保护灵敏度校验: Id.min / Ir2 = 1.17  < 1.3  检验不合格");

    app.setText("Text36", u8("0.1664")); // exactly 1.30
    verify();
    EXPECT_EQ(reportLine(20), " ㈤、保护灵敏度校验: Id.min / Ir2 = 1.30  > 1.3  检验合格");
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(VerificationPage, ThermalStabilityAgainstTheChosenCrossSection) {
    struct Case {
        const char* what;
        int combo3; // index in the list of VV 四芯 铜芯, -1 for none
        const char* line8;
        const char* line10;
    };
    const Case cases[] = {
        {"50 mm²", 7, " ㈢、短路热稳定校验通过:",
         "     热稳定最小允许截面Smin满足 Smin ＜ S 条件: 43.4783 <  50"},
        {"35 mm²", 6, " ㈢、短路热稳定校验不通过:",
         "     热稳定最小允许截面Smin不满足 Smin ＜ S 条件: 43.4783 ≥  35"},
        {"none", -1,
         " ㈢、短路热稳定校验:", "     热稳定最小允许截面Smin = 43.4783 (未选择电缆截面)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        app.combo("Combo3").setListIndex(c.combo3);
        verify();
        EXPECT_EQ(reportLine(8), c.line8);
        EXPECT_EQ(reportLine(10), c.line10);
    }
    EXPECT_EQ(reportLine(4), " ㈠、选择电缆截面:S = mm");

    // Smin as written equal to S does not meet Smin < S: K 115, I″k3 4.0249954 kA and 1 s give
    // 34.99996 mm², written 35.0000.
    app.combo("Combo3").setListIndex(6);
    app.setText("Text35", u8("4.0249954"));
    verify();
    EXPECT_EQ(reportLine(8), " ㈢、短路热稳定校验不通过:");
    EXPECT_EQ(reportLine(10), "     热稳定最小允许截面Smin不满足 Smin ＜ S 条件: 35.0000 ≥  35");
}

TEST_F(VerificationPage, VoltageLossLineReadsPageZero) {
    const char* const kNotComputed = " ㈡、计算电压损失Δu%: 无法计算，未作校验";
    struct Case {
        const char* text6;
        const char* text3;
        const char* line6;
    };
    const Case cases[] = {
        {"4.5351", "电压损失Δu%≤5% 校验通过:", " ㈡、计算电压损失Δu% ≤ 5% 符合要求:"},
        {"5.0000", "", " ㈡、计算电压损失Δu% ≤ 5% 符合要求:"},
        {"5.0001", "", " ㈡、计算电压损失Δu% > 5% 不符合要求:"},
        {"", "", " ㈡、计算电压损失Δu%: 未计算"},
        {"0.0000", "电压损失无法计算：导线电阻R未输入或不大于0，请选择导体截面", kNotComputed},
        {"-8.4573", "电压损失无法计算：负荷或线路长度为负值", kNotComputed},
        {"-8.4573", "", kNotComputed}, // typed over, without a verdict of page 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text6) + " / " + c.text3);
        app.setText("Text6", u8(c.text6));
        app.setText("Text3", u8(c.text3));
        verify();
        EXPECT_EQ(reportLine(6), c.line6);
    }
}

TEST_F(VerificationPage, VoltageLossOfAnEmptyCrossSectionIsNotCalledAPass) {
    // Page 0 computed with R and X empty: the loss is 0.0000 and no pass.
    app.setText("Text1", QString());
    app.setText("Text2", QString());
    app.setText("Text4", u8("100"));
    app.setText("Text5", u8("0.5"));
    app.click("Command1");
    ASSERT_EQ(app.text("Text6"), u8("0.0000"));
    verify();
    EXPECT_EQ(reportLine(6), " ㈡、计算电压损失Δu%: 无法计算，未作校验");
}

TEST_F(VerificationPage, MissingOrUnusableFieldStopsTheRun) {
    struct Case {
        const char* field;
        const char* value;
        bool shortCircuit = false; // the mode that reads the field
    };
    const Case cases[] = {
        {"Text37", ""},
        {"Text37", "20A"},
        {"Text72", ""},
        {"Text38", ""},
        {"Text38", "0"},
        {"Text57", ""},
        {"Text39", ""},
        {"Text36", "x"},
        {"Text52", "-1"},
        {"Text35", ""},
        {"Text51", "0"},
        {"Text51", ""},
        // Values no real line has.
        {"Text51", "-1"},       // K
        {"Text51", "-115"},     // K
        {"Text38", "-0.5"},     // L
        {"Text37", "-20"},      // Ib
        {"Text72", "-15"},      // leakage per km
        {"Text35", "-5"},       // I″k3
        {"Text35", "0"},        // I″k3: no fault current, Smin would pass any section
        {"Text52", "0.00"},     // t: no duration, the same
        {"Text36", "-2"},       // Id
        {"Text75", "-2", true}, // I″k1
        {"Text39", "-2.5"},     // Rphp
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " = \"" + c.value + "\"");
        fill();
        app.check("Check15").assignValue(c.shortCircuit ? 0 : 1);
        app.check("Check14").assignValue(c.shortCircuit ? 1 : 0);
        app.platform().messages.clear();
        app.setText(c.field, u8(c.value));
        verify();
        EXPECT_EQ(messages(), std::vector<std::string>{kMissing});
        EXPECT_EQ(app.text("Text71"), QString());
        EXPECT_FALSE(diagramShown());
    }
}

TEST_F(VerificationPage, WarningsComeBeforeTheMissingDataMessage) {
    struct Case {
        const char* what;
        const char* ib;
        const char* kva;
        int earthFault; // Check15
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"x > 160 with a mode ticked: In is unset", "106.7", "400", 1, {kLoadOutOfRange, kMissing}},
        {"x > 160 and no transformer", "106.7", "", 1, {kLoadOutOfRange, kMissing}},
        {"x > 160 with no mode ticked", "106.7", "400", 0, {kLoadOutOfRange}},
        {"1600 kVA and x > 160",
         "106.7",
         "1600",
         1,
         {kLoadOutOfRange, kTransformerOutOfRange, kMissing}},
        {"no transformer", "20", "", 1, {kMissing}},
        {"no transformer, no mode ticked", "106.7", "", 0, {kLoadOutOfRange, kMissing}},
        {"no load current, no mode ticked", "", "400", 0, {kMissing}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fill();
        app.platform().messages.clear();
        app.check("Check15").assignValue(c.earthFault);
        app.setText("Text37", u8(c.ib));
        app.setText("Text57", u8(c.kva));
        verify();
        EXPECT_EQ(messages(), c.messages);
        EXPECT_EQ(app.text("Text71"), QString());
    }
}

TEST_F(VerificationPage, OnlyTheFieldsOfTheTickedModeAreNeeded) {
    app.setText("Text75", u8(""));
    verify();
    EXPECT_EQ(reportLine(20), " ㈤、保护灵敏度校验: Id.min / Ir2 = 15.63  > 1.3  检验合格");

    app.setText("Text75", u8("2"));
    app.setText("Text36", u8(""));
    shortCircuitMode();
    verify();
    EXPECT_EQ(reportLine(20), " ㈤、保护灵敏度校验: Ik.min / Ir2 = 15.63  > 1.3  检验合格");
    EXPECT_EQ(messages(), std::vector<std::string>{});
}

TEST_F(VerificationPage, NeitherModeTickedOnlySelects) {
    ASSERT_EQ(userCheck(app.check("Check15"), 0), QString());
    ASSERT_EQ(app.check("Check14").value(), 0);
    app.setText("Text37", u8("106.7"));
    app.setText("Text57", u8("1600"));
    app.setText("Text39", u8("")); // the checks would need it
    verify();
    EXPECT_EQ(messages(), (std::vector<std::string>{kLoadOutOfRange, kTransformerOutOfRange}));
    EXPECT_EQ(app.text("Text71"), QString());
    EXPECT_FALSE(diagramShown());
    EXPECT_TRUE(placeholderShown());
}

TEST_F(VerificationPage, BothModesTickedRunInOrder) {
    app.setText("Text36", u8("0.15"));
    app.check("Check14").assignValue(1); // not reachable through the boxes themselves
    verify();
    EXPECT_EQ(messages(), (std::vector<std::string>{kEarthFaultLow, kShortCircuitLow}));
    EXPECT_EQ(reportLine(20), " ㈤、保护灵敏度校验: Ik.min / Ir2 = 1.17  < 1.3  检验不合格");
    EXPECT_EQ(reportColor(), 0xC000C0u);

    // A failing second mode leaves the first mode's report, colour and diagram in place.
    app.platform().messages.clear();
    app.setText("Text71", QString());
    app.setText("Text75", u8(""));
    verify();
    EXPECT_EQ(messages(), (std::vector<std::string>{kEarthFaultLow, kMissing}));
    EXPECT_EQ(reportLine(20), " ㈤、保护灵敏度校验: Id.min / Ir2 = 1.17  < 1.3  检验不合格");
    EXPECT_EQ(reportColor(), 0x0000C0u);
    EXPECT_TRUE(diagramShown());
}

TEST_F(VerificationPage, ClearingEmptiesThePageInOrder) {
    ASSERT_EQ(userSpin(app.form().get<UpDown>(u8("UpDown1")), 10), QString());
    verify();
    ASSERT_TRUE(diagramShown());

    // Texts and visibility as they change; the report's out-of-date mark follows the texts.
    auto state = [](const Control& c) {
        const auto* field = dynamic_cast<const TextBox*>(&c);
        return (field != nullptr ? field->text() : QString()) + (c.visible() ? u8("") : u8("|"));
    };
    std::vector<std::string> changes;
    std::vector<std::pair<Control*, int>> listening;
    std::map<const Control*, QString> seen;
    for (const auto& control : app.form().controls()) {
        seen[control.get()] = state(*control);
        listening.emplace_back(control.get(), control->changed.connect([&](const Control& c) {
            if (state(c) == seen[&c])
                return;
            seen[&c] = state(c);
            changes.push_back(c.name().toStdString() + (c.visible() ? "" : " hidden"));
        }));
    }
    app.click("Command29");
    for (const auto& [control, id] : listening)
        control->changed.disconnect(id);
    // Emptying Text35 dates the report and shows the note (before the listeners of this test
    // hear of Text35); emptying the report hides the note again.
    const std::vector<std::string> expected = {"StaleNote2",     "Text35", "Text36",
                                               "Text37",         "Text38", "Text39",
                                               "Text51",         "Text52", "StaleNote2 hidden",
                                               "Text71",         "Text72", "Text75",
                                               "Frame12 hidden", "Text73"};
    EXPECT_EQ(changes, expected);
    for (const char* name : {"Text35", "Text36", "Text37", "Text38", "Text39", "Text51", "Text52",
                             "Text71", "Text72", "Text75"})
        EXPECT_EQ(app.text(name), QString()) << name;
    EXPECT_FALSE(diagramShown());
    EXPECT_TRUE(placeholderShown());
    // Switches, the spin button and the other pages stay.
    EXPECT_EQ(app.check("Check15").value(), 1);
    EXPECT_EQ(app.form().get<UpDown>(u8("UpDown1")).value(), 10);
    EXPECT_EQ(app.text("Text57"), u8("400"));
    EXPECT_EQ(app.combo("Combo3").text(), u8("50"));
}

TEST(VerificationDiagram, SingleLineDiagramInsideItsFrame) {
    TestApp app;
    const Frame& frame = app.form().frame(u8("Frame12"));
    EXPECT_EQ(frame.caption(), u8("配电示意图"));
    EXPECT_FALSE(frame.visible());

    std::vector<const Label*> labels;
    int lines = 0;
    for (const auto& control : app.form().controls()) {
        if (control->container() != &frame)
            continue;
        const Rect& r = control->geometry();
        EXPECT_TRUE(r.x >= 0 && r.y >= 16 && r.x + r.width <= 500 && r.y + r.height <= 150)
            << control->name().toStdString();
        if (const auto* line = dynamic_cast<const Line*>(control.get())) {
            ++lines;
            // The line's box holds both ends, so the view draws all of it.
            const std::pair<int, int> ends[] = {{line->x1(), line->y1()}, {line->x2(), line->y2()}};
            for (const auto& [x, y] : ends)
                EXPECT_TRUE(x >= r.x && x <= r.x + r.width && y >= r.y && y <= r.y + r.height)
                    << line->name().toStdString();
        } else if (const auto* label = dynamic_cast<const Label*>(control.get())) {
            labels.push_back(label);
        }
    }
    EXPECT_GE(lines, 10);
    std::sort(labels.begin(), labels.end(),
              [](const Label* a, const Label* b) { return a->geometry().x < b->geometry().x; });
    std::vector<std::string> names;
    std::vector<std::string> symbols;
    for (const Label* label : labels) {
        const QString caption = label->caption();
        (caption.at(0).unicode() < 0x80 ? names : symbols).push_back(caption.toStdString());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"QS", "QF", "WB", "QR", "QC", "L"}));
    EXPECT_EQ(symbols, (std::vector<std::string>{"×", "×", "○", "⌒"}));
}

} // namespace
} // namespace korvane::testing
