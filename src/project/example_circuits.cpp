#include "project/example_circuits.h"

#include "project/handbook_constants.h"
#include "project/sizing.h"
#include "voltage_loss/line_kinds.h"

namespace korvane {

void fillCableSection(ProjectCircuit& c, const CableCatalogue& catalogue) {
    const CableRow* row = catalogue.find(c.line.cable);
    if (!row)
        return;
    const Computed<CableConstruction> construction = cableConstruction(c.line.cable);
    const auto mm2 = c.line.cable.crossSectionMm2();
    const Computed<HandbookLineConstants> constants =
        construction && mm2 ? handbookLineConstants(*construction, *mm2)
                            : Computed<HandbookLineConstants>::failed({});
    if (constants) {
        c = withCableSection(c, *row, *constants);
    } else {
        c.line.resistanceOhmPerKm = row->resistanceOhmPerKm;
        c.line.reactanceOhmPerKm = row->reactanceOhmPerKm;
    }
}

ProjectCircuit exampleLoadCaseCircuit(const CableCatalogue& catalogue) {
    ProjectCircuit c;
    for (const CableRow& row : catalogue.rows) {
        const Computed<CableConstruction> construction = cableConstruction(row.cable);
        if (!construction)
            continue;
        const auto sections = catalogue.sectionsOf(row.cable.lossType, row.cable.cableType);
        const CableRow* chosen = sections[sections.size() / 2];
        for (const CableRow* s : sections)
            if (s->cable.crossSection == QLatin1String("25"))
                chosen = s;
        c.line.cable = chosen->cable;
        if (const Computed<double> k = thermalCoefficientK(*construction))
            c.protection.coefficientK = *k;
        fillCableSection(c, catalogue);
        break;
    }
    c.protection.durationS = 0.1;
    c.protection.loadCurrentA = 30.0;
    c.protection.mode = ProtectionMode::EarthFault;
    VoltageLossInput v;
    v.lineKind = LineKind::ThreePhase;
    v.loadCase = LoadCase::EndCurrent;
    v.voltageKv = {0.38, 0.38};
    v.powerFactor = 0.85;
    v.endCurrentA = 30.0;
    v.endLengthKm = 0.1;
    c.load = LoadCaseLoad{v};
    return c;
}

ProjectCircuit exampleFeederCircuit(const CableCatalogue& catalogue) {
    ProjectCircuit c = exampleLoadCaseCircuit(catalogue);
    c.protection.loadCurrentA = 0.0; // a feeder's Ib is its largest phase current
    LampFeeder lamps;
    lamps.poles = 20;
    lamps.lampsPerPole = 1;
    lamps.lampPowerW = 150.0;
    lamps.lampPowerFactor = 0.9;
    lamps.ballastFactor = 1.0;
    lamps.spacingM = 30.0;
    lamps.firstPoleM = 20.0;
    lamps.connection = FeederConnection::PhasesInTurn;
    lamps.startPhase = Phase::L1;
    c.load = lamps;
    return c;
}

} // namespace korvane
