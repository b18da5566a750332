#pragma once

#include "db/database.h"
#include "project/cable_catalogue.h"
#include "project/project.h"

namespace korvane::testing {

// The handbook's worked network: 100 MVA system, 400 kVA transformer (uk 4 %, ΔP 4.3 kW), copper
// busbar 4(100X10) of 5 m.
inline Supply workedSupply() {
    Supply s;
    s.systemCapacityMva = 100.0;
    s.transformer = {QStringLiteral("S11-M"), 400.0, 4.0, 4.3, QStringLiteral("10")};
    s.busbar = {
        QStringLiteral("铜母线TMY"), QStringLiteral("4(100X10)"), {0.025, 0.15, 0.05, 0.3}, 5.0};
    return s;
}

inline CableIdentity vvCopper(const char* section) {
    return {QStringLiteral("聚氯乙烯绝缘电力电缆(0.6/1kV)"), QStringLiteral("VV 四芯 铜芯"),
            QString::fromLatin1(section)};
}

// The cable database the tests build (the shipped tables and the test rows), read once.
inline const CableCatalogue& shippedCatalogue() {
    static const CableCatalogue catalogue = [] {
        Database db(QStringLiteral(KORVANE_TEST_HOME "/Database/JhxlDlxlss.db"));
        db.open(QStringLiteral("AAA"));
        return loadCableCatalogue(db).valueOr({});
    }();
    return catalogue;
}

// The VV four-core copper rows of the shipped cable database (R at 20 °C, X), Ω/km, with the
// shipped reference data of project circuits (capacities, temperatures, switchgear).
inline CableCatalogue vvCatalogue() {
    const std::pair<const char*, std::pair<double, double>> rows[] = {
        {"2.5", {7.41, 0.10}},   {"4", {4.61, 0.10}},    {"6", {3.08, 0.10}},
        {"10", {1.83, 0.09}},    {"16", {1.15, 0.09}},   {"25", {0.727, 0.09}},
        {"35", {0.524, 0.08}},   {"50", {0.387, 0.08}},  {"70", {0.268, 0.08}},
        {"95", {0.193, 0.08}},   {"120", {0.153, 0.08}}, {"150", {0.124, 0.08}},
        {"185", {0.0991, 0.07}}, {"240", {0.0754, 0.07}}};
    CableCatalogue catalogue;
    catalogue.capacity = shippedCatalogue().capacity;
    catalogue.lossTypes = shippedCatalogue().lossTypes;
    catalogue.switchgear = shippedCatalogue().switchgear;
    // Stored out of order, as a table may hold them: sizing orders by the number.
    for (auto it = std::rbegin(rows); it != std::rend(rows); ++it)
        catalogue.rows.push_back({vvCopper(it->first), it->second.first, it->second.second});
    return catalogue;
}

// A three-phase circuit with one load of `currentA` at its end, `lengthKm` away, cos φ 0.9, on
// 50 mm² VV copper with the worked example's per-metre loop values.
inline ProjectCircuit endLoadCircuit(double currentA, double lengthKm) {
    ProjectCircuit c;
    c.id = QStringLiteral("WL1");
    c.line.cable = vvCopper("50");
    c.line.resistanceOhmPerKm = 0.387;
    c.line.reactanceOhmPerKm = 0.08;
    c.line.perMetreMilliOhm = {0.3, 0.08, 0.9, 0.16};
    c.line.neutralResistanceMilliOhmPerM = 0.6;
    c.line.neutralReactanceMilliOhmPerM = 0.15;
    c.protection = {115.0, 0.1, 79.0, currentA, ProtectionMode::EarthFault, std::nullopt};
    VoltageLossInput v;
    v.lineKind = LineKind::ThreePhase;
    v.loadCase = LoadCase::EndCurrent;
    v.voltageKv = {0.38, 0.38};
    v.powerFactor = 0.9;
    v.endCurrentA = currentA;
    v.endLengthKm = lengthKm;
    c.load = LoadCaseLoad{v};
    return c;
}

// The circuits laid in ducts in the ground at the reference conditions of the capacity tables
// (ground 20 °C, soil 2.5 K·m/W, one circuit), and their voltage loss computed with R at 20 °C,
// the temperature of the database's VV rows and of the handbook's worked figures the hand
// computations of these tests start from.
inline Project projectOf(std::vector<ProjectCircuit> circuits) {
    Project p;
    p.name = QStringLiteral("测试工程");
    p.supply = workedSupply();
    p.installation = {LayingMethod::InDuct, 20.0, 2.5, 1, std::nullopt};
    p.conductorTemperatureC = 20.0;
    p.circuits = std::move(circuits);
    return p;
}

// Three circuits of every kind: an end load, a three-phase feeder in turn, several loads.
inline Project severalCircuits() {
    ProjectCircuit feeder = endLoadCircuit(0.0, 0.0);
    feeder.id = QStringLiteral("WL2");
    feeder.description = QStringLiteral("主干道东侧路灯");
    LampFeeder lamps;
    lamps.poles = 30;
    lamps.lampsPerPole = 2;
    lamps.lampPowerW = 150.0;
    lamps.lampPowerFactor = 0.9;
    lamps.ballastFactor = 1.0;
    lamps.spacingM = 35.0;
    lamps.firstPoleM = 20.0;
    lamps.connection = FeederConnection::PhasesInTurn;
    lamps.startPhase = Phase::L2;
    feeder.load = lamps;
    ProjectCircuit several = endLoadCircuit(0.0, 0.0);
    several.id = QStringLiteral("WL3");
    several.protection.loadCurrentA = 40.0;
    several.protection.mode = ProtectionMode::ShortCircuit;
    VoltageLossInput& v = std::get<LoadCaseLoad>(several.load).values;
    v.loadCase = LoadCase::SeveralCurrent;
    v.currentLoads = {{{20.0, 0.05}, {10.0, 0.12}, {10.0, 0.2}, {0.0, 0.0}}};
    v.conductorTempC = 70.0;
    v.ambientTempC = 30.0;
    Project project = projectOf({endLoadCircuit(60.0, 0.1), feeder, several});
    project.engineer = QStringLiteral("张工");
    project.voltageLossLimitPercent = 4.0;
    return project;
}

// The same three circuits with the values that may stay missing given in some of them: the
// feeder's third-harmonic content and its own installation, the third circuit's device I²t and
// its way of laying (the rest as the project's); the first gives none.
inline Project severalCircuitsWithInstallation() {
    Project project = severalCircuits();
    std::get<LampFeeder>(project.circuits[1].load).thirdHarmonicPercent = 20.0;
    project.circuits[1].installation = {LayingMethod::DirectlyBuried, 25.0, 1.5, 2, 0.25};
    project.circuits[2].protection.letThroughA2s = 1e5;
    project.circuits[2].installation.method = LayingMethod::InAir;
    return project;
}

} // namespace korvane::testing
