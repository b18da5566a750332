#include "short_circuit/short_circuit.h"

#include "base/number_format.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <optional>
#include <string>

namespace korvane {
namespace {

// The handbook's worked example: S″s = 100 MVA; 400 kVA transformer, uk = 4 %, ΔP = 4.3 kW;
// 5 m of busbar (0.025, 0.15, 0.05, 0.3 mΩ/m); 0.1 km of line (R0 0.3, X0 0.08, Rphp 0.9,
// Xphp 0.16, R' 0.6, X' 0.15 mΩ/m). c·Un = 399 V, (c·Un)² = 159201 V².
ShortCircuitInput workedExample() {
    ShortCircuitInput input;
    input.systemCapacityMva = 100.0;
    input.transformerUkPercent = 4.0;
    input.transformerRatedKva = 400.0;
    input.transformerLoadLossKw = 4.3;
    input.busbarPerMetre = {0.025, 0.15, 0.05, 0.3};
    input.busbarLengthM = 5.0;
    input.linePerMetre = {0.3, 0.08, 0.9, 0.16};
    input.lineNeutralResistancePerMetre = 0.6;
    input.lineNeutralReactancePerMetre = 0.15;
    input.lineLengthKm = 0.1;
    return input;
}

struct Intermediate {
    const char* name;
    double ShortCircuitResult::*scalar;
    Impedance ShortCircuitResult::*impedance;
    double Impedance::*part;
    double expected; // mΩ (m for L), by hand
};

double valueOf(const ShortCircuitResult& result, const Intermediate& step) {
    return step.scalar != nullptr ? result.*step.scalar : result.*step.impedance.*step.part;
}

TEST(ShortCircuit, WorkedExampleImpedancesByHand) {
    using R = ShortCircuitResult;
    const Intermediate steps[] = {
        {"Zs = 159201/100·1e-3", &R::zs, nullptr, nullptr, 1.59201},
        {"Xs = 0.995·Zs", nullptr, &R::system, &Impedance::x, 1.58404995},
        {"Rs = 0.1·Xs", nullptr, &R::system, &Impedance::r, 0.158404995},
        {"Rphp.s = 2·Rs/3", nullptr, &R::systemLoop, &Impedance::r, 0.10560333},
        {"Xphp.s = 2·Xs/3", nullptr, &R::systemLoop, &Impedance::x, 1.0560333},
        {"Zt = 4·159201/40000", &R::zt, nullptr, nullptr, 15.9201},
        {"Rt = 4.3·159201/160000", nullptr, &R::transformer, &Impedance::r, 4.278526875},
        {"Xt = √(Zt² − Rt²)", nullptr, &R::transformer, &Impedance::x, 15.334398970612},
        {"Rm = 5·0.025", nullptr, &R::busbar, &Impedance::r, 0.125},
        {"Xm = 5·0.15", nullptr, &R::busbar, &Impedance::x, 0.75},
        {"Rphp.m = 5·0.05", nullptr, &R::busbarLoop, &Impedance::r, 0.25},
        {"Xphp.m = 5·0.3", nullptr, &R::busbarLoop, &Impedance::x, 1.5},
        {"L = 1000·0.1", &R::lineLengthM, nullptr, nullptr, 100.0},
        {"RL = 100·0.3", nullptr, &R::line, &Impedance::r, 30.0},
        {"XL = 100·0.08", nullptr, &R::line, &Impedance::x, 8.0},
        {"Rphp.L = 100·0.9", nullptr, &R::lineLoop, &Impedance::r, 90.0},
        {"Xphp.L = 100·0.16", nullptr, &R::lineLoop, &Impedance::x, 16.0},
        {"R'L = 100·0.6", nullptr, &R::lineNeutral, &Impedance::r, 60.0},
        {"X'L = 100·0.15", nullptr, &R::lineNeutral, &Impedance::x, 15.0},
        {"RΣ = Rs + Rt + Rm + RL", nullptr, &R::total, &Impedance::r, 34.56193187},
        {"XΣ = Xs + Xt + Xm + XL", nullptr, &R::total, &Impedance::x, 25.668448920612},
        {"ZΣ", &R::zTotal, nullptr, nullptr, 43.051090631674},
        {"Rphp = Rphp.s + Rt + Rphp.m + Rphp.L", nullptr, &R::loop, &Impedance::r, 94.634130205},
        {"Xphp = Xphp.s + Xt + Xphp.m + Xphp.L", nullptr, &R::loop, &Impedance::x, 33.890432270612},
        {"Zphp", &R::zLoop, nullptr, nullptr, 100.519550332987},
        {"R1 = Rs + Rt + Rm + R'L", nullptr, &R::neutralLoop, &Impedance::r, 64.56193187},
        {"X1 = Xs + Xt + Xm + X'L", nullptr, &R::neutralLoop, &Impedance::x, 32.668448920612},
        {"Z1", &R::zNeutralLoop, nullptr, nullptr, 72.356551891761},
    };
    const Computed<ShortCircuitResult> result = computeShortCircuit(workedExample());
    ASSERT_TRUE(result);
    for (const Intermediate& step : steps) {
        EXPECT_NEAR(valueOf(*result, step), step.expected, 1e-9) << step.name;
    }
}

struct CurrentsCase {
    const char* label;
    double ratedKva;
    double loadLossKw;
    double lineKm;
    const char* ik3; // kA, four decimals
    const char* ik2;
    const char* id;
    const char* ik1;
};

// Currents of the worked network for other transformers and line lengths, evaluated by hand to
// twelve decimals: I″k3 = 399/(√3·ZΣ), I″k2 = 0.866·I″k3, Id = 380/(√3·Zphp), I″k1 = 380/(√3·Z1).
TEST(ShortCircuit, CurrentsAtTheLineEnd) {
    const CurrentsCase cases[] = {
        // ZΣ 43.051091, Zphp 100.519550, Z1 72.356552: I″k3 5.350916
        {"worked example", 400.0, 4.3, 0.1, "5.3509", "4.6339", "2.1826", "3.0321"},
        // at the busbar end ZΣ = Z1 = 18.247885, Zphp 18.480875
        {"no line", 400.0, 4.3, 0.0, "12.6241", "10.9325", "11.8714", "12.0229"},
        // ZΣ 319.839172, Zphp 921.958738, Z1 627.381732: every current below 1 kA
        {"1 km of line", 400.0, 4.3, 1.0, "0.7202", "0.6237", "0.2380", "0.3497"},
        // Zt 10.108, Rt 2.486889: ZΣ 38.459892, Zphp 97.075433, Z1 68.382891
        {"630 kVA", 630.0, 6.2, 0.1, "5.9897", "5.1871", "2.2600", "3.2083"},
    };
    for (const CurrentsCase& c : cases) {
        ShortCircuitInput input = workedExample();
        input.transformerRatedKva = c.ratedKva;
        input.transformerLoadLossKw = c.loadLossKw;
        input.lineLengthKm = c.lineKm;
        const Computed<ShortCircuitResult> result = computeShortCircuit(input);
        ASSERT_TRUE(result) << c.label;
        EXPECT_EQ(formatFixed(result->ik3, 4).toStdString(), c.ik3) << c.label;
        EXPECT_EQ(formatFixed(result->ik2, 4).toStdString(), c.ik2) << c.label;
        EXPECT_EQ(formatFixed(result->id, 4).toStdString(), c.id) << c.label;
        EXPECT_EQ(formatFixed(result->ik1, 4).toStdString(), c.ik1) << c.label;
    }
}

TEST(ShortCircuit, SecondTransformer) {
    ShortCircuitInput input = workedExample();
    input.transformerRatedKva = 630.0;
    input.transformerLoadLossKw = 6.2;
    const Computed<ShortCircuitResult> result = computeShortCircuit(input);
    ASSERT_TRUE(result);
    EXPECT_NEAR(result->zt, 10.108, 1e-12);                             // 4·159201/63000
    EXPECT_NEAR(result->transformer.r, 159201.0 * 6.2 / 396900, 1e-12); // 2.486889
    EXPECT_NEAR(result->transformer.x, 9.797297977214, 1e-9);
}

// ΔP = 16 kW makes Rt = 16·159201/160000 = 15.9201 = Zt: both are the correctly rounded quotient
// of the same number, so Xt is exactly zero. A hair more and Xt has no real value.
TEST(ShortCircuit, TransformerResistanceUpToItsImpedance) {
    ShortCircuitInput input = workedExample();
    input.transformerLoadLossKw = 16.0;
    const Computed<ShortCircuitResult> atLimit = computeShortCircuit(input);
    ASSERT_TRUE(atLimit);
    EXPECT_EQ(atLimit->transformer.r, atLimit->zt);
    EXPECT_EQ(atLimit->transformer.x, 0.0);

    input.transformerLoadLossKw = 16.0001;
    EXPECT_FALSE(computeShortCircuit(input));
}

TEST(ShortCircuit, FailsWhenAStepCannotBeEvaluated) {
    struct Case {
        const char* label;
        std::function<void(ShortCircuitInput&)> change;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"S″s = 0", [](ShortCircuitInput& in) { in.systemCapacityMva = 0.0; }},
        // 159201 / 1e-320 overflows
        {"subnormal S″s", [](ShortCircuitInput& in) { in.systemCapacityMva = 1e-320; }},
        {"Sr = 0", [](ShortCircuitInput& in) { in.transformerRatedKva = 0.0; }},
        // 100·Sr and Sr² overflow; the quotients alone would come out as a plausible Zt = Rt = 0
        {"Sr = 1e307", [](ShortCircuitInput& in) { in.transformerRatedKva = 1e307; }},
        // Rt = 17·159201/160000 = 16.9151 > Zt = 15.9201
        {"Rt > Zt", [](ShortCircuitInput& in) { in.transformerLoadLossKw = 17.0; }},
        {"1000·L overflows", [](ShortCircuitInput& in) { in.lineLengthKm = 1e306; }},
        {"XΣ² overflows", [](ShortCircuitInput& in) { in.linePerMetre.reactance = 1e160; }},
        {"NaN busbar length", [nan](ShortCircuitInput& in) { in.busbarLengthM = nan; }},
    };
    for (const Case& c : cases) {
        ShortCircuitInput input = workedExample();
        c.change(input);
        EXPECT_FALSE(computeShortCircuit(input)) << c.label;
    }
}

// A negative busbar or line that exactly cancels the source and transformer leaves a loop with
// zero impedance, and its current with a zero divisor.
TEST(ShortCircuit, FailsOnAZeroLoopImpedance) {
    ShortCircuitInput base = workedExample();
    base.busbarLengthM = 1.0;
    base.busbarPerMetre = {};
    base.lineLengthKm = 0.0;
    const Computed<ShortCircuitResult> source = computeShortCircuit(base);
    ASSERT_TRUE(source);
    const double rst = source->system.r + source->transformer.r;
    const double xst = source->system.x + source->transformer.x;
    const double rstLoop = source->systemLoop.r + source->transformer.r;
    const double xstLoop = source->systemLoop.x + source->transformer.x;

    ShortCircuitInput zeroTotal = base;
    zeroTotal.busbarPerMetre.resistance = -rst;
    zeroTotal.busbarPerMetre.reactance = -xst;
    EXPECT_FALSE(computeShortCircuit(zeroTotal)) << "ZΣ = 0";

    ShortCircuitInput zeroLoop = base;
    zeroLoop.busbarPerMetre.loopResistance = -rstLoop;
    zeroLoop.busbarPerMetre.loopReactance = -xstLoop;
    EXPECT_FALSE(computeShortCircuit(zeroLoop)) << "Zphp = 0";

    ShortCircuitInput zeroNeutral = base;
    zeroNeutral.lineLengthKm = 0.001; // 1 m
    zeroNeutral.lineNeutralResistancePerMetre = -rst;
    zeroNeutral.lineNeutralReactancePerMetre = -xst;
    EXPECT_FALSE(computeShortCircuit(zeroNeutral)) << "Z1 = 0";
}

TEST(ShortCircuit, NegativeInputsAreNotRejected) {
    ShortCircuitInput input = workedExample();
    input.systemCapacityMva = -100.0;
    input.busbarLengthM = -5.0;
    const Computed<ShortCircuitResult> result = computeShortCircuit(input);
    ASSERT_TRUE(result);
    EXPECT_NEAR(result->zs, -1.59201, 1e-12);
    EXPECT_NEAR(result->busbar.x, -0.75, 1e-12);
}

// A line of zero length leaves the currents of the busbar end, the same as a line of any length
// whose impedances are all zero.
TEST(ShortCircuit, ZeroLineLengthGivesTheBusbarEndCurrents) {
    ShortCircuitInput noLength = workedExample();
    noLength.lineLengthKm = 0.0;
    ShortCircuitInput noImpedance = workedExample();
    noImpedance.linePerMetre = {};
    noImpedance.lineNeutralResistancePerMetre = 0.0;
    noImpedance.lineNeutralReactancePerMetre = 0.0;
    const Computed<ShortCircuitResult> a = computeShortCircuit(noLength);
    const Computed<ShortCircuitResult> b = computeShortCircuit(noImpedance);
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    EXPECT_EQ(a->lineLengthM, 0.0);
    EXPECT_EQ(a->ik3, b->ik3);
    EXPECT_EQ(a->ik2, b->ik2);
    EXPECT_EQ(a->id, b->id);
    EXPECT_EQ(a->ik1, b->ik1);
}

// The line length and ZΣ go on as their 15-digit text: 1000 × 0.0071 is 7.1000000000000005 in
// binary, and √(XΣ² + RΣ²) comes out as 19.425499257079803 for that line, 18.247885073256924 at
// the busbar end and
// 319.83917248977605 for 1 km of line.
TEST(ShortCircuit, LineLengthAndTotalImpedanceAreCarriedAsTheirText) {
    struct Case {
        double lineKm;
        double lineLengthM;
        double zTotal;
    };
    const Case cases[] = {
        {0.0071, 7.1, 19.4254992570798},
        {0.0, 0.0, 18.2478850732569},
        {1.0, 1000.0, 319.839172489776},
    };
    for (const Case& c : cases) {
        ShortCircuitInput input = workedExample();
        input.lineLengthKm = c.lineKm;
        const Computed<ShortCircuitResult> result = computeShortCircuit(input);
        ASSERT_TRUE(result) << c.lineKm;
        EXPECT_EQ(result->lineLengthM, c.lineLengthM) << c.lineKm;
        EXPECT_EQ(result->zTotal, c.zTotal) << c.lineKm;
    }
}

// The steps of the impedance chain on the worked example, each from the value before it: exact,
// and under the six-decimal policy of the book, where every named value is its printed figure.
// The terms inside one formula are not rounded: 159201/519.7 = 306.33249952… gives Zs 0.306332;
// rounding the quotient first (306.332500) would give 0.306333.
TEST(ImpedanceChain, WorkedExampleExactAndToSixDecimals) {
    using namespace impedance_chain;
    struct Case {
        const char* name;
        double (*step)(StepChain&);
        double exact;
        double sixDecimals;
    };
    const Case cases[] = {
        {"Zs", [](StepChain& c) { return systemImpedance(c, 100.0); }, 1.59201, 1.59201},
        {"Zs of 519.7 MVA", [](StepChain& c) { return systemImpedance(c, 519.7); },
         0.30633249951895321, 0.306332},
        {"Xs", [](StepChain& c) { return systemReactance(c, 1.59201); }, 1.58404995, 1.58405},
        {"Rs", [](StepChain& c) { return systemResistance(c, 1.58405); }, 0.158405, 0.158405},
        {"Rphp.s", [](StepChain& c) { return systemLoop(c, 0.158405); }, 0.10560333333333333,
         0.105603},
        {"Xphp.s", [](StepChain& c) { return systemLoop(c, 1.58405); }, 1.0560333333333334,
         1.056033},
        {"Zt", [](StepChain& c) { return transformerImpedance(c, 4.0, 400.0); }, 15.9201, 15.9201},
        {"Rt", [](StepChain& c) { return transformerResistance(c, 4.3, 400.0); }, 4.278526875,
         4.278527},
        {"Xt", [](StepChain& c) { return transformerReactance(c, 15.9201, 4.278527); },
         15.334398935735, 15.334399},
        {"Rm", [](StepChain& c) { return alongLength(c, 5.0, 0.025); }, 0.125, 0.125},
        {"Rphp.L", [](StepChain& c) { return alongLength(c, 100.0, 0.0000009); }, 0.00009, 0.00009},
        {"R'L of a short line", [](StepChain& c) { return alongLength(c, 7.1, 0.0000006); },
         0.00000426, 0.000004},
        // The length is a general-format figure under either policy.
        {"L", [](StepChain& c) { return lineLengthMetres(c, 0.0071); }, 7.1, 7.1},
        {"L of 0.12345678 m", [](StepChain& c) { return lineLengthMetres(c, 0.00012345678); },
         0.12345678, 0.12345678},
    };
    for (const Case& c : cases) {
        StepChain exact;
        StepChain book(Rounding::SixDecimals);
        EXPECT_NEAR(c.step(exact), c.exact, 1e-9) << c.name;
        EXPECT_EQ(c.step(book), c.sixDecimals) << c.name;
        EXPECT_FALSE(exact.failed()) << c.name;
        EXPECT_FALSE(book.failed()) << c.name;
    }
}

TEST(ShortCircuit, AFailedComputationSaysWhy) {
    struct Case {
        const char* label;
        std::function<void(ShortCircuitInput&)> change;
        const char* reason;
    };
    const Case cases[] = {
        {"S″s = 0", [](ShortCircuitInput& in) { in.systemCapacityMva = 0.0; }, "除数为0"},
        {"Sr = 0", [](ShortCircuitInput& in) { in.transformerRatedKva = 0.0; }, "除数为0"},
        {"Rt > Zt", [](ShortCircuitInput& in) { in.transformerLoadLossKw = 17.0; },
         "负数不能开平方"},
        {"Sr = 1e307", [](ShortCircuitInput& in) { in.transformerRatedKva = 1e307; },
         "计算结果超出数值范围"},
        // The first failure is the one reported: Zs divides by zero before Xt has no root.
        {"S″s = 0 and Rt > Zt",
         [](ShortCircuitInput& in) {
             in.systemCapacityMva = 0.0;
             in.transformerLoadLossKw = 17.0;
         },
         "除数为0"},
    };
    for (const Case& c : cases) {
        ShortCircuitInput input = workedExample();
        c.change(input);
        const Computed<ShortCircuitResult> result = computeShortCircuit(input);
        ASSERT_FALSE(result.ok()) << c.label;
        EXPECT_EQ(result.reason(), QString::fromUtf8(c.reason)) << c.label;
    }
    EXPECT_TRUE(computeShortCircuit(workedExample()).reason().isEmpty());
}

} // namespace
} // namespace korvane
