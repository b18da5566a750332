#include "short_circuit/dialog_database.h"

#include "app/application.h"

#include <QDir>

namespace korvane {

std::shared_ptr<Database> dialogDatabase(const Application& app) {
    return std::make_shared<Database>(
        app.homePath(QString::fromLatin1(kTransformerBusbarDatabase)));
}

bool openAndFillFirstList(Application& app, Form& dialog, Database& db, const QString& table,
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

} // namespace korvane
