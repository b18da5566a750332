#pragma once

#include <optional>
#include <vector>

namespace korvane {

// The handbook tables of low-voltage line impedances, leakage currents and the thermal
// coefficient K (《工业与民用配电设计手册》第三版), as numbers. The picker dialogs draw their
// grids from these figures and the project computation looks its values up here, so that what
// the engineer picks and what a project computes are the same figures.

enum class ConductorMaterial { Copper, Aluminium };
enum class Insulation { Pvc, Xlpe };

// One column of a table: the cross-section that heads it, mm², and the figure of the row there;
// missing where the handbook leaves the cell blank.
struct SectionFigure {
    double sectionMm2 = 0.0;
    std::optional<double> value;
};

// A row of a table over cross-sections, in the handbook's column order.
struct SectionRow {
    std::vector<SectionFigure> figures;

    // The figure at a cross-section; missing when the table has no such column or the cell is
    // blank. Sections compare as numbers (a column of 2.5 mm² is found by 2.5).
    std::optional<double> at(double sectionMm2) const;
};

// R′ of the conductor at 20 °C, mΩ/m, 185 mm² down to 1.5 mm² (no aluminium at 1.5 mm²).
const SectionRow& conductorResistance(ConductorMaterial material);

// X′ of a four-core cable, mΩ/m, 185 mm² down to 4 mm² (no XLPE figure at 185 mm²).
const SectionRow& cableReactance(Insulation insulation);

// R′php = 1.5·(R′ph + R′p) of a four-core cable (Sp = S), mΩ/m, 185 mm² down to 2.5 mm².
const SectionRow& fourCoreLoopResistance(ConductorMaterial material);

// R′php of a 3+1-core cable: the phase section, the smaller protective core that goes with it
// and the loop resistance of each conductor material, mΩ/m. The 2.5 mm² phase section has no
// protective core in the table.
struct ThreePlusOneLoop {
    double phaseMm2 = 0.0;
    std::optional<double> protectiveMm2;
    std::optional<double> aluminium;
    std::optional<double> copper;
};
const std::vector<ThreePlusOneLoop>& threePlusOneLoopResistance();

// X′php of an all-plastic (PVC) four-core cable, mΩ/m, 185 mm² down to 4 mm²: with the
// protective conductor of the phase section (Sp = S) or of half of it (Sp = S/2).
enum class ProtectiveSection { Full, Half };
const SectionRow& allPlasticLoopReactance(ProtectiveSection protective);

// Leakage current per km of 220/380 V lines in conduit, mA/km, 4 mm² up to 185 mm².
const SectionRow& leakagePerKm(Insulation insulation);

// The thermal-stability coefficient K of a conductor by its insulation (GB 50054): copper 115
// in PVC and 143 in XLPE, aluminium 76 and 94. Missing for a pairing the table does not hold.
std::optional<double> thermalCoefficient(ConductorMaterial material, Insulation insulation);

} // namespace korvane
