#include "gui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace korvane::gui {

namespace {

// Texts that Qt 6 moved to a new context and that its Chinese catalogue does not hold yet: the
// file dialogs' type column names folders with them.
class MissingQtTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                      int /*n*/) const override {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        const QLatin1String text(sourceText);
        if (text == QLatin1String("Folder") || text == QLatin1String("File Folder"))
            return QStringLiteral("文件夹");
        if (text == QLatin1String("Drive"))
            return QStringLiteral("驱动器");
        if (text == QLatin1String("Alias") || text == QLatin1String("Shortcut"))
            return QStringLiteral("快捷方式");
        return {};
    }
};

} // namespace

bool installQtChineseTranslations() {
    // qtbase holds every text of Core, Gui and Widgets; the application owns the translators and
    // keeps them until it ends.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(new MissingQtTexts(QCoreApplication::instance()));
    return QCoreApplication::installTranslator(translator);
}

} // namespace korvane::gui
