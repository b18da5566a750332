#include "circuit/circuit.h"

#include "base/number_format.h"

namespace korvane {

std::optional<double> CableIdentity::crossSectionMm2() const {
    return readPlainDecimal(crossSection);
}

ShortCircuitInput shortCircuitInput(const Supply& supply, const CircuitLine& line) {
    ShortCircuitInput in;
    in.systemCapacityMva = supply.systemCapacityMva;
    in.transformerUkPercent = supply.transformer.ukPercent;
    in.transformerRatedKva = supply.transformer.ratedKva;
    in.transformerLoadLossKw = supply.transformer.loadLossKw;
    in.busbarPerMetre = supply.busbar.perMetreMilliOhm;
    in.busbarLengthM = supply.busbar.lengthM;
    in.linePerMetre = line.perMetreMilliOhm;
    in.lineNeutralResistancePerMetre = line.neutralResistanceMilliOhmPerM;
    in.lineNeutralReactancePerMetre = line.neutralReactanceMilliOhmPerM;
    in.lineLengthKm = line.lengthKm;
    return in;
}

VerificationInputs verificationInputs(const Supply& supply, const CircuitLine& line,
                                      const Protection& protection,
                                      const ShortCircuitResult& faults,
                                      std::optional<double> voltageLossPercent) {
    VerificationInputs in;
    ProtectionInputs& p = in.protection;
    p.coefficientK = protection.coefficientK;
    p.durationS = protection.durationS;
    // The loop resistance per km of the line: mΩ/m and Ω/km are the same figure.
    p.loopResistanceOhmPerKm = line.perMetreMilliOhm.loopResistance;
    p.leakagePerKmMa = protection.leakagePerKmMa;
    p.loadCurrentA = protection.loadCurrentA;
    p.lengthKm = line.lengthKm;
    p.checkEarthFault = protection.mode == ProtectionMode::EarthFault;
    p.checkShortCircuit = protection.mode == ProtectionMode::ShortCircuit;

    in.faults.threePhaseKa = faults.ik3;
    in.faults.singlePhaseKa = faults.ik1;
    in.faults.earthFaultKa = faults.id;

    VerifiedInstallation& at = in.installation;
    at.transformerCapacityKva = supply.transformer.ratedKva;
    at.transformerCapacityText = formatGeneral(supply.transformer.ratedKva);
    at.busbarMaterial = supply.busbar.material;
    at.busbarSize = supply.busbar.size;
    at.crossSectionText = line.cable.crossSection;
    at.crossSectionMm2 = line.cable.crossSectionMm2();
    at.voltageLossPercent = voltageLossPercent;
    at.voltageLossNotComputed = !voltageLossPercent.has_value();
    return in;
}

} // namespace korvane
