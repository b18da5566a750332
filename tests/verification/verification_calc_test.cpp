// Selections and checks of the line verification, value by value.

#include "verification/verification.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

namespace korvane {
namespace {

constexpr std::optional<int> kNone = std::nullopt;

TEST(VerificationSelection, LineClassByOneAndAHalfTimesTheLoadCurrent) {
    struct Case {
        const char* what;
        double ib;
        std::optional<int> in;
        std::optional<int> ie;
    };
    const Case cases[] = {
        {"Ib 5, x 7.5", 5.0, 16, 18},
        {"x 0", 0.0, 16, 18},
        {"x exactly 14", 14.0 / 1.5, 16, 18},
        {"x 14.01", 9.34, 20, 25},
        {"Ib 10, x 15", 10.0, 20, 25},
        {"x exactly 18", 12.0, 20, 25},
        {"x 18.015", 12.01, 25, 25},
        {"x exactly 23", 23.0 / 1.5, 25, 25},
        {"x exactly 30", 20.0, 32, 32},
        {"x exactly 38", 38.0 / 1.5, 40, 40},
        {"x exactly 48", 32.0, 50, 50},
        {"x exactly 60", 40.0, 63, 65},
        {"x 60.015", 40.01, 80, 80},
        {"x exactly 75", 50.0, 80, 80},
        {"x exactly 90", 60.0, 100, 105},
        {"Ib 62, x 93", 62.0, 125, 125},
        {"x exactly 125", 125.0 / 1.5, 125, 125},
        {"x exactly 140", 140.0 / 1.5, 140, 150},
        {"x exactly 160", 160.0 / 1.5, 160, 180},
        {"Ib 106.7, x 160.05", 106.7, kNone, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LineSwitchgear line = selectLineSwitchgear(c.ib);
        EXPECT_TRUE(line.computed);
        EXPECT_EQ(line.breakerRatedA, c.in);
        EXPECT_EQ(line.contactorRatedA, c.ie);
        EXPECT_EQ(line.outOfRange, !c.in.has_value());
    }
    EXPECT_FALSE(selectLineSwitchgear(std::numeric_limits<double>::max()).computed);
}

TEST(VerificationSelection, ResidualSettingNotBelowFourTimesTheLeakage) {
    struct Case {
        double perKm;
        double lengthKm;
        double ixn;
        std::optional<int> ivn;
    };
    const Case cases[] = {
        {15, 0.5, 7.5, 30},  {16, 0.5, 8, 100},   {50, 0.5, 25, 100},   {60, 0.5, 30, 200},
        {100, 0.5, 50, 200}, {150, 0.5, 75, 300}, {250, 0.5, 125, 500}, {252, 0.5, 126, kNone},
        {0, 0.5, 0, 30},     {75, 0.1, 7.5, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ixn);
        const ResidualCurrentSetting setting = selectResidualCurrentSetting(c.perKm, c.lengthKm);
        EXPECT_TRUE(setting.computed);
        EXPECT_NEAR(setting.leakageMa, c.ixn, 1e-12);
        EXPECT_NEAR(setting.settingFloorMa, 4 * c.ixn, 1e-12);
        EXPECT_EQ(setting.ratedResidualMa, c.ivn);
    }
}

TEST(VerificationSelection, TransformerClassByRatedCapacity) {
    struct Case {
        double kva;
        std::optional<int> qs;
        std::optional<int> qf;
        bool outOfRange;
    };
    const Case cases[] = {
        {10, 18, 16, false},         {20, 32, 32, false},          {63, 105, 100, false},
        {80, 150, 140, false},       {160, 350, 315, false},       {200, 400, 350, false},
        {315, 600, 500, false},      {400, 800, 700, false},       {630, 1000, 1000, false},
        {1000, 1600, 1600, false},   {1250, 2000, 2000, false},    {1600, kNone, kNone, true},
        {2000, kNone, kNone, false}, {400.5, kNone, kNone, false}, {0, kNone, kNone, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kva);
        const TransformerSwitchgear t = selectTransformerSwitchgear(c.kva);
        EXPECT_EQ(t.isolatorRatedA, c.qs);
        EXPECT_EQ(t.breakerRatedA, c.qf);
        EXPECT_EQ(t.capacityOutOfRange, c.outOfRange);
    }
}

TEST(VerificationChecks, LoopResistanceAgainstItsLimit) {
    struct Case {
        const char* what;
        double lengthKm;
        double in;
        double rphp;
        bool computed;
        double limit;
        bool passed;
    };
    const Case cases[] = {
        {"Rphp < Rlim", 0.5, 32, 2.5, true, 2.75, true},
        {"Rphp = Rlim", 0.5, 32, 2.75, true, 2.75, true},
        {"Rphp > Rlim", 0.5, 32, 3.0, true, 2.75, false},
        {"Rlim = Rphp as written", 0.55, 25, 3.2, true, 3.2, true},
        {"L = 0", 0.0, 32, 1.0, false, 0, false},
        {"In unset", 0.5, 0, 1.0, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LoopResistanceCheck check = checkLoopResistance(c.lengthKm, c.in, c.rphp);
        EXPECT_EQ(check.computed, c.computed);
        if (c.computed) {
            EXPECT_DOUBLE_EQ(check.limitOhmPerKm, c.limit);
            EXPECT_EQ(check.passed, c.passed);
        }
    }
}

TEST(VerificationChecks, SensitivityJudgedAsWrittenWithTwoDecimals) {
    struct Case {
        double idKa;
        const char* text;
        bool below;
    };
    const Case cases[] = {
        {0.15, "1.17", true},       {0.16575, "1.29", true}, {0.16576, "1.30", false},
        {0.1664, "1.30", false},    {2.0, "15.63", false},   {0.0, "0.00", true},
        {200.0, "1,562.50", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.idKa);
        const SensitivityCheck check = checkSensitivity(c.idKa, 32);
        EXPECT_TRUE(check.computed);
        EXPECT_EQ(check.text.toStdString(), c.text);
        EXPECT_EQ(check.belowMinimum, c.below);
    }
    EXPECT_FALSE(checkSensitivity(1.0, 0).computed);
}

TEST(VerificationChecks, ThermalMinimumCrossSection) {
    struct Case {
        double t;
        double ik3;
        double k;
        bool computed;
        const char* text;
    };
    const Case cases[] = {
        {1.0, 5.0, 115, true, "43.4783"}, {0.5, 5.3509, 115, true, "32.9014"},
        {0.0, 5.0, 115, true, "0.0000"},  {1.0, 3.5, 100, true, "35.0000"},
        {-0.1, 5.0, 115, false, ""},      {1.0, 5.0, 0, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ThermalStability thermal = thermalMinimumCrossSection(c.t, c.ik3, c.k);
        EXPECT_EQ(thermal.computed, c.computed);
        EXPECT_EQ(thermal.text.toStdString(), c.text);
    }
}

} // namespace
} // namespace korvane
