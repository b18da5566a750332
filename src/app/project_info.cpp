#include "app/project_info.h"

#include "app/application.h"
#include "form/binding.h"
#include "pages/layout.h"

#include <string_view>
#include <utility>

namespace korvane {

namespace {

QString rememberedEngineer(Application& app) {
    Preferences* preferences = app.platform().preferences();
    return preferences != nullptr
               ? projectLine(preferences->value(QString::fromLatin1(kEngineerPreference)))
               : QString();
}

} // namespace

void designProjectFields(Application& app, Form& main) {
    const std::pair<std::string_view, const char*> fields[] = {{"project.name", "工程名"},
                                                               {"project.engineer", "计算者"}};
    int x = 8;
    for (const auto& [quantity, caption] : fields) {
        // Not part of any page: the dialog shows them, so they never take the focus here. The
        // labels name them in messages about a calculation file.
        auto& field = addLabelledText(main, {}, projectFields().control(quantity),
                                      QString::fromUtf8(caption), x, main.height() + 70, 50, 120);
        field.setVisible(false);
        main.control(QStringLiteral("Label") + field.name()).setVisible(false);
        x += 180;
    }
    main.onLoad([&app] { startNewProject(app); });
}

void startNewProject(Application& app) {
    Form& main = app.mainForm();
    writeBoundText(main, projectFields(), "project.name", QString());
    writeBoundText(main, projectFields(), "project.engineer", rememberedEngineer(app));
}

void designProjectDialog(Application& app, Form& form) {
    form.setCaption(QStringLiteral("工程信息"));
    form.setDialog(true);
    form.setSize(330, 130);
    const BindingTable& dialog = projectDialogFields();
    auto& project = addLabelledText(form, {}, dialog.control("projectDialog.name"),
                                    QStringLiteral("工程名"), 16, 16, 60, 236);
    auto& engineer = addLabelledText(form, {}, dialog.control("projectDialog.engineer"),
                                     QStringLiteral("计算者"), 16, 48, 60, 236);
    auto& ok = addButton(form, {}, dialog.control("projectDialog.ok"), QStringLiteral("确定"),
                         {96, 86, 80, 28});
    auto& cancel = addButton(form, {}, dialog.control("projectDialog.cancel"),
                             QStringLiteral("取消"), {192, 86, 80, 28});

    form.onLoad([&app, &project, &engineer] {
        project.setText(boundText(app.mainForm(), projectFields(), "project.name"));
        engineer.setText(boundText(app.mainForm(), projectFields(), "project.engineer"));
    });
    ok.on(Event::Click, [&app, &form, &project, &engineer] {
        const QString engineerName = projectLine(engineer.text());
        writeBoundText(app.mainForm(), projectFields(), "project.name",
                       projectLine(project.text()));
        writeBoundText(app.mainForm(), projectFields(), "project.engineer", engineerName);
        if (Preferences* preferences = app.platform().preferences())
            preferences->setValue(QString::fromLatin1(kEngineerPreference), engineerName);
        form.unload();
    });
    cancel.on(Event::Click, [&form] { form.unload(); });
}

} // namespace korvane
