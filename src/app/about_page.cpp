#include "app/about_page.h"

#include "app/application.h"
#include "app/information_file.h"
#include "app/main_window_fields.h"

#include <QDir>

namespace korvane {

void designAboutPage(Form& form, Placement page) {
    form.add<RichTextBox>(mainWindowFields().control("about.information"), page.container,
                          page.page, {10, 10, 960, 470});
    addLabel(
        form, page, QStringLiteral("Label45"),
        QStringLiteral("感谢您使用 Korvane！\r\n使用中如有问题或建议，请与本软件的技术支持联系。"),
        {10, 490, 960, 44});
}

void styleInformationText(RichTextBox& box) {
    box.select(0, 1600);
    box.setSelFontName(QStringLiteral("宋体"));
    box.setSelFontSize(10);
    box.setSelBold(true);
    for (int start : {33, 831, 1194, 1468}) {
        box.select(start, 45);
        box.setSelColor(colors::kRed);
        box.setSelBold(true);
    }
    box.setSelColor(colors::kRed);
    box.setSelBold(true);
}

void installAboutPage(Form& form) {
    auto& box = form.get<RichTextBox>(mainWindowFields().control("about.information"));
    box.on(Event::Change, [&box] { styleInformationText(box); });
}

void loadInformationText(Application& app, Form& form) {
    auto& box = form.get<RichTextBox>(mainWindowFields().control("about.information"));
    const QString path = app.homePath(QString::fromLatin1(kInformationFile));
    const auto lines = readInformationLines(path);
    if (!lines) {
        box.setText(
            QStringLiteral("未找到软件信息文件：%1\r\n").arg(QDir::toNativeSeparators(path)));
        return;
    }
    // Each line is appended on its own and raises Change, so the styling runs once per line.
    for (const QString& line : *lines)
        box.appendText(line + QStringLiteral("\r\n"));
}

} // namespace korvane
