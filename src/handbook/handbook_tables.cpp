#include "handbook/handbook_tables.h"

#include <cmath>
#include <initializer_list>

namespace korvane {

namespace {

using Cell = std::optional<double>;
constexpr std::nullopt_t blank = std::nullopt;

// The columns of the impedance tables, largest section first, as the handbook prints them.
constexpr double kImpedanceSections[] = {185, 150, 120, 95, 70, 50, 35, 25, 16, 10, 6, 4, 2.5, 1.5};

// A row over the first values.size() columns of `sections`.
template <size_t N>
SectionRow sectionRow(const double (&sections)[N], std::initializer_list<Cell> values) {
    SectionRow row;
    size_t column = 0;
    for (const Cell& value : values)
        row.figures.push_back({sections[column++], value});
    return row;
}

} // namespace

std::optional<double> SectionRow::at(double sectionMm2) const {
    for (const SectionFigure& figure : figures)
        if (std::abs(figure.sectionMm2 - sectionMm2) < 1e-9)
            return figure.value;
    return std::nullopt;
}

const SectionRow& conductorResistance(ConductorMaterial material) {
    static const SectionRow aluminium =
        sectionRow(kImpedanceSections, {0.156, 0.192, 0.240, 0.303, 0.411, 0.575, 0.822, 1.151,
                                        1.798, 2.876, 4.700, 7.050, 11.28, blank});
    static const SectionRow copper =
        sectionRow(kImpedanceSections, {0.095, 0.117, 0.146, 0.185, 0.251, 0.351, 0.501, 0.702,
                                        1.097, 1.754, 2.867, 4.300, 6.880, 11.467});
    return material == ConductorMaterial::Copper ? copper : aluminium;
}

const SectionRow& cableReactance(Insulation insulation) {
    static const SectionRow pvc =
        sectionRow(kImpedanceSections, {0.076, 0.076, 0.076, 0.079, 0.078, 0.079, 0.080, 0.082,
                                        0.087, 0.094, 0.100, 0.100});
    static const SectionRow xlpe =
        sectionRow(kImpedanceSections, {blank, 0.077, 0.076, 0.077, 0.078, 0.079, 0.080, 0.080,
                                        0.082, 0.085, 0.092, 0.097});
    return insulation == Insulation::Pvc ? pvc : xlpe;
}

const SectionRow& fourCoreLoopResistance(ConductorMaterial material) {
    static const SectionRow aluminium =
        sectionRow(kImpedanceSections, {0.468, 0.576, 0.720, 0.909, 1.233, 1.725, 2.466, 3.453,
                                        5.394, 8.628, 14.000, 21.150, 33.840});
    static const SectionRow copper =
        sectionRow(kImpedanceSections, {0.285, 0.351, 0.438, 0.555, 0.753, 1.053, 1.503, 2.106,
                                        3.291, 5.262, 8.601, 12.900, 20.640});
    return material == ConductorMaterial::Copper ? copper : aluminium;
}

const std::vector<ThreePlusOneLoop>& threePlusOneLoopResistance() {
    static const std::vector<ThreePlusOneLoop> rows = {
        {185, 95, 0.689, 0.420},   {150, 70, 0.905, 0.552}, {120, 70, 0.977, 0.596},
        {95, 50, 1.317, 0.804},    {70, 35, 1.850, 1.128},  {50, 25, 2.589, 1.580},
        {35, 16, 3.930, 2.397},    {25, 16, 4.424, 2.699},  {16, 10, 7.011, 4.277},
        {10, 6, 11.364, 6.932},    {6, 4, 17.625, 10.751},  {4, 2.5, 27.495, 16.770},
        {2.5, blank, blank, blank}};
    return rows;
}

const SectionRow& allPlasticLoopReactance(ProtectiveSection protective) {
    static const SectionRow full =
        sectionRow(kImpedanceSections, {0.152, 0.152, 0.152, 0.158, 0.156, 0.158, 0.160, 0.164,
                                        0.174, 0.188, 0.200, 0.200});
    static const SectionRow half =
        sectionRow(kImpedanceSections, {0.179, 0.161, 0.161, 0.186, 0.178, 0.187, 0.191, 0.192,
                                        0.201, 0.224, 0.211, 0.234});
    return protective == ProtectiveSection::Full ? full : half;
}

const SectionRow& leakagePerKm(Insulation insulation) {
    // This table runs from the smallest section up.
    static constexpr double sections[] = {4, 6, 10, 16, 25, 35, 50, 70, 95, 120, 150, 185};
    static const SectionRow pvc =
        sectionRow(sections, {52, 52, 56, 62, 70, 70, 79, 89, 99, 109, 112, 116});
    static const SectionRow xlpe =
        sectionRow(sections, {17, 20, 25, 26, 29, 33, 33, 33, 33, 38, 38, 38});
    return insulation == Insulation::Pvc ? pvc : xlpe;
}

std::optional<double> thermalCoefficient(ConductorMaterial material, Insulation insulation) {
    struct Entry {
        ConductorMaterial material;
        Insulation insulation;
        double k;
    };
    static constexpr Entry table[] = {{ConductorMaterial::Copper, Insulation::Pvc, 115},
                                      {ConductorMaterial::Copper, Insulation::Xlpe, 143},
                                      {ConductorMaterial::Aluminium, Insulation::Pvc, 76},
                                      {ConductorMaterial::Aluminium, Insulation::Xlpe, 94}};
    for (const Entry& e : table)
        if (e.material == material && e.insulation == insulation)
            return e.k;
    return std::nullopt;
}

} // namespace korvane
