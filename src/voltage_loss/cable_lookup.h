#pragma once

namespace korvane {

class Database;
class Form;

// The cable table of the cable database.
inline constexpr const char* kCableTable = "AAA";

// Start-up: the distinct loss types, in the order of the table, into the loss-type list.
void fillLossTypes(Form& form, const Database& db);
// The cascade loss type → cable type → cross-section, and R and X of the chosen cable into
// their fields.
void installCableLookup(Form& form, const Database& db);

} // namespace korvane
