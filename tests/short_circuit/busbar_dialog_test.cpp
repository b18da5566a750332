// MXForm9 "MX⊙", the busbar dialog, over the test copy of Byaqi-Muxie.db: the shipped rows (first
// row 铜母线TMY / 4(40X4) with 0.132, 0.212, 0.264, 0.407 mΩ/m; the worked example's 铜母线TMY /
// 4(100X10) with 0.025, 0.15, 0.05, 0.3) and the test rows (铜'测试 / 4(80X8)' with apostrophes;
// 重复测试 / 4(40X4) twice, 0.132, 0.212, 0.264, 0.4 first and 0.2, 0.3, 0.4, 0.5 second).

#include "support/test_app.h"

#include <functional>
#include <string>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

const QStringList kMaterials = {u8("铜母线TMY"), u8("铝母线LMY"), u8("铜'测试"), u8("重复测试")};
// Both shipped materials come in the same bar arrangements (column 截面), in this order.
const QStringList kArrangements = {"4(40X4)",
                                   "4(40X5)",
                                   "4(50X5)",
                                   "4(63X6.3)",
                                   "3(63X6.3)+40X5",
                                   "4(80X8)",
                                   "3(80X8)+63X6.3",
                                   "4(100X8)",
                                   "3(100X8)+63X6.3",
                                   "4(100X10)",
                                   "3(100X10)+63X6.3",
                                   "4(125X10)",
                                   "3(125X10)+80X8",
                                   "3[2(100X10)]+100X10",
                                   "3[2(125X10)]+125X10"};
const QStringList kLengths = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
const QStringList kFirstBusbar = {"0.132", "0.212", "0.264", "0.407"};

Form& dialog(TestApp& t) {
    return t.app().form(u8("MXForm9"));
}

void choose(Form& form, const char* list, const QString& item) {
    ComboBox& combo = form.combo(u8(list));
    const int index = combo.indexOf(item);
    ASSERT_GE(index, 0) << list << " lacks " << item.toStdString();
    ASSERT_EQ(userSelect(combo, index), QString());
}

void pressOk(TestApp& t) {
    ASSERT_EQ(userClick(dialog(t).button(u8("Command1"))), QString());
}

// R', X', Rphp, Xphp per metre as the main window holds them.
QStringList mainImpedances(TestApp& t) {
    return {t.text("Text58"), t.text("Text59"), t.text("Text60"), t.text("Text61")};
}

QStringList carried(Form& form) {
    return {form.text(u8("Text1")).text(), form.text(u8("Text2")).text(),
            form.text(u8("Text3")).text(), form.text(u8("Text4")).text()};
}

// Length, material and arrangement as the main window holds them.
QStringList mainRest(TestApp& t) {
    return {t.text("Text62"), t.text("Text74"), t.text("Text9")};
}

void chooseBusbar(TestApp& t, const char* material, const char* arrangement, const char* length) {
    t.click("Command23");
    choose(dialog(t), "Combo1", u8(material));
    choose(dialog(t), "Combo2", u8(arrangement));
    choose(dialog(t), "Combo3", u8(length));
    pressOk(t);
}

// A window that holds no busbar of the table: the first row and 1 m, as on the first press.
TEST(BusbarDialog, OpeningWithoutABusbarOfTheTableTransfersTheFirstBusbarAndOneMetre) {
    struct Opening {
        const char* what;
        std::function<void(TestApp&)> before;
        QStringList names; // Text74, Text9: only 确 定 writes them
    };
    const Opening cases[] = {
        {"first press", [](TestApp&) {}, {"Text74", "Text9"}},
        {"after the close box with 4(100X10) 5 m",
         [](TestApp& t) {
             t.click("Command23");
             choose(dialog(t), "Combo2", u8("4(100X10)"));
             choose(dialog(t), "Combo3", u8("5"));
             dialog(t).unload();
         },
         {"Text74", "Text9"}},
        // The names say 4(50X5), the impedances are those of 4(63X6.3), picked afterwards.
        {"another arrangement picked after 确 定, closed by the close box",
         [](TestApp& t) {
             chooseBusbar(t, "铝母线LMY", "4(50X5)", "3");
             t.click("Command23");
             choose(dialog(t), "Combo1", u8("铝母线LMY"));
             choose(dialog(t), "Combo2", u8("4(63X6.3)"));
             dialog(t).unload();
         },
         {u8("铝母线LMY"), "4(50X5)"}},
        {"a length the list does not hold",
         [](TestApp& t) {
             chooseBusbar(t, "铜母线TMY", "4(100X10)", "5");
             t.setText("Text62", u8("7.5"));
         },
         {u8("铜母线TMY"), "4(100X10)"}},
        {"after 清  零",
         [](TestApp& t) {
             chooseBusbar(t, "铜母线TMY", "4(100X10)", "5");
             t.click("Command10");
         },
         {u8("铜母线TMY"), "4(100X10)"}},
    };
    for (const Opening& c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        c.before(t);
        ASSERT_FALSE(dialog(t).loaded());
        t.click("Command23");
        Form& form = dialog(t);
        ASSERT_TRUE(form.visible());
        EXPECT_EQ(mainImpedances(t), kFirstBusbar);
        EXPECT_EQ(mainRest(t), QStringList({"1"}) + c.names);
        EXPECT_EQ(carried(form), kFirstBusbar);
        // The design-time text "[2[100X10]]+100X10" of Combo2 is replaced.
        EXPECT_EQ(QStringList({form.combo(u8("Combo1")).text(), form.combo(u8("Combo2")).text(),
                               form.combo(u8("Combo3")).text()}),
                  QStringList({u8("铜母线TMY"), "4(40X4)", "1"}));
        EXPECT_EQ(form.combo(u8("Combo1")).items(), kMaterials);
        EXPECT_EQ(form.combo(u8("Combo2")).items(), kArrangements);
        EXPECT_EQ(form.combo(u8("Combo3")).items(), kLengths);
        EXPECT_TRUE(t.platform().messages.empty());
    }
}

// A window that holds a busbar of the table: the dialog starts from its row and length, and
// 确 定 leaves the window as it was.
TEST(BusbarDialog, ReopeningStartsFromTheBusbarTheWindowHolds) {
    struct Held {
        const char* material;
        int arrangement; // index in Combo2 when chosen
        const char* length;
        QStringList shown;    // Combo1..Combo3 after reopening
        int arrangementIndex; // Combo2's ListIndex after reopening
        QStringList impedances;
    };
    const Held cases[] = {
        {"铜母线TMY",
         9,
         "5",
         {u8("铜母线TMY"), "4(100X10)", "5"},
         9,
         {"0.025", "0.15", "0.05", "0.3"}},
        {"铝母线LMY",
         2,
         "3",
         {u8("铝母线LMY"), "4(50X5)", "3"},
         2,
         {"0.138", "0.199", "0.276", "0.379"}},
        {"铜'测试",
         0,
         "10",
         {u8("铜'测试"), "4(80X8)'", "10"},
         0,
         {"0.03", "0.17", "0.06", "0.32"}},
        // Either entry of a duplicated arrangement transfers the first row; reopening selects it.
        {"重复测试",
         1,
         "1",
         {u8("重复测试"), "4(40X4)", "1"},
         0,
         {"0.132", "0.212", "0.264", "0.4"}},
    };
    for (const Held& c : cases) {
        SCOPED_TRACE(c.material);
        TestApp t;
        t.click("Command23");
        choose(dialog(t), "Combo1", u8(c.material));
        ASSERT_EQ(userSelect(dialog(t).combo(u8("Combo2")), c.arrangement), QString());
        choose(dialog(t), "Combo3", u8(c.length));
        pressOk(t);
        const QStringList before = mainImpedances(t) + mainRest(t);
        EXPECT_EQ(mainImpedances(t), c.impedances);

        t.click("Command23");
        Form& form = dialog(t);
        EXPECT_EQ(QStringList({form.combo(u8("Combo1")).text(), form.combo(u8("Combo2")).text(),
                               form.combo(u8("Combo3")).text()}),
                  c.shown);
        EXPECT_EQ(form.combo(u8("Combo2")).listIndex(), c.arrangementIndex);
        EXPECT_EQ(carried(form), c.impedances);
        EXPECT_EQ(mainImpedances(t) + mainRest(t), before);
        pressOk(t);
        EXPECT_EQ(mainImpedances(t) + mainRest(t), before);
        EXPECT_TRUE(t.platform().messages.empty());
    }
}

TEST(BusbarDialog, EachChoiceRunsOnlyItsOwnStep) {
    struct Step {
        const char* list;
        const char* item;
        QStringList impedances; // Text58..Text61
        const char* length;     // Text62
        int arrangement;        // Combo2's ListIndex
    };
    const Step steps[] = {
        // A new material: its arrangements listed, none selected; nothing written.
        {"Combo1", "铝母线LMY", kFirstBusbar, "1", -1},
        {"Combo2", "4(100X10)", {"0.039", "0.156", "0.078", "0.293"}, "1", 9},
        // The length is written at once, without 确 定.
        {"Combo3", "7", {"0.039", "0.156", "0.078", "0.293"}, "7", 9},
        {"Combo1", "铜母线TMY", {"0.039", "0.156", "0.078", "0.293"}, "7", -1},
        {"Combo2", "4(100X10)", {"0.025", "0.15", "0.05", "0.3"}, "7", 9},
        {"Combo3", "10", {"0.025", "0.15", "0.05", "0.3"}, "10", 9},
    };
    TestApp t;
    t.click("Command23");
    Form& form = dialog(t);
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::Message() << s.list << " " << s.item);
        choose(form, s.list, u8(s.item));
        EXPECT_EQ(mainImpedances(t), s.impedances);
        EXPECT_EQ(mainRest(t), QStringList({u8(s.length), "Text74", "Text9"}));
        EXPECT_EQ(form.combo(u8("Combo2")).items(), kArrangements);
        EXPECT_EQ(form.combo(u8("Combo2")).listIndex(), s.arrangement);
        if (s.arrangement < 0) {
            EXPECT_EQ(form.combo(u8("Combo2")).text(), QString());
        }
    }
}

TEST(BusbarDialog, ArrangementFindsItsRow) {
    struct Lookup {
        const char* what;
        const char* material;
        int arrangement; // index in Combo2
        QStringList arrangements;
        QStringList impedances;
    };
    const Lookup cases[] = {
        {"worked example's row", "铜母线TMY", 9, kArrangements, {"0.025", "0.15", "0.05", "0.3"}},
        {"last row", "铝母线LMY", 14, kArrangements, {"0.0194", "0.138", "0.0534", "0.257"}},
        // The choices are bound as parameters, so apostrophes find their row.
        {"apostrophes", "铜'测试", 0, {"4(80X8)'"}, {"0.03", "0.17", "0.06", "0.32"}},
        // Two rows of one arrangement: listed twice, either entry gives the first row.
        {"duplicate, first entry",
         "重复测试",
         0,
         {"4(40X4)", "4(40X4)"},
         {"0.132", "0.212", "0.264", "0.4"}},
        {"duplicate, second entry",
         "重复测试",
         1,
         {"4(40X4)", "4(40X4)"},
         {"0.132", "0.212", "0.264", "0.4"}},
    };
    for (const Lookup& c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        t.click("Command23");
        Form& form = dialog(t);
        choose(form, "Combo1", u8(c.material));
        EXPECT_EQ(form.combo(u8("Combo2")).items(), c.arrangements);
        ASSERT_EQ(userSelect(form.combo(u8("Combo2")), c.arrangement), QString());
        EXPECT_EQ(mainImpedances(t), c.impedances);
        EXPECT_EQ(carried(form), c.impedances);
        pressOk(t);
        EXPECT_EQ(mainRest(t), QStringList({"1", u8(c.material), c.arrangements[c.arrangement]}));
    }
}

TEST(BusbarDialog, ArrangementWithoutARowEmptiesTheImpedances) {
    TestApp t;
    t.click("Command23");
    Form& form = dialog(t);
    // A typed material runs no step; the listed 4(40X4) then has no row of that material.
    ASSERT_EQ(userType(form.combo(u8("Combo1")), u8("铜'测试")), QString());
    choose(form, "Combo2", u8("4(40X4)"));
    EXPECT_EQ(carried(form), QStringList({"", "", "", ""}));
    EXPECT_EQ(mainImpedances(t), QStringList({"", "", "", ""}));

    // The next computation reports its missing data.
    const std::pair<const char*, const char*> rest[] = {
        {"Text55", "4"},    {"Text56", "4.3"}, {"Text57", "400"},  {"Text40", "0.3"},
        {"Text41", "0.08"}, {"Text46", "0.9"}, {"Text47", "0.16"}, {"Text49", "0.6"},
        {"Text50", "0.15"}, {"Text48", "0.1"}};
    for (const auto& [field, value] : rest)
        t.setText(field, u8(value));
    t.click("Command9");
    ASSERT_EQ(t.platform().messages.size(), 1U);
    EXPECT_EQ(t.platform().messages.front().text, u8("已知数据未输全，请检查： "));
}

TEST(BusbarDialog, TypedTextRunsNoStep) {
    const std::pair<const char*, const char*> typed[] = {
        {"Combo1", "铝母线LMY"}, {"Combo2", "4(100X10)"}, {"Combo3", "12"}};
    for (const auto& [list, text] : typed) {
        SCOPED_TRACE(list);
        TestApp t;
        t.click("Command23");
        ASSERT_EQ(userType(dialog(t).combo(u8(list)), u8(text)), QString());
        EXPECT_EQ(mainImpedances(t), kFirstBusbar);
        EXPECT_EQ(mainRest(t), QStringList({"1", "Text74", "Text9"}));
        EXPECT_EQ(dialog(t).combo(u8("Combo2")).listIndex(), list == std::string("Combo2") ? 9 : 0);
    }
}

TEST(BusbarDialog, OkPassesTheNamesTheCloseBoxDoesNot) {
    struct Closing {
        const char* what;
        std::function<void(TestApp&)> close;
        QStringList names;
    };
    const Closing cases[] = {
        {"确 定", pressOk, {u8("铝母线LMY"), "4(63X6.3)"}},
        {"close box", [](TestApp& t) { dialog(t).unload(); }, {"Text74", "Text9"}},
    };
    for (const Closing& c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        t.click("Command23");
        choose(dialog(t), "Combo1", u8("铝母线LMY"));
        choose(dialog(t), "Combo2", u8("4(63X6.3)"));
        choose(dialog(t), "Combo3", u8("3"));
        t.click("Command23"); // the open dialog again: not reloaded, the choices stay
        EXPECT_EQ(dialog(t).combo(u8("Combo2")).text(), u8("4(63X6.3)"));
        EXPECT_EQ(mainRest(t), QStringList({"3", "Text74", "Text9"}));
        c.close(t);
        EXPECT_FALSE(dialog(t).loaded());
        EXPECT_EQ(mainImpedances(t), QStringList({"0.097", "0.188", "0.194", "0.35"}));
        EXPECT_EQ(mainRest(t), QStringList({"3"}) + c.names);
    }
}

TEST(BusbarDialog, CaptionFrameAndLabels) {
    TestApp t;
    t.click("Command23");
    Form& form = dialog(t);
    EXPECT_EQ(form.caption(), u8("MX⊙"));
    struct Shown {
        const char* control;
        const char* caption;
        bool inSight; // the four carried values lie outside the dialog's visible area
    };
    const Shown controls[] = {
        {"Frame1", "选择母线", true},
        {"LabelCombo1", "母线材质", true},
        {"LabelCombo2", "母线规格", true},
        {"LabelCombo3", "母线长 L(m)", true},
        {"Command1", "确 定", true},
        {"LabelText1", "相线电阻R'", false},
        {"LabelText2", "相线电抗X'", false},
        {"LabelText3", "相保电阻Rphp", false},
        {"LabelText4", "相保电抗Xphp", false},
        {"Text1", "", false},
        {"Text2", "", false},
        {"Text3", "", false},
        {"Text4", "", false},
    };
    for (const Shown& s : controls) {
        SCOPED_TRACE(s.control);
        const Control& control = form.control(u8(s.control));
        EXPECT_EQ(control.caption(), u8(s.caption));
        int x = control.geometry().x;
        for (const Control* c = control.container(); c != nullptr; c = c->container())
            x += c->geometry().x;
        EXPECT_EQ(x < form.width(), s.inSight);
    }
}

} // namespace
} // namespace korvane::testing
