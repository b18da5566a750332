#pragma once

#include "calc/computed.h"

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

// The steps of the impedance chain, one named value each (mΩ, lengths in m). The page composes
// them on one exact StepChain; the short-circuit book evaluates the same steps under the
// six-decimal policy, each value from the printed figures of the values before it.
namespace impedance_chain {

// Zs = (c·Un)² / S″s, in mΩ for S″s in MVA: the system referred to the LV side.
double systemImpedance(StepChain& chain, double capacityMva);
// Xs = 0.995·Zs and Rs = 0.1·Xs (IEC 60909-0 for a system known by its capacity only).
double systemReactance(StepChain& chain, double zs);
double systemResistance(StepChain& chain, double xs);
// Rphp.s = 2·Rs/3, Xphp.s = 2·Xs/3: behind a D,yn11 transformer the system has no zero-sequence
// impedance on the LV side, so its loop impedance (2·Z1 + Z0)/3 is two thirds of its phase one.
double systemLoop(StepChain& chain, double phase);
// Zt = uk·(c·Un)² / (100·Sr), Rt = ΔP·(c·Un)² / Sr², Xt = √(Zt² − Rt²), in mΩ for Sr in kVA
// and ΔP in kW.
double transformerImpedance(StepChain& chain, double ukPercent, double ratedKva);
double transformerResistance(StepChain& chain, double loadLossKw, double ratedKva);
double transformerReactance(StepChain& chain, double zt, double rt);
// An impedance per metre over a length: busbar and line, phase, loop and neutral values.
double alongLength(StepChain& chain, double lengthM, double perMetre);
// The line length entered in km, in metres as its general-format text shows it, so that
// 0.0071 km is 7.1 m and not 7.1000000000000005 m. Not a six-decimal value under any policy.
double lineLengthMetres(StepChain& chain, double lengthKm);

} // namespace impedance_chain

// Impedance chain system → transformer → busbar → line and the currents at the line end by the
// handbook's named-unit method (《工业与民用配电设计手册》第三版, LV short-circuit currents).
// Fails with the reason of the first step that cannot be evaluated: a division by zero, the
// square root of a negative number or a value that overflows.
Computed<ShortCircuitResult> computeShortCircuit(const ShortCircuitInput& input);

} // namespace korvane
