#pragma once

#include "calc/computed.h"
#include "circuit/circuit.h"
#include "handbook/handbook_tables.h"

namespace korvane {

// What the handbook tables are indexed by: the conductor material and the insulation.
struct CableConstruction {
    ConductorMaterial material = ConductorMaterial::Copper;
    Insulation insulation = Insulation::Pvc;
};

// The conductor of a cable, from its cable type ("VV 四芯 铜芯", "YJLV 四芯 铝芯"); fails, naming
// the type, when it names neither copper nor aluminium.
Computed<ConductorMaterial> conductorMaterial(const CableIdentity& cable);

// The construction of a cable of the cable database, from its loss type and cable type: the
// four-core PVC and XLPE power cables. Overhead lines and wires in conduit are not in the
// handbook's tables of loop impedances and fail with the reason.
Computed<CableConstruction> cableConstruction(const CableIdentity& cable);

// The construction as an engineer names the cable: "铝芯交联聚乙烯电缆".
QString constructionName(const CableConstruction& construction);

// The per-metre values a protection check needs for one cross-section of a four-core cable,
// mΩ/m (numerically Ω/km), and the leakage current per km, all from the handbook tables the
// picker dialogs show (src/handbook): R′ at 20 °C, X′, R′php = 1.5·(R′ph + R′p) of a four-core
// cable (Sp = S), X′php with Sp = S, the leakage per km of the insulation.
struct HandbookLineConstants {
    double resistance = 0.0;     // R′, phase conductor (and the neutral: one section)
    double reactance = 0.0;      // X′
    double loopResistance = 0.0; // R′php
    double loopReactance = 0.0;  // X′php
    double leakagePerKmMa = 0.0;
};

// Fails, naming the table, when a table holds no figure for the section: the tables are not
// extrapolated.
Computed<HandbookLineConstants> handbookLineConstants(const CableConstruction& construction,
                                                      double crossSectionMm2);

// The thermal-stability coefficient K of the conductor, from the handbook's K table (GB 50054):
// copper 115 in PVC and 143 in XLPE, aluminium 76 and 94. Fails, naming the conductor, for a
// construction the table does not hold.
Computed<double> thermalCoefficientK(const CableConstruction& construction);

} // namespace korvane
