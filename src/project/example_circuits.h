#pragma once

#include "project/cable_catalogue.h"
#include "project/inputs/schedule_columns.h"
#include "project/project.h"

#include <QString>

#include <vector>

namespace korvane {

// Gives the circuit the values of its cable section: R and X per km from the cable database, and
// from the handbook tables the per-metre values and the leakage current where they hold the
// cable. A cable the database lacks is left as it is (computing the project reports it); one the
// handbook tables do not hold (an overhead line) keeps its per-metre values as they were typed.
void fillCableSection(ProjectCircuit& circuit, const CableCatalogue& catalogue);

// The columns of a circuit's cable values that the tables give when a circuit list leaves them
// blank: R(Ω/km), X(Ω/km), the six per-metre values and the leakage current per km.
const std::vector<ScheduleColumn>& cableTableColumns();

// What filling a circuit's blank cable values did.
struct CableFill {
    // What was filled and from where ("R、X 与单位长度阻抗按电缆数据库和手册表填入"); empty when
    // nothing was blank.
    QString filled;
    // Why the blanks cannot be filled (the cable is not in the database, the handbook has no
    // figure for its section); the circuit is then left as it was.
    QString refused;
};

// Gives the `blanks` (of cableTableColumns) of a circuit the values a new section gets: R and X
// of the cable's row in the cable database, the per-metre values and the leakage current from the
// handbook tables, R′, X′ as R′php, X′php (see withCableSection). What was given is kept.
CableFill fillBlankCableValues(ProjectCircuit& circuit, const std::vector<ScheduleColumn>& blanks,
                               const CableCatalogue& catalogue);

// The circuits a new schedule row starts from, without an identifier: a distribution box of 30 A
// at 100 m on three phases at 0.38 kV, cos φ 0.85, and a feeder of 20 poles of one 150 W lamp
// (cos φ 0.9) every 30 m from 20 m, phases in turn from L1. Both on the first cable of the
// database the handbook tables hold, at 25 mm² when it has it, earth-fault protection of 0.1 s.
ProjectCircuit exampleLoadCaseCircuit(const CableCatalogue& catalogue);
ProjectCircuit exampleFeederCircuit(const CableCatalogue& catalogue);

} // namespace korvane
