#include "pages/project_fields.h"

#include <QRegularExpression>

namespace korvane {

const BindingTable& projectFields() {
    static const BindingTable table{
        {"project.name", kProjectNameField, Saved::Text, Written::None, 0, false, 2},
        {"project.engineer", kEngineerField, Saved::Text, Written::None, 0, false, 2},
    };
    return table;
}

const BindingTable& projectDialogFields() {
    static const BindingTable table{
        {"projectDialog.name", "Text1"},
        {"projectDialog.engineer", "Text2"},
        {"projectDialog.ok", "Command1"},
        {"projectDialog.cancel", "Command2"},
    };
    return table;
}

QString projectLine(const QString& text) {
    // A line break would end the header paragraph in a book and push the following lines down.
    static const QRegularExpression kBreaks(QStringLiteral("[\\r\\n\\t\\x{2028}\\x{2029}]+"));
    return QString(text).replace(kBreaks, QStringLiteral(" ")).trimmed();
}

} // namespace korvane
