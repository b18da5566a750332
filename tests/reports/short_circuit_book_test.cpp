// The short-circuit book: the six-decimal chain of its values, every paragraph of both parts, the
// paragraphs that drop out when a value cannot be computed, the page's loop impedances and
// currents at the end of each part, and the formatting of the body.

#include "reports/report_document.h"
#include "reports/short_circuit_book.h"
#include "short_circuit/short_circuit_action.h"
#include "support/test_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

std::vector<std::string> strings(const QStringList& list) {
    std::vector<std::string> out;
    for (const QString& s : list)
        out.push_back(s.toStdString());
    return out;
}

// S″s 100 MVA; a 630 kVA transformer with uk 4 % and ΔP 6.2 kW; 10 m of busbar at 0.03 and
// 0.15 mΩ/m; 0.1 km of line at 0.3 and 0.08 mΩ/m (loop values for the page's computation).
ShortCircuitBookPage examplePage() {
    ShortCircuitBookPage page;
    page.systemCapacityMva = u8("100");
    page.ukPercent = u8("4");
    page.ratedKva = u8("630");
    page.loadLossKw = u8("6.2");
    page.busbarResistance = u8("0.03");
    page.busbarReactance = u8("0.15");
    page.busbarLengthM = u8("10");
    page.lineResistance = u8("0.3");
    page.lineReactance = u8("0.08");
    page.lineLengthKm = u8("0.1");
    page.busbarLoopResistance = u8("0.05");
    page.busbarLoopReactance = u8("0.3");
    page.lineLoopResistance = u8("0.9");
    page.lineLoopReactance = u8("0.16");
    page.lineNeutralResistance = u8("0.6");
    page.lineNeutralReactance = u8("0.15");
    return page;
}

// Paragraphs 1 to 67 for examplePage(). Zs = 399²/100/1000 = 1.59201; Xs = 0.995 × 1.592010;
// Rs = 0.1 × 1.584050; Zt = 4 × 159201 / 63000; Rt = 6.2 × 159201 / 630²;
// Xt = √(10.108² − 2.486889²) from the rounded texts; the line is 100 m long.
const std::vector<std::string> kExampleParagraphs = {
    "一、计算三相短路电流：",                                                // 1
    "1、系统阻抗: ",                                                         // 2
    "【相关系数：】: ",                                                      // 3
    " \u3000c =   1.05               ……电压系数，计算三相短路电流时取1.05:", // 4
    " \u3000Un =  380 (V)            ……变压器低压侧标称电压 :",              // 5
    "【输入参数：】:",                                                       // 6
    "   Ss =100 (MVA)            ……变压器高压侧系统短路容量",                // 7
    "【计算公式：】",                                                        // 8
    "   Zs = (c × Un)^ 2 / Ss/1000",                                         // 9
    "   Xs = 0.995 × Zs",                                                    // 10
    "   Zs = 1.592010",                                                      // 11
    "   Xs = 1.584050",                                                      // 12
    "   Rs = 0.158405",                                                      // 13
    "2、变压器阻抗: ",                                                       // 14
    "【相关系数：】: ",                                                      // 15
    " \u3000c =   1.05               ……电压系数，计算三相短路电流时取1.05:", // 16
    " \u3000Un =  380 (V)            ……变压器低压侧标称电压:",               // 17
    "【输入参数：】:",                                                       // 18
    " \u3000Uk =4 (%)                ……变压器电抗电压百分数:",               // 19
    " \u3000St =630 (kVA)            ……变压器的额定容量 :",                  // 20
    " \u3000ΔP =6.2 (kW)           ……变压器短路损耗 :",                      // 21
    "【计算公式：】",                                                        // 22
    "   Zt = Uk × (c × Un) ^ 2) / 100 × St",                                 // 23
    "   Rt = ΔP × (c × Un) ^ 2) / St ^ 2",                                   // 24
    "   Xt = √(Zt ^ 2 - Rt ^ 2)",                                            // 25
    "   Zt = 10.108000",                                                     // 26
    "   Rt = 2.486889",                                                      // 27
    "   Xt = 9.797298",                                                      // 28
    "3、求母线阻抗: ",                                                       // 29
    "【输入参数：】:",                                                       // 30
    " \u3000Rmm =0.03 (mΩ/m)         ……选定选定母线单位长度的相电阻:",       // 31
    " \u3000Xmm =0.15 (mΩ/m)         ……选定母线单位长度的相电抗:",           // 32
    " \u3000Lm =10 (m)                  ……母线长度:",                        // 33
    "【计算公式：】",                                                        // 34
    "   Rm = Rmm × Lm",                                                      // 35
    "   Xm = Xmm × Lm",                                                      // 36
    "   Rm = 0.300000",                                                      // 37
    "   Xm = 1.500000",                                                      // 38
    "4、求线路阻抗: ",                                                       // 39
    "【输入参数：】:",                                                       // 40
    " \u3000Ro =0.3 (mΩ/m)           ……选定配电线路单位长度的相电阻:",       // 41
    " \u3000Xo =0.08 (mΩ/m)           ……选定配电线路单位长度的相电抗:",      // 42
    " \u3000Lx =100 (m)                 ……配电线路长度:",                    // 43
    "【计算公式：】",                                                        // 44
    "   Rx = Ro × Lx",                                                       // 45
    "   Xx = Xo × Lx",                                                       // 46
    "   Rx = 30.000000",                                                     // 47
    "   Xx = 8.000000",                                                      // 48
    "二、计算单相短路电流：",                                                // 49
    "1、系统相保阻抗: ",                                                     // 50
    "【输入参数：】:",                                                       // 51
    "   Rs =0.158405 (mΩ)            ……系统电阻",                            // 52
    "   Xs =1.584050 (mΩ)            ……系统电抗",                            // 53
    "【计算公式：】",                                                        // 54
    "   Rphps = 2 × Rs / 3",                                                 // 55
    "   Xphps = 2 × Xs / 3",                                                 // 56
    "   Rphps = 0.105603",                                                   // 57
    "   Xphps = 1.056033",                                                   // 58
    "2、变压器相保阻抗: ",                                                   // 59
    "【输入参数：】:",                                                       // 60
    "   Rt =2.486889 (mΩ)",                                                  // 61
    "   Xt =9.797298 (mΩ)",                                                  // 62
    "【计算公式：】",                                                        // 63
    "   Rphpt =  Rt",                                                        // 64
    "   Xphpt =  Xt",                                                        // 65
    "   Rphpt = 2.486889",                                                   // 66
    "   Xphpt = 9.797298",                                                   // 67
};

// The book's paragraphs numbered as in the table (1-based), for a book without the page's loops.
std::vector<std::string> withoutParagraphs(std::vector<int> numbers,
                                           std::vector<std::pair<int, std::string>> replaced = {}) {
    std::vector<std::string> out;
    for (int n = 1; n <= 67; ++n) {
        if (std::find(numbers.begin(), numbers.end(), n) != numbers.end())
            continue;
        std::string text = kExampleParagraphs[static_cast<size_t>(n - 1)];
        for (const auto& [number, replacement] : replaced) {
            if (number == n)
                text = replacement;
        }
        out.push_back(text);
    }
    return out;
}

QStringList bodyWithoutLoops(const ShortCircuitBookPage& page,
                             const RegionalFormat& format = RegionalFormat{}) {
    return shortCircuitBodyParagraphs(page, computeShortCircuitBookValues(page, format),
                                      std::nullopt);
}

TEST(ShortCircuitBook, ChainOfSixDecimalTexts) {
    const ShortCircuitBookValues v = computeShortCircuitBookValues(examplePage(), RegionalFormat{});
    struct Expected {
        const char* symbol;
        const BookValue& value;
        const char* text;
    };
    const Expected expected[] = {
        {"Zs", v.zs, "1.592010"},       {"Xs", v.xs, "1.584050"},       {"Rs", v.rs, "0.158405"},
        {"Rphps", v.rphps, "0.105603"}, {"Xphps", v.xphps, "1.056033"}, {"Zt", v.zt, "10.108000"},
        {"Rt", v.rt, "2.486889"},       {"Xt", v.xt, "9.797298"},       {"Rm", v.rm, "0.300000"},
        {"Xm", v.xm, "1.500000"},       {"Lx", v.lineLengthM, "100"},   {"Rx", v.rx, "30.000000"},
        {"Xx", v.xx, "8.000000"},
    };
    for (const Expected& e : expected) {
        EXPECT_TRUE(e.value.computed) << e.symbol;
        EXPECT_EQ(e.value.text.toStdString(), e.text) << e.symbol;
    }
}

TEST(ShortCircuitBook, RoundedTextsCarryThroughTheChain) {
    struct Case {
        const char* what;
        const char* capacity;
        const char* xs;    // from the rounded Zs
        const char* rs;    // from the rounded Xs
        const char* rphps; // from the rounded Rs
    };
    const Case cases[] = {
        // Zs = 0.0530670 → 0.053067; 0.995 × 0.053067 = 0.052801665 → 0.052802 (from the exact
        // Zs it would be 0.0528017).
        {"3000 MVA", "3000", "0.052802", "0.005280", "0.003520"},
        // Zs = 0.3980025 → 0.398003 → Xs 0.396013 → Rs 0.039601 → Rphps 2 × 0.039601 / 3.
        {"400 MVA", "400", "0.396013", "0.039601", "0.026401"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShortCircuitBookPage page = examplePage();
        page.systemCapacityMva = u8(c.capacity);
        const ShortCircuitBookValues v = computeShortCircuitBookValues(page, RegionalFormat{});
        EXPECT_EQ(v.xs.text.toStdString(), c.xs);
        EXPECT_EQ(v.rs.text.toStdString(), c.rs);
        EXPECT_EQ(v.rphps.text.toStdString(), c.rphps);
    }
}

TEST(ShortCircuitBook, EveryParagraphOfBothParts) {
    EXPECT_EQ(strings(bodyWithoutLoops(examplePage())), kExampleParagraphs);
}

TEST(ShortCircuitBook, ParagraphsWhoseValueCannotBeComputedAreLeftOut) {
    struct Case {
        const char* what;
        QString ShortCircuitBookPage::*field;
        const char* text;
        std::vector<int> missing;
        std::vector<std::pair<int, std::string>> changed;
    };
    const std::string zero = "0.000000";
    const Case cases[] = {
        // Zs cannot be computed; Xs and the values after it take an empty Zs as zero.
        {"empty Ss",
         &ShortCircuitBookPage::systemCapacityMva,
         "",
         {11},
         {{7, "   Ss = (MVA)            ……变压器高压侧系统短路容量"},
          {12, "   Xs = " + zero},
          {13, "   Rs = " + zero},
          {52, "   Rs =" + zero + " (mΩ)            ……系统电阻"},
          {53, "   Xs =" + zero + " (mΩ)            ……系统电抗"},
          {57, "   Rphps = " + zero},
          {58, "   Xphps = " + zero}}},
        {"Ss of zero",
         &ShortCircuitBookPage::systemCapacityMva,
         "0",
         {11},
         {{7, "   Ss =0 (MVA)            ……变压器高压侧系统短路容量"},
          {12, "   Xs = " + zero},
          {13, "   Rs = " + zero},
          {52, "   Rs =" + zero + " (mΩ)            ……系统电阻"},
          {53, "   Xs =" + zero + " (mΩ)            ……系统电抗"},
          {57, "   Rphps = " + zero},
          {58, "   Xphps = " + zero}}},
        // ΔP so large that Rt = 13.639... exceeds Zt = 10.108: Xt has no value.
        {"Rt above Zt",
         &ShortCircuitBookPage::loadLossKw,
         "34",
         {28, 62},
         {{21, " \u3000ΔP =34 (kW)           ……变压器短路损耗 :"},
          {27, "   Rt = 13.637778"},
          {61, "   Rt =13.637778 (mΩ)"},
          {66, "   Rphpt = 13.637778"},
          {67, "   Xphpt = "}}},
        // St of zero divides Zt and Rt by zero; Xt from two empty values is 0.
        {"St of zero",
         &ShortCircuitBookPage::ratedKva,
         "0",
         {26, 27, 61},
         {{20, " \u3000St =0 (kVA)            ……变压器的额定容量 :"},
          {28, "   Xt = " + zero},
          {62, "   Xt =" + zero + " (mΩ)"},
          {66, "   Rphpt = "},
          {67, "   Xphpt = " + zero}}},
        // Zt is missing and counts as zero: Xt = √(0 − Rt²) has no value either.
        {"Uk not a number",
         &ShortCircuitBookPage::ukPercent,
         "4%",
         {26, 28, 62},
         {{19, " \u3000Uk =4% (%)                ……变压器电抗电压百分数:"}, {67, "   Xphpt = "}}},
        {"empty busbar length",
         &ShortCircuitBookPage::busbarLengthM,
         "",
         {37, 38},
         {{33, " \u3000Lm = (m)                  ……母线长度:"}}},
        // The line length cannot be converted: it is printed as typed and Rx, Xx drop out.
        {"line length not a number",
         &ShortCircuitBookPage::lineLengthKm,
         "abc",
         {47, 48},
         {{43, " \u3000Lx =abc (m)                 ……配电线路长度:"}}},
        {"empty Xo",
         &ShortCircuitBookPage::lineReactance,
         "",
         {48},
         {{42, " \u3000Xo = (mΩ/m)           ……选定配电线路单位长度的相电抗:"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShortCircuitBookPage page = examplePage();
        page.*c.field = u8(c.text);
        EXPECT_EQ(strings(bodyWithoutLoops(page)), withoutParagraphs(c.missing, c.changed));
    }
}

TEST(ShortCircuitBook, GroupedAndRegionalNumberTexts) {
    struct Case {
        const char* what;
        RegionalFormat format;
        const char* rmm;
        const char* lm;
        const char* rm;
        const char* capacity;
        const char* zs;
        const char* xs;
    };
    RegionalFormat german;
    german.decimalSign = u',';
    german.groupSign = u'.';
    const Case cases[] = {
        // 150 mΩ/m × 10 m; S″s 0.1 MVA gives Zs = 1592.01 and Xs = 1584.04995.
        {"grouping in threes", RegionalFormat{}, "150", "10", "1,500.000000", "0.1", "1,592.010000",
         "1,584.049950"},
        {"decimal comma, grouped by points", german, "150", "10", "1.500,000000", "0,1",
         "1.592,010000", "1.584,049950"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShortCircuitBookPage page = examplePage();
        page.busbarResistance = u8(c.rmm);
        page.busbarLengthM = u8(c.lm);
        page.systemCapacityMva = u8(c.capacity);
        const ShortCircuitBookValues v = computeShortCircuitBookValues(page, c.format);
        EXPECT_EQ(v.rm.text.toStdString(), c.rm);
        EXPECT_EQ(v.zs.text.toStdString(), c.zs);
        // Xs is computed from the grouped text of Zs, read back in the same format.
        EXPECT_EQ(v.xs.text.toStdString(), c.xs);
    }
}

TEST(ShortCircuitBook, LineLengthIsPrintedAndUsedInMetres) {
    struct Case {
        const char* km;
        const char* metres;
        const char* rx; // Ro = 0.3 mΩ/m
    };
    const Case cases[] = {
        {"0.1", "100", "30.000000"},
        {"0.0071", "7.1", "2.130000"}, // not 7.1000000000000005
        {"1.5", "1500", "450.000000"},
        {"0", "0", "0.000000"},
    };
    for (const Case& c : cases) {
        ShortCircuitBookPage page = examplePage();
        page.lineLengthKm = u8(c.km);
        const QStringList body = bodyWithoutLoops(page);
        EXPECT_EQ(body[42].toStdString(),
                  " \u3000Lx =" + std::string(c.metres) + " (m)                 ……配电线路长度:")
            << c.km;
        EXPECT_EQ(body[46].toStdString(), "   Rx = " + std::string(c.rx)) << c.km;
    }
}

// The worked example of the page's computation, whose currents the page shows as 5.3509, 4.6339,
// 2.1826 and 3.0321 kA.
ShortCircuitBookPage workedPage() {
    ShortCircuitBookPage page = examplePage();
    page.ratedKva = u8("400");
    page.loadLossKw = u8("4.3");
    page.busbarResistance = u8("0.025");
    page.busbarLengthM = u8("5");
    return page;
}

ShortCircuitInput workedInput() {
    ShortCircuitInput in;
    in.systemCapacityMva = 100.0;
    in.transformerUkPercent = 4.0;
    in.transformerRatedKva = 400.0;
    in.transformerLoadLossKw = 4.3;
    in.busbarPerMetre = {0.025, 0.15, 0.05, 0.3};
    in.busbarLengthM = 5.0;
    in.linePerMetre = {0.3, 0.08, 0.9, 0.16};
    in.lineNeutralResistancePerMetre = 0.6;
    in.lineNeutralReactancePerMetre = 0.15;
    in.lineLengthKm = 0.1;
    return in;
}

TEST(ShortCircuitBook, PartsEndWithThePagesLoopsAndCurrents) {
    const ShortCircuitBookPage page = workedPage();
    const QStringList body =
        shortCircuitBodyParagraphs(page, computeShortCircuitBookValues(page, RegionalFormat{}),
                                   computeShortCircuit(workedInput()));
    const qsizetype partTwo = body.indexOf(u8("二、计算单相短路电流："));
    ASSERT_EQ(partTwo, 48 + 12);
    // RΣ = 0.158405 + 4.278527 + 0.125 + 30; XΣ = 1.584050 + 15.334399 + 0.75 + 8.
    EXPECT_EQ(strings(body.mid(48, 12)),
              (std::vector<std::string>{
                  "5、三相短路电流: ", "【计算公式：】", "   RΣ = Rs + Rt + Rm + Rx",
                  "   XΣ = Xs + Xt + Xm + Xx", "   ZΣ = √(RΣ ^ 2 + XΣ ^ 2)",
                  "   I″k3 = c × Un / (√3 × ZΣ)", "   I″k2 = 0.866 × I″k3", "   RΣ = 34.561932",
                  "   XΣ = 25.668449", "   ZΣ = 43.051091", "   I″k3 = 5.3509 (kA)",
                  "   I″k2 = 4.6339 (kA)"}));
    EXPECT_EQ(body[partTwo + 18].toStdString(), "   Xphpt = 15.334399");
    // Rphp = 0.105603 + 4.278527 + 0.25 + 90; Xphp = 1.056033 + 15.334399 + 1.5 + 16. Only the
    // values here: read_docx.py reads the wording of these paragraphs back in full.
    const QStringList partTwoEnd = body.mid(partTwo + 19);
    EXPECT_EQ(partTwoEnd.size(), 41);
    for (const char* line : {"   Rphpm = 0.250000", "   Xphpm = 1.500000", "   Rphpx = 90.000000",
                             "   Xphpx = 16.000000", "   Rphp = 94.634130", "   Xphp = 33.890432",
                             "   Zphp = 100.519550", "   Id = 2.1826 (kA)", "   R1 = 64.561932",
                             "   X1 = 32.668449", "   Z1 = 72.356552", "   I″k1 = 3.0321 (kA)"})
        EXPECT_TRUE(partTwoEnd.contains(u8(line))) << line;
}

TEST(ShortCircuitBook, PageTextsComeFromTheirControls) {
    TestApp t;
    const std::pair<const char*, QString ShortCircuitBookPage::*> fields[] = {
        {"Text55", &ShortCircuitBookPage::ukPercent},
        {"Text57", &ShortCircuitBookPage::ratedKva},
        {"Text56", &ShortCircuitBookPage::loadLossKw},
        {"Text58", &ShortCircuitBookPage::busbarResistance},
        {"Text59", &ShortCircuitBookPage::busbarReactance},
        {"Text62", &ShortCircuitBookPage::busbarLengthM},
        {"Text40", &ShortCircuitBookPage::lineResistance},
        {"Text41", &ShortCircuitBookPage::lineReactance},
        {"Text48", &ShortCircuitBookPage::lineLengthKm},
        {"Text60", &ShortCircuitBookPage::busbarLoopResistance},
        {"Text61", &ShortCircuitBookPage::busbarLoopReactance},
        {"Text46", &ShortCircuitBookPage::lineLoopResistance},
        {"Text47", &ShortCircuitBookPage::lineLoopReactance},
        {"Text49", &ShortCircuitBookPage::lineNeutralResistance},
        {"Text50", &ShortCircuitBookPage::lineNeutralReactance},
    };
    for (const auto& [name, field] : fields)
        t.setText(name, u8(name));
    t.combo("Combo18").setText(u8("150"));

    const ShortCircuitBookPage page = readShortCircuitBookPage(t.form());
    EXPECT_EQ(page.systemCapacityMva, u8("150"));
    for (const auto& [name, field] : fields)
        EXPECT_EQ((page.*field).toStdString(), name);
}

TEST(ShortCircuitBook, BodyIsOneBlockOfTenAndAHalfPointExactlyEighteen) {
    RecordingReportWriter writer;
    ASSERT_TRUE(writeShortCircuitBook(writer, examplePage(), std::nullopt, QDate(2026, 12, 8)));
    const QStringList ops = writer.operations();
    EXPECT_EQ(ops[2].toStdString(), "AppendText 低压配电线路短路电流计算书\\r\\r");
    // Formatted once after the last paragraph; neither closed nor shown again.
    EXPECT_EQ(
        strings(ops.mid(ops.size() - 4)),
        (std::vector<std::string>{"AppendText    Xphpt = 9.797298\\r", "SetFont 宋体 10.5 bold",
                                  "SetAlignment left", "SetLineSpacing 18 exact"}));
    EXPECT_FALSE(ops.contains(u8("ShowDocument")));

    const auto paragraphs = writer.document()->paragraphs();
    ASSERT_EQ(paragraphs.size(), 9U + 67U + 1U);
    for (size_t i = 9; i < 9 + 67; ++i) {
        EXPECT_EQ(paragraphs[i].uniformFormat(),
                  (CharacterFormat{u8("宋体"), 10.5, true, std::nullopt}))
            << i;
        EXPECT_EQ(paragraphs[i].format,
                  (ParagraphFormat{ParagraphAlignment::Left, 18.0, LineSpacingRule::Exact}))
            << i;
    }
    EXPECT_EQ(paragraphs[0].uniformFormat(),
              (CharacterFormat{u8("宋体"), 18.0, true, colors::kBlack}));
    EXPECT_EQ(paragraphs[2].uniformFormat(),
              (CharacterFormat{u8("宋体"), 12.0, true, colors::kBlack}));
}

// The book's values are the page's impedance-chain steps on its printed figures: the system
// impedance of 519.7 MVA rounds once (0.3063324995… → 0.306332), not through a rounded quotient.
TEST(ShortCircuitBook, ValuesAreThePagesStepsOnThePrintedFigures) {
    ShortCircuitBookPage page = examplePage();
    page.systemCapacityMva = u8("519.7");
    const ShortCircuitBookValues v = computeShortCircuitBookValues(page, RegionalFormat{});
    EXPECT_EQ(v.zs.text.toStdString(), "0.306332");
    StepChain chain(Rounding::SixDecimals);
    const double xs = impedance_chain::systemReactance(chain, 0.306332);
    EXPECT_EQ(v.xs.text, formatFixed(xs, 6));
    EXPECT_EQ(v.rs.text, formatFixed(impedance_chain::systemResistance(chain, xs), 6));
}

TEST(ShortCircuitBook, AValueLeftOutSaysWhy) {
    struct Case {
        const char* what;
        QString ShortCircuitBookPage::*field;
        const char* text;
        const BookValue ShortCircuitBookValues::*value;
        const char* reason;
    };
    const Case cases[] = {
        {"empty Ss", &ShortCircuitBookPage::systemCapacityMva, "", &ShortCircuitBookValues::zs,
         "系统短路容量Ss未输入或不是数值"},
        {"Ss of zero", &ShortCircuitBookPage::systemCapacityMva, "0", &ShortCircuitBookValues::zs,
         "除数为0"},
        {"Rt above Zt", &ShortCircuitBookPage::loadLossKw, "34", &ShortCircuitBookValues::xt,
         "负数不能开平方"},
        {"St of zero", &ShortCircuitBookPage::ratedKva, "0", &ShortCircuitBookValues::rt,
         "除数为0"},
        {"Uk not a number", &ShortCircuitBookPage::ukPercent, "4%", &ShortCircuitBookValues::zt,
         "变压器电抗电压百分数Uk未输入或不是数值"},
        {"empty busbar length", &ShortCircuitBookPage::busbarLengthM, "",
         &ShortCircuitBookValues::xm, "母线长度Lm未输入或不是数值"},
        {"line length not a number", &ShortCircuitBookPage::lineLengthKm, "abc",
         &ShortCircuitBookValues::lineLengthM, "线路长度L未输入或不是数值"},
        {"line length not a number, Rx", &ShortCircuitBookPage::lineLengthKm, "abc",
         &ShortCircuitBookValues::rx, "线路长度L未输入或不是数值"},
        {"empty Xo", &ShortCircuitBookPage::lineReactance, "", &ShortCircuitBookValues::xx,
         "线路单位长度相电抗Xo未输入或不是数值"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShortCircuitBookPage page = examplePage();
        page.*c.field = u8(c.text);
        const ShortCircuitBookValues v = computeShortCircuitBookValues(page, RegionalFormat{});
        const BookValue& value = v.*c.value;
        EXPECT_FALSE(value.computed);
        EXPECT_TRUE(value.text.isEmpty());
        EXPECT_EQ(value.reason.toStdString(), c.reason);
    }
    const ShortCircuitBookValues fine = computeShortCircuitBookValues(examplePage(), {});
    EXPECT_TRUE(fine.xt.reason.isEmpty());
}

} // namespace
} // namespace korvane::testing
