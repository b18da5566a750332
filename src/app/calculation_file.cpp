#include "app/calculation_file.h"

#include "app/application.h"
#include "app/project_info.h"
#include "base/atomic_file.h"
#include "pages/check_pair.h"
#include "pages/project_fields.h"
#include "pages/short_circuit_fields.h"
#include "pages/verification_fields.h"
#include "pages/voltage_loss_fields.h"
#include "short_circuit/dialog_database.h"
#include "voltage_loss/voltage_loss_page.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

namespace {

enum class Kind { List, EditableList, Text, LoadSwitch, ModeSwitch, Spin };

// One input of the calculation: the engineering quantity a file of format version 3 names, the
// control of the main window that holds it (the name files of versions 1 and 2 used), how it is
// kept, and the format version that first saved it (older files lack it). A mode switch names
// the field it makes editable and the spin button the field it writes: messages name them by it.
struct Binding {
    const char* quantity;
    const char* control;
    Kind kind;
    int since = 1;
    const char* field = nullptr;
};

Kind kindOf(Saved saved) {
    switch (saved) {
    case Saved::List:
        return Kind::List;
    case Saved::EditableList:
        return Kind::EditableList;
    case Saved::LoadSwitch:
        return Kind::LoadSwitch;
    case Saved::ModeSwitch:
        return Kind::ModeSwitch;
    case Saved::Spin:
        return Kind::Spin;
    case Saved::Text:
    case Saved::No:
        break;
    }
    return Kind::Text;
}

// Every input the pages' field tables mark as kept, page by page in table order, which is the
// restoring order: lists whose choice fills the next list come first, switches before the fields
// they write, values typed over database values (R, X) after the list that filled them. Units are
// in the names of the quantities: kV, kVA, kW, A, kA, MVA, mΩ/m of the short-circuit page, Ω/km
// of the cable data and of Rphp on the verification page.
const std::vector<Binding>& bindings() {
    static const std::vector<Binding> all = [] {
        std::vector<Binding> list;
        for (const BindingTable* table : {&voltageLossFields(), &shortCircuitFields(),
                                          &verificationFields(), &projectFields()}) {
            for (const FieldBinding& row : table->rows()) {
                if (row.saved == Saved::No)
                    continue;
                // The quantities and controls of the tables are string literals.
                list.push_back({row.quantity.data(), row.control.data(), kindOf(row.saved),
                                row.since,
                                row.field.empty() ? nullptr : (*table)[row.field].control.data()});
            }
        }
        return list;
    }();
    return all;
}

// The last format version that named controls instead of quantities.
constexpr int kLastControlKeyedVersion = 2;

QString controlOf(const Binding& binding) {
    return QString::fromLatin1(binding.control);
}

// The binding of a quantity.
const Binding& bindingOf(std::string_view quantity) {
    for (const Binding& binding : bindings()) {
        if (binding.quantity == quantity)
            return binding;
    }
    throw std::logic_error("no binding for " + std::string(quantity));
}

// Results the page buttons write; emptied when a file is opened.
QStringList resultControls() {
    return voltageLossFields().writtenControls() + shortCircuitFields().writtenControls() +
           verificationFields().writtenControls();
}

// The caption of a control's label, for messages.
QString describeControl(const Form& main, const QString& name) {
    if (const Control* label = main.find(QStringLiteral("Label") + name))
        return QStringLiteral("“%1”").arg(label->caption().trimmed());
    return name;
}

// How messages name an input. A check box is named by the field it switches, the spin button by
// the field it writes.
QString describe(const Form& main, const Binding& binding) {
    const QString name = controlOf(binding);
    switch (binding.kind) {
    case Kind::LoadSwitch:
        for (const LoadSwitch& pair : kLoadSwitches) {
            if (name == QLatin1String(pair.check))
                return QStringLiteral("%1的勾选框")
                    .arg(describeControl(main, QString::fromLatin1(pair.load)));
        }
        break;
    case Kind::ModeSwitch:
        return QStringLiteral("%1的勾选框")
            .arg(describeControl(main, QString::fromLatin1(binding.field)));
    case Kind::Spin:
        return QStringLiteral("%1的调节钮")
            .arg(describeControl(main, QString::fromLatin1(binding.field)));
    default:
        break;
    }
    return describeControl(main, name);
}

// A saved value as the file spells it, for messages.
QString jsonText(const QJsonValue& value) {
    if (value.isUndefined())
        return QStringLiteral("（缺失）");
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// A whole number in [min, max], or nothing.
std::optional<int> wholeNumber(const QJsonValue& value, int min, int max) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!(number >= min && number <= max) || number != std::floor(number))
        return std::nullopt;
    return static_cast<int>(number);
}

QJsonObject saveEntry(const Form& main, const Binding& entry) {
    QJsonObject item;
    const Control& control = main.control(controlOf(entry));
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

// The item a saved list text names. Number items (0.85, 0.38) carry the decimal sign of the
// regional format they were saved under; a file saved under '.' and opened under ',' (or the
// other way) still names the same item, so a decimal sign that differs only in that sign matches.
int indexOfItem(const ComboBox& list, const QString& text) {
    const int exact = list.indexOf(text);
    if (exact >= 0)
        return exact;
    auto plain = [](QString t) {
        static const QRegularExpression kDecimal(QStringLiteral("^[0-9]+[.,][0-9]+$"));
        return kDecimal.match(t).hasMatch() ? t.replace(u',', u'.') : QString();
    };
    const QString wanted = plain(text);
    if (wanted.isEmpty())
        return -1;
    const QStringList& items = list.items();
    for (qsizetype i = 0; i < items.size(); ++i)
        if (plain(items[i]) == wanted)
            return static_cast<int>(i);
    return -1;
}

// Restores one control from its saved item. A value of the wrong type, null or out of range
// leaves the control as it was and is listed, never read as an empty text or an unticked box.
void restoreEntry(Form& main, const Binding& entry, const QJsonObject& item,
                  QStringList& problems) {
    const QString name = controlOf(entry);
    Control& control = main.control(name);
    auto unreadable = [&](const QString& key) {
        problems << QStringLiteral("%1：文件中的值 %2 无法识别，未恢复")
                        .arg(describe(main, entry), jsonText(item.value(key)));
    };
    const QString kText = QStringLiteral("text");
    const QString kValue = QStringLiteral("value");
    switch (entry.kind) {
    case Kind::List:
    case Kind::EditableList: {
        if (!item.value(kText).isString()) {
            unreadable(kText);
            break;
        }
        auto& list = static_cast<ComboBox&>(control);
        const QString text = item.value(kText).toString();
        const int index = indexOfItem(list, text);
        if (index >= 0) {
            list.setListIndex(index);
        } else if (entry.kind == Kind::EditableList) {
            list.setText(text);
        } else if (!text.isEmpty()) {
            problems << QStringLiteral("%1：“%2”已不在列表中").arg(describe(main, entry), text);
        }
        break;
    }
    case Kind::Text:
        if (!item.value(kText).isString()) {
            unreadable(kText);
            break;
        }
        static_cast<TextBox&>(control).setText(item.value(kText).toString());
        break;
    case Kind::LoadSwitch: {
        const std::optional<int> value = wholeNumber(item.value(kValue), 0, 1);
        if (!value) {
            unreadable(kValue);
            break;
        }
        auto& check = static_cast<CheckBox&>(control);
        check.assignValue(*value);
        check.raise(Event::Click); // greys or whitens its pair; the texts follow
        break;
    }
    case Kind::ModeSwitch: {
        auto& check = static_cast<CheckBox&>(control);
        if (const std::optional<int> value = wholeNumber(item.value(kValue), 0, 1))
            check.assignValue(*value);
        else
            unreadable(kValue);
        const QJsonValue enabled = item.value(QStringLiteral("enabled"));
        if (enabled.isBool())
            check.setEnabled(enabled.toBool());
        else
            unreadable(QStringLiteral("enabled"));
        enableFieldsByCheck(check, {&main.text(QString::fromLatin1(entry.field))});
        break;
    }
    case Kind::Spin: {
        auto& spin = static_cast<UpDown&>(control);
        if (const std::optional<int> value =
                wholeNumber(item.value(kValue), spin.min(), spin.max()))
            spin.assignValue(*value);
        else
            unreadable(kValue);
        break;
    }
    }
}

// The two protection modes as their click handlers keep them: exactly one box is selectable and
// the other is disabled and unticked. A file that breaks this (both ticked, both disabled, a
// ticked box disabled) gets the mode it most plausibly meant: the one ticked box, else the one
// selectable box, else the earth-fault mode of a new calculation; the message says which.
void settleProtectionModes(Form& main, QStringList& problems) {
    const Binding& shortCircuitMode = bindingOf("protection.mode.singlePhaseShortCircuit");
    const Binding& earthFaultMode = bindingOf("protection.mode.earthFault");
    auto& shortCircuit = main.check(controlOf(shortCircuitMode));
    auto& earthFault = main.check(controlOf(earthFaultMode));
    const bool oneSelectable = shortCircuit.enabled() != earthFault.enabled();
    const CheckBox& unselectable = shortCircuit.enabled() ? earthFault : shortCircuit;
    if (oneSelectable && unselectable.value() == 0)
        return;

    CheckBox* chosen = &earthFault;
    if (shortCircuit.value() != earthFault.value())
        chosen = shortCircuit.value() != 0 ? &shortCircuit : &earthFault;
    else if (oneSelectable)
        chosen = shortCircuit.enabled() ? &shortCircuit : &earthFault;
    CheckBox& other = chosen == &shortCircuit ? earthFault : shortCircuit;
    chosen->setEnabled(true);
    other.assignValue(0);
    other.setEnabled(false);
    enableFieldsByCheck(shortCircuit, {&main.text(QString::fromLatin1(shortCircuitMode.field))});
    enableFieldsByCheck(earthFault, {&main.text(QString::fromLatin1(earthFaultMode.field))});

    const Binding& chosenMode = chosen == &shortCircuit ? shortCircuitMode : earthFaultMode;
    const QString field = describeControl(main, QString::fromLatin1(chosenMode.field));
    problems << (chosen->value() != 0
                     ? QStringLiteral("保护方式：文件中两个勾选框的状态互相矛盾，已改为按%1校验")
                           .arg(field)
                     : QStringLiteral("保护方式：文件中两个勾选框的状态互相矛盾，已改为可勾选%1")
                           .arg(field));
}

// Why the file's format version is not one this version reads in full, or nothing.
std::optional<QString> versionProblem(const QJsonValue& version) {
    const double number = version.toDouble();
    if (!version.isDouble() || number < 1 || number != std::floor(number) || std::isinf(number))
        return QStringLiteral("文件的格式版本 %1 无法识别，可能由较新版本的 Korvane 保存，"
                              "本版本不认识的内容未恢复。")
            .arg(jsonText(version));
    if (number > kCalculationFormatVersion)
        return QStringLiteral(
                   "文件由较新版本的 Korvane 保存（格式版本 %1），本版本不认识的内容未恢复。")
            .arg(jsonText(version));
    return std::nullopt;
}

// What a file holds of each binding, in the order of bindings(); an absent value when it holds
// nothing for it.
using SavedInputs = std::vector<QJsonValue>;

SavedInputs byQuantity(const QJsonObject& inputs) {
    SavedInputs saved;
    for (const Binding& binding : bindings())
        saved.push_back(inputs.value(QLatin1String(binding.quantity)));
    return saved;
}

// Files of versions 1 and 2: a list of items, each naming its control.
SavedInputs byControl(const QJsonArray& controls, QStringList& problems) {
    QHash<QString, QJsonObject> named;
    int unnamed = 0;
    for (const QJsonValue& value : controls) {
        const QJsonObject item = value.toObject();
        if (!item.value(QStringLiteral("name")).isString()) {
            ++unnamed;
            continue;
        }
        named.insert(item.value(QStringLiteral("name")).toString(), item);
    }
    if (unnamed > 0)
        problems << QStringLiteral("文件中有 %1 项无法识别，未恢复").arg(unnamed);
    SavedInputs saved;
    for (const Binding& binding : bindings()) {
        const auto it = named.constFind(controlOf(binding));
        saved.push_back(it == named.constEnd() ? QJsonValue(QJsonValue::Undefined)
                                               : QJsonValue(*it));
    }
    return saved;
}

void restoreInputs(Form& main, const SavedInputs& saved, int version, QStringList& problems);

QJsonObject savedInputs(const Form& main) {
    QJsonObject inputs;
    for (const Binding& binding : bindings())
        inputs.insert(QLatin1String(binding.quantity), saveEntry(main, binding));
    return inputs;
}

} // namespace

QStringList calculationInputControls() {
    QStringList names;
    for (const Binding& b : bindings())
        names << QString::fromLatin1(b.control);
    return names;
}

QByteArray calculationSnapshot(const Form& main) {
    return QJsonDocument(savedInputs(main)).toJson(QJsonDocument::Compact);
}

QString writeCalculationFile(const Form& main, const QString& path) {
    const QJsonObject root{{QStringLiteral("format"), QString::fromLatin1(kCalculationFormatName)},
                           {QStringLiteral("version"), kCalculationFormatVersion},
                           {QStringLiteral("inputs"), savedInputs(main)}};
    const QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Indented);
    return writeFileAtomically(path, bytes);
}

RestoreReport restoreCalculation(Form& main, const QByteArray& json) {
    RestoreReport report;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    const QJsonObject root = document.object();
    // Version 3 keeps the inputs by quantity; versions 1 and 2 kept a list of controls.
    const QJsonValue inputs = root.value(QStringLiteral("inputs"));
    const QJsonValue controls = root.value(QStringLiteral("controls"));
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        root.value(QStringLiteral("format")).toString() != QLatin1String(kCalculationFormatName) ||
        (!inputs.isObject() && !controls.isArray())) {
        report.problems << QStringLiteral("文件已损坏，或不是 Korvane 计算文件，未作任何改动。");
        return report;
    }
    report.read = true;
    const QJsonValue version = root.value(QStringLiteral("version"));
    const auto problem = versionProblem(version);
    if (problem)
        report.problems << *problem;

    if (inputs.isObject()) {
        restoreInputs(main, byQuantity(inputs.toObject()),
                      problem ? kCalculationFormatVersion : version.toInt(), report.problems);
    } else {
        const SavedInputs saved = byControl(controls.toArray(), report.problems);
        restoreInputs(main, saved, problem ? kLastControlKeyedVersion : version.toInt(),
                      report.problems);
    }
    return report;
}

void resetCalculation(Form& main, const QByteArray& snapshot) {
    QStringList ignored;
    restoreInputs(main, byQuantity(QJsonDocument::fromJson(snapshot).object()),
                  kCalculationFormatVersion, ignored);
}

namespace {

// `version` is the file's format version; a quantity that files of that version do not hold yet
// is emptied (a text) without a word.
void restoreInputs(Form& main, const SavedInputs& saved, int version, QStringList& problems) {
    for (const QString& result : resultControls())
        main.text(result).setText({});
    for (std::size_t i = 0; i < saved.size(); ++i) {
        const Binding& binding = bindings()[i];
        const QString name = controlOf(binding);
        const QJsonValue& value = saved[i];
        if (value.isUndefined()) {
            if (binding.since <= version)
                problems << QStringLiteral("%1：文件中没有此项").arg(describe(main, binding));
            else if (binding.kind == Kind::Text)
                main.text(name).setText({}); // unknown to the file: nothing held
            continue;
        }
        if (!value.isObject()) {
            problems << QStringLiteral("%1：文件中的值 %2 无法识别，未恢复")
                            .arg(describe(main, binding), jsonText(value));
            continue;
        }
        restoreEntry(main, binding, value.toObject(), problems);
    }
    settleProtectionModes(main, problems);
    // Opening a file also hides the verification page's diagram and shows its empty report.
    main.frame(verificationFields().control("protection.diagram")).setVisible(false);
    main.text(verificationFields().control("protection.reportPlaceholder")).setVisible(true);
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
