#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace korvane {

// The four line kinds of the voltage-loss page, in list order.
enum class LineKind {
    ThreePhase,              // 三相平衡负荷线路
    SinglePhaseLineVoltage,  // 接于线电压的单相负荷线路
    TwoPhaseNeutral,         // 接于相电压的两相-N线平衡负荷线路
    SinglePhasePhaseVoltage, // 接相电压的单相负荷线路
};

// Every load case the lists show. The end-load power case is listed as case (3) on the two-phase
// and phase-voltage lines and as case (4) on the others; the resistive end-load case reads
// differently on those two kinds. Each list text is its own case, so that a text read back is
// the text that was shown.
enum class LoadCase {
    EndCurrent,        // (1) 终段负荷, 电流矩
    UniformCurrent,    // (2) 均匀分布负荷, 电流矩
    SeveralCurrent,    // (3) 几个负荷, 电流矩
    EndPower4,         // (4) 终段负荷, 负荷矩 (three-phase, line-voltage single-phase)
    SeveralPower,      // (5) 几个负荷, 负荷矩
    SeveralUnityPower, // (6) 几个负荷, cos φ = 1
    EndPower3,         // (3) 终段负荷, 负荷矩 (two-phase with N, phase-voltage single-phase)
    EndUnityPower,     // (4) 终段负荷, cos φ = 1 (two-phase with N)
    EndUnityPowerOrDc, // (4) 终段负荷, cos φ = 1 or a d.c. line (phase-voltage single-phase)
};

// How a load case gives its loads: one load at the end of the line (a current, or a power), or
// up to four loads along it (currents, powers at the selected cos φ, powers at cos φ = 1).
enum class LoadPlace { EndCurrent, EndPower, SeveralCurrents, SeveralPowers, SeveralUnityPowers };

// The list text, character for character as the lists show it.
QString text(LineKind kind);
QString text(LoadCase loadCase);

// The kind or case a list text names; nothing for any other text. Compared whole and exactly.
std::optional<LineKind> lineKindOf(const QString& text);
std::optional<LoadCase> loadCaseOf(const QString& text);

// The four kinds in list order.
const std::vector<LineKind>& allLineKinds();
// The cases a kind offers, in list order.
std::vector<LoadCase> loadCasesOf(LineKind kind);

LoadPlace placeOf(LoadCase loadCase);

// The line kinds and load cases exactly as the lists show them.
namespace line_kind {
inline const QString kThreePhase = QStringLiteral("三相平衡负荷线路");
inline const QString kSinglePhaseLineVoltage = QStringLiteral("接于线电压的单相负荷线路");
inline const QString kTwoPhaseNeutral = QStringLiteral("接于相电压的两相-N线平衡负荷线路");
inline const QString kSinglePhasePhaseVoltage = QStringLiteral("接相电压的单相负荷线路");
} // namespace line_kind

namespace load_case {
inline const QString kEndCurrent = QStringLiteral("(1)终段负荷用电流矩(A.km)");
inline const QString kUniformCurrent = QStringLiteral("(2)均匀分布负荷用电流矩(A.km)");
inline const QString kSeveralCurrent = QStringLiteral("(3)几个负荷用电流矩(A.km)");
inline const QString kEndPower4 = QStringLiteral("(4)终段负荷用负荷矩(kW.km)");
inline const QString kSeveralPower = QStringLiteral("(5)几个负荷用负荷矩(kW.km)");
inline const QString kSeveralUnityPower =
    QStringLiteral("(6)整条线路的导线截面材料及敷设方式均相同cosφ=1,几个负荷用负荷矩(kW.km)");
inline const QString kEndPower3 = QStringLiteral("(3)终段负荷用负荷矩(kW.km)");
inline const QString kEndUnityPower = QStringLiteral("(4)终段负荷且cosφ=1用负荷矩(kW.km)");
inline const QString kEndUnityPowerOrDc =
    QStringLiteral("(4)终段负荷且cosφ=1或直流线路用负荷矩(kW.km)");
} // namespace load_case

} // namespace korvane
