#include "app/project_catalogues.h"

#include "app/application.h"
#include "db/database.h"
#include "short_circuit/dialog_database.h"

namespace korvane {

namespace {

const QString kCableDatabase = QStringLiteral("Database/JhxlDlxlss.db");

} // namespace

const CableCatalogue& ProjectCatalogues::cableRows() const {
    static const CableCatalogue kNone;
    return cables ? *cables : kNone;
}

ProjectCatalogues loadProjectCatalogues(const Application& app) {
    ProjectCatalogues c;
    {
        Database db(app.homePath(kCableDatabase));
        const QString why = db.open(QStringLiteral("AAA"));
        c.cables = why.isEmpty() ? loadCableCatalogue(db) : Computed<CableCatalogue>::failed(why);
    }
    Database db(app.homePath(QString::fromLatin1(kTransformerBusbarDatabase)));
    const QString why = db.open(QStringLiteral("变压器阻抗"));
    c.supplies = why.isEmpty() ? loadSupplyCatalogue(db) : Computed<SupplyCatalogue>::failed(why);
    if (c.supplies) {
        c.transformers = transformerChoices(*c.supplies);
        c.busbars = busbarChoices(*c.supplies);
    }
    return c;
}

} // namespace korvane
