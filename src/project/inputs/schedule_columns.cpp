#include "project/inputs/schedule_columns.h"

#include "base/number_format.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

using C = ScheduleColumn;

// Where the circuit's load case takes its loads. A circuit with no known case keeps its 负荷 and
// 负荷距离 in the end-load power fields and has no 多个负荷: it is not computed, and nothing it
// holds is moved or lost.
LoadPlace loadPlaceOf(const VoltageLossInput& v) {
    return v.loadCase ? placeOf(*v.loadCase) : LoadPlace::EndPower;
}

std::array<LoadAtDistance, 4>* severalLoads(VoltageLossInput& v) {
    switch (loadPlaceOf(v)) {
    case LoadPlace::SeveralCurrents:
        return &v.currentLoads;
    case LoadPlace::SeveralPowers:
        return &v.powerLoads;
    case LoadPlace::SeveralUnityPowers:
        return &v.unityPowerLoads;
    default:
        return nullptr;
    }
}

QString severalText(const std::array<LoadAtDistance, 4>& loads) {
    QStringList parts;
    for (const LoadAtDistance& load : loads)
        if (load.load != 0.0 || load.lengthKm != 0.0)
            parts << formatGeneral(load.load, {}) + u'@' + formatGeneral(load.lengthKm, {});
    return parts.join(u';');
}

std::optional<double> numberIn(const ScheduleCell& cell) {
    if (const double* value = std::get_if<double>(&cell))
        return std::isfinite(*value) ? std::optional<double>(*value) : std::nullopt;
    if (const QString* text = std::get_if<QString>(&cell))
        return readStrict(*text);
    return std::nullopt;
}

QString textIn(const ScheduleCell& cell) {
    return scheduleCellText(cell).trimmed();
}

ScheduleCell optionalCell(const std::optional<double>& value) {
    return value ? ScheduleCell{*value} : ScheduleCell{};
}

// The columns of values that may stay missing: an empty cell clears them.
bool clearable(ScheduleColumn column) {
    switch (column) {
    case C::CoefficientK:
    case C::LetThroughA2s:
    case C::LayingMethod:
    case C::LayingTemperatureC:
    case C::SoilResistivity:
    case C::GroupedCircuits:
    case C::CircuitSpacingM:
    case C::ThirdHarmonicPercent:
        return true;
    default:
        return false;
    }
}

bool isBlank(const ScheduleCell& cell) {
    return std::holds_alternative<std::monostate>(cell) ||
           (std::holds_alternative<QString>(cell) && std::get<QString>(cell).trimmed().isEmpty());
}

// The columns whose text is kept as given, and so goes into every file written.
bool keepsText(ScheduleColumn column) {
    switch (column) {
    case C::Id:
    case C::Description:
    case C::LossType:
    case C::CableType:
    case C::CrossSection:
    case C::LineKind:
    case C::LoadCase:
        return true;
    default:
        return false;
    }
}

QString codePoint(char16_t code) {
    return QStringLiteral("U+") + QString::number(code, 16).toUpper().rightJustified(4, u'0');
}

// What keeps a text out of the files: a control character (C0, DEL, C1; XML 1.0 cannot hold
// most of them, and a tab or a line break splits a CSV record or a single-line cell), half of a
// surrogate pair (not a character in UTF-8 at all) or a noncharacter U+FFFE, U+FFFF.
std::optional<QString> unfitText(const QString& header, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < 0x20 || (ch >= 0x7F && ch <= 0x9F)) {
            const QString name = ch == u'\t'   ? QStringLiteral("制表符")
                                 : ch == u'\n' ? QStringLiteral("换行")
                                 : ch == u'\r' ? QStringLiteral("回车")
                                               : codePoint(ch);
            return QStringLiteral("“%1”含有控制字符（%2）").arg(header, name);
        }
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (QChar::isSurrogate(ch) || ch == 0xFFFE || ch == 0xFFFF)
            return QStringLiteral("“%1”含有无效字符（%2）").arg(header, codePoint(ch));
    }
    return std::nullopt;
}

// The characters a circuit identifier may not hold: it names the feeder's sheet of the workbook
// ([ ] : * ? / \ are refused in a sheet name) and the files written for the circuit (" < > | are
// refused in a Windows file name besides those).
std::optional<QString> unfitIdentifier(const QString& header, const QString& id) {
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|[]");
    for (const QChar ch : id)
        if (forbidden.contains(ch))
            return QStringLiteral("“%1”不能含有“%2”：回路编号用作文件名和工作表名")
                .arg(header, QString(ch));
    return std::nullopt;
}

bool isAsciiDigits(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QStringView withoutSign(QStringView text) {
    return text.startsWith(u'+') || text.startsWith(u'-') ? text.mid(1) : text;
}

// "1,234", "12,345,678": digits in groups of three after a first group of one to three that
// does not start with 0, as a thousands separator writes them.
bool groupedByThousands(QStringView text) {
    const QList<QStringView> groups = withoutSign(text).split(u',');
    if (groups.size() < 2 || groups[0].size() > 3 || !isAsciiDigits(groups[0]) ||
        groups[0].startsWith(u'0'))
        return false;
    return std::all_of(groups.begin() + 1, groups.end(),
                       [](QStringView g) { return g.size() == 3 && isAsciiDigits(g); });
}

} // namespace

const std::vector<ScheduleColumnInfo>& scheduleInputColumns() {
    static const std::vector<ScheduleColumnInfo> columns{
        {C::Id, "回路编号", true},
        {C::Description, "说明", false},
        {C::LossType, "损失类型", true},
        {C::CableType, "电缆类型", true},
        {C::CrossSection, "截面(mm²)", true},
        {C::ResistanceOhmPerKm, "R(Ω/km)", true},
        {C::ReactanceOhmPerKm, "X(Ω/km)", true},
        {C::R0, "R0(mΩ/m)", true},
        {C::X0, "X0(mΩ/m)", true},
        {C::LoopResistance, "Rphp(mΩ/m)", true},
        {C::LoopReactance, "Xphp(mΩ/m)", true},
        {C::NeutralResistance, "R′(mΩ/m)", true},
        {C::NeutralReactance, "X′(mΩ/m)", true},
        {C::CoefficientK, "K", false},
        {C::DurationS, "t(s)", true},
        {C::LeakagePerKm, "泄漏电流(mA/km)", true},
        {C::LoadCurrentA, "Ib(A)", false},
        {C::ProtectionMode, "保护方式", false},
        {C::LetThroughA2s, "允通能量I²t(A²s)", false},
        {C::LayingMethod, "敷设方式", false},
        {C::LayingTemperatureC, "敷设处温度(℃)", false},
        {C::SoilResistivity, "土壤热阻系数(K·m/W)", false},
        {C::GroupedCircuits, "并列回路数", false},
        {C::CircuitSpacingM, "回路间距(m)", false},
        {C::LoadKind, "负荷类型", true},
        {C::LineKind, "线路种类", false},
        {C::LoadCase, "负荷情况", false},
        {C::VoltageKv, "U(kV)", false},
        {C::PowerFactor, "cosφ", false},
        {C::ConductorTemperatureC, "线芯工作温度(℃)", false},
        {C::AmbientTemperatureC, "环境温度(℃)", false},
        {C::Load, "负荷(A或kW)", false},
        {C::LoadDistanceKm, "负荷距离(km)", false},
        {C::SeveralLoads, "多个负荷", false},
        {C::Poles, "灯杆数", false},
        {C::LampsPerPole, "每杆灯数", false},
        {C::LampPowerW, "灯功率(W)", false},
        {C::LampPowerFactor, "灯功率因数", false},
        {C::BallastFactor, "镇流器系数", false},
        {C::SpacingM, "杆距(m)", false},
        {C::FirstPoleM, "首杆距离(m)", false},
        {C::Connection, "接线方式", false},
        {C::StartPhase, "起始相", false},
        {C::ThirdHarmonicPercent, "三次谐波含量(%)", false},
    };
    return columns;
}

QString scheduleHeader(ScheduleColumn column) {
    for (const ScheduleColumnInfo& info : scheduleInputColumns())
        if (info.column == column)
            return QString::fromUtf8(info.header);
    return {};
}

QString scheduleHeaderKey(const QString& header) {
    QString key;
    key.reserve(header.size());
    for (QChar ch : header) {
        if (ch.isSpace())
            continue;
        const char16_t code = ch.unicode();
        if (code >= 0xFF01 && code <= 0xFF5E) // full-width forms of ASCII
            ch = QChar(char16_t(code - 0xFF01 + 0x21));
        else if (code == u'\'' || code == u'’' || code == u'‘')
            ch = QChar(u'′');
        key += ch;
    }
    key = key.toCaseFolded(); // Ω and the ohm sign Ω alike become ω
    key.replace(QStringLiteral("^2"), QStringLiteral("2")).replace(u'²', u'2');
    key.replace(QStringLiteral("ohm"), QStringLiteral("ω"));
    key.replace(QStringLiteral("°c"), QStringLiteral("℃"))
        .replace(QStringLiteral("ºc"), QStringLiteral("℃"));
    return key;
}

bool scheduleColumnIsNumeric(ScheduleColumn column) {
    switch (column) {
    case C::Id:
    case C::Description:
    case C::LossType:
    case C::CableType:
    case C::ProtectionMode:
    case C::LayingMethod:
    case C::LoadKind:
    case C::LineKind:
    case C::LoadCase:
    case C::SeveralLoads:
    case C::Connection:
    case C::StartPhase:
        return false;
    default:
        return true;
    }
}

std::optional<QString> commaDecimalAsPoint(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.count(u',') != 1 || groupedByThousands(trimmed))
        return std::nullopt;
    const QList<QStringView> parts = withoutSign(trimmed).split(u',');
    if (!isAsciiDigits(parts[0]) || !isAsciiDigits(parts[1]))
        return std::nullopt;
    return QString(trimmed).replace(u',', u'.');
}

QString notANumberReason(ScheduleColumn column, const QString& text) {
    const QString trimmed = text.trimmed();
    QString why = QStringLiteral("“%1”不是数值：%2").arg(scheduleHeader(column), trimmed.left(40));
    if (groupedByThousands(trimmed))
        why += QStringLiteral("（小数点请用“.”，数字不加千位分隔符“,”）");
    else if (commaDecimalAsPoint(trimmed))
        why += QStringLiteral("（小数点请用“.”）");
    return why;
}

QString protectionModeText(ProtectionMode mode) {
    return mode == ProtectionMode::EarthFault ? QStringLiteral("接地故障")
                                              : QStringLiteral("单相短路");
}

QString loadKindText(bool feeder) {
    return feeder ? QStringLiteral("路灯馈线") : QStringLiteral("负荷情况");
}

QString connectionText(FeederConnection connection) {
    return connection == FeederConnection::SinglePhase ? QStringLiteral("单相")
                                                       : QStringLiteral("三相轮流");
}

QString phaseText(Phase phase) {
    return QStringLiteral("L%1").arg(int(phase) + 1);
}

QString scheduleCellText(const ScheduleCell& cell, const RegionalFormat& format) {
    if (const double* value = std::get_if<double>(&cell))
        return formatGeneral(*value, format);
    if (const QString* text = std::get_if<QString>(&cell))
        return *text;
    return {};
}

ScheduleCell scheduleCell(const ProjectCircuit& c, ScheduleColumn column) {
    const CircuitLine& l = c.line;
    const auto* feeder = std::get_if<LampFeeder>(&c.load);
    const auto* loads = std::get_if<LoadCaseLoad>(&c.load);
    switch (column) {
    case C::Id:
        return c.id;
    case C::Description:
        return c.description;
    case C::LossType:
        return l.cable.lossType;
    case C::CableType:
        return l.cable.cableType;
    case C::CrossSection:
        return l.cable.crossSection;
    case C::ResistanceOhmPerKm:
        return l.resistanceOhmPerKm;
    case C::ReactanceOhmPerKm:
        return l.reactanceOhmPerKm;
    case C::R0:
        return l.perMetreMilliOhm.resistance;
    case C::X0:
        return l.perMetreMilliOhm.reactance;
    case C::LoopResistance:
        return l.perMetreMilliOhm.loopResistance;
    case C::LoopReactance:
        return l.perMetreMilliOhm.loopReactance;
    case C::NeutralResistance:
        return l.neutralResistanceMilliOhmPerM;
    case C::NeutralReactance:
        return l.neutralReactanceMilliOhmPerM;
    case C::CoefficientK: // 0: none given, the cable's own is taken
        return c.protection.coefficientK != 0.0 ? ScheduleCell{c.protection.coefficientK}
                                                : ScheduleCell{};
    case C::DurationS:
        return c.protection.durationS;
    case C::LeakagePerKm:
        return c.protection.leakagePerKmMa;
    case C::LoadCurrentA:
        return feeder ? ScheduleCell{} : ScheduleCell{c.protection.loadCurrentA};
    case C::ProtectionMode:
        return protectionModeText(c.protection.mode);
    case C::LoadKind:
        return loadKindText(feeder != nullptr);
    case C::LetThroughA2s:
        return optionalCell(c.protection.letThroughA2s);
    case C::LayingMethod:
        return c.installation.method ? ScheduleCell{text(*c.installation.method)} : ScheduleCell{};
    case C::LayingTemperatureC:
        return optionalCell(c.installation.temperatureC);
    case C::SoilResistivity:
        return optionalCell(c.installation.soilResistivityKmW);
    case C::GroupedCircuits:
        return c.installation.groupedCircuits
                   ? ScheduleCell{double(*c.installation.groupedCircuits)}
                   : ScheduleCell{};
    case C::CircuitSpacingM:
        return optionalCell(c.installation.spacingM);
    default:
        break;
    }
    if (loads) {
        const VoltageLossInput& v = loads->values;
        const LoadPlace place = loadPlaceOf(v);
        switch (column) {
        case C::LineKind:
            return lineKindText(*loads);
        case C::LoadCase:
            return loadCaseText(*loads);
        case C::VoltageKv:
            return v.voltageKv.strict ? ScheduleCell{*v.voltageKv.strict} : ScheduleCell{};
        case C::PowerFactor:
            return v.powerFactor ? ScheduleCell{*v.powerFactor} : ScheduleCell{};
        case C::ConductorTemperatureC:
            return v.conductorTempC ? ScheduleCell{*v.conductorTempC} : ScheduleCell{};
        case C::AmbientTemperatureC:
            return v.ambientTempC ? ScheduleCell{*v.ambientTempC} : ScheduleCell{};
        case C::Load:
            if (place == LoadPlace::EndCurrent)
                return v.endCurrentA;
            if (place == LoadPlace::EndPower)
                return v.endPowerKw;
            return {};
        case C::LoadDistanceKm:
            if (place == LoadPlace::EndCurrent)
                return v.endLengthKm;
            if (place == LoadPlace::EndPower)
                return v.endPowerLengthKm;
            return {};
        case C::SeveralLoads: {
            VoltageLossInput copy = v;
            const auto* several = severalLoads(copy);
            return several ? ScheduleCell{severalText(*several)} : ScheduleCell{};
        }
        default:
            return {};
        }
    }
    switch (column) {
    case C::Poles:
        return double(feeder->poles);
    case C::LampsPerPole:
        return double(feeder->lampsPerPole);
    case C::LampPowerW:
        return feeder->lampPowerW;
    case C::LampPowerFactor:
        return feeder->lampPowerFactor;
    case C::BallastFactor:
        return feeder->ballastFactor;
    case C::SpacingM:
        return feeder->spacingM;
    case C::FirstPoleM:
        return feeder->firstPoleM;
    case C::Connection:
        return connectionText(feeder->connection);
    case C::StartPhase:
        return phaseText(feeder->startPhase);
    case C::ThirdHarmonicPercent:
        return optionalCell(feeder->thirdHarmonicPercent);
    default:
        return {};
    }
}

std::optional<QString> applyScheduleCell(ProjectCircuit& c, ScheduleColumn column,
                                         const ScheduleCell& cell) {
    const QString header = scheduleHeader(column);
    bool required = false;
    for (const ScheduleColumnInfo& info : scheduleInputColumns())
        if (info.column == column)
            required = info.required;
    if (isBlank(cell)) {
        if (clearable(column)) {
            InstallationConditions& i = c.installation;
            switch (column) {
            case C::CoefficientK:
                c.protection.coefficientK = 0.0; // none given: the cable's own
                break;
            case C::LetThroughA2s:
                c.protection.letThroughA2s.reset();
                break;
            case C::LayingMethod:
                i.method.reset();
                break;
            case C::LayingTemperatureC:
                i.temperatureC.reset();
                break;
            case C::SoilResistivity:
                i.soilResistivityKmW.reset();
                break;
            case C::GroupedCircuits:
                i.groupedCircuits.reset();
                break;
            case C::CircuitSpacingM:
                i.spacingM.reset();
                break;
            default:
                if (auto* f = std::get_if<LampFeeder>(&c.load))
                    f->thirdHarmonicPercent.reset();
            }
        }
        return required ? std::optional<QString>(QStringLiteral("“%1”为空").arg(header))
                        : std::nullopt;
    }

    if (const QString* raw = std::get_if<QString>(&cell); raw && keepsText(column)) {
        if (auto why = unfitText(header, *raw))
            return why;
        if (column == C::Id)
            if (auto why = unfitIdentifier(header, raw->trimmed()))
                return why;
    }
    const QString text = textIn(cell);
    const std::optional<double> value = numberIn(cell);
    auto number = [&](double& into) -> std::optional<QString> {
        if (!value)
            return notANumberReason(column, text);
        into = *value;
        return std::nullopt;
    };
    auto integer = [&](int& into) -> std::optional<QString> {
        if (!value || *value != std::floor(*value) || std::abs(*value) > 1e9)
            return QStringLiteral("“%1”应为整数：%2").arg(header, text.left(40));
        into = int(*value);
        return std::nullopt;
    };
    auto optionalNumber = [&](std::optional<double>& into) -> std::optional<QString> {
        if (!value)
            return notANumberReason(column, text);
        into = *value;
        return std::nullopt;
    };
    auto choice = [&](const QStringList& choices, int& into) -> std::optional<QString> {
        for (qsizetype i = 0; i < choices.size(); ++i) {
            if (choices[i].compare(text, Qt::CaseInsensitive) == 0) {
                into = int(i);
                return std::nullopt;
            }
        }
        return QStringLiteral("“%1”应为%2之一：%3")
            .arg(header, choices.join(QStringLiteral("、")), text.left(40));
    };

    CircuitLine& l = c.line;
    switch (column) {
    case C::Id:
        c.id = text;
        return std::nullopt;
    case C::Description:
        c.description = text;
        return std::nullopt;
    case C::LossType:
        l.cable.lossType = text;
        return std::nullopt;
    case C::CableType:
        l.cable.cableType = text;
        return std::nullopt;
    case C::CrossSection:
        l.cable.crossSection = text;
        return std::nullopt;
    case C::ResistanceOhmPerKm:
        return number(l.resistanceOhmPerKm);
    case C::ReactanceOhmPerKm:
        return number(l.reactanceOhmPerKm);
    case C::R0:
        return number(l.perMetreMilliOhm.resistance);
    case C::X0:
        return number(l.perMetreMilliOhm.reactance);
    case C::LoopResistance:
        return number(l.perMetreMilliOhm.loopResistance);
    case C::LoopReactance:
        return number(l.perMetreMilliOhm.loopReactance);
    case C::NeutralResistance:
        return number(l.neutralResistanceMilliOhmPerM);
    case C::NeutralReactance:
        return number(l.neutralReactanceMilliOhmPerM);
    case C::CoefficientK:
        return number(c.protection.coefficientK);
    case C::DurationS:
        return number(c.protection.durationS);
    case C::LeakagePerKm:
        return number(c.protection.leakagePerKmMa);
    case C::LoadCurrentA:
        return number(c.protection.loadCurrentA);
    case C::ProtectionMode: {
        int i = 0;
        if (auto why = choice({protectionModeText(ProtectionMode::EarthFault),
                               protectionModeText(ProtectionMode::ShortCircuit)},
                              i))
            return why;
        c.protection.mode = i == 0 ? ProtectionMode::EarthFault : ProtectionMode::ShortCircuit;
        return std::nullopt;
    }
    case C::LetThroughA2s:
        return optionalNumber(c.protection.letThroughA2s);
    case C::LayingMethod: {
        QStringList methods;
        for (LayingMethod m : kLayingMethods)
            methods << korvane::text(m);
        int i = 0;
        if (auto why = choice(methods, i))
            return why;
        c.installation.method = kLayingMethods[i];
        return std::nullopt;
    }
    case C::LayingTemperatureC:
        return optionalNumber(c.installation.temperatureC);
    case C::SoilResistivity:
        return optionalNumber(c.installation.soilResistivityKmW);
    case C::GroupedCircuits: {
        int n = 0;
        if (auto why = integer(n))
            return why;
        c.installation.groupedCircuits = n;
        return std::nullopt;
    }
    case C::CircuitSpacingM:
        return optionalNumber(c.installation.spacingM);
    case C::LoadKind: {
        int i = 0;
        if (auto why = choice({loadKindText(false), loadKindText(true)}, i))
            return why;
        if (i == 1 && !std::holds_alternative<LampFeeder>(c.load))
            c.load = LampFeeder{};
        if (i == 0 && !std::holds_alternative<LoadCaseLoad>(c.load))
            c.load = LoadCaseLoad{};
        return std::nullopt;
    }
    default:
        break;
    }

    if (auto* loads = std::get_if<LoadCaseLoad>(&c.load)) {
        VoltageLossInput& v = loads->values;
        switch (column) {
        case C::LineKind:
            setLineKindText(*loads, text);
            return std::nullopt;
        case C::LoadCase:
            setLoadCaseText(*loads, text);
            return std::nullopt;
        case C::VoltageKv:
            if (!value)
                return notANumberReason(column, text);
            v.voltageKv = {*value, *value};
            return std::nullopt;
        case C::PowerFactor:
            if (!value)
                return notANumberReason(column, text);
            v.powerFactor = *value;
            return std::nullopt;
        case C::ConductorTemperatureC:
        case C::AmbientTemperatureC:
            if (!value)
                return notANumberReason(column, text);
            (column == C::ConductorTemperatureC ? v.conductorTempC : v.ambientTempC) = *value;
            return std::nullopt;
        case C::Load:
            return number(loadPlaceOf(v) == LoadPlace::EndCurrent ? v.endCurrentA : v.endPowerKw);
        case C::LoadDistanceKm:
            return number(loadPlaceOf(v) == LoadPlace::EndCurrent ? v.endLengthKm
                                                                  : v.endPowerLengthKm);
        case C::SeveralLoads: {
            auto* several = severalLoads(v);
            if (!several)
                return QStringLiteral("“%1”只用于几个负荷的负荷情况").arg(header);
            const QStringList parts = text.split(u';', Qt::SkipEmptyParts);
            if (parts.size() > 4)
                return QStringLiteral("“%1”最多4个负荷").arg(header);
            std::array<LoadAtDistance, 4> read{};
            for (qsizetype i = 0; i < parts.size(); ++i) {
                const QStringList pair = parts[i].split(u'@');
                const auto load = pair.size() == 2 ? readStrict(pair[0]) : std::nullopt;
                const auto km = pair.size() == 2 ? readStrict(pair[1]) : std::nullopt;
                if (!load || !km)
                    return QStringLiteral("“%1”应写作 负荷@距离;…：%2").arg(header, text.left(40));
                read[size_t(i)] = {*load, *km};
            }
            *several = read;
            return std::nullopt;
        }
        default:
            return QStringLiteral("“%1”只用于路灯馈线").arg(header);
        }
    }

    LampFeeder& f = std::get<LampFeeder>(c.load);
    switch (column) {
    case C::Poles:
        return integer(f.poles);
    case C::LampsPerPole:
        return integer(f.lampsPerPole);
    case C::LampPowerW:
        return number(f.lampPowerW);
    case C::LampPowerFactor:
        return number(f.lampPowerFactor);
    case C::BallastFactor:
        return number(f.ballastFactor);
    case C::SpacingM:
        return number(f.spacingM);
    case C::FirstPoleM:
        return number(f.firstPoleM);
    case C::Connection: {
        int i = 0;
        if (auto why = choice({connectionText(FeederConnection::SinglePhase),
                               connectionText(FeederConnection::PhasesInTurn)},
                              i))
            return why;
        f.connection = i == 0 ? FeederConnection::SinglePhase : FeederConnection::PhasesInTurn;
        return std::nullopt;
    }
    case C::StartPhase: {
        int i = 0;
        if (auto why =
                choice({phaseText(Phase::L1), phaseText(Phase::L2), phaseText(Phase::L3)}, i))
            return why;
        f.startPhase = Phase(i);
        return std::nullopt;
    }
    case C::ThirdHarmonicPercent:
        return optionalNumber(f.thirdHarmonicPercent);
    default:
        return QStringLiteral("“%1”只用于负荷情况").arg(header);
    }
}

} // namespace korvane
