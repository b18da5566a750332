// Results that no longer belong to their inputs: on each calculation page a change to an input
// after the computation greys the results and shows the note "输入已更改，请重新计算" until the
// page's button computes them again. The texts of the results are never touched by the mark.

#include "app/calculation_file.h"
#include "support/test_app.h"

#include <QTemporaryDir>

#include <functional>
#include <vector>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

void type(TestApp& t, const char* name, const char* value) {
    ASSERT_EQ(userType(t.form().control(u8(name)), u8(value)), QString()) << name;
}

// Page 0: 50 mm² cable at 0.38 kV, cos φ 0.85, 100 A over 0.5 km (Δu 8.4573 %).
void computeVoltageLoss(TestApp& t) {
    t.select("Combo3", u8("50"));
    t.select("Combo7", u8("0.38"));
    t.select("Combo4", u8("0.85"));
    type(t, "Text4", "100");
    type(t, "Text5", "0.5");
    t.click("Command1");
}

// Page 1: the handbook's worked example, the dialogs' values typed into their working fields.
void computeShortCircuit(TestApp& t) {
    const std::pair<const char*, const char*> entries[] = {
        {"Combo18", "100"},  {"Text55", "4"},    {"Text56", "4.3"},  {"Text57", "400"},
        {"Text58", "0.025"}, {"Text59", "0.15"}, {"Text60", "0.05"}, {"Text61", "0.3"},
        {"Text62", "5"},     {"Text40", "0.3"},  {"Text41", "0.08"}, {"Text46", "0.9"},
        {"Text47", "0.16"},  {"Text49", "0.6"},  {"Text50", "0.15"}, {"Text48", "0.1"}};
    for (const auto& [name, value] : entries)
        type(t, name, value);
    t.click("Command9");
}

// Page 2 after pages 0 and 1: an earth-fault run with Ib 20 A over 0.5 km, Rphp 2.5 mΩ/m.
void computeVerification(TestApp& t) {
    computeVoltageLoss(t);
    computeShortCircuit(t);
    const std::pair<const char*, const char*> entries[] = {{"Text51", "115"}, {"Text52", "1.00"},
                                                           {"Text39", "2.5"}, {"Text72", "33"},
                                                           {"Text37", "20"},  {"Text38", "0.5"}};
    for (const auto& [name, value] : entries)
        type(t, name, value);
    t.click("Command28");
}

struct Page {
    const char* name;
    std::function<void(TestApp&)> compute;
    const char* button;
    std::vector<const char*> results;
    const char* note;
};

const Page kPages[] = {
    {"voltage loss", computeVoltageLoss, "Command1", {"Text6", "Text3", "Text7"}, "StaleNote0"},
    {"short circuit",
     computeShortCircuit,
     "Command9",
     {"Text42", "Text43", "Text44", "Text45"},
     "StaleNote1"},
    {"verification", computeVerification, "Command28", {"Text71"}, "StaleNote2"},
};

bool noteShown(TestApp& t, const Page& page) {
    return t.form().control(u8(page.note)).visible();
}

// Every result of the page marked (true) or not, and the note with them.
void expectMarked(TestApp& t, const Page& page, bool marked) {
    for (const char* name : page.results)
        EXPECT_EQ(t.form().text(u8(name)).outOfDate(), marked) << name;
    EXPECT_EQ(noteShown(t, page), marked);
}

QStringList resultTexts(TestApp& t, const Page& page) {
    QStringList texts;
    for (const char* name : page.results)
        texts << t.text(name);
    return texts;
}

struct Change {
    int page;
    const char* what;
    std::function<void(TestApp&)> act;
};

// Rphp picked on page 2 from Form2 (copper 4×50 mm²): it writes Text39 and page 1's Text46.
void pickRphpOnPage2(TestApp& t) {
    t.click("Command27");
    auto& grid = t.app().form(u8("Form2")).get<Grid>(u8("MSHFlexGrid1"));
    ASSERT_EQ(userClickCell(grid, 2, 7), QString());
    ASSERT_EQ(t.text("Text46"), u8("1.053"));
}

const Change kChanges[] = {
    {0, "load current typed", [](TestApp& t) { type(t, "Text4", "120"); }},
    {0, "voltage typed into its list", [](TestApp& t) { type(t, "Combo7", "0.4"); }},
    {0, "ambient temperature picked", [](TestApp& t) { t.select("Combo9", u8("30")); }},
    {0, "another cross-section (R and X from the database)",
     [](TestApp& t) { t.select("Combo3", u8("35")); }},
    {0, "another load case",
     [](TestApp& t) { t.select("Combo6", u8("(2)均匀分布负荷用电流矩(A.km)")); }},
    {1, "line length typed", [](TestApp& t) { type(t, "Text48", "0.2"); }},
    {1, "system capacity picked", [](TestApp& t) { t.select("Combo18", u8("200")); }},
    {1, "a dialog's working field written", [](TestApp& t) { t.setText("Text57", u8("500")); }},
    {1, "Rphp picked on page 2", pickRphpOnPage2},
    {2, "load current typed", [](TestApp& t) { type(t, "Text37", "18"); }},
    {2, "duration set by the spin button",
     [](TestApp& t) { ASSERT_EQ(userSpin(t.form().get<UpDown>(u8("UpDown1")), 5), QString()); }},
    {2, "protection mode switched",
     [](TestApp& t) {
         // Unticking the earth-fault box hands the choice to the short-circuit box.
         ASSERT_EQ(userCheck(t.check("Check15"), 0), QString());
         ASSERT_EQ(userCheck(t.check("Check14"), 1), QString());
     }},
    {2, "currents copied by a new short-circuit computation",
     [](TestApp& t) {
         type(t, "Text48", "0.2");
         t.click("Command9");
     }},
    {2, "voltage loss of page 0 computed again",
     [](TestApp& t) {
         type(t, "Text4", "50");
         t.click("Command1");
     }},
    {2, "Rphp picked", pickRphpOnPage2},
};

TEST(StaleResults, AnInputChangedAfterTheComputationMarksThePageUntilItIsComputedAgain) {
    for (const Change& change : kChanges) {
        const Page& page = kPages[change.page];
        SCOPED_TRACE(std::string(page.name) + ": " + change.what);
        TestApp t;
        page.compute(t);
        for (const QString& text : resultTexts(t, page))
            ASSERT_FALSE(text.isEmpty());
        expectMarked(t, page, false);

        const QStringList before = resultTexts(t, page);
        change.act(t);
        expectMarked(t, page, true);
        EXPECT_EQ(resultTexts(t, page), before); // the mark leaves the texts as they were
        EXPECT_EQ(t.form().control(u8(page.note)).caption(), u8("输入已更改，请重新计算"));

        t.click(page.button);
        expectMarked(t, page, false);
    }
}

TEST(StaleResults, OnlyAChangedValueMarks) {
    TestApp t;
    computeVoltageLoss(t);
    const Page& page = kPages[0];
    type(t, "Text4", "100");                      // the same value again
    t.form().text(u8("Text5")).setEnabled(false); // appearance only
    expectMarked(t, page, false);
    // An input of another page does not mark this one.
    type(t, "Text48", "0.3");
    expectMarked(t, page, false);
}

TEST(StaleResults, EmptyResultsAreNeverMarked) {
    TestApp t;
    type(t, "Text4", "100");
    type(t, "Text48", "0.1");
    type(t, "Text37", "20");
    for (const Page& page : kPages) {
        SCOPED_TRACE(page.name);
        expectMarked(t, page, false);
    }
}

TEST(StaleResults, AFailedComputationLeavesTheOldResultsMarked) {
    TestApp t;
    computeShortCircuit(t);
    type(t, "Text48", ""); // the line length is missing now
    t.click("Command9");
    ASSERT_EQ(t.platform().messages.size(), 1u);
    expectMarked(t, kPages[1], true);

    // A verification run stopped by missing data writes no report either.
    TestApp v;
    computeVerification(v);
    type(v, "Text37", "");
    v.click("Command28");
    ASSERT_EQ(v.platform().messages.size(), 1u);
    expectMarked(v, kPages[2], true);
}

TEST(StaleResults, TheLineLengthNotWorkedOutAgainStaysMarked) {
    TestApp t;
    computeVoltageLoss(t);
    type(t, "Text4", ""); // neither I nor P: Text7 keeps the length of 100 A
    t.click("Command1");
    EXPECT_FALSE(t.form().text(u8("Text6")).outOfDate());
    EXPECT_FALSE(t.form().text(u8("Text3")).outOfDate());
    EXPECT_TRUE(t.form().text(u8("Text7")).outOfDate());
    EXPECT_TRUE(noteShown(t, kPages[0]));
}

TEST(StaleResults, ClearingAPageLeavesNothingMarked) {
    const char* clearButtons[] = {"Command5", "Command10", "Command29"};
    for (int p = 0; p < 3; ++p) {
        const Page& page = kPages[p];
        SCOPED_TRACE(page.name);
        TestApp t;
        page.compute(t);
        type(t, p == 0 ? "Text1" : p == 1 ? "Text40" : "Text51", "1");
        expectMarked(t, page, true);
        t.click(clearButtons[p]);
        expectMarked(t, page, false);
    }
}

TEST(StaleResults, OpeningACalculationOrANewOneLeavesNothingMarked) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u8("line.korvane"));
    TestApp t;
    const QByteArray startState = calculationSnapshot(t.form());
    computeVerification(t);
    ASSERT_EQ(writeCalculationFile(t.form(), path), QString());

    auto markAll = [&t] {
        type(t, "Text4", "120");
        type(t, "Text48", "0.2");
        type(t, "Text37", "25");
        for (const Page& page : kPages)
            expectMarked(t, page, true);
    };
    markAll();
    ASSERT_TRUE(readCalculationFile(t.form(), path).problems.isEmpty());
    for (const Page& page : kPages) {
        SCOPED_TRACE(std::string("opened: ") + page.name);
        expectMarked(t, page, false);
        // Computing again gives results that belong to the opened inputs.
        t.click(page.button);
        expectMarked(t, page, false);
    }

    markAll();
    resetCalculation(t.form(), startState);
    for (const Page& page : kPages) {
        SCOPED_TRACE(std::string("new: ") + page.name);
        expectMarked(t, page, false);
    }
}

} // namespace
} // namespace korvane::testing
