// Fields read and written through a page's binding table: numbers through the regional
// formatter, results in their written format, the clear list from the table.

#include "form/binding.h"
#include "form/form.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace korvane {
namespace {

const BindingTable& table() {
    static const BindingTable rows{
        {"line.lengthKm", "Text1", Saved::Text, Written::None, 0, true},
        {"line.kind", "Combo1", Saved::List},
        {"loads.1.included", "Check1", Saved::LoadSwitch},
        {"result.lossPercent", "Text2", Saved::No, Written::Fixed, 4, true},
        {"result.maxLengthM", "Text3", Saved::No, Written::FourDecimalsTrimmed, 0, true},
        {"result.impedance", "Text4", Saved::No, Written::General},
    };
    return rows;
}

class BoundForm : public ::testing::Test {
protected:
    void SetUp() override { form.load(); }
    void TearDown() override { setRegionalFormat(RegionalFormat{}); }

    Form form{QStringLiteral("Page"), [](Form& f) {
                  f.add<TextBox>(QStringLiteral("Text1"), nullptr, 0, {});
                  f.add<ComboBox>(QStringLiteral("Combo1"), nullptr, 0, {});
                  f.add<CheckBox>(QStringLiteral("Check1"), nullptr, 0, {});
                  f.add<TextBox>(QStringLiteral("Text2"), nullptr, 0, {});
                  f.add<TextBox>(QStringLiteral("Text3"), nullptr, 0, {});
                  f.add<TextBox>(QStringLiteral("Text4"), nullptr, 0, {});
              }};
};

TEST_F(BoundForm, ReadsTextsListsAndSwitchesByQuantity) {
    form.text(QStringLiteral("Text1")).setText(QStringLiteral("0.5km"));
    form.combo(QStringLiteral("Combo1")).setText(QStringLiteral("三相"));
    form.check(QStringLiteral("Check1")).setValue(1);

    EXPECT_EQ(boundText(form, table(), "line.kind"), QStringLiteral("三相"));
    EXPECT_DOUBLE_EQ(boundLenient(form, table(), "line.lengthKm"), 0.5);
    EXPECT_EQ(boundStrict(form, table(), "line.lengthKm"), std::nullopt);
    EXPECT_TRUE(boundChecked(form, table(), "loads.1.included"));

    // A comma-decimal region reads its own decimal sign strictly.
    setRegionalFormat(RegionalFormat{u',', u'.', 3});
    form.text(QStringLiteral("Text1")).setText(QStringLiteral("0,25"));
    EXPECT_EQ(boundStrict(form, table(), "line.lengthKm"), 0.25);
}

TEST_F(BoundForm, WritesEachResultInItsOwnFormat) {
    writeBound(form, table(), "result.lossPercent", 8.45725);
    writeBound(form, table(), "result.maxLengthM", 250.0);
    writeBound(form, table(), "result.impedance", 0.1 + 0.2);
    EXPECT_EQ(form.text(QStringLiteral("Text2")).text(), QStringLiteral("8.4573"));
    EXPECT_EQ(form.text(QStringLiteral("Text3")).text(), QStringLiteral("250"));
    EXPECT_EQ(form.text(QStringLiteral("Text4")).text(), QStringLiteral("0.3"));

    setRegionalFormat(RegionalFormat{u',', u'.', 3});
    writeBound(form, table(), "result.lossPercent", 1.5);
    EXPECT_EQ(form.text(QStringLiteral("Text2")).text(), QStringLiteral("1,5000"));
    // An input is never written as a result.
    EXPECT_THROW(writeBound(form, table(), "line.lengthKm", 1.0), std::logic_error);
}

TEST_F(BoundForm, ClearsOnlyTheMarkedFieldsAndRejectsUnknownQuantities) {
    form.text(QStringLiteral("Text1")).setText(QStringLiteral("1"));
    form.text(QStringLiteral("Text2")).setText(QStringLiteral("2"));
    form.text(QStringLiteral("Text4")).setText(QStringLiteral("4"));
    clearBound(form, table());
    EXPECT_EQ(form.text(QStringLiteral("Text1")).text(), QString());
    EXPECT_EQ(form.text(QStringLiteral("Text2")).text(), QString());
    EXPECT_EQ(form.text(QStringLiteral("Text4")).text(), QStringLiteral("4"));

    EXPECT_EQ(
        table().clearedControls(),
        (QStringList{QStringLiteral("Text1"), QStringLiteral("Text2"), QStringLiteral("Text3")}));
    EXPECT_EQ(
        table().writtenControls(),
        (QStringList{QStringLiteral("Text2"), QStringLiteral("Text3"), QStringLiteral("Text4")}));
    EXPECT_THROW(table().control("line.lenghtKm"), std::logic_error);
    EXPECT_THROW(boundChecked(form, table(), "line.kind"), std::logic_error);
}

} // namespace
} // namespace korvane
