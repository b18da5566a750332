// "计  算" of page 0 driven as a user drives it: fields typed and lists picked, results read back
// from Text6, Text3 and Text7.

#include "support/test_app.h"

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

const char* const kPass = "电压损失Δu%≤5% 校验通过:";
const char* const kFail = "电压损Δu% ≥5%不符合要求请重新选择导体截面;";

const char* const kThreePhase = "三相平衡负荷线路";
const char* const kLineVoltage = "接于线电压的单相负荷线路";
const char* const kTwoPhase = "接于相电压的两相-N线平衡负荷线路";
const char* const kPhaseVoltage = "接相电压的单相负荷线路";

const char* const kEndCurrent = "(1)终段负荷用电流矩(A.km)";
const char* const kSeveralCurrents = "(3)几个负荷用电流矩(A.km)";
const char* const kEndPower4 = "(4)终段负荷用负荷矩(kW.km)";
const char* const kSeveralPowers = "(5)几个负荷用负荷矩(kW.km)";
const char* const kSeveralUnity =
    "(6)整条线路的导线截面材料及敷设方式均相同cosφ=1,几个负荷用负荷矩(kW.km)";
const char* const kEndPower3 = "(3)终段负荷用负荷矩(kW.km)";
const char* const kEndUnity = "(4)终段负荷且cosφ=1用负荷矩(kW.km)";

// The worked line: 50 mm² VV cable (R 0.387, X 0.08 Ω/km), cos φ 0.85, 0.38 kV, conductor at
// 70 °C in 30 °C air.
void chooseWorkedLine(TestApp& t) {
    t.select("Combo3", u8("50"));
    t.select("Combo4", u8("0.85"));
    t.select("Combo7", u8("0.38"));
    t.select("Combo8", u8("70"));
    t.select("Combo9", u8("30"));
}

void chooseCase(TestApp& t, const char* kind, const char* loadCase) {
    t.select("Combo5", u8(kind));
    t.select("Combo6", u8(loadCase));
}

// Carries out "Name=value ..." as the user would: types into fields and editable lists, picks
// from the other lists, ticks or unticks load switches.
void enter(TestApp& t, const char* entries) {
    for (const QString& entry : u8(entries).split(u' ', Qt::SkipEmptyParts)) {
        const QString name = entry.section(u'=', 0, 0);
        const QString value = entry.section(u'=', 1);
        Control& control = t.form().control(name);
        if (auto* box = dynamic_cast<CheckBox*>(&control)) {
            ASSERT_EQ(userCheck(*box, value.toInt()), QString()) << entry.toStdString();
        } else if (auto* list = dynamic_cast<ComboBox*>(&control); list && !list->editable()) {
            t.select(name.toLatin1().constData(), value);
        } else {
            ASSERT_EQ(userType(control, value), QString()) << entry.toStdString();
        }
    }
}

// Loads 3 and 4 of the cos φ = 1 frame hold figures but are switched off, so they count as 0.
const char* const kUnityLoads = "Text27=30 Text28=0.5 Text29=20 Text30=0.3 Text31=80 Text32=0.9 "
                                "Text33=60 Text34=1.2 Check11=0 Check12=0";

TEST(VoltageLossPage, WorkedExamplesGiveTheLossAndVerdict) {
    struct Worked {
        const char* kind;
        const char* loadCase;
        const char* entries;
        const char* loss;
        bool pass;
    };
    const Worked cases[] = {
        {kThreePhase, kEndCurrent, "Text4=100 Text5=0.5", "8.4573", false},
        {kThreePhase, kEndPower4, "Text17=30 Text18=0.5", "4.5351", true},
        {kThreePhase, kSeveralUnity, kUnityLoads, "5.6281", false},
        {kLineVoltage, kSeveralUnity, kUnityLoads, "11.2562", false},
        {kTwoPhase, kEndPower3, "Text17=30 Text18=0.5", "10.2040", false},
        {kPhaseVoltage, kEndCurrent, "Combo7=0.22 Text4=100 Text5=0.5", "16.8678", false},
        // ΣI·L = 100 · 0.3 + 50 · 0.4 with loads 3 and 4 switched off: as 100 A at 0.5 km.
        {kThreePhase, kSeveralCurrents,
         "Text8=100 Text10=0.3 Text11=50 Text12=0.4 Text13=80 Text14=0.9 Check3=0 Check4=0",
         "8.4573", false},
    };
    for (const Worked& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.kind << " / " << c.loadCase << ": " << c.entries);
        TestApp t;
        chooseWorkedLine(t);
        // Loads of case (5) typed first: they must not count for any other case.
        t.select("Combo6", u8(kSeveralPowers));
        enter(t, "Text19=100 Text20=1 Text21=100 Text22=1");
        chooseCase(t, c.kind, c.loadCase);
        enter(t, c.entries);
        t.click("Command1");
        EXPECT_EQ(t.text("Text6"), u8(c.loss));
        EXPECT_EQ(t.text("Text3"), u8(c.pass ? kPass : kFail));
        EXPECT_TRUE(t.platform().messages.empty());
    }
}

TEST(VoltageLossPage, UnityPowerFactorLeavesOnlyTheResistance) {
    struct Unity {
        const char* kind;
        const char* loadCase;
        const char* entries;
        const char* loss;
    };
    const Unity cases[] = {
        // The end load moment of the two-phase line becomes its resistive case (4).
        {kTwoPhase, kEndPower3, "Text17=30 Text18=0.5", "9.0452"},
        {kTwoPhase, kEndUnity, "Text17=30 Text18=0.5", "9.0452"},
        {kThreePhase, kEndCurrent, "Text4=100 Text5=0.5", "8.8198"}, // √3 / (10 U) · R · I · L
    };
    for (const Unity& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.kind << " / " << c.loadCase);
        TestApp t;
        chooseWorkedLine(t);
        t.select("Combo4", u8("1.00"));
        chooseCase(t, c.kind, c.loadCase);
        enter(t, c.entries);
        t.click("Command1");
        EXPECT_EQ(t.text("Text6"), u8(c.loss));
    }
}

TEST(VoltageLossPage, VerdictIsJudgedOnTheShownFigure) {
    // cos φ 1 loads at 1 kV: Δu = R / 10 · P · L, so R sets the loss directly.
    struct Limit {
        const char* resistance;
        const char* loss;
        const char* verdict;
    };
    const Limit cases[] = {
        {"Text1=4.99996", "5.0000", kPass}, // shown as 5.0000, which passes
        {"Text1=5.00005", "5.0001", kFail},
        {"Text1=0", "0.0000", "电压损失无法计算：导线电阻R未输入或不大于0，请选择导体截面"},
    };
    for (const Limit& c : cases) {
        SCOPED_TRACE(c.resistance);
        TestApp t;
        chooseCase(t, kThreePhase, kSeveralUnity);
        enter(t, "Text2=0 Combo7=1 Text27=10 Text28=1");
        enter(t, c.resistance);
        t.click("Command1");
        EXPECT_EQ(t.text("Text6"), u8(c.loss));
        EXPECT_EQ(t.text("Text3"), u8(c.verdict));
    }
}

TEST(VoltageLossPage, NoVerdictWithoutARealLine) {
    // The worked line, case (1), with I = 100 A at 0.5 km unless a row says otherwise; Text6 is
    // written as the formula gives it (an empty R leaves the reactive part X·sin φ, 0.9604), Text3
    // says why no verdict can be given.
    struct Impossible {
        const char* entries;
        const char* loss;
        const char* reason;
    };
    const Impossible cases[] = {
        {"Combo7=0", "0.0000", "标称电压U未输入或不大于0"},
        {"Combo7=kV", "0.0000", "标称电压U未输入或不大于0"},
        {"Combo7=-0.38", "-8.4573", "标称电压U未输入或不大于0"},
        {"Text1=", "0.9604", "导线电阻R未输入或不大于0，请选择导体截面"},
        {"Text1=abc", "0.9604", "导线电阻R未输入或不大于0，请选择导体截面"},
        {"Text1= Text2=", "0.0000", "导线电阻R未输入或不大于0，请选择导体截面"},
        {"Text1=-0.387", "-6.5364", "导线电阻R未输入或不大于0，请选择导体截面"},
        {"Text2=-0.08", "6.5364", "导线感抗X为负值"},
        {"Text4=-100", "-8.4573", "负荷或线路长度为负值"},
        {"Text5=-0.5", "-8.4573", "负荷或线路长度为负值"},
        {"Text4=abc", "0.0000", "未输入大于0的负荷"},
        {"Text4= Text5=", "0.0000", "未输入大于0的负荷"},
        {"Text5=", "0.0000", "负荷的线路长度未输入或为0"},
        // 100 A · 0.5 km on 1e308 Ω/km overflows.
        {"Text1=1e308", "0.0000", "计算结果超出数值范围，请检查输入数据"},
        // A switched-on pair of several loads with a negative distance.
        {"Combo6=(3)几个负荷用电流矩(A.km) Text8=100 Text10=0.3 Text11=50 Text12=-0.4", "1.6915",
         "负荷或线路长度为负值"},
        // Several loads, every one at the supply point.
        {"Combo6=(5)几个负荷用负荷矩(kW.km) Text19=30 Text20=0 Text21=20 Text22=", "0.0000",
         "负荷的线路长度未输入或为0"},
    };
    for (const Impossible& c : cases) {
        SCOPED_TRACE(c.entries);
        TestApp t;
        chooseWorkedLine(t);
        chooseCase(t, kThreePhase, kEndCurrent);
        enter(t, "Text4=100 Text5=0.5");
        enter(t, c.entries);
        t.click("Command1");
        EXPECT_EQ(t.text("Text6"), u8(c.loss));
        EXPECT_EQ(t.text("Text3"), u8("电压损失无法计算：") + u8(c.reason));
        EXPECT_TRUE(t.platform().messages.empty());
    }

    // A page on which nothing was entered has no load.
    TestApp t;
    t.click("Command1");
    EXPECT_EQ(t.text("Text6"), u8("0.0000"));
    EXPECT_TRUE(t.text("Text3").startsWith(u8("电压损失无法计算：")))
        << t.text("Text3").toStdString();
}

TEST(VoltageLossPage, LongestLineFromTheEndLoadCurrentOrPower) {
    struct Length {
        const char* entries;
        const char* maxLength; // Text7 after the click; it held "previous" before
    };
    const Length cases[] = {
        {"Text4=100", "237.1138"},
        {"Text4=100 Text17=30", "442.1796"},
        {"Text17=30", "442.1796"},
        {"Text4=100 Text17=30 Combo7=0.22", "173.8834"},
        {"Text17=30 Combo7=0.22", "173.8834"},
        {"Text4=100 Text17=30 Combo7=10", "11636.3046"}, // the start-up voltage
        {"Text4=100 Text17=30 Combo7=0.3", "237.1138"},  // between: the current alone
        {"Text17=30 Combo7=0.3", "previous"},
        {"Text17=30 Combo7=kV", "previous"},
        {"", "previous"},                             // neither current nor power
        {"Text4=100 Combo8=50 Combo9=50", "275.052"}, // temperature factor 1
    };
    for (const Length& c : cases) {
        SCOPED_TRACE(c.entries);
        TestApp t;
        chooseWorkedLine(t);
        enter(t, "Text7=previous");
        enter(t, c.entries);
        t.click("Command1");
        EXPECT_EQ(t.text("Text7"), u8(c.maxLength));
    }
}

TEST(VoltageLossPage, TypedValuesSurviveACaseSwitch) {
    TestApp t;
    chooseWorkedLine(t);
    enter(t, "Text4=100 Text5=0.5");
    t.select("Combo6", u8(kEndPower4));
    enter(t, "Text17=30 Text18=0.5");
    t.click("Command1");
    EXPECT_EQ(t.text("Text6"), u8("4.5351"));
    EXPECT_EQ(t.text("Text7"), u8("442.1796")); // I of the hidden Frame4 is still read
    t.select("Combo6", u8(kEndCurrent));
    t.click("Command1");
    EXPECT_EQ(t.text("Text6"), u8("8.4573"));

    // On a cleared page there is no load, so no loss and no line length.
    t.click("Command5");
    t.click("Command1");
    EXPECT_EQ(t.text("Text6"), u8("0.0000"));
    EXPECT_EQ(t.text("Text7"), QString());
}

} // namespace
} // namespace korvane::testing
