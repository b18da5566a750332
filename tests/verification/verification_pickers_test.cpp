// The "←" pickers of page 2: K from Form10, the leakage current from Form12, Rphp from Form2.

#include "support/test_app.h"

#include <string>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

Grid& openGrid(TestApp& app, const char* button, const char* dialog) {
    app.click(button);
    Form& form = app.app().form(u8(dialog));
    EXPECT_TRUE(form.visible());
    return form.get<Grid>(u8("MSHFlexGrid1"));
}

TEST(VerificationPickers, PickedCellGoesToItsField) {
    struct Case {
        const char* button;
        const char* dialog;
        int row;
        int col;
        const char* field;
        const char* expected;
    };
    const Case cases[] = {
        {"Command26", "Form10", 1, 4, "Text51", "143"}, // copper, XLPE
        {"Command26", "Form10", 1, 5, "Text51", "143"},
        {"Command26", "Form10", 1, 6, "Text51", "143"},
        {"Command26", "Form10", 2, 1, "Text51", "76"}, // aluminium, PVC
        {"Command26", "Form10", 2, 3, "Text51", "76"},
        {"Command26", "Form10", 1, 1, "Text51", "115"},
        {"Command31", "Form12", 2, 7, "Text72", "33"}, // cross-linked, 50 mm²
        {"Command31", "Form12", 1, 12, "Text72", "116"},
        {"Command27", "Form2", 2, 7, "Text39", "1.053"}, // copper 4x50 mm²
        {"Command27", "Form2", 2, 7, "Text46", "1.053"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dialog) + " → " + c.field);
        TestApp app;
        Grid& grid = openGrid(app, c.button, c.dialog);
        ASSERT_EQ(userClickCell(grid, c.row, c.col), QString());
        EXPECT_EQ(app.text(c.field), u8(c.expected));
        EXPECT_TRUE(app.app().form(u8(c.dialog)).visible()); // stays open for another pick
    }
}

TEST(VerificationPickers, EmptyLeakageColumnsEmptyTheFieldAndTheRunStops) {
    for (int col : {13, 14}) {
        SCOPED_TRACE(col);
        TestApp app;
        const std::pair<const char*, const char*> values[] = {
            {"Text51", "115"}, {"Text52", "1.00"}, {"Text39", "2.5"}, {"Text35", "5"},
            {"Text36", "2"},   {"Text37", "20"},   {"Text38", "0.5"}, {"Text57", "400"}};
        for (const auto& [name, value] : values)
            app.setText(name, u8(value));
        Grid& grid = openGrid(app, "Command31", "Form12");
        ASSERT_EQ(userClickCell(grid, 2, 7), QString());
        ASSERT_EQ(app.text("Text72"), u8("33"));
        ASSERT_EQ(userClickCell(grid, 1, col), QString());
        EXPECT_EQ(app.text("Text72"), QString());

        app.click("Command28");
        ASSERT_EQ(app.platform().messages.size(), 1u);
        const RecordedMessage& m = app.platform().messages.front();
        EXPECT_EQ(m.icon, MessageIcon::Critical);
        EXPECT_EQ(m.title, u8("输入校验参数 "));
        EXPECT_EQ(m.text, u8("校验参数未输全，请检查："));
        EXPECT_EQ(app.text("Text71"), QString());
    }
}

TEST(VerificationPickers, EnteredCellIsRedUntilLeftAndReopeningStartsClean) {
    struct Case {
        const char* button;
        const char* dialog;
        int first[2];
        int second[2];
    };
    const Case cases[] = {{"Command26", "Form10", {1, 4}, {2, 1}},
                          {"Command31", "Form12", {2, 7}, {1, 3}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog);
        TestApp app;
        Grid* grid = &openGrid(app, c.button, c.dialog);
        ASSERT_EQ(userClickCell(*grid, c.first[0], c.first[1]), QString());
        EXPECT_EQ(grid->cellBackColor(c.first[0], c.first[1]), colors::kRed);
        ASSERT_EQ(userClickCell(*grid, c.second[0], c.second[1]), QString());
        EXPECT_EQ(grid->cellBackColor(c.first[0], c.first[1]), colors::kWhite);
        EXPECT_EQ(grid->cellBackColor(c.second[0], c.second[1]), colors::kRed);

        Form& dialog = app.app().form(u8(c.dialog));
        ASSERT_EQ(userClick(dialog.control(u8("Command1"))), QString()); // 确定
        EXPECT_FALSE(dialog.loaded());
        grid = &openGrid(app, c.button, c.dialog);
        for (int r = 0; r < grid->rows(); ++r) {
            for (int col = 0; col < grid->cols(); ++col)
                EXPECT_NE(grid->cellBackColor(r, col), colors::kRed) << r << ',' << col;
        }
    }
}

} // namespace
} // namespace korvane::testing
