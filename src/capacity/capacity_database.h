#pragma once

#include "calc/computed.h"
#include "capacity/current_capacity.h"
#include "db/database.h"

namespace korvane {

// The capacity tables of the cable database (data/cable_capacity.sql), read whole and typed.
// Not computed, with the reason, when the database lacks one of the four tables or cannot read
// it. A row whose code (conductor, insulation, method, medium) the program does not know, or
// whose figure is missing or not a number, is skipped: a lookup that needs it then reports the
// figure as missing rather than using a wrong one.
Computed<CapacityTables> loadCapacityTables(const Database& db);

} // namespace korvane
