// The picker dialogs over the handbook tables, as each "←" button opens them: captions, the texts
// around the grid, the grid's set-up and the cells that free merging draws as one. The expected
// merges follow from the tables' texts: equal neighbours merge along the rows and columns that
// allow it (0, 1, 2; Form2 also 5, 6), texts differing by a trailing zero stay apart.

#include "base/number_format.h"
#include "handbook/handbook_tables.h"
#include "reference_tables/reference_tables.h"
#include "support/test_app.h"

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

const char* const kSourceNote = "本表根据《工业与民用配电设计手册》（第三版）编制";
const char* const kImpedanceHeading = "低压线路单位长度阻抗值";
const char* const kPickSection = "     选择计算截面阻抗值";
const char* const kImpedanceUnit = "单位 mΩ/m";

QString spaces(int n) {
    return QString(n, u' ');
}

// "row,col rows×cols" of every merged area, row by row.
std::vector<std::string> merged(const Grid& grid) {
    std::vector<std::string> ranges;
    for (const CellRange& r : grid.mergedRanges())
        ranges.push_back(std::to_string(r.row) + "," + std::to_string(r.col) + " " +
                         std::to_string(r.rowSpan) + "x" + std::to_string(r.colSpan));
    return ranges;
}

Grid& openGrid(TestApp& t, const char* button, const char* dialog) {
    t.click(button);
    return t.app().form(u8(dialog)).get<Grid>(u8("MSHFlexGrid1"));
}

struct Dialog {
    const char* form;
    const char* button;
    const char* caption;
    QString titleLine;
    const char* heading;
    const char* instruction; // null: the dialog has no Label3
    const char* unit;        // null: no Label4
    int rows;
    int cols;
    int rowHeightTwips;
    CellAlignment alignment;
    std::vector<int> mergeLines; // rows and columns allowed to merge
    std::vector<std::string> merged;
};

std::vector<Dialog> dialogs() {
    const QString resistanceTitle = spaces(46) + u8("R'(导线20℃时单位长度电阻值)") + spaces(32);
    const QString reactanceTitle = spaces(56) + u8("X'");
    const std::vector<int> first3 = {0, 1, 2};
    const auto center = CellAlignment::CenterCenter;
    // Headings of two columns over (0,0)-(0,1) and (1..2, 0..1); values all differ.
    const std::vector<std::string> reactanceMerges = {"0,0 1x2", "1,0 1x2", "2,0 1x2"};
    return {
        // Four-core block: " Sp=S (mm2) 4x", 铝, 铜 over columns 0-1; 3+1 block: "Sp=S(mm2)" down
        // rows 3-4 (row 4 itself may not merge: 70,70 and 16,16 stay apart), 铝, 铜 again.
        {"Form2",
         "Command15",
         "Rphp",
         u8("R'php=1.5(R'php + R'p)\r\n"),
         kImpedanceHeading,
         kPickSection,
         kImpedanceUnit,
         7,
         15,
         250,
         center,
         {0, 1, 2, 5, 6},
         {"0,0 1x2", "1,0 1x2", "2,0 1x2", "3,0 2x1", "5,0 1x2", "6,0 1x2"}},
        // " S (mm2)" over columns 0-2, 全塑电缆 down rows 1-2, the two Sp labels over columns 1-2;
        // 0.1520, 0.1610, 0.2000 beside 0.152, 0.161, 0.200 keep their own cells.
        {"Form3",
         "Command16",
         "Xphp",
         u8("X'php"),
         kImpedanceHeading,
         kPickSection,
         kImpedanceUnit,
         3,
         15,
         280,
         center,
         first3,
         {"0,0 1x3", "1,0 2x1", "1,1 1x2", "2,1 1x2"}},
        // Headings of one column each and no equal neighbours: nothing merges.
        {"Form4",
         "Command19",
         "R'",
         resistanceTitle,
         kImpedanceHeading,
         kPickSection,
         kImpedanceUnit,
         3,
         15,
         280,
         center,
         first3,
         {}},
        {"Form5", "Command20", "X'", reactanceTitle, kImpedanceHeading, kPickSection,
         kImpedanceUnit, 3, 14, 280, center, first3, reactanceMerges},
        {"Form6",
         "Command17",
         "R'",
         resistanceTitle,
         kImpedanceHeading,
         kPickSection,
         kImpedanceUnit,
         3,
         15,
         280,
         center,
         first3,
         {}},
        {"Form7", "Command18", "X'", reactanceTitle, kImpedanceHeading, kPickSection,
         kImpedanceUnit, 3, 14, 280, center, first3, reactanceMerges},
        // PVC and XLPE over three columns each, in every row.
        {"Form10",
         "Command26",
         "K",
         spaces(22) + u8("导体绝缘材料"),
         "热稳定系数K值",
         nullptr,
         nullptr,
         3,
         7,
         280,
         CellAlignment::CenterTop,
         first3,
         {"0,1 1x3", "0,4 1x3", "1,1 1x3", "1,4 1x3", "2,1 1x3", "2,4 1x3"}},
        // 52 over 4-6 mm², 70 over 25-35, 33 over 35-95, 38 over 120-185; the empty columns
        // 13-14 of each row are equal neighbours too.
        {"Form12",
         "Command31",
         "截面S",
         spaces(48) + u8("截  面  (mm2)"),
         "220/380V单相及三相线路埋地、沿墙敷设穿管电线每千米泄露电流",
         "选择泄露电流",
         "单位 mA/km",
         3,
         15,
         280,
         center,
         first3,
         {"0,13 1x2", "1,1 1x2", "1,5 1x2", "1,13 1x2", "2,6 1x4", "2,10 1x3", "2,13 1x2"}},
    };
}

TEST(ReferenceTable, CaptionsAndTextsAroundTheGrid) {
    for (const Dialog& d : dialogs()) {
        SCOPED_TRACE(d.form);
        TestApp t;
        openGrid(t, d.button, d.form);
        const Form& form = t.app().form(u8(d.form));
        EXPECT_TRUE(form.visible() && form.isDialog());
        EXPECT_EQ(form.caption(), u8(d.caption));
        EXPECT_EQ(form.text(u8("Text1")).text(), d.titleLine);
        EXPECT_EQ(form.control(u8("Label1")).caption(), u8(d.heading));
        EXPECT_EQ(form.control(u8("Label2")).caption(), u8(kSourceNote));
        EXPECT_EQ(form.has(u8("Label3")), d.instruction != nullptr);
        if (d.instruction != nullptr) {
            EXPECT_EQ(form.control(u8("Label3")).caption(), u8(d.instruction));
        }
        EXPECT_EQ(form.has(u8("Label4")), d.unit != nullptr);
        if (d.unit != nullptr) {
            EXPECT_EQ(form.control(u8("Label4")).caption(), u8(d.unit));
        }
        EXPECT_EQ(form.control(u8("Command1")).caption(), u8("确定"));
        EXPECT_EQ(t.form().control(u8(d.button)).caption(), u8("←"));
    }
}

TEST(ReferenceTable, GridSetUp) {
    for (const Dialog& d : dialogs()) {
        SCOPED_TRACE(d.form);
        TestApp t;
        const Grid& grid = openGrid(t, d.button, d.form);
        ASSERT_EQ(grid.rows(), d.rows);
        ASSERT_EQ(grid.cols(), d.cols);
        for (int r = 0; r < d.rows; ++r)
            EXPECT_EQ(grid.rowHeight(r), d.rowHeightTwips) << "row " << r;
        EXPECT_EQ(grid.colWidth(0), kDefaultColWidthTwips); // column 0 keeps its default
        for (int c = 1; c < d.cols; ++c)
            EXPECT_EQ(grid.colWidth(c), 698) << "column " << c;
        for (int c = 0; c < d.cols; ++c)
            EXPECT_EQ(grid.colAlignment(c), d.alignment) << "column " << c;
        EXPECT_TRUE(grid.mergeCells());
        for (int line = 0; line < std::max(d.rows, d.cols); ++line) {
            const bool allowed =
                std::find(d.mergeLines.begin(), d.mergeLines.end(), line) != d.mergeLines.end();
            if (line < d.rows) {
                EXPECT_EQ(grid.mergeRow(line), allowed) << "row " << line;
            }
            EXPECT_EQ(grid.mergeCol(line), allowed && line < d.cols) << "column " << line;
        }
    }
}

TEST(ReferenceTable, EqualNeighboursMergeAlongTheLinesThatAllowIt) {
    for (const Dialog& d : dialogs()) {
        SCOPED_TRACE(d.form);
        TestApp t;
        EXPECT_EQ(merged(openGrid(t, d.button, d.form)), d.merged);
    }
}

TEST(ReferenceTable, CellTexts) {
    struct Cell {
        const char* form;
        const char* button;
        int row;
        int col;
        const char* text;
    };
    const Cell cells[] = {
        // Form4 and Form6: R' at 20 °C; the aluminium 1.5 mm² cell is empty.
        {"Form4", "Command19", 0, 0, " S (mm2)"},
        {"Form4", "Command19", 1, 0, " 铝"},
        {"Form4", "Command19", 2, 0, " 铜"},
        {"Form4", "Command19", 1, 14, ""},
        {"Form6", "Command17", 2, 14, "11.467"},
        // Form5 and Form7: the same figures, the trailing zero in other places.
        {"Form5", "Command20", 1, 0, "全塑电缆(四  芯)"},
        {"Form5", "Command20", 2, 1, "交联电缆(四等芯)"},
        {"Form5", "Command20", 2, 2, ""},
        {"Form5", "Command20", 2, 8, "0.080"},
        {"Form5", "Command20", 2, 9, "0.0800"},
        {"Form7", "Command18", 1, 2, "0.0760"},
        {"Form7", "Command18", 1, 3, "0.076"},
        {"Form7", "Command18", 2, 8, "0.0800"},
        {"Form7", "Command18", 2, 9, "0.080"},
        // Form2: four-core and 3+1-core Rphp; row 4 gives the fourth core.
        {"Form2", "Command15", 0, 1, " Sp=S (mm2) 4x"},
        {"Form2", "Command15", 3, 1, "3x"},
        {"Form2", "Command15", 4, 1, "+1x"},
        {"Form2", "Command15", 4, 3, "70"},
        {"Form2", "Command15", 4, 4, "70"},
        {"Form2", "Command15", 6, 13, "16.770"},
        // Form3: Xphp with the PE conductor of full and of half cross-section.
        {"Form3", "Command16", 1, 0, "全塑电缆"},
        {"Form3", "Command16", 1, 2, "Sp=S (mm2)"},
        {"Form3", "Command16", 2, 2, "Sp=S/2 (mm2)"},
        {"Form3", "Command16", 1, 13, "0.2000"},
        {"Form3", "Command16", 2, 4, "0.1610"},
        {"Form3", "Command16", 2, 14, "0.234"},
        // Form10's corner is never written; Form12's columns 13 and 14 stay empty.
        {"Form10", "Command26", 0, 0, ""},
        {"Form12", "Command31", 0, 0, "绝缘材料"},
        {"Form12", "Command31", 0, 13, ""},
    };
    TestApp t; // a dialog already open is only brought to the front
    for (const Cell& c : cells) {
        SCOPED_TRACE(::testing::Message() << c.form << " (" << c.row << ", " << c.col << ")");
        EXPECT_EQ(openGrid(t, c.button, c.form).text(c.row, c.col), u8(c.text));
    }
}

// The rows whose figures the dialogs write with their own number of decimals, whole, as the
// dialogs have always shown them: a trailing zero more here and there ("0.0760"), one decimal
// fewer for aluminium 2.5 mm² ("11.28"), and the blank cells of the handbook.
TEST(ReferenceTable, RowsWrittenWithTheirOwnDecimals) {
    const struct {
        const char* form;
        int row;
        const char* texts; // the cells after the labels, joined by '|'
    } rows[] = {
        {"Form4", 1,
         "0.156|0.192|0.240|0.303|0.411|0.575|0.822|1.151|1.798|2.876|4.700|7.050|11.28|"},
        {"Form5", 1, "0.076|0.0760|0.076|0.079|0.078|0.079|0.080|0.082|0.087|0.094|0.100|0.1000"},
        {"Form5", 2, "|0.077|0.076|0.077|0.078|0.079|0.080|0.0800|0.082|0.085|0.092|0.097"},
        {"Form7", 1, "0.0760|0.076|0.0760|0.079|0.078|0.079|0.080|0.082|0.087|0.094|0.100|0.1000"},
        {"Form7", 2, "|0.077|0.076|0.077|0.078|0.079|0.0800|0.080|0.082|0.085|0.092|0.097"},
        {"Form3", 1, "0.152|0.1520|0.152|0.158|0.156|0.158|0.160|0.164|0.174|0.188|0.2000|0.200"},
        {"Form3", 2, "0.179|0.1610|0.161|0.186|0.178|0.187|0.191|0.192|0.201|0.224|0.211|0.234"},
        {"Form2", 1,
         "0.468|0.576|0.720|0.909|1.233|1.725|2.466|3.453|5.394|8.628|14.000|21.150|33.840"},
        {"Form12", 2, "17|20|25|26|29|33|33|33|33|38|38|38||"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.form << " row " << r.row);
        const auto table =
            std::find_if(referenceTables().begin(), referenceTables().end(),
                         [&r](const ReferenceTable& t) { return t.form == QLatin1String(r.form); });
        ASSERT_NE(table, referenceTables().end());
        const QStringList& cells = table->cells.at(size_t(r.row));
        const QString texts = u8(r.texts);
        const qsizetype figures = texts.count(u'|') + 1;
        EXPECT_EQ(cells.mid(cells.size() - figures).join(u'|'), texts);
    }
}

// The dialogs show the figures the project computes with: every cell of the handbook grids that
// reads as a number is the typed handbook figure of its row and column, every heading the typed
// cross-section, and a blank cell a figure the handbook does not give. A figure changed in a
// grid alone, or in the typed tables alone, fails here.
TEST(ReferenceTable, GridsShowTheTypedHandbookFigures) {
    auto grid = [](const char* form) -> const std::vector<QStringList>& {
        for (const ReferenceTable& t : referenceTables())
            if (t.form == QLatin1String(form))
                return t.cells;
        ADD_FAILURE() << "no table " << form;
        static const std::vector<QStringList> none;
        return none;
    };
    std::set<std::tuple<std::string, int, int>> read; // the cells compared
    auto compare = [&](const char* form, int row, int col, std::optional<double> expected) {
        SCOPED_TRACE(::testing::Message() << form << " (" << row << ", " << col << ")");
        const auto& cells = grid(form);
        ASSERT_LT(size_t(row), cells.size());
        EXPECT_EQ(readPlainDecimal(cells[size_t(row)].value(col)), expected);
        read.insert({form, row, col});
    };

    struct FigureRow {
        const char* form;
        int row;
        int firstColumn; // after the label columns
        const SectionRow& figures;
    };
    const FigureRow rows[] = {
        {"Form2", 1, 2, fourCoreLoopResistance(ConductorMaterial::Aluminium)},
        {"Form2", 2, 2, fourCoreLoopResistance(ConductorMaterial::Copper)},
        {"Form3", 1, 3, allPlasticLoopReactance(ProtectiveSection::Full)},
        {"Form3", 2, 3, allPlasticLoopReactance(ProtectiveSection::Half)},
        {"Form4", 1, 1, conductorResistance(ConductorMaterial::Aluminium)},
        {"Form4", 2, 1, conductorResistance(ConductorMaterial::Copper)},
        {"Form6", 1, 1, conductorResistance(ConductorMaterial::Aluminium)},
        {"Form6", 2, 1, conductorResistance(ConductorMaterial::Copper)},
        {"Form5", 1, 2, cableReactance(Insulation::Pvc)},
        {"Form5", 2, 2, cableReactance(Insulation::Xlpe)},
        {"Form7", 1, 2, cableReactance(Insulation::Pvc)},
        {"Form7", 2, 2, cableReactance(Insulation::Xlpe)},
        {"Form12", 1, 1, leakagePerKm(Insulation::Pvc)},
        {"Form12", 2, 1, leakagePerKm(Insulation::Xlpe)},
    };
    for (const FigureRow& r : rows) {
        int col = r.firstColumn;
        for (const SectionFigure& f : r.figures.figures) {
            compare(r.form, 0, col, f.sectionMm2);
            compare(r.form, r.row, col++, f.value);
        }
    }
    // Form2 rows 3 to 6: the 3+1-core cables, phase section, protective core, Al, Cu.
    int col = 2;
    for (const ThreePlusOneLoop& loop : threePlusOneLoopResistance()) {
        compare("Form2", 3, col, loop.phaseMm2);
        compare("Form2", 4, col, loop.protectiveMm2);
        compare("Form2", 5, col, loop.aluminium);
        compare("Form2", 6, col++, loop.copper);
    }
    // Form10: K, copper and aluminium, PVC over columns 1 to 3, XLPE over 4 to 6.
    for (const auto& [row, material] :
         {std::pair{1, ConductorMaterial::Copper}, std::pair{2, ConductorMaterial::Aluminium}})
        for (int c = 1; c <= 6; ++c)
            compare("Form10", row, c,
                    thermalCoefficient(material, c <= 3 ? Insulation::Pvc : Insulation::Xlpe));

    // No figure of a grid is left out of the comparison.
    for (const ReferenceTable& t : referenceTables())
        for (size_t r = 0; r < t.cells.size(); ++r)
            for (qsizetype c = 0; c < t.cells[r].size(); ++c) {
                if (readPlainDecimal(t.cells[r].at(c))) {
                    EXPECT_TRUE(read.count({t.form.toStdString(), int(r), int(c)}))
                        << t.form.toStdString() << " (" << r << ", " << c << ") "
                        << t.cells[r].at(c).toStdString();
                }
            }
}

} // namespace
} // namespace korvane::testing
