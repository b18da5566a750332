#include "project_files/project_file.h"

#include "form/atomic_file.h"
#include "form/number_format.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>

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

QJsonObject loadJson(const CircuitLoad& load) {
    if (const auto* f = std::get_if<LampFeeder>(&load)) {
        QJsonObject o{{QStringLiteral("kind"), QStringLiteral("lampFeeder")},
                      {QStringLiteral("poles"), f->poles},
                      {QStringLiteral("lampsPerPole"), f->lampsPerPole},
                      {QStringLiteral("lampPowerW"), f->lampPowerW},
                      {QStringLiteral("lampPowerFactor"), f->lampPowerFactor},
                      {QStringLiteral("ballastFactor"), f->ballastFactor},
                      {QStringLiteral("spacingM"), f->spacingM},
                      {QStringLiteral("firstPoleM"), f->firstPoleM},
                      {QStringLiteral("connection"), f->connection == FeederConnection::SinglePhase
                                                         ? QStringLiteral("singlePhase")
                                                         : QStringLiteral("phasesInTurn")},
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
    QJsonObject protection{{QStringLiteral("kFactor"), p.coefficientK},
                           {QStringLiteral("durationS"), p.durationS},
                           {QStringLiteral("leakageMAPerKm"), p.leakagePerKmMa},
                           {QStringLiteral("loadCurrentA"), p.loadCurrentA},
                           {QStringLiteral("mode"), modeName(p.mode)}};
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
    // One of `choices`; the first when absent.
    int choice(const QString& name, const QStringList& choices) {
        const QJsonValue v = object_.value(name);
        if (v.isUndefined())
            return 0;
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
    void problem(const QString& name, const QString& why) {
        problems_.push_back({{}, where(name), {}, why});
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

// The header of the schedule column that shows a place of a circuit, by the longest of the
// column keys that hold it; the place itself when no column shows it (a part of the circuit that
// is not an object).
QString circuitField(const QString& place) {
    QString field = place;
    qsizetype longest = -1;
    auto consider = [&](const QString& key, ScheduleColumn column) {
        if (within(place, key) && key.size() > longest) {
            longest = key.size();
            field = scheduleHeader(column);
        }
    };
    for (const ScheduleColumnInfo& info : scheduleInputColumns()) {
        switch (info.column) {
        // These three columns share the keys a new section fills; each has its own cable key.
        case ScheduleColumn::LossType:
            consider(QStringLiteral("cable.lossType"), info.column);
            break;
        case ScheduleColumn::CableType:
            consider(QStringLiteral("cable.cableType"), info.column);
            break;
        case ScheduleColumn::CrossSection:
            consider(QStringLiteral("cable.crossSectionMm2"), info.column);
            break;
        default:
            for (const QString& key : projectFileKeys(info.column))
                consider(key, info.column);
        }
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
        Reader load(array.at(i).toObject(), r.where(arrayKey) + QStringLiteral("[%1]").arg(i + 1),
                    problems);
        loads[size_t(i)] = {load.number(loadKey), load.number(QStringLiteral("lengthKm"))};
    }
    return loads;
}

CircuitLoad readLoad(Reader r, Problems& problems) {
    const int kind = r.choice(QStringLiteral("kind"),
                              {QStringLiteral("loadCase"), QStringLiteral("lampFeeder")});
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
    v.endCurrentA = r.optional(QStringLiteral("currentA")).value_or(0.0);
    v.endLengthKm = r.optional(QStringLiteral("lengthKm")).value_or(0.0);
    v.endPowerKw = r.optional(QStringLiteral("powerKW")).value_or(0.0);
    v.endPowerLengthKm = r.optional(QStringLiteral("powerLengthKm")).value_or(0.0);
    v.currentLoads =
        readLoads(r, QStringLiteral("currentLoads"), QStringLiteral("currentA"), problems);
    v.powerLoads = readLoads(r, QStringLiteral("powerLoads"), QStringLiteral("powerKW"), problems);
    v.unityPowerLoads =
        readLoads(r, QStringLiteral("unityPowerLoads"), QStringLiteral("powerKW"), problems);
    return loads;
}

// Names the circuit and the field of each of its problems and lists their texts.
void nameCircuitProblems(ProjectCircuit& c) {
    for (ReadingProblem& problem : c.readingProblems) {
        problem.circuit = c.id;
        problem.field = circuitField(problem.place);
        c.inputProblems << problem.text();
    }
}

// A circuit of the file, its places read within it.
ProjectCircuit readCircuit(const QJsonValue& value, int index) {
    ProjectCircuit c;
    Problems& problems = c.readingProblems;
    if (!value.isObject()) {
        problems.push_back({{}, {}, {}, QStringLiteral("不是对象")});
        c.id = QStringLiteral("WL%1").arg(index + 1);
        nameCircuitProblems(c);
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
    c.protection.coefficientK = p.number(QStringLiteral("kFactor"));
    c.protection.durationS = p.number(QStringLiteral("durationS"));
    c.protection.leakagePerKmMa = p.number(QStringLiteral("leakageMAPerKm"));
    c.protection.letThroughA2s = p.optional(QStringLiteral("letThroughA2s"));
    const bool feeder = r.child(QStringLiteral("load")).object().value(QStringLiteral("kind")) ==
                        QStringLiteral("lampFeeder");
    // A feeder's load current is worked out from its lamps.
    c.protection.loadCurrentA = feeder ? p.optional(QStringLiteral("loadCurrentA")).value_or(0.0)
                                       : p.number(QStringLiteral("loadCurrentA"));
    c.protection.mode =
        p.choice(QStringLiteral("mode"),
                 {QStringLiteral("earthFault"), QStringLiteral("singlePhaseShortCircuit")}) == 0
            ? ProtectionMode::EarthFault
            : ProtectionMode::ShortCircuit;
    c.load = readLoad(r.child(QStringLiteral("load")), problems);
    c.installation = readInstallation(r.child(QStringLiteral("installation")));
    if (c.id.isEmpty())
        c.id = QStringLiteral("WL%1").arg(index + 1);
    nameCircuitProblems(c);
    return c;
}

} // namespace

QJsonObject circuitToJson(const ProjectCircuit& circuit) {
    return circuitFileJson(circuit);
}

QByteArray projectToJson(const Project& project) {
    const Supply& s = project.supply;
    QJsonObject busbar = perMetreJson(s.busbar.perMetreMilliOhm);
    busbar.insert(QStringLiteral("material"), s.busbar.material);
    busbar.insert(QStringLiteral("size"), s.busbar.size);
    busbar.insert(QStringLiteral("lengthM"), s.busbar.lengthM);
    const QJsonObject supply{
        {QStringLiteral("systemCapacityMVA"), s.systemCapacityMva},
        {QStringLiteral("transformer"),
         QJsonObject{{QStringLiteral("series"), s.transformer.series},
                     {QStringLiteral("voltageKV"), s.transformer.voltageKv},
                     {QStringLiteral("ratedKVA"), s.transformer.ratedKva},
                     {QStringLiteral("impedanceVoltagePercent"), s.transformer.ukPercent},
                     {QStringLiteral("loadLossKW"), s.transformer.loadLossKw}}},
        {QStringLiteral("busbar"), busbar}};
    QJsonArray circuits;
    for (const ProjectCircuit& c : project.circuits)
        circuits.append(circuitFileJson(c));
    QJsonObject root{{key::format, QString::fromLatin1(kProjectFormatName)},
                     {key::version, kProjectFormatVersion},
                     {key::name, project.name},
                     {key::engineer, project.engineer},
                     {key::supply, supply},
                     {key::limit, project.voltageLossLimitPercent},
                     {key::installation, installationJson(project.installation)},
                     {key::circuits, circuits}};
    if (project.conductorTemperatureC)
        root.insert(key::temperature, *project.conductorTemperatureC);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ProjectReading projectFromJson(const QByteArray& bytes) {
    ProjectReading reading;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        reading.error = error.error != QJsonParseError::NoError
                            ? QStringLiteral("文件不是有效的工程文件（第 %1 字节处：%2）")
                                  .arg(error.offset)
                                  .arg(error.errorString())
                            : QStringLiteral("文件不是有效的工程文件");
        return reading;
    }
    const QJsonObject root = document.object();
    if (root.value(key::format).toString() != QLatin1String(kProjectFormatName)) {
        reading.error = QStringLiteral("文件不是 Korvane 工程文件");
        return reading;
    }
    const QJsonValue versionValue = root.value(key::version);
    const double version = versionValue.toDouble(-1);
    if (!versionValue.isDouble() || version < 1 || version != std::floor(version)) {
        reading.error = QStringLiteral("工程文件的格式版本无法识别");
        return reading;
    }
    QStringList& problems = reading.unrestored;
    if (version > kProjectFormatVersion) {
        problems << QStringLiteral(
                        "文件由较新版本的 Korvane 保存（格式版本 %1），本版本不认识的内容未恢复")
                        .arg(int(version));
        static const QStringList kKnown{key::format,       key::version,     key::name,
                                        key::engineer,     key::supply,      key::limit,
                                        key::installation, key::temperature, key::circuits};
        for (const QString& k : root.keys())
            if (!kKnown.contains(k))
                problems << QStringLiteral("%1：未恢复").arg(k);
    }

    Project& project = reading.project;
    Problems projectProblems;
    Reader r(root, {}, projectProblems);
    project.name = r.text(key::name);
    project.engineer = r.text(key::engineer);
    project.voltageLossLimitPercent =
        r.optional(key::limit).value_or(kDefaultVoltageLossLimitPercent);
    project.installation = readInstallation(r.child(key::installation));
    project.conductorTemperatureC = r.optional(key::temperature);

    // A supply value that cannot be read stops every circuit, through its problems.
    Problems supplyProblems;
    Reader s(root.value(key::supply).toObject(), key::supply, supplyProblems);
    if (!root.value(key::supply).isObject())
        supplyProblems.push_back({{}, key::supply, {}, QStringLiteral("文件中没有")});
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
    for (Problems* list : {&projectProblems, &supplyProblems})
        for (ReadingProblem& problem : *list) {
            problem.field = projectField(problem.place);
            problems << problem.text();
        }

    for (qsizetype i = 0; i < circuits.size(); ++i) {
        ProjectCircuit c = readCircuit(circuits.at(i), int(i));
        problems << c.inputProblems;
        for (const ReadingProblem& problem : supplyProblems) {
            c.readingProblems.push_back(problem);
            c.inputProblems << problem.text();
        }
        project.circuits.push_back(std::move(c));
    }
    return reading;
}

QString saveProject(const Project& project, const QString& path) {
    return writeFileAtomically(path, projectToJson(project));
}

ProjectReading openProject(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ProjectReading reading;
        reading.error = QStringLiteral("无法打开工程文件：") + file.errorString();
        return reading;
    }
    // A project file of many circuits is a few megabytes; anything far larger is not one.
    constexpr qint64 kLargest = 256LL * 1024 * 1024;
    if (file.size() > kLargest) {
        ProjectReading reading;
        reading.error = QStringLiteral("文件过大，不是工程文件");
        return reading;
    }
    return projectFromJson(file.readAll());
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
            if (within(problem.place, place)) {
                circuit.inputProblems.removeOne(problem.text());
                return true;
            }
        return false;
    });
}

} // namespace korvane
