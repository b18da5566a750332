#include "project_files/project_file.h"

#include "base/atomic_file.h"
#include "base/number_format.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace korvane {

namespace {

// Keys of the file. Units are in the names of the numbers.
namespace key {
const QString format = QStringLiteral("format");
const QString version = QStringLiteral("version");
const QString name = QStringLiteral("name");
const QString engineer = QStringLiteral("engineer");
const QString supply = QStringLiteral("supply");
const QString limit = QStringLiteral("voltageLossLimitPercent");
const QString circuits = QStringLiteral("circuits");
const QString installation = QStringLiteral("installation");
const QString temperature = QStringLiteral("conductorTemperatureC");
} // namespace key

QString modeName(ProtectionMode mode) {
    return mode == ProtectionMode::EarthFault ? QStringLiteral("earthFault")
                                              : QStringLiteral("singlePhaseShortCircuit");
}

QString phaseName(Phase phase) {
    switch (phase) {
    case Phase::L1:
        return QStringLiteral("L1");
    case Phase::L2:
        return QStringLiteral("L2");
    case Phase::L3:
        return QStringLiteral("L3");
    }
    return {};
}

QJsonObject loadsArray(const std::array<LoadAtDistance, 4>& loads, const QString& loadKey,
                       QJsonObject& into, const QString& arrayKey) {
    QJsonArray array;
    for (const LoadAtDistance& load : loads)
        array.append(
            QJsonObject{{loadKey, load.load}, {QStringLiteral("lengthKm"), load.lengthKm}});
    into.insert(arrayKey, array);
    return into;
}

QJsonValue optionalNumber(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

// The installation conditions as given: a value not given is not written.
QJsonObject installationJson(const InstallationConditions& i) {
    QJsonObject o;
    if (i.method)
        o.insert(QStringLiteral("method"), methodCode(*i.method));
    if (i.temperatureC)
        o.insert(QStringLiteral("temperatureC"), *i.temperatureC);
    if (i.soilResistivityKmW)
        o.insert(QStringLiteral("soilResistivityKmW"), *i.soilResistivityKmW);
    if (i.groupedCircuits)
        o.insert(QStringLiteral("groupedCircuits"), *i.groupedCircuits);
    if (i.spacingM)
        o.insert(QStringLiteral("spacingM"), *i.spacingM);
    return o;
}

// A pole list as the file holds it: each run with its poles in order, a value the engineer did
// not give (a branch's own cable, a lamp's third-harmonic content, a fixed phase) left out.
QJsonArray poleListJson(const PoleList& list) {
    QJsonArray runs;
    for (const FeederRun& run : list.runs) {
        QJsonArray poles;
        for (const FeederPole& pole : run.poles) {
            QJsonArray lamps;
            for (const LampGroup& lamp : pole.lamps) {
                QJsonObject l{{QStringLiteral("count"), lamp.count},
                              {QStringLiteral("powerW"), lamp.powerW},
                              {QStringLiteral("powerFactor"), lamp.powerFactor},
                              {QStringLiteral("ballastFactor"), lamp.ballastFactor}};
                if (lamp.thirdHarmonicPercent)
                    l.insert(QStringLiteral("thirdHarmonicPercent"), *lamp.thirdHarmonicPercent);
                lamps.append(l);
            }
            QJsonObject p{{QStringLiteral("id"), pole.id},
                          {QStringLiteral("spanM"), pole.spanM},
                          {QStringLiteral("lamps"), lamps}};
            if (pole.fixedPhase)
                p.insert(QStringLiteral("phase"), phaseName(*pole.fixedPhase));
            poles.append(p);
        }
        QJsonObject r{{QStringLiteral("name"), run.name}, {QStringLiteral("poles"), poles}};
        if (!run.fromPole.isEmpty())
            r.insert(QStringLiteral("fromPole"), run.fromPole);
        if (run.cable)
            r.insert(QStringLiteral("cable"),
                     QJsonObject{{QStringLiteral("lossType"), run.cable->lossType},
                                 {QStringLiteral("cableType"), run.cable->cableType},
                                 {QStringLiteral("crossSection"), run.cable->crossSection}});
        runs.append(r);
    }
    return runs;
}

QString connectionName(FeederConnection connection) {
    return connection == FeederConnection::SinglePhase ? QStringLiteral("singlePhase")
                                                       : QStringLiteral("phasesInTurn");
}

QJsonObject loadJson(const CircuitLoad& load) {
    if (const auto* f = std::get_if<LampFeeder>(&load)) {
        // A feeder of a pole list is that list; the equal-pole values mean nothing beside it.
        if (!f->poleList.empty())
            return {{QStringLiteral("kind"), QStringLiteral("lampFeeder")},
                    {QStringLiteral("poleList"), poleListJson(f->poleList)},
                    {QStringLiteral("connection"), connectionName(f->connection)},
                    {QStringLiteral("startPhase"), phaseName(f->startPhase)}};
        QJsonObject o{{QStringLiteral("kind"), QStringLiteral("lampFeeder")},
                      {QStringLiteral("poles"), f->poles},
                      {QStringLiteral("lampsPerPole"), f->lampsPerPole},
                      {QStringLiteral("lampPowerW"), f->lampPowerW},
                      {QStringLiteral("lampPowerFactor"), f->lampPowerFactor},
                      {QStringLiteral("ballastFactor"), f->ballastFactor},
                      {QStringLiteral("spacingM"), f->spacingM},
                      {QStringLiteral("firstPoleM"), f->firstPoleM},
                      {QStringLiteral("connection"), connectionName(f->connection)},
                      {QStringLiteral("startPhase"), phaseName(f->startPhase)}};
        if (f->thirdHarmonicPercent)
            o.insert(QStringLiteral("thirdHarmonicPercent"), *f->thirdHarmonicPercent);
        return o;
    }
    const LoadCaseLoad& loads = std::get<LoadCaseLoad>(load);
    const VoltageLossInput& v = loads.values;
    QJsonObject o{{QStringLiteral("kind"), QStringLiteral("loadCase")},
                  {QStringLiteral("lineKind"), lineKindText(loads)},
                  {QStringLiteral("loadCase"), loadCaseText(loads)},
                  {QStringLiteral("voltageKV"), v.voltageKv.lenient},
                  {QStringLiteral("powerFactor"), optionalNumber(v.powerFactor)},
                  {QStringLiteral("conductorTemperatureC"), optionalNumber(v.conductorTempC)},
                  {QStringLiteral("ambientTemperatureC"), optionalNumber(v.ambientTempC)},
                  {QStringLiteral("currentA"), v.endCurrentA},
                  {QStringLiteral("lengthKm"), v.endLengthKm},
                  {QStringLiteral("powerKW"), v.endPowerKw},
                  {QStringLiteral("powerLengthKm"), v.endPowerLengthKm}};
    loadsArray(v.currentLoads, QStringLiteral("currentA"), o, QStringLiteral("currentLoads"));
    loadsArray(v.powerLoads, QStringLiteral("powerKW"), o, QStringLiteral("powerLoads"));
    loadsArray(v.unityPowerLoads, QStringLiteral("powerKW"), o, QStringLiteral("unityPowerLoads"));
    return o;
}

QJsonObject perMetreJson(const PhaseAndLoop& m) {
    return {{QStringLiteral("resistanceMilliOhmPerM"), m.resistance},
            {QStringLiteral("reactanceMilliOhmPerM"), m.reactance},
            {QStringLiteral("phaseProtectiveResistanceMilliOhmPerM"), m.loopResistance},
            {QStringLiteral("phaseProtectiveReactanceMilliOhmPerM"), m.loopReactance}};
}

QJsonObject circuitFileJson(const ProjectCircuit& c) {
    const CircuitLine& l = c.line;
    QJsonObject line = perMetreJson(l.perMetreMilliOhm);
    line.insert(QStringLiteral("phaseNeutralResistanceMilliOhmPerM"),
                l.neutralResistanceMilliOhmPerM);
    line.insert(QStringLiteral("phaseNeutralReactanceMilliOhmPerM"),
                l.neutralReactanceMilliOhmPerM);
    const Protection& p = c.protection;
    QJsonObject protection{{QStringLiteral("durationS"), p.durationS},
                           {QStringLiteral("leakageMAPerKm"), p.leakagePerKmMa},
                           {QStringLiteral("loadCurrentA"), p.loadCurrentA},
                           {QStringLiteral("mode"), modeName(p.mode)}};
    // K only where the engineer gave one: without it the thermal check takes the cable's own.
    if (p.coefficientK != 0.0)
        protection.insert(QStringLiteral("kFactor"), p.coefficientK);
    if (p.letThroughA2s)
        protection.insert(QStringLiteral("letThroughA2s"), *p.letThroughA2s);
    QJsonObject circuit{{QStringLiteral("id"), c.id},
                        {QStringLiteral("description"), c.description},
                        {QStringLiteral("cable"),
                         QJsonObject{{QStringLiteral("lossType"), l.cable.lossType},
                                     {QStringLiteral("cableType"), l.cable.cableType},
                                     {QStringLiteral("crossSectionMm2"), l.cable.crossSection},
                                     {QStringLiteral("resistanceOhmPerKm"), l.resistanceOhmPerKm},
                                     {QStringLiteral("reactanceOhmPerKm"), l.reactanceOhmPerKm}}},
                        {QStringLiteral("line"), line},
                        {QStringLiteral("protection"), protection},
                        {QStringLiteral("load"), loadJson(c.load)}};
    const QJsonObject installation = installationJson(c.installation);
    if (!installation.isEmpty())
        circuit.insert(QStringLiteral("installation"), installation);
    return circuit;
}

using Problems = std::vector<ReadingProblem>;

// Reads the values of one object, noting each one that cannot be taken: a reading records the
// key's path and why, and the caller decides whose problem it is and names its field.
class Reader {
public:
    Reader(QJsonObject object, QString path, Problems& problems)
        : object_(std::move(object)), path_(std::move(path)), problems_(problems) {}

    Reader child(const QString& name) {
        const QJsonValue v = object_.value(name);
        if (!v.isUndefined() && !v.isObject())
            problem(name, QStringLiteral("不是对象"));
        return Reader(v.toObject(), where(name), problems_);
    }

    // A number written as a JSON number, or as a text in the program's own form.
    double number(const QString& name, double fallback = 0.0) {
        return optional(name, true).value_or(fallback);
    }
    // Absent and null are "not given"; anything else must be a number.
    std::optional<double> optional(const QString& name, bool required = false) {
        const QJsonValue v = object_.value(name);
        if (v.isUndefined() || v.isNull()) {
            if (required)
                problem(name, QStringLiteral("缺少数值"));
            return std::nullopt;
        }
        std::optional<double> value;
        if (v.isDouble())
            value = v.toDouble();
        else if (v.isString())
            value = readPlainDecimal(v.toString());
        if (!value || !std::isfinite(*value)) {
            problem(name, QStringLiteral("不是数值：%1").arg(shown(v)));
            return std::nullopt;
        }
        return value;
    }
    int integer(const QString& name, int fallback = 0) {
        const auto value = optional(name, true);
        if (!value)
            return fallback;
        if (*value != std::floor(*value) || std::abs(*value) > 1e9) {
            problem(name, QStringLiteral("应为整数：%1").arg(formatGeneral(*value, {})));
            return fallback;
        }
        return int(*value);
    }
    QString text(const QString& name) {
        const QJsonValue v = object_.value(name);
        if (v.isUndefined() || v.isNull())
            return {};
        if (v.isString())
            return v.toString();
        if (v.isDouble())
            return formatGeneral(v.toDouble(), {});
        problem(name, QStringLiteral("不是文字"));
        return {};
    }
    // One of `choices`; any other value, or none, is a problem (the first choice stands in
    // for it, and the circuit is not computed).
    int choice(const QString& name, const QStringList& choices) {
        const QJsonValue v = object_.value(name);
        if (v.isUndefined() || v.isNull()) {
            problem(name, QStringLiteral("未给出"));
            return 0;
        }
        const qsizetype i = choices.indexOf(v.toString());
        if (i < 0) {
            problem(name, QStringLiteral("无法识别：%1").arg(shown(v)));
            return 0;
        }
        return int(i);
    }
    QJsonArray array(const QString& name) {
        const QJsonValue v = object_.value(name);
        if (!v.isUndefined() && !v.isArray())
            problem(name, QStringLiteral("不是数组"));
        return v.toArray();
    }
    const QJsonObject& object() const { return object_; }
    QString where(const QString& name) const {
        return path_.isEmpty() ? name : path_ + u'.' + name;
    }
    // The value at `name` cannot be taken: the file's value is kept to be written back.
    void problem(const QString& name, const QString& why) {
        problems_.push_back({{}, where(name), {}, why, object_.value(name)});
    }

private:
    static QString shown(const QJsonValue& v) {
        if (v.isString())
            return QStringLiteral("“%1”").arg(v.toString().left(40));
        return QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact))
            .mid(1)
            .chopped(1)
            .left(40);
    }
    QJsonObject object_;
    QString path_;
    Problems& problems_;
};

// Whether `place` is `key` or lies inside it ("load.poles" in "load", "load.currentLoads[2]" in
// "load.currentLoads").
bool within(const QString& place, const QString& key) {
    return place == key || (place.startsWith(key) &&
                            (place.at(key.size()) == u'.' || place.at(key.size()) == u'['));
}

// Whether `outer` is a part that holds `place`: the whole circuit (the empty place) or a key
// above it.
bool holds(const QString& outer, const QString& place) {
    return outer.isEmpty() ? !place.isEmpty() : (place != outer && within(place, outer));
}

// The places of a circuit a schedule column shows: its file keys, except that the three cable
// columns, which share the keys a new section fills, each show their own.
QStringList shownKeys(ScheduleColumn column) {
    switch (column) {
    case ScheduleColumn::LossType:
        return {QStringLiteral("cable.lossType")};
    case ScheduleColumn::CableType:
        return {QStringLiteral("cable.cableType")};
    case ScheduleColumn::CrossSection:
        return {QStringLiteral("cable.crossSectionMm2")};
    default:
        return projectFileKeys(column);
    }
}

// The header of the schedule column that shows a place of a circuit, by the longest of the
// column keys that hold it; the place itself when no column shows it (a part of the circuit that
// is not an object).
QString circuitField(const QString& place) {
    QString field = place;
    qsizetype longest = -1;
    for (const ScheduleColumnInfo& info : scheduleInputColumns())
        for (const QString& key : shownKeys(info.column))
            if (within(place, key) && key.size() > longest) {
                longest = key.size();
                field = scheduleHeader(info.column);
            }
    return field;
}

// The label of a place of the supply or of the project's own values, as the schedule window's
// supply fields name them.
QString projectField(const QString& place) {
    static const std::pair<const char*, const char*> kLabels[] = {
        {"supply", "供电电源"},
        {"supply.systemCapacityMVA", "系统容量 (MVA)"},
        {"supply.transformer", "变压器"},
        {"supply.busbar", "母线"},
        {"supply.busbar.lengthM", "母线长度 (m)"},
        {"voltageLossLimitPercent", "电压损失限值 (%)"},
        {"name", "工程名称"},
        {"engineer", "设计人"},
        {"installation", "工程敷设条件"},
        {"installation.method", "敷设方式"},
        {"installation.temperatureC", "敷设处温度(℃)"},
        {"installation.soilResistivityKmW", "土壤热阻系数(K·m/W)"},
        {"installation.groupedCircuits", "并列回路数"},
        {"installation.spacingM", "回路间距(m)"},
        {"conductorTemperatureC", "导体计算温度(℃)"},
        {"circuits", "回路"},
    };
    QString field = place;
    qsizetype longest = -1;
    for (const auto& [key, label] : kLabels) {
        const QString k = QString::fromLatin1(key);
        if (within(place, k) && k.size() > longest) {
            longest = k.size();
            field = QString::fromUtf8(label);
        }
    }
    return field;
}

// The installation conditions an object gives; a value it leaves out stays missing.
InstallationConditions readInstallation(Reader r) {
    InstallationConditions i;
    const QJsonValue method = r.object().value(QStringLiteral("method"));
    if (!method.isUndefined() && !method.isNull()) {
        for (LayingMethod m : kLayingMethods)
            if (method.toString() == methodCode(m))
                i.method = m;
        if (!i.method)
            r.problem(QStringLiteral("method"),
                      QStringLiteral("无法识别：“%1”").arg(method.toString().left(40)));
    }
    i.temperatureC = r.optional(QStringLiteral("temperatureC"));
    i.soilResistivityKmW = r.optional(QStringLiteral("soilResistivityKmW"));
    if (const auto n = r.optional(QStringLiteral("groupedCircuits"))) {
        if (*n != std::floor(*n) || std::abs(*n) > 1e9)
            r.problem(QStringLiteral("groupedCircuits"),
                      QStringLiteral("应为整数：%1").arg(formatGeneral(*n, {})));
        else
            i.groupedCircuits = int(*n);
    }
    i.spacingM = r.optional(QStringLiteral("spacingM"));
    return i;
}

PhaseAndLoop readPerMetre(Reader& r) {
    return {r.number(QStringLiteral("resistanceMilliOhmPerM")),
            r.number(QStringLiteral("reactanceMilliOhmPerM")),
            r.number(QStringLiteral("phaseProtectiveResistanceMilliOhmPerM")),
            r.number(QStringLiteral("phaseProtectiveReactanceMilliOhmPerM"))};
}

std::array<LoadAtDistance, 4> readLoads(Reader& r, const QString& arrayKey, const QString& loadKey,
                                        Problems& problems) {
    std::array<LoadAtDistance, 4> loads{};
    const QJsonArray array = r.array(arrayKey);
    if (array.size() > 4)
        r.problem(arrayKey, QStringLiteral("最多4个负荷"));
    for (qsizetype i = 0; i < std::min<qsizetype>(array.size(), 4); ++i) {
        const QString place = r.where(arrayKey) + QStringLiteral("[%1]").arg(i + 1);
        if (!array.at(i).isObject())
            problems.push_back({{}, place, {}, QStringLiteral("不是对象"), array.at(i)});
        Reader load(array.at(i).toObject(), place, problems);
        loads[size_t(i)] = {load.number(loadKey), load.number(QStringLiteral("lengthKm"))};
    }
    return loads;
}

// ---- The pole list of a feeder ----

const QString kPoleListKey = QStringLiteral("poleList");

// A value of a run or a pole by the header of the pole-list import ("杆距(m)", "灯具2功率(W)"):
// `rest` is its place within the run or the pole ("spanM", "lamps[2].powerW"), empty for the run
// or the pole itself.
QString poleListValueLabel(const QString& rest) {
    static const std::pair<const char*, const char*> kLabels[] = {
        {"id", "杆号"},
        {"spanM", "杆距(m)"},
        {"phase", "相别"},
        {"lamps", "灯具"},
        {"count", "数量"},
        {"powerW", "功率(W)"},
        {"powerFactor", "功率因数"},
        {"ballastFactor", "镇流器系数"},
        {"thirdHarmonicPercent", "三次谐波含量(%)"},
        {"name", "名称"},
        {"fromPole", "起始杆号"},
        {"poles", "杆"},
        {"cable", "电缆"},
        {"lossType", "电缆损失类型"},
        {"cableType", "电缆类型"},
        {"crossSection", "截面(mm²)"},
    };
    QString label;
    for (const QString& part : rest.split(u'.', Qt::SkipEmptyParts)) {
        const qsizetype bracket = part.indexOf(u'[');
        const QString key = bracket < 0 ? part : part.left(bracket);
        for (const auto& [k, text] : kLabels)
            if (key == QLatin1String(k))
                label += QString::fromUtf8(text);
        if (bracket >= 0)
            label += part.mid(bracket + 1).chopped(1); // 灯具2
    }
    return label;
}

// Names the problems from `from` on that have no field yet, all inside `owner`, by `who` (the
// run and the pole) and the value's own label.
void nameListProblems(Problems& problems, size_t from, const QString& owner, const QString& who) {
    for (size_t i = from; i < problems.size(); ++i) {
        ReadingProblem& problem = problems[i];
        if (!problem.field.isEmpty())
            continue;
        const QString label = poleListValueLabel(problem.place.mid(owner.size()));
        problem.field = label.isEmpty() ? who : who + u' ' + label;
    }
}

// A text the list must give (a pole's number, a run's name): absent or empty is a problem.
QString requiredText(Reader& r, const QString& name) {
    const QJsonValue v = r.object().value(name);
    const QString text = r.text(name); // a value of another kind is reported there
    if ((v.isUndefined() || v.isNull() || v.isString()) && text.trimmed().isEmpty())
        r.problem(name, QStringLiteral("未填写"));
    return text;
}

FeederPole readPole(Reader& r, Problems& problems) {
    FeederPole pole;
    pole.id = requiredText(r, QStringLiteral("id"));
    pole.spanM = r.number(QStringLiteral("spanM"));
    const QJsonArray lamps = r.array(QStringLiteral("lamps"));
    for (qsizetype k = 0; k < lamps.size(); ++k) {
        const QString place = r.where(QStringLiteral("lamps")) + QStringLiteral("[%1]").arg(k + 1);
        if (!lamps.at(k).isObject()) {
            problems.push_back({{}, place, {}, QStringLiteral("不是对象"), lamps.at(k)});
            pole.lamps.emplace_back();
            continue;
        }
        Reader l(lamps.at(k).toObject(), place, problems);
        LampGroup lamp;
        lamp.count = l.integer(QStringLiteral("count"), 0);
        lamp.powerW = l.number(QStringLiteral("powerW"));
        lamp.powerFactor = l.number(QStringLiteral("powerFactor"));
        lamp.ballastFactor = l.number(QStringLiteral("ballastFactor"));
        lamp.thirdHarmonicPercent = l.optional(QStringLiteral("thirdHarmonicPercent"));
        pole.lamps.push_back(lamp);
    }
    // Absent: the feeder's rotation gives the phase; anything else must be one of the three.
    const QJsonValue phase = r.object().value(QStringLiteral("phase"));
    if (!phase.isUndefined() && !phase.isNull()) {
        for (const Phase p : {Phase::L1, Phase::L2, Phase::L3})
            if (phase.toString() == phaseName(p))
                pole.fixedPhase = p;
        if (!pole.fixedPhase)
            r.problem(QStringLiteral("phase"),
                      QStringLiteral("无法识别：“%1”").arg(phase.toString().left(40)));
    }
    return pole;
}

// The runs of a pole list, every run and pole kept in its place (one that cannot be read is
// written back as the file held it), each problem named by its run and pole.
PoleList readPoleList(Reader& load, Problems& problems) {
    PoleList list;
    const QJsonArray runs = load.object().value(kPoleListKey).toArray();
    for (qsizetype i = 0; i < runs.size(); ++i) {
        const QString runPlace = load.where(kPoleListKey) + QStringLiteral("[%1]").arg(i + 1);
        const size_t runStart = problems.size();
        if (!runs.at(i).isObject()) {
            // Kept in its place, written back whole.
            problems.push_back({{},
                                runPlace,
                                QStringLiteral("杆位表 第%1条线路").arg(i + 1),
                                QStringLiteral("不是对象"),
                                runs.at(i)});
            list.runs.emplace_back();
            continue;
        }
        Reader r(runs.at(i).toObject(), runPlace, problems);
        FeederRun run;
        run.name = requiredText(r, QStringLiteral("name"));
        const QString runWho =
            QStringLiteral("杆位表 ") + (!run.name.trimmed().isEmpty()
                                             ? run.name.trimmed()
                                             : QStringLiteral("第%1条线路").arg(i + 1));
        if (i > 0)
            run.fromPole = requiredText(r, QStringLiteral("fromPole"));
        else
            run.fromPole = r.text(QStringLiteral("fromPole"));
        if (r.object().contains(QStringLiteral("cable"))) {
            Reader cable = r.child(QStringLiteral("cable"));
            run.cable = CableIdentity{cable.text(QStringLiteral("lossType")),
                                      cable.text(QStringLiteral("cableType")),
                                      cable.text(QStringLiteral("crossSection"))};
        }
        const QJsonArray poles = r.array(QStringLiteral("poles"));
        for (qsizetype j = 0; j < poles.size(); ++j) {
            const QString polePlace =
                r.where(QStringLiteral("poles")) + QStringLiteral("[%1]").arg(j + 1);
            const size_t poleStart = problems.size();
            if (!poles.at(j).isObject()) {
                problems.push_back({{},
                                    polePlace,
                                    runWho + QStringLiteral(" 第%1杆").arg(j + 1),
                                    QStringLiteral("不是对象"),
                                    poles.at(j)});
                run.poles.emplace_back();
                continue;
            }
            Reader p(poles.at(j).toObject(), polePlace, problems);
            run.poles.push_back(readPole(p, problems));
            const QString id = run.poles.back().id.trimmed();
            nameListProblems(problems, poleStart, polePlace + u'.',
                             runWho + (id.isEmpty() ? QStringLiteral(" 第%1杆").arg(j + 1)
                                                    : QStringLiteral(" 杆 ") + id));
        }
        nameListProblems(problems, runStart, runPlace + u'.', runWho);
        list.runs.push_back(std::move(run));
    }
    return list;
}

CircuitLoad readLoad(Reader r, Problems& problems) {
    const int kind = r.choice(QStringLiteral("kind"),
                              {QStringLiteral("loadCase"), QStringLiteral("lampFeeder")});
    if (kind == 1 && r.object().contains(kPoleListKey)) {
        // A feeder of a pole list (format version 3): the list, and the rotation of its poles.
        LampFeeder f;
        const QJsonValue list = r.object().value(kPoleListKey);
        if (!list.isArray() || list.toArray().isEmpty()) {
            // Nothing of the load can stand without its list: the load is kept whole as the
            // file held it.
            problems.push_back(
                {{},
                 QStringLiteral("load"),
                 QStringLiteral("杆位表"),
                 list.isArray() ? QStringLiteral("没有线路") : QStringLiteral("不是数组"),
                 QJsonValue(r.object())});
        } else {
            f.poleList = readPoleList(r, problems);
        }
        f.connection = r.choice(QStringLiteral("connection"), {QStringLiteral("singlePhase"),
                                                               QStringLiteral("phasesInTurn")}) == 0
                           ? FeederConnection::SinglePhase
                           : FeederConnection::PhasesInTurn;
        f.startPhase =
            Phase(r.choice(QStringLiteral("startPhase"),
                           {QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L3")}));
        return f;
    }
    if (kind == 1) {
        LampFeeder f;
        f.poles = r.integer(QStringLiteral("poles"));
        f.lampsPerPole = r.integer(QStringLiteral("lampsPerPole"), 1);
        f.lampPowerW = r.number(QStringLiteral("lampPowerW"));
        f.lampPowerFactor = r.number(QStringLiteral("lampPowerFactor"), 1.0);
        f.ballastFactor = r.number(QStringLiteral("ballastFactor"), 1.0);
        f.spacingM = r.number(QStringLiteral("spacingM"));
        f.firstPoleM = r.number(QStringLiteral("firstPoleM"));
        f.connection = r.choice(QStringLiteral("connection"), {QStringLiteral("singlePhase"),
                                                               QStringLiteral("phasesInTurn")}) == 0
                           ? FeederConnection::SinglePhase
                           : FeederConnection::PhasesInTurn;
        f.startPhase =
            Phase(r.choice(QStringLiteral("startPhase"),
                           {QStringLiteral("L1"), QStringLiteral("L2"), QStringLiteral("L3")}));
        f.thirdHarmonicPercent = r.optional(QStringLiteral("thirdHarmonicPercent"));
        return f;
    }
    LoadCaseLoad loads;
    setLineKindText(loads, r.text(QStringLiteral("lineKind")));
    setLoadCaseText(loads, r.text(QStringLiteral("loadCase")));
    VoltageLossInput& v = loads.values;
    const auto kv = r.optional(QStringLiteral("voltageKV"), true);
    v.voltageKv = {kv.value_or(0.0), kv};
    v.powerFactor = r.optional(QStringLiteral("powerFactor"));
    v.conductorTempC = r.optional(QStringLiteral("conductorTemperatureC"));
    v.ambientTempC = r.optional(QStringLiteral("ambientTemperatureC"));
    // Written for every load case, used or not: one missing is a damaged file, not a 0.
    v.endCurrentA = r.number(QStringLiteral("currentA"));
    v.endLengthKm = r.number(QStringLiteral("lengthKm"));
    v.endPowerKw = r.number(QStringLiteral("powerKW"));
    v.endPowerLengthKm = r.number(QStringLiteral("powerLengthKm"));
    v.currentLoads =
        readLoads(r, QStringLiteral("currentLoads"), QStringLiteral("currentA"), problems);
    v.powerLoads = readLoads(r, QStringLiteral("powerLoads"), QStringLiteral("powerKW"), problems);
    v.unityPowerLoads =
        readLoads(r, QStringLiteral("unityPowerLoads"), QStringLiteral("powerKW"), problems);
    return loads;
}

// A circuit of the file, its places read within it; its problems are named once its
// identifier is known. An element that is not an object is kept whole, as the file held it.
ProjectCircuit readCircuit(const QJsonValue& value) {
    ProjectCircuit c;
    Problems& problems = c.readingProblems;
    if (!value.isObject()) {
        problems.push_back({{}, {}, {}, QStringLiteral("不是对象"), value});
        return c;
    }
    Reader r(value.toObject(), {}, problems);
    c.id = r.text(QStringLiteral("id"));
    c.description = r.text(QStringLiteral("description"));
    Reader cable = r.child(QStringLiteral("cable"));
    c.line.cable = {cable.text(QStringLiteral("lossType")), cable.text(QStringLiteral("cableType")),
                    cable.text(QStringLiteral("crossSectionMm2"))};
    c.line.resistanceOhmPerKm = cable.number(QStringLiteral("resistanceOhmPerKm"));
    c.line.reactanceOhmPerKm = cable.number(QStringLiteral("reactanceOhmPerKm"));
    Reader line = r.child(QStringLiteral("line"));
    c.line.perMetreMilliOhm = readPerMetre(line);
    c.line.neutralResistanceMilliOhmPerM =
        line.number(QStringLiteral("phaseNeutralResistanceMilliOhmPerM"));
    c.line.neutralReactanceMilliOhmPerM =
        line.number(QStringLiteral("phaseNeutralReactanceMilliOhmPerM"));
    Reader p = r.child(QStringLiteral("protection"));
    // Absent: none given (0), and the cable's own K is taken.
    c.protection.coefficientK = p.optional(QStringLiteral("kFactor")).value_or(0.0);
    c.protection.durationS = p.number(QStringLiteral("durationS"));
    c.protection.leakagePerKmMa = p.number(QStringLiteral("leakageMAPerKm"));
    c.protection.letThroughA2s = p.optional(QStringLiteral("letThroughA2s"));
    Reader load = r.child(QStringLiteral("load"));
    const bool feeder = load.object().value(QStringLiteral("kind")) == QStringLiteral("lampFeeder");
    // A feeder's load current is worked out from its lamps.
    c.protection.loadCurrentA = feeder ? p.optional(QStringLiteral("loadCurrentA")).value_or(0.0)
                                       : p.number(QStringLiteral("loadCurrentA"));
    c.protection.mode =
        p.choice(QStringLiteral("mode"),
                 {QStringLiteral("earthFault"), QStringLiteral("singlePhaseShortCircuit")}) == 0
            ? ProtectionMode::EarthFault
            : ProtectionMode::ShortCircuit;
    c.load = readLoad(load, problems);
    c.installation = readInstallation(r.child(QStringLiteral("installation")));
    return c;
}

// The file's identifiers: a circuit without one is known by the next free WLn in messages (the
// file keeps none), a circuit repeating an earlier one's is not computed; then every problem
// is named by its circuit.
void checkIdentifiers(std::vector<ProjectCircuit>& circuits, const QJsonArray& values) {
    QHash<QString, size_t> first; // each identifier's first circuit
    std::vector<size_t> unnamed;
    for (size_t i = 0; i < circuits.size(); ++i) {
        ProjectCircuit& c = circuits[i];
        const QJsonValue given = values.at(qsizetype(i)).toObject().value(QStringLiteral("id"));
        const QString key = c.id.trimmed().toCaseFolded();
        if (key.isEmpty()) {
            // Missing, unless the circuit or its identifier could not be read at all (which
            // says so already).
            const bool said = std::any_of(
                c.readingProblems.begin(), c.readingProblems.end(), [](const ReadingProblem& p) {
                    return p.place.isEmpty() || p.place == QLatin1String("id");
                });
            if (!said)
                c.readingProblems.push_back(
                    {{}, QStringLiteral("id"), {}, QStringLiteral("未填写"), given});
            unnamed.push_back(i);
        } else if (const auto it = first.constFind(key); it != first.cend()) {
            c.readingProblems.push_back(
                {c.id,
                 QStringLiteral("id"),
                 {},
                 QStringLiteral("回路编号重复：与第 %1 个回路相同").arg(*it + 1),
                 given});
        } else {
            first.insert(key, i);
        }
    }
    for (size_t i : unnamed)
        circuits[i].id = nextFreeCircuitId(circuits);
    for (ProjectCircuit& c : circuits) {
        for (ReadingProblem& problem : c.readingProblems) {
            problem.circuit = c.id;
            // A repeated identifier names itself in its reason.
            if (!isRepeatedIdProblem(problem) && problem.field.isEmpty())
                problem.field = circuitField(problem.place);
            c.inputProblems << problem.text();
        }
    }
}

// A pole list read whole that is no feeder (a branch from a pole that does not exist, a pole
// number given twice, a loop) is kept as the file held it, and its circuit is not computed.
void checkPoleList(ProjectCircuit& c) {
    const auto* feeder = std::get_if<LampFeeder>(&c.load);
    if (!feeder || feeder->poleList.empty())
        return;
    for (const ReadingProblem& problem : c.readingProblems)
        if (within(problem.place, QStringLiteral("load.") + kPoleListKey) ||
            problem.place == QLatin1String("load") || problem.place.isEmpty())
            return; // its values that could not be read say why already
    for (const QString& reason : poleListProblems(feeder->poleList))
        c.inputProblems << QStringLiteral("%1 杆位表：%2").arg(c.id, reason);
}

// ---- What the file held where a value could not be read ----

// One step of a place: a key, or a position in an array (from 0).
struct Step {
    QString key;
    qsizetype index = -1;
};

// "load.currentLoads[2].currentA": load, currentLoads, 1, currentA. The empty place is the
// value itself.
std::vector<Step> stepsOf(const QString& place) {
    std::vector<Step> steps;
    for (const QString& part : place.split(u'.', Qt::SkipEmptyParts)) {
        const qsizetype bracket = part.indexOf(u'[');
        steps.push_back({bracket < 0 ? part : part.left(bracket)});
        if (bracket >= 0)
            steps.push_back({{}, part.mid(bracket + 1).chopped(1).toLongLong() - 1});
    }
    return steps;
}

// `value` with `original` put back at steps[from..]: an undefined original leaves the key out,
// and an object the writing left out (a circuit's empty installation) is made for it. A part
// that is no longer an object or an array (one written back whole) is left as it is.
QJsonValue withOriginal(const QJsonValue& value, const std::vector<Step>& steps, size_t from,
                        const QJsonValue& original) {
    if (from == steps.size())
        return original;
    const Step& step = steps[from];
    if (step.index < 0) {
        if (!value.isObject() && !value.isUndefined())
            return value;
        QJsonObject object = value.toObject();
        const QJsonValue inner = withOriginal(object.value(step.key), steps, from + 1, original);
        if (inner.isUndefined())
            object.remove(step.key);
        else
            object.insert(step.key, inner);
        return value.isUndefined() && object.isEmpty() ? value : QJsonValue(object);
    }
    if (!value.isArray())
        return value;
    QJsonArray array = value.toArray();
    if (step.index >= array.size())
        return value;
    const QJsonValue inner = withOriginal(array.at(step.index), steps, from + 1, original);
    if (!inner.isUndefined())
        array.replace(step.index, inner);
    return array;
}

// The value written with what the file held at each problem's place, the deepest places first
// so that a part written back whole (a load that was not an object) is written last.
QJsonValue withOriginals(QJsonValue value, const std::vector<ReadingProblem>& problems) {
    std::vector<std::pair<std::vector<Step>, const QJsonValue*>> kept;
    for (const ReadingProblem& problem : problems)
        if (problem.original)
            kept.emplace_back(stepsOf(problem.place), &*problem.original);
    std::stable_sort(kept.begin(), kept.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    for (const auto& [steps, original] : kept)
        value = withOriginal(value, steps, 0, *original);
    return value;
}

// A value of the file as a cell shows it.
QString originalText(const QJsonValue& v, const RegionalFormat& format) {
    if (v.isString())
        return v.toString();
    if (v.isDouble())
        return formatGeneral(v.toDouble(), format);
    if (v.isUndefined() || v.isNull())
        return {};
    return QString::fromUtf8(QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact))
        .mid(1)
        .chopped(1);
}

// What a cell shows of `places` when one of `problems` concerns them (see unreadCellText).
std::optional<QString> unreadText(const std::vector<ReadingProblem>& problems,
                                  const QStringList& places, const RegionalFormat& format) {
    std::optional<QString> shown;
    for (const ReadingProblem& problem : problems)
        for (const QString& place : places) {
            if (problem.place == place)
                return problem.original ? originalText(*problem.original, format) : QString();
            if (within(problem.place, place) || holds(problem.place, place))
                shown = QString();
        }
    return shown;
}

// Whether a problem at `problem` goes once the value at `given` is given: it is there or inside
// it, or at a part holding it (not the whole circuit) that could not be read.
bool answeredBy(const QString& problem, const QString& given) {
    return within(problem, given) || (!problem.isEmpty() && holds(problem, given));
}

// Problems of the project's name and of its list of circuits leave the circuits computable.
bool stopsCircuits(const ReadingProblem& problem) {
    return problem.place != key::name && problem.place != key::engineer &&
           problem.place != key::circuits;
}

// ---- Writing the file in its own order ----

QByteArray indentation(int depth) {
    return QByteArray(4 * depth, ' ');
}

// A value as QJsonDocument writes it indented, starting at `depth`.
QByteArray jsonText(const QJsonValue& value, int depth) {
    QByteArray text;
    if (value.isObject()) {
        text = QJsonDocument(value.toObject()).toJson(QJsonDocument::Indented);
    } else if (value.isArray()) {
        text = QJsonDocument(value.toArray()).toJson(QJsonDocument::Indented);
    } else {
        text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        return text.mid(1, text.size() - 2);
    }
    text.chop(1); // the document's last line break
    return text.replace('\n', QByteArray('\n' + indentation(depth)));
}

// An object with the keys of `order` first, then any other in QJsonObject's order, each value
// written by `text`; laid out as QJsonDocument lays out an indented object.
template <typename ValueText>
QByteArray objectText(const QJsonObject& object, const QStringList& order, int depth,
                      ValueText text) {
    QStringList keys;
    for (const QString& k : order)
        if (object.contains(k))
            keys << k;
    for (const QString& k : object.keys())
        if (!order.contains(k))
            keys << k;
    QByteArray out = "{\n";
    for (qsizetype i = 0; i < keys.size(); ++i) {
        out += indentation(depth + 1) + jsonText(keys[i], 0) + ": " +
               text(keys[i], object.value(keys[i]));
        out += i + 1 < keys.size() ? ",\n" : "\n";
    }
    return out + indentation(depth) + '}';
}

// The project's name and settings, how its circuits are laid, the supply, then the circuits;
// a circuit's identifier and description first and its load last.
const QStringList kRootOrder{key::format,       key::version, key::name,
                             key::engineer,     key::limit,   key::temperature,
                             key::installation, key::supply,  key::circuits};
const QStringList kCircuitOrder{QStringLiteral("id"),         QStringLiteral("description"),
                                QStringLiteral("cable"),      QStringLiteral("line"),
                                QStringLiteral("protection"), QStringLiteral("installation"),
                                QStringLiteral("load")};

QByteArray circuitsText(const QJsonArray& circuits, int depth) {
    QByteArray out = "[\n";
    for (qsizetype i = 0; i < circuits.size(); ++i) {
        const QJsonValue c = circuits.at(i);
        out += indentation(depth + 1);
        out += c.isObject() ? objectText(c.toObject(), kCircuitOrder, depth + 1,
                                         [depth](const QString&, const QJsonValue& v) {
                                             return jsonText(v, depth + 2);
                                         })
                            : jsonText(c, depth + 1);
        out += i + 1 < circuits.size() ? ",\n" : "\n";
    }
    return out + indentation(depth) + ']';
}

// ---- Messages of a file that is not JSON ----

QString parseErrorReason(QJsonParseError::ParseError error) {
    switch (error) {
    case QJsonParseError::NoError:
        break;
    case QJsonParseError::UnterminatedObject:
        return QStringLiteral("对象缺少结尾的“}”");
    case QJsonParseError::MissingNameSeparator:
        return QStringLiteral("名称后缺少“:”");
    case QJsonParseError::UnterminatedArray:
        return QStringLiteral("数组缺少结尾的“]”");
    case QJsonParseError::MissingValueSeparator:
        return QStringLiteral("两项之间缺少“,”");
    case QJsonParseError::IllegalValue:
        return QStringLiteral("无法识别的值");
    case QJsonParseError::TerminationByNumber:
        return QStringLiteral("文件在数字处意外结束");
    case QJsonParseError::IllegalNumber:
        return QStringLiteral("数字无效");
    case QJsonParseError::IllegalEscapeSequence:
        return QStringLiteral("文字中有无效的转义符");
    case QJsonParseError::IllegalUTF8String:
        return QStringLiteral("文字不是有效的 UTF-8 编码");
    case QJsonParseError::UnterminatedString:
        return QStringLiteral("文字缺少结尾的引号");
    case QJsonParseError::MissingObject:
        return QStringLiteral("此处应为对象");
    case QJsonParseError::DeepNesting:
        return QStringLiteral("嵌套层数过多");
    case QJsonParseError::DocumentTooLarge:
        return QStringLiteral("内容过多");
    case QJsonParseError::GarbageAtEnd:
        return QStringLiteral("结尾处有多余的内容");
    }
    return QStringLiteral("格式错误");
}

// Where the parser stopped, as an editor shows it: line and column (in characters) from 1.
QString parseErrorPlace(const QByteArray& bytes, const QJsonParseError& error) {
    const QByteArray before = bytes.left(error.offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    return QStringLiteral("第 %1 行第 %2 列：%3")
        .arg(before.count('\n') + 1)
        .arg(QString::fromUtf8(before.mid(lineStart)).size() + 1)
        .arg(parseErrorReason(error.error));
}

QJsonObject supplyJson(const Supply& s) {
    QJsonObject busbar = perMetreJson(s.busbar.perMetreMilliOhm);
    busbar.insert(QStringLiteral("material"), s.busbar.material);
    busbar.insert(QStringLiteral("size"), s.busbar.size);
    busbar.insert(QStringLiteral("lengthM"), s.busbar.lengthM);
    return {{QStringLiteral("systemCapacityMVA"), s.systemCapacityMva},
            {QStringLiteral("transformer"),
             QJsonObject{{QStringLiteral("series"), s.transformer.series},
                         {QStringLiteral("voltageKV"), s.transformer.voltageKv},
                         {QStringLiteral("ratedKVA"), s.transformer.ratedKva},
                         {QStringLiteral("impedanceVoltagePercent"), s.transformer.ukPercent},
                         {QStringLiteral("loadLossKW"), s.transformer.loadLossKw}}},
            {QStringLiteral("busbar"), busbar}};
}

// A circuit as the file holds it: an element that was not an object is written back whole.
QJsonValue circuitFileValue(const ProjectCircuit& circuit) {
    return withOriginals(circuitFileJson(circuit), circuit.readingProblems);
}

} // namespace

QJsonObject circuitToJson(const ProjectCircuit& circuit) {
    return circuitFileValue(circuit).toObject();
}

QByteArray projectToJson(const Project& project) {
    QJsonArray circuits;
    // Version 3 only for a file that holds a pole list (read or kept as the file held it), so
    // that earlier releases still open every other file.
    bool poleLists = false;
    for (const ProjectCircuit& c : project.circuits) {
        const QJsonValue circuit = circuitFileValue(c);
        poleLists =
            poleLists ||
            circuit.toObject().value(QStringLiteral("load")).toObject().contains(kPoleListKey);
        circuits.append(circuit);
    }
    QJsonObject root{
        {key::format, QString::fromLatin1(kProjectFormatName)},
        {key::version, poleLists ? kProjectFormatVersion : kProjectFormatVersionWithoutPoleLists},
        {key::name, project.name},
        {key::engineer, project.engineer},
        {key::supply, supplyJson(project.supply)},
        {key::limit, project.voltageLossLimitPercent},
        {key::installation, installationJson(project.installation)},
        {key::circuits, circuits}};
    if (project.conductorTemperatureC)
        root.insert(key::temperature, *project.conductorTemperatureC);
    // A list of circuits that could not be read is written back only while no circuit has been
    // added to it.
    std::vector<ReadingProblem> kept = project.readingProblems;
    if (!project.circuits.empty())
        std::erase_if(kept, [](const ReadingProblem& p) { return p.place == key::circuits; });
    const QJsonObject written = withOriginals(root, kept).toObject();
    return objectText(written, kRootOrder, 0,
                      [](const QString& k, const QJsonValue& v) {
                          return k == key::circuits && v.isArray() ? circuitsText(v.toArray(), 1)
                                                                   : jsonText(v, 1);
                      }) +
           '\n';
}

ProjectReading projectFromJson(const QByteArray& bytes) {
    ProjectReading reading;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        reading.error =
            QStringLiteral("文件不是有效的工程文件（%1）").arg(parseErrorPlace(bytes, error));
        return reading;
    }
    if (!document.isObject()) {
        reading.error = QStringLiteral("文件不是有效的工程文件");
        return reading;
    }
    const QJsonObject root = document.object();
    if (root.value(key::format).toString() != QLatin1String(kProjectFormatName)) {
        reading.error = QStringLiteral("文件不是 Korvane 工程文件");
        return reading;
    }
    // Bounded before it is taken as an int: 1e308 is no version.
    const QJsonValue versionValue = root.value(key::version);
    const double version = versionValue.toDouble(-1);
    if (!versionValue.isDouble() || !(version >= 1 && version <= std::numeric_limits<int>::max()) ||
        version != std::floor(version)) {
        reading.error = QStringLiteral("工程文件的格式版本无法识别");
        return reading;
    }
    QStringList& problems = reading.unrestored;
    if (version > kProjectFormatVersion) {
        problems << QStringLiteral(
                        "文件由较新版本的 Korvane 保存（格式版本 %1），本版本不认识的内容未恢复")
                        .arg(int(version));
        for (const QString& k : root.keys())
            if (!kRootOrder.contains(k))
                problems << QStringLiteral("%1：未恢复").arg(k);
    }

    Project& project = reading.project;
    Problems& projectProblems = project.readingProblems;
    Reader r(root, {}, projectProblems);
    project.name = r.text(key::name);
    project.engineer = r.text(key::engineer);
    // A file without a limit (an older one) takes the documented 5 %. A limit the file holds
    // that cannot be read, or that no circuit can be judged against, stops every circuit: it is
    // never replaced by the default. One that cannot be read stands as 0, which no computation
    // takes.
    const QJsonValue limit = root.value(key::limit);
    if (!limit.isUndefined() && !limit.isNull()) {
        const std::optional<double> given = r.optional(key::limit);
        if (given && !(*given > 0.0 && *given < 100.0))
            r.problem(key::limit,
                      QStringLiteral("应大于0且小于100：%1").arg(formatGeneral(*given, {})));
        project.voltageLossLimitPercent = given.value_or(0.0);
    }
    project.installation = readInstallation(r.child(key::installation));
    project.conductorTemperatureC = r.optional(key::temperature);

    // A supply value that cannot be read stops every circuit, through its problems.
    const QJsonValue supplyValue = root.value(key::supply);
    if (!supplyValue.isObject())
        projectProblems.push_back(
            {{},
             key::supply,
             {},
             supplyValue.isUndefined() ? QStringLiteral("文件中没有") : QStringLiteral("不是对象"),
             supplyValue});
    Reader s(supplyValue.toObject(), key::supply, projectProblems);
    Supply& supply = project.supply;
    supply.systemCapacityMva = s.number(QStringLiteral("systemCapacityMVA"));
    Reader t = s.child(QStringLiteral("transformer"));
    supply.transformer.series = t.text(QStringLiteral("series"));
    supply.transformer.voltageKv = t.text(QStringLiteral("voltageKV"));
    supply.transformer.ratedKva = t.number(QStringLiteral("ratedKVA"));
    supply.transformer.ukPercent = t.number(QStringLiteral("impedanceVoltagePercent"));
    supply.transformer.loadLossKw = t.number(QStringLiteral("loadLossKW"));
    Reader b = s.child(QStringLiteral("busbar"));
    supply.busbar.material = b.text(QStringLiteral("material"));
    supply.busbar.size = b.text(QStringLiteral("size"));
    supply.busbar.perMetreMilliOhm = readPerMetre(b);
    supply.busbar.lengthM = b.number(QStringLiteral("lengthM"));
    const QJsonArray circuits = r.array(key::circuits);
    for (ReadingProblem& problem : projectProblems) {
        problem.field = projectField(problem.place);
        problems << problem.text();
    }

    std::vector<ProjectCircuit> read;
    read.reserve(size_t(circuits.size()));
    for (const QJsonValue& value : circuits)
        read.push_back(readCircuit(value));
    checkIdentifiers(read, circuits);
    for (ProjectCircuit& c : read)
        checkPoleList(c);
    const QStringList stopping = projectStoppingProblems(project);
    for (ProjectCircuit& c : read) {
        problems << c.inputProblems;
        c.inputProblems << stopping;
    }
    project.circuits = std::move(read);
    return reading;
}

QString saveProject(const Project& project, const QString& path) {
    return writeFileAtomically(path, projectToJson(project));
}

ProjectReading openProject(const QString& path) {
    ProjectReading reading;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reading.error = QStringLiteral("无法打开工程文件：") + file.errorString();
        return reading;
    }
    // Read in pieces, counting what was read, whatever size the file claims: a device such as
    // /dev/zero claims none and never ends.
    constexpr qint64 kPiece = 1024 * 1024;
    QByteArray bytes;
    while (bytes.size() <= kLargestProjectFileBytes) {
        const QByteArray piece =
            file.read(std::min(kPiece, kLargestProjectFileBytes + 1 - qint64(bytes.size())));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (file.error() != QFileDevice::NoError) {
        reading.error = QStringLiteral("无法读取工程文件：") + file.errorString();
        return reading;
    }
    if (bytes.size() > kLargestProjectFileBytes) {
        reading.error = QStringLiteral("文件超过 %1 MiB，不是工程文件")
                            .arg(kLargestProjectFileBytes / (1024 * 1024));
        return reading;
    }
    return projectFromJson(bytes);
}

bool sameCircuitId(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

bool setPoleList(ProjectCircuit& circuit, PoleList list) {
    auto* feeder = std::get_if<LampFeeder>(&circuit.load);
    if (!feeder)
        return false;
    QStringList places{QStringLiteral("load.") + kPoleListKey};
    for (const ScheduleColumn column :
         {ScheduleColumn::Poles, ScheduleColumn::LampsPerPole, ScheduleColumn::LampPowerW,
          ScheduleColumn::LampPowerFactor, ScheduleColumn::BallastFactor, ScheduleColumn::SpacingM,
          ScheduleColumn::FirstPoleM, ScheduleColumn::ThirdHarmonicPercent})
        places << projectFileKeys(column);
    dropReadingProblems(circuit, places);
    const QString treeReason = circuit.id + QStringLiteral(" 杆位表：");
    circuit.inputProblems.removeIf(
        [&](const QString& reason) { return reason.startsWith(treeReason); });
    feeder->poleList = std::move(list);
    return true;
}

QString nextFreeCircuitId(const std::vector<ProjectCircuit>& circuits) {
    std::set<int> taken;
    for (const ProjectCircuit& c : circuits) {
        const QString id = c.id.trimmed();
        bool ok = false;
        const int n =
            id.startsWith(QLatin1String("WL"), Qt::CaseInsensitive) ? id.mid(2).toInt(&ok) : 0;
        if (ok)
            taken.insert(n);
    }
    int n = 1;
    while (taken.count(n))
        ++n;
    return QStringLiteral("WL%1").arg(n);
}

bool isRepeatedIdProblem(const ReadingProblem& problem) {
    return problem.place == QLatin1String("id") &&
           problem.reason.startsWith(QStringLiteral("回路编号重复"));
}

QStringList projectFileKeys(ScheduleColumn column) {
    using C = ScheduleColumn;
    switch (column) {
    case C::Id:
        return {QStringLiteral("id")};
    case C::Description:
        return {QStringLiteral("description")};
    case C::LossType:
    case C::CableType:
    case C::CrossSection:
        // Another cable fills its resistance, reactance, line values and leakage anew.
        return {QStringLiteral("cable"), QStringLiteral("line"),
                QStringLiteral("protection.leakageMAPerKm")};
    case C::ResistanceOhmPerKm:
        return {QStringLiteral("cable.resistanceOhmPerKm")};
    case C::ReactanceOhmPerKm:
        return {QStringLiteral("cable.reactanceOhmPerKm")};
    case C::R0:
        return {QStringLiteral("line.resistanceMilliOhmPerM")};
    case C::X0:
        return {QStringLiteral("line.reactanceMilliOhmPerM")};
    case C::LoopResistance:
        return {QStringLiteral("line.phaseProtectiveResistanceMilliOhmPerM")};
    case C::LoopReactance:
        return {QStringLiteral("line.phaseProtectiveReactanceMilliOhmPerM")};
    case C::NeutralResistance:
        return {QStringLiteral("line.phaseNeutralResistanceMilliOhmPerM")};
    case C::NeutralReactance:
        return {QStringLiteral("line.phaseNeutralReactanceMilliOhmPerM")};
    case C::CoefficientK:
        return {QStringLiteral("protection.kFactor")};
    case C::DurationS:
        return {QStringLiteral("protection.durationS")};
    case C::LeakagePerKm:
        return {QStringLiteral("protection.leakageMAPerKm")};
    case C::LoadCurrentA:
        return {QStringLiteral("protection.loadCurrentA")};
    case C::ProtectionMode:
        return {QStringLiteral("protection.mode")};
    case C::LoadKind:
        return {QStringLiteral("load")};
    case C::LineKind:
        return {QStringLiteral("load.lineKind")};
    case C::LoadCase:
        return {QStringLiteral("load.loadCase")};
    case C::VoltageKv:
        return {QStringLiteral("load.voltageKV")};
    case C::PowerFactor:
        return {QStringLiteral("load.powerFactor")};
    case C::ConductorTemperatureC:
        return {QStringLiteral("load.conductorTemperatureC")};
    case C::AmbientTemperatureC:
        return {QStringLiteral("load.ambientTemperatureC")};
    case C::Load:
        return {QStringLiteral("load.currentA"), QStringLiteral("load.powerKW")};
    case C::LoadDistanceKm:
        return {QStringLiteral("load.lengthKm"), QStringLiteral("load.powerLengthKm")};
    case C::SeveralLoads:
        return {QStringLiteral("load.currentLoads"), QStringLiteral("load.powerLoads"),
                QStringLiteral("load.unityPowerLoads")};
    case C::Poles:
        return {QStringLiteral("load.poles")};
    case C::LampsPerPole:
        return {QStringLiteral("load.lampsPerPole")};
    case C::LampPowerW:
        return {QStringLiteral("load.lampPowerW")};
    case C::LampPowerFactor:
        return {QStringLiteral("load.lampPowerFactor")};
    case C::BallastFactor:
        return {QStringLiteral("load.ballastFactor")};
    case C::SpacingM:
        return {QStringLiteral("load.spacingM")};
    case C::FirstPoleM:
        return {QStringLiteral("load.firstPoleM")};
    case C::Connection:
        return {QStringLiteral("load.connection")};
    case C::StartPhase:
        return {QStringLiteral("load.startPhase")};
    case C::ThirdHarmonicPercent:
        return {QStringLiteral("load.thirdHarmonicPercent")};
    case C::LetThroughA2s:
        return {QStringLiteral("protection.letThroughA2s")};
    case C::LayingMethod:
        return {QStringLiteral("installation.method")};
    case C::LayingTemperatureC:
        return {QStringLiteral("installation.temperatureC")};
    case C::SoilResistivity:
        return {QStringLiteral("installation.soilResistivityKmW")};
    case C::GroupedCircuits:
        return {QStringLiteral("installation.groupedCircuits")};
    case C::CircuitSpacingM:
        return {QStringLiteral("installation.spacingM")};
    }
    return {};
}

void dropReadingProblems(ProjectCircuit& circuit, const QStringList& places) {
    std::erase_if(circuit.readingProblems, [&](const ReadingProblem& problem) {
        for (const QString& place : places)
            if (answeredBy(problem.place, place)) {
                circuit.inputProblems.removeOne(problem.text());
                return true;
            }
        return false;
    });
}

void renameReadingProblems(ProjectCircuit& circuit) {
    for (ReadingProblem& problem : circuit.readingProblems) {
        if (problem.circuit == circuit.id)
            continue;
        const qsizetype at = circuit.inputProblems.indexOf(problem.text());
        problem.circuit = circuit.id;
        if (at >= 0)
            circuit.inputProblems[at] = problem.text();
    }
}

void dropProjectReadingProblems(Project& project, const QStringList& places) {
    std::erase_if(project.readingProblems, [&](const ReadingProblem& problem) {
        for (const QString& place : places)
            if (answeredBy(problem.place, place)) {
                for (ProjectCircuit& c : project.circuits)
                    c.inputProblems.removeOne(problem.text());
                return true;
            }
        return false;
    });
}

QStringList projectStoppingProblems(const Project& project) {
    QStringList texts;
    for (const ReadingProblem& problem : project.readingProblems)
        if (stopsCircuits(problem))
            texts << problem.text();
    return texts;
}

std::optional<QString> unreadCellText(const ProjectCircuit& circuit, ScheduleColumn column,
                                      const RegionalFormat& format) {
    if (circuit.readingProblems.empty())
        return std::nullopt;
    return unreadText(circuit.readingProblems, shownKeys(column), format);
}

std::optional<QString> unreadProjectText(const Project& project, const QString& place,
                                         const RegionalFormat& format) {
    return unreadText(project.readingProblems, {place}, format);
}

} // namespace korvane
