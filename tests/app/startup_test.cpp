// Start-up of the main window, its failures, and how the program ends.

#include "app/program_folder.h"
#include "support/test_app.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

TEST(Startup, SelectsTheFirstItemOfEveryList) {
    TestApp t;
    struct ListStart {
        const char* list;
        const char* text;
        int count;
    };
    const ListStart lists[] = {
        {"Combo1", "聚氯乙烯绝缘电力电缆(0.6/1kV)", 7},
        {"Combo2", "VV 四芯 铜芯", 2},
        {"Combo4", "0.05", 20},
        {"Combo7", "10", 5},
        {"Combo8", "50", 5},
        {"Combo9", "10", 15},
        {"Combo18", "10", 9},
        {"Combo5", "三相平衡负荷线路", 4},
        {"Combo6", "(1)终段负荷用电流矩(A.km)", 6},
    };
    for (const ListStart& l : lists) {
        SCOPED_TRACE(l.list);
        ComboBox& list = t.combo(l.list);
        EXPECT_EQ(list.text(), u8(l.text));
        EXPECT_EQ(list.listIndex(), 0);
        EXPECT_EQ(list.items().size(), l.count);
        EXPECT_TRUE(list.enabled());
    }
    // The first cable type's cross-sections are listed but none is picked, so R and X stay empty.
    EXPECT_EQ(t.combo("Combo2").items().join(u'|'), u8("VV 四芯 铜芯|VLV 四芯 铝芯"));
    EXPECT_EQ(t.combo("Combo3").items().join(u' '),
              u8("2.5 4 6 10 16 25 35 50 70 95 120 150 185 240"));
    EXPECT_EQ(t.combo("Combo3").listIndex(), -1);
    EXPECT_EQ(t.text("Text1"), QString());
    EXPECT_EQ(t.text("Text2"), QString());
}

TEST(Startup, FixedListsHoldTheirItems) {
    TestApp t;
    auto joined = [&t](const char* list) { return t.combo(list).items().join(u' '); };
    EXPECT_EQ(joined("Combo7"), u8("10 6 0.38 0.22 0.11"));
    EXPECT_EQ(joined("Combo4"), u8("0.05 0.10 0.15 0.20 0.25 0.30 0.35 0.40 0.45 0.50 0.55 0.60 "
                                   "0.65 0.70 0.75 0.80 0.85 0.90 0.95 1.00"));
    EXPECT_EQ(joined("Combo8"), u8("50 60 70 80 90"));
    EXPECT_EQ(joined("Combo9"), u8("10 15 20 25 30 35 40 45 50 55 60 65 70 75 80"));
    // Loss types in the order the cable table holds them; the test rows come last.
    EXPECT_EQ(
        t.combo("Combo1").items(),
        QStringList({u8("聚氯乙烯绝缘电力电缆(0.6/1kV)"), u8("交联聚乙烯绝缘电力电缆(0.6/1kV)"),
                     u8("架空线路"), u8("架空绝缘线路"), u8("穿管绝缘导线"), u8("O'Brien型测试"),
                     u8("测试类型")}));
}

TEST(Startup, SetsTheStartStatesOfTheFields) {
    TestApp t;
    Form& f = t.form();
    EXPECT_TRUE(t.platform().messages.empty());
    EXPECT_TRUE(t.platform().endStatuses.empty());
    EXPECT_TRUE(f.loaded());
    EXPECT_TRUE(t.app().cableDatabase().isOpen());

    // Page 0: only the end-load frame shows; every field is empty, the load switches are on.
    for (int n = 4; n <= 8; ++n) {
        const QString frame = QStringLiteral("Frame%1").arg(n);
        EXPECT_EQ(f.frame(frame).visible(), n == 4) << frame.toStdString();
    }
    for (int n = 1; n <= 34; ++n) {
        if (n == 9)
            continue; // a working field of the dialogs, below the pages
        EXPECT_EQ(f.text(QStringLiteral("Text%1").arg(n)).text(), QString()) << "Text" << n;
    }
    for (int n = 1; n <= 12; ++n) {
        const CheckBox& box = f.check(QStringLiteral("Check%1").arg(n));
        EXPECT_EQ(box.value(), 1) << "Check" << n;
        EXPECT_TRUE(box.enabled()) << "Check" << n;
    }

    // Pages 1 and 2: the single-phase current is switched off, the earth-fault mode is chosen.
    EXPECT_FALSE(f.text(u8("Text75")).enabled());
    EXPECT_EQ(f.text(u8("Text75")).backColor(), colors::kButtonFace);
    EXPECT_FALSE(t.check("Check14").enabled());
    EXPECT_EQ(t.check("Check14").value(), 0);
    EXPECT_EQ(t.check("Check15").value(), 1);
    EXPECT_TRUE(t.check("Check15").enabled());
    EXPECT_TRUE(f.text(u8("Text36")).enabled());
    EXPECT_EQ(t.check("Check13").value(), 0);
    EXPECT_FALSE(f.frame(u8("Frame12")).visible());

    const auto& timer = f.get<Timer>(u8("Timer1"));
    EXPECT_EQ(timer.interval(), 800);
    EXPECT_TRUE(timer.enabled());
}

TEST(Startup, WorkingFieldsOfTheDialogsHoldTheirOwnNames) {
    TestApp t;
    for (const char* name : {"Text55", "Text56", "Text57", "Text58", "Text59", "Text60", "Text61",
                             "Text62", "Text9", "Text74"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(t.text(name), u8(name));
        EXPECT_EQ(t.form().control(u8(name)).page(), -1); // on no page of the tab control
    }
}

TEST(Startup, InformationFileFillsTheAboutPage) {
    QFile file(QDir(testHome()).filePath(u8("A page/Software.txt")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // The shipped file is UTF-8 with CR LF after every line, so the page shows it unchanged.
    const QString expected = QString::fromUtf8(file.readAll());
    ASSERT_TRUE(expected.endsWith(u8("\r\n")));
    ASSERT_TRUE(expected.startsWith(u8("Korvane ")));

    TestApp t;
    EXPECT_EQ(t.form().get<RichTextBox>(u8("RichTextBox1")).text(), expected);
}

// Writes an SQLite database at `path` that holds one table, not the cable table.
void writeDatabaseWithoutCableTable(const QString& path) {
    const QString connection = u8("startup-test-other-table");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u8("QSQLITE"), connection);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(u8("CREATE TABLE BBB (损失类型 TEXT, 电阻 REAL)")));
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

TEST(Startup, EndsWithStatusOneWithoutAUsableCableDatabase) {
    enum class Make { Nothing, TextFile, EmptyFile, OtherTable, Folder };
    struct BadDatabase {
        const char* what;
        Make make;
    };
    const BadDatabase cases[] = {
        {"missing file", Make::Nothing},
        {"not an SQLite database", Make::TextFile},
        {"empty file", Make::EmptyFile},
        {"database without table AAA", Make::OtherTable},
        {"a folder in place of the file", Make::Folder},
    };
    for (const BadDatabase& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder folder(ProgramFolder::CableDatabase::Missing);
        folder.writeInformationFile("Korvane\r\n");
        const QString dbPath = folder.cableDatabasePath();
        switch (c.make) {
        case Make::Nothing:
            break;
        case Make::TextFile:
            folder.write(u8("Database/JhxlDlxlss.db"),
                         "损失类型,导线类型\r\nthis is no database\r\n");
            break;
        case Make::EmptyFile:
            folder.write(u8("Database/JhxlDlxlss.db"), {});
            break;
        case Make::OtherTable:
            QDir().mkpath(folder.filePath(u8("Database")));
            writeDatabaseWithoutCableTable(dbPath);
            break;
        case Make::Folder:
            QDir().mkpath(dbPath);
            break;
        }

        TestApp t(folder.path());
        const auto& messages = t.platform().messages;
        ASSERT_EQ(messages.size(), 1U);
        EXPECT_EQ(messages[0].icon, MessageIcon::Critical);
        EXPECT_EQ(messages[0].title, u8("Korvane"));
        EXPECT_TRUE(messages[0].text.contains(QDir::toNativeSeparators(dbPath)))
            << messages[0].text.toStdString();
        EXPECT_FALSE(t.form().loaded());
        EXPECT_EQ(t.platform().endStatuses, std::vector<int>{1});
        EXPECT_EQ(t.app().exitStatus(), 1);
        EXPECT_FALSE(t.app().cableDatabase().isOpen());
    }
}

TEST(Startup, CompletesWithANoteWhenTheInformationFileCannotBeRead) {
    struct BadInformationFile {
        const char* what;
        bool folderInPlaceOfFile;
    };
    const BadInformationFile cases[] = {{"missing", false}, {"a folder, not a file", true}};
    for (const BadInformationFile& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder folder;
        if (c.folderInPlaceOfFile)
            QDir().mkpath(folder.filePath(u8("A page/Software.txt")));

        TestApp t(folder.path());
        EXPECT_TRUE(t.platform().messages.empty());
        EXPECT_TRUE(t.platform().endStatuses.empty());
        EXPECT_TRUE(t.form().loaded());
        EXPECT_EQ(t.combo("Combo1").items().size(), 7);
        EXPECT_EQ(t.combo("Combo3").items().size(), 14);
        EXPECT_EQ(t.combo("Combo6").items().size(), 6);
        EXPECT_EQ(t.form().get<Timer>(u8("Timer1")).interval(), 800);
        const QString about = t.form().get<RichTextBox>(u8("RichTextBox1")).text();
        EXPECT_TRUE(about.startsWith(u8("未找到软件信息文件"))) << about.toStdString();
        EXPECT_TRUE(about.contains(u8("Software.txt"))) << about.toStdString();
    }
}

TEST(Startup, EmptyInformationFileLeavesTheAboutPageEmpty) {
    ProgramFolder folder;
    folder.writeInformationFile({});
    TestApp t(folder.path());
    EXPECT_TRUE(t.form().loaded());
    EXPECT_TRUE(t.platform().endStatuses.empty());
    EXPECT_EQ(t.form().get<RichTextBox>(u8("RichTextBox1")).text(), QString());
}

TEST(Shutdown, ExitButtonsEndTheProgramAtOnceWithStatusZero) {
    for (const char* button : {"Command3", "Command11", "Command30"}) {
        SCOPED_TRACE(button);
        TestApp t;
        t.click(button);
        EXPECT_EQ(t.platform().endStatuses, std::vector<int>{0});
        EXPECT_TRUE(t.app().ended());
        EXPECT_TRUE(t.platform().messages.empty()); // no confirmation
        // The program ends without unloading the window.
        EXPECT_TRUE(t.form().loaded());
        EXPECT_TRUE(t.app().cableDatabase().isOpen());
    }
}

TEST(Shutdown, UnloadingTheMainWindowClosesTheCableDatabase) {
    TestApp t;
    ASSERT_TRUE(t.app().cableDatabase().isOpen());
    t.form().unload();
    EXPECT_FALSE(t.app().cableDatabase().isOpen());
    EXPECT_FALSE(t.form().loaded());
    EXPECT_TRUE(t.platform().endStatuses.empty());
    // A window closed by the user takes no more clicks.
    EXPECT_FALSE(userClick(t.form().control(u8("Command1"))).isEmpty());
}

} // namespace
} // namespace korvane::testing
