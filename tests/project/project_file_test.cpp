// The project file: a project of several circuits round-trips with the same results; a damaged,
// foreign or newer file says what could not be restored, and a bad value stops only its circuit.

#include "project/project_compute.h"
#include "project_files/project_file.h"
#include "project_fixtures.h"

#include <QDir>
#include <QFile>
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
            EXPECT_EQ(before[i].checks[k].second.text, after[i].checks[k].second.text) << i;
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

} // namespace
} // namespace korvane::testing
