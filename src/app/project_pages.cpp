#include "app/project_pages.h"

#include "app/application.h"
#include "app/calculation_file.h"
#include "app/project_session.h"
#include "base/number_format.h"
#include "form/binding.h"
#include "form/form.h"
#include "pages/short_circuit_fields.h"
#include "pages/verification_fields.h"
#include "pages/voltage_loss_fields.h"
#include "project/inputs/schedule_columns.h"
#include "project_files/project_file.h"
#include "voltage_loss/voltage_loss_action.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <string_view>

namespace korvane {

namespace {

const QString kCaption = QStringLiteral("Korvane");

// The inputs of a calculation file, by quantity, edited in place before they are restored.
class PageInputs {
public:
    explicit PageInputs(const Form& main)
        : main_(main), inputs_(QJsonDocument::fromJson(calculationSnapshot(main)).object()) {}

    void text(std::string_view quantity, const QString& value) {
        put(quantity, {{QStringLiteral("text"), value}});
    }
    void number(std::string_view quantity, double value) { text(quantity, formatGeneral(value)); }
    // A fixed list: the item that reads as the value ("0.90" for 0.9), else the value written.
    void listNumber(const BindingTable& table, std::string_view quantity, double value) {
        const ComboBox& list = main_.combo(table.control(quantity));
        QString item = formatGeneral(value);
        for (const QString& candidate : list.items())
            if (readStrict(candidate) == value)
                item = candidate;
        put(quantity, {{QStringLiteral("text"), item}, {QStringLiteral("index"), -1}});
    }
    void list(std::string_view quantity, const QString& value) {
        put(quantity, {{QStringLiteral("text"), value}, {QStringLiteral("index"), -1}});
    }
    void check(std::string_view quantity, bool ticked, bool enabled) {
        put(quantity,
            {{QStringLiteral("value"), ticked ? 1 : 0}, {QStringLiteral("enabled"), enabled}});
    }
    void spin(std::string_view quantity, int value) {
        put(quantity, {{QStringLiteral("value"), value}});
    }
    QByteArray file() const {
        const QJsonObject root{
            {QStringLiteral("format"), QString::fromLatin1(kCalculationFormatName)},
            {QStringLiteral("version"), kCalculationFormatVersion},
            {QStringLiteral("inputs"), inputs_}};
        return QJsonDocument(root).toJson(QJsonDocument::Compact);
    }

private:
    void put(std::string_view quantity, const QJsonObject& item) {
        inputs_.insert(QLatin1String(quantity.data(), qsizetype(quantity.size())), item);
    }
    const Form& main_;
    QJsonObject inputs_;
};

QString loadText(double value) {
    return value == 0.0 ? QString() : formatGeneral(value);
}

void message(Application& app, bool error, const QString& text) {
    app.platform().messageBox(error ? MessageIcon::Critical : MessageIcon::Warning, kCaption, text);
}

} // namespace

bool sendCircuitToPages(Application& app, const ProjectSession& session, int row) {
    if (row < 0 || row >= session.state().rowCount())
        return false;
    const ProjectCircuit& c = session.state().project().circuits[size_t(row)];
    const auto* loads = std::get_if<LoadCaseLoad>(&c.load);
    if (!loads) {
        // The voltage-loss page computes load cases only; a feeder's pole-by-pole drop has no
        // place there, and half a circuit on the pages would be taken for the whole.
        message(app, false,
                QStringLiteral("回路 %1 是路灯馈线，计算页面没有对应的负荷情况，"
                               "未送到计算页面。")
                    .arg(c.id));
        return false;
    }
    // A value the file held that could not be read has only a number standing in for it; on
    // the pages it would be taken for one the engineer gave.
    QStringList unread;
    for (const ReadingProblem& problem : c.readingProblems)
        unread << problem.text();
    unread << projectStoppingProblems(session.state().project());
    if (!unread.isEmpty()) {
        message(app, false,
                QStringLiteral("回路 %1 有未能从文件读取的数值，未送到计算页面：\r\n%2")
                    .arg(c.id, unread.join(QStringLiteral("\r\n"))));
        return false;
    }
    Form& main = app.mainForm();
    const VoltageLossInput& v = loads->values;
    const CircuitLine& l = c.line;
    const Supply& s = session.state().project().supply;
    PageInputs in(main);

    // The voltage-loss page: the cable lists first, R and X of the circuit after them.
    const BindingTable& vl = voltageLossFields();
    in.list("voltageLoss.cableCategory", l.cable.lossType);
    in.list("voltageLoss.cableType", l.cable.cableType);
    in.list("voltageLoss.cableCrossSectionMm2", l.cable.crossSection);
    in.number("voltageLoss.cableResistanceOhmPerKm", l.resistanceOhmPerKm);
    in.number("voltageLoss.cableReactanceOhmPerKm", l.reactanceOhmPerKm);
    if (v.voltageKv.strict)
        in.listNumber(vl, "voltageLoss.lineVoltageKV", *v.voltageKv.strict);
    if (v.powerFactor)
        in.listNumber(vl, "voltageLoss.powerFactor", *v.powerFactor);
    if (v.conductorTempC)
        in.listNumber(vl, "voltageLoss.conductorTemperatureC", *v.conductorTempC);
    if (v.ambientTempC)
        in.listNumber(vl, "voltageLoss.ambientTemperatureC", *v.ambientTempC);
    in.list("voltageLoss.lineKind", lineKindText(*loads));
    in.list("voltageLoss.loadCase", loadCaseText(*loads));
    in.text("voltageLoss.currentLoad.currentA", loadText(v.endCurrentA));
    in.text("voltageLoss.currentLoad.lengthKm", loadText(v.endLengthKm));
    in.text("voltageLoss.powerLoad.powerKW", loadText(v.endPowerKw));
    in.text("voltageLoss.powerLoad.lengthKm", loadText(v.endPowerLengthKm));
    const std::array<LoadAtDistance, 4>* several[] = {&v.currentLoads, &v.powerLoads,
                                                      &v.unityPowerLoads};
    for (size_t k = 0; k < kSwitchedLoads.size(); ++k) {
        const LoadAtDistance& load = (*several[k / 4])[k % 4];
        const bool used = load.load != 0.0 || load.lengthKm != 0.0;
        in.check(kSwitchedLoads[k].included, used, true);
        in.text(kSwitchedLoads[k].load, loadText(load.load));
        in.text(kSwitchedLoads[k].lengthKm, loadText(load.lengthKm));
    }

    // The short-circuit page: the supply and the line over the length the project computed.
    const CircuitResult& r = session.state().result(row);
    const QString lengthKm = r.lineLengthKm ? formatGeneral(*r.lineLengthKm) : QString();
    in.text("shortCircuit.systemCapacityMVA", formatGeneral(s.systemCapacityMva));
    in.number("shortCircuit.line.resistanceMilliOhmPerM", l.perMetreMilliOhm.resistance);
    in.number("shortCircuit.line.reactanceMilliOhmPerM", l.perMetreMilliOhm.reactance);
    in.number("shortCircuit.line.phaseProtectiveResistanceMilliOhmPerM",
              l.perMetreMilliOhm.loopResistance);
    in.number("shortCircuit.line.phaseProtectiveReactanceMilliOhmPerM",
              l.perMetreMilliOhm.loopReactance);
    in.number("shortCircuit.line.phaseNeutralResistanceMilliOhmPerM",
              l.neutralResistanceMilliOhmPerM);
    in.number("shortCircuit.line.phaseNeutralReactanceMilliOhmPerM",
              l.neutralReactanceMilliOhmPerM);
    in.text("shortCircuit.line.lengthKm", lengthKm);
    in.text("supply.transformer.series", s.transformer.series);
    in.number("supply.transformer.impedanceVoltagePercent", s.transformer.ukPercent);
    in.number("supply.transformer.loadLossKW", s.transformer.loadLossKw);
    in.number("supply.transformer.ratedKVA", s.transformer.ratedKva);
    in.text("supply.transformer.voltageKV", s.transformer.voltageKv);
    in.number("supply.busbar.resistanceMilliOhmPerM", s.busbar.perMetreMilliOhm.resistance);
    in.number("supply.busbar.reactanceMilliOhmPerM", s.busbar.perMetreMilliOhm.reactance);
    in.number("supply.busbar.phaseProtectiveResistanceMilliOhmPerM",
              s.busbar.perMetreMilliOhm.loopResistance);
    in.number("supply.busbar.phaseProtectiveReactanceMilliOhmPerM",
              s.busbar.perMetreMilliOhm.loopReactance);
    in.number("supply.busbar.lengthM", s.busbar.lengthM);
    in.text("supply.busbar.material", s.busbar.material);
    in.text("supply.busbar.size", s.busbar.size);

    // The verification page: the protection, and the fault currents the project computed.
    const Protection& p = c.protection;
    const bool earthFault = p.mode == ProtectionMode::EarthFault;
    in.check("protection.mode.singlePhaseShortCircuit", !earthFault, !earthFault);
    in.check("protection.mode.earthFault", earthFault, earthFault);
    in.spin("protection.durationTenthsS", int(std::lround(p.durationS * 10.0)));
    in.number("protection.kFactor", p.coefficientK);
    in.number("protection.durationS", p.durationS);
    // Rphp in Ω/km on this page: numerically the mΩ/m of the line's loop.
    in.number("protection.line.phaseProtectiveResistanceOhmPerKm",
              l.perMetreMilliOhm.loopResistance);
    in.number("protection.line.leakageMAPerKm", p.leakagePerKmMa);
    in.number("protection.loadCurrentA", p.loadCurrentA);
    in.text("protection.line.lengthKm", lengthKm);
    auto current = [&r](double ShortCircuitResult::*member) {
        return r.shortCircuit ? formatFixed((*r.shortCircuit).*member, 4) : QString();
    };
    in.text("protection.threePhaseShortCircuitKA", current(&ShortCircuitResult::ik3));
    in.text("protection.earthFaultKA", current(&ShortCircuitResult::id));
    in.text("protection.singlePhaseShortCircuitKA", current(&ShortCircuitResult::ik1));

    const RestoreReport report = restoreCalculation(main, in.file());
    if (!report.problems.isEmpty())
        message(app, false,
                QStringLiteral("回路 %1 送到计算页面时，以下内容未能恢复：\r\n%2")
                    .arg(c.id, report.problems.join(QStringLiteral("\r\n"))));
    return report.read;
}

int takeCircuitFromPages(Application& app, ProjectSession& session) {
    const Form& main = app.mainForm();
    const BindingTable& vl = voltageLossFields();
    const BindingTable& sc = shortCircuitFields();
    const BindingTable& ver = verificationFields();
    QStringList problems;
    // A field that must hold a number, named by the schedule's column it becomes.
    auto strict = [&](const BindingTable& table, std::string_view quantity, ScheduleColumn column) {
        const std::optional<double> value = boundStrict(main, table, quantity);
        if (!value)
            problems << QStringLiteral("“%1”不是数值：%2")
                            .arg(scheduleHeader(column),
                                 boundText(main, table, quantity).trimmed().left(40));
        return value.value_or(0.0);
    };

    ProjectCircuit c;
    CircuitLine& l = c.line;
    l.cable = {boundText(main, vl, "voltageLoss.cableCategory"),
               boundText(main, vl, "voltageLoss.cableType"),
               boundText(main, vl, "voltageLoss.cableCrossSectionMm2")};
    using C = ScheduleColumn;
    l.resistanceOhmPerKm = strict(vl, "voltageLoss.cableResistanceOhmPerKm", C::ResistanceOhmPerKm);
    l.reactanceOhmPerKm = strict(vl, "voltageLoss.cableReactanceOhmPerKm", C::ReactanceOhmPerKm);
    l.perMetreMilliOhm.resistance = strict(sc, "shortCircuit.line.resistanceMilliOhmPerM", C::R0);
    l.perMetreMilliOhm.reactance = strict(sc, "shortCircuit.line.reactanceMilliOhmPerM", C::X0);
    l.perMetreMilliOhm.loopResistance =
        strict(sc, "shortCircuit.line.phaseProtectiveResistanceMilliOhmPerM", C::LoopResistance);
    l.perMetreMilliOhm.loopReactance =
        strict(sc, "shortCircuit.line.phaseProtectiveReactanceMilliOhmPerM", C::LoopReactance);
    l.neutralResistanceMilliOhmPerM =
        strict(sc, "shortCircuit.line.phaseNeutralResistanceMilliOhmPerM", C::NeutralResistance);
    l.neutralReactanceMilliOhmPerM =
        strict(sc, "shortCircuit.line.phaseNeutralReactanceMilliOhmPerM", C::NeutralReactance);

    Protection& p = c.protection;
    p.coefficientK = strict(ver, "protection.kFactor", C::CoefficientK);
    p.durationS = strict(ver, "protection.durationS", C::DurationS);
    p.leakagePerKmMa = strict(ver, "protection.line.leakageMAPerKm", C::LeakagePerKm);
    p.loadCurrentA = strict(ver, "protection.loadCurrentA", C::LoadCurrentA);
    p.mode = boundChecked(main, ver, "protection.mode.singlePhaseShortCircuit")
                 ? ProtectionMode::ShortCircuit
                 : ProtectionMode::EarthFault;

    VoltageLossInput v = readVoltageLossInput(main);
    if (!v.voltageKv.strict)
        problems << QStringLiteral("“%1”不是数值：%2")
                        .arg(scheduleHeader(C::VoltageKv),
                             boundText(main, vl, "voltageLoss.lineVoltageKV").trimmed().left(40));
    // R and X of the load case are the line's; the loads are the page's own lenient readings.
    v.resistanceOhmPerKm = {l.resistanceOhmPerKm, l.resistanceOhmPerKm};
    v.reactanceOhmPerKm = {l.reactanceOhmPerKm, l.reactanceOhmPerKm};
    c.load = LoadCaseLoad{v};

    if (!problems.isEmpty()) {
        message(app, true,
                QStringLiteral("计算页面的以下数据无法读取，未添加回路：\r\n%1")
                    .arg(problems.join(QStringLiteral("\r\n"))));
        return -1;
    }
    return session.schedule().addCircuit(std::move(c));
}

} // namespace korvane
