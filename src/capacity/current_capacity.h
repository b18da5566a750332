#pragma once

#include "calc/computed.h"
#include "handbook/handbook_tables.h"

#include <QString>

#include <optional>
#include <vector>

namespace korvane {

// Current-carrying capacity of a four-core 0.6/1 kV cable with three loaded conductors, by the
// tables of GB/T 16895.6-2014 (identical to IEC 60364-5-52:2009, annex B), and the overload
// protection of the circuit by GB 50054-2011 6.3.3.

// The reference conditions of the tables: air 30 °C; ground 20 °C, soil thermal resistivity
// 2.5 K·m/W, laying depth 0.7 m.
inline constexpr double kReferenceAirTemperatureC = 30.0;
inline constexpr double kReferenceGroundTemperatureC = 20.0;
inline constexpr double kReferenceSoilResistivityKmW = 2.5;

// How the cable is laid, as the standard's reference installation methods name them.
enum class LayingMethod {
    InAir,          // E: multi-core cable in free air, on a perforated tray or clipped clear
    InDuct,         // D1: multi-core cable in a duct (conduit) in the ground
    DirectlyBuried, // D2: multi-core cable laid directly in the ground
};
inline constexpr LayingMethod kLayingMethods[] = {LayingMethod::InAir, LayingMethod::InDuct,
                                                  LayingMethod::DirectlyBuried};

// The list text: "桥架或明敷(E)", "穿管埋地(D1)", "直埋(D2)".
QString text(LayingMethod method);
// The method of a list text; nothing for any other text.
std::optional<LayingMethod> layingMethodOf(const QString& shown);
// The method's letter in the standard: "E", "D1", "D2" (the database's key).
QString methodCode(LayingMethod method);
// D1 and D2: the temperature is the ground's and the soil resistivity applies.
bool inGround(LayingMethod method);

// Where and how a circuit's cable is laid. Each value may be missing: a circuit's own value
// overrides the project's, and what neither gives stays missing (the check is then not
// computed, naming the field).
struct InstallationConditions {
    std::optional<LayingMethod> method;
    std::optional<double> temperatureC;       // ambient air (E) or ground (D1, D2), °C
    std::optional<double> soilResistivityKmW; // K·m/W, ground only
    std::optional<int> groupedCircuits;       // circuits laid together, this one included
    std::optional<double> spacingM;           // clear distance between them, m; 0 touching

    bool operator==(const InstallationConditions&) const = default;
};

// Each value of the circuit's own conditions, or else the project's.
InstallationConditions effectiveConditions(const InstallationConditions& own,
                                           const InstallationConditions& project);

// The capacity tables of the cable database, typed.
struct CapacityTables {
    struct Rating { // a tabulated capacity at the reference conditions
        ConductorMaterial material;
        Insulation insulation;
        LayingMethod method;
        double sectionMm2;
        double currentA;
    };
    struct TemperatureFactor { // B.52.14 (air, reference 30 °C), B.52.15 (ground, 20 °C)
        bool ground;
        Insulation insulation;
        double temperatureC;
        double factor;
    };
    struct ResistivityFactor { // B.52.16, reference 2.5 K·m/W
        LayingMethod method;   // InDuct or DirectlyBuried
        double resistivityKmW;
        double factor;
    };
    struct GroupingFactor { // B.52.17 (E, on a tray), B.52.18 (D2), B.52.19 (D1)
        LayingMethod method;
        double spacingM; // 0: touching
        int circuits;
        double factor;
    };
    std::vector<Rating> ratings;
    std::vector<TemperatureFactor> temperatureFactors;
    std::vector<ResistivityFactor> resistivityFactors;
    std::vector<GroupingFactor> groupingFactors;

    bool empty() const { return ratings.empty(); }
};

// Iz = tabulated capacity × each correction factor, with the factors shown.
struct CurrentCarryingCapacity {
    double tabulatedA = 0.0;        // I0 at the reference conditions
    double temperatureFactor = 1.0; // Kt
    double resistivityFactor = 1.0; // Kρ (1 in air)
    double groupingFactor = 1.0;    // Kg
    double capacityA = 0.0;         // Iz = I0·Kt·Kρ·Kg
    QString table;                  // "GB/T 16895.6-2014 表B.52.5 D2" and the like
    QString temperatureRule;        // which row the factor was read from and why
};

// The capacity of a cable of `material`, `insulation` and `sectionMm2` laid as `conditions`
// say. Not computed, with the reason (in Chinese, naming the field), when a value is missing or
// impossible (a negative resistivity, no or a negative number of circuits, a temperature at or
// above the insulation's limit of 70 °C PVC / 90 °C XLPE) or when the tables do not hold the
// cable, the method or the condition: nothing is extrapolated. A temperature or resistivity
// between two rows takes the less favourable row (the higher one); a spacing between two columns
// the smaller spacing; more circuits than the table lists is not computed.
Computed<CurrentCarryingCapacity> currentCarryingCapacity(const CapacityTables& tables,
                                                          ConductorMaterial material,
                                                          Insulation insulation, double sectionMm2,
                                                          const InstallationConditions& conditions);

// Third-harmonic currents in a four-core cable (GB/T 16895.6-2014 annex E, table E.52.1): the
// factor on the capacity and whether the cable is sized on the neutral current.
struct HarmonicReduction {
    double factor = 1.0;    // 1.0 / 0.86 / 0.86 / 1.0
    bool onNeutral = false; // third-harmonic content above 33 %
};
// `thirdHarmonicPercent` is the third-harmonic content of the phase current, %; outside 0–100
// is not computed.
Computed<HarmonicReduction> harmonicReduction(double thirdHarmonicPercent);

// The neutral current of a four-wire circuit with third harmonics: the fundamental imbalance
// (the phasor sum, as computed without harmonics) and the third harmonics of the three phases,
// which are in phase in the neutral and add: IN = √(IN1² + (h·ΣIL)²), h the content as a share.
double neutralCurrentWithHarmonics(double neutralFundamentalA, double sumOfPhaseCurrentsA,
                                   double thirdHarmonicPercent);

// The default third-harmonic content of a lamp where the engineer gives none: the limit of
// IEC 61000-3-2 (GB 17625.1) class C for lighting above 25 W, 30·λ % of the input current, λ
// the circuit power factor. The limit bounds what a compliant lamp draws, so it is the
// conservative figure.
double classCThirdHarmonicLimitPercent(double powerFactor);

// The overload protection of a circuit, GB 50054-2011 6.3.3: Ib ≤ In ≤ Iz and I2 ≤ 1.45·Iz, I2
// the conventional operating current of the breaker (I2 = factor · In).
struct OverloadProtection {
    double loadCurrentA = 0.0;         // Ib (or the neutral current where the cable is sized on it)
    double ratedCurrentA = 0.0;        // In
    double capacityA = 0.0;            // Iz
    double conventionalTripA = 0.0;    // I2
    bool loadWithinRating = false;     // Ib ≤ In
    bool ratingWithinCapacity = false; // In ≤ Iz
    bool tripWithinLimit = false;      // I2 ≤ 1.45·Iz
    bool passed() const { return loadWithinRating && ratingWithinCapacity && tripWithinLimit; }
};
inline constexpr double kConventionalTripLimit = 1.45;
OverloadProtection checkOverloadProtection(double loadCurrentA, double ratedCurrentA,
                                           double conventionalTripFactor, double capacityA);

} // namespace korvane
