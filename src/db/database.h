#pragma once

#include <QSqlRecord>
#include <QString>
#include <QVariantList>

#include <optional>
#include <vector>

namespace korvane {

class ComboBox;

// Rows of one query, read forward and kept; `ok` is false when the query could not run.
struct QueryResult {
    bool ok = false;
    QString error;
    std::vector<QSqlRecord> rows;
};

// A read-only connection to one SQLite database file below the program's folder. Each owner
// (the main window, each database dialog) holds its own connection. Queries take the user's
// choices as bound parameters, never as text inside the SQL.
class Database {
public:
    explicit Database(QString filePath);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& filePath() const { return filePath_; }

    // Opens the file read-only and checks that it is an SQLite database holding `table`.
    // Returns an empty string on success, otherwise why it failed.
    QString open(const QString& requiredTable);
    bool isOpen() const;
    void close();

    QueryResult query(const QString& sql, const QVariantList& parameters = {}) const;

private:
    QString filePath_;
    QString connectionName_;
};

// Adds the value of `column` of every row to a choice list, in the order of the rows.
void fillList(ComboBox& list, const QueryResult& result, int column = 0);

// A number read from the database: a numeric value, or a text in the program's own '.' form.
// NULL, any other text, a blob, a value that is not finite or one of a magnitude no table holds
// gives std::nullopt, like a missing value.
std::optional<double> databaseNumber(const QVariant& value);

// The text of a number read from the database: general format with the regional decimal sign.
// A value that databaseNumber does not take gives the empty text.
QString databaseNumberText(const QVariant& value);

} // namespace korvane
