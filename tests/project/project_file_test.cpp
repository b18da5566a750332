// The project file: a project of several circuits round-trips with the same results; a damaged,
// foreign or newer file says what could not be restored, and a bad value stops only its circuit.

#include "project/inputs/schedule_columns.h"
#include "project/project_compute.h"
#include "project/project_run.h"
#include "project/result_schema.h"
#include "project_files/project_file.h"
#include "project_fixtures.h"
#include "support/json_paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

TEST(ProjectFile, SeveralCircuitsRoundTripWithTheSameResults) {
    const Project project = severalCircuitsWithInstallation();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("道路照明.kvp"));
    ASSERT_EQ(saveProject(project, path), QString());

    const ProjectReading reading = openProject(path);
    ASSERT_EQ(reading.error, QString());
    EXPECT_TRUE(reading.unrestored.isEmpty()) << reading.unrestored.join(u'\n').toStdString();
    const Project& back = reading.project;
    EXPECT_EQ(back.name, project.name);
    EXPECT_EQ(back.engineer, project.engineer);
    EXPECT_EQ(back.voltageLossLimitPercent, 4.0);
    ASSERT_EQ(back.circuits.size(), 3u);
    EXPECT_EQ(back.circuits[1].description, QStringLiteral("主干道东侧路灯"));
    const auto& lamps = std::get<LampFeeder>(back.circuits[1].load);
    EXPECT_EQ(lamps.connection, FeederConnection::PhasesInTurn);
    EXPECT_EQ(lamps.startPhase, Phase::L2);
    EXPECT_EQ(lamps.lampsPerPole, 2);
    EXPECT_EQ(back.circuits[2].protection.mode, ProtectionMode::ShortCircuit);
    // How the circuits are laid, the project's and each circuit's own, and the values that may
    // stay missing: each as given, a value not given still missing.
    EXPECT_EQ(back.installation, project.installation);
    EXPECT_EQ(back.conductorTemperatureC, 20.0);
    EXPECT_EQ(back.circuits[0].installation, InstallationConditions{});
    EXPECT_EQ(back.circuits[1].installation,
              (InstallationConditions{LayingMethod::DirectlyBuried, 25.0, 1.5, 2, 0.25}));
    EXPECT_EQ(back.circuits[2].installation,
              (InstallationConditions{LayingMethod::InAir, std::nullopt, std::nullopt, std::nullopt,
                                      std::nullopt}));
    EXPECT_EQ(lamps.thirdHarmonicPercent, 20.0);
    EXPECT_EQ(back.circuits[2].protection.letThroughA2s, 1e5);
    EXPECT_FALSE(back.circuits[0].protection.letThroughA2s.has_value());
    const QJsonObject written = QJsonDocument::fromJson(projectToJson(project)).object();
    const QJsonObject first = written.value(QStringLiteral("circuits")).toArray().at(0).toObject();
    EXPECT_FALSE(first.contains(QStringLiteral("installation")));
    EXPECT_FALSE(first.value(QStringLiteral("protection"))
                     .toObject()
                     .contains(QStringLiteral("letThroughA2s")));

    // Saved again, the file is byte for byte the same; computed, every figure is the same.
    EXPECT_EQ(projectToJson(back), projectToJson(project));
    const auto before = computeProject(project, vvCatalogue());
    const auto after = computeProject(back, vvCatalogue());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i].lossPercent.valueOr(-1), after[i].lossPercent.valueOr(-1)) << i;
        EXPECT_EQ(before[i].shortCircuit.ok(), after[i].shortCircuit.ok()) << i;
        if (before[i].shortCircuit.ok()) {
            EXPECT_EQ(before[i].shortCircuit->ik1, after[i].shortCircuit->ik1) << i;
        }
        ASSERT_EQ(before[i].checks.size(), after[i].checks.size());
        for (size_t k = 0; k < before[i].checks.size(); ++k)
            EXPECT_EQ(before[i].checks[k].second.text(), after[i].checks[k].second.text()) << i;
    }
}

TEST(ProjectFile, DamagedForeignAndNewerFilesSayWhatCouldNotBeRestored) {
    EXPECT_FALSE(
        projectFromJson("{\"format\": \"korvane-project\", \"version\": 1,").error.isEmpty());
    EXPECT_EQ(projectFromJson("{\"format\": \"korvane-calculation\", \"version\": 3}").error,
              QStringLiteral("文件不是 Korvane 工程文件"));
    EXPECT_FALSE(
        projectFromJson("{\"format\": \"korvane-project\", \"version\": \"x\"}").error.isEmpty());
    EXPECT_FALSE(openProject(QStringLiteral("no such folder/none.kvp")).error.isEmpty());

    QJsonObject root = QJsonDocument::fromJson(projectToJson(severalCircuits())).object();
    root.insert(QStringLiteral("version"), 7);
    root.insert(QStringLiteral("lightingClass"), QStringLiteral("M3"));
    const ProjectReading newer = projectFromJson(QJsonDocument(root).toJson());
    ASSERT_EQ(newer.error, QString());
    ASSERT_GE(newer.unrestored.size(), 2);
    EXPECT_TRUE(newer.unrestored.front().contains(u"格式版本 7"));
    EXPECT_TRUE(newer.unrestored.contains(QStringLiteral("lightingClass：未恢复")));
    EXPECT_EQ(newer.project.circuits.size(), 3u);
}

// K is the engineer's to leave out: a circuit whose file holds none reads without a problem,
// is checked with its cable's own (VV copper PVC: 115, so as the circuit that gives 115), shows
// an empty K and is saved without one.
TEST(ProjectFile, ACircuitWithoutKTakesItsCablesAndIsSavedWithout) {
    QJsonObject root =
        QJsonDocument::fromJson(projectToJson(projectOf({endLoadCircuit(60.0, 0.1)}))).object();
    QJsonArray circuits = root.value(QStringLiteral("circuits")).toArray();
    QJsonObject first = circuits.at(0).toObject();
    QJsonObject protection = first.value(QStringLiteral("protection")).toObject();
    ASSERT_TRUE(protection.contains(QStringLiteral("kFactor")));
    protection.remove(QStringLiteral("kFactor"));
    first.insert(QStringLiteral("protection"), protection);
    circuits.replace(0, first);
    root.insert(QStringLiteral("circuits"), circuits);
    const QByteArray bytes = QJsonDocument(root).toJson();

    const ProjectReading reading = projectFromJson(bytes);
    ASSERT_EQ(reading.error, QString());
    EXPECT_TRUE(reading.unrestored.isEmpty()) << reading.unrestored.join(u'\n').toStdString();
    const ProjectCircuit& c = reading.project.circuits.front();
    EXPECT_TRUE(c.inputProblems.isEmpty());
    EXPECT_TRUE(
        std::holds_alternative<std::monostate>(scheduleCell(c, ScheduleColumn::CoefficientK)));
    const CircuitResult r = computeCircuit(reading.project, c, vvCatalogue());
    ASSERT_TRUE(r.thermal.ok());
    EXPECT_EQ(*r.thermalCoefficientK, 115.0);
    // Smin = √0.1 · 12624.1 / 115 = 34.714 mm² (EndLoadCircuitByHand).
    EXPECT_NEAR(r.thermal->minimumCrossSectionMm2, 34.714, 1e-3);
    EXPECT_TRUE(r.passed());
    const QJsonObject saved = QJsonDocument::fromJson(projectToJson(reading.project)).object();
    EXPECT_FALSE(saved.value(QStringLiteral("circuits"))
                     .toArray()
                     .at(0)
                     .toObject()
                     .value(QStringLiteral("protection"))
                     .toObject()
                     .contains(QStringLiteral("kFactor")));
}

TEST(ProjectFile, AnyTextInAFieldStopsOnlyItsCircuit) {
    QJsonObject root = QJsonDocument::fromJson(projectToJson(severalCircuits())).object();
    QJsonArray circuits = root.value(QStringLiteral("circuits")).toArray();
    QJsonObject second = circuits.at(1).toObject();
    QJsonObject load = second.value(QStringLiteral("load")).toObject();
    load.insert(QStringLiteral("poles"), QStringLiteral("三十"));
    load.insert(QStringLiteral("connection"), 42);
    second.insert(QStringLiteral("load"), load);
    second.insert(QStringLiteral("installation"),
                  QJsonObject{{QStringLiteral("method"), QStringLiteral("X9")}});
    circuits.replace(1, second);
    circuits.append(QStringLiteral("not a circuit"));
    QJsonObject third = circuits.at(2).toObject();
    QJsonObject protection = third.value(QStringLiteral("protection")).toObject();
    protection.insert(QStringLiteral("kFactor"), QStringLiteral("115")); // a number as text reads
    third.insert(QStringLiteral("protection"), protection);
    circuits.replace(2, third);
    root.insert(QStringLiteral("circuits"), circuits);

    const ProjectReading reading = projectFromJson(QJsonDocument(root).toJson());
    ASSERT_EQ(reading.error, QString());
    ASSERT_EQ(reading.project.circuits.size(), 4u);
    // Each named by its circuit and the schedule's header of the field.
    EXPECT_TRUE(reading.unrestored.contains(QStringLiteral("WL2 灯杆数：不是数值：“三十”")))
        << reading.unrestored.join(u'\n').toStdString();
    EXPECT_TRUE(reading.unrestored.contains(QStringLiteral("WL2 接线方式：无法识别：42")));
    EXPECT_TRUE(reading.unrestored.contains(QStringLiteral("WL2 敷设方式：无法识别：“X9”")));
    EXPECT_TRUE(reading.unrestored.contains(QStringLiteral("WL4：不是对象")));
    // The circuit keeps them typed, its texts made from them.
    const ProjectCircuit& feeder = reading.project.circuits[1];
    ASSERT_EQ(feeder.readingProblems.size(), 3u);
    EXPECT_EQ(feeder.readingProblems[0].circuit, QStringLiteral("WL2"));
    EXPECT_EQ(feeder.readingProblems[0].place, QStringLiteral("load.poles"));
    EXPECT_EQ(feeder.readingProblems[0].field, QStringLiteral("灯杆数"));
    EXPECT_EQ(feeder.readingProblems[0].reason, QStringLiteral("不是数值：“三十”"));
    EXPECT_EQ(feeder.inputProblems, (QStringList{QStringLiteral("WL2 灯杆数：不是数值：“三十”"),
                                                 QStringLiteral("WL2 接线方式：无法识别：42"),
                                                 QStringLiteral("WL2 敷设方式：无法识别：“X9”")}));

    const auto results = computeProject(reading.project, vvCatalogue());
    EXPECT_TRUE(results[0].passed());
    EXPECT_FALSE(results[1].inputProblems.isEmpty());
    EXPECT_TRUE(results[2].inputProblems.isEmpty());
    EXPECT_EQ(reading.project.circuits[2].protection.coefficientK, 115.0);
    EXPECT_FALSE(results[3].inputProblems.isEmpty());
    EXPECT_EQ(reading.project.circuits[3].id, QStringLiteral("WL4"));
}

// A line-kind or load-case text that is none of the lists' is read as it is written and written
// back unchanged; its circuit is kept, and its loss is not computed for want of a matching case.
TEST(ProjectFile, AnUnknownKindOrCaseTextIsKeptAndNotComputed) {
    struct Row {
        const char* field;
        const char* written;
    };
    const Row rows[] = {
        {"lineKind", "三相"},
        {"lineKind", ""},
        {"loadCase", "(1)终段负荷用电流矩(a.km)"},
        {"loadCase", "（1）终段负荷用电流矩（A.km）"},
        {"loadCase", "(3)终段负荷用负荷矩(kW.km)"}, // a case of another line kind reads
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.field) + " = " + row.written);
        QJsonObject root = QJsonDocument::fromJson(projectToJson(severalCircuits())).object();
        QJsonArray circuits = root.value(QStringLiteral("circuits")).toArray();
        QJsonObject first = circuits.at(0).toObject();
        QJsonObject load = first.value(QStringLiteral("load")).toObject();
        load.insert(QString::fromUtf8(row.field), QString::fromUtf8(row.written));
        first.insert(QStringLiteral("load"), load);
        circuits.replace(0, first);
        root.insert(QStringLiteral("circuits"), circuits);

        const ProjectReading reading = projectFromJson(QJsonDocument(root).toJson());
        ASSERT_EQ(reading.error, QString());
        EXPECT_TRUE(reading.unrestored.isEmpty()) << reading.unrestored.join(u'\n').toStdString();
        ASSERT_EQ(reading.project.circuits.size(), 3u);
        const auto results = computeProject(reading.project, vvCatalogue());
        ASSERT_TRUE(results[0].loadCase.has_value());
        EXPECT_EQ(results[0].loadCase->problem, LossProblem::NoMatchingCase);
        EXPECT_FALSE(results[0].passed());
        EXPECT_EQ(results[2].passed(),
                  computeProject(severalCircuits(), vvCatalogue())[2].passed());

        const QJsonObject back = QJsonDocument::fromJson(projectToJson(reading.project))
                                     .object()
                                     .value(QStringLiteral("circuits"))
                                     .toArray()
                                     .at(0)
                                     .toObject()
                                     .value(QStringLiteral("load"))
                                     .toObject();
        EXPECT_EQ(back.value(QString::fromUtf8(row.field)).toString(),
                  QString::fromUtf8(row.written));
    }
}

TEST(ProjectFile, AFailedSaveLeavesTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.kvp"));
    ASSERT_EQ(saveProject(severalCircuits(), path), QString());
    QFile before(path);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray old = before.readAll();
    before.close();
    // The folder made read-only: the temporary file cannot be created beside the target.
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool writable = QFileInfo(dir.path()).isWritable(); // root ignores permissions
    const QString why = saveProject(projectOf({}), path);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (writable)
        GTEST_SKIP() << "permissions are not enforced for this user";
    EXPECT_FALSE(why.isEmpty());
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), old);
}

// Every value of every circuit replaced in turn by values no engineer would type: the file still
// opens, the project is computed without a crash, and no impossible value is computed into a pass.
TEST(ProjectFile, AnyValueInAnyFieldIsReadOrRefusedNeverCrashes) {
    const QJsonObject root = QJsonDocument::fromJson(projectToJson(severalCircuits())).object();
    const QJsonValue oddValues[] = {QJsonValue(QStringLiteral("")),
                                    QJsonValue(QStringLiteral("十")),
                                    QJsonValue(-1.0),
                                    QJsonValue(0.0),
                                    QJsonValue(1e308),
                                    QJsonValue(QJsonValue::Null),
                                    QJsonValue(QJsonArray{1}),
                                    QJsonValue(QJsonObject{})};
    const QJsonArray circuits = root.value(QStringLiteral("circuits")).toArray();
    int mutations = 0;
    for (qsizetype c = 0; c < circuits.size(); ++c) {
        const QJsonObject circuit = circuits.at(c).toObject();
        for (const QString& group : circuit.keys()) {
            const QJsonValue groupValue = circuit.value(group);
            const QStringList keys =
                groupValue.isObject() ? groupValue.toObject().keys() : QStringList{QString()};
            for (const QString& key : keys) {
                for (const QJsonValue& odd : oddValues) {
                    QJsonObject changed = circuit;
                    if (key.isEmpty()) {
                        changed.insert(group, odd);
                    } else {
                        QJsonObject inner = groupValue.toObject();
                        inner.insert(key, odd);
                        changed.insert(group, inner);
                    }
                    QJsonArray list = circuits;
                    list.replace(c, changed);
                    QJsonObject file = root;
                    file.insert(QStringLiteral("circuits"), list);
                    const ProjectReading reading = projectFromJson(QJsonDocument(file).toJson());
                    ASSERT_EQ(reading.error, QString());
                    const auto results = computeProject(reading.project, vvCatalogue());
                    ASSERT_EQ(results.size(), 3u);
                    for (size_t i = 0; i < results.size(); ++i) {
                        // A pass needs a line of real length with real currents.
                        if (results[i].passed()) {
                            EXPECT_GT(*results[i].lineLengthKm, 0.0);
                            EXPECT_GT(results[i].shortCircuit->ik3, 0.0);
                            EXPECT_TRUE(std::isfinite(*results[i].lossPercent));
                        }
                    }
                    ++mutations;
                }
            }
        }
    }
    EXPECT_GT(mutations, 300);
}

// ---- Damaged files: nothing invented, nothing lost ----

std::vector<CircuitVerdict> verdicts(const Project& project) {
    std::vector<CircuitVerdict> v;
    for (const CircuitResult& r : runProject(project, shippedCatalogue(), false).results)
        v.push_back(circuitVerdict(r));
    return v;
}

// Variants of the example project, each damaged at one place: opened, saved and opened again,
// the file keeps what it held there (a key that was missing stays out), reading it says the same
// again, and no verdict changes. The problems are written as the naming rules of the file say:
// the circuit, the schedule's header or the supply field's label, the reason.
TEST(ProjectFile, ADamagedValueIsKeptAsTheFileHeldItAndNeverComputed) {
    const QJsonValue missing(QJsonValue::Undefined);
    struct Damage {
        const char* place;   // '/'-separated keys and positions
        QJsonValue value;    // undefined: the key removed
        const char* problem; // one of the lines reading reports; none: nothing to report
        int stopped;         // the circuit it stops; -1: every circuit; 4: none
    };
    const Damage damages[] = {
        {"circuits/0/load/spacingM", missing, "WL1 杆距(m)：缺少数值", 0},
        {"circuits/1/load/spacingM", u"三十"_qs, "WL2 杆距(m)：不是数值：“三十”", 1},
        {"circuits/1/protection/mode", u"接地"_qs, "WL2 保护方式：无法识别：“接地”", 1},
        {"circuits/0/load/connection", missing, "WL1 接线方式：未给出", 0},
        {"circuits/3/load/kind", missing, "WL4 负荷类型：未给出", 3},
        {"circuits/2/load/currentA", u"四十"_qs, "WL3 负荷(A或kW)：不是数值：“四十”", 2},
        {"circuits/2/load/powerKW", missing, "WL3 负荷(A或kW)：缺少数值", 2},
        {"circuits/2/load", u"x"_qs, "WL3 负荷类型：不是对象", 2},
        {"circuits/3", u"不是回路"_qs, "WL4：不是对象", 3},
        {"circuits/2/load/currentLoads/0", 5, "WL3 多个负荷：不是对象", 2},
        {"circuits/2/installation", QJsonObject{{u"method"_qs, u"X9"_qs}},
         "WL3 敷设方式：无法识别：“X9”", 2},
        {"circuits/0/id", missing, "WL1 回路编号：未填写", 0},
        {"supply/busbar/lengthM", missing, "母线长度 (m)：缺少数值", -1},
        {"supply/systemCapacityMVA", u"大"_qs, "系统容量 (MVA)：不是数值：“大”", -1},
        {"supply/transformer", 5, "变压器：不是对象", -1},
        {"supply", missing, "供电电源：文件中没有", -1},
        // A file without a limit (an older one) takes the documented 5 %.
        {"voltageLossLimitPercent", missing, nullptr, 4},
        {"voltageLossLimitPercent", u"3%"_qs, "电压损失限值 (%)：不是数值：“3%”", -1},
        {"voltageLossLimitPercent", 150, "电压损失限值 (%)：应大于0且小于100：150", -1},
        {"voltageLossLimitPercent", 0, "电压损失限值 (%)：应大于0且小于100：0", -1},
        {"conductorTemperatureC", u"七十"_qs, "导体计算温度(℃)：不是数值：“七十”", -1},
        {"installation", QJsonObject{{u"method"_qs, u"架空"_qs}}, "敷设方式：无法识别：“架空”", -1},
        {"installation", QJsonObject{{u"groupedCircuits"_qs, 1.5}}, "并列回路数：应为整数：1.5",
         -1},
        {"installation", u"x"_qs, "工程敷设条件：不是对象", -1},
    };
    const QJsonObject example = exampleProjectJson();
    const std::vector<CircuitVerdict> pristine =
        verdicts(projectFromJson(QJsonDocument(example).toJson()).project);
    ASSERT_EQ(pristine.size(), 4u);
    for (const Damage& d : damages) {
        const QString place = QString::fromUtf8(d.place);
        SCOPED_TRACE(place.toStdString() + " " + std::string(d.problem ? d.problem : "-"));
        const QJsonObject damaged = withValueAt(example, place, d.value);
        const ProjectReading read = projectFromJson(QJsonDocument(damaged).toJson());
        ASSERT_EQ(read.error, QString());
        const QByteArray saved = projectToJson(read.project);
        if (d.problem) {
            EXPECT_TRUE(read.unrestored.contains(QString::fromUtf8(d.problem)))
                << read.unrestored.join(u'\n').toStdString();
            EXPECT_EQ(valueAt(QJsonDocument::fromJson(saved).object(), place), d.value)
                << saved.toStdString();
        } else {
            EXPECT_TRUE(read.unrestored.isEmpty()) << read.unrestored.join(u'\n').toStdString();
            EXPECT_EQ(read.project.voltageLossLimitPercent, kDefaultVoltageLossLimitPercent);
        }
        const ProjectReading again = projectFromJson(saved);
        ASSERT_EQ(again.error, QString());
        EXPECT_EQ(again.unrestored, read.unrestored);
        EXPECT_EQ(projectToJson(again.project), saved);

        const std::vector<CircuitVerdict> before = verdicts(read.project);
        EXPECT_EQ(verdicts(again.project), before);
        ASSERT_EQ(before.size(), 4u);
        for (size_t i = 0; i < before.size(); ++i) {
            const bool stopped = d.stopped < 0 || size_t(d.stopped) == i;
            EXPECT_EQ(before[i], stopped ? CheckOutcome::State::NotComputed : pristine[i]) << i;
        }
        if (d.stopped < 0) {
            for (const ProjectCircuit& c : read.project.circuits) {
                EXPECT_TRUE(c.inputProblems.contains(QString::fromUtf8(d.problem)))
                    << c.id.toStdString();
            }
        }
    }
}

// A circuit at Δu 3.02 % against a limit the file holds as "3%": never judged against the
// default 5 %, where it would pass.
TEST(ProjectFile, ALimitThatCannotBeReadNeverPassesACircuit) {
    // Three-phase, one load at the end, current moment method:
    // Δu% = √3·I·l·(R′cosφ + X′sinφ)/(10·U). At 20 °C on 50 mm² VV (R′ 0.387, X′ 0.08 Ω/km),
    // cos φ 0.9 (sin φ 0.43589), U 0.38 kV, I 60 A, l 0.2882 km:
    // 0.45580 × 17.292 × (0.34830 + 0.03487) = 3.020 %.
    Project project = projectOf({endLoadCircuit(60.0, 0.2882)});
    const auto computed = computeProject(project, vvCatalogue());
    ASSERT_TRUE(computed[0].lossPercent.ok());
    EXPECT_NEAR(*computed[0].lossPercent, 3.020, 0.001);
    project.voltageLossLimitPercent = 5.0;
    EXPECT_TRUE(computeProject(project, vvCatalogue())[0].check(CircuitCheck::VoltageLoss).passed())
        << "against the default it would pass";
    QJsonObject root = QJsonDocument::fromJson(projectToJson(project)).object();
    root.insert(QStringLiteral("voltageLossLimitPercent"), QStringLiteral("3%"));
    const ProjectReading read = projectFromJson(QJsonDocument(root).toJson());
    const auto results = computeProject(read.project, vvCatalogue());
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(circuitVerdict(results[0]), CheckOutcome::State::NotComputed);
    EXPECT_TRUE(results[0].inputProblems.join(u'；').contains(u"电压损失限值 (%)"));
}

// Identifiers compare without surrounding spaces and case: a later circuit repeating an earlier
// one's is named and not computed, and the file keeps it as it was written.
TEST(ProjectFile, RepeatedIdentifiersAreNamedAndNotComputed) {
    QJsonObject root = exampleProjectJson();
    root = withValueAt(root, u"circuits/2/id"_qs, u"wl1"_qs);
    root = withValueAt(root, u"circuits/3/id"_qs, u" WL2 "_qs);
    const ProjectReading read = projectFromJson(QJsonDocument(root).toJson());
    ASSERT_EQ(read.error, QString());
    EXPECT_TRUE(read.unrestored.contains(u"wl1：回路编号重复：与第 1 个回路相同"_qs))
        << read.unrestored.join(u'\n').toStdString();
    EXPECT_TRUE(read.unrestored.contains(u" WL2 ：回路编号重复：与第 2 个回路相同"_qs));
    const std::vector<CircuitVerdict> v = verdicts(read.project);
    ASSERT_EQ(v.size(), 4u);
    EXPECT_NE(v[0], CheckOutcome::State::NotComputed);
    EXPECT_NE(v[1], CheckOutcome::State::NotComputed);
    EXPECT_EQ(v[2], CheckOutcome::State::NotComputed);
    EXPECT_EQ(v[3], CheckOutcome::State::NotComputed);
    const QJsonObject saved = QJsonDocument::fromJson(projectToJson(read.project)).object();
    EXPECT_EQ(valueAt(saved, u"circuits/3/id"_qs), QJsonValue(u" WL2 "_qs));
    EXPECT_TRUE(sameCircuitId(u" wl2"_qs, u"WL2 "_qs));
    EXPECT_FALSE(sameCircuitId(u"WL2"_qs, u"WL20"_qs));
}

// The file reads from the top: the project's own values, the supply, then the circuits, each
// with its identifier first. The order is only for the reader: a file in any order reads the
// same.
TEST(ProjectFile, TheFileIsWrittenInReadingOrder) {
    const Project project = severalCircuitsWithInstallation();
    const QByteArray written = projectToJson(project);
    const char* const rootOrder[] = {"format",
                                     "version",
                                     "name",
                                     "engineer",
                                     "voltageLossLimitPercent",
                                     "conductorTemperatureC",
                                     "installation",
                                     "supply",
                                     "circuits"};
    qsizetype last = -1;
    for (const char* k : rootOrder) {
        const qsizetype at = written.indexOf(QByteArray("\n    \"") + k + "\": ");
        EXPECT_GT(at, last) << k;
        last = at;
    }
    const qsizetype firstCircuit = written.indexOf("\n        {\n");
    ASSERT_GT(firstCircuit, 0);
    last = firstCircuit;
    for (const char* k :
         {"id", "description", "cable", "line", "protection", "installation", "load"}) {
        const qsizetype at = written.indexOf(QByteArray("\n            \"") + k + "\": ", last);
        EXPECT_GT(at, last) << k;
        last = at;
    }
    // The same document as Qt writes it sorted, indented as Qt indents.
    const QJsonDocument sorted = QJsonDocument::fromJson(written);
    EXPECT_TRUE(sorted.isObject());
    const QByteArray qtWritten = sorted.toJson(QJsonDocument::Indented);
    EXPECT_EQ(written.size(), qtWritten.size());
    EXPECT_EQ(projectToJson(projectFromJson(qtWritten).project), written);
    EXPECT_TRUE(written.endsWith("}\n"));
}

// A file that is not JSON says where, as an editor counts lines and characters, and what, in
// Chinese; a version no program wrote is not one.
TEST(ProjectFile, AFileThatIsNotJsonSaysWhereAndWhat) {
    struct Row {
        const char* bytes;
        const char* error;
    };
    const Row rows[] = {
        // Cut after its third line: the parser stops at the end, line 4 column 1.
        {"{\n    \"format\": \"korvane-project\",\n    \"version\": 2,\n",
         "文件不是有效的工程文件（第 4 行第 1 列：对象缺少结尾的“}”）"},
        // The fourth line holds only the stray x.
        {"{\n    \"name\": \"道路照明\"\n}\nx",
         "文件不是有效的工程文件（第 4 行第 1 列：结尾处有多余的内容）"},
        // Line 2: 4 spaces, "道路" (4 characters), ": ", "照明" (4), a space and the quote that
        // opens the next name, 16 characters (24 bytes) before where the parser stops.
        {"{\n    \"道路\": \"照明\" \"x\": 1\n}",
         "文件不是有效的工程文件（第 2 行第 17 列：对象缺少结尾的“}”）"},
        // Line 2: 4 spaces, "name", a space and the opening quote: 12 characters before.
        {"{\n    \"name\" \"道路\"\n}", "文件不是有效的工程文件（第 2 行第 13 列：名称后缺少“:”）"},
        {"{\"format\": \"korvane-project\", \"version\": 1e308}", "工程文件的格式版本无法识别"},
        {"{\"format\": \"korvane-project\", \"version\": -1e308}", "工程文件的格式版本无法识别"},
        {"{\"format\": \"korvane-project\", \"version\": 2.5}", "工程文件的格式版本无法识别"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(projectFromJson(row.bytes).error, QString::fromUtf8(row.error)) << row.bytes;
    // The newest version a program could have written is read as a newer file's.
    const ProjectReading newer =
        projectFromJson("{\"format\": \"korvane-project\", \"version\": 2147483647}");
    ASSERT_EQ(newer.error, QString());
    EXPECT_TRUE(newer.unrestored.front().contains(u"格式版本 2147483647"))
        << newer.unrestored.front().toStdString();
}

// A device that never ends is read to the limit and refused, whatever size it claims (none).
TEST(ProjectFile, ReadingStopsAtTheLimitWhateverTheFileClaims) {
    if (!QFileInfo::exists(QStringLiteral("/dev/zero")))
        GTEST_SKIP() << "no /dev/zero here";
    const ProjectReading reading = openProject(QStringLiteral("/dev/zero"));
    EXPECT_EQ(reading.error, QStringLiteral("文件超过 64 MiB，不是工程文件"));
    EXPECT_TRUE(reading.project.circuits.empty());
}

} // namespace
} // namespace korvane::testing

namespace korvane::testing {
namespace {

// A trunk of three poles (a carriageway and a footway lamp on N2, N3 fixed on L2) with a branch
// on its own cable from N2 and a branch of that branch on the cable it leaves from.
PoleList twoBranchList() {
    const LampGroup road{1, 150.0, 0.95, 1.0, std::nullopt};
    const LampGroup footway{1, 40.0, 0.9, 1.0, 15.0};
    PoleList list;
    list.runs.push_back({QStringLiteral("干线"),
                         {},
                         std::nullopt,
                         {{QStringLiteral("N1"), 20.0, {road}, std::nullopt},
                          {QStringLiteral("N2"), 35.5, {road, footway}, std::nullopt},
                          {QStringLiteral("N3"), 60.0, {road}, Phase::L2}}});
    list.runs.push_back(
        {QStringLiteral("支线1"),
         QStringLiteral("N2"),
         CableIdentity{QStringLiteral("聚氯乙烯绝缘电力电缆(0.6/1kV)"),
                       QStringLiteral("VV 四芯 铜芯"), QStringLiteral("16")},
         {{QStringLiteral("B1"), 25.0, {{2, 60.0, 0.9, 1.1, std::nullopt}}, std::nullopt},
          {QStringLiteral("B2"), 30.0, {}, std::nullopt}}});
    list.runs.push_back({QStringLiteral("支线2"),
                         QStringLiteral("B2"),
                         std::nullopt,
                         {{QStringLiteral("C1"), 28.0, {road}, Phase::L3}}});
    return list;
}

Project withPoleList() {
    Project project = severalCircuits();
    std::get<LampFeeder>(project.circuits[1].load).poleList = twoBranchList();
    return project;
}

TEST(ProjectFile, APoleListRoundTripsAsVersionThreeAndOtherFilesStayVersionTwo) {
    const Project project = withPoleList();
    const QByteArray bytes = projectToJson(project);
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    EXPECT_EQ(root.value(QStringLiteral("version")), QJsonValue(3));
    const QJsonObject load = valueAt(root, QStringLiteral("circuits/1/load")).toObject();
    // The list in place of the equal-pole values, the rotation beside it.
    EXPECT_TRUE(load.contains(QStringLiteral("poleList")));
    EXPECT_FALSE(load.contains(QStringLiteral("poles")));
    EXPECT_FALSE(load.contains(QStringLiteral("spacingM")));
    EXPECT_EQ(load.value(QStringLiteral("connection")), QStringLiteral("phasesInTurn"));
    // Written only when given: the trunk's start, a branch's own cable, a fixed phase, a lamp's
    // harmonic content.
    EXPECT_FALSE(valueAt(root, QStringLiteral("circuits/1/load/poleList/0"))
                     .toObject()
                     .contains(QStringLiteral("fromPole")));
    EXPECT_FALSE(valueAt(root, QStringLiteral("circuits/1/load/poleList/2"))
                     .toObject()
                     .contains(QStringLiteral("cable")));
    EXPECT_FALSE(valueAt(root, QStringLiteral("circuits/1/load/poleList/0/poles/0"))
                     .toObject()
                     .contains(QStringLiteral("phase")));
    EXPECT_EQ(valueAt(root, QStringLiteral("circuits/1/load/poleList/0/poles/2/phase")),
              QStringLiteral("L2"));
    EXPECT_EQ(valueAt(root, QStringLiteral("circuits/1/load/poleList/0/poles/1/lamps/1/"
                                           "thirdHarmonicPercent")),
              QJsonValue(15.0));

    const ProjectReading back = projectFromJson(bytes);
    ASSERT_EQ(back.error, QString());
    EXPECT_TRUE(back.unrestored.isEmpty()) << back.unrestored.join(u'\n').toStdString();
    const auto& feeder = std::get<LampFeeder>(back.project.circuits[1].load);
    EXPECT_EQ(feeder.poleList, twoBranchList());
    EXPECT_EQ(feeder.connection, FeederConnection::PhasesInTurn);
    EXPECT_EQ(feeder.startPhase, Phase::L2);
    EXPECT_TRUE(back.project.circuits[1].inputProblems.isEmpty())
        << back.project.circuits[1].inputProblems.join(u'\n').toStdString();
    EXPECT_EQ(projectToJson(back.project), bytes);

    // Without a pole list the file stays version 2, as earlier releases read it; the example
    // project reads and writes back byte for byte.
    EXPECT_EQ(QJsonDocument::fromJson(projectToJson(severalCircuits()))
                  .object()
                  .value(QStringLiteral("version")),
              QJsonValue(2));
    QFile example(QStringLiteral(KORVANE_SOURCE_DIR "/docs/examples/street_lighting.kvp"));
    ASSERT_TRUE(example.open(QIODevice::ReadOnly));
    const QByteArray exampleBytes = example.readAll();
    const ProjectReading exampleRead = projectFromJson(exampleBytes);
    ASSERT_EQ(exampleRead.error, QString());
    EXPECT_EQ(projectToJson(exampleRead.project), exampleBytes);
}

// A pole-list value that cannot be read is named by its run and pole as the pole-list import
// names its column, kept as the file held it (a missing span stays missing, never 0), and stops
// its circuit only.
TEST(ProjectFile, ADamagedPoleListValueIsKeptAsTheFileHeldIt) {
    const QJsonValue missing(QJsonValue::Undefined);
    struct Damage {
        const char* place; // within the feeder's load, '/'-separated
        QJsonValue value;  // undefined: the key removed
        const char* problem;
    };
    const Damage damages[] = {
        {"poleList/1/poles/0/spanM", missing, "WL2 杆位表 支线1 杆 B1 杆距(m)：缺少数值"},
        {"poleList/0/poles/2/spanM", u"三十"_qs, "WL2 杆位表 干线 杆 N3 杆距(m)：不是数值：“三十”"},
        {"poleList/0/poles/0/phase", u"L4"_qs, "WL2 杆位表 干线 杆 N1 相别：无法识别：“L4”"},
        {"poleList/0/poles/1/lamps/1/count", 1.5, "WL2 杆位表 干线 杆 N2 灯具2数量：应为整数：1.5"},
        {"poleList/1/poles/0/lamps/0/powerFactor", missing,
         "WL2 杆位表 支线1 杆 B1 灯具1功率因数：缺少数值"},
        {"poleList/2/fromPole", missing, "WL2 杆位表 支线2 起始杆号：未填写"},
        {"poleList/1/poles/1/id", missing, "WL2 杆位表 支线1 第2杆 杆号：未填写"},
        {"poleList/1/poles/1", 5, "WL2 杆位表 支线1 第2杆：不是对象"},
        {"poleList/2", u"支线"_qs, "WL2 杆位表 第3条线路：不是对象"},
        {"poleList", u"x"_qs, "WL2 杆位表：不是数组"},
    };
    const QJsonObject pristine = QJsonDocument::fromJson(projectToJson(withPoleList())).object();
    for (const Damage& d : damages) {
        const QString place = QStringLiteral("circuits/1/load/") + QString::fromUtf8(d.place);
        SCOPED_TRACE(place.toStdString());
        const ProjectReading read =
            projectFromJson(QJsonDocument(withValueAt(pristine, place, d.value)).toJson());
        ASSERT_EQ(read.error, QString());
        EXPECT_TRUE(read.unrestored.contains(QString::fromUtf8(d.problem)))
            << read.unrestored.join(u'\n').toStdString();
        const QByteArray saved = projectToJson(read.project);
        EXPECT_EQ(valueAt(QJsonDocument::fromJson(saved).object(), place), d.value)
            << saved.toStdString();
        // The file stays version 3, and reads and writes back the same.
        EXPECT_EQ(QJsonDocument::fromJson(saved).object().value(QStringLiteral("version")),
                  QJsonValue(3));
        const ProjectReading again = projectFromJson(saved);
        EXPECT_EQ(again.unrestored, read.unrestored);
        EXPECT_EQ(projectToJson(again.project), saved);
        // Only the feeder is stopped.
        EXPECT_TRUE(read.project.circuits[1].inputProblems.contains(QString::fromUtf8(d.problem)));
        EXPECT_TRUE(read.project.circuits[0].inputProblems.isEmpty());
        EXPECT_TRUE(read.project.circuits[2].inputProblems.isEmpty());
    }
}

// A list read whole that is no feeder (a branch from a pole that does not exist) is kept as the
// file held it, and its circuit is not computed, with the reason; an imported list replaces it
// and its reasons.
TEST(ProjectFile, APoleListThatIsNoTreeStopsItsCircuitUntilReplaced) {
    QJsonObject root = QJsonDocument::fromJson(projectToJson(withPoleList())).object();
    root = withValueAt(root, QStringLiteral("circuits/1/load/poleList/1/fromPole"),
                       QStringLiteral("N40"));
    const QByteArray bytes = QJsonDocument(root).toJson();
    ProjectReading read = projectFromJson(bytes);
    ASSERT_EQ(read.error, QString());
    ProjectCircuit& feeder = read.project.circuits[1];
    ASSERT_FALSE(feeder.inputProblems.isEmpty());
    EXPECT_TRUE(feeder.inputProblems.front().startsWith(QStringLiteral("WL2 杆位表：")))
        << feeder.inputProblems.front().toStdString();
    EXPECT_EQ(std::get<LampFeeder>(feeder.load).poleList.runs[1].fromPole, QStringLiteral("N40"));
    EXPECT_EQ(valueAt(QJsonDocument::fromJson(projectToJson(read.project)).object(),
                      QStringLiteral("circuits/1/load/poleList/1/fromPole")),
              QStringLiteral("N40"));

    ASSERT_TRUE(setPoleList(feeder, twoBranchList()));
    EXPECT_TRUE(feeder.inputProblems.isEmpty()) << feeder.inputProblems.join(u'\n').toStdString();
    EXPECT_FALSE(setPoleList(read.project.circuits[0], twoBranchList())); // not a feeder
}

} // namespace
} // namespace korvane::testing
