#include "short_circuit/dialog_database.h"

#include <QSet>

#include "base/number_format.h"
#include "form/form.h"
#include "pages/page_services.h"

#include <QDir>

namespace korvane {

namespace {

// A number in the program's own form with '.' or ',' as its decimal sign.
std::optional<double> eitherSignNumber(QString text) {
    return readPlainDecimal(text.replace(u',', u'.'));
}

} // namespace

std::shared_ptr<Database> dialogDatabase(const PageServices& app) {
    return std::make_shared<Database>(
        app.homePath(QString::fromLatin1(kTransformerBusbarDatabase)));
}

bool openAndFillFirstList(PageServices& app, Form& dialog, Database& db, const QString& table,
                          const QString& sql, ComboBox& list) {
    const QString file = QDir::toNativeSeparators(db.filePath());
    QString problem;
    if (const QString why = db.open(table); !why.isEmpty()) {
        problem = QStringLiteral("无法打开数据库文件：\r\n%1\r\n（%2）").arg(file, why);
    } else {
        const QueryResult result = db.query(sql);
        if (!result.ok)
            problem = QStringLiteral("无法读取数据库文件 %1 中的数据表“%2”：\r\n%3")
                          .arg(file, table, result.error);
        else if (result.rows.empty())
            problem = QStringLiteral("数据库文件 %1 中的数据表“%2”没有数据。").arg(file, table);
        else
            fillList(list, result);
    }
    if (problem.isEmpty())
        return true;
    app.platform().messageBox(MessageIcon::Critical, dialog.caption(), problem);
    dialog.unload();
    return false;
}

bool holdsDatabaseNumber(const QString& field, const QVariant& value) {
    if (field == databaseNumberText(value))
        return true;
    const std::optional<double> held = eitherSignNumber(field);
    const std::optional<double> stored = databaseNumber(value);
    return held && stored && *held == *stored;
}

bool holdsKeyText(const QString& field, const QString& key) {
    if (field == regionalDecimalText(key))
        return true;
    const std::optional<double> held = eitherSignNumber(field);
    return held && held == eitherSignNumber(key);
}

std::optional<QSqlRecord> firstHeldRow(const QueryResult& rows, int keyColumns,
                                       const std::function<bool(const QSqlRecord&)>& held) {
    if (!rows.ok)
        return std::nullopt;
    QSet<QStringList> seen;
    for (const QSqlRecord& row : rows.rows) {
        QStringList key;
        for (int i = 0; i < keyColumns; ++i)
            key << row.value(i).toString();
        if (seen.contains(key))
            continue;
        seen.insert(key);
        if (held(row))
            return row;
    }
    return std::nullopt;
}

} // namespace korvane
