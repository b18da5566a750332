#pragma once

#include <optional>

namespace korvane {

// Per-metre impedances of a busbar or line, mΩ/m.
struct PhaseAndLoop {
    double resistance = 0.0;     // phase R
    double reactance = 0.0;      // phase X
    double loopResistance = 0.0; // phase-to-protective Rphp
    double loopReactance = 0.0;  // phase-to-protective Xphp
};

// Inputs of the short-circuit computation at the far end of a radial LV line, in named units.
struct ShortCircuitInput {
    double systemCapacityMva = 0.0;             // S″s on the HV side
    double transformerUkPercent = 0.0;          // uk
    double transformerRatedKva = 0.0;           // Sr
    double transformerLoadLossKw = 0.0;         // ΔP
    PhaseAndLoop busbarPerMetre;                // mΩ/m
    double busbarLengthM = 0.0;                 // Lm
    PhaseAndLoop linePerMetre;                  // R0, X0, Rphp, Xphp of the line, mΩ/m
    double lineNeutralResistancePerMetre = 0.0; // R' phase-to-neutral, mΩ/m
    double lineNeutralReactancePerMetre = 0.0;  // X' phase-to-neutral, mΩ/m
    double lineLengthKm = 0.0;                  // L as entered
};

// Resistance and reactance of one element, mΩ.
struct Impedance {
    double r = 0.0;
    double x = 0.0;
};

struct ShortCircuitResult {
    // System, from its short-circuit capacity.
    double zs = 0.0;
    Impedance system;     // Rs, Xs
    Impedance systemLoop; // Rphp.s, Xphp.s
    // Transformer (D,yn11: the loop values equal the phase values).
    double zt = 0.0;
    Impedance transformer; // Rt, Xt
    // Busbar and line.
    Impedance busbar;         // Rm, Xm
    Impedance busbarLoop;     // Rphp.m, Xphp.m
    double lineLengthM = 0.0; // L in m after its general-format text round trip
    Impedance line;           // RL, XL
    Impedance lineLoop;       // Rphp.L, Xphp.L
    Impedance lineNeutral;    // R'L, X'L
    // Loops.
    Impedance total;           // RΣ, XΣ
    double zTotal = 0.0;       // ZΣ after its text round trip
    Impedance loop;            // Rphp, Xphp
    double zLoop = 0.0;        // Zphp
    Impedance neutralLoop;     // R1, X1
    double zNeutralLoop = 0.0; // Z1
    // Currents, kA.
    double ik3 = 0.0;
    double ik2 = 0.0;
    double id = 0.0;
    double ik1 = 0.0;
};

// Voltage factor c and nominal LV voltage Un (GB/T 15544 / IEC 60909 for LV networks).
inline constexpr double kVoltageFactor = 1.05;
inline constexpr double kNominalVoltageV = 380.0;

// Impedance chain system → transformer → busbar → line and the currents at the line end by the
// handbook's named-unit method (《工业与民用配电设计手册》第三版, LV short-circuit currents).
// Returns nothing when a step cannot be evaluated: a division by zero, the square root of a
// negative number or a value that overflows.
std::optional<ShortCircuitResult> computeShortCircuit(const ShortCircuitInput& input);

} // namespace korvane
