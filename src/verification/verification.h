#pragma once

#include "calc/computed.h"

#include <QString>

#include <optional>
#include <vector>

namespace korvane {

// Protection of the line end that the verification checks: the earth-fault current Id of a TN
// system (automatic disconnection, GB 50054 / IEC 60364-4-41) or the single-phase short-circuit
// current I″k1.
enum class ProtectionMode { EarthFault, ShortCircuit };

// Line class. The selection current x = 1.5 × Ib picks the rated current In of the line's
// residual-current breaker QR and Ie of its contactor QC; each row takes x above its lower bound
// up to and including its upper bound. Above 160 A the table has no row.
struct LineSwitchgear {
    bool computed = false; // false: 1.5 × Ib overflowed
    double selectionCurrentA = 0.0;
    bool outOfRange = false;            // x > 160 A: nothing selected
    std::optional<int> breakerRatedA;   // In of QR
    std::optional<int> contactorRatedA; // Ie of QC
};
inline constexpr double kSelectionFactor = 1.5;
LineSwitchgear selectLineSwitchgear(double loadCurrentA);

// Residual-current setting of the RCD: Ixn = leakage per km × L, and Ivn the smallest standard
// rated residual operating current not below 4 × Ixn (JGJ 16-2008; the rated residual current
// should be at least four times the normal leakage of the line). Above 500 mA nothing fits.
struct ResidualCurrentSetting {
    bool computed = false;              // false: the product overflowed
    double leakageMa = 0.0;             // Ixn
    double settingFloorMa = 0.0;        // 4 × Ixn
    std::optional<int> ratedResidualMa; // Ivn
};
ResidualCurrentSetting selectResidualCurrentSetting(double leakagePerKmMa, double lengthKm);

// Transformer class: the low-voltage isolator QS and breaker QF chosen for the transformer's
// rated capacity (rated LV current 1.4434 × S A at 400 V). 1600 kVA is outside the table and is
// reported; any capacity that is not a row selects nothing.
struct TransformerSwitchgear {
    double capacityKva = 0.0;
    bool capacityOutOfRange = false;   // 1600 kVA
    std::optional<int> isolatorRatedA; // Ie of QS
    std::optional<int> breakerRatedA;  // Ie of QF
};
TransformerSwitchgear selectTransformerSwitchgear(double capacityKva);

// Phase-to-protective resistance per unit length against its limit Rlim = 44 / (L × In) Ω/km:
// U0 / (5 × In) with U0 = 220 V, the loop impedance at which the breaker's instantaneous release
// (5 × In) still trips (GB 50054 / IEC 60364-4-41, Zs × Ia ≤ U0). Rphp ≤ Rlim passes.
struct LoopResistanceCheck {
    bool computed = false;      // false: L × In is zero or the quotient overflowed
    double limitOhmPerKm = 0.0; // Rlim, to 15 significant digits
    bool passed = false;
};
LoopResistanceCheck checkLoopResistance(double lengthKm, double breakerRatedA,
                                        double loopResistanceOhmPerKm);

// Sensitivity of the protection: the fault current at the line end over the breaker setting
// Ir2 = 4 × In, which should reach 1.3 (《工业与民用配电设计手册》第三版). The ratio is judged as
// it is written, with two decimals.
struct SensitivityCheck {
    bool computed = false; // false: 4 × In is zero or the quotient overflowed
    double ratio = 0.0;
    QString text; // two decimals
    bool belowMinimum = false;
};
inline constexpr double kMinimumSensitivity = 1.3;
SensitivityCheck checkSensitivity(double faultCurrentKa, double breakerRatedA);

// Thermal stability of the cable under the three-phase short-circuit current:
// Smin = √t × I″k3 / K in mm² with I″k3 in A (GB 50054, IEC 60364-5-54 adiabatic equation).
struct ThermalStability {
    bool computed = false;               // false: a negative duration, K zero or an overflow
    double minimumCrossSectionMm2 = 0.0; // Smin as written, four decimals
    QString text;
};
ThermalStability thermalMinimumCrossSection(double durationS, double threePhaseCurrentKa,
                                            double coefficientK);

// Everything the report states, as the run found it.
struct VerificationFindings {
    ProtectionMode mode = ProtectionMode::EarthFault;
    QString crossSectionText;                 // S as shown on page 0
    std::optional<double> crossSectionMm2;    // S when it is a number
    std::optional<double> voltageLossPercent; // Δu% of page 0 when it is a number
    bool voltageLossNotComputed = false;      // page 0 found no real line to compute
    LineSwitchgear line;
    ResidualCurrentSetting residual;
    SensitivityCheck sensitivity;
    ThermalStability thermal;
    QString transformerCapacityText; // as typed
    TransformerSwitchgear transformer;
    QString busbarMaterial;
    QString busbarSize;
};

// The verification report: one line per statement, CR LF between lines, an empty first line.
// A check that failed or was not made is never stated as passed.
QString verificationReport(const VerificationFindings& findings);

// One run of the verification, from the values the engineer entered to every selection, check
// and report it produces. A run needs its values one after the other: the line's selections,
// then the transformer's, then each protection mode asked for in turn (earth fault first). A
// value that is missing, out of its range or cannot be evaluated stops the run there; nothing
// after it is evaluated.

// The quantities a run reads or works out, named for the reason a run stops at them.
enum class VerificationQuantity {
    LoadCurrent,         // Ib
    LeakagePerKm,        // line leakage current per km
    Length,              // L
    TransformerCapacity, // S of the transformer
    LoopResistance,      // Rphp per km
    EarthFaultCurrent,   // Id
    SinglePhaseCurrent,  // I″k1
    Duration,            // t of the fault
    ThreePhaseCurrent,   // I″k3
    CoefficientK,        // thermal coefficient K
    SelectionCurrent,    // x = 1.5 × Ib
    ResidualSetting,     // Ixn and 4 × Ixn
    LoopResistanceLimit, // Rlim, needs In of QR
    Sensitivity,         // fault current / Ir2
    MinimumCrossSection, // Smin
};

// Why a run stopped: the quantity and what was wrong with it.
struct VerificationStop {
    enum class Cause {
        Missing,       // not entered or not a number
        Negative,      // a current or leakage below zero
        NotPositive,   // a length, duration, fault current or K of zero or below
        NotComputable, // a step on the values entered divides by zero or overflows
    };
    VerificationQuantity quantity;
    Cause cause;
    bool operator==(const VerificationStop& other) const {
        return quantity == other.quantity && cause == other.cause;
    }
};
// The stop in words, as a failed value carries it.
QString verificationStopReason(const VerificationStop& stop);

// The protection inputs of page 2; a value is absent when its field holds no number.
struct ProtectionInputs {
    std::optional<double> coefficientK;
    std::optional<double> durationS;
    std::optional<double> loopResistanceOhmPerKm; // Rphp
    std::optional<double> leakagePerKmMa;
    std::optional<double> loadCurrentA; // Ib
    std::optional<double> lengthKm;     // L
    bool checkEarthFault = false;       // mode: Id
    bool checkShortCircuit = false;     // mode: I″k1
};

// The short-circuit results the checks use, kA.
struct FaultCurrents {
    std::optional<double> threePhaseKa;  // I″k3
    std::optional<double> singlePhaseKa; // I″k1
    std::optional<double> earthFaultKa;  // Id
};

// The supply and line as the report states them.
struct VerifiedInstallation {
    std::optional<double> transformerCapacityKva;
    QString transformerCapacityText; // as typed
    QString busbarMaterial;
    QString busbarSize;
    QString crossSectionText;                 // S as shown on page 0
    std::optional<double> crossSectionMm2;    // S when it is a number
    std::optional<double> voltageLossPercent; // Δu% of page 0
    bool voltageLossNotComputed = false;      // page 0 found no real line to compute
};

struct VerificationInputs {
    ProtectionInputs protection;
    FaultCurrents faults;
    VerifiedInstallation installation;
};

// The check of one protection mode. The loop resistance decides: when it passes, the
// sensitivity and the thermal stability are checked and the report is written; when it fails,
// neither is checked and no report is written.
struct ProtectionVerification {
    ProtectionMode mode = ProtectionMode::EarthFault;
    Computed<LoopResistanceCheck> loopResistance;
    Computed<SensitivityCheck> sensitivity;
    Computed<ThermalStability> thermal;
    Computed<QString> report;
};

struct VerificationResult {
    Computed<LineSwitchgear> line;
    Computed<ResidualCurrentSetting> residual;
    Computed<TransformerSwitchgear> transformer;
    // The modes asked for, earth fault first; a mode the run did not reach fails with the stop.
    std::vector<ProtectionVerification> protections;
    std::optional<VerificationStop> stop; // where the run stopped, if it did
};

VerificationResult verifyProtection(const VerificationInputs& inputs);

} // namespace korvane
