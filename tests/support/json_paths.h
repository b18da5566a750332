#pragma once

// Damaged variants of a project file: a JSON document read and changed at a path of keys and
// array positions ("circuits/0/load/spacingM").

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace korvane::testing {

// The value at a '/'-separated path; undefined when absent.
inline QJsonValue valueAt(QJsonValue value, const QString& path) {
    for (const QString& step : path.split(u'/')) {
        bool position = false;
        const int i = step.toInt(&position);
        value = position ? value.toArray().at(i) : value.toObject().value(step);
    }
    return value;
}

// `value` with `put` at the path; an undefined `put` leaves the key out, and a position just
// past an array's end appends.
inline QJsonValue withValueAt(const QJsonValue& value, const QString& path, const QJsonValue& put) {
    if (path.isEmpty())
        return put;
    const qsizetype slash = path.indexOf(u'/');
    const QString step = path.left(slash);
    const QString rest = slash < 0 ? QString() : path.mid(slash + 1);
    bool position = false;
    const int i = step.toInt(&position);
    if (position) {
        QJsonArray array = value.toArray();
        if (i == array.size())
            array.append(withValueAt(QJsonValue(QJsonValue::Undefined), rest, put));
        else
            array.replace(i, withValueAt(array.at(i), rest, put));
        return array;
    }
    QJsonObject object = value.toObject();
    const QJsonValue inner = withValueAt(object.value(step), rest, put);
    if (inner.isUndefined())
        object.remove(step);
    else
        object.insert(step, inner);
    return object;
}

inline QJsonObject withValueAt(const QJsonObject& root, const QString& path,
                               const QJsonValue& put) {
    return withValueAt(QJsonValue(root), path, put).toObject();
}

// The example project of four circuits (docs/examples/street_lighting.kvp).
inline QJsonObject exampleProjectJson() {
    QFile file(QStringLiteral(KORVANE_SOURCE_DIR "/docs/examples/street_lighting.kvp"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

} // namespace korvane::testing
