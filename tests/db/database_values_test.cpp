// Values of a user's own database that are no usable figures: texts in another number form,
// infinities and magnitudes no table holds are treated like missing values, in the lookups too.

#include "app/program_folder.h"
#include "base/number_format.h"
#include "db/database.h"
#include "support/test_app.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

void makeDatabase(const QString& path, const QStringList& statements) {
    const QString connection = u8("korvane-test-database-values");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u8("QSQLITE"), connection);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            EXPECT_TRUE(query.exec(statement)) << statement.toStdString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

// One cable per kind of stored value; 电抗 is always sane, so only 电阻 decides.
const char* const kCableRows = "INSERT INTO AAA VALUES "
                               "('测试', '电缆', 'real', 0.387, 0.08), "
                               "('测试', '电缆', 'integer', 2, 0.08), "
                               "('测试', '电缆', 'point text', '0.387', 0.08), "
                               "('测试', '电缆', 'comma text', '0,387', 0.08), "
                               "('测试', '电缆', 'grouped text', '1,234', 0.08), "
                               "('测试', '电缆', 'infinity', 9e999, 0.08), "
                               "('测试', '电缆', 'minus infinity', -9e999, 0.08), "
                               "('测试', '电缆', 'huge', 1e308, 0.08), "
                               "('测试', '电缆', 'huge integer', 9000000000000000000, 0.08), "
                               "('测试', '电缆', 'huge text', '1e308', 0.08), "
                               "('测试', '电缆', 'blob', X'302E333837', 0.08), "
                               "('测试', '电缆', 'word', 'Inf', 0.08)";

struct Stored {
    const char* crossSection;
    const char* point; // text of 电阻 under '.' as the decimal sign; empty: missing
    const char* comma; // the same under ',' as the decimal sign
};
const Stored kStored[] = {
    {"real", "0.387", "0,387"}, {"integer", "2", "2"},    {"point text", "0.387", "0,387"},
    {"comma text", "", ""},     {"grouped text", "", ""}, {"infinity", "", ""},
    {"minus infinity", "", ""}, {"huge", "", ""},         {"huge integer", "", ""},
    {"huge text", "", ""},      {"blob", "", ""},         {"word", "", ""},
};

class UserCableDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        folder_.write(u8("Database/.keep"), {});
        makeDatabase(
            folder_.cableDatabasePath(),
            // 电阻 without a declared type keeps every value as stored.
            {u8("CREATE TABLE AAA (损失类型 TEXT, 导线类型 TEXT, 导线截面 TEXT, 电阻, 电抗 REAL)"),
             u8(kCableRows)});
    }
    ProgramFolder folder_{ProgramFolder::CableDatabase::Missing};
};

TEST_F(UserCableDatabase, ValuesThatAreNoFiguresReadAsMissing) {
    Database db(folder_.cableDatabasePath());
    ASSERT_EQ(db.open(u8("AAA")), QString());
    for (const Stored& s : kStored) {
        SCOPED_TRACE(s.crossSection);
        const QueryResult found =
            db.query(u8("SELECT 电阻 FROM AAA WHERE 导线截面 = ?"), {u8(s.crossSection)});
        ASSERT_EQ(found.rows.size(), 1U);
        EXPECT_EQ(databaseNumberText(found.rows.front().value(0)), u8(s.point));
        EXPECT_EQ(databaseNumber(found.rows.front().value(0)).has_value(), *s.point != '\0');
    }
}

TEST_F(UserCableDatabase, TheLookupLeavesRAndXEmptyForThem) {
    const RegionalFormat saved = regionalFormat();
    for (const bool comma : {false, true}) {
        setRegionalFormat(comma ? RegionalFormat{u',', u'.', 3} : RegionalFormat{});
        TestApp t(folder_.path());
        ASSERT_TRUE(t.form().loaded());
        t.select("Combo1", u8("测试"));
        t.select("Combo2", u8("电缆"));
        for (const Stored& s : kStored) {
            SCOPED_TRACE(::testing::Message() << s.crossSection << (comma ? " (comma)" : ""));
            t.select("Combo3", u8(s.crossSection));
            const QString r = u8(comma ? s.comma : s.point);
            EXPECT_EQ(t.text("Text1"), r);
            EXPECT_EQ(t.text("Text2"), r.isEmpty() ? QString() : u8(comma ? "0,08" : "0.08"));
        }
    }
    setRegionalFormat(saved);
}

TEST(UserTransformerDatabase, AnImpedanceVoltageWrittenWithACommaIsMissing) {
    ProgramFolder folder;
    folder.write(u8("Database/.keep"), {});
    makeDatabase(
        folder.filePath(u8("Database/Byaqi-Muxie.db")),
        {u8("CREATE TABLE 变压器阻抗 (变压器型号 TEXT, 电压 TEXT, 容量 TEXT, 阻抗电压 REAL, "
            "负载损耗 REAL)"),
         u8("INSERT INTO 变压器阻抗 VALUES ('S9', '10', '400', '4,0', 4.3), "
            "('S9', '10', '31.5', 4, 9e999), ('S9', '10', '500', '4.5', '5.1')")});
    struct Row {
        const char* capacity;
        const char* uk;
        const char* loss;
        const char* shownCapacity; // in the main window
    };
    const Row rows[] = {
        {"400", "", "4,3", "400"}, {"31.5", "4", "", "31,5"}, {"500", "4,5", "5,1", "500"}};
    const RegionalFormat saved = regionalFormat();
    setRegionalFormat(RegionalFormat{u',', u'.', 3});
    TestApp t(folder.path());
    t.click("Command22");
    ComboBox& capacities = t.app().form(u8("BYQForm8")).combo(u8("Combo3"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.capacity);
        ASSERT_EQ(userSelect(capacities, capacities.indexOf(u8(row.capacity))), QString());
        EXPECT_EQ(t.text("Text55"), u8(row.uk));
        EXPECT_EQ(t.text("Text56"), u8(row.loss));
        EXPECT_EQ(t.text("Text57"), u8(row.shownCapacity));
    }
    setRegionalFormat(saved);
}

} // namespace
} // namespace korvane::testing
