#include "app/project_session.h"

#include "app/application.h"
#include "app/project_catalogues.h"

namespace korvane {

ProjectSession::ProjectSession(Application& app)
    : state_(loadProjectCatalogues(app)), document_(app.platform(), state_),
      supply_(state_, document_), schedule_(app.platform(), state_, document_, supply_),
      poles_(app.platform(), state_, document_), proposals_(state_, document_, poles_) {
    document_.newProject();
}

bool ProjectSession::open(const QString& path) {
    if (!document_.read(path))
        return false;
    schedule_.askToRenameRepeatedIds();
    return true;
}

} // namespace korvane
