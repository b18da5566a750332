#pragma once

#include "project/cable_catalogue.h"
#include "project/project.h"

namespace korvane {

// Gives the circuit the values of its cable section: R and X per km from the cable database, and
// from the handbook tables the per-metre values and the leakage current where they hold the
// cable. A cable the database lacks is left as it is (computing the project reports it); one the
// handbook tables do not hold (an overhead line) keeps its per-metre values as they were typed.
void fillCableSection(ProjectCircuit& circuit, const CableCatalogue& catalogue);

// The circuits a new schedule row starts from, without an identifier: a distribution box of 30 A
// at 100 m on three phases at 0.38 kV, cos φ 0.85, and a feeder of 20 poles of one 150 W lamp
// (cos φ 0.9) every 30 m from 20 m, phases in turn from L1. Both on the first cable of the
// database the handbook tables hold, at 25 mm² when it has it, earth-fault protection of 0.1 s.
ProjectCircuit exampleLoadCaseCircuit(const CableCatalogue& catalogue);
ProjectCircuit exampleFeederCircuit(const CableCatalogue& catalogue);

} // namespace korvane
