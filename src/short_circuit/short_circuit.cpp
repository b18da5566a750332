#include "short_circuit/short_circuit.h"

#include "base/number_format.h"

#include <cmath>
#include <initializer_list>

namespace korvane {

namespace {

// c·Un = 1.05 × 380 V, written as the one number 399 in I″k3 = 399 / (√3·ZΣ), as the handbook
// prints it for 380 V networks.
constexpr double kVoltageFactorTimesUn = 399.0;

// (c·Un)², V².
constexpr double kVoltageFactorTimesUnSquared =
    (kVoltageFactor * kNominalVoltageV) * (kVoltageFactor * kNominalVoltageV);

// Share of the system impedance that is reactance (IEC 60909-0: X = 0.995·Z, R = 0.1·X).
constexpr double kSystemReactanceShare = 0.995;
constexpr double kSystemResistanceRatio = 0.1;

// I″k2 = (√3/2)·I″k3, with √3/2 taken to three decimals as in the handbook.
constexpr double kTwoPhaseRatio = 0.866;

// R + R… and X + X… of one loop, and its impedance √(X² + R²).
Impedance sum(StepChain& e, std::initializer_list<Impedance> parts) {
    double r = 0.0;
    double x = 0.0;
    for (const Impedance& part : parts) {
        r += part.r;
        x += part.x;
    }
    return {e.value(r), e.value(x)};
}

double magnitude(StepChain& e, const Impedance& z) {
    return e.squareRoot(e.checked(e.checked(z.x * z.x) + e.checked(z.r * z.r)));
}

} // namespace

namespace impedance_chain {

double systemImpedance(StepChain& chain, double capacityMva) {
    return chain.value(chain.quotient(kVoltageFactorTimesUnSquared, capacityMva) * 1e-3);
}

double systemReactance(StepChain& chain, double zs) {
    return chain.value(kSystemReactanceShare * zs);
}

double systemResistance(StepChain& chain, double xs) {
    return chain.value(kSystemResistanceRatio * xs);
}

double systemLoop(StepChain& chain, double phase) {
    return chain.value(chain.checked(2.0 * phase) / 3.0);
}

double transformerImpedance(StepChain& chain, double ukPercent, double ratedKva) {
    return chain.divide(chain.checked(ukPercent * kVoltageFactorTimesUnSquared),
                        chain.checked(100.0 * ratedKva));
}

double transformerResistance(StepChain& chain, double loadLossKw, double ratedKva) {
    return chain.divide(chain.checked(loadLossKw * kVoltageFactorTimesUnSquared),
                        chain.checked(ratedKva * ratedKva));
}

double transformerReactance(StepChain& chain, double zt, double rt) {
    return chain.squareRoot(chain.checked(chain.checked(zt * zt) - chain.checked(rt * rt)));
}

double alongLength(StepChain& chain, double lengthM, double perMetre) {
    return chain.value(lengthM * perMetre);
}

double lineLengthMetres(StepChain& chain, double lengthKm) {
    return roundToSignificant(chain.checked(1000.0 * lengthKm), 15);
}

} // namespace impedance_chain

Computed<ShortCircuitResult> computeShortCircuit(const ShortCircuitInput& input) {
    using namespace impedance_chain;
    StepChain e;
    ShortCircuitResult r;
    const double sqrt3 = std::sqrt(3.0);

    // System, referred to the LV side.
    r.zs = systemImpedance(e, input.systemCapacityMva);
    r.system.x = systemReactance(e, r.zs);
    r.system.r = systemResistance(e, r.system.x);
    r.systemLoop = {systemLoop(e, r.system.r), systemLoop(e, r.system.x)};

    // Transformer. A D,yn11 winding has equal positive- and zero-sequence impedances, so the loop
    // values equal the phase values.
    const double sr = input.transformerRatedKva;
    r.zt = transformerImpedance(e, input.transformerUkPercent, sr);
    r.transformer.r = transformerResistance(e, input.transformerLoadLossKw, sr);
    r.transformer.x = transformerReactance(e, r.zt, r.transformer.r);
    const Impedance& transformerLoop = r.transformer;

    // Busbar between the transformer and the low-voltage board.
    const double lm = input.busbarLengthM;
    const PhaseAndLoop& busbar = input.busbarPerMetre;
    r.busbar = {alongLength(e, lm, busbar.resistance), alongLength(e, lm, busbar.reactance)};
    r.busbarLoop = {alongLength(e, lm, busbar.loopResistance),
                    alongLength(e, lm, busbar.loopReactance)};

    // Line.
    r.lineLengthM = e.checked(lineLengthMetres(e, input.lineLengthKm));
    const double l = r.lineLengthM;
    const PhaseAndLoop& line = input.linePerMetre;
    r.line = {alongLength(e, l, line.resistance), alongLength(e, l, line.reactance)};
    r.lineLoop = {alongLength(e, l, line.loopResistance), alongLength(e, l, line.loopReactance)};
    r.lineNeutral = {alongLength(e, l, input.lineNeutralResistancePerMetre),
                     alongLength(e, l, input.lineNeutralReactancePerMetre)};

    // Three-phase loop. ZΣ goes on as its 15-digit text, as it is shown.
    r.total = sum(e, {r.system, r.transformer, r.busbar, r.line});
    r.zTotal = e.value(roundToSignificant(magnitude(e, r.total), 15));

    // Phase-to-protective-conductor loop (TN system, fault to the PE conductor).
    r.loop = sum(e, {r.systemLoop, transformerLoop, r.busbarLoop, r.lineLoop});
    r.zLoop = magnitude(e, r.loop);

    // Phase-to-neutral loop: source, transformer and busbar with their phase values, the line with
    // its phase-to-neutral values.
    r.neutralLoop = sum(e, {r.system, r.transformer, r.busbar, r.lineNeutral});
    r.zNeutralLoop = magnitude(e, r.neutralLoop);

    // Currents in kA (V / mΩ). The three-phase current is driven by c·Un/√3; the single-phase
    // currents by the phase voltage Un/√3 = 220 V without the factor c, as the handbook takes them.
    r.ik3 = e.divide(kVoltageFactorTimesUn, e.checked(r.zTotal * sqrt3));
    r.ik2 = e.value(kTwoPhaseRatio * r.ik3);
    r.id = e.divide(kNominalVoltageV, e.checked(r.zLoop * sqrt3));
    r.ik1 = e.divide(kNominalVoltageV, e.checked(r.zNeutralLoop * sqrt3));

    return e.result(r);
}

} // namespace korvane
