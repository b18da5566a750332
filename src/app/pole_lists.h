#pragma once

#include "project/project.h"

#include <QString>
#include <QStringList>

#include <utility>

namespace korvane {

// The rules the pole-list editor and the phase balancing share about a feeder's pole list.

// Pole numbers (and run names) are compared without surrounding spaces and case.
bool samePoleId(const QString& a, const QString& b);
// The run and place of the pole with the number; {-1, -1} for none.
std::pair<int, int> findPole(const PoleList& list, const QString& id);
// The runs leaving a pole of the run, by name.
QStringList branchesFrom(const PoleList& list, const QString& poleId);
// The next number after `id` that no pole has: "N12" gives "N13", "7" gives "8", "A" gives
// "A-1". The engineer renumbers as the survey does.
QString nextFreePoleId(const PoleList& list, const QString& id);
// "支线n" for the first n that no run is called.
QString nextFreeRunName(const PoleList& list);
// The same feeder, two lists missing the same values (not a number) being the same list.
bool sameFeeder(const LampFeeder& a, const LampFeeder& b);
// The cable a run is laid in: its own, or that of the run it leaves (the trunk's is the
// circuit's). A loop of branches ends at the circuit's cable.
CableIdentity runCable(const PoleList& list, int run, const CableIdentity& circuitCable);

} // namespace korvane
