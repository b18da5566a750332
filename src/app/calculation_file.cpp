#include "app/calculation_file.h"

#include "app/application.h"
#include "app/check_pair.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace korvane {

namespace {

enum class Kind { List, EditableList, Text, LoadSwitch, ModeSwitch, Spin };

struct Entry {
    QString name;
    Kind kind;
};

// Restoring order: lists whose choice fills the next list come first, switches before the
// fields they write, values typed over database values (R, X) after the list that filled them.
const std::vector<Entry>& inputControls() {
    static const std::vector<Entry> entries = [] {
        std::vector<Entry> e;
        auto add = [&e](const QString& name, Kind kind) { e.push_back({name, kind}); };
        auto texts = [&add](std::initializer_list<int> numbers) {
            for (int n : numbers)
                add(QStringLiteral("Text%1").arg(n), Kind::Text);
        };
        // Page 0: cable, voltage, power factor, temperatures, line kind and case, loads.
        add(QStringLiteral("Combo1"), Kind::List);
        add(QStringLiteral("Combo2"), Kind::List);
        add(QStringLiteral("Combo3"), Kind::List);
        texts({1, 2});
        add(QStringLiteral("Combo7"), Kind::EditableList);
        add(QStringLiteral("Combo4"), Kind::List);
        add(QStringLiteral("Combo8"), Kind::List);
        add(QStringLiteral("Combo9"), Kind::List);
        add(QStringLiteral("Combo5"), Kind::List);
        add(QStringLiteral("Combo6"), Kind::List);
        for (int n = 1; n <= 12; ++n)
            add(QStringLiteral("Check%1").arg(n), Kind::LoadSwitch);
        texts({4, 5, 8});
        for (int n = 10; n <= 34; ++n)
            texts({n});
        // Page 1: system, line per-metre values and length, what the dialogs placed.
        add(QStringLiteral("Combo18"), Kind::EditableList);
        texts({40, 41, 46, 47, 49, 50, 48, 53, 55, 56, 57, 58, 59, 60, 61, 62, 74, 9});
        add(QStringLiteral("Check13"), Kind::ModeSwitch);
        // Page 2: protection mode, duration, line and load data.
        add(QStringLiteral("Check14"), Kind::ModeSwitch);
        add(QStringLiteral("Check15"), Kind::ModeSwitch);
        add(QStringLiteral("UpDown1"), Kind::Spin);
        texts({51, 52, 39, 72, 35, 36, 75, 37, 38});
        return e;
    }();
    return entries;
}

// Results the page buttons write; emptied when a file is opened.
const char* const kResults[] = {"Text3",  "Text6",  "Text7",  "Text42",
                                "Text43", "Text44", "Text45", "Text71"};

// The field each mode switch makes editable.
QString switchedField(const QString& check) {
    if (check == QLatin1String("Check13"))
        return QStringLiteral("Text45");
    if (check == QLatin1String("Check14"))
        return QStringLiteral("Text75");
    return QStringLiteral("Text36");
}

// The caption of a control's label, for messages.
QString describe(const Form& main, const QString& name) {
    if (const Control* label = main.find(QStringLiteral("Label") + name))
        return QStringLiteral("“%1”").arg(label->caption().trimmed());
    return name;
}

QJsonObject saveEntry(const Form& main, const Entry& entry) {
    QJsonObject item{{QStringLiteral("name"), entry.name}};
    const Control& control = main.control(entry.name);
    switch (entry.kind) {
    case Kind::List:
    case Kind::EditableList: {
        const auto& list = static_cast<const ComboBox&>(control);
        item.insert(QStringLiteral("text"), list.text());
        item.insert(QStringLiteral("index"), list.listIndex());
        break;
    }
    case Kind::Text:
        item.insert(QStringLiteral("text"), static_cast<const TextBox&>(control).text());
        break;
    case Kind::LoadSwitch:
    case Kind::ModeSwitch:
        item.insert(QStringLiteral("value"), static_cast<const CheckBox&>(control).value());
        item.insert(QStringLiteral("enabled"), control.enabled());
        break;
    case Kind::Spin:
        item.insert(QStringLiteral("value"), static_cast<const UpDown&>(control).value());
        break;
    }
    return item;
}

void restoreEntry(Form& main, const Entry& entry, const QJsonObject& item, QStringList& problems) {
    Control& control = main.control(entry.name);
    switch (entry.kind) {
    case Kind::List:
    case Kind::EditableList: {
        auto& list = static_cast<ComboBox&>(control);
        const QString text = item.value(QStringLiteral("text")).toString();
        const int index = list.indexOf(text);
        if (index >= 0) {
            list.setListIndex(index);
        } else if (entry.kind == Kind::EditableList) {
            list.setText(text);
        } else if (!text.isEmpty()) {
            problems
                << QStringLiteral("%1：“%2”已不在列表中").arg(describe(main, entry.name), text);
        }
        break;
    }
    case Kind::Text:
        static_cast<TextBox&>(control).setText(item.value(QStringLiteral("text")).toString());
        break;
    case Kind::LoadSwitch: {
        auto& check = static_cast<CheckBox&>(control);
        check.assignValue(item.value(QStringLiteral("value")).toInt());
        check.raise(Event::Click); // greys or whitens its pair; the texts follow
        break;
    }
    case Kind::ModeSwitch: {
        auto& check = static_cast<CheckBox&>(control);
        check.assignValue(item.value(QStringLiteral("value")).toInt());
        check.setEnabled(item.value(QStringLiteral("enabled")).toBool(true));
        enableFieldsByCheck(check, {&main.text(switchedField(entry.name))});
        break;
    }
    case Kind::Spin:
        static_cast<UpDown&>(control).assignValue(item.value(QStringLiteral("value")).toInt());
        break;
    }
}

void restoreControls(Form& main, const QJsonArray& controls, QStringList& problems);

// Writes all of `bytes`. A short write (the disk full or the file-size limit reached) is not an
// error to the system until the next write, so the rest is tried again until it is written or the
// system says why not; the temporary file is then flushed to the disk, whose refusal (a full
// disk seen only then) counts as a failed write too.
QString writeWhole(QSaveFile& file, const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString error = file.errorString();
            return error.isEmpty() || file.error() == QFileDevice::NoError
                       ? QStringLiteral("只写入了 %1 / %2 字节").arg(done).arg(bytes.size())
                       : error;
        }
        done += n;
    }
    if (!file.flush())
        return file.errorString();
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS)
        return QString::fromLocal8Bit(std::strerror(errno));
#endif
    return {};
}

QJsonArray savedControls(const Form& main) {
    QJsonArray controls;
    for (const Entry& entry : inputControls())
        controls.append(saveEntry(main, entry));
    return controls;
}

} // namespace

QByteArray calculationSnapshot(const Form& main) {
    return QJsonDocument(savedControls(main)).toJson(QJsonDocument::Compact);
}

QString writeCalculationFile(const Form& main, const QString& path) {
    const QJsonObject root{{QStringLiteral("format"), QString::fromLatin1(kCalculationFormatName)},
                           {QStringLiteral("version"), kCalculationFormatVersion},
                           {QStringLiteral("controls"), savedControls(main)}};
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    // Unbuffered, so that every failing write is seen here and not at an unchecked close.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    const QString why = writeWhole(file, bytes);
    if (!why.isEmpty()) {
        file.cancelWriting(); // the temporary file goes, the target is never touched
        return why;
    }
    if (!file.commit()) {
        const QString error = file.errorString();
        return error.isEmpty() ? QStringLiteral("无法替换原文件") : error;
    }
    return {};
}

RestoreReport restoreCalculation(Form& main, const QByteArray& json) {
    RestoreReport report;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    const QJsonObject root = document.object();
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        root.value(QStringLiteral("format")).toString() != QLatin1String(kCalculationFormatName) ||
        !root.value(QStringLiteral("controls")).isArray()) {
        report.problems << QStringLiteral("文件已损坏，或不是 Korvane 计算文件，未作任何改动。");
        return report;
    }
    report.read = true;
    const int version = root.value(QStringLiteral("version")).toInt(0);
    if (version > kCalculationFormatVersion)
        report.problems
            << QStringLiteral(
                   "文件由较新版本的 Korvane 保存（格式版本 %1），本版本不认识的内容未恢复。")
                   .arg(version);

    restoreControls(main, root.value(QStringLiteral("controls")).toArray(), report.problems);
    return report;
}

void resetCalculation(Form& main, const QByteArray& snapshot) {
    QStringList ignored;
    restoreControls(main, QJsonDocument::fromJson(snapshot).array(), ignored);
}

namespace {

void restoreControls(Form& main, const QJsonArray& controls, QStringList& problems) {
    QHash<QString, QJsonObject> saved;
    for (const QJsonValue& value : controls) {
        const QJsonObject item = value.toObject();
        saved.insert(item.value(QStringLiteral("name")).toString(), item);
    }
    for (const char* result : kResults)
        main.text(QString::fromLatin1(result)).setText({});
    for (const Entry& entry : inputControls()) {
        const auto it = saved.constFind(entry.name);
        if (it == saved.constEnd()) {
            problems << QStringLiteral("%1：文件中没有此项").arg(describe(main, entry.name));
            continue;
        }
        restoreEntry(main, entry, *it, problems);
    }
    main.frame(QStringLiteral("Frame12")).setVisible(false);
    main.text(QStringLiteral("Text73")).setVisible(true);
}

} // namespace

RestoreReport readCalculationFile(Form& main, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        RestoreReport report;
        report.problems << QStringLiteral("无法读取文件：%1").arg(file.errorString());
        return report;
    }
    return restoreCalculation(main, file.readAll());
}

bool openCalculation(Application& app, const QString& path) {
    const RestoreReport report = readCalculationFile(app.mainForm(), path);
    if (!report.problems.isEmpty()) {
        app.platform().messageBox(
            report.read ? MessageIcon::Warning : MessageIcon::Critical, QStringLiteral("Korvane"),
            QStringLiteral("打开计算文件 %1 时，以下内容未能恢复：\r\n%2")
                .arg(QDir::toNativeSeparators(path), report.problems.join(QStringLiteral("\r\n"))));
    }
    return report.read;
}

bool saveCalculation(Application& app, const QString& path) {
    const QString why = writeCalculationFile(app.mainForm(), path);
    if (why.isEmpty())
        return true;
    const QString kept = QFileInfo::exists(path) ? QStringLiteral("文件未保存，原有文件保持不变。")
                                                 : QStringLiteral("文件未保存。");
    app.platform().messageBox(MessageIcon::Critical, QStringLiteral("Korvane"),
                              QStringLiteral("无法保存计算文件：\r\n%1\r\n（%2）\r\n%3")
                                  .arg(QDir::toNativeSeparators(path), why, kept));
    return false;
}

} // namespace korvane
