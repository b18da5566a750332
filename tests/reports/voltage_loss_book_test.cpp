// The voltage-loss book paragraph by paragraph through the recording writer: the common frame,
// the input paragraphs of every load case, the computation under "【计算过程】：", the formatting
// of each block and the steps that fail.

#include "reports/book_frame.h"
#include "reports/report_document.h"
#include "reports/voltage_loss_book.h"
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

const QDate kToday(2026, 12, 8);

// Every field holds a text of its own, so a paragraph that takes the wrong one shows it.
VoltageLossBookPage distinctPage() {
    VoltageLossBookPage page;
    page.lineKind = u8("三相平衡负荷线路");
    page.loadCase = u8("(1)终段负荷用电流矩(A.km)");
    page.lossType = u8("聚氯乙烯绝缘电力电缆(0.6/1kV)");
    page.cableType = u8("VV 四芯 铜芯");
    page.crossSection = u8("50");
    page.resistance = u8("0.387");
    page.reactance = u8("0.08");
    page.voltage = u8("0.38");
    page.powerFactor = u8("0.85");
    page.endCurrent = u8("i");
    page.endLength = u8("l");
    page.endPower = u8("p");
    page.endPowerLength = u8("lp");
    for (int k = 0; k < 4; ++k) {
        const auto n = static_cast<size_t>(k);
        page.currentLoads[n] = {QStringLiteral("i%1").arg(k + 1),
                                QStringLiteral("li%1").arg(k + 1)};
        page.powerLoads[n] = {QStringLiteral("p%1").arg(k + 1), QStringLiteral("lp%1").arg(k + 1)};
        page.unityPowerLoads[n] = {QStringLiteral("q%1").arg(k + 1),
                                   QStringLiteral("lq%1").arg(k + 1)};
    }
    return page;
}

const std::vector<std::string> kFixedParagraphs = {
    "【输入参数】：",
    " 线路种类: 三相平衡负荷线路",
    " 负荷情况: (1)终段负荷用电流矩(A.km)",
    " 电缆损失类型:  聚氯乙烯绝缘电力电缆(0.6/1kV)",
    " 电缆型号或类型:  VV 四芯 铜芯",
    " 线芯截面:  S = 50(mm2)",
    " 线路单位长度电阻:  R = 0.387(Ω/km)",
    " 线路单位长度感抗:  X = 0.08(Ω/km)",
    " 标称电压:  V = 0.38(kV)",
    " 功率因数:  cosφ = 0.85",
};

TEST(VoltageLossBook, LoadParagraphsFollowTheLoadCase) {
    struct Case {
        const char* loadCase;
        std::vector<std::string> loadParagraphs; // between " 功率因数…" and "【计算过程】："
    };
    const std::vector<std::string> currentEnd = {" 负荷计算电流:  I = i(A)",
                                                 " 线路长度:      L = l(km)", ""};
    const std::vector<std::string> powerEnd = {" 有功负荷:  P = p(kw)", " 线路长度:  L = lp(km)",
                                               ""};
    const Case cases[] = {
        {"(1)终段负荷用电流矩(A.km)", currentEnd},
        {"(2)均匀分布负荷用电流矩(A.km)", currentEnd},
        {"(3)几个负荷用电流矩(A.km)",
         {" 负荷计算电流:  I1 = i1(A)", " 负荷计算电流:  I2 = i2(A)", " 负荷计算电流:  I3 = i3(A)",
          " 负荷计算电流:  I4 = i4(A)", " 线路长度:      L1 = li1(km)",
          " 线路长度:      L2 = li2(km)", " 线路长度:      L3 = li3(km)",
          " 线路长度:      L4 = li4(km)", ""}},
        {"(4)终段负荷用负荷矩(kW.km)", powerEnd},
        // Begins like case (3) of the current moments but is an end load by power.
        {"(3)终段负荷用负荷矩(kW.km)", powerEnd},
        {"(4)终段负荷且cosφ=1用负荷矩(kW.km)", powerEnd},
        {"(4)终段负荷且cosφ=1或直流线路用负荷矩(kW.km)", powerEnd},
        {"(5)几个负荷用负荷矩(kW.km)",
         {" 有功负荷:  P1 = p1(kw)", " 有功负荷:  P2 = p2(kw)", " 有功负荷:  P3 = p3(kw)",
          " 有功负荷:  P4 = p4(kw)", " 线路长度:  L1 = lp1(km)", " 线路长度:  L2 = lp2(km)",
          " 线路长度:  L3 = lp3(km)", " 线路长度:  L4 = lp4(km)", ""}},
        {"(6)整条线路的导线截面材料及敷设方式均相同cosφ=1,几个负荷用负荷矩(kW.km)",
         {" 有功负荷:  P1 = q1(kw)", " 有功负荷:  P2 = q2(kw)", " 有功负荷:  P3 = q3(kw)",
          " 有功负荷:  P4 = q4(kw)", " 线路长度:  L1 = lq1(km)", " 线路长度:  L2 = lq2(km)",
          " 线路长度:  L3 = lq3(km)", " 线路长度:  L4 = lq4(km)", ""}},
        // No row: straight from the power factor to the heading, no empty paragraph.
        {"", {}},
        {"(7)其它", {}},
        {"(1)终段负荷用电流矩(a.km)", {}}, // compared case-sensitively
        {" (1)终段负荷用电流矩(A.km)", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.loadCase);
        VoltageLossBookPage page = distinctPage();
        page.loadCase = u8(c.loadCase);
        std::vector<std::string> expected = kFixedParagraphs;
        expected[2] = " 负荷情况: " + std::string(c.loadCase);
        expected.insert(expected.end(), c.loadParagraphs.begin(), c.loadParagraphs.end());
        expected.push_back("【计算过程】：");
        EXPECT_EQ(strings(voltageLossInputParagraphs(page)), expected);
    }
}

TEST(VoltageLossBook, FieldTextsArePrintedVerbatim) {
    struct Case {
        const char* what;
        QString VoltageLossBookPage::*field;
        const char* text;
        size_t paragraph;
        const char* expected;
    };
    const Case cases[] = {
        {"trailing zero kept", &VoltageLossBookPage::resistance, "12.50", 6,
         " 线路单位长度电阻:  R = 12.50(Ω/km)"},
        {"empty kind keeps the label's space", &VoltageLossBookPage::lineKind, "", 1,
         " 线路种类: "},
        {"no trimming", &VoltageLossBookPage::voltage, " 0.38 ", 8, " 标称电压:  V =  0.38 (kV)"},
        {"not a number", &VoltageLossBookPage::powerFactor, "abc", 9, " 功率因数:  cosφ = abc"},
        {"empty load", &VoltageLossBookPage::endCurrent, "", 10, " 负荷计算电流:  I = (A)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VoltageLossBookPage page = distinctPage();
        page.*c.field = u8(c.text);
        const QStringList paragraphs = voltageLossInputParagraphs(page);
        ASSERT_GT(paragraphs.size(), static_cast<qsizetype>(c.paragraph));
        EXPECT_EQ(paragraphs[static_cast<qsizetype>(c.paragraph)].toStdString(), c.expected);
    }
}

TEST(VoltageLossBook, SeveralLoadsAreAllWrittenWhateverIsEntered) {
    VoltageLossBookPage page = distinctPage();
    page.loadCase = u8("(3)几个负荷用电流矩(A.km)");
    page.currentLoads = {{{u8("100"), u8("0.5")}, {u8("50"), u8("0.3")}, {}, {}}};
    const QStringList paragraphs = voltageLossInputParagraphs(page);
    EXPECT_EQ(
        strings(paragraphs.mid(10, 8)),
        (std::vector<std::string>{" 负荷计算电流:  I1 = 100(A)", " 负荷计算电流:  I2 = 50(A)",
                                  " 负荷计算电流:  I3 = (A)", " 负荷计算电流:  I4 = (A)",
                                  " 线路长度:      L1 = 0.5(km)", " 线路长度:      L2 = 0.3(km)",
                                  " 线路长度:      L3 = (km)", " 线路长度:      L4 = (km)"}));
}

TEST(VoltageLossBook, PageTextsComeFromTheirControls) {
    TestApp t;
    struct Control {
        const char* name;
        QString VoltageLossBookPage::*field;
    };
    const Control lists[] = {
        {"Combo5", &VoltageLossBookPage::lineKind},     {"Combo6", &VoltageLossBookPage::loadCase},
        {"Combo1", &VoltageLossBookPage::lossType},     {"Combo2", &VoltageLossBookPage::cableType},
        {"Combo3", &VoltageLossBookPage::crossSection}, {"Combo7", &VoltageLossBookPage::voltage},
        {"Combo4", &VoltageLossBookPage::powerFactor},
    };
    const Control fields[] = {
        {"Text1", &VoltageLossBookPage::resistance},
        {"Text2", &VoltageLossBookPage::reactance},
        {"Text4", &VoltageLossBookPage::endCurrent},
        {"Text5", &VoltageLossBookPage::endLength},
        {"Text17", &VoltageLossBookPage::endPower},
        {"Text18", &VoltageLossBookPage::endPowerLength},
    };
    for (const Control& c : lists)
        t.combo(c.name).setText(u8(c.name));
    for (const Control& c : fields)
        t.setText(c.name, u8(c.name));
    const char* loads[3][4][2] = {
        {{"Text8", "Text10"}, {"Text11", "Text12"}, {"Text13", "Text14"}, {"Text15", "Text16"}},
        {{"Text19", "Text20"}, {"Text21", "Text22"}, {"Text23", "Text24"}, {"Text25", "Text26"}},
        {{"Text27", "Text28"}, {"Text29", "Text30"}, {"Text31", "Text32"}, {"Text33", "Text34"}},
    };
    for (const auto& frame : loads) {
        for (const auto& pair : frame) {
            t.setText(pair[0], u8(pair[0]));
            t.setText(pair[1], u8(pair[1]));
        }
    }

    const VoltageLossBookPage page = readVoltageLossBookPage(t.form());
    for (const Control& c : lists)
        EXPECT_EQ((page.*c.field).toStdString(), c.name);
    for (const Control& c : fields)
        EXPECT_EQ((page.*c.field).toStdString(), c.name);
    const std::array<LoadTexts, 4>* frames[] = {&page.currentLoads, &page.powerLoads,
                                                &page.unityPowerLoads};
    for (size_t f = 0; f < 3; ++f) {
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_EQ((*frames[f])[k].load.toStdString(), loads[f][k][0]);
            EXPECT_EQ((*frames[f])[k].length.toStdString(), loads[f][k][1]);
        }
    }
}

// The cable and line of the worked examples: VV 50 mm² copper (R 0.387, X 0.08 Ω/km), cos φ 0.85,
// 0.38 kV, conductor at 70 °C in 30 °C air.
VoltageLossInput workedInput(const char* kind, const char* loadCase) {
    VoltageLossInput in;
    in.lineKind = lineKindOf(u8(kind));
    in.loadCase = loadCaseOf(u8(loadCase));
    in.resistanceOhmPerKm = {0.387, 0.387};
    in.reactanceOhmPerKm = {0.08, 0.08};
    in.voltageKv = {0.38, 0.38};
    in.powerFactor = 0.85;
    in.conductorTempC = 70.0;
    in.ambientTempC = 30.0;
    return in;
}

QStringList computation(const VoltageLossInput& in) {
    return voltageLossComputationParagraphs(in, computeVoltageLoss(in));
}

TEST(VoltageLossBook, ComputationOfAnEndLoadByCurrent) {
    VoltageLossInput in = workedInput("三相平衡负荷线路", "(1)终段负荷用电流矩(A.km)");
    in.endCurrentA = 100.0;
    in.endLengthKm = 0.5;
    // Δu 8.4573 % and 237.1138 m are the page's figures for this line.
    EXPECT_EQ(strings(computation(in)),
              (std::vector<std::string>{
                  " 计算公式（终段负荷，电流矩法）：",
                  "   Δu% = √3 / (10 × U) × (R × cosφ + X × sinφ) × I × L",
                  " 式中：U—标称电压(kV)；R、X—线路单位长度电阻、感抗(Ω/km)；",
                  "       I—负荷计算电流(A)；L—线路长度(km)。",
                  " 代入数值：",
                  "   cosφ = 0.8500，sinφ = 0.5268",
                  "   Δu% = √3 / (10 × 0.38) × (0.387 × 0.8500 + 0.08 × 0.5268) × 100 × 0.5",
                  "   Δu% = 8.4573",
                  " 校验结果：电压损Δu% ≥5%不符合要求请重新选择导体截面;",
                  " 线路最大允许长度（Δu% = 5%）：",
                  "   Lmax = 1000 × 5 / (k × Z × I × 0.46)",
                  " 式中：k—温度系数；Z—线路单位长度阻抗(Ω/km)；",
                  "       θc—线芯工作温度(℃)；θa—环境温度(℃)。",
                  "   k = (θc - θa) × 0.004 + 1 = (70 - 30) × 0.004 + 1 = 1.16",
                  "   Z = √(R ^ 2 + X ^ 2) = √(0.387 ^ 2 + 0.08 ^ 2) = 0.395182",
                  "   Lmax = 1000 × 5 / (1.16 × 0.395182 × 100 × 0.46)",
                  "   Lmax = 237.1138 (m)",
              }));
}

TEST(VoltageLossBook, NoPassForALossOfNoRealLine) {
    struct Case {
        const char* what;
        void (*setUp)(VoltageLossInput&);
        const char* verdict;
    };
    const Case cases[] = {
        {"no resistance",
         [](VoltageLossInput& in) {
             in.resistanceOhmPerKm = {0.0, 0.0};
         },
         " 校验结果：电压损失无法计算：导线电阻R未输入或不大于0，请选择导体截面"},
        {"negative current", [](VoltageLossInput& in) { in.endCurrentA = -100.0; },
         " 校验结果：电压损失无法计算：负荷或线路长度为负值"},
    };
    for (const Case& c : cases) {
        VoltageLossInput in = workedInput("三相平衡负荷线路", "(1)终段负荷用电流矩(A.km)");
        in.endCurrentA = 100.0;
        in.endLengthKm = 0.5;
        c.setUp(in);
        const std::vector<std::string> lines = strings(computation(in));
        EXPECT_NE(std::find(lines.begin(), lines.end(), c.verdict), lines.end()) << c.what;
        EXPECT_EQ(std::find(lines.begin(), lines.end(), " 校验结果：电压损失Δu%≤5% 校验通过:"),
                  lines.end())
            << c.what;
    }
}

TEST(VoltageLossBook, ComputationFollowsTheKindAndCase) {
    struct Case {
        const char* kind;
        const char* loadCase;
        double voltageKv;
        std::vector<std::string> expected; // lines that must be among the paragraphs
    };
    const Case cases[] = {
        {"三相平衡负荷线路",
         "(2)均匀分布负荷用电流矩(A.km)",
         0.38,
         {" 计算公式（均匀分布负荷，电流矩法）：",
          "   Δu% = √3 / (10 × 0.38) × (0.387 × 0.8500 + 0.08 × 0.5268) × (0.5 × 100) × 0.5",
          "   Δu% = 4.2286", " 校验结果：电压损失Δu%≤5% 校验通过:"}},
        {"三相平衡负荷线路",
         "(4)终段负荷用负荷矩(kW.km)",
         0.38,
         {"   Δu% = (R + X × tanφ) / (10 × U ^ 2) × P × L", "   cosφ = 0.8500，tanφ = 0.6197",
          "   Δu% = (0.387 + 0.08 × 0.6197) / (10 × 0.38 ^ 2) × 30 × 0.5", "   Δu% = 4.5351",
          " 校验结果：电压损失Δu%≤5% 校验通过:",
          // With the power given the length comes from it, as a three-phase current.
          "   Lmax = 1000 × 5 / (k × Z × P / (√3 × U × cosφ) × 0.46)",
          "   Lmax = 1000 × 5 / (1.16 × 0.395182 × 30 / (√3 × 0.38 × 0.8500) × 0.46)",
          "   Lmax = 442.1796 (m)"}},
        {"三相平衡负荷线路",
         "(6)整条线路的导线截面材料及敷设方式均相同cosφ=1,几个负荷用负荷矩(kW.km)",
         0.38,
         {" 计算公式（几个负荷，cosφ=1，负荷矩法）：", "   Δu% = R / (10 × U ^ 2) × Σ(Pi × Li)",
          "   Σ(Pi × Li) = 30 × 0.5 + 20 × 0.3 + 0 × 0 + 0 × 0 = 21",
          "   Δu% = 0.387 / (10 × 0.38 ^ 2) × 21", "   Δu% = 5.6281"}},
        {"接于线电压的单相负荷线路",
         "(6)整条线路的导线截面材料及敷设方式均相同cosφ=1,几个负荷用负荷矩(kW.km)",
         0.38,
         {"   Δu% = 2 × R / (10 × U ^ 2) × Σ(Pi × Li)", "   Δu% = 11.2562"}},
        {"接于相电压的两相-N线平衡负荷线路",
         "(3)终段负荷用负荷矩(kW.km)",
         0.38,
         {"   Δu% = 2.25 × (R + X × tanφ) / (10 × U ^ 2) × P × L", "   Δu% = 10.2040"}},
        {"接于相电压的两相-N线平衡负荷线路",
         "(1)终段负荷用电流矩(A.km)",
         0.38,
         {"   Δu% = 1.5 × √3 / (10 × U) × (R × cosφ + X × sinφ) × I × L"}},
        {"接相电压的单相负荷线路",
         "(1)终段负荷用电流矩(A.km)",
         0.22,
         {"   Δu% = 2 / (10 × U) × (R × cosφ + X × sinφ) × I × L", "   Δu% = 16.8678",
          // At 0.22 kV and below the power is a single-phase current.
          "   Lmax = 1000 × 5 / (k × Z × (P / U) × 0.46)",
          "   Lmax = 1000 × 5 / (1.16 × 0.395182 × (30 / 0.22) × 0.46)", "   Lmax = 173.8834 (m)"}},
        {"三相平衡负荷线路",
         "(3)几个负荷用电流矩(A.km)",
         0.38,
         {"   Σ(Ii × Li) = 100 × 0.5 + 50 × 0.3 + 0 × 0 + 0 × 0 = 65",
          "   Δu% = √3 / (10 × 0.38) × (0.387 × 0.8500 + 0.08 × 0.5268) × 65"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.loadCase);
        VoltageLossInput in = workedInput(c.kind, c.loadCase);
        in.voltageKv = {c.voltageKv, c.voltageKv};
        in.endCurrentA = 100.0;
        in.endLengthKm = 0.5;
        in.currentLoads = {{{100.0, 0.5}, {50.0, 0.3}, {}, {}}};
        in.endPowerKw = 30.0;
        in.endPowerLengthKm = 0.5;
        in.powerLoads = {{{30.0, 0.5}, {20.0, 0.3}, {}, {}}};
        in.unityPowerLoads = {{{30.0, 0.5}, {20.0, 0.3}, {}, {}}};
        const QStringList paragraphs = computation(in);
        for (const std::string& line : c.expected)
            EXPECT_TRUE(paragraphs.contains(QString::fromStdString(line)))
                << line << "\n in:\n"
                << paragraphs.join(u'\n').toStdString();
    }
}

TEST(VoltageLossBook, ComputationThatCannotBeCarriedOutSaysSo) {
    struct Case {
        const char* what;
        const char* loadCase;
        double voltageKv;
        bool withLoadsAndTemperatures;
        std::vector<std::string> expected;
    };
    const std::string noLoss = " 未能计算电压损失：线路种类与负荷情况不对应，或已知数据不全。";
    const std::string noLength = "   未能计算：负荷电流或有功负荷、导线参数或温度未输全。";
    const std::string heading = " 线路最大允许长度（Δu% = 5%）：";
    const Case cases[] = {
        {"a case the kind does not have",
         "(3)终段负荷用负荷矩(kW.km)",
         0.38,
         true,
         {noLoss, heading, "   Lmax = 1000 × 5 / (k × Z × P / (√3 × U × cosφ) × 0.46)",
          " 式中：k—温度系数；Z—线路单位长度阻抗(Ω/km)；",
          "       θc—线芯工作温度(℃)；θa—环境温度(℃)。",
          "   k = (θc - θa) × 0.004 + 1 = (70 - 30) × 0.004 + 1 = 1.16",
          "   Z = √(R ^ 2 + X ^ 2) = √(0.387 ^ 2 + 0.08 ^ 2) = 0.395182",
          "   Lmax = 1000 × 5 / (1.16 × 0.395182 × 30 / (√3 × 0.38 × 0.8500) × 0.46)",
          "   Lmax = 442.1796 (m)"}},
        {"a voltage of 0 divides by zero",
         "(1)终段负荷用电流矩(A.km)",
         0.0,
         false,
         {noLoss, heading, noLength}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VoltageLossInput in = workedInput("三相平衡负荷线路", c.loadCase);
        in.voltageKv = {c.voltageKv, c.voltageKv};
        if (c.withLoadsAndTemperatures) {
            in.endPowerKw = 30.0;
            in.endPowerLengthKm = 0.5;
        } else {
            in.conductorTempC.reset();
        }
        EXPECT_EQ(strings(computation(in)), c.expected);
    }
}

// The frame and the body through the recording writer: the operations in order, then the
// formats they leave on every paragraph.
class VoltageLossBookWriting : public ::testing::Test {
protected:
    void write() {
        VoltageLossInput in = workedInput("三相平衡负荷线路", "(1)终段负荷用电流矩(A.km)");
        in.endCurrentA = 100.0;
        in.endLengthKm = 0.5;
        written = writeVoltageLossBook(writer, distinctPage(), in, kToday);
    }

    RecordingReportWriter writer;
    bool written = false;
};

TEST_F(VoltageLossBookWriting, FrameAndBodyOperationsInOrder) {
    write();
    ASSERT_TRUE(written);
    const QStringList ops = writer.operations();
    EXPECT_EQ(strings(ops.mid(0, 15)), (std::vector<std::string>{
                                           "OpenDocument",
                                           "SetAlignment centred",
                                           "AppendText 电压损失计算书\\r\\r",
                                           "SetFont 宋体 18 bold black",
                                           "CloseBlock",
                                           "AppendText 工程名:\\r",
                                           "AppendText 计算者:\\r",
                                           "AppendText 计算时间:2026/12/8\\r",
                                           "AppendText 计算依据：\\r",
                                           "AppendText 《工业与民用配电设计手册》第三版：\\r",
                                           "AppendText 《民用建筑电气设计规范》JGJ 16 - 2008\\r\\r",
                                           "SetFont 宋体 12 bold black",
                                           "SetAlignment left",
                                           "SetLineSpacing 18 default",
                                           "CloseBlock",
                                       }));
    // The body is one block, formatted once all of it is there, and left open.
    EXPECT_EQ(strings(ops.mid(ops.size() - 4)),
              (std::vector<std::string>{"SetFont 宋体 10.5 bold", "SetAlignment left",
                                        "SetLineSpacing 20 exact", "ShowDocument"}));
    EXPECT_EQ(ops.count(u8("CloseBlock")), 2);
    EXPECT_TRUE(ops.contains(u8("AppendText 【计算过程】：\\r")));
    // The computation comes after the heading, inside the body.
    EXPECT_GT(ops.indexOf(u8("AppendText    Δu% = 8.4573\\r")),
              ops.indexOf(u8("AppendText 【计算过程】：\\r")));
}

TEST_F(VoltageLossBookWriting, EveryBlockCarriesItsStyle) {
    write();
    const auto paragraphs = writer.document()->paragraphs();
    const QStringList texts = writer.document()->paragraphTexts();
    const qsizetype heading = texts.indexOf(u8("【计算过程】："));
    ASSERT_EQ(heading, 2 + 7 + 13); // title block, header block, ten fixed and three load lines
    ASSERT_EQ(texts.last(), QString());

    struct Block {
        const char* name;
        size_t first;
        size_t last;
        CharacterFormat font;
        ParagraphFormat paragraph;
    };
    const Block blocks[] = {
        {"title and its empty paragraph",
         0,
         1,
         {u8("宋体"), 18.0, true, colors::kBlack},
         {ParagraphAlignment::Centred, 12.0, LineSpacingRule::Default}},
        {"header and its empty paragraph",
         2,
         8,
         {u8("宋体"), 12.0, true, colors::kBlack},
         {ParagraphAlignment::Left, 18.0, LineSpacingRule::Default}},
        {"body",
         9,
         paragraphs.size() - 2,
         {u8("宋体"), 10.5, true, std::nullopt},
         {ParagraphAlignment::Left, 20.0, LineSpacingRule::Exact}},
    };
    for (const Block& b : blocks) {
        for (size_t i = b.first; i <= b.last; ++i) {
            SCOPED_TRACE(std::string(b.name) + " " +
                         texts[static_cast<qsizetype>(i)].toStdString());
            EXPECT_EQ(paragraphs[i].uniformFormat(), b.font);
            EXPECT_EQ(paragraphs[i].format, b.paragraph);
        }
    }
    EXPECT_EQ(texts[0], u8("电压损失计算书"));
    EXPECT_EQ(texts[1], QString());
    EXPECT_EQ(texts[8], QString());
    EXPECT_EQ(texts[9], u8("【输入参数】："));
    EXPECT_EQ(texts[heading + 1], u8(" 计算公式（终段负荷，电流矩法）："));
    // The document's final paragraph lies outside every block: it keeps the centring it was split
    // with and the defaults of a new document.
    EXPECT_EQ(paragraphs.back().markFormat, defaultCharacterFormat());
    EXPECT_EQ(paragraphs.back().format.alignment, ParagraphAlignment::Centred);
}

TEST_F(VoltageLossBookWriting, AFailingFormatStepIsSkippedAndTheRestWritten) {
    writer.fails = [](const QString& op) { return op == u8("SetFont 宋体 12 bold black"); };
    write();
    ASSERT_TRUE(written);
    const auto paragraphs = writer.document()->paragraphs();
    // The header keeps the font its text was appended in, but takes its alignment and spacing.
    EXPECT_EQ(paragraphs[2].uniformFormat(), defaultCharacterFormat());
    EXPECT_EQ(paragraphs[2].format,
              (ParagraphFormat{ParagraphAlignment::Left, 18.0, LineSpacingRule::Default}));
    EXPECT_EQ(paragraphs[9].uniformFormat(),
              (CharacterFormat{u8("宋体"), 10.5, true, std::nullopt}));
    EXPECT_TRUE(writer.document()->paragraphTexts().contains(u8("   Lmax = 237.1138 (m)")));
}

TEST_F(VoltageLossBookWriting, AFailingParagraphIsMissingAndTheOthersWritten) {
    writer.fails = [](const QString& op) { return op == u8("AppendText 计算者:\\r"); };
    write();
    const QStringList texts = writer.document()->paragraphTexts();
    EXPECT_FALSE(texts.contains(u8("计算者:")));
    EXPECT_EQ(texts[2], u8("工程名:"));
    EXPECT_EQ(texts[3], u8("计算时间:2026/12/8"));
}

TEST_F(VoltageLossBookWriting, NothingIsWrittenWhenTheDocumentCannotBeOpened) {
    writer.fails = [](const QString& op) { return op == u8("OpenDocument"); };
    write();
    EXPECT_FALSE(written);
    EXPECT_EQ(writer.operations(), QStringList{u8("OpenDocument")});
}

TEST(BookFrame, TheDateFollowsTheShortDatePatternWithoutATime) {
    struct Case {
        const char* pattern;
        const char* line;
    };
    const Case cases[] = {
        {"yyyy/M/d", "计算时间:2026/12/8"},
        {"yyyy-MM-dd", "计算时间:2026-12-08"},
        {"dd.MM.yyyy", "计算时间:08.12.2026"},
        {"M/d/yy", "计算时间:12/8/26"},
    };
    for (const Case& c : cases) {
        RegionalFormat format;
        format.shortDatePattern = u8(c.pattern);
        const QStringList lines = bookHeaderLines(kToday, format);
        ASSERT_EQ(lines.size(), 6);
        EXPECT_EQ(lines[2].toStdString(), c.line) << c.pattern;
    }
    // ASCII colons in the first three labels, full-width ones in the next two.
    EXPECT_EQ(strings(bookHeaderLines(kToday).mid(0, 2)),
              (std::vector<std::string>{"工程名:", "计算者:"}));
    EXPECT_EQ(strings(bookHeaderLines(kToday).mid(3)),
              (std::vector<std::string>{"计算依据：", "《工业与民用配电设计手册》第三版：",
                                        "《民用建筑电气设计规范》JGJ 16 - 2008"}));
}

} // namespace
} // namespace korvane::testing
