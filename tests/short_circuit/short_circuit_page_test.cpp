// Page 1 "低压线路短路电流计算" driven as a user drives it: "计  算" (Command9) reads the page's
// fields and the working fields that the transformer and busbar dialogs fill, writes I″k3, I″k2,
// Id and I″k1 into Text42..Text45 and copies them to the verification page; "清  零" (Command10)
// empties the page. The dialogs' transfers into the hidden fields Text55..Text62 are stood in for
// by writing those fields directly; the dialogs themselves are tested on their own.

#include "support/test_app.h"

#include <QStringList>

#include <set>
#include <vector>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

struct Entry {
    const char* field;
    const char* value;
};

// The handbook's worked example: S″s 100 MVA; 400 kVA, uk 4 %, ΔP 4.3 kW; 5 m of busbar with
// 0.025, 0.15, 0.05, 0.3 mΩ/m; 0.1 km of line with R0 0.3, X0 0.08, Rphp 0.9, Xphp 0.16, R' 0.6,
// X' 0.15 mΩ/m. X0 and Xphp as the pickers give them (Form5 "0.080", Form3 "0.160").
const std::vector<Entry> kWorkedExample = {
    {"Combo18", "100"},  {"Text55", "4"},    {"Text56", "4.3"},   {"Text57", "400"},
    {"Text58", "0.025"}, {"Text59", "0.15"}, {"Text60", "0.05"},  {"Text61", "0.3"},
    {"Text62", "5"},     {"Text40", "0.3"},  {"Text41", "0.080"}, {"Text46", "0.9"},
    {"Text47", "0.160"}, {"Text49", "0.6"},  {"Text50", "0.15"},  {"Text48", "0.1"},
};

// Types into the fields (Combo18 is an editable list), the working fields included.
void enter(TestApp& t, const std::vector<Entry>& entries) {
    for (const Entry& e : entries)
        ASSERT_EQ(userType(t.form().control(u8(e.field)), u8(e.value)), QString()) << e.field;
}

// The tab page a control stands on, through its frames; -1 when it is on none.
int pageOf(const Control& control) {
    for (const Control* c = &control; c->container() != nullptr; c = c->container()) {
        if (c->container()->kind() == ControlKind::TabControl)
            return c->page();
    }
    return -1;
}

std::vector<Entry> workedExampleWith(const std::vector<Entry>& changes) {
    std::vector<Entry> entries = kWorkedExample;
    for (const Entry& change : changes) {
        for (Entry& e : entries) {
            if (QByteArray(e.field) == change.field)
                e.value = change.value;
        }
    }
    return entries;
}

QStringList fieldTexts(TestApp& t, std::initializer_list<const char*> names) {
    QStringList texts;
    for (const char* name : names)
        texts << t.text(name);
    return texts;
}

QStringList resultsAndCopies(TestApp& t) {
    return fieldTexts(t, {"Text42", "Text43", "Text44", "Text45", "Text35", "Text36", "Text75"});
}

void expectMissingDataMessage(TestApp& t) {
    ASSERT_EQ(t.platform().messages.size(), 1U);
    const RecordedMessage& m = t.platform().messages.front();
    EXPECT_EQ(m.icon, MessageIcon::Critical);
    EXPECT_EQ(m.title, u8("输入计算短路电流数据 "));
    EXPECT_EQ(m.text, u8("已知数据未输全，请检查： "));
}

TEST(ShortCircuitPage, ComputesTheCurrentsAndCopiesThemToTheVerificationPage) {
    struct Computed {
        const char* what;
        std::vector<Entry> changes; // to the worked example
        QStringList currents;       // I″k3, I″k2, Id, I″k1
    };
    const Computed cases[] = {
        // The handbook's figures: ZΣ ≈ 43.05109, Zphp ≈ 100.51955, Z1 ≈ 72.35655 mΩ.
        {"worked example", {}, {"5.3509", "4.6339", "2.1826", "3.0321"}},
        // Not in the list: Zs = 159201 / 150 · 1e-3 = 1.06134 mΩ, ZΣ ≈ 42.69568 mΩ by hand.
        {"S″s typed as 150", {{"Combo18", "150"}}, {"5.3955", "4.6725", "2.1859", "3.0441"}},
        // Busbar end: ZΣ = Z1 ≈ 18.24789 mΩ, so I″k1 = I″k3 · 380 / 399; Zphp ≈ 18.48087 mΩ.
        {"zero line length", {{"Text48", "0"}}, {"12.6241", "10.9325", "11.8714", "12.0229"}},
        // 1 km: ZΣ ≈ 319.83917, Zphp ≈ 921.95874, Z1 ≈ 627.38173 mΩ; every current below 1 kA.
        {"currents below 1 kA", {{"Text48", "1"}}, {"0.7202", "0.6237", "0.2380", "0.3497"}},
    };
    for (const Computed& c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        enter(t, workedExampleWith(c.changes));
        t.click("Command9");
        EXPECT_TRUE(t.platform().messages.empty());
        EXPECT_EQ(fieldTexts(t, {"Text42", "Text43", "Text44", "Text45"}), c.currents);
        // Text35 ← I″k3, Text36 ← Id, Text75 ← I″k1.
        EXPECT_EQ(fieldTexts(t, {"Text35", "Text36", "Text75"}),
                  QStringList({c.currents[0], c.currents[2], c.currents[3]}));
    }
}

TEST(ShortCircuitPage, AnInputThatIsEmptyOrNoNumberStopsWithTheMessage) {
    const char* const inputs[] = {"Combo18", "Text55", "Text56", "Text57", "Text58", "Text59",
                                  "Text60",  "Text61", "Text62", "Text40", "Text41", "Text46",
                                  "Text47",  "Text49", "Text50", "Text48"};
    // Strict reading: the whole text must be a number.
    const char* const badTexts[] = {"", "abc", "0.1km", "1..5"};
    for (const char* input : inputs) {
        for (const char* bad : badTexts) {
            SCOPED_TRACE(::testing::Message() << input << " = \"" << bad << "\"");
            TestApp t;
            enter(t, kWorkedExample);
            t.click("Command9"); // the worked example's results stand in every field
            const QStringList before = resultsAndCopies(t);
            enter(t, {{input, bad}});
            t.click("Command9");
            expectMissingDataMessage(t);
            EXPECT_EQ(resultsAndCopies(t), before);
        }
    }
}

// Rs and Xs of a 100 MVA system (Xs = 0.995 · Zs, Rs = 0.1 · Xs), written with 17 digits so that a
// busbar of -1 m with these per-metre values cancels the system exactly.
std::vector<Entry> cancelledSystem(QByteArray& rs, QByteArray& xs) {
    const double zs = 159201.0 / 100.0 * 1e-3;
    xs = QByteArray::number(0.995 * zs, 'g', 17);
    rs = QByteArray::number(0.1 * (0.995 * zs), 'g', 17);
    return workedExampleWith({{"Text55", "0"},
                              {"Text56", "0"},
                              {"Text62", "-1"},
                              {"Text58", rs.constData()},
                              {"Text59", xs.constData()},
                              {"Text60", "0"},
                              {"Text61", "0"},
                              {"Text48", "0"}});
}

TEST(ShortCircuitPage, ArithmeticFaultsStopWithTheMessage) {
    QByteArray rs;
    QByteArray xs;
    struct Fault {
        const char* what;
        std::vector<Entry> entries;
    };
    const Fault cases[] = {
        {"S″s zero divides Zs", workedExampleWith({{"Combo18", "0"}})},
        {"Sr zero divides Zt and Rt", workedExampleWith({{"Text57", "0"}})},
        // Zt = 0.1 · 159201 / 40000 ≈ 0.398 mΩ below Rt ≈ 4.2785 mΩ: √ of a negative number.
        {"Zt smaller than Rt", workedExampleWith({{"Text55", "0.1"}})},
        {"Zs overflows", workedExampleWith({{"Combo18", "1E-310"}})},
        {"line impedance overflows", workedExampleWith({{"Text40", "1E307"}})},
        // ZΣ = Z1 = 0 while Zphp is not: no current may be written, not even Id.
        {"ZΣ zero", cancelledSystem(rs, xs)},
    };
    for (const Fault& c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        enter(t, {{"Text42", "a"},
                  {"Text43", "b"},
                  {"Text44", "c"},
                  {"Text45", "d"},
                  {"Text35", "e"},
                  {"Text36", "f"},
                  {"Text75", "g"}});
        const QStringList before = resultsAndCopies(t);
        enter(t, c.entries);
        t.click("Command9");
        expectMissingDataMessage(t);
        EXPECT_EQ(resultsAndCopies(t), before);
    }
}

TEST(ShortCircuitPage, StartUpStateFailsUntilBothDialogsWereUsed) {
    TestApp t;
    // The ten working fields hold their own names, which are no numbers.
    for (const char* hidden : {"Text55", "Text56", "Text57", "Text58", "Text59", "Text60", "Text61",
                               "Text62", "Text9", "Text74"}) {
        SCOPED_TRACE(hidden);
        EXPECT_EQ(t.text(hidden), u8(hidden));
        EXPECT_EQ(pageOf(t.form().control(u8(hidden))), -1);
    }
    EXPECT_EQ(t.combo("Combo18").text(), u8("10"));
    for (const char* input : {"Text40", "Text41", "Text46", "Text47", "Text48", "Text49", "Text50",
                              "Text53", "Text42", "Text43", "Text44", "Text45"}) {
        SCOPED_TRACE(input);
        EXPECT_EQ(t.text(input), QString());
    }
    // Every visible input typed, the dialogs never opened.
    enter(t, {{"Text40", "0.3"},
              {"Text41", "0.08"},
              {"Text46", "0.9"},
              {"Text47", "0.16"},
              {"Text49", "0.6"},
              {"Text50", "0.15"},
              {"Text48", "0.1"}});
    t.click("Command9");
    expectMissingDataMessage(t);
    EXPECT_EQ(resultsAndCopies(t), QStringList({"", "", "", "", "", "", ""}));
}

TEST(ShortCircuitPage, ClearEmptiesExactlyItsTwentyFields) {
    const std::set<QString> cleared = {u8("Text40"), u8("Text41"), u8("Text42"), u8("Text43"),
                                       u8("Text44"), u8("Text45"), u8("Text46"), u8("Text47"),
                                       u8("Text48"), u8("Text49"), u8("Text50"), u8("Text53"),
                                       u8("Text55"), u8("Text56"), u8("Text57"), u8("Text58"),
                                       u8("Text59"), u8("Text60"), u8("Text61"), u8("Text62")};
    TestApp t;
    enter(t, kWorkedExample);
    t.click("Command9");
    ASSERT_EQ(t.text("Text35"), u8("5.3509"));
    ASSERT_EQ(userType(t.combo("Combo18"), u8("150")), QString());
    ASSERT_EQ(userCheck(t.check("Check13"), 1), QString());
    // Every text field of the window holds something before the press.
    for (const auto& control : t.form().controls()) {
        if (auto* field = dynamic_cast<TextBox*>(control.get());
            field != nullptr && field->text().isEmpty())
            field->setText(u8("kept ") + field->name());
    }
    std::vector<std::pair<QString, QString>> before;
    for (const auto& control : t.form().controls()) {
        if (auto* field = dynamic_cast<TextBox*>(control.get()))
            before.emplace_back(field->name(), field->text());
    }
    t.click("Command10");
    for (const auto& [name, text] : before) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(t.form().text(name).text(), cleared.contains(name) ? QString() : text);
    }
    EXPECT_EQ(t.combo("Combo18").text(), u8("150"));
    EXPECT_EQ(t.check("Check13").value(), 1);

    // The transformer and busbar fields are empty now: the line values typed again are not enough.
    enter(t, {{"Text40", "0.3"},
              {"Text41", "0.08"},
              {"Text46", "0.9"},
              {"Text47", "0.16"},
              {"Text49", "0.6"},
              {"Text50", "0.15"},
              {"Text48", "0.1"}});
    t.click("Command9");
    expectMissingDataMessage(t);
    EXPECT_EQ(resultsAndCopies(t), QStringList({"", "", "", "", "5.3509", "2.1826", "3.0321"}));
}

TEST(ShortCircuitPage, Check13SwitchesText45WithoutWritingIntoIt) {
    TestApp t;
    TextBox& singlePhase = t.form().text(u8("Text45"));
    EXPECT_FALSE(singlePhase.enabled());
    EXPECT_EQ(singlePhase.backColor(), colors::kButtonFace);
    enter(t, kWorkedExample);
    struct Switch {
        int value;
        bool enabled;
        Color color;
    };
    // Ticked: enabled and white; unticked: disabled and the button-face colour. The box takes no
    // part in the computation, which writes Text45 in either state.
    const Switch states[] = {
        {1, true, colors::kWhite}, {0, false, colors::kButtonFace}, {1, true, colors::kWhite}};
    for (const Switch& s : states) {
        SCOPED_TRACE(s.value);
        t.setText("Text45", u8("typed"));
        ASSERT_EQ(userCheck(t.check("Check13"), s.value), QString());
        EXPECT_EQ(singlePhase.enabled(), s.enabled);
        EXPECT_EQ(singlePhase.backColor(), s.color);
        EXPECT_EQ(singlePhase.text(), u8("typed")); // never the box's 1 or 0
        t.click("Command9");
        EXPECT_EQ(fieldTexts(t, {"Text42", "Text45", "Text75"}),
                  QStringList({"5.3509", "3.0321", "3.0321"}));
        EXPECT_EQ(singlePhase.enabled(), s.enabled);
    }
    EXPECT_TRUE(t.platform().messages.empty());
}

TEST(ShortCircuitPage, CaptionsLabelsAndTooltips) {
    struct Text {
        const char* control;
        const char* caption;
        const char* toolTip;
    };
    const char* const pick = "选取低压线路单位长度阻抗值";
    const Text texts[] = {
        {"Frame11", "计算短路电流输入参数", ""},
        {"Frame10", "计算结果", ""},
        {"LabelCombo18", "系统短路容量MVA ", ""},
        {"Combo18", "", "高压侧系统基准容量可以任意选定，为计算方便，一般取100MVA"},
        {"LabelText40", "线路单位长度电阻值 R0", ""},
        {"LabelText41", "线路单位长度电抗值X0", ""},
        {"LabelText46", "线路单位长度相保电阻Rphp", ""},
        {"LabelText47", "线路单位长度相保电抗Xphp", ""},
        {"LabelText49", "线路单位长度相中电阻R'", ""},
        {"LabelText50", "线路单位长度相中电抗X'", ""},
        {"LabelText48", "线路长度 L (km)", ""},
        {"LabelText42", "三相短路电流I\"k3 (kA)", ""},
        {"LabelText43", "两相短路电流I\"k2 (kA)", ""},
        {"LabelText44", "单相接地故障电流Id(kA)", ""},
        {"LabelText45", "单相短路电流I\"k1(kA)", ""},
        {"Command9", "计  算", ""},
        {"Command10", "清  零", ""},
        {"Command22", "▲", "选择变压器参数"},
        {"Command23", "⊙", "选择母线参数"},
        {"Command19", "←", pick},
        {"Command20", "←", pick},
        {"Command15", "←", pick},
        {"Command16", "←", pick},
        {"Command17", "←", pick},
        {"Command18", "←", pick},
        {"Shape1", "●", "线路末端短路点"},
    };
    TestApp t;
    for (const Text& text : texts) {
        SCOPED_TRACE(text.control);
        const Control& control = t.form().control(u8(text.control));
        EXPECT_EQ(control.caption(), u8(text.caption));
        EXPECT_EQ(control.toolTip(), u8(text.toolTip));
        EXPECT_EQ(pageOf(control), 1);
    }
    EXPECT_EQ(t.combo("Combo18").items(),
              QStringList({"10", "20", "30", "50", "75", "100", "200", "250", "300"}));
    EXPECT_TRUE(t.combo("Combo18").editable());
}

} // namespace
} // namespace korvane::testing
