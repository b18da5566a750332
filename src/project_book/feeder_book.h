#pragma once

#include "project/project_compute.h"
#include "project/project_run.h"
#include "project/sizing.h"
#include "reports/report_writer.h"

#include <QString>
#include <QStringList>

namespace korvane {

// The parts of the project book that belong to a lamp-pole feeder: its pole table, the structure
// of its trunk and branches, the worst pole and the weakest end with their paths, the checks of
// each cable section and the sizing decision of each. An equal feeder is its generated list of
// one run. Every figure is the computed one; a value that was not computed is written as its
// reason, never as a 0.

// The pole table: 支线, 杆号, 距电源(m), 杆距(m), 灯具 ("2×150W+1×60W"), 相别 ("L2*" where the
// engineer fixed it), ΔuL1/ΔuL2/ΔuL3 (%) and 备注 (最不利 at the worst pole, whose judged Δu is
// bold), one row per pole in the list's order, the header repeated on every page. The Δu of a
// pole's own phase is red and bold where it exceeds the project's limit. It fills the 146 mm
// between the margins of an A4 page at 7.5 pt. Fails with the reason when the circuit is not a
// feeder or its poles were not computed.
Computed<ReportTable> feederPoleTable(const ProjectCircuit& circuit, const CircuitResult& result,
                                      double limitPercent);

// The notes under the pole table: what the * of a fixed phase means, and how the three Δu are
// judged.
QStringList poleTableNotes(const ProjectCircuit& circuit, const CircuitResult& result);

// The pole table of the run's circuit `circuitId` (as the circuit table writes it), one line per
// row, its cells separated by tabs: korvane-cli's --pole-table. Fails with the reason when the
// project has no such circuit, it is not a feeder or its poles were not computed.
Computed<QStringList> poleTableText(const ProjectRun& run, const QString& circuitId);

// A table as lines of text, its cells joined by `separator`, a line break in a cell a blank.
QStringList tableLines(const ReportTable& table, const QString& separator);

// The load of a feeder as the circuit table names it: "路灯馈线 20 杆", with its branches
// "路灯馈线 32 杆 2 支线".
QString feederLoadText(const LampFeeder& feeder);

// Whether the computed feeder has branches (runs beyond its trunk).
bool hasBranches(const CircuitResult& result);

// 【线路结构】 of a feeder with a pole list: each run with where it leaves, its cable, length,
// poles and the currents at its start ("支线1 自干线杆 N15 引出，…"), then the totals.
QStringList feederStructureParagraphs(const ProjectCircuit& circuit, const CircuitResult& result);

// The worst pole with its path from the supply, run by run, and its Δu.
QStringList worstPathParagraphs(const CircuitResult& result);

// The point of the fault checks: the pole of the largest phase-protective loop impedance, its
// path and the line's share of the loop along it.
QStringList weakestEndParagraphs(const CircuitResult& result);

// 【各段校验】: each cable section's current-carrying capacity (its factors, against the feeder's
// one breaker, GB 50054-2011 6.3.3) and thermal stress at its own origin (6.2.3, I″k3 there).
// Empty for a circuit of one cable.
QStringList sectionCheckParagraphs(const CircuitResult& result);

// The sizing decision of each section of a feeder with branches: the chosen section and the
// check that rules out the next smaller one, the combinations tried and the rule of the choice.
// Empty for a circuit of one cable.
QStringList sectionSizingParagraphs(const SizingResult& sizing);

} // namespace korvane
