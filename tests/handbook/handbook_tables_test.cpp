// The handbook tables as numbers: spot figures of each table, the blank cells that stay
// missing, and the loop resistances against the formula their table is computed by.

#include "handbook/handbook_tables.h"

#include <gtest/gtest.h>

#include <optional>

namespace korvane::testing {
namespace {

constexpr ConductorMaterial Cu = ConductorMaterial::Copper;
constexpr ConductorMaterial Al = ConductorMaterial::Aluminium;

// Figures of 《工业与民用配电设计手册》第三版, the tables of low-voltage line impedance per unit
// length (R′ at 20 °C, X′ of four-core cables, R′php and X′php of four-core cables) and of the
// leakage current per km of 220/380 V lines in conduit, mΩ/m and mA/km; a blank cell of the
// table is missing, and so is a section the table has no column for.
TEST(HandbookTables, SpotFiguresOfEachTable) {
    struct Spot {
        const char* table;
        const SectionRow& row;
        double sectionMm2;
        std::optional<double> expected;
    };
    const Spot spots[] = {
        {"R′ copper", conductorResistance(Cu), 95, 0.185},
        {"R′ copper", conductorResistance(Cu), 1.5, 11.467},
        {"R′ aluminium", conductorResistance(Al), 16, 1.798},
        {"R′ aluminium", conductorResistance(Al), 2.5, 11.28},
        {"R′ aluminium", conductorResistance(Al), 1.5, std::nullopt},
        {"R′ copper", conductorResistance(Cu), 240, std::nullopt},
        {"X′ PVC", cableReactance(Insulation::Pvc), 4, 0.100},
        {"X′ PVC", cableReactance(Insulation::Pvc), 95, 0.079},
        {"X′ XLPE", cableReactance(Insulation::Xlpe), 150, 0.077},
        {"X′ XLPE", cableReactance(Insulation::Xlpe), 185, std::nullopt},
        {"X′ PVC", cableReactance(Insulation::Pvc), 2.5, std::nullopt},
        {"R′php copper", fourCoreLoopResistance(Cu), 185, 0.285},
        {"R′php aluminium", fourCoreLoopResistance(Al), 2.5, 33.840},
        {"R′php copper", fourCoreLoopResistance(Cu), 1.5, std::nullopt},
        {"X′php Sp=S", allPlasticLoopReactance(ProtectiveSection::Full), 16, 0.174},
        {"X′php Sp=S/2", allPlasticLoopReactance(ProtectiveSection::Half), 70, 0.178},
        {"X′php Sp=S/2", allPlasticLoopReactance(ProtectiveSection::Half), 6, 0.211},
        {"leakage PVC", leakagePerKm(Insulation::Pvc), 185, 116},
        {"leakage PVC", leakagePerKm(Insulation::Pvc), 25, 70},
        {"leakage XLPE", leakagePerKm(Insulation::Xlpe), 4, 17},
        {"leakage XLPE", leakagePerKm(Insulation::Xlpe), 120, 38},
        {"leakage XLPE", leakagePerKm(Insulation::Xlpe), 2.5, std::nullopt},
    };
    for (const Spot& s : spots)
        EXPECT_EQ(s.row.at(s.sectionMm2), s.expected) << s.table << " at " << s.sectionMm2;

    // A 3+1-core row: 35 mm² phases with a 16 mm² protective core.
    const auto& threePlusOne = threePlusOneLoopResistance();
    ASSERT_EQ(threePlusOne.size(), 13u);
    EXPECT_EQ(threePlusOne[6].phaseMm2, 35.0);
    EXPECT_EQ(threePlusOne[6].protectiveMm2, 16.0);
    EXPECT_EQ(threePlusOne[6].aluminium, 3.930);
    EXPECT_EQ(threePlusOne[6].copper, 2.397);
    EXPECT_FALSE(threePlusOne.back().protectiveMm2); // 2.5 mm² has no 3+1 cable
}

// Sections compare as numbers, not as texts: 2.5 is found however it was computed.
TEST(HandbookTables, SectionsCompareAsNumbers) {
    EXPECT_EQ(conductorResistance(Cu).at(5.0 / 2.0), 6.880);
    EXPECT_EQ(conductorResistance(Cu).at(0.1 * 25.0), 6.880);
    EXPECT_FALSE(conductorResistance(Cu).at(2.6));
}

// R′php = 1.5·(R′ph + R′p), the formula in the title of the R′php table: 3·R′ for a four-core
// cable (Sp = S), and R′ of the phase plus R′ of the protective core for a 3+1-core cable, each
// to the three decimals the table gives. By hand: copper 50 mm² 3 × 0.351 = 1.053; copper 185
// + 95 mm² 1.5 × (0.095 + 0.185) = 0.420.
TEST(HandbookTables, LoopResistanceIsOneAndAHalfTimesPhaseAndProtective) {
    // Half a unit of the third decimal, which the table rounds half up (0.6885 prints 0.689).
    constexpr double kRounding = 0.0005 + 1e-9;
    for (ConductorMaterial m : {Cu, Al})
        for (const SectionFigure& loop : fourCoreLoopResistance(m).figures) {
            SCOPED_TRACE(::testing::Message() << (m == Cu ? "Cu " : "Al ") << loop.sectionMm2);
            const auto r = conductorResistance(m).at(loop.sectionMm2);
            ASSERT_TRUE(r && loop.value);
            if (m == Al && loop.sectionMm2 == 6.0) {
                // The table prints 14.000 for aluminium 6 mm², where 3 × 4.700 = 14.100; its own
                // 3+1 rows take R′ = 4.700 (1.5 × (2.876 + 4.700) = 11.364, 10 + 6 mm²). The
                // printed figure is kept, and this pins it until checked against the handbook.
                EXPECT_EQ(*loop.value, 14.000);
                continue;
            }
            EXPECT_NEAR(*loop.value, 3.0 * *r, kRounding);
        }
    for (const ThreePlusOneLoop& loop : threePlusOneLoopResistance()) {
        if (!loop.protectiveMm2)
            continue;
        SCOPED_TRACE(::testing::Message() << loop.phaseMm2 << " + " << *loop.protectiveMm2);
        for (const auto& [m, figure] :
             {std::pair{Cu, loop.copper}, std::pair{Al, loop.aluminium}}) {
            const auto phase = conductorResistance(m).at(loop.phaseMm2);
            const auto protective = conductorResistance(m).at(*loop.protectiveMm2);
            ASSERT_TRUE(phase && protective && figure);
            EXPECT_NEAR(*figure, 1.5 * (*phase + *protective), kRounding);
        }
    }
}

// K of IEC 60364-4-43 Table 43A (GB 50054 takes the same): PVC up to 300 mm² copper 115,
// aluminium 76; XLPE copper 143, aluminium 94.
TEST(HandbookTables, ThermalCoefficientOfEachConductorAndInsulation) {
    EXPECT_EQ(thermalCoefficient(Cu, Insulation::Pvc), 115.0);
    EXPECT_EQ(thermalCoefficient(Al, Insulation::Pvc), 76.0);
    EXPECT_EQ(thermalCoefficient(Cu, Insulation::Xlpe), 143.0);
    EXPECT_EQ(thermalCoefficient(Al, Insulation::Xlpe), 94.0);
}

} // namespace
} // namespace korvane::testing
