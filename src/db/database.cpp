#include "db/database.h"

#include "base/number_format.h"
#include "form/controls.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>
#include <cmath>

namespace korvane {

namespace {
QString nextConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("korvane-%1").arg(++counter);
}
} // namespace

Database::Database(QString filePath)
    : filePath_(std::move(filePath)), connectionName_(nextConnectionName()) {}

Database::~Database() {
    close();
}

QString Database::open(const QString& requiredTable) {
    close();
    const QFileInfo info(filePath_);
    if (!info.exists() || !info.isFile())
        return QStringLiteral("文件不存在");
    if (!info.isReadable())
        return QStringLiteral("文件无法读取");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
        db.setDatabaseName(filePath_);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            const QString why = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName_);
            return why;
        }
    }
    // SQLite opens any file lazily; the first read tells whether it is a database at all.
    const QueryResult check = query(
        QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?"),
        {requiredTable});
    if (!check.ok || check.rows.empty() || check.rows.front().value(0).toInt() != 1) {
        const QString why =
            check.ok ? QStringLiteral("缺少数据表 %1").arg(requiredTable) : check.error;
        close();
        return why;
    }
    return {};
}

bool Database::isOpen() const {
    return QSqlDatabase::contains(connectionName_) &&
           QSqlDatabase::database(connectionName_, false).isOpen();
}

void Database::close() {
    if (!QSqlDatabase::contains(connectionName_))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QueryResult Database::query(const QString& sql, const QVariantList& parameters) const {
    QueryResult result;
    if (!QSqlDatabase::contains(connectionName_)) {
        result.error = QStringLiteral("数据库未打开");
        return result;
    }
    QSqlQuery q(QSqlDatabase::database(connectionName_, false));
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        result.error = q.lastError().text();
        return result;
    }
    for (const QVariant& p : parameters)
        q.addBindValue(p);
    if (!q.exec()) {
        result.error = q.lastError().text();
        return result;
    }
    while (q.next())
        result.rows.push_back(q.record());
    result.ok = true;
    return result;
}

void fillList(ComboBox& list, const QueryResult& result, int column) {
    for (const auto& row : result.rows)
        list.addItem(row.value(column).toString());
}

namespace {

// No cable, transformer or busbar table holds a figure of this size (resistances in Ω/km or
// mΩ/m, impedance voltages in %, losses in kW); a larger one is a damaged entry.
constexpr double kLargestTableFigure = 1e9;

} // namespace

std::optional<double> databaseNumber(const QVariant& value) {
    if (value.isNull() || !value.isValid())
        return std::nullopt;
    std::optional<double> number;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        number = value.toDouble();
        break;
    case QMetaType::QString:
        // SQLite keeps a value it cannot take as a number as text. Only a text in the
        // program's own form counts; "0,387" is not reinterpreted as 387 or 0.387.
        number = readPlainDecimal(value.toString());
        break;
    default: // a blob or anything else is no figure
        break;
    }
    if (!number || !std::isfinite(*number) || std::abs(*number) >= kLargestTableFigure)
        return std::nullopt;
    return number;
}

QString databaseNumberText(const QVariant& value) {
    const auto number = databaseNumber(value);
    return number ? formatGeneral(*number) : QString();
}

} // namespace korvane
