#pragma once

#include "calc/computed.h"
#include "capacity/current_capacity.h"

namespace korvane {

class Database;

// The capacity tables of the cable database (cable_capacity and its correction factors); failed
// with the reason when the database does not hold them.
Computed<CapacityTables> loadCapacityTables(const Database& db);

} // namespace korvane
