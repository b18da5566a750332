#include "app/project_catalogues.h"

#include "app/application.h"
#include "db/database.h"
#include "short_circuit/dialog_database.h"

namespace korvane {

namespace {

const QString kCableDatabase = QStringLiteral("Database/JhxlDlxlss.db");

} // namespace

ProjectCatalogues loadProjectCatalogues(const Application& app) {
    ProjectCatalogues c;
    {
        Database db(app.homePath(kCableDatabase));
        QString why = db.open(QStringLiteral("AAA"));
        if (why.isEmpty()) {
            const Computed<CableCatalogue> loaded = loadCableCatalogue(db);
            if (loaded)
                c.cables = *loaded;
            else
                why = loaded.reason();
        }
        c.cablesProblem = why;
    }
    Database db(app.homePath(QString::fromLatin1(kTransformerBusbarDatabase)));
    QString why = db.open(QStringLiteral("变压器阻抗"));
    if (why.isEmpty()) {
        const Computed<SupplyCatalogue> loaded = loadSupplyCatalogue(db);
        if (loaded) {
            c.supplies = *loaded;
            c.transformers = transformerChoices(c.supplies);
            c.busbars = busbarChoices(c.supplies);
        } else {
            why = loaded.reason();
        }
    }
    c.suppliesProblem = why;
    return c;
}

} // namespace korvane
