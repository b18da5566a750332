#include "app/supply_editor.h"

#include "base/number_format.h"
#include "project/handbook_constants.h"
#include "project/inputs/schedule_columns.h"
#include "project_files/project_file.h"

#include <cmath>

namespace korvane {

namespace {

const char* const kSupplyLabels[kSupplyFieldCount] = {
    "系统容量 (MVA)",   "变压器",      "母线",           "母线长度 (m)",
    "电压损失限值 (%)", "敷设方式",    "敷设处温度(℃)",  "土壤热阻系数(K·m/W)",
    "并列回路数",       "回路间距(m)", "导体计算温度(℃)"};

QString optionalText(const std::optional<double>& value) {
    return value ? formatGeneral(*value) : QString();
}

// The places in the project file that a supply field gives.
QStringList supplyFieldPlaces(SupplyFieldId field) {
    switch (field) {
    case SupplyFieldId::SystemCapacity:
        return {QStringLiteral("supply.systemCapacityMVA")};
    case SupplyFieldId::Transformer:
        return {QStringLiteral("supply.transformer")};
    case SupplyFieldId::Busbar: {
        QStringList places;
        for (const char* key :
             {"material", "size", "resistanceMilliOhmPerM", "reactanceMilliOhmPerM",
              "phaseProtectiveResistanceMilliOhmPerM", "phaseProtectiveReactanceMilliOhmPerM"})
            places << QStringLiteral("supply.busbar.") + QString::fromLatin1(key);
        return places;
    }
    case SupplyFieldId::BusbarLength:
        return {QStringLiteral("supply.busbar.lengthM")};
    case SupplyFieldId::VoltageLossLimit:
        return {QStringLiteral("voltageLossLimitPercent")};
    case SupplyFieldId::LayingMethod:
        return {QStringLiteral("installation.method")};
    case SupplyFieldId::LayingTemperature:
        return {QStringLiteral("installation.temperatureC")};
    case SupplyFieldId::SoilResistivity:
        return {QStringLiteral("installation.soilResistivityKmW")};
    case SupplyFieldId::GroupedCircuits:
        return {QStringLiteral("installation.groupedCircuits")};
    case SupplyFieldId::CircuitSpacing:
        return {QStringLiteral("installation.spacingM")};
    case SupplyFieldId::ConductorTemperature:
        break;
    }
    return {QStringLiteral("conductorTemperatureC")};
}

// Takes a project installation field: an empty text clears it, otherwise a list text or a
// number. What the value means (a temperature at the insulation's limit, no circuits) is judged
// by the capacity check, circuit by circuit, with the reason.
std::optional<QString> setInstallationField(Project& project, SupplyFieldId field,
                                            const QString& label, const QString& shown) {
    InstallationConditions& i = project.installation;
    const QString text = shown.trimmed();
    if (field == SupplyFieldId::LayingMethod) {
        if (text.isEmpty()) {
            i.method.reset();
            return std::nullopt;
        }
        const std::optional<LayingMethod> method = layingMethodOf(text);
        if (!method)
            return QStringLiteral("“%1”无法识别：%2").arg(label, text.left(40));
        i.method = method;
        return std::nullopt;
    }
    std::optional<double> value;
    if (!text.isEmpty()) {
        value = readStrict(text);
        if (!value)
            return QStringLiteral("“%1”不是数值：%2").arg(label, text.left(40));
    }
    switch (field) {
    case SupplyFieldId::LayingTemperature:
        i.temperatureC = value;
        break;
    case SupplyFieldId::SoilResistivity:
        i.soilResistivityKmW = value;
        break;
    case SupplyFieldId::GroupedCircuits:
        if (value && (*value != std::floor(*value) || std::abs(*value) > 1e6))
            return QStringLiteral("“%1”应为整数：%2").arg(label, text.left(40));
        i.groupedCircuits = value ? std::optional<int>(int(*value)) : std::nullopt;
        break;
    case SupplyFieldId::CircuitSpacing:
        i.spacingM = value;
        break;
    default:
        if (value &&
            !(*value >= kLowestConductorTemperatureC && *value <= kHighestConductorTemperatureC))
            return QStringLiteral("“%1”应在 −50～250 ℃ 之间").arg(label);
        project.conductorTemperatureC = value;
        break;
    }
    return std::nullopt;
}

} // namespace

SupplyEditor::SupplyEditor(ProjectState& state, ProjectDocument& document)
    : state_(state), document_(document) {}

SupplyFieldView SupplyEditor::supplyField(int index) const {
    SupplyFieldView view;
    if (index < 0 || index >= kSupplyFieldCount)
        return view;
    view.label = QString::fromUtf8(kSupplyLabels[index]);
    const Supply& s = state_.project().supply;
    switch (SupplyFieldId(index)) {
    case SupplyFieldId::SystemCapacity:
        view.text = formatGeneral(s.systemCapacityMva);
        break;
    case SupplyFieldId::Transformer: {
        const Transformer& t = s.transformer;
        view.text = transformerText(t);
        for (const TransformerChoice& choice : state_.catalogues().transformers)
            view.choices << choice.text;
        break;
    }
    case SupplyFieldId::Busbar:
        view.text = busbarText(s.busbar.material, s.busbar.size);
        for (const BusbarChoice& choice : state_.catalogues().busbars)
            view.choices << choice.text;
        break;
    case SupplyFieldId::BusbarLength:
        view.text = formatGeneral(s.busbar.lengthM);
        break;
    case SupplyFieldId::VoltageLossLimit:
        view.text = formatGeneral(state_.project().voltageLossLimitPercent);
        break;
    case SupplyFieldId::LayingMethod:
        view.text = state_.project().installation.method
                        ? text(*state_.project().installation.method)
                        : QString();
        view.choices << QString();
        for (LayingMethod method : kLayingMethods)
            view.choices << text(method);
        break;
    case SupplyFieldId::LayingTemperature:
        view.text = optionalText(state_.project().installation.temperatureC);
        break;
    case SupplyFieldId::SoilResistivity:
        view.text = optionalText(state_.project().installation.soilResistivityKmW);
        break;
    case SupplyFieldId::GroupedCircuits:
        view.text = state_.project().installation.groupedCircuits
                        ? QString::number(*state_.project().installation.groupedCircuits)
                        : QString();
        break;
    case SupplyFieldId::CircuitSpacing:
        view.text = optionalText(state_.project().installation.spacingM);
        break;
    case SupplyFieldId::ConductorTemperature:
        view.text = optionalText(state_.project().conductorTemperatureC);
        break;
    }
    // A value the file held that could not be read is shown as the file held it (nothing for
    // one that was missing), never as the number standing in for it.
    for (const QString& place : supplyFieldPlaces(SupplyFieldId(index)))
        if (const auto unread = unreadProjectText(state_.project(), place, regionalFormat())) {
            const bool choice =
                index == int(SupplyFieldId::Transformer) || index == int(SupplyFieldId::Busbar);
            view.text = choice ? QString() : *unread;
            break;
        }
    return view;
}

std::optional<QString> SupplyEditor::setSupplyField(int index, const QString& text) {
    if (index < 0 || index >= kSupplyFieldCount)
        return QStringLiteral("没有此项");
    const QString label = QString::fromUtf8(kSupplyLabels[index]);
    Project changed = state_.project();
    Supply& s = changed.supply;
    const SupplyFieldId field = SupplyFieldId(index);
    if (index >= kFirstInstallationField) {
        if (auto why = setInstallationField(changed, field, label, text))
            return why;
    } else if (field == SupplyFieldId::Transformer || field == SupplyFieldId::Busbar) {
        if (!state_.catalogues().supplies)
            return QStringLiteral("无法读取变压器、母线数据库：") +
                   state_.catalogues().supplies.reason();
        const QString wanted = text.trimmed();
        bool found = false;
        if (field == SupplyFieldId::Transformer) {
            for (const TransformerChoice& choice : state_.catalogues().transformers)
                if (!found && choice.text == wanted) {
                    s.transformer = choice.transformer;
                    found = true;
                }
        } else {
            for (const BusbarChoice& choice : state_.catalogues().busbars)
                if (!found && choice.text == wanted) {
                    s.busbar.material = choice.material;
                    s.busbar.size = choice.size;
                    s.busbar.perMetreMilliOhm = choice.perMetreMilliOhm;
                    found = true;
                }
        }
        if (!found)
            return QStringLiteral("“%1”不在数据库中：%2").arg(label, wanted.left(40));
    } else {
        const std::optional<double> value = readStrict(text);
        if (!value)
            return QStringLiteral("“%1”不是数值：%2").arg(label, text.trimmed().left(40));
        if (field == SupplyFieldId::SystemCapacity) {
            if (!(*value > 0.0))
                return QStringLiteral("“%1”应大于0").arg(label);
            s.systemCapacityMva = *value;
        } else if (field == SupplyFieldId::BusbarLength) {
            if (*value < 0.0)
                return QStringLiteral("“%1”不能为负值").arg(label);
            s.busbar.lengthM = *value;
        } else {
            if (!(*value > 0.0 && *value < 100.0))
                return QStringLiteral("“%1”应大于0且小于100").arg(label);
            changed.voltageLossLimitPercent = *value;
        }
    }
    // The value given anew voids what reading the file said of it.
    dropProjectReadingProblems(changed, supplyFieldPlaces(field));
    state_.project() = std::move(changed);
    state_.recompute(); // the supply is every circuit's
    document_.projectChanged();
    state_.supplyChanged.fire();
    document_.rowsChanged(0, state_.rowCount() - 1);
    return std::nullopt;
}

} // namespace korvane
