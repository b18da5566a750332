#pragma once

#include "pages/short_circuit_fields.h"

#include "db/database.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace korvane {

class PageServices;
class Form;
class ComboBox;

// The transformer and busbar database beside the program.
inline constexpr const char* kTransformerBusbarDatabase = "Database/Byaqi-Muxie.db";

// A dialog's own connection to the transformer and busbar database, opened when the dialog loads.
std::shared_ptr<Database> dialogDatabase(const PageServices& app);

// Opens the connection and fills `list` with the first column of `sql`. When the file cannot be
// opened or the table holds no rows, says so in a critical message box naming the file or the
// table, unloads the dialog and returns false; nothing of the main window has been touched then.
bool openAndFillFirstList(PageServices& app, Form& dialog, Database& db, const QString& table,
                          const QString& sql, ComboBox& list);

// Whether a main-window field still holds what a dialog wrote there from a database number
// (databaseNumberText) or from a key text (regionalDecimalText): the same text, or the same
// number written with the other decimal sign, as in a calculation file saved under another
// regional format.
bool holdsDatabaseNumber(const QString& field, const QVariant& value);
bool holdsKeyText(const QString& field, const QString& key);

// The row of a dialog's table that the main window holds: the first row, in table order, of each
// key (the first `keyColumns` columns) for which `held` is true. Only the first row of a key
// counts, because choosing that key in the dialog finds that row. Nothing when none is held or
// the table cannot be read.
std::optional<QSqlRecord> firstHeldRow(const QueryResult& rows, int keyColumns,
                                       const std::function<bool(const QSqlRecord&)>& held);

} // namespace korvane
