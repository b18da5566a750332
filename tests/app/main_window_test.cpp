// Shell handlers of the main window: clearing page 0, the spin button, the switches of pages 1
// and 2, and the window refusing what a user cannot reach.

#include "support/test_app.h"

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}
QString field(int n) {
    return QStringLiteral("Text%1").arg(n);
}

TEST(ClearPage, EmptiesResultsAndLoadsButKeepsTheCableAndTheSwitches) {
    TestApp t;
    t.select("Combo3", u8("50"));
    t.select("Combo6", u8("(3)几个负荷用电流矩(A.km)"));
    ASSERT_EQ(userCheck(t.check("Check2"), 0), QString());
    for (int n = 3; n <= 34; ++n) {
        if (n != 9)
            t.setText(field(n).toLatin1().constData(), field(n));
    }

    t.click("Command5");

    for (int n = 3; n <= 34; ++n) {
        if (n != 9) {
            EXPECT_EQ(t.text(field(n).toLatin1().constData()), QString()) << "Text" << n;
        }
    }
    EXPECT_EQ(t.text("Text1"), u8("0.387"));
    EXPECT_EQ(t.text("Text2"), u8("0.08"));
    EXPECT_EQ(t.text("Text9"), u8("Text9")); // a working field below the pages
    EXPECT_EQ(t.text("Text55"), u8("Text55"));
    EXPECT_EQ(t.combo("Combo3").text(), u8("50"));
    EXPECT_EQ(t.combo("Combo6").text(), u8("(3)几个负荷用电流矩(A.km)"));
    EXPECT_TRUE(t.form().frame(u8("Frame5")).visible());
    EXPECT_EQ(t.check("Check2").value(), 0);
    EXPECT_FALSE(t.form().text(u8("Text11")).enabled());
    EXPECT_EQ(t.form().text(u8("Text11")).backColor(), colors::kButtonFace);
    EXPECT_EQ(t.check("Check1").value(), 1);
}

TEST(SpinButton, SetsTheDurationInTenthsOfASecond) {
    struct Spin {
        int value;
        const char* duration;
    };
    const Spin cases[] = {
        {15, "1.50"}, {0, "0.00"},    {1, "0.10"},
        {7, "0.70"},  {100, "10.00"}, {150, "10.00"}, // beyond the range: held at its top
        {-3, "0.00"},
    };
    TestApp t;
    auto& spin = t.form().get<UpDown>(u8("UpDown1"));
    for (const Spin& c : cases) {
        SCOPED_TRACE(c.value);
        t.setText("Text52", u8("?"));
        ASSERT_EQ(userSpin(spin, c.value), QString());
        EXPECT_EQ(t.text("Text52"), u8(c.duration));
    }
}

TEST(CurrentSwitch, Check13EnablesText45WithoutWritingIntoIt) {
    TestApp t;
    TextBox& current = t.form().text(u8("Text45"));
    struct Switch {
        int value;
        const char* before;
        bool enabled;
        Color color;
    };
    const Switch steps[] = {
        {1, "", true, colors::kWhite},
        {0, "12.5", false, colors::kButtonFace},
        {1, "12.5", true, colors::kWhite},
        {1, "3", true, colors::kWhite}, // ticking a ticked box changes nothing
        {0, "", false, colors::kButtonFace},
    };
    for (const Switch& s : steps) {
        SCOPED_TRACE(::testing::Message()
                     << "Check13 " << s.value << " over \"" << s.before << '"');
        current.setText(u8(s.before));
        ASSERT_EQ(userCheck(t.check("Check13"), s.value), QString());
        EXPECT_EQ(current.enabled(), s.enabled);
        EXPECT_EQ(current.backColor(), s.color);
        EXPECT_EQ(current.text(), u8(s.before));
    }
}

TEST(ProtectionModes, Check14AndCheck15HandTheChoiceToEachOther) {
    TestApp t;
    struct Step {
        const char* box;
        int value;
        // After the step:
        bool check14Enabled;
        bool check15Enabled;
        bool text75Enabled;
        bool text36Enabled;
    };
    const Step steps[] = {
        {"Check15", 0, true, false, false, false},
        {"Check14", 1, true, false, true, false},
        {"Check14", 0, false, true, false, false},
        {"Check15", 1, false, true, false, true},
    };
    auto color = [](bool enabled) { return enabled ? colors::kWhite : colors::kButtonFace; };
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::Message() << s.box << ' ' << s.value);
        ASSERT_EQ(userCheck(t.check(s.box), s.value), QString());
        EXPECT_EQ(t.check(s.box).value(), s.value);
        EXPECT_EQ(t.check("Check14").enabled(), s.check14Enabled);
        EXPECT_EQ(t.check("Check15").enabled(), s.check15Enabled);
        const TextBox& shortCircuit = t.form().text(u8("Text75"));
        const TextBox& earthFault = t.form().text(u8("Text36"));
        EXPECT_EQ(shortCircuit.enabled(), s.text75Enabled);
        EXPECT_EQ(shortCircuit.backColor(), color(s.text75Enabled));
        EXPECT_EQ(earthFault.enabled(), s.text36Enabled);
        EXPECT_EQ(earthFault.backColor(), color(s.text36Enabled));
        // The mode switches write nothing into the currents they guard.
        EXPECT_EQ(shortCircuit.text(), QString());
        EXPECT_EQ(earthFault.text(), QString());
    }
}

TEST(UserActions, UnreachableControlsRefuseAndNothingChanges) {
    TestApp t;
    t.setText("Text8", u8("40"));
    t.setText("Text75", u8("7.5"));

    // Check1 lies in Frame5, hidden until a several-loads case is chosen.
    EXPECT_EQ(userCheck(t.check("Check1"), 0), u8("Check1 is hidden"));
    EXPECT_EQ(t.check("Check1").value(), 1);
    EXPECT_EQ(t.text("Text8"), u8("40"));
    EXPECT_TRUE(t.form().text(u8("Text8")).enabled());

    // Check14 is disabled at start: the single-phase mode cannot be chosen first.
    EXPECT_EQ(userCheck(t.check("Check14"), 1), u8("Check14 is disabled"));
    EXPECT_EQ(t.check("Check14").value(), 0);
    EXPECT_FALSE(t.form().text(u8("Text75")).enabled());
    EXPECT_EQ(t.text("Text75"), u8("7.5"));

    // A list offers only its items.
    EXPECT_EQ(userSelect(t.combo("Combo6"), 6), u8("Combo6 has no item 6"));
    EXPECT_EQ(userSelect(t.combo("Combo6"), -1), u8("Combo6 has no item -1"));
    EXPECT_EQ(t.combo("Combo6").listIndex(), 0);
    EXPECT_TRUE(t.form().frame(u8("Frame4")).visible());
}

} // namespace
} // namespace korvane::testing
