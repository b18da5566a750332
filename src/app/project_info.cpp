#include "app/project_info.h"

#include "app/application.h"
#include "pages/layout.h"

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
    const std::pair<const char*, const char*> fields[] = {{kProjectNameField, "工程名"},
                                                          {kEngineerField, "计算者"}};
    int x = 8;
    for (const auto& [name, caption] : fields) {
        // Not part of any page: the dialog shows them, so they never take the focus here. The
        // labels name them in messages about a calculation file.
        auto& field = addLabelledText(main, {}, QString::fromLatin1(name),
                                      QString::fromUtf8(caption), x, main.height() + 70, 50, 120);
        field.setVisible(false);
        main.control(QStringLiteral("Label") + field.name()).setVisible(false);
        x += 180;
    }
    main.onLoad([&app] { startNewProject(app); });
}

void startNewProject(Application& app) {
    Form& main = app.mainForm();
    main.text(QString::fromLatin1(kProjectNameField)).setText({});
    main.text(QString::fromLatin1(kEngineerField)).setText(rememberedEngineer(app));
}

void designProjectDialog(Application& app, Form& form) {
    form.setCaption(QStringLiteral("工程信息"));
    form.setDialog(true);
    form.setSize(330, 130);
    auto& project = addLabelledText(form, {}, QStringLiteral("Text1"), QStringLiteral("工程名"), 16,
                                    16, 60, 236);
    auto& engineer = addLabelledText(form, {}, QStringLiteral("Text2"), QStringLiteral("计算者"),
                                     16, 48, 60, 236);
    auto& ok =
        addButton(form, {}, QStringLiteral("Command1"), QStringLiteral("确定"), {96, 86, 80, 28});
    auto& cancel =
        addButton(form, {}, QStringLiteral("Command2"), QStringLiteral("取消"), {192, 86, 80, 28});

    auto field = [&app](const char* name) -> TextBox& {
        return app.mainForm().text(QString::fromLatin1(name));
    };
    form.onLoad([&project, &engineer, field] {
        project.setText(field(kProjectNameField).text());
        engineer.setText(field(kEngineerField).text());
    });
    ok.on(Event::Click, [&app, &form, &project, &engineer, field] {
        const QString engineerName = projectLine(engineer.text());
        field(kProjectNameField).setText(projectLine(project.text()));
        field(kEngineerField).setText(engineerName);
        if (Preferences* preferences = app.platform().preferences())
            preferences->setValue(QString::fromLatin1(kEngineerPreference), engineerName);
        form.unload();
    });
    cancel.on(Event::Click, [&form] { form.unload(); });
}

} // namespace korvane
