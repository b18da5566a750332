// Picking from the reference dialogs: a click copies the clicked cell's text, unchanged and
// empty cells included, into the table's fields of the main window and leaves the dialog open;
// entering a cell paints it red (0x0000FF), leaving it paints it white; "确定" closes the dialog
// and writes nothing.

#include "support/test_app.h"

#include <string>
#include <vector>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

Grid& gridOf(TestApp& t, const char* dialog) {
    return t.app().form(u8(dialog)).get<Grid>(u8("MSHFlexGrid1"));
}

void clickCell(TestApp& t, const char* dialog, int row, int col) {
    ASSERT_EQ(userClickCell(gridOf(t, dialog), row, col), QString());
}

// "row,col" of every cell that is not white.
std::vector<std::string> colouredCells(const Grid& grid) {
    std::vector<std::string> cells;
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.cols(); ++c) {
            if (grid.cellBackColor(r, c) != colors::kWhite) {
                EXPECT_EQ(grid.cellBackColor(r, c), colors::kRed);
                cells.push_back(std::to_string(r) + "," + std::to_string(c));
            }
        }
    }
    return cells;
}

TEST(Picker, ClickCopiesTheCellTextIntoTheTableFields) {
    struct Pick {
        const char* button;
        const char* dialog;
        int row;
        int col;
        const char* text;
        std::vector<const char*> filled;
        std::vector<const char*> untouched;
    };
    const Pick picks[] = {
        // Copper 2.5 mm² of the R' table; aluminium 1.5 mm² is an empty cell.
        {"Command19", "Form4", 2, 13, "6.880", {"Text40"}, {"Text49"}},
        {"Command19", "Form4", 1, 14, "", {"Text40"}, {"Text49"}},
        {"Command17", "Form6", 2, 13, "6.880", {"Text49"}, {"Text40"}},
        // 150 mm² of the first X' row: four decimals in Form5, three in Form7.
        {"Command20", "Form5", 1, 3, "0.0760", {"Text41"}, {"Text50"}},
        {"Command18", "Form7", 1, 3, "0.076", {"Text50"}, {"Text41"}},
        // Form2 fills both Rphp fields, whichever button opened it: copper 95 mm², four cores.
        {"Command15", "Form2", 2, 5, "0.555", {"Text46", "Text39"}, {"Text47"}},
        {"Command27", "Form2", 2, 5, "0.555", {"Text46", "Text39"}, {"Text47"}},
        {"Command15", "Form2", 4, 14, "", {"Text46", "Text39"}, {}},
        {"Command27", "Form2", 5, 14, "", {"Text46", "Text39"}, {}},
        {"Command15", "Form2", 6, 14, "", {"Text46", "Text39"}, {}},
        {"Command16", "Form3", 1, 4, "0.1520", {"Text47"}, {"Text46", "Text39"}},
        // K and leakage current of the verification page.
        {"Command26", "Form10", 1, 5, "143", {"Text51"}, {}},
        {"Command26", "Form10", 2, 1, "76", {"Text51"}, {}},
        {"Command31", "Form12", 2, 7, "33", {"Text72"}, {}},
        {"Command31", "Form12", 1, 14, "", {"Text72"}, {}},
    };
    for (const Pick& p : picks) {
        SCOPED_TRACE(::testing::Message()
                     << p.button << " " << p.dialog << " (" << p.row << ", " << p.col << ")");
        TestApp t;
        for (const char* field : p.filled)
            t.setText(field, u8("before"));
        for (const char* field : p.untouched)
            t.setText(field, u8("before"));
        t.click(p.button);
        clickCell(t, p.dialog, p.row, p.col);
        for (const char* field : p.filled)
            EXPECT_EQ(t.text(field), u8(p.text)) << field;
        for (const char* field : p.untouched)
            EXPECT_EQ(t.text(field), u8("before")) << field;
        EXPECT_TRUE(t.app().form(u8(p.dialog)).visible());
    }
}

TEST(Picker, EveryValueCellIsPickableAndTheLastClickCounts) {
    struct Table {
        const char* button;
        const char* dialog;
        int firstValueColumn;
        const char* field;
    };
    const Table tables[] = {
        {"Command15", "Form2", 2, "Text39"}, {"Command16", "Form3", 3, "Text47"},
        {"Command19", "Form4", 1, "Text40"}, {"Command20", "Form5", 2, "Text41"},
        {"Command17", "Form6", 1, "Text49"}, {"Command18", "Form7", 2, "Text50"},
    };
    for (const Table& table : tables) {
        SCOPED_TRACE(table.dialog);
        TestApp t;
        t.click(table.button);
        const Grid& grid = gridOf(t, table.dialog);
        int picked = 0;
        for (int r = 1; r < grid.rows(); ++r) {
            for (int c = table.firstValueColumn; c < grid.cols(); ++c) {
                t.setText(table.field, u8("before"));
                clickCell(t, table.dialog, r, c);
                ASSERT_EQ(t.text(table.field), grid.text(r, c)) << r << ", " << c;
                ++picked;
            }
        }
        EXPECT_GT(picked, 20);
    }
}

TEST(Picker, EnteredCellIsRedAndLeftCellsTurnWhite) {
    struct Move {
        bool click; // otherwise the current cell moves as by the keyboard: no pick
        int row;
        int col;
        const char* text40;
    };
    const Move moves[] = {
        {true, 1, 1, "0.156"},  {true, 2, 5, "0.251"}, {true, 2, 5, "0.251"},
        {false, 2, 6, "0.251"}, {true, 1, 14, ""},     {true, 2, 13, "6.880"},
    };
    TestApp t;
    t.click("Command19");
    Grid& grid = gridOf(t, "Form4");
    EXPECT_EQ(colouredCells(grid), std::vector<std::string>());
    for (const Move& m : moves) {
        SCOPED_TRACE(::testing::Message()
                     << (m.click ? "click " : "move ") << m.row << ", " << m.col);
        if (m.click)
            clickCell(t, "Form4", m.row, m.col);
        else
            grid.setCurrentCell(m.row, m.col);
        EXPECT_EQ(colouredCells(grid),
                  std::vector<std::string>({std::to_string(m.row) + "," + std::to_string(m.col)}));
        EXPECT_EQ(t.text("Text40"), u8(m.text40));
    }
}

TEST(Picker, ReopenedDialogShowsNoRedCellAndClosingWritesNothing) {
    struct Closing {
        const char* what;
        bool okButton;
    };
    const Closing closings[] = {{"确定", true}, {"close box", false}};
    for (const Closing& c : closings) {
        SCOPED_TRACE(c.what);
        TestApp t;
        t.click("Command20");
        for (const auto& [row, col] : {std::pair{1, 3}, std::pair{2, 9}, std::pair{1, 12}})
            clickCell(t, "Form5", row, col);
        ASSERT_EQ(colouredCells(gridOf(t, "Form5")), std::vector<std::string>({"1,12"}));
        Form& form = t.app().form(u8("Form5"));
        if (c.okButton)
            ASSERT_EQ(userClick(form.button(u8("Command1"))), QString());
        else
            form.unload();
        EXPECT_FALSE(form.loaded());
        EXPECT_EQ(t.text("Text41"), u8("0.100")); // the last pick, nothing written on closing
        t.click("Command20");
        EXPECT_EQ(colouredCells(gridOf(t, "Form5")), std::vector<std::string>());
        EXPECT_EQ(t.text("Text41"), u8("0.100"));
    }
}

TEST(Picker, SecondPressBringsTheOpenDialogUnchanged) {
    struct Reopen {
        const char* first;
        const char* second;
        const char* dialog;
    };
    const Reopen cases[] = {
        {"Command19", "Command19", "Form4"},
        // Both buttons show the one Form2.
        {"Command15", "Command27", "Form2"},
    };
    for (const Reopen& c : cases) {
        SCOPED_TRACE(c.dialog);
        TestApp t;
        t.click(c.first);
        clickCell(t, c.dialog, 2, 3);
        t.click(c.second);
        const Grid& grid = gridOf(t, c.dialog);
        EXPECT_EQ(colouredCells(grid), std::vector<std::string>({"2,3"}));
        EXPECT_EQ(grid.row(), 2);
        EXPECT_EQ(grid.col(), 3);
    }
}

} // namespace
} // namespace korvane::testing
