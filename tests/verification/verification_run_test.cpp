// One verification run from typed inputs: selections, checks, report and where a run stops.

#include "verification/verification.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace korvane {
namespace {

using Q = VerificationQuantity;
using Cause = VerificationStop::Cause;
constexpr std::optional<double> kAbsent = std::nullopt;
constexpr double kHuge = std::numeric_limits<double>::max();

// A line that passes every check: Ib 20 A (x 30: QR 32 A, QC 32 A) over 0.5 km (Rlim 2.75 Ω/km),
// Rphp 2.5 Ω/km, 15 mA/km of leakage (Ivn 30 mA), K 115, t 1 s, I″k3 5 kA (Smin 43.4783 mm²
// under S = 50 mm²), Id 2 kA (ratio 15.63), I″k1 0.15 kA (ratio 1.17), 400 kVA transformer.
VerificationInputs passingLine() {
    VerificationInputs in;
    in.protection = {115.0, 1.0, 2.5, 15.0, 20.0, 0.5, true, false};
    in.faults = {5.0, 0.15, 2.0};
    in.installation.transformerCapacityKva = 400.0;
    in.installation.transformerCapacityText = QStringLiteral("400");
    in.installation.busbarMaterial = QStringLiteral("铜母线TMY");
    in.installation.busbarSize = QStringLiteral("4(125X10)");
    in.installation.crossSectionText = QStringLiteral("50");
    in.installation.crossSectionMm2 = 50.0;
    in.installation.voltageLossPercent = 4.5351;
    return in;
}

std::string reportLine(const QString& report, int number) {
    const QStringList lines = report.split(QStringLiteral("\r\n"));
    return number <= lines.size() ? lines[number - 1].toStdString() : "(no line)";
}

TEST(VerificationRun, APassingLineSelectsChecksAndReports) {
    const VerificationResult r = verifyProtection(passingLine());
    EXPECT_FALSE(r.stop.has_value());
    ASSERT_TRUE(r.line && r.residual && r.transformer);
    EXPECT_EQ(r.line->breakerRatedA, 32);
    EXPECT_EQ(r.line->contactorRatedA, 32);
    EXPECT_EQ(r.residual->ratedResidualMa, 30);
    EXPECT_EQ(r.transformer->isolatorRatedA, 800);
    EXPECT_EQ(r.transformer->breakerRatedA, 700);
    ASSERT_EQ(r.protections.size(), 1u);
    const ProtectionVerification& p = r.protections[0];
    EXPECT_EQ(p.mode, ProtectionMode::EarthFault);
    ASSERT_TRUE(p.loopResistance && p.sensitivity && p.thermal && p.report);
    EXPECT_DOUBLE_EQ(p.loopResistance->limitOhmPerKm, 2.75);
    EXPECT_TRUE(p.loopResistance->passed);
    EXPECT_EQ(p.sensitivity->text.toStdString(), "15.63");
    EXPECT_EQ(p.thermal->text.toStdString(), "43.4783");
    EXPECT_EQ(reportLine(*p.report, 20),
              " ㈤、保护灵敏度校验: Id.min / Ir2 = 15.63  > 1.3  检验合格");
    EXPECT_EQ(reportLine(*p.report, 26), "     母线规格 WB: 铜母线TMY—4(125X10)");
}

TEST(VerificationRun, SelectionsFollowTheLoadLeakageAndTransformer) {
    struct Case {
        double ib;
        double leakagePerKm;
        double kva;
        std::optional<int> qr, qc, ivn, qs;
        bool loadOutOfRange, transformerOutOfRange;
    };
    const Case cases[] = {
        {20, 15, 400, 32, 32, 30, 800, false, false},
        {62, 60, 10, 125, 125, 200, 18, false, false},
        {40.01, 252, 1250, 80, 80, std::nullopt, 2000, false, false},
        {106.7, 15, 1600, std::nullopt, std::nullopt, 30, std::nullopt, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ib);
        VerificationInputs in = passingLine();
        in.protection.checkEarthFault = false; // the selections alone
        in.protection.loadCurrentA = c.ib;
        in.protection.leakagePerKmMa = c.leakagePerKm;
        in.installation.transformerCapacityKva = c.kva;
        const VerificationResult r = verifyProtection(in);
        EXPECT_FALSE(r.stop.has_value());
        ASSERT_TRUE(r.line && r.residual && r.transformer);
        EXPECT_EQ(r.line->breakerRatedA, c.qr);
        EXPECT_EQ(r.line->contactorRatedA, c.qc);
        EXPECT_EQ(r.line->outOfRange, c.loadOutOfRange);
        EXPECT_EQ(r.residual->ratedResidualMa, c.ivn);
        EXPECT_EQ(r.transformer->isolatorRatedA, c.qs);
        EXPECT_EQ(r.transformer->capacityOutOfRange, c.transformerOutOfRange);
        EXPECT_TRUE(r.protections.empty());
    }
}

TEST(VerificationRun, SensitivityUsesTheFaultCurrentOfEachMode) {
    struct Case {
        bool earthFault, shortCircuit;
        double idKa, ik1Ka;
        std::vector<std::string> ratios;
        std::vector<bool> below;
    };
    const Case cases[] = {
        {true, false, 2.0, 0.15, {"15.63"}, {false}},
        {false, true, 2.0, 0.15, {"1.17"}, {true}},
        {true, true, 0.16575, 0.16576, {"1.29", "1.30"}, {true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ratios.front());
        VerificationInputs in = passingLine();
        in.protection.checkEarthFault = c.earthFault;
        in.protection.checkShortCircuit = c.shortCircuit;
        in.faults.earthFaultKa = c.idKa;
        in.faults.singlePhaseKa = c.ik1Ka;
        const VerificationResult r = verifyProtection(in);
        ASSERT_EQ(r.protections.size(), c.ratios.size());
        for (size_t i = 0; i < c.ratios.size(); ++i) {
            const ProtectionVerification& p = r.protections[i];
            EXPECT_EQ(p.mode, c.earthFault && i == 0 ? ProtectionMode::EarthFault
                                                     : ProtectionMode::ShortCircuit);
            ASSERT_TRUE(p.sensitivity);
            EXPECT_EQ(p.sensitivity->text.toStdString(), c.ratios[i]);
            EXPECT_EQ(p.sensitivity->belowMinimum, c.below[i]);
            ASSERT_TRUE(p.report);
            EXPECT_NE(p.report->indexOf(p.mode == ProtectionMode::EarthFault
                                            ? QStringLiteral("Id.min / Ir2")
                                            : QStringLiteral("Ik.min / Ir2")),
                      -1);
        }
    }
}

TEST(VerificationRun, ThermalStabilityAgainstTheCrossSection) {
    struct Case {
        double t, ik3, k;
        std::optional<double> s;
        const char* smin;
        const char* heading;
    };
    const Case cases[] = {
        {1.0, 5.0, 115, 50, "43.4783", " ㈢、短路热稳定校验通过:"},
        {1.0, 5.0, 100, 50, "50.0000", " ㈢、短路热稳定校验不通过:"},
        {1.0, 7.0, 115, 50, "60.8696", " ㈢、短路热稳定校验不通过:"},
        {1.0, 5.0, 115, std::nullopt, "43.4783", " ㈢、短路热稳定校验:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.smin);
        VerificationInputs in = passingLine();
        in.protection.durationS = c.t;
        in.faults.threePhaseKa = c.ik3;
        in.protection.coefficientK = c.k;
        in.installation.crossSectionMm2 = c.s;
        const VerificationResult r = verifyProtection(in);
        ASSERT_EQ(r.protections.size(), 1u);
        const ProtectionVerification& p = r.protections[0];
        ASSERT_TRUE(p.thermal && p.report);
        EXPECT_EQ(p.thermal->text.toStdString(), c.smin);
        EXPECT_EQ(reportLine(*p.report, 8), c.heading);
    }
}

TEST(VerificationRun, EachStopNamesItsQuantityAndCause) {
    struct Case {
        const char* what;
        std::function<void(VerificationInputs&)> change;
        VerificationStop stop;
        const char* reason;
        bool lineComputed;     // values met before the stop stay computed
        bool residualComputed; //
    };
    const Case cases[] = {
        {"Ib missing",
         [](auto& in) { in.protection.loadCurrentA = kAbsent; },
         {Q::LoadCurrent, Cause::Missing},
         "负荷电流 Ib 未输入或不是数值",
         false,
         false},
        {"Ib negative",
         [](auto& in) { in.protection.loadCurrentA = -1.0; },
         {Q::LoadCurrent, Cause::Negative},
         "负荷电流 Ib 不能为负数",
         false,
         false},
        {"1.5 Ib overflows",
         [](auto& in) { in.protection.loadCurrentA = kHuge; },
         {Q::SelectionCurrent, Cause::NotComputable},
         "选择电流 1.5Ib 无法计算",
         false,
         false},
        {"leakage negative",
         [](auto& in) { in.protection.leakagePerKmMa = -0.1; },
         {Q::LeakagePerKm, Cause::Negative},
         "单位长度泄漏电流 不能为负数",
         true,
         false},
        {"4 Ixn overflows",
         [](auto& in) { in.protection.leakagePerKmMa = kHuge; },
         {Q::ResidualSetting, Cause::NotComputable},
         "线路泄漏电流 Ixn 无法计算",
         true,
         false},
        {"L zero",
         [](auto& in) { in.protection.lengthKm = 0.0; },
         {Q::Length, Cause::NotPositive},
         "线路长度 L 必须大于0",
         true,
         false},
        {"L missing",
         [](auto& in) { in.protection.lengthKm = kAbsent; },
         {Q::Length, Cause::Missing},
         "线路长度 L 未输入或不是数值",
         true,
         false},
        {"capacity missing",
         [](auto& in) { in.installation.transformerCapacityKva = kAbsent; },
         {Q::TransformerCapacity, Cause::Missing},
         "变压器容量 未输入或不是数值",
         true,
         true},
        {"Rphp negative",
         [](auto& in) { in.protection.loopResistanceOhmPerKm = -2.5; },
         {Q::LoopResistance, Cause::Negative},
         "单位长度相保电阻 Rphp 不能为负数",
         true,
         true},
        {"no QR above 160 A",
         [](auto& in) { in.protection.loadCurrentA = 106.7; },
         {Q::LoopResistanceLimit, Cause::NotComputable},
         "允许相保电阻 Rlim 无法计算",
         true,
         true},
        {"Id negative",
         [](auto& in) { in.faults.earthFaultKa = -0.1; },
         {Q::EarthFaultCurrent, Cause::Negative},
         "接地故障电流 Id 不能为负数",
         true,
         true},
        {"ratio overflows",
         [](auto& in) { in.faults.earthFaultKa = kHuge; },
         {Q::Sensitivity, Cause::NotComputable},
         "保护灵敏度 无法计算",
         true,
         true},
        {"t zero",
         [](auto& in) { in.protection.durationS = 0.0; },
         {Q::Duration, Cause::NotPositive},
         "短路持续时间 t 必须大于0",
         true,
         true},
        {"I″k3 zero",
         [](auto& in) { in.faults.threePhaseKa = 0.0; },
         {Q::ThreePhaseCurrent, Cause::NotPositive},
         "三相短路电流 I″k3 必须大于0",
         true,
         true},
        {"K missing",
         [](auto& in) { in.protection.coefficientK = kAbsent; },
         {Q::CoefficientK, Cause::Missing},
         "热稳定系数 K 未输入或不是数值",
         true,
         true},
        {"Smin overflows",
         [](auto& in) { in.faults.threePhaseKa = 1e307; },
         {Q::MinimumCrossSection, Cause::NotComputable},
         "热稳定最小截面 Smin 无法计算",
         true,
         true},
        {"I″k1 missing in short-circuit mode",
         [](auto& in) {
             in.protection.checkEarthFault = false;
             in.protection.checkShortCircuit = true;
             in.faults.singlePhaseKa = kAbsent;
         },
         {Q::SinglePhaseCurrent, Cause::Missing},
         "单相短路电流 I″k1 未输入或不是数值",
         true,
         true},
        {"the first stop met wins",
         [](auto& in) {
             in.protection.coefficientK = kAbsent;
             in.protection.lengthKm = -1.0;
         },
         {Q::Length, Cause::NotPositive},
         "线路长度 L 必须大于0",
         true,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VerificationInputs in = passingLine();
        c.change(in);
        const VerificationResult r = verifyProtection(in);
        ASSERT_TRUE(r.stop.has_value());
        EXPECT_EQ(*r.stop, c.stop);
        EXPECT_EQ(verificationStopReason(*r.stop).toStdString(), c.reason);
        EXPECT_EQ(r.line.ok(), c.lineComputed);
        EXPECT_EQ(r.residual.ok(), c.residualComputed);
        // Nothing after the stop is computed; each value says why.
        ASSERT_EQ(r.protections.size(), 1u);
        const ProtectionVerification& p = r.protections[0];
        EXPECT_FALSE(p.report.ok());
        EXPECT_EQ(p.report.reason().toStdString(), c.reason);
        if (!c.residualComputed) {
            EXPECT_EQ(r.residual.reason().toStdString(), c.reason);
        }
    }
}

TEST(VerificationRun, ValuesNotNeededDoNotStopTheRun) {
    struct Case {
        const char* what;
        std::function<void(VerificationInputs&)> change;
        size_t checks;
        bool reported;
    };
    const Case cases[] = {
        {"no mode asked: no check needs Rphp, t, K or a fault current",
         [](auto& in) {
             in.protection.checkEarthFault = false;
             in.protection.loopResistanceOhmPerKm = kAbsent;
             in.protection.coefficientK = kAbsent;
             in.faults = {kAbsent, kAbsent, kAbsent};
         },
         0, false},
        {"short-circuit mode does not need Id",
         [](auto& in) {
             in.protection.checkEarthFault = false;
             in.protection.checkShortCircuit = true;
             in.faults.earthFaultKa = kAbsent;
         },
         1, true},
        {"a loop resistance over its limit needs nothing after it",
         [](auto& in) {
             in.protection.loopResistanceOhmPerKm = 3.0;
             in.faults.earthFaultKa = kAbsent;
             in.protection.durationS = kAbsent;
         },
         1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VerificationInputs in = passingLine();
        c.change(in);
        const VerificationResult r = verifyProtection(in);
        EXPECT_FALSE(r.stop.has_value());
        ASSERT_EQ(r.protections.size(), c.checks);
        if (c.checks == 0)
            continue;
        const ProtectionVerification& p = r.protections[0];
        ASSERT_TRUE(p.loopResistance);
        EXPECT_EQ(p.report.ok(), c.reported);
        if (!p.loopResistance->passed) {
            EXPECT_FALSE(p.sensitivity.ok());
            EXPECT_EQ(p.thermal.reason().toStdString(), "相保电阻 Rphp 超过允许值 Rlim，未作校验");
        }
    }
}

TEST(VerificationRun, AStopInTheEarthFaultCheckLeavesTheShortCircuitCheckUnmade) {
    VerificationInputs in = passingLine();
    in.protection.checkShortCircuit = true;
    in.faults.earthFaultKa = kAbsent;
    const VerificationResult r = verifyProtection(in);
    ASSERT_TRUE(r.stop.has_value());
    EXPECT_EQ(*r.stop, (VerificationStop{Q::EarthFaultCurrent, Cause::Missing}));
    ASSERT_EQ(r.protections.size(), 2u);
    EXPECT_TRUE(r.protections[0].loopResistance.ok());
    const ProtectionVerification& later = r.protections[1];
    EXPECT_EQ(later.mode, ProtectionMode::ShortCircuit);
    EXPECT_FALSE(later.loopResistance.ok());
    EXPECT_EQ(later.loopResistance.reason().toStdString(), "接地故障电流 Id 未输入或不是数值");
}

} // namespace
} // namespace korvane
