// BYQForm8 "BYQ▲", the transformer dialog, over the test copy of Byaqi-Muxie.db: the shipped rows
// (first row S11-M / 10 kV / 30 kVA, uk 4 %, ΔP 0.63 kW; the worked example's S9-M / 10 / 400,
// 4 %, 4.30 kW) and the test rows (S11'测试 / 10' / 400' with apostrophes; 重复测试 / 10 / 100
// twice, 4 % 1.5 kW first, 4.5 % 2.0 kW second). Also what both database dialogs do when the
// file is missing, broken or empty.

#include "short_circuit/dialog_database.h"
#include "support/test_app.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <functional>
#include <vector>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

const QStringList kSeries = {"S11-M", "S13-M",        "S9-M",        "SCB11",
                             "SCB13", u8("S11'测试"), u8("重复测试")};
const QStringList kS11Capacities = {"30",   "50",   "63",   "80",   "100", "125", "160",
                                    "200",  "250",  "315",  "400",  "500", "630", "800",
                                    "1000", "1250", "1600", "2000", "2500"};
const QStringList kS9Capacities = {"30",  "50",  "63",  "80",  "100", "125",  "160",  "200", "250",
                                   "315", "400", "500", "630", "800", "1000", "1250", "1600"};

Form& dialog(TestApp& t) {
    return t.app().form(u8("BYQForm8"));
}

void choose(Form& form, const char* list, const QString& item) {
    ComboBox& combo = form.combo(u8(list));
    const int index = combo.indexOf(item);
    ASSERT_GE(index, 0) << list << " lacks " << item.toStdString();
    ASSERT_EQ(userSelect(combo, index), QString());
}

void chooseTransformer(TestApp& t, const QString& series, const QString& voltage,
                       const QString& capacity) {
    choose(dialog(t), "Combo1", series);
    choose(dialog(t), "Combo2", voltage);
    choose(dialog(t), "Combo3", capacity);
}

// Series, uk, ΔP and capacity as the main window holds them.
QStringList mainTransformer(TestApp& t) {
    return {t.text("Text53"), t.text("Text55"), t.text("Text56"), t.text("Text57")};
}

// Series, voltage and capacity shown in the dialog, then uk and ΔP.
QStringList shown(Form& form) {
    return {form.combo(u8("Combo1")).text(), form.combo(u8("Combo2")).text(),
            form.combo(u8("Combo3")).text(), form.text(u8("Text1")).text(),
            form.text(u8("Text2")).text()};
}

void pressOk(TestApp& t) {
    ASSERT_EQ(userClick(dialog(t).button(u8("Command1"))), QString());
}

// A window that holds no transformer of the table: the first rows, as on the first press.
TEST(TransformerDialog, OpeningWithoutATransformerOfTheTableTransfersTheFirstRow) {
    struct Opening {
        const char* what;
        std::function<void(TestApp&)> before;
    };
    const Opening cases[] = {
        {"first press", [](TestApp&) {}},
        {"after 清  零 emptied S9-M 10 400",
         [](TestApp& t) {
             t.click("Command22");
             chooseTransformer(t, u8("S9-M"), u8("10"), u8("400"));
             pressOk(t);
             t.click("Command10");
         }},
        // The row's ΔP is 4.3; the dialog would not write back 4.4.
        {"S9-M 10 400 with another ΔP typed",
         [](TestApp& t) {
             t.click("Command22");
             chooseTransformer(t, u8("S9-M"), u8("10"), u8("400"));
             pressOk(t);
             t.setText("Text56", u8("4.4"));
         }},
        // The series step wrote S9-M, the capacity step had run for S11-M at 6 kV: no such row.
        {"series changed after the capacity, closed by the close box",
         [](TestApp& t) {
             t.click("Command22");
             chooseTransformer(t, u8("S11-M"), u8("6"), u8("2500"));
             choose(dialog(t), "Combo1", u8("S9-M"));
             dialog(t).unload();
         }},
        {"over values typed into the working fields",
         [](TestApp& t) {
             for (const char* field : {"Text53", "Text55", "Text56", "Text57"})
                 t.setText(field, u8("9"));
         }},
    };
    for (const Opening& c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        c.before(t);
        ASSERT_FALSE(dialog(t).loaded());
        t.click("Command22");
        ASSERT_TRUE(dialog(t).visible());
        EXPECT_EQ(mainTransformer(t), QStringList({"S11-M", "4", "0.63", "30"}));
        EXPECT_EQ(shown(dialog(t)), QStringList({"S11-M", "10", "30", "4", "0.63"}));
        EXPECT_EQ(dialog(t).combo(u8("Combo1")).items(), kSeries);
        EXPECT_EQ(dialog(t).combo(u8("Combo2")).items(), QStringList({"10", "6"}));
        EXPECT_EQ(dialog(t).combo(u8("Combo3")).items(), kS11Capacities);
        EXPECT_TRUE(t.platform().messages.empty());
    }
}

// A window that holds a transformer of the table: the dialog starts from its row, voltage
// included, and 确 定 leaves the window as it was.
TEST(TransformerDialog, ReopeningStartsFromTheRowTheWindowHolds) {
    struct Held {
        const char* what;
        const char* series;
        const char* voltage;
        int capacity; // index in Combo3 when chosen
        bool okPressed;
        QStringList shown; // Combo1..Combo3, Text1, Text2 after reopening
        int capacityIndex; // Combo3's ListIndex after reopening
    };
    const Held cases[] = {
        {"worked example's row", "S9-M", "10", 10, true, {"S9-M", "10", "400", "4", "4.3"}, 10},
        // S11-M 30 kVA has uk 4 % and ΔP 0.63 kW at 10 and at 6 kV: only the kept voltage tells.
        {"6 kV row with the first row's values",
         "S11-M",
         "6",
         0,
         true,
         {"S11-M", "6", "30", "4", "0.63"},
         0},
        {"closed by the close box",
         "S9-M",
         "10",
         12,
         false,
         {"S9-M", "10", "630", "4.5", "6.2"},
         12},
        {"apostrophes", "S11'测试", "10'", 0, true, {"S11'测试", "10'", "400'", "4", "4.3"}, 0},
        // Either entry of a duplicated capacity transfers the first row; reopening selects it.
        {"duplicate, second entry",
         "重复测试",
         "10",
         1,
         true,
         {"重复测试", "10", "100", "4", "1.5"},
         0},
    };
    for (const Held& c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        t.click("Command22");
        choose(dialog(t), "Combo1", u8(c.series));
        choose(dialog(t), "Combo2", u8(c.voltage));
        ASSERT_EQ(userSelect(dialog(t).combo(u8("Combo3")), c.capacity), QString());
        if (c.okPressed)
            pressOk(t);
        else
            dialog(t).unload();
        const QStringList before = mainTransformer(t);
        EXPECT_EQ(t.text(kTransformerVoltageField), u8(c.voltage));

        t.click("Command22");
        EXPECT_EQ(shown(dialog(t)), c.shown);
        EXPECT_EQ(dialog(t).combo(u8("Combo3")).listIndex(), c.capacityIndex);
        EXPECT_EQ(mainTransformer(t), before);
        pressOk(t);
        EXPECT_EQ(mainTransformer(t), before);
        EXPECT_EQ(t.text(kTransformerVoltageField), u8(c.voltage));
        EXPECT_TRUE(t.platform().messages.empty());
    }
}

TEST(TransformerDialog, EachChoiceRunsOnlyItsOwnStep) {
    struct Step {
        const char* list;
        const char* item;
        QStringList main;       // Text53, Text55, Text56, Text57
        QStringList voltages;   // Combo2's list
        int voltage;            // Combo2's ListIndex
        QStringList capacities; // Combo3's list
        QStringList values;     // Text1, Text2
    };
    const Step steps[] = {
        // A new series: its voltages listed, none selected; the capacities of the previous
        // voltage stay; only the series reaches the main window.
        {"Combo1", "S9-M", {"S9-M", "4", "0.63", "30"}, {"10"}, -1, kS11Capacities, {"4", "0.63"}},
        // A voltage: its capacities listed; nothing reaches the main window.
        {"Combo2", "10", {"S9-M", "4", "0.63", "30"}, {"10"}, 0, kS9Capacities, {"4", "0.63"}},
        // A capacity: uk, ΔP and the capacity reach the main window.
        {"Combo3", "400", {"S9-M", "4", "4.3", "400"}, {"10"}, 0, kS9Capacities, {"4", "4.3"}},
        {"Combo1",
         "SCB11",
         {"SCB11", "4", "4.3", "400"},
         {"10", "6"},
         -1,
         kS9Capacities,
         {"4", "4.3"}},
    };
    TestApp t;
    t.click("Command22");
    Form& form = dialog(t);
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::Message() << s.list << " " << s.item);
        choose(form, s.list, u8(s.item));
        EXPECT_EQ(mainTransformer(t), s.main);
        EXPECT_EQ(form.combo(u8("Combo2")).items(), s.voltages);
        EXPECT_EQ(form.combo(u8("Combo2")).listIndex(), s.voltage);
        if (s.voltage < 0) {
            EXPECT_EQ(form.combo(u8("Combo2")).text(), QString());
        }
        EXPECT_EQ(form.combo(u8("Combo3")).items(), s.capacities);
        EXPECT_EQ(QStringList({form.text(u8("Text1")).text(), form.text(u8("Text2")).text()}),
                  s.values);
    }
}

TEST(TransformerDialog, CapacityFindsItsRow) {
    struct Lookup {
        const char* what;
        const char* series;
        const char* voltage;
        int capacity; // index in Combo3
        QStringList capacities;
        QStringList main; // Text53, Text55, Text56, Text57
    };
    const Lookup cases[] = {
        {"worked example's row", "S9-M", "10", 10, kS9Capacities, {"S9-M", "4", "4.3", "400"}},
        // 6.20 kW in the table, passed on in the general format.
        {"630 kVA", "S11-M", "10", 12, kS11Capacities, {"S11-M", "4.5", "6.2", "630"}},
        {"6 kV list", "S11-M", "6", 0, kS11Capacities, {"S11-M", "4", "0.63", "30"}},
        // The choices are bound as parameters, so apostrophes find their row.
        {"apostrophes", "S11'测试", "10'", 0, {"400'"}, {"S11'测试", "4", "4.3", "400'"}},
        // Two rows of one capacity: listed twice, either entry gives the first row.
        {"duplicate, first entry",
         "重复测试",
         "10",
         0,
         {"100", "100"},
         {"重复测试", "4", "1.5", "100"}},
        {"duplicate, second entry",
         "重复测试",
         "10",
         1,
         {"100", "100"},
         {"重复测试", "4", "1.5", "100"}},
    };
    for (const Lookup& c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        t.click("Command22");
        Form& form = dialog(t);
        choose(form, "Combo1", u8(c.series));
        choose(form, "Combo2", u8(c.voltage));
        EXPECT_EQ(form.combo(u8("Combo3")).items(), c.capacities);
        ASSERT_EQ(userSelect(form.combo(u8("Combo3")), c.capacity), QString());
        EXPECT_EQ(mainTransformer(t), c.main);
        EXPECT_EQ(QStringList({form.text(u8("Text1")).text(), form.text(u8("Text2")).text()}),
                  c.main.mid(1, 2));
    }
}

TEST(TransformerDialog, CapacityWithoutARowEmptiesUkAndLoss) {
    struct NoRow {
        const char* what;
        std::function<void(Form&)> choices;
    };
    const NoRow cases[] = {
        // Combo3 still lists S11-M's capacities while the voltage box is empty.
        {"voltage box empty after a series change",
         [](Form& form) {
             choose(form, "Combo1", u8("S9-M"));
             choose(form, "Combo3", u8("2500"));
         }},
        // A typed voltage runs no step but takes part in the lookup: S9-M has no 6 kV row.
        {"typed voltage without a row",
         [](Form& form) {
             choose(form, "Combo1", u8("S9-M"));
             choose(form, "Combo2", u8("10"));
             ASSERT_EQ(userType(form.combo(u8("Combo2")), u8("6")), QString());
             choose(form, "Combo3", u8("400"));
         }},
    };
    for (const NoRow& c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        t.click("Command22");
        c.choices(dialog(t));
        EXPECT_EQ(dialog(t).text(u8("Text1")).text(), QString());
        EXPECT_EQ(dialog(t).text(u8("Text2")).text(), QString());
        const QString capacity = dialog(t).combo(u8("Combo3")).text();
        EXPECT_EQ(mainTransformer(t), QStringList({"S9-M", "", "", capacity}));

        // The next computation misses uk and ΔP.
        t.click("Command23");
        const std::pair<const char*, const char*> line[] = {
            {"Text40", "0.3"}, {"Text41", "0.08"}, {"Text46", "0.9"}, {"Text47", "0.16"},
            {"Text49", "0.6"}, {"Text50", "0.15"}, {"Text48", "0.1"}};
        for (const auto& [field, value] : line)
            t.setText(field, u8(value));
        t.click("Command9");
        ASSERT_EQ(t.platform().messages.size(), 1U);
        EXPECT_EQ(t.platform().messages.front().text, u8("已知数据未输全，请检查： "));
        EXPECT_EQ(t.text("Text42"), QString());
    }
}

TEST(TransformerDialog, TypedTextRunsNoStep) {
    const std::pair<const char*, const char*> typed[] = {
        {"Combo1", "S9-M"}, {"Combo2", "6"}, {"Combo3", "400"}};
    for (const auto& [list, text] : typed) {
        SCOPED_TRACE(list);
        TestApp t;
        t.click("Command22");
        ASSERT_EQ(userType(dialog(t).combo(u8(list)), u8(text)), QString());
        EXPECT_EQ(mainTransformer(t), QStringList({"S11-M", "4", "0.63", "30"}));
        EXPECT_EQ(dialog(t).combo(u8("Combo2")).items(), QStringList({"10", "6"}));
        EXPECT_EQ(dialog(t).combo(u8("Combo3")).items(), kS11Capacities);
        EXPECT_EQ(dialog(t).text(u8("Text2")).text(), u8("0.63"));
    }
}

TEST(TransformerDialog, SecondPressShowsTheSameDialogAndOkOnlyCloses) {
    TestApp t;
    t.click("Command22");
    chooseTransformer(t, u8("S9-M"), u8("10"), u8("400"));
    t.click("Command22"); // not loaded again: no first transformer written
    EXPECT_EQ(shown(dialog(t)), QStringList({"S9-M", "10", "400", "4", "4.3"}));
    EXPECT_EQ(mainTransformer(t), QStringList({"S9-M", "4", "4.3", "400"}));
    // Its connection still serves the next choice.
    choose(dialog(t), "Combo3", u8("315"));
    EXPECT_EQ(mainTransformer(t), QStringList({"S9-M", "4", "3.65", "315"}));

    choose(dialog(t), "Combo1", u8("S13-M")); // series only
    t.setText("Text55", u8("typed"));
    ASSERT_EQ(userClick(dialog(t).button(u8("Command1"))), QString());
    EXPECT_FALSE(dialog(t).loaded());
    EXPECT_FALSE(dialog(t).visible());
    EXPECT_EQ(mainTransformer(t), QStringList({"S13-M", "typed", "3.65", "315"}));
}

TEST(TransformerDialog, CaptionFrameAndLabels) {
    TestApp t;
    t.click("Command22");
    Form& form = dialog(t);
    EXPECT_EQ(form.caption(), u8("BYQ▲"));
    const std::pair<const char*, const char*> captions[] = {
        {"Frame1", "变压器参数"},    {"LabelCombo1", "变压器系列"}, {"LabelCombo2", "电压 kV"},
        {"LabelCombo3", "容量 kVA"}, {"LabelText1", "阻抗电压Ud%"}, {"LabelText2", "负载损耗 kW"},
        {"Command1", "确 定"},
    };
    for (const auto& [control, caption] : captions) {
        SCOPED_TRACE(control);
        EXPECT_EQ(form.control(u8(control)).caption(), u8(caption));
    }
    bool note = false;
    for (const auto& control : form.controls())
        note = note || (control->kind() == ControlKind::Label &&
                        control->caption() == u8("D yn11 连接") && control->effectivelyVisible());
    EXPECT_TRUE(note);
    for (const char* list : {"Combo1", "Combo2", "Combo3"})
        EXPECT_TRUE(form.combo(u8(list)).editable()) << list;
}

// A program folder of its own, with the test cable database and information file, and a
// transformer and busbar database made by `makeDatabase`.
class DialogTestFolder {
public:
    explicit DialogTestFolder(const std::function<void(const QString&)>& makeDatabase) {
        EXPECT_TRUE(dir_.isValid());
        const QDir home(testHome());
        QDir().mkpath(dir_.filePath(u8("Database")));
        QDir().mkpath(dir_.filePath(u8("A page")));
        for (const char* file : {"Database/JhxlDlxlss.db", "A page/Software.txt"})
            EXPECT_TRUE(QFile::copy(home.filePath(u8(file)), dir_.filePath(u8(file)))) << file;
        makeDatabase(databasePath());
    }
    QString path() const { return dir_.path(); }
    QString databasePath() const { return dir_.filePath(u8("Database/Byaqi-Muxie.db")); }

private:
    QTemporaryDir dir_;
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void createTables(const QString& path, const QStringList& statements) {
    const QString connection = u8("korvane-test-database-builder");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u8("QSQLITE"), connection);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            EXPECT_TRUE(query.exec(statement)) << statement.toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

const QString kTransformerTable =
    u8("CREATE TABLE 变压器阻抗 (变压器型号 TEXT, 电压 TEXT, 容量 TEXT, 阻抗电压 REAL, "
       "负载损耗 REAL)");
const QString kBusbarTable =
    u8("CREATE TABLE 低压母线单位长度阻抗 (母线材质 TEXT, 截面 TEXT, 相线电阻 REAL, "
       "相线电抗 REAL, 相保电阻 REAL, 相保电抗 REAL)");

// The worked example's fields besides S″s (Combo18).
const std::pair<const char*, const char*> kWorkedExample[] = {
    {"Text55", "4"},    {"Text56", "4.3"},  {"Text57", "400"}, {"Text58", "0.025"},
    {"Text59", "0.15"}, {"Text60", "0.05"}, {"Text61", "0.3"}, {"Text62", "5"},
    {"Text40", "0.3"},  {"Text41", "0.08"}, {"Text46", "0.9"}, {"Text47", "0.16"},
    {"Text49", "0.6"},  {"Text50", "0.15"}, {"Text48", "0.1"}};

TEST(TransformerAndBusbarDatabase, AMissingBrokenOrEmptyDatabaseClosesTheDialogWithAMessage) {
    struct Broken {
        const char* what;
        std::function<void(const QString&)> make;
        bool namesTable; // besides the file
    };
    const Broken kinds[] = {
        {"no file", [](const QString&) {}, false},
        {"not a database",
         [](const QString& path) { writeFile(path, QByteArray(2048, 'x') + "\nnot sqlite\n"); },
         false},
        {"a database without tables", [](const QString& path) { writeFile(path, {}); }, true},
        {"tables without rows",
         [](const QString& path) {
             createTables(path, {kTransformerTable, kBusbarTable});
         },
         true},
    };
    const struct {
        const char* button;
        const char* dialog;
        const char* table;
    } dialogs[] = {{"Command22", "BYQForm8", "变压器阻抗"},
                   {"Command23", "MXForm9", "低压母线单位长度阻抗"}};
    const char* const mainFields[] = {"Text53", "Text55", "Text56", "Text57", "Text58", "Text59",
                                      "Text60", "Text61", "Text62", "Text74", "Text9"};
    for (const Broken& kind : kinds) {
        for (const auto& d : dialogs) {
            SCOPED_TRACE(::testing::Message() << kind.what << ", " << d.dialog);
            DialogTestFolder folder(kind.make);
            TestApp t(folder.path());
            ASSERT_TRUE(t.form().loaded());
            QStringList before;
            for (const char* field : mainFields)
                before << t.text(field);

            t.click(d.button);
            Form& form = t.app().form(u8(d.dialog));
            EXPECT_FALSE(form.loaded());
            EXPECT_FALSE(form.visible());
            ASSERT_EQ(t.platform().messages.size(), 1U);
            const RecordedMessage& m = t.platform().messages.front();
            EXPECT_EQ(m.icon, MessageIcon::Critical);
            EXPECT_TRUE(m.text.contains(u8("Byaqi-Muxie.db"))) << m.text.toStdString();
            if (kind.namesTable) {
                EXPECT_TRUE(m.text.contains(u8(d.table))) << m.text.toStdString();
            }
            QStringList after;
            for (const char* field : mainFields)
                after << t.text(field);
            EXPECT_EQ(after, before);

            // The program runs on: the button tries again, the page still computes.
            t.click(d.button);
            EXPECT_EQ(t.platform().messages.size(), 2U);
            EXPECT_FALSE(t.app().ended());
            EXPECT_TRUE(t.platform().endStatuses.empty());
            for (const auto& [field, value] : kWorkedExample)
                t.setText(field, u8(value));
            ASSERT_EQ(userSelect(t.combo("Combo18"), t.combo("Combo18").indexOf(u8("100"))),
                      QString());
            t.click("Command9");
            EXPECT_EQ(t.text("Text42"), u8("5.3509"));
        }
    }
}

} // namespace
} // namespace korvane::testing
