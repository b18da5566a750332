#include "short_circuit/short_circuit.h"

#include "form/number_format.h"

#include <cmath>

namespace korvane {

namespace {

// Every step of the chain goes through here. A step that cannot be evaluated marks the whole
// computation as failed; the remaining steps still run on whatever value came out, but their
// result is thrown away. Each intermediate is checked, not only the currents: an overflowing
// divisor (100·Sr → ∞) would otherwise turn a quotient into a harmless-looking zero.
class Evaluation {
public:
    double value(double v) {
        if (!std::isfinite(v)) {
            failed_ = true;
        }
        return v;
    }

    double divide(double numerator, double denominator) {
        if (denominator == 0.0) {
            failed_ = true;
            return 0.0;
        }
        return value(numerator / denominator);
    }

    double squareRoot(double v) {
        if (v < 0.0) {
            failed_ = true;
            return 0.0;
        }
        return value(std::sqrt(v));
    }

    bool failed() const { return failed_; }

private:
    bool failed_ = false;
};

// c·Un = 1.05 × 380 V, written as the one number 399 in I″k3 = 399 / (√3·ZΣ), as the handbook
// prints it for 380 V networks.
constexpr double kVoltageFactorTimesUn = 399.0;

// Share of the system impedance that is reactance (IEC 60909-0: X = 0.995·Z, R = 0.1·X).
constexpr double kSystemReactanceShare = 0.995;
constexpr double kSystemResistanceRatio = 0.1;

// I″k2 = (√3/2)·I″k3, with √3/2 taken to three decimals as in the handbook.
constexpr double kTwoPhaseRatio = 0.866;

} // namespace

std::optional<ShortCircuitResult> computeShortCircuit(const ShortCircuitInput& input) {
    Evaluation e;
    ShortCircuitResult r;
    const double sqrt3 = std::sqrt(3.0);
    const double cUn = kVoltageFactor * kNominalVoltageV;
    const double cUnSquared = cUn * cUn; // V²

    // System, referred to the LV side: Zs = (c·Un)² / S″s, in mΩ for S″s in MVA. Behind a D,yn11
    // transformer the system has no zero-sequence impedance on the LV side, so its phase-to-
    // protective loop impedance (2·Z1 + Z0)/3 is two thirds of the phase impedance.
    r.zs = e.value(e.divide(cUnSquared, input.systemCapacityMva) * 1e-3);
    r.system.x = e.value(kSystemReactanceShare * r.zs);
    r.system.r = e.value(kSystemResistanceRatio * r.system.x);
    r.systemLoop.r = e.value(e.value(2.0 * r.system.r) / 3.0);
    r.systemLoop.x = e.value(e.value(2.0 * r.system.x) / 3.0);

    // Transformer: Zt = uk·(c·Un)² / (100·Sr), Rt = ΔP·(c·Un)² / Sr², in mΩ for Sr in kVA and ΔP
    // in kW. A D,yn11 winding has equal positive- and zero-sequence impedances, so the loop values
    // equal the phase values.
    const double sr = input.transformerRatedKva;
    r.zt = e.divide(e.value(input.transformerUkPercent * cUnSquared), e.value(100.0 * sr));
    r.transformer.r = e.divide(e.value(input.transformerLoadLossKw * cUnSquared), e.value(sr * sr));
    r.transformer.x =
        e.squareRoot(e.value(e.value(r.zt * r.zt) - e.value(r.transformer.r * r.transformer.r)));
    const Impedance& transformerLoop = r.transformer;

    // Busbar between the transformer and the low-voltage board.
    const double lm = input.busbarLengthM;
    r.busbar.r = e.value(lm * input.busbarPerMetre.resistance);
    r.busbar.x = e.value(lm * input.busbarPerMetre.reactance);
    r.busbarLoop.r = e.value(lm * input.busbarPerMetre.loopResistance);
    r.busbarLoop.x = e.value(lm * input.busbarPerMetre.loopReactance);

    // Line. The length is entered in km and carried in metres as its text shows it, so that
    // 0.0071 km is 7.1 m and not 7.1000000000000005 m.
    r.lineLengthM = e.value(roundToSignificant(e.value(1000.0 * input.lineLengthKm), 15));
    const double l = r.lineLengthM;
    r.line.r = e.value(l * input.linePerMetre.resistance);
    r.line.x = e.value(l * input.linePerMetre.reactance);
    r.lineLoop.r = e.value(l * input.linePerMetre.loopResistance);
    r.lineLoop.x = e.value(l * input.linePerMetre.loopReactance);
    r.lineNeutral.r = e.value(l * input.lineNeutralResistancePerMetre);
    r.lineNeutral.x = e.value(l * input.lineNeutralReactancePerMetre);

    // Three-phase loop. ZΣ goes on as its 15-digit text, as it is shown.
    r.total.r = e.value(r.system.r + r.transformer.r + r.busbar.r + r.line.r);
    r.total.x = e.value(r.system.x + r.transformer.x + r.busbar.x + r.line.x);
    r.zTotal = e.value(roundToSignificant(
        e.squareRoot(e.value(e.value(r.total.x * r.total.x) + e.value(r.total.r * r.total.r))),
        15));

    // Phase-to-protective-conductor loop (TN system, fault to the PE conductor).
    r.loop.r = e.value(r.systemLoop.r + transformerLoop.r + r.busbarLoop.r + r.lineLoop.r);
    r.loop.x = e.value(r.systemLoop.x + transformerLoop.x + r.busbarLoop.x + r.lineLoop.x);
    r.zLoop = e.squareRoot(e.value(e.value(r.loop.x * r.loop.x) + e.value(r.loop.r * r.loop.r)));

    // Phase-to-neutral loop: source, transformer and busbar with their phase values, the line with
    // its phase-to-neutral values.
    r.neutralLoop.r = e.value(r.system.r + r.transformer.r + r.busbar.r + r.lineNeutral.r);
    r.neutralLoop.x = e.value(r.system.x + r.transformer.x + r.busbar.x + r.lineNeutral.x);
    r.zNeutralLoop = e.squareRoot(e.value(e.value(r.neutralLoop.x * r.neutralLoop.x) +
                                          e.value(r.neutralLoop.r * r.neutralLoop.r)));

    // Currents in kA (V / mΩ). The three-phase current is driven by c·Un/√3; the single-phase
    // currents by the phase voltage Un/√3 = 220 V without the factor c, as the handbook takes them.
    r.ik3 = e.divide(kVoltageFactorTimesUn, e.value(r.zTotal * sqrt3));
    r.ik2 = e.value(kTwoPhaseRatio * r.ik3);
    r.id = e.divide(kNominalVoltageV, e.value(r.zLoop * sqrt3));
    r.ik1 = e.divide(kNominalVoltageV, e.value(r.zNeutralLoop * sqrt3));

    if (e.failed()) {
        return std::nullopt;
    }
    return r;
}

} // namespace korvane
