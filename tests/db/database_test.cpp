// The read-only connection to a database file and the text of the numbers read from it.

#include "db/catalogue_tables.h"
#include "db/database.h"

#include "app/program_folder.h"
#include "support/test_app.h"

#include <QDir>
#include <QFile>

#include <vector>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

QString testCableDatabase() {
    return QDir(testHome()).filePath(u8("Database/JhxlDlxlss.db"));
}

TEST(Database, OpensOnlyAnSQLiteFileHoldingTheTable) {
    ProgramFolder folder(ProgramFolder::CableDatabase::Missing);
    folder.write(u8("text.db"), "no database here\n");
    folder.write(u8("empty.db"), {});
    QDir().mkpath(folder.filePath(u8("folder.db")));
    struct Opening {
        const char* what;
        QString path;
        const char* table;
        const char* why; // empty: opens; nullptr: fails with some reason
    };
    const Opening cases[] = {
        {"the test cable database", testCableDatabase(), "AAA", ""},
        {"a table it lacks", testCableDatabase(), "变压器阻抗", "缺少数据表 变压器阻抗"},
        {"a table name with a quote", testCableDatabase(), "AAA' OR '1'='1",
         "缺少数据表 AAA' OR '1'='1"},
        {"a missing file", folder.filePath(u8("missing.db")), "AAA", "文件不存在"},
        {"a folder", folder.filePath(u8("folder.db")), "AAA", "文件不存在"},
        {"an empty file", folder.filePath(u8("empty.db")), "AAA", "缺少数据表 AAA"},
        {"a text file", folder.filePath(u8("text.db")), "AAA", nullptr},
    };
    for (const Opening& c : cases) {
        SCOPED_TRACE(c.what);
        Database db(c.path);
        const QString why = db.open(u8(c.table));
        if (c.why == nullptr)
            EXPECT_FALSE(why.isEmpty());
        else
            EXPECT_EQ(why, u8(c.why));
        EXPECT_EQ(db.isOpen(), why.isEmpty());
        db.close();
        EXPECT_FALSE(db.isOpen());
        db.close(); // closing twice is harmless
    }
}

TEST(Database, BindsParametersAndNeverWrites) {
    Database db(testCableDatabase());
    ASSERT_EQ(db.open(u8("AAA")), QString());

    const QString lookup = u8("SELECT 电阻, 电抗 FROM AAA WHERE 损失类型 = ? AND 导线类型 = ? "
                              "AND 导线截面 = ?");
    QueryResult found = db.query(lookup, {u8("O'Brien型测试"), u8("VV'22 测试"), u8("35'")});
    ASSERT_TRUE(found.ok) << found.error.toStdString();
    ASSERT_EQ(found.rows.size(), 1U);
    EXPECT_EQ(found.rows[0].value(0).toDouble(), 0.524);
    EXPECT_EQ(found.rows[0].value(1).toDouble(), 0.083);

    // Text that would change the statement if pasted into it is only a value that matches nothing.
    found = db.query(lookup, {u8("x' OR '1'='1"), u8("x"), u8("x")});
    EXPECT_TRUE(found.ok);
    EXPECT_TRUE(found.rows.empty());

    const QueryResult bad = db.query(u8("SELECT nothing FROM AAA"));
    EXPECT_FALSE(bad.ok);
    EXPECT_FALSE(bad.error.isEmpty());

    const QueryResult write =
        db.query(u8("INSERT INTO AAA (损失类型) VALUES (?)"), {u8("不应写入")});
    EXPECT_FALSE(write.ok);
    const QueryResult count =
        db.query(u8("SELECT count(*) FROM AAA WHERE 损失类型 = ?"), {u8("不应写入")});
    ASSERT_TRUE(count.ok);
    EXPECT_EQ(count.rows.at(0).value(0).toInt(), 0);

    db.close();
    const QueryResult closed = db.query(u8("SELECT count(*) FROM AAA"));
    EXPECT_FALSE(closed.ok);
    EXPECT_FALSE(closed.error.isEmpty());
}

TEST(Database, ShippedCableDatabaseHasNoTestRows) {
    Database db(QDir(u8(KORVANE_SHIPPED_HOME)).filePath(u8("Database/JhxlDlxlss.db")));
    ASSERT_EQ(db.open(u8("AAA")), QString());
    const QueryResult rows = db.query(u8("SELECT count(*) FROM AAA WHERE 损失类型 IN (?, ?)"),
                                      {u8("O'Brien型测试"), u8("测试类型")});
    ASSERT_TRUE(rows.ok);
    EXPECT_EQ(rows.rows.at(0).value(0).toInt(), 0);
    // Every shipped cable has both figures.
    const QueryResult gaps =
        db.query(u8("SELECT count(*) FROM AAA WHERE 电阻 IS NULL OR 电抗 IS NULL"));
    ASSERT_TRUE(gaps.ok);
    EXPECT_EQ(gaps.rows.at(0).value(0).toInt(), 0);
}

// Each catalogue table is read whole by its one function, in table order, with its columns in
// the order its enumeration names them. The first rows are those of data/cable_database.sql and
// data/transformer_busbar_database.sql.
TEST(Database, EachCatalogueTableIsReadWholeInTableOrder) {
    const struct {
        const char* file;
        const char* table;
        QueryResult (*read)(const Database&);
        std::vector<const char*> firstRow; // every column, as text
    } catalogues[] = {
        {"Database/JhxlDlxlss.db",
         "AAA",
         readCableTable,
         {"聚氯乙烯绝缘电力电缆(0.6/1kV)", "VV 四芯 铜芯", "2.5", "7.41", "0.1"}},
        {"Database/Byaqi-Muxie.db",
         "变压器阻抗",
         readTransformerTable,
         {"S11-M", "10", "30", "4", "0.63"}},
        {"Database/Byaqi-Muxie.db",
         "低压母线单位长度阻抗",
         readBusbarTable,
         {"铜母线TMY", "4(40X4)", "0.132", "0.212", "0.264", "0.407"}},
    };
    for (const auto& c : catalogues) {
        SCOPED_TRACE(c.table);
        Database db(QDir(u8(KORVANE_SHIPPED_HOME)).filePath(u8(c.file)));
        ASSERT_EQ(db.open(u8(c.table)), QString());
        const QueryResult rows = c.read(db);
        ASSERT_TRUE(rows.ok) << rows.error.toStdString();
        const QueryResult count = db.query(u8("SELECT count(*) FROM ") + u8(c.table));
        EXPECT_EQ(qsizetype(rows.rows.size()), count.rows.at(0).value(0).toLongLong());
        ASSERT_EQ(rows.rows.front().count(), int(c.firstRow.size()));
        for (int i = 0; i < int(c.firstRow.size()); ++i)
            EXPECT_EQ(rows.rows.front().value(i).toString(), u8(c.firstRow[size_t(i)])) << i;
    }
    EXPECT_EQ(int(CableReactance), 4);
    EXPECT_EQ(int(TransformerLoadLoss), 4);
    EXPECT_EQ(int(BusbarLoopReactance), 5);
}

TEST(Database, NumberTextIsTheGeneralFormatOrNothing) {
    struct Number {
        QVariant value;
        const char* text;
    };
    const Number cases[] = {
        {0.387, "0.387"},
        {1.20, "1.2"},
        {2, "2"},
        {0.0, "0"},
        {-0.5, "-0.5"},
        {0.000001, "1E-06"},
        {1.0 / 3.0, "0.333333333333333"},
        {QVariant(), ""},
        {QVariant(QMetaType(QMetaType::Double)), ""}, // NULL of a number column
        {u8("0.5"), "0.5"},                           // a number stored as text
        {u8(" 0.5 "), "0.5"},
        {u8("abc"), ""},
        {u8(""), ""},
    };
    for (const Number& c : cases) {
        SCOPED_TRACE(c.value.toString().toStdString());
        EXPECT_EQ(databaseNumberText(c.value), u8(c.text));
    }
}

} // namespace
} // namespace korvane::testing
