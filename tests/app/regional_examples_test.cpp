// The worked examples give the same figures whatever the regional decimal sign: values shown
// from the database, fixed list items, picked table cells and typed '.' values all read back
// as the numbers they are.

#include "support/example_scripts.h"
#include "support/test_app.h"

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

struct Region {
    const char* name;
    RegionalFormat format;
};
const Region kRegions[] = {
    {"de: 1.234,5", {u',', u'.', 3}},
    {"fr: 1 234,5", {u',', QChar(0x202F), 3}},
    {"zh: 1,234.5", {u'.', u',', 3}},
};

class RegionalExamples : public ::testing::Test {
protected:
    void TearDown() override { setRegionalFormat(saved_); }
    // Runs the script in a program started under `format`.
    static QString run(const RegionalFormat& format, const QString& script) {
        setRegionalFormat(format);
        TestApp t;
        return runWorkedExample(t.app(), script);
    }
    const RegionalFormat saved_ = regionalFormat();
};

TEST_F(RegionalExamples, EveryWorkedExampleGivesTheSameFigures) {
    const QStringList scripts = workedExampleScripts();
    ASSERT_GE(scripts.size(), 5);
    for (const QString& script : scripts) {
        const QString reference = run(RegionalFormat{}, script);
        EXPECT_TRUE(reference.contains(u'=')) << script.toStdString();
        for (const Region& region : kRegions) {
            SCOPED_TRACE(::testing::Message() << script.toStdString() << ", " << region.name);
            const QString printed = run(region.format, script);
            EXPECT_EQ(neutralNumbers(printed, region.format),
                      neutralNumbers(reference, RegionalFormat{}));
        }
    }
}

// The figures of the issue under a comma decimal sign, each at the step where it went wrong.
TEST_F(RegionalExamples, CommaDecimalSignFiguresOfThreePages) {
    setRegionalFormat(RegionalFormat{u',', u'.', 3});
    TestApp t;
    t.select("Combo3", u8("50"));
    EXPECT_EQ(t.text("Text1"), u8("0,387"));
    EXPECT_EQ(t.text("Text2"), u8("0,08"));
    t.select("Combo4", u8("0,85"));
    t.select("Combo7", u8("0,38"));
    t.select("Combo8", u8("70"));
    t.select("Combo9", u8("30"));
    t.setText("Text4", u8("100"));
    t.setText("Text5", u8("0.5")); // typed in the program's own form
    t.setText("Text17", u8("30"));
    t.click("Command1");
    EXPECT_EQ(t.text("Text6"), u8("8,4573"));
    EXPECT_EQ(t.text("Text7"), u8("442,1796"));
    EXPECT_NE(t.text("Text3"), u8("校验通过"));

    for (const auto& [field, value] : {std::pair{"Text55", "4"},
                                       {"Text56", "4,3"},
                                       {"Text57", "400"},
                                       {"Text58", "0,025"},
                                       {"Text59", "0.15"},
                                       {"Text60", "0,05"},
                                       {"Text61", "0.3"},
                                       {"Text62", "5"},
                                       {"Text40", "0,3"},
                                       {"Text46", "0.9"},
                                       {"Text47", "0,16"},
                                       {"Text49", "0.6"},
                                       {"Text50", "0,15"},
                                       {"Text48", "0.1"}})
        t.setText(field, u8(value));
    t.select("Combo18", u8("100"));
    t.click("Command20"); // the X' table
    ASSERT_EQ(userClickCell(t.app().form(u8("Form5")).get<Grid>(u8("MSHFlexGrid1")), 1, 8),
              QString());
    EXPECT_EQ(t.text("Text41"), u8("0,080"));
    t.click("Command9");
    EXPECT_EQ(t.text("Text42"), u8("5,3509"));
}

} // namespace
} // namespace korvane::testing
