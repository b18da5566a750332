#pragma once

#include "short_circuit/short_circuit.h"
#include "verification/verification.h"
#include "voltage_loss/voltage_loss.h"

#include <QString>

#include <optional>

namespace korvane {

// One circuit in the engineer's terms: the supply that feeds it, the line, the loads on the line
// and the protection at its head. The three pages each hold a part of it; a project holds many.
// The calculations take the inputs made from it below.

// The transformer as the transformer database gives it.
struct Transformer {
    QString series;          // 变压器型号, e.g. S11-M
    double ratedKva = 0.0;   // Sr
    double ukPercent = 0.0;  // impedance voltage uk
    double loadLossKw = 0.0; // ΔP
    QString voltageKv;       // HV voltage as the database writes it ("10")
};

// The LV busbar from the transformer to the outgoing lines, per metre as the busbar database
// gives it (mΩ/m), and its length.
struct Busbar {
    QString material; // 母线材质
    QString size;     // 截面, e.g. 4(100X10)
    PhaseAndLoop perMetreMilliOhm;
    double lengthM = 0.0;
};

struct Supply {
    double systemCapacityMva = 0.0; // S″s of the HV system
    Transformer transformer;
    Busbar busbar;
};

// The cable of a line as the cable database names it.
struct CableIdentity {
    QString lossType;     // 损失类型
    QString cableType;    // 导线类型
    QString crossSection; // 导线截面 as the database writes it, mm²
    std::optional<double> crossSectionMm2() const;
    bool operator==(const CableIdentity&) const = default;
};

// The line: its cable with R and X per km for the voltage loss, the per-metre values of the
// short-circuit loops (mΩ/m; numerically equal to Ω/km) and its length.
struct CircuitLine {
    CableIdentity cable;
    double resistanceOhmPerKm = 0.0;            // R at working temperature, voltage loss
    double reactanceOhmPerKm = 0.0;             // X
    PhaseAndLoop perMetreMilliOhm;              // R0, X0, Rphp, Xphp
    double neutralResistanceMilliOhmPerM = 0.0; // R′ phase to neutral
    double neutralReactanceMilliOhmPerM = 0.0;  // X′
    double lengthKm = 0.0;
};

// The protection at the head of the line and what its checks need.
struct Protection {
    double coefficientK = 0.0;   // thermal coefficient K of the conductor
    double durationS = 0.0;      // t of the fault
    double leakagePerKmMa = 0.0; // normal leakage current of the line per km
    double loadCurrentA = 0.0;   // Ib
    ProtectionMode mode = ProtectionMode::EarthFault;
    // The let-through energy I²t of the protective device, A²s, where the maker gives it: with a
    // clearing time under 0.1 s the thermal stress is checked with it instead of I²·t.
    std::optional<double> letThroughA2s;
};

// The short-circuit input of a line fed from a supply, over the line's own length.
ShortCircuitInput shortCircuitInput(const Supply& supply, const CircuitLine& line);

// The verification input of a protected line with the fault currents at its end and the
// voltage loss of its loads (absent when the loss could not be computed).
VerificationInputs verificationInputs(const Supply& supply, const CircuitLine& line,
                                      const Protection& protection,
                                      const ShortCircuitResult& faults,
                                      std::optional<double> voltageLossPercent);

} // namespace korvane
