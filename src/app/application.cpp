#include "app/application.h"

#include "app/main_window.h"
#include "app/project_info.h"
#include "app/splash_window.h"
#include "reference_tables/reference_dialog.h"
#include "reference_tables/reference_tables.h"
#include "short_circuit/busbar_dialog.h"
#include "short_circuit/transformer_dialog.h"

#include <QDir>

#include <stdexcept>

namespace korvane {

Application::Application(Platform& platform, QString homeDir)
    : platform_(platform), homeDir_(std::move(homeDir)),
      cableDatabase_(
          std::make_unique<Database>(homePath(QStringLiteral("Database/JhxlDlxlss.db")))) {
    addForm(QStringLiteral("Form11"), [this](Form& f) { designSplashWindow(*this, f); });
    addForm(QStringLiteral("Form1"), [this](Form& f) { designMainWindow(*this, f); });
    addForm(QStringLiteral("BYQForm8"), [this](Form& f) { designTransformerDialog(*this, f); });
    addForm(QStringLiteral("MXForm9"), [this](Form& f) { designBusbarDialog(*this, f); });
    addForm(QString::fromLatin1(kProjectDialog),
            [this](Form& f) { designProjectDialog(*this, f); });
    for (const ReferenceTable& table : referenceTables())
        addForm(table.form, [this, &table](Form& f) { designReferenceDialog(*this, f, table); });
}

Application::~Application() = default;

QString Application::homePath(const QString& relative) const {
    return QDir(homeDir_).filePath(relative);
}

Form& Application::addForm(const QString& name, Form::Design design) {
    auto form = std::make_unique<Form>(name, std::move(design));
    Form& ref = *form;
    order_.push_back(&ref);
    forms_[name] = std::move(form);
    return ref;
}

Form* Application::findForm(const QString& name) const {
    auto it = forms_.find(name);
    return it == forms_.end() ? nullptr : it->second.get();
}

Form& Application::form(const QString& name) const {
    Form* f = findForm(name);
    if (f == nullptr)
        throw std::logic_error("no form " + name.toStdString());
    return *f;
}

void Application::start() {
    form(QStringLiteral("Form11")).show();
}

void Application::startWithoutSplash() {
    mainForm().show();
}

void showFormOnClick(Application& app, Control& button, const QString& form) {
    button.on(Event::Click, [&app, form] { app.form(form).show(); });
}

void Application::showDialogOnClick(Control& button, const QString& form) {
    korvane::showFormOnClick(*this, button, form);
}

void Application::end(int status) {
    if (ended_)
        return;
    ended_ = true;
    exitStatus_ = status;
    platform_.endProgram(status);
}

} // namespace korvane
