// The capacity of a four-core cable by GB/T 16895.6-2014 (IEC 60364-5-52:2009) annex B: the
// shipped tables against the published ones, Iz against hand computations, the lookup rules
// between and beyond the rows, the third-harmonic rules of annex E and the overload conditions
// of GB 50054-2011 6.3.3.

#include "capacity/capacity_database.h"
#include "capacity/current_capacity.h"

#include "support/test_app.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace korvane::testing {
namespace {

constexpr ConductorMaterial Cu = ConductorMaterial::Copper;
constexpr ConductorMaterial Al = ConductorMaterial::Aluminium;
constexpr Insulation Pvc = Insulation::Pvc;
constexpr Insulation Xlpe = Insulation::Xlpe;
constexpr LayingMethod E = LayingMethod::InAir;
constexpr LayingMethod D1 = LayingMethod::InDuct;
constexpr LayingMethod D2 = LayingMethod::DirectlyBuried;

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// The tables of the shipped cable database, as the test program folder holds it.
const CapacityTables& shippedTables() {
    static const CapacityTables tables = [] {
        Database db(QDir(testHome()).filePath(u8("Database/JhxlDlxlss.db")));
        EXPECT_EQ(db.open(u8("cable_capacity")), QString());
        const Computed<CapacityTables> loaded = loadCapacityTables(db);
        EXPECT_TRUE(loaded.ok()) << loaded.reason().toStdString();
        return loaded.valueOr(CapacityTables{});
    }();
    return tables;
}

const std::vector<double> kCopperSections = {1.5, 2.5, 4,  6,   10,  16,  25,  35,
                                             50,  70,  95, 120, 150, 185, 240, 300};
const std::vector<double> kAluminiumSections = {2.5, 4,  6,   10,  16,  25,  35, 50,
                                                70,  95, 120, 150, 185, 240, 300};
const std::vector<double> kAluminiumFrom16 = {16, 25, 35, 50, 70, 95, 120, 150, 185, 240, 300};

// Three loaded conductors, multi-core cable, amperes: IEC 60364-5-52:2009 tables B.52.4 and
// B.52.5 (columns D1, D2) and B.52.10 to B.52.13 (method E, multi-core), as the TiSoft and the
// DS/HD 60364-5-52 reproductions give them (copper PVC E at 70 and 120 mm² per GOST R
// 50571.5.52-2011 table B.52.10 column 3: 196 and 276 A).
TEST(CapacityTables, ShippedRatingsAreThoseOfAnnexB) {
    struct Key {
        const char* table;
        ConductorMaterial material;
        Insulation insulation;
        LayingMethod method;
        const std::vector<double>& sections;
    };
    struct Column {
        Key key;
        std::vector<double> amperes;
    };
    const Column columns[] = {
        {{"B.52.10 E", Cu, Pvc, E, kCopperSections},
         {18.5, 25, 34, 43, 60, 80, 101, 126, 153, 196, 238, 276, 319, 364, 430, 497}},
        {{"B.52.4 D1", Cu, Pvc, D1, kCopperSections},
         {18, 24, 30, 38, 50, 64, 82, 98, 116, 143, 169, 192, 217, 243, 280, 316}},
        {{"B.52.4 D2", Cu, Pvc, D2, kCopperSections},
         {19, 24, 33, 41, 54, 70, 92, 110, 130, 162, 193, 220, 246, 278, 320, 359}},
        {{"B.52.12 E", Cu, Xlpe, E, kCopperSections},
         {23, 32, 42, 54, 75, 100, 127, 158, 192, 246, 298, 346, 399, 456, 538, 621}},
        {{"B.52.5 D1", Cu, Xlpe, D1, kCopperSections},
         {21, 28, 36, 44, 58, 75, 96, 115, 135, 167, 197, 223, 251, 281, 324, 365}},
        {{"B.52.5 D2", Cu, Xlpe, D2, kCopperSections},
         {23, 30, 39, 49, 65, 84, 107, 129, 153, 188, 226, 257, 287, 324, 375, 419}},
        {{"B.52.11 E", Al, Pvc, E, kAluminiumSections},
         {19.5, 26, 33, 46, 61, 78, 96, 117, 150, 183, 212, 245, 280, 330, 381}},
        {{"B.52.4 D1", Al, Pvc, D1, kAluminiumSections},
         {18.5, 24, 30, 39, 50, 64, 77, 91, 112, 132, 150, 169, 190, 218, 247}},
        {{"B.52.4 D2", Al, Pvc, D2, kAluminiumFrom16},
         {53, 69, 83, 99, 122, 148, 169, 189, 214, 250, 282}},
        {{"B.52.13 E", Al, Xlpe, E, kAluminiumSections},
         {24, 32, 42, 58, 77, 97, 120, 146, 187, 227, 263, 304, 347, 409, 471}},
        {{"B.52.5 D1", Al, Xlpe, D1, kAluminiumSections},
         {22, 28, 35, 46, 59, 75, 90, 106, 130, 154, 174, 197, 220, 253, 286}},
        {{"B.52.5 D2", Al, Xlpe, D2, kAluminiumFrom16},
         {64, 82, 98, 117, 144, 172, 197, 220, 250, 290, 326}},
    };
    const InstallationConditions reference{{}, {}, 2.5, 1, {}};
    std::size_t cells = 0;
    for (const Column& c : columns) {
        const Key& k = c.key;
        ASSERT_EQ(k.sections.size(), c.amperes.size()) << k.table;
        InstallationConditions at = reference;
        at.method = k.method;
        at.temperatureC = inGround(k.method) ? 20.0 : 30.0;
        for (std::size_t i = 0; i < k.sections.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << k.table << " " << k.sections[i] << " mm²");
            const auto iz = currentCarryingCapacity(shippedTables(), k.material, k.insulation,
                                                    k.sections[i], at);
            ASSERT_TRUE(iz.ok()) << iz.reason().toStdString();
            EXPECT_EQ(iz->tabulatedA, c.amperes[i]);
            EXPECT_EQ(iz->capacityA, c.amperes[i]); // every factor 1 at the reference conditions
        }
        cells += k.sections.size();
    }
    EXPECT_EQ(shippedTables().ratings.size(), cells); // no figure beyond the published columns
}

// Table B.52.14 (air, 30 °C) and B.52.15 (ground, 20 °C): the standard's factors are
// sqrt((θmax − θ) / (θmax − θref)) rounded to two decimals, θmax 70 °C PVC and 90 °C XLPE, worked
// here for every stored row (25 °C in air: 1.06 PVC, 1.04 XLPE); the rows run from 10 °C to
// 60 °C for PVC and to 80 °C for XLPE.
TEST(CapacityTables, TemperatureFactorsAreThoseOfTablesB52_14AndB52_15) {
    struct Rows {
        bool ground;
        Insulation insulation;
        std::size_t count;
        double highestC;
    };
    const Rows rowSets[] = {
        {false, Pvc, 11, 60}, {false, Xlpe, 15, 80}, {true, Pvc, 11, 60}, {true, Xlpe, 15, 80}};
    for (const Rows& set : rowSets) {
        std::size_t count = 0;
        double lowest = 1000.0, highest = 0.0;
        for (const auto& f : shippedTables().temperatureFactors) {
            if (f.ground != set.ground || f.insulation != set.insulation)
                continue;
            const double limit = f.insulation == Pvc ? 70.0 : 90.0;
            const double reference = f.ground ? 20.0 : 30.0;
            const double byHand =
                std::round(std::sqrt((limit - f.temperatureC) / (limit - reference)) * 100) / 100;
            EXPECT_DOUBLE_EQ(f.factor, byHand) << f.temperatureC << " °C";
            ++count;
            lowest = std::min(lowest, f.temperatureC);
            highest = std::max(highest, f.temperatureC);
        }
        EXPECT_EQ(count, set.count);
        EXPECT_EQ(lowest, 10.0);
        EXPECT_EQ(highest, set.highestC);
    }
}

// Table B.52.16: cables in buried ducts (D1) and direct in the ground (D2), 2.5 K·m/W = 1.
TEST(CapacityTables, ResistivityFactorsAreThoseOfTableB52_16) {
    const double resistivities[] = {0.5, 0.7, 1, 1.5, 2, 2.5, 3};
    const double ducts[] = {1.28, 1.20, 1.18, 1.10, 1.05, 1.00, 0.96};
    const double direct[] = {1.88, 1.62, 1.50, 1.28, 1.12, 1.00, 0.90};
    ASSERT_EQ(shippedTables().resistivityFactors.size(), 14u);
    for (const auto& f : shippedTables().resistivityFactors) {
        const double* row = f.method == D1 ? ducts : direct;
        const auto at =
            std::find(std::begin(resistivities), std::end(resistivities), f.resistivityKmW);
        ASSERT_NE(at, std::end(resistivities)) << f.resistivityKmW;
        EXPECT_EQ(f.factor, row[at - std::begin(resistivities)]) << f.resistivityKmW;
    }
}

// Tables B.52.17 item 4 (E), B.52.18 (D2) and B.52.19 (D1), multi-core cables.
TEST(CapacityTables, GroupingFactorsAreThoseOfTablesB52_17ToB52_19) {
    struct Spot {
        LayingMethod method;
        double spacingM;
        int circuits;
        double factor;
    };
    const Spot spots[] = {
        {E, 0, 2, 0.88},     {E, 0, 4, 0.77},      {E, 0, 9, 0.72},     {D2, 0, 2, 0.75},
        {D2, 0, 6, 0.50},    {D2, 0.125, 7, 0.59}, {D2, 0.25, 3, 0.80}, {D2, 0.25, 20, 0.53},
        {D2, 0.5, 16, 0.68}, {D1, 0, 2, 0.85},     {D1, 0, 12, 0.45},   {D1, 0.25, 7, 0.76},
        {D1, 0.5, 6, 0.80},  {D1, 1.0, 3, 0.95},   {D1, 1.0, 12, 0.85},
    };
    for (const Spot& s : spots) {
        int found = 0;
        for (const auto& f : shippedTables().groupingFactors)
            if (f.method == s.method && f.spacingM == s.spacingM && f.circuits == s.circuits) {
                EXPECT_EQ(f.factor, s.factor);
                ++found;
            }
        EXPECT_EQ(found, 1) << methodCode(s.method).toStdString() << " " << s.spacingM << " m, "
                            << s.circuits;
    }
    // One circuit is factor 1 in every column; E has one column of 9 rows, D2 and D1 four
    // columns of 12 (D2: 1–9, 12, 16, 20; D1: 1–12).
    std::size_t singles = 0;
    for (const auto& f : shippedTables().groupingFactors)
        if (f.circuits == 1) {
            EXPECT_EQ(f.factor, 1.0);
            ++singles;
        }
    EXPECT_EQ(singles, 9u);
    EXPECT_EQ(shippedTables().groupingFactors.size(), 9u + 48u + 48u);
}

// Iz = I0·Kt·Kρ·Kg, each factor read from its table and the product worked by hand.
TEST(CurrentCarryingCapacity, ProductOfTheFactorsAgainstAHandComputation) {
    struct Cable {
        const char* what;
        ConductorMaterial material;
        Insulation insulation;
        double sectionMm2;
        InstallationConditions conditions;
    };
    struct Factors {
        double tabulatedA, kt, kRho, kg, capacityA;
    };
    struct Texts {
        const char* table;
        const char* temperatureRule;
    };
    struct Case {
        Cable cable;
        Factors expected;
        Texts texts;
    };
    const Case cases[] = {
        // 107 (B.52.5 D2) × 0.93 (B.52.15, 30 °C) × 1.50 (B.52.16, 1 K·m/W direct)
        // × 0.80 (B.52.18, 3 circuits 0.25 m) = 119.412
        {{"Cu XLPE 25 D2", Cu, Xlpe, 25, {D2, 30.0, 1.0, 3, 0.25}},
         {107, 0.93, 1.50, 0.80, 119.412},
         {"GB/T 16895.6-2014 表B.52.5 D2", "土壤温度 30 ℃，表B.52.15"}},
        // 80 (B.52.10 E) × 0.87 (B.52.14, 40 °C) × 0.77 (B.52.17 item 4, 4 circuits) = 53.592;
        // the soil is not asked for in air
        {{"Cu PVC 16 E", Cu, Pvc, 16, {E, 40.0, {}, 4, 0.0}},
         {80, 0.87, 1.0, 0.77, 53.592},
         {"GB/T 16895.6-2014 表B.52.10 E", "环境空气温度 40 ℃，表B.52.14"}},
        // an impossible soil figure is ignored in air: 621 × 0.82 (50 °C) × 0.73 (6 circuits)
        // = 371.7306
        {{"Cu XLPE 300 E", Cu, Xlpe, 300, {E, 50.0, -1.0, 6, 0.0}},
         {621, 0.82, 1.0, 0.73, 371.7306},
         {"GB/T 16895.6-2014 表B.52.12 E", "环境空气温度 50 ℃，表B.52.14"}},
        // 90 (B.52.5 D1) × 0.96 (25 °C) × 1.05 (2 K·m/W, ducts) × 0.95 (B.52.19, 2 ducts
        // 0.5 m) = 86.184
        {{"Al XLPE 35 D1", Al, Xlpe, 35, {D1, 25.0, 2.0, 2, 0.5}},
         {90, 0.96, 1.05, 0.95, 86.184},
         {"GB/T 16895.6-2014 表B.52.5 D1", "土壤温度 25 ℃，表B.52.15"}},
        // reference conditions, one circuit, no spacing: I0 itself (B.52.4 D2)
        {{"Al PVC 95 D2", Al, Pvc, 95, {D2, 20.0, 2.5, 1, {}}},
         {148, 1.0, 1.0, 1.0, 148},
         {"GB/T 16895.6-2014 表B.52.4 D2", "土壤温度 20 ℃，表B.52.15"}},
        // 19.5 (B.52.11 E) × 1.06 (25 °C) = 20.67
        {{"Al PVC 2.5 E", Al, Pvc, 2.5, {E, 25.0, {}, 1, {}}},
         {19.5, 1.06, 1.0, 1.0, 20.67},
         {"GB/T 16895.6-2014 表B.52.11 E", "环境空气温度 25 ℃，表B.52.14"}},
        // reference conditions (B.52.13 E)
        {{"Al XLPE 240 E", Al, Xlpe, 240, {E, 30.0, {}, 1, {}}},
         {409, 1.0, 1.0, 1.0, 409},
         {"GB/T 16895.6-2014 表B.52.13 E", "环境空气温度 30 ℃，表B.52.14"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cable.what);
        const auto iz =
            currentCarryingCapacity(shippedTables(), c.cable.material, c.cable.insulation,
                                    c.cable.sectionMm2, c.cable.conditions);
        ASSERT_TRUE(iz.ok()) << iz.reason().toStdString();
        EXPECT_EQ(iz->tabulatedA, c.expected.tabulatedA);
        EXPECT_EQ(iz->temperatureFactor, c.expected.kt);
        EXPECT_EQ(iz->resistivityFactor, c.expected.kRho);
        EXPECT_EQ(iz->groupingFactor, c.expected.kg);
        EXPECT_NEAR(iz->capacityA, c.expected.capacityA, 1e-9);
        EXPECT_EQ(iz->table, u8(c.texts.table));
        EXPECT_EQ(iz->temperatureRule, u8(c.texts.temperatureRule));
    }
}

// Between two rows the less favourable one: the higher temperature or resistivity, the smaller
// tabulated clearance, the next larger number of circuits.
TEST(CurrentCarryingCapacity, BetweenRowsTakesTheLessFavourableRow) {
    struct Case {
        const char* what;
        Insulation insulation;
        InstallationConditions conditions;
        double kt, kRho, kg;
    };
    const Case cases[] = {
        {"air PVC 33 °C reads 35 °C", Pvc, {E, 33.0, {}, 1, {}}, 0.94, 1.0, 1.0},
        {"air PVC 26 °C reads 30 °C", Pvc, {E, 26.0, {}, 1, {}}, 1.0, 1.0, 1.0},
        {"air XLPE 77.5 °C reads 80 °C", Xlpe, {E, 77.5, {}, 1, {}}, 0.41, 1.0, 1.0},
        {"ground XLPE 22 °C reads 25 °C", Xlpe, {D1, 22.0, 2.5, 1, {}}, 0.96, 1.0, 1.0},
        {"D2 1.2 K·m/W reads 1.5", Pvc, {D2, 20.0, 1.2, 1, {}}, 1.0, 1.28, 1.0},
        {"D1 0.6 K·m/W reads 0.7", Pvc, {D1, 20.0, 0.6, 1, {}}, 1.0, 1.20, 1.0},
        {"D2 2.7 K·m/W reads 3", Pvc, {D2, 20.0, 2.7, 1, {}}, 1.0, 0.90, 1.0},
        {"D2 0.3 m reads 0.25 m", Pvc, {D2, 20.0, 2.5, 3, 0.3}, 1.0, 1.0, 0.80},
        {"D2 0.1 m reads touching", Pvc, {D2, 20.0, 2.5, 3, 0.1}, 1.0, 1.0, 0.65},
        {"D2 0.8 m reads 0.5 m", Pvc, {D2, 20.0, 2.5, 3, 0.8}, 1.0, 1.0, 0.85},
        {"D1 0.6 m reads 0.5 m", Pvc, {D1, 20.0, 2.5, 4, 0.6}, 1.0, 1.0, 0.85},
        {"D1 2 m reads 1 m", Pvc, {D1, 20.0, 2.5, 4, 2.0}, 1.0, 1.0, 0.90},
        {"E 0.5 m reads touching", Pvc, {E, 30.0, {}, 2, 0.5}, 1.0, 1.0, 0.88},
        {"D2 10 circuits read 12", Pvc, {D2, 20.0, 2.5, 10, 0.0}, 1.0, 1.0, 0.36},
        {"D2 13 circuits read 16", Pvc, {D2, 20.0, 2.5, 13, 0.5}, 1.0, 1.0, 0.68},
        {"D1 11 ducts", Pvc, {D1, 20.0, 2.5, 11, 0.0}, 1.0, 1.0, 0.47},
        {"E 9 circuits", Pvc, {E, 30.0, {}, 9, 0.0}, 1.0, 1.0, 0.72},
        {"D2 one circuit", Pvc, {D2, 20.0, 2.5, 1, {}}, 1.0, 1.0, 1.0},
        {"D1 one circuit at 0.25 m", Pvc, {D1, 20.0, 2.5, 1, 0.25}, 1.0, 1.0, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto iz =
            currentCarryingCapacity(shippedTables(), Cu, c.insulation, 50, c.conditions);
        ASSERT_TRUE(iz.ok()) << iz.reason().toStdString();
        EXPECT_EQ(iz->temperatureFactor, c.kt);
        EXPECT_EQ(iz->resistivityFactor, c.kRho);
        EXPECT_EQ(iz->groupingFactor, c.kg);
    }
    const auto between =
        currentCarryingCapacity(shippedTables(), Cu, Pvc, 50, {E, 33.0, {}, 1, {}});
    ASSERT_TRUE(between.ok());
    EXPECT_EQ(between->temperatureRule,
              u8("环境空气温度 33 ℃，介于两行之间，取较高的 35 ℃ 行，表B.52.14"));
}

// Whatever is missing, impossible or beyond the tables is not computed, naming the field.
TEST(CurrentCarryingCapacity, NotComputedWithItsReason) {
    struct Cable {
        ConductorMaterial material;
        Insulation insulation;
        double sectionMm2;
    };
    struct Case {
        const char* reason;
        Cable cable;
        InstallationConditions conditions;
    };
    const Case cases[] = {
        {"敷设方式：缺少数值", {Cu, Pvc, 50}, {{}, 30.0, 2.5, 1, 0.0}},
        {"敷设处温度(℃)：缺少数值", {Cu, Pvc, 50}, {D2, {}, 2.5, 1, 0.0}},
        {"土壤热阻系数(K·m/W)：缺少数值", {Cu, Pvc, 50}, {D1, 20.0, {}, 1, 0.0}},
        {"并列回路数：缺少数值", {Cu, Pvc, 50}, {D1, 20.0, 2.5, {}, 0.0}},
        {"回路间距(m)：缺少数值", {Cu, Pvc, 50}, {D2, 20.0, 2.5, 2, {}}},
        {"土壤热阻系数(K·m/W)：应大于0", {Cu, Pvc, 50}, {D2, 20.0, 0.0, 1, {}}},
        {"土壤热阻系数(K·m/W)：应大于0", {Cu, Pvc, 50}, {D1, 20.0, -1.0, 1, {}}},
        {"并列回路数：应不小于1", {Cu, Pvc, 50}, {E, 30.0, {}, 0, {}}},
        {"回路间距(m)：不能为负数", {Cu, Pvc, 50}, {D2, 20.0, 2.5, 2, -0.1}},
        {"敷设处温度(℃)：70 ℃ 不低于PVC绝缘导体的最高允许温度 70 ℃",
         {Cu, Pvc, 50},
         {E, 70.0, {}, 1, {}}},
        {"敷设处温度(℃)：90 ℃ 不低于XLPE绝缘导体的最高允许温度 90 ℃",
         {Cu, Xlpe, 50},
         {D2, 90.0, 2.5, 1, {}}},
        {"敷设处温度(℃)：65 ℃ 超出表B.52.14 PVC绝缘的范围（10–60 ℃）",
         {Cu, Pvc, 50},
         {E, 65.0, {}, 1, {}}},
        {"敷设处温度(℃)：5 ℃ 超出表B.52.15 XLPE绝缘的范围（10–80 ℃）",
         {Cu, Xlpe, 50},
         {D1, 5.0, 2.5, 1, {}}},
        {"土壤热阻系数(K·m/W)：3.5 超出表B.52.16 的范围（0.5–3 K·m/W）",
         {Cu, Pvc, 50},
         {D2, 20.0, 3.5, 1, {}}},
        {"土壤热阻系数(K·m/W)：0.4 超出表B.52.16 的范围（0.5–3 K·m/W）",
         {Cu, Pvc, 50},
         {D1, 20.0, 0.4, 1, {}}},
        {"并列回路数：10 超过表B.52.17所列的最多回路数 9", {Cu, Pvc, 50}, {E, 30.0, {}, 10, 0.0}},
        {"并列回路数：21 超过表B.52.18所列的最多回路数 20",
         {Cu, Pvc, 50},
         {D2, 20.0, 2.5, 21, 0.5}},
        {"并列回路数：13 超过表B.52.19所列的最多回路数 12",
         {Cu, Pvc, 50},
         {D1, 20.0, 2.5, 13, 1.0}},
        {"载流量表中无铝芯PVC电缆 1.5 mm² 的桥架或明敷(E)敷设载流量",
         {Al, Pvc, 1.5},
         {E, 30.0, {}, 1, {}}},
        {"载流量表中无铝芯XLPE电缆 10 mm² 的直埋(D2)敷设载流量",
         {Al, Xlpe, 10},
         {D2, 20.0, 2.5, 1, {}}},
        {"载流量表中无铜芯PVC电缆 400 mm² 的穿管埋地(D1)敷设载流量",
         {Cu, Pvc, 400},
         {D1, 20.0, 2.5, 1, {}}},
    };
    for (const Case& c : cases) {
        const auto iz =
            currentCarryingCapacity(shippedTables(), c.cable.material, c.cable.insulation,
                                    c.cable.sectionMm2, c.conditions);
        EXPECT_FALSE(iz.ok()) << c.reason;
        EXPECT_EQ(iz.reason(), u8(c.reason));
    }
    // Without any table nothing is computed either.
    const auto none = currentCarryingCapacity(CapacityTables{}, Cu, Pvc, 50, {E, 30.0, {}, 1, {}});
    EXPECT_EQ(none.reason(), u8("载流量表中无铜芯PVC电缆 50 mm² 的桥架或明敷(E)敷设载流量"));
}

TEST(CurrentCarryingCapacity, MethodTextsAndEffectiveConditions) {
    const char* texts[] = {"桥架或明敷(E)", "穿管埋地(D1)", "直埋(D2)"};
    const char* codes[] = {"E", "D1", "D2"};
    const bool ground[] = {false, true, true};
    for (std::size_t i = 0; i < std::size(kLayingMethods); ++i) {
        const LayingMethod method = kLayingMethods[i];
        EXPECT_EQ(text(method), u8(texts[i]));
        EXPECT_EQ(layingMethodOf(u8(texts[i])), method);
        EXPECT_EQ(methodCode(method), u8(codes[i]));
        EXPECT_EQ(inGround(method), ground[i]);
    }
    EXPECT_FALSE(layingMethodOf(u8("直埋")).has_value());

    const InstallationConditions own{{}, 35.0, {}, 3, {}};
    const InstallationConditions project{D2, 25.0, 1.5, 1, 0.25};
    const InstallationConditions expected{D2, 35.0, 1.5, 3, 0.25};
    EXPECT_EQ(effectiveConditions(own, project), expected);
    EXPECT_EQ(effectiveConditions({}, {}), InstallationConditions{});
}

// Table E.52.1: 0–15 % 1.0 on the phase current, 15–33 % 0.86 on the phase current, 33–45 %
// 0.86 on the neutral current, above 45 % 1.0 on the neutral current; a band's edge belongs to
// the band below it.
TEST(CapacityHarmonics, BandsOfTableE52_1) {
    struct Case {
        double percent;
        double factor;
        bool onNeutral;
    };
    const Case cases[] = {{0, 1.0, false},   {15, 1.0, false},   {15.1, 0.86, false},
                          {33, 0.86, false}, {33.1, 0.86, true}, {45, 0.86, true},
                          {45.1, 1.0, true}, {100, 1.0, true}};
    for (const Case& c : cases) {
        const auto r = harmonicReduction(c.percent);
        ASSERT_TRUE(r.ok()) << c.percent;
        EXPECT_EQ(r->factor, c.factor) << c.percent;
        EXPECT_EQ(r->onNeutral, c.onNeutral) << c.percent;
    }
    for (double bad : {-0.1, 100.1, std::nan("")})
        EXPECT_EQ(harmonicReduction(bad).reason(), u8("三次谐波含量(%)：应在0至100之间")) << bad;
}

// Annex E, the worked example: a 39 A three-phase load on a four-core cable.
TEST(CapacityHarmonics, AnnexEWorkedExample) {
    const double phaseA = 39.0;
    struct Case {
        double percent;
        double designA; // the current the cable is sized for, as annex E gives it
    };
    // 20 %: 39 / 0.86 = 45.3 A on the phase current; 40 %: IN = 3 · 0.4 · 39 = 46.8 A and
    // 46.8 / 0.86 = 54.4 A on the neutral; 50 %: IN = 3 · 0.5 · 39 = 58.5 A with factor 1.
    const Case cases[] = {{20, 45.3}, {40, 54.4}, {50, 58.5}};
    for (const Case& c : cases) {
        const auto r = harmonicReduction(c.percent);
        ASSERT_TRUE(r.ok());
        const double sizedOnA =
            r->onNeutral ? neutralCurrentWithHarmonics(0.0, 3 * phaseA, c.percent) : phaseA;
        EXPECT_NEAR(sizedOnA / r->factor, c.designA, 0.05) << c.percent << " %";
    }
    EXPECT_NEAR(neutralCurrentWithHarmonics(0.0, 3 * phaseA, 40), 46.8, 1e-9);
}

// IN = √(IN1² + (h·ΣIL)²), by hand.
TEST(CapacityHarmonics, NeutralCurrentWithHarmonics) {
    struct Case {
        double fundamentalA, sumA, percent, neutralA;
    };
    const Case cases[] = {
        {10, 30 + 40 + 50, 20, 26},        // √(10² + 24²) = 26
        {10, 120, 0, 10},                  // no harmonics: the fundamental imbalance alone
        {0, 3 * 50, 33, 49.5},             // balanced: 3 · 0.33 · 50
        {6, 3 * 40, 6.66666666666667, 10}, // √(6² + 8²)
    };
    for (const Case& c : cases)
        EXPECT_NEAR(neutralCurrentWithHarmonics(c.fundamentalA, c.sumA, c.percent), c.neutralA,
                    1e-9);
}

// IEC 61000-3-2 table 2, class C: 30·λ %.
TEST(CapacityHarmonics, ClassCThirdHarmonicLimit) {
    EXPECT_DOUBLE_EQ(classCThirdHarmonicLimitPercent(0.9), 27.0);
    EXPECT_DOUBLE_EQ(classCThirdHarmonicLimitPercent(1.0), 30.0);
    EXPECT_DOUBLE_EQ(classCThirdHarmonicLimitPercent(0.95), 28.5);
}

// GB 50054-2011 6.3.3: Ib ≤ In ≤ Iz and I2 ≤ 1.45·Iz, each at its boundary and just beyond.
TEST(CapacityOverload, ConditionsAtTheirBoundaries) {
    struct Case {
        const char* what;
        double ib, in, factor, iz;
        bool load, rating, trip;
    };
    const Case cases[] = {
        {"In = Iz, I2 = 1.45·Iz", 20, 25, 1.45, 25, true, true, true},
        {"Ib = In", 25, 25, 1.45, 30, true, true, true},
        {"Ib just above In", 25.01, 25, 1.45, 30, false, true, true},
        {"In just above Iz", 20, 25, 1.30, 24.99, true, false, true},
        // 1.4501 · 20 = 29.002 > 1.45 · 20 = 29
        {"I2 just above 1.45·Iz", 16, 20, 1.4501, 20, true, true, false},
        // 1.30 · 58 = 75.4 = 1.45 · 52, each product rounded on its own
        {"I2 = 1.45·Iz by other factors", 50, 58, 1.30, 52, true, false, true},
        {"breaker to IEC 60947-2", 90, 100, 1.30, 100, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const OverloadProtection p = checkOverloadProtection(c.ib, c.in, c.factor, c.iz);
        EXPECT_EQ(p.loadWithinRating, c.load);
        EXPECT_EQ(p.ratingWithinCapacity, c.rating);
        EXPECT_EQ(p.tripWithinLimit, c.trip);
        EXPECT_EQ(p.passed(), c.load && c.rating && c.trip);
        EXPECT_DOUBLE_EQ(p.conventionalTripA, c.factor * c.in);
    }
}

} // namespace
} // namespace korvane::testing
