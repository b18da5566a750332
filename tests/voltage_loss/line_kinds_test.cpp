// Line kinds, load cases and the load switches of page 0, driven as a user drives them.

#include "support/test_app.h"

#include <utility>
#include <vector>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

const char* const kCase1 = "(1)终段负荷用电流矩(A.km)";
const char* const kCase2 = "(2)均匀分布负荷用电流矩(A.km)";
const char* const kCase3 = "(3)几个负荷用电流矩(A.km)";
const char* const kCase4 = "(4)终段负荷用负荷矩(kW.km)";
const char* const kCase5 = "(5)几个负荷用负荷矩(kW.km)";
const char* const kCase6 =
    "(6)整条线路的导线截面材料及敷设方式均相同cosφ=1,几个负荷用负荷矩(kW.km)";
const char* const kEndPower3 = "(3)终段负荷用负荷矩(kW.km)";
const char* const kUnity4 = "(4)终段负荷且cosφ=1用负荷矩(kW.km)";
const char* const kUnityOrDc4 = "(4)终段负荷且cosφ=1或直流线路用负荷矩(kW.km)";

const char* const kThreePhase = "三相平衡负荷线路";
const char* const kLineVoltage = "接于线电压的单相负荷线路";
const char* const kTwoPhase = "接于相电压的两相-N线平衡负荷线路";
const char* const kPhaseVoltage = "接相电压的单相负荷线路";

QString visibleLoadFrame(const Form& form) {
    QString shown;
    for (int n = 4; n <= 8; ++n) {
        const QString name = QStringLiteral("Frame%1").arg(n);
        if (form.frame(name).visible())
            shown += shown.isEmpty() ? name : u' ' + name;
    }
    return shown;
}

TEST(LineKinds, EachKindOffersItsCasesAndStartsAtCaseOne) {
    struct KindCases {
        const char* kind;
        std::vector<const char*> cases;
    };
    const KindCases kinds[] = {
        {kThreePhase, {kCase1, kCase2, kCase3, kCase4, kCase5, kCase6}},
        {kLineVoltage, {kCase1, kCase2, kCase3, kCase4, kCase5, kCase6}},
        {kTwoPhase, {kCase1, kCase2, kEndPower3, kUnity4}},
        {kPhaseVoltage, {kCase1, kCase2, kEndPower3, kUnityOrDc4}},
    };
    TestApp t;
    EXPECT_EQ(t.combo("Combo5").items().size(), 4);
    // Leave a frame other than Frame4 showing, so that each new kind has to bring it back.
    for (const KindCases& k : kinds) {
        SCOPED_TRACE(k.kind);
        t.select("Combo6", u8(kCase2));
        t.select("Combo6", t.combo("Combo6").items().last());
        ASSERT_NE(visibleLoadFrame(t.form()), u8("Frame4"));
        t.select("Combo5", u8(k.kind));
        QStringList expected;
        for (const char* c : k.cases)
            expected << u8(c);
        EXPECT_EQ(t.combo("Combo6").items(), expected);
        EXPECT_EQ(t.combo("Combo6").listIndex(), 0);
        EXPECT_EQ(t.combo("Combo6").text(), u8(kCase1));
        EXPECT_EQ(visibleLoadFrame(t.form()), u8("Frame4"));
        for (const char* always : {"Frame1", "Frame2", "Frame3"})
            EXPECT_TRUE(t.form().frame(u8(always)).visible()) << always;
    }
}

TEST(LoadCases, EachCaseShowsOnlyItsInputFrame) {
    struct CaseFrame {
        const char* kind;
        const char* loadCase;
        const char* frame;
    };
    const CaseFrame cases[] = {
        {kThreePhase, kCase2, "Frame4"},        {kThreePhase, kCase3, "Frame5"},
        {kThreePhase, kCase4, "Frame6"},        {kThreePhase, kCase5, "Frame7"},
        {kThreePhase, kCase6, "Frame8"},        {kThreePhase, kCase1, "Frame4"},
        {kLineVoltage, kCase6, "Frame8"},       {kLineVoltage, kCase5, "Frame7"},
        {kLineVoltage, kCase3, "Frame5"},       {kTwoPhase, kEndPower3, "Frame6"},
        {kTwoPhase, kUnity4, "Frame6"},         {kTwoPhase, kCase2, "Frame4"},
        {kPhaseVoltage, kUnityOrDc4, "Frame6"}, {kPhaseVoltage, kEndPower3, "Frame6"},
    };
    TestApp t;
    for (const CaseFrame& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.kind << " / " << c.loadCase);
        if (t.combo("Combo5").text() != u8(c.kind))
            t.select("Combo5", u8(c.kind));
        t.select("Combo6", u8(c.loadCase));
        EXPECT_EQ(visibleLoadFrame(t.form()), u8(c.frame));
    }
}

TEST(LoadCases, UnknownTextsChangeNothing) {
    TestApp t;
    t.select("Combo6", u8(kCase5));
    // The lists hold only known texts; a stray one can come only from the program itself.
    ComboBox& cases = t.combo("Combo6");
    cases.setText(u8("(7)其他"));
    cases.raise(Event::Click);
    EXPECT_EQ(visibleLoadFrame(t.form()), u8("Frame7"));

    ComboBox& kinds = t.combo("Combo5");
    kinds.setText(u8("三相平衡负荷线路 ")); // a trailing blank is another text
    kinds.raise(Event::Click);
    EXPECT_TRUE(cases.items().isEmpty());
    EXPECT_EQ(cases.listIndex(), -1);
    EXPECT_EQ(visibleLoadFrame(t.form()), u8("Frame7"));
}

TEST(LoadCases, SwitchingKeepsWhatWasTypedInHiddenFrames) {
    TestApp t;
    t.setText("Text4", u8("100"));
    t.setText("Text5", u8("0.5"));
    t.select("Combo6", u8(kCase4));
    t.setText("Text17", u8("30"));
    t.select("Combo6", u8(kCase6));
    t.setText("Text27", u8("12"));
    t.select("Combo5", u8(kTwoPhase));
    t.select("Combo6", u8(kEndPower3));
    t.select("Combo5", u8(kThreePhase));
    const std::pair<const char*, const char*> kept[] = {
        {"Text4", "100"}, {"Text5", "0.5"}, {"Text17", "30"}, {"Text27", "12"}, {"Text8", ""}};
    for (const auto& [name, value] : kept)
        EXPECT_EQ(t.text(name), u8(value)) << name;
}

TEST(LoadSwitches, EachBoxSwitchesItsOwnPair) {
    struct Pair {
        const char* loadCase;
        const char* check;
        const char* load;
        const char* distance;
    };
    const Pair pairs[] = {
        {kCase3, "Check1", "Text8", "Text10"},   {kCase3, "Check2", "Text11", "Text12"},
        {kCase3, "Check3", "Text13", "Text14"},  {kCase3, "Check4", "Text15", "Text16"},
        {kCase5, "Check5", "Text19", "Text20"},  {kCase5, "Check6", "Text21", "Text22"},
        {kCase5, "Check7", "Text23", "Text24"},  {kCase5, "Check8", "Text25", "Text26"},
        {kCase6, "Check9", "Text27", "Text28"},  {kCase6, "Check10", "Text29", "Text30"},
        {kCase6, "Check11", "Text31", "Text32"}, {kCase6, "Check12", "Text33", "Text34"},
    };
    for (const Pair& p : pairs) {
        SCOPED_TRACE(p.check);
        TestApp t;
        t.select("Combo6", u8(p.loadCase));
        for (int n = 8; n <= 34; ++n)
            t.form().text(QStringLiteral("Text%1").arg(n)).setText(u8("7"));

        // Off: both fields greyed and holding 0, whatever they held.
        ASSERT_EQ(userCheck(t.check(p.check), 0), QString());
        for (const char* name : {p.load, p.distance}) {
            const TextBox& f = t.form().text(u8(name));
            EXPECT_EQ(f.text(), u8("0")) << name;
            EXPECT_FALSE(f.enabled()) << name;
            EXPECT_EQ(f.backColor(), colors::kButtonFace) << name;
        }
        // No other field moves.
        for (int n = 8; n <= 34; ++n) {
            const QString name = QStringLiteral("Text%1").arg(n);
            if (n == 9 || name == u8(p.load) || name == u8(p.distance))
                continue;
            EXPECT_EQ(t.form().text(name).text(), u8("7")) << name.toStdString();
            EXPECT_TRUE(t.form().text(name).enabled()) << name.toStdString();
        }

        // On again: white, editable, starting as a load of 1 at 1 km.
        ASSERT_EQ(userCheck(t.check(p.check), 1), QString());
        for (const char* name : {p.load, p.distance}) {
            const TextBox& f = t.form().text(u8(name));
            EXPECT_EQ(f.text(), u8("1")) << name;
            EXPECT_TRUE(f.enabled()) << name;
            EXPECT_EQ(f.backColor(), colors::kWhite) << name;
        }
    }
}

} // namespace
} // namespace korvane::testing
