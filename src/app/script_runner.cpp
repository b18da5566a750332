#include "app/script_runner.h"

#include "app/application.h"
#include "app/calculation_file.h"
#include "app/main_window_fields.h"
#include "base/number_format.h"
#include "form/user_actions.h"

namespace korvane {

namespace {

QString iconName(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QStringLiteral("critical");
    case MessageIcon::Information:
        return QStringLiteral("information");
    case MessageIcon::Warning:
        return QStringLiteral("warning");
    case MessageIcon::None:
        break;
    }
    return QStringLiteral("none");
}

// Splits off the first word; the rest follows after exactly one space, kept as it stands.
std::pair<QString, QString> splitWord(const QString& text) {
    const qsizetype space = text.indexOf(u' ');
    if (space < 0)
        return {text, QString()};
    return {text.left(space), text.mid(space + 1)};
}

std::optional<int> readInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

QString escapeValue(const QString& value) {
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else
            escaped += c;
    }
    return escaped;
}

void printMessageBox(QTextStream& out, MessageIcon icon, const QString& title,
                     const QString& text) {
    out << "msgbox\t" << iconName(icon) << '\t' << escapeValue(title) << '\t' << escapeValue(text)
        << '\n';
    out.flush();
}

void printBook(QTextStream& out, const QString& path) {
    out << "book\t" << escapeValue(path) << '\n';
    out.flush();
}

void ScriptPlatform::messageBox(MessageIcon icon, const QString& title, const QString& text) {
    printMessageBox(out_, icon, title, text);
}

void ScriptPlatform::endProgram(int /*status*/) {}

bool ScriptPlatform::openDocument(const QString& path) {
    printBook(out_, path);
    return true;
}

ScriptRunner::ScriptRunner(Application& app, QTextStream& out, QTextStream& err)
    : app_(app), out_(out), err_(err) {}

int ScriptRunner::run(QTextStream& script) {
    app_.startWithoutSplash();
    if (app_.ended())
        return app_.exitStatus();
    return runLines(script);
}

int ScriptRunner::runLines(QTextStream& script, const std::function<void()>& afterEachLine) {
    int lineNumber = 0;
    while (!script.atEnd()) {
        QString line = script.readLine();
        ++lineNumber;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QString why = execute(line);
        if (!why.isEmpty()) {
            out_.flush();
            err_ << "error: line " << lineNumber << ": " << why << '\n';
            err_.flush();
            return 2;
        }
        if (afterEachLine)
            afterEachLine();
        if (app_.ended()) {
            out_ << "ended\n";
            out_.flush();
            return app_.exitStatus();
        }
    }
    out_.flush();
    return 0;
}

Control* ScriptRunner::resolve(const QString& reference, QString& why) const {
    QString formName = QStringLiteral("Form1");
    QString controlName = reference;
    if (const qsizetype dot = reference.indexOf(u'.'); dot >= 0) {
        formName = reference.left(dot);
        controlName = reference.mid(dot + 1);
    }
    Form* form = app_.findForm(formName);
    if (form == nullptr) {
        why = QStringLiteral("unknown form %1").arg(formName);
        return nullptr;
    }
    if (!form->loaded()) {
        why = QStringLiteral("form %1 is not loaded").arg(formName);
        return nullptr;
    }
    Control* control = form->find(controlName);
    if (control == nullptr)
        why = QStringLiteral("unknown control %1").arg(reference);
    return control;
}

QString ScriptRunner::printValue(const Control& control) const {
    switch (control.kind()) {
    case ControlKind::TextBox:
        return static_cast<const TextBox&>(control).text();
    case ControlKind::ComboBox:
        return static_cast<const ComboBox&>(control).text();
    case ControlKind::RichTextBox:
        return static_cast<const RichTextBox&>(control).text();
    case ControlKind::CheckBox:
        return QString::number(static_cast<const CheckBox&>(control).value());
    case ControlKind::UpDown:
        return QString::number(static_cast<const UpDown&>(control).value());
    case ControlKind::ProgressBar:
        return formatGeneral(static_cast<const ProgressBar&>(control).value());
    case ControlKind::Frame:
    case ControlKind::Line:
        return boolText(control.visible());
    case ControlKind::TabControl:
        return QString::number(static_cast<const TabControl&>(control).tab());
    case ControlKind::Timer:
        return boolText(control.enabled());
    case ControlKind::Grid: {
        const auto& grid = static_cast<const Grid&>(control);
        return grid.text(grid.row(), grid.col());
    }
    case ControlKind::Label:
    case ControlKind::CommandButton:
        break;
    }
    return control.caption();
}

QString ScriptRunner::execute(const QString& line) {
    const auto [verb, rest] = splitWord(line);
    QString why;

    if (verb == QLatin1String("tick")) {
        const auto count = readInteger(rest);
        if (!count || *count < 0)
            return QStringLiteral("tick needs a count");
        auto& timer = app_.mainForm().get<Timer>(mainWindowFields().control("animation.timer"));
        for (int i = 0; i < *count && !app_.ended(); ++i)
            timer.raise(Event::Timer);
        return {};
    }
    if (verb == QLatin1String("print")) {
        for (const QString& reference : rest.split(u' ', Qt::SkipEmptyParts)) {
            Control* control = resolve(reference, why);
            if (control == nullptr)
                return why;
            out_ << reference << '=' << escapeValue(printValue(*control)) << '\n';
        }
        return {};
    }
    if (verb == QLatin1String("show")) {
        // A dialog opened as its button or its menu item opens it (GCForm13: 文件 → 工程信息…).
        Form* form = app_.findForm(rest);
        // Every form but the main window and the splash window is a dialog (which says so
        // itself only once it is designed, at its first load).
        if (form == nullptr || form == &app_.mainForm() || form->name() == QLatin1String("Form11"))
            return QStringLiteral("unknown dialog %1").arg(rest);
        form->show();
        return {};
    }
    if (verb == QLatin1String("open") || verb == QLatin1String("save")) {
        if (rest.isEmpty())
            return QStringLiteral("%1 needs a file").arg(verb);
        // Problems are reported in message boxes, as the window reports them.
        if (verb == QLatin1String("open"))
            openCalculation(app_, rest);
        else
            saveCalculation(app_, rest);
        return {};
    }
    if (verb == QLatin1String("cell")) {
        const QStringList parts = rest.split(u' ', Qt::SkipEmptyParts);
        if (parts.size() != 3)
            return QStringLiteral("cell needs a form, a row and a column");
        Control* control = resolve(parts.at(0) + QStringLiteral(".MSHFlexGrid1"), why);
        if (control == nullptr)
            return why;
        auto* grid = dynamic_cast<Grid*>(control);
        const auto row = readInteger(parts.at(1));
        const auto col = readInteger(parts.at(2));
        if (grid == nullptr || !row || !col)
            return QStringLiteral("cell needs a picker dialog, a row and a column");
        return userClickCell(*grid, *row, *col);
    }

    const auto [reference, value] = splitWord(rest);
    if (reference.isEmpty())
        return QStringLiteral("%1 needs a control").arg(verb);
    Control* control = resolve(reference, why);
    if (control == nullptr)
        return why;

    if (verb == QLatin1String("set"))
        return userType(*control, value);
    if (verb == QLatin1String("select") || verb == QLatin1String("index")) {
        auto* combo = dynamic_cast<ComboBox*>(control);
        if (combo == nullptr)
            return QStringLiteral("%1 is not a choice list").arg(reference);
        int index = -1;
        if (verb == QLatin1String("select")) {
            index = combo->indexOf(value);
            // Number items carry the regional decimal sign; a script names them in the
            // program's own form, so that one script serves every regional format.
            if (index < 0)
                index = combo->indexOf(regionalDecimalText(value));
            if (index < 0)
                return QStringLiteral("%1 has no item \"%2\"").arg(reference, value);
        } else {
            const auto n = readInteger(value);
            if (!n)
                return QStringLiteral("index needs a number");
            index = *n;
        }
        return userSelect(*combo, index);
    }
    if (verb == QLatin1String("check")) {
        auto* check = dynamic_cast<CheckBox*>(control);
        if (check == nullptr)
            return QStringLiteral("%1 is not a check box").arg(reference);
        if (value != QLatin1String("0") && value != QLatin1String("1"))
            return QStringLiteral("check needs 0 or 1");
        return userCheck(*check, value.toInt());
    }
    if (verb == QLatin1String("click"))
        return userClick(*control);
    if (verb == QLatin1String("spin")) {
        auto* upDown = dynamic_cast<UpDown*>(control);
        if (upDown == nullptr)
            return QStringLiteral("%1 is not a spin button").arg(reference);
        const auto n = readInteger(value);
        if (!n)
            return QStringLiteral("spin needs a number");
        return userSpin(*upDown, *n);
    }
    if (verb == QLatin1String("props")) {
        for (const auto& [name, text] : control->properties())
            out_ << reference << '.' << name << '=' << escapeValue(text) << '\n';
        return {};
    }
    if (verb == QLatin1String("items")) {
        auto* combo = dynamic_cast<ComboBox*>(control);
        if (combo == nullptr)
            return QStringLiteral("%1 is not a choice list").arg(reference);
        out_ << reference << ".items=" << escapeValue(combo->items().join(u'|')) << '\n';
        return {};
    }
    return QStringLiteral("unknown verb %1").arg(verb);
}

} // namespace korvane
