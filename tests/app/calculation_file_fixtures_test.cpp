// Calculation files written by earlier versions of the program, kept as they were written: they
// must keep opening with every input they hold, whatever the current file format is.

#include "app/calculation_file.h"
#include "app/project_info.h"
#include "short_circuit/dialog_database.h"
#include "support/test_app.h"
#include "voltage_loss/voltage_loss.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <functional>
#include <map>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

QString fixture(const char* name) {
    return QStringLiteral(KORVANE_SOURCE_DIR "/tests/app/fixtures/") + QString::fromLatin1(name);
}

void setTexts(TestApp& t, std::initializer_list<std::pair<const char*, const char*>> texts) {
    for (const auto& [name, value] : texts)
        t.setText(name, QString::fromUtf8(value));
}

// The short-circuit worked example: S9-M 10/0.4 kV 400 kVA, busbar 4(100X10) of 5 m, a 100 MVA
// system and the line's per-metre values; I"k3 at the line's end is 5.3509 kA.
void chooseTransformerAndBusbar(TestApp& t) {
    t.click("Command22");
    Form& transformer = t.app().form(QStringLiteral("BYQForm8"));
    auto& series = transformer.combo(QStringLiteral("Combo1"));
    ASSERT_EQ(userSelect(series, series.indexOf(QStringLiteral("S9-M"))), QString());
    ASSERT_EQ(userSelect(transformer.combo(QStringLiteral("Combo2")), 0), QString());
    auto& capacity = transformer.combo(QStringLiteral("Combo3"));
    ASSERT_EQ(userSelect(capacity, capacity.indexOf(QStringLiteral("400"))), QString());
    t.click("Command23");
    Form& busbar = t.app().form(QStringLiteral("MXForm9"));
    auto& size = busbar.combo(QStringLiteral("Combo2"));
    ASSERT_EQ(userSelect(size, size.indexOf(QStringLiteral("4(100X10)"))), QString());
    ASSERT_EQ(userSelect(busbar.combo(QStringLiteral("Combo3")), 4), QString());
    ASSERT_EQ(userClick(busbar.button(QStringLiteral("Command1"))), QString());
    t.select("Combo18", QStringLiteral("100"));
    setTexts(t, {{"Text40", "0.3"},
                 {"Text41", "0.08"},
                 {"Text46", "0.9"},
                 {"Text47", "0.16"},
                 {"Text49", "0.6"},
                 {"Text50", "0.15"},
                 {"Text48", "0.1"}});
}

// Every page: a case-(6) line with one load switched off and R typed over the database value,
// the worked example with I"k1 asked for, both protection modes' data in the short-circuit mode,
// the project's name and the engineer's.
void fillEveryPage(TestApp& t) {
    t.select("Combo3", QStringLiteral("70"));
    t.setText("Text1", QStringLiteral("0.3"));
    t.select("Combo4", QStringLiteral("0.90"));
    t.select("Combo7", QStringLiteral("0.38"));
    t.select("Combo6", load_case::kSeveralUnityPower);
    ASSERT_EQ(userCheck(t.check("Check11"), 0), QString());
    setTexts(t, {{"Text27", "30"}, {"Text28", "0.5"}, {"Text29", "20"}, {"Text30", "0.3"}});
    setTexts(t, {{"Text4", "80"}, {"Text17", "25"}});
    chooseTransformerAndBusbar(t);
    ASSERT_EQ(userCheck(t.check("Check13"), 1), QString());
    setTexts(t, {{"Text51", "115"},
                 {"Text39", "1.053"},
                 {"Text72", "33"},
                 {"Text35", "5.3509"},
                 {"Text36", "0.0183"},
                 {"Text75", "2.9012"},
                 {"Text37", "20"},
                 {"Text38", "0.5"}});
    ASSERT_EQ(userSpin(t.form().get<UpDown>(QStringLiteral("UpDown1")), 5), QString());
    ASSERT_EQ(userCheck(t.check("Check15"), 0), QString());
    ASSERT_EQ(userCheck(t.check("Check14"), 1), QString());
    t.setText(kProjectNameField, QStringLiteral("滨江路路灯改造工程"));
    t.setText(kEngineerField, QStringLiteral("张工"));
}

// Another line kind and load case: several current loads on a two-core cable of another type, a
// typed system capacity, the earth-fault mode.
void fillCurrentLoads(TestApp& t) {
    ASSERT_EQ(userSelect(t.combo("Combo2"), 1), QString());
    ASSERT_EQ(userSelect(t.combo("Combo3"), 2), QString());
    t.select("Combo4", QStringLiteral("0.85"));
    t.select("Combo6", load_case::kSeveralCurrent);
    ASSERT_EQ(userCheck(t.check("Check3"), 0), QString());
    setTexts(t, {{"Text8", "12"},
                 {"Text10", "0.2"},
                 {"Text11", "8"},
                 {"Text12", "0.45"},
                 {"Text13", "6"},
                 {"Text14", "0.6"},
                 {"Text15", "4.5"},
                 {"Text16", "0.9"}});
    t.combo("Combo18").setText(QStringLiteral("150"));
    setTexts(t, {{"Text40", "1.2"}, {"Text41", "0.09"}, {"Text48", "0.35"}});
    setTexts(t, {{"Text51", "143"},
                 {"Text72", "28"},
                 {"Text36", "0.021"},
                 {"Text37", "30"},
                 {"Text38", "0.9"}});
    t.setText(kProjectNameField, QStringLiteral("东环路二期"));
    t.setText(kEngineerField, QStringLiteral("李工"));
}

// What the window shows of every control: texts, selections, ticks, spin values, which controls
// are enabled and visible. Independent of what the file format names.
std::map<QString, QString> windowState(const Form& form) {
    std::map<QString, QString> state;
    for (const auto& control : form.controls()) {
        QString shown = QStringLiteral("%1 %2").arg(control->enabled()).arg(control->visible());
        if (const auto* text = dynamic_cast<const TextBox*>(control.get()))
            shown += QStringLiteral(" text=") + text->text();
        if (const auto* list = dynamic_cast<const ComboBox*>(control.get()))
            shown += QStringLiteral(" text=%1 index=%2 items=%3")
                         .arg(list->text())
                         .arg(list->listIndex())
                         .arg(list->items().join(u'|'));
        if (const auto* check = dynamic_cast<const CheckBox*>(control.get()))
            shown += QStringLiteral(" value=%1").arg(check->value());
        if (const auto* spin = dynamic_cast<const UpDown*>(control.get()))
            shown += QStringLiteral(" value=%1").arg(spin->value());
        state[control->name()] = shown;
    }
    return state;
}

void expectSameWindow(TestApp& opened, TestApp& expected) {
    const auto got = windowState(opened.form());
    const auto want = windowState(expected.form());
    for (const auto& [name, shown] : want) {
        const auto it = got.find(name);
        ASSERT_NE(it, got.end()) << name.toStdString();
        EXPECT_EQ(it->second, shown) << name.toStdString();
    }
}

TEST(CalculationFileFixtures, EarlierFormatsOpenWithEveryInput) {
    struct Case {
        const char* file;
        std::function<void(TestApp&)> fill;
        bool holdsNames; // version 1 knew neither the transformer's voltage nor the two names
        const char* threePhaseKa; // I"k3 computed again from the restored inputs
    };
    const Case cases[] = {
        {"every_page_v2.korvane", fillEveryPage, true, "5.3509"},
        {"every_page_v1.korvane", fillEveryPage, false, "5.3509"},
        {"current_loads_v2.korvane", fillCurrentLoads, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TestApp expected;
        c.fill(expected);
        if (!c.holdsNames) {
            for (const char* field : {kTransformerVoltageField, kProjectNameField, kEngineerField})
                expected.setText(field, QString());
        }
        expected.form().frame(QStringLiteral("Frame12")).setVisible(false);
        expected.form().text(QStringLiteral("Text73")).setVisible(true);

        TestApp opened;
        opened.setText(kProjectNameField, QStringLiteral("上一个工程"));
        ASSERT_TRUE(openCalculation(opened.app(), fixture(c.file)));
        EXPECT_TRUE(opened.platform().messages.empty())
            << opened.platform().messages.front().text.toStdString();
        expectSameWindow(opened, expected);

        opened.click("Command9");
        if (*c.threePhaseKa != 0) {
            EXPECT_EQ(opened.text("Text42"), QString::fromUtf8(c.threePhaseKa));
        }
    }
}

// An earlier file saved again is written in the current format and opens with the same window.
TEST(CalculationFileFixtures, SavedAgainTheyOpenTheSame) {
    QTemporaryDir dir;
    for (const char* name :
         {"every_page_v2.korvane", "every_page_v1.korvane", "current_loads_v2.korvane"}) {
        SCOPED_TRACE(name);
        TestApp opened;
        ASSERT_TRUE(openCalculation(opened.app(), fixture(name)));
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(saveCalculation(opened.app(), path));
        TestApp reopened;
        ASSERT_TRUE(openCalculation(reopened.app(), path));
        EXPECT_TRUE(reopened.platform().messages.empty());
        expectSameWindow(reopened, opened);
    }
}

QJsonObject fixtureJson(const char* name) {
    QFile file(fixture(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(file.readAll()).object();
}

// Damaged earlier files are reported as they always were: a control missing from the list, an
// item without a name, a value of the wrong type.
TEST(CalculationFileFixtures, DamagedEarlierFilesListWhatWasNotRestored) {
    auto editItem = [](const char* control, std::function<void(QJsonObject&)> edit) {
        return [=](QJsonArray& controls) {
            for (qsizetype i = 0; i < controls.size(); ++i) {
                QJsonObject item = controls[i].toObject();
                if (item.value(QStringLiteral("name")).toString() == QLatin1String(control)) {
                    edit(item);
                    controls[i] = item;
                }
            }
        };
    };
    struct Case {
        const char* what;
        std::function<void(QJsonArray&)> edit;
        QStringList problems;
    };
    const Case cases[] = {
        {"a control missing",
         [](QJsonArray& controls) {
             for (qsizetype i = controls.size() - 1; i >= 0; --i) {
                 if (controls[i].toObject().value(QStringLiteral("name")) ==
                     QStringLiteral("Text51"))
                     controls.removeAt(i);
             }
         },
         {QStringLiteral("“热稳定系数 K”：文件中没有此项")}},
        {"an item without its name",
         editItem("Text51", [](QJsonObject& item) { item.remove(QStringLiteral("name")); }),
         {QStringLiteral("文件中有 1 项无法识别，未恢复"),
          QStringLiteral("“热稳定系数 K”：文件中没有此项")}},
        {"a number for a text",
         editItem("Text51", [](QJsonObject& item) { item.insert(QStringLiteral("text"), 115); }),
         {QStringLiteral("“热稳定系数 K”：文件中的值 115 无法识别，未恢复")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QJsonObject root = fixtureJson("every_page_v2.korvane");
        QJsonArray controls = root.value(QStringLiteral("controls")).toArray();
        c.edit(controls);
        root.insert(QStringLiteral("controls"), controls);
        TestApp t;
        t.setText("Text51", QStringLiteral("77"));
        const RestoreReport report = restoreCalculation(t.form(), QJsonDocument(root).toJson());
        EXPECT_TRUE(report.read);
        EXPECT_EQ(report.problems, c.problems);
        EXPECT_EQ(t.text("Text51"), QStringLiteral("77"));
        EXPECT_EQ(t.text("Text4"), QStringLiteral("80"));
    }
}

} // namespace
} // namespace korvane::testing
