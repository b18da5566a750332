// Calculation files: what is saved comes back, the results are computed again by the page
// buttons, and damaged, newer or stale files open what they can without harm.

#include "app/calculation_file.h"
#include "app/project_info.h"
#include "base/number_format.h"
#include "short_circuit/dialog_database.h"
#include "support/test_app.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
#include <map>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

const char* const kResults[] = {"Text6",  "Text3",  "Text7",  "Text42",
                                "Text43", "Text44", "Text45", "Text71"};

// A calculation that uses every page: a case-(6) line, the short-circuit worked example through
// both dialogs, and a short-circuit-mode verification.
void fillEveryPage(TestApp& t) {
    t.select("Combo3", QStringLiteral("70"));
    t.setText("Text1", QStringLiteral("0.3")); // typed over the database value
    t.select("Combo4", QStringLiteral("0.90"));
    t.select("Combo7", QStringLiteral("0.38"));
    t.select(
        "Combo6",
        QStringLiteral("(6)整条线路的导线截面材料及敷设方式均相同cosφ=1,几个负荷用负荷矩(kW.km)"));
    ASSERT_EQ(userCheck(t.check("Check11"), 0), QString());
    t.setText("Text27", QStringLiteral("30"));
    t.setText("Text28", QStringLiteral("0.5"));
    t.setText("Text29", QStringLiteral("20"));
    t.setText("Text30", QStringLiteral("0.3"));
    t.setText("Text4", QStringLiteral("80"));
    t.setText("Text17", QStringLiteral("25"));

    t.click("Command22");
    Form& transformer = t.app().form(QStringLiteral("BYQForm8"));
    ASSERT_EQ(
        userSelect(transformer.combo(QStringLiteral("Combo1")),
                   transformer.combo(QStringLiteral("Combo1")).indexOf(QStringLiteral("S9-M"))),
        QString());
    ASSERT_EQ(userSelect(transformer.combo(QStringLiteral("Combo2")), 0), QString());
    ASSERT_EQ(
        userSelect(transformer.combo(QStringLiteral("Combo3")),
                   transformer.combo(QStringLiteral("Combo3")).indexOf(QStringLiteral("400"))),
        QString());
    t.click("Command23");
    Form& busbar = t.app().form(QStringLiteral("MXForm9"));
    ASSERT_EQ(
        userSelect(busbar.combo(QStringLiteral("Combo2")),
                   busbar.combo(QStringLiteral("Combo2")).indexOf(QStringLiteral("4(100X10)"))),
        QString());
    ASSERT_EQ(userSelect(busbar.combo(QStringLiteral("Combo3")), 4), QString());
    ASSERT_EQ(userClick(busbar.button(QStringLiteral("Command1"))), QString());
    t.select("Combo18", QStringLiteral("100"));
    const std::pair<const char*, const char*> line[] = {
        {"Text40", "0.3"}, {"Text41", "0.08"}, {"Text46", "0.9"}, {"Text47", "0.16"},
        {"Text49", "0.6"}, {"Text50", "0.15"}, {"Text48", "0.1"}};
    for (const auto& [name, value] : line)
        t.setText(name, QString::fromUtf8(value));

    t.setText("Text51", QStringLiteral("115"));
    ASSERT_EQ(userSpin(t.form().get<UpDown>(QStringLiteral("UpDown1")), 5), QString());
    t.setText("Text39", QStringLiteral("1.053"));
    t.setText("Text72", QStringLiteral("33"));
    t.setText("Text37", QStringLiteral("20"));
    t.setText("Text38", QStringLiteral("0.5"));
    ASSERT_EQ(userCheck(t.check("Check15"), 0), QString());
    ASSERT_EQ(userCheck(t.check("Check14"), 1), QString());
}

void computeEveryPage(TestApp& t) {
    t.click("Command1");
    t.click("Command9");
    t.click("Command28");
}

std::map<std::string, QString> results(TestApp& t) {
    std::map<std::string, QString> r;
    for (const char* name : kResults)
        r[name] = t.text(name);
    return r;
}

TEST(CalculationFile, RoundTripGivesTheSameResultsOnEveryPage) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("路灯回路1.korvane"));
    TestApp first;
    fillEveryPage(first);
    computeEveryPage(first);
    const auto expected = results(first);
    ASSERT_FALSE(expected.at("Text71").isEmpty());
    ASSERT_EQ(expected.at("Text42"), QStringLiteral("5.3509"));
    ASSERT_TRUE(saveCalculation(first.app(), path));

    TestApp second;
    ASSERT_TRUE(openCalculation(second.app(), path));
    EXPECT_TRUE(second.platform().messages.empty());
    for (const char* name : kResults)
        EXPECT_EQ(second.text(name), QString()) << name << " is a result, computed again on demand";
    EXPECT_EQ(calculationSnapshot(second.form()), calculationSnapshot(first.form()));
    EXPECT_EQ(second.text("Text1"), QStringLiteral("0.3"));
    EXPECT_FALSE(second.form().text(QStringLiteral("Text31")).enabled());
    EXPECT_TRUE(second.form().frame(QStringLiteral("Frame8")).visible());

    computeEveryPage(second);
    EXPECT_EQ(results(second), expected);
}

// A file saved under one decimal sign names the number items of the fixed lists (cos φ 0.90,
// U 0.38) with that sign; opened under the other it still selects them, in both directions.
TEST(CalculationFile, ListItemsOpenUnderTheOtherDecimalSign) {
    struct Restore {
        RegionalFormat saved = regionalFormat();
        ~Restore() { setRegionalFormat(saved); }
    } restore;
    const RegionalFormat comma{u',', u'.', 3};
    const RegionalFormat point{};
    for (const auto& [from, to] : {std::pair{point, comma}, std::pair{comma, point}}) {
        SCOPED_TRACE(::testing::Message()
                     << "saved under '" << from.decimalSign.toLatin1() << "', opened under '"
                     << to.decimalSign.toLatin1() << "'");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.korvane"));
        setRegionalFormat(from);
        {
            TestApp first;
            fillEveryPage(first);
            ASSERT_TRUE(saveCalculation(first.app(), path));
        }
        setRegionalFormat(to);
        TestApp second;
        ASSERT_TRUE(openCalculation(second.app(), path));
        EXPECT_TRUE(second.platform().messages.empty());
        const QString sign(to.decimalSign);
        EXPECT_EQ(second.combo("Combo4").text(), QStringLiteral("0") + sign + QStringLiteral("90"));
        EXPECT_EQ(second.combo("Combo7").text(), QStringLiteral("0") + sign + QStringLiteral("38"));
    }
}

TEST(CalculationFile, DamagedFilesChangeNothingAndStayAsTheyWere) {
    QTemporaryDir dir;
    const char* const damaged[] = {"", "not json at all", "{\"format\": \"korvane-calculation\"",
                                   "[1, 2, 3]", "{\"format\": \"other\", \"controls\": []}"};
    for (const char* content : damaged) {
        SCOPED_TRACE(content);
        const QString path = dir.filePath(QStringLiteral("damaged.korvane"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();

        TestApp t;
        t.setText("Text4", QStringLiteral("123"));
        const QByteArray before = calculationSnapshot(t.form());
        EXPECT_FALSE(openCalculation(t.app(), path));
        EXPECT_EQ(calculationSnapshot(t.form()), before);
        ASSERT_EQ(t.platform().messages.size(), 1U);
        EXPECT_EQ(t.platform().messages[0].icon, MessageIcon::Critical);
        EXPECT_TRUE(t.platform().messages[0].text.contains(QStringLiteral("已损坏")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray(content)) << "the file itself is never touched";
        file.close();
    }
}

// Writes `first`'s calculation with `edit` applied to its JSON.
QString editedFile(const QTemporaryDir& dir, TestApp& first,
                   const std::function<void(QJsonObject&)>& edit) {
    const QString path = dir.filePath(QStringLiteral("edited.korvane"));
    EXPECT_EQ(writeCalculationFile(first.form(), path), QString());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    edit(root);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QJsonDocument(root).toJson());
    return path;
}

// The quantity a file names for each control these tests edit in a saved file.
QString quantityOf(const QString& control) {
    static const std::map<QString, QString> quantities = {
        {QStringLiteral("Combo3"), QStringLiteral("voltageLoss.cableCrossSectionMm2")},
        {QStringLiteral("Text4"), QStringLiteral("voltageLoss.currentLoad.currentA")},
        {QStringLiteral("Check9"), QStringLiteral("voltageLoss.unityPowerLoads.1.included")},
        {QStringLiteral("Check14"), QStringLiteral("protection.mode.singlePhaseShortCircuit")},
        {QStringLiteral("Check15"), QStringLiteral("protection.mode.earthFault")},
        {QStringLiteral("UpDown1"), QStringLiteral("protection.durationTenthsS")},
        {QString::fromLatin1(kTransformerVoltageField),
         QStringLiteral("supply.transformer.voltageKV")},
    };
    return quantities.at(control);
}

void setControl(QJsonObject& root, const QString& name, const QString& key, const QJsonValue& v) {
    QJsonObject inputs = root.value(QStringLiteral("inputs")).toObject();
    const QString quantity = quantityOf(name);
    QJsonObject item = inputs.value(quantity).toObject();
    EXPECT_FALSE(item.isEmpty()) << quantity.toStdString();
    item.insert(key, v);
    inputs.insert(quantity, item);
    root.insert(QStringLiteral("inputs"), inputs);
}

TEST(CalculationFile, NewerFilesAndVanishedCablesOpenWhatTheyCan) {
    QTemporaryDir dir;
    TestApp first;
    first.select("Combo3", QStringLiteral("95"));
    first.setText("Text4", QStringLiteral("42"));

    struct Case {
        const char* what;
        std::function<void(QJsonObject&)> edit;
        const char* problem;
    };
    const Case cases[] = {
        {"a newer format with a member this version does not know",
         [](QJsonObject& root) {
             root.insert(QStringLiteral("version"), 7);
             root.insert(QStringLiteral("projectName"), QStringLiteral("东环路路灯"));
         },
         "格式版本 7"},
        {"a cross-section no longer in the cable database",
         [](QJsonObject& root) {
             setControl(root, QStringLiteral("Combo3"), QStringLiteral("text"),
                        QStringLiteral("97"));
         },
         "“导线截面（mm2)”：“97”已不在列表中"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = editedFile(dir, first, c.edit);
        TestApp t;
        EXPECT_TRUE(openCalculation(t.app(), path));
        ASSERT_EQ(t.platform().messages.size(), 1U);
        EXPECT_EQ(t.platform().messages[0].icon, MessageIcon::Warning);
        EXPECT_TRUE(t.platform().messages[0].text.contains(QString::fromUtf8(c.problem)))
            << t.platform().messages[0].text.toStdString();
        EXPECT_EQ(t.text("Text4"), QStringLiteral("42"));
        EXPECT_EQ(t.text("Text1"), QStringLiteral("0.193")) << "R and X come back from the file";
    }
}

// The file names engineering quantities, never the window's controls, so that a new layout of
// the window cannot make saved files unreadable.
TEST(CalculationFile, TheFileNamesQuantitiesNotControls) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.korvane"));
    TestApp t;
    fillEveryPage(t);
    t.setText(kProjectNameField, QStringLiteral("滨江路路灯改造工程"));
    t.setText(kEngineerField, QStringLiteral("张工"));
    ASSERT_EQ(writeCalculationFile(t.form(), path), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    EXPECT_EQ(root.value(QStringLiteral("version")), QJsonValue(3));
    EXPECT_FALSE(root.contains(QStringLiteral("controls")));
    const QJsonObject inputs = root.value(QStringLiteral("inputs")).toObject();

    // Every input of the pages is kept: as many as the control list of format version 2 held.
    EXPECT_EQ(inputs.size(), 86);
    static const QRegularExpression kControlKey(
        QStringLiteral("\"(Text|Combo|Check|UpDown|Command|Frame|Label|Line)[0-9]+\"\\s*:"));
    EXPECT_FALSE(kControlKey.match(QString::fromUtf8(bytes)).hasMatch())
        << kControlKey.match(QString::fromUtf8(bytes)).captured().toStdString();
    static const QRegularExpression kQuantity(QStringLiteral("^[a-z][A-Za-z]*(\\.[A-Za-z0-9]+)+$"));
    for (auto it = inputs.begin(); it != inputs.end(); ++it) {
        EXPECT_TRUE(kQuantity.match(it.key()).hasMatch()) << it.key().toStdString();
        EXPECT_FALSE(t.form().has(it.key())) << it.key().toStdString();
        EXPECT_NE(it.key(), QLatin1String(kTransformerVoltageField));
    }

    struct Kept {
        const char* quantity;
        const char* member;
        QJsonValue value;
    };
    const Kept kept[] = {
        {"voltageLoss.cableCrossSectionMm2", "text", QStringLiteral("70")},
        {"voltageLoss.cableResistanceOhmPerKm", "text", QStringLiteral("0.3")},
        {"voltageLoss.powerFactor", "text", QStringLiteral("0.90")},
        {"voltageLoss.unityPowerLoads.3.included", "value", 0},
        {"voltageLoss.unityPowerLoads.2.powerKW", "text", QStringLiteral("20")},
        {"voltageLoss.currentLoad.currentA", "text", QStringLiteral("80")},
        {"voltageLoss.powerLoad.powerKW", "text", QStringLiteral("25")},
        {"shortCircuit.systemCapacityMVA", "text", QStringLiteral("100")},
        {"shortCircuit.line.lengthKm", "text", QStringLiteral("0.1")},
        {"supply.transformer.series", "text", QStringLiteral("S9-M")},
        {"supply.transformer.voltageKV", "text", QStringLiteral("10")},
        {"supply.transformer.ratedKVA", "text", QStringLiteral("400")},
        {"supply.busbar.size", "text", QStringLiteral("4(100X10)")},
        {"supply.busbar.lengthM", "text", QStringLiteral("5")},
        {"protection.kFactor", "text", QStringLiteral("115")},
        {"protection.durationTenthsS", "value", 5},
        {"protection.durationS", "text", QStringLiteral("0.50")},
        {"protection.mode.singlePhaseShortCircuit", "value", 1},
        {"protection.mode.earthFault", "enabled", false},
        {"project.name", "text", QStringLiteral("滨江路路灯改造工程")},
        {"project.engineer", "text", QStringLiteral("张工")},
    };
    for (const Kept& k : kept) {
        EXPECT_EQ(inputs.value(QString::fromLatin1(k.quantity))
                      .toObject()
                      .value(QString::fromLatin1(k.member)),
                  k.value)
            << k.quantity;
    }
}

// A quantity the file lacks (removed, or renamed by hand) or holds in a form this version cannot
// read is listed and leaves its control as it was; the rest opens.
TEST(CalculationFile, MissingOrRenamedQuantitiesAreListed) {
    QTemporaryDir dir;
    TestApp first;
    first.setText("Text4", QStringLiteral("42"));
    first.setText("Text51", QStringLiteral("115"));

    auto editInputs = [](std::function<void(QJsonObject&)> edit) {
        return [=](QJsonObject& root) {
            QJsonObject inputs = root.value(QStringLiteral("inputs")).toObject();
            edit(inputs);
            root.insert(QStringLiteral("inputs"), inputs);
        };
    };
    const QString k = QStringLiteral("protection.kFactor");
    struct Case {
        const char* what;
        std::function<void(QJsonObject&)> edit;
        const char* problem;
    };
    const Case cases[] = {
        {"a quantity removed", editInputs([k](QJsonObject& in) { in.remove(k); }),
         "“热稳定系数 K”：文件中没有此项"},
        {"a quantity renamed", editInputs([k](QJsonObject& in) {
             in.insert(QStringLiteral("protection.k"), in.take(k));
         }),
         "“热稳定系数 K”：文件中没有此项"},
        {"a bare number instead of the quantity's members",
         editInputs([k](QJsonObject& in) { in.insert(k, 115); }),
         "“热稳定系数 K”：文件中的值 115 无法识别，未恢复"},
        {"a number for the text", editInputs([k](QJsonObject& in) {
             in.insert(k, QJsonObject{{QStringLiteral("text"), 115}});
         }),
         "“热稳定系数 K”：文件中的值 115 无法识别，未恢复"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = editedFile(dir, first, c.edit);
        TestApp t;
        t.setText("Text51", QStringLiteral("77"));
        EXPECT_TRUE(openCalculation(t.app(), path));
        EXPECT_EQ(t.text("Text51"), QStringLiteral("77"));
        EXPECT_EQ(t.text("Text4"), QStringLiteral("42"));
        ASSERT_EQ(t.platform().messages.size(), 1U);
        EXPECT_EQ(t.platform().messages[0].icon, MessageIcon::Warning);
        EXPECT_TRUE(t.platform().messages[0].text.endsWith(QString::fromUtf8(c.problem)))
            << t.platform().messages[0].text.toStdString();
        EXPECT_EQ(t.platform().messages[0].text.count(QStringLiteral("\r\n")), 1)
            << "one problem, no more: " << t.platform().messages[0].text.toStdString();
    }

    // Inputs that are not a set of named quantities make the file unreadable, as a damaged one.
    const QString path = editedFile(
        dir, first, [](QJsonObject& root) { root.insert(QStringLiteral("inputs"), QJsonArray{}); });
    TestApp t;
    t.setText("Text4", QStringLiteral("123"));
    EXPECT_FALSE(openCalculation(t.app(), path));
    EXPECT_EQ(t.text("Text4"), QStringLiteral("123"));
    ASSERT_EQ(t.platform().messages.size(), 1U);
    EXPECT_EQ(t.platform().messages[0].icon, MessageIcon::Critical);
}

// Whatever a file says, exactly one protection mode stays selectable and the other is unticked.
void expectOneSelectableMode(TestApp& t) {
    const CheckBox& shortCircuit = t.check("Check14");
    const CheckBox& earthFault = t.check("Check15");
    EXPECT_NE(shortCircuit.enabled(), earthFault.enabled());
    EXPECT_EQ((shortCircuit.enabled() ? earthFault : shortCircuit).value(), 0);
    EXPECT_EQ(t.form().text(QStringLiteral("Text75")).enabled(), shortCircuit.value() == 1);
    EXPECT_EQ(t.form().text(QStringLiteral("Text36")).enabled(), earthFault.value() == 1);
}

TEST(CalculationFile, UnreadableValuesAreListedAndLeaveTheControlAsItWas) {
    QTemporaryDir dir;
    TestApp first;
    first.setText("Text4", QStringLiteral("42"));
    first.select("Combo3", QStringLiteral("95"));
    ASSERT_EQ(userSpin(first.form().get<UpDown>(QStringLiteral("UpDown1")), 5), QString());

    auto set = [](const char* name, const char* key, const QJsonValue& v) {
        return [=](QJsonObject& root) {
            setControl(root, QString::fromLatin1(name), QString::fromLatin1(key), v);
        };
    };
    auto both = [](std::function<void(QJsonObject&)> a, std::function<void(QJsonObject&)> b) {
        return [=](QJsonObject& root) {
            a(root);
            b(root);
        };
    };
    auto version = [](const QJsonValue& v) {
        return [=](QJsonObject& root) {
            if (v.isUndefined())
                root.remove(QStringLiteral("version"));
            else
                root.insert(QStringLiteral("version"), v);
        };
    };
    struct Case {
        const char* what;
        std::function<void(QJsonObject&)> edit;
        const char* problem;
        std::function<void(TestApp&)> expect;
    };
    const auto text4Kept = [](TestApp& t) { EXPECT_EQ(t.text("Text4"), QStringLiteral("77")); };
    const auto earthFaultKept = [](TestApp& t) {
        EXPECT_EQ(t.check("Check15").value(), 1);
        EXPECT_TRUE(t.check("Check15").enabled());
    };
    const auto restored = [](TestApp& t) { EXPECT_EQ(t.text("Text4"), QStringLiteral("42")); };
    const Case cases[] = {
        {"a number for a text", set("Text4", "text", 5), "“负荷计算电流(A)”：文件中的值 5 无法识别",
         text4Kept},
        {"a null text", set("Text4", "text", QJsonValue::Null), "文件中的值 null 无法识别",
         text4Kept},
        {"a list text of the wrong type", set("Combo3", "text", 95),
         "“导线截面（mm2)”：文件中的值 95", [](TestApp&) {}},
        {"a null mode switch", set("Check15", "value", QJsonValue::Null),
         "“单相接地故障电流Id(kA)”的勾选框：文件中的值 null 无法识别", earthFaultKept},
        {"a mode switch as a string", set("Check15", "value", QStringLiteral("0")),
         "文件中的值 \"0\" 无法识别", earthFaultKept},
        {"a mode switch enabled as a number", set("Check15", "enabled", 0),
         "勾选框：文件中的值 0 无法识别", earthFaultKept},
        {"a load switch out of range", set("Check9", "value", 7),
         "“有功负荷P1(kw)”的勾选框：文件中的值 7 无法识别",
         [](TestApp& t) { EXPECT_EQ(t.check("Check9").value(), 1); }},
        {"a duration outside the spin range", set("UpDown1", "value", 1000),
         "“短路持续时间 s”的调节钮：文件中的值 1000 无法识别",
         [](TestApp& t) { EXPECT_EQ(t.form().get<UpDown>(QStringLiteral("UpDown1")).value(), 3); }},
        {"a fractional duration", set("UpDown1", "value", 2.5), "文件中的值 2.5 无法识别",
         [](TestApp& t) { EXPECT_EQ(t.form().get<UpDown>(QStringLiteral("UpDown1")).value(), 3); }},
        {"both modes off and disabled",
         both(set("Check15", "value", 0), set("Check15", "enabled", false)),
         "保护方式：文件中两个勾选框的状态互相矛盾，已改为可勾选“单相接地故障电流Id(kA)”",
         [](TestApp& t) { EXPECT_TRUE(t.check("Check15").enabled()); }},
        {"both modes ticked and selectable",
         both(set("Check14", "value", 1), set("Check14", "enabled", true)),
         "已改为按“单相接地故障电流Id(kA)”校验",
         [](TestApp& t) { EXPECT_EQ(t.check("Check15").value(), 1); }},
        {"the short-circuit mode ticked but disabled",
         both(set("Check14", "value", 1), set("Check15", "value", 0)),
         "已改为按“单相短路电流I\"k1(kA)”校验",
         [](TestApp& t) { EXPECT_EQ(t.check("Check14").value(), 1); }},
        {"a version written as a text", version(QStringLiteral("9")), "格式版本 \"9\" 无法识别",
         restored},
        {"a version too large for an integer", version(1e300),
         "较新版本的 Korvane 保存（格式版本 1e+300）", restored},
        {"a fractional version", version(1.5), "格式版本 1.5 无法识别", restored},
        {"no version", version(QJsonValue::Undefined), "格式版本 （缺失） 无法识别", restored},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = editedFile(dir, first, c.edit);
        TestApp t;
        t.setText("Text4", QStringLiteral("77"));
        ASSERT_EQ(userSpin(t.form().get<UpDown>(QStringLiteral("UpDown1")), 3), QString());
        EXPECT_TRUE(openCalculation(t.app(), path));
        c.expect(t);
        expectOneSelectableMode(t);
        if (t.platform().messages.size() != 1U) {
            ADD_FAILURE() << t.platform().messages.size() << " messages, one expected";
            continue;
        }
        EXPECT_EQ(t.platform().messages[0].icon, MessageIcon::Warning);
        EXPECT_TRUE(t.platform().messages[0].text.contains(QString::fromUtf8(c.problem)))
            << t.platform().messages[0].text.toStdString();
        EXPECT_EQ(t.platform().messages[0].text.count(QStringLiteral("\r\n")), 1)
            << "one problem, no more: " << t.platform().messages[0].text.toStdString();
    }
}

TEST(CalculationFile, SavingReplacesTheFileWholeAndReportsAFolderThatIsNotThere) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.korvane"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();

    TestApp t;
    ASSERT_TRUE(saveCalculation(t.app(), path));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QJsonDocument::fromJson(saved.readAll()).isObject());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.korvane")});

    EXPECT_FALSE(saveCalculation(t.app(), dir.filePath(QStringLiteral("missing/b.korvane"))));
    ASSERT_EQ(t.platform().messages.size(), 1U);
    EXPECT_EQ(t.platform().messages[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(t.platform().messages[0].text.contains(QStringLiteral("无法保存计算文件")));
}

// What the dialogs show when opened over a restored calculation: series, voltage, capacity of
// ▲, then material, arrangement, length of ⊙; 确 定 in each.
QStringList reopenDialogs(TestApp& t) {
    QStringList shown;
    t.click("Command22");
    Form& transformer = t.app().form(QStringLiteral("BYQForm8"));
    for (const char* list : {"Combo1", "Combo2", "Combo3"})
        shown << transformer.combo(QString::fromLatin1(list)).text();
    EXPECT_EQ(userClick(transformer.button(QStringLiteral("Command1"))), QString());
    t.click("Command23");
    Form& busbar = t.app().form(QStringLiteral("MXForm9"));
    for (const char* list : {"Combo1", "Combo2", "Combo3"})
        shown << busbar.combo(QString::fromLatin1(list)).text();
    EXPECT_EQ(userClick(busbar.button(QStringLiteral("Command1"))), QString());
    return shown;
}

// The dialogs opened over a saved calculation start from its transformer and busbar, so the
// results stay those of the saved inputs. A file of format version 1, which lacks the voltage,
// opens without a word and the transformer is found by its values.
TEST(CalculationFile, ReopenedDialogsKeepTheSavedTransformerAndBusbar) {
    QTemporaryDir dir;
    TestApp first;
    fillEveryPage(first);
    computeEveryPage(first);
    const auto expected = results(first);
    ASSERT_EQ(expected.at("Text42"), QStringLiteral("5.3509"));
    const QStringList chosen = {QStringLiteral("S9-M"),      QStringLiteral("10"),
                                QStringLiteral("400"),       QStringLiteral("铜母线TMY"),
                                QStringLiteral("4(100X10)"), QStringLiteral("5")};

    struct Case {
        const char* what;
        std::function<void(QJsonObject&)> edit;
        const char* voltage; // what the window holds after opening
    };
    const Case cases[] = {
        {"as saved", [](QJsonObject&) {}, "10"},
        {"format version 1",
         [](QJsonObject& root) {
             root.insert(QStringLiteral("version"), 1);
             QJsonObject inputs = root.value(QStringLiteral("inputs")).toObject();
             inputs.remove(quantityOf(QString::fromLatin1(kTransformerVoltageField)));
             root.insert(QStringLiteral("inputs"), inputs);
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = editedFile(dir, first, c.edit);
        TestApp second;
        second.setText(kTransformerVoltageField, QStringLiteral("6")); // left by earlier work
        ASSERT_TRUE(openCalculation(second.app(), path));
        EXPECT_TRUE(second.platform().messages.empty());
        EXPECT_EQ(second.text(kTransformerVoltageField), QString::fromUtf8(c.voltage));
        EXPECT_EQ(reopenDialogs(second), chosen);
        EXPECT_EQ(second.text("Text62"), QStringLiteral("5"));
        computeEveryPage(second);
        EXPECT_EQ(results(second), expected);
    }
}

} // namespace
} // namespace korvane::testing
