// "Word计算书" on pages 0 and 1: a new file per click, named after the book and the moment, never
// over another one; the book opened with the desktop; failures to write or open reported.

#include "reports/book_commands.h"
#include "reports/zip_reading.h"
#include "support/test_app.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <string>

namespace korvane::testing {
namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString documentXmlOf(const QString& path) {
    return QString::fromUtf8(zipEntry(readFile(path), "word/document.xml").value_or(QByteArray()));
}

TEST(BookCommands, FileNamesCarryTitleDateTimeAndSerial) {
    const QDateTime at(QDate(2026, 12, 8), QTime(9, 30, 15));
    struct Case {
        const char* title;
        QDateTime at;
        int serial;
        const char* name;
    };
    const Case cases[] = {
        {"电压损失计算书", at, 1, "电压损失计算书_20261208_093015.docx"},
        {"电压损失计算书", at, 2, "电压损失计算书_20261208_093015_2.docx"},
        {"低压配电线路短路电流计算书", at, 3, "低压配电线路短路电流计算书_20261208_093015_3.docx"},
        {"电压损失计算书", QDateTime(QDate(2027, 1, 2), QTime(23, 4, 5)), 1,
         "电压损失计算书_20270102_230405.docx"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bookFileName(u8(c.title), c.at, c.serial).toStdString(), c.name);
}

class BookCommandsInFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temporary.isValid());
        folder = QDir(temporary.path()).filePath(u8("计算书/新建")); // not there yet
        t.app().setBooksFolder(folder);
    }

    QString pathOf(const char* name) const { return QDir(folder).filePath(u8(name)); }

    QTemporaryDir temporary;
    QString folder;
    TestApp t;
};

TEST_F(BookCommandsInFolder, EachClickWritesANewBookAndOpensIt) {
    t.click("Command2");
    ASSERT_EQ(t.platform().openedDocuments.size(), 1U);
    const QString first = pathOf("电压损失计算书_20261208_093015.docx");
    EXPECT_EQ(t.platform().openedDocuments[0], first);
    const QByteArray firstBytes = readFile(first);
    ASSERT_FALSE(firstBytes.isEmpty());

    t.setText("Text4", u8("200")); // the second book differs from the first
    t.click("Command2");
    t.click("Command21");
    t.click("Command2");
    EXPECT_EQ(t.platform().openedDocuments,
              (std::vector<QString>{first, pathOf("电压损失计算书_20261208_093015_2.docx"),
                                    pathOf("低压配电线路短路电流计算书_20261208_093015.docx"),
                                    pathOf("电压损失计算书_20261208_093015_3.docx")}));
    EXPECT_EQ(readFile(first), firstBytes) << "the first book is not touched by later ones";
    EXPECT_TRUE(documentXmlOf(pathOf("电压损失计算书_20261208_093015_2.docx"))
                    .contains(u8(" 负荷计算电流:  I = 200(A)")));
    EXPECT_TRUE(t.platform().messages.empty());
    EXPECT_FALSE(t.app().ended());
}

TEST_F(BookCommandsInFolder, TheDateIsWrittenWithoutTheTime) {
    t.click("Command21");
    ASSERT_EQ(t.platform().openedDocuments.size(), 1U);
    const QString xml = documentXmlOf(t.platform().openedDocuments[0]);
    EXPECT_TRUE(xml.contains(u8(">计算时间:2026/12/8</w:t>")));
    EXPECT_FALSE(xml.contains(u8("9:30")));
}

// Both back ends get the book's title and the moment it was written from the platform's clock.
TEST_F(BookCommandsInFolder, BooksCarryTheirTitleAndTheMomentAsProperties) {
    t.platform().clock = QDateTime(QDate(2026, 12, 8), QTime(9, 30, 15), QTimeZone::utc());
    struct Case {
        BookKind kind;
        const char* button;
        const char* title;
    };
    const Case cases[] = {{BookKind::VoltageLoss, "Command2", "电压损失计算书"},
                          {BookKind::ShortCircuit, "Command21", "低压配电线路短路电流计算书"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const ComposedBook composed = composeBook(t.app(), t.form(), c.kind);
        ASSERT_TRUE(composed.document);
        EXPECT_EQ(composed.document->properties(),
                  (DocumentProperties{u8(c.title), QString(), t.platform().clock}));

        t.platform().openedDocuments.clear();
        t.click(c.button);
        ASSERT_EQ(t.platform().openedDocuments.size(), 1U);
        const QString core = QString::fromUtf8(
            zipEntry(readFile(t.platform().openedDocuments[0]), "docProps/core.xml")
                .value_or(QByteArray()));
        EXPECT_TRUE(core.contains(u8("<dc:title>") + u8(c.title) + u8("</dc:title>")))
            << core.toStdString();
        EXPECT_TRUE(core.contains(u8(">2026-12-08T09:30:15Z</dcterms:created>")))
            << core.toStdString();
        EXPECT_FALSE(core.contains(u8("dc:creator"))) << "no engineer, no author";
    }
}

TEST_F(BookCommandsInFolder, ANameAlreadyTakenIsSkipped) {
    // Whatever holds the name, a file of the user's or a folder, stays as it is.
    ASSERT_TRUE(QDir().mkpath(pathOf("电压损失计算书_20261208_093015.docx")));
    QFile mine(pathOf("电压损失计算书_20261208_093015_2.docx"));
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("mine");
    mine.close();

    t.click("Command2");
    EXPECT_EQ(t.platform().openedDocuments,
              std::vector<QString>{pathOf("电压损失计算书_20261208_093015_3.docx")});
    EXPECT_EQ(readFile(mine.fileName()), QByteArray("mine"));
}

TEST_F(BookCommandsInFolder, ABookThatCannotBeOpenedIsReportedWithItsPlace) {
    t.platform().openSucceeds = false;
    t.click("Command2");
    const QString path = pathOf("电压损失计算书_20261208_093015.docx");
    EXPECT_TRUE(QFile::exists(path));
    ASSERT_EQ(t.platform().messages.size(), 1U);
    const RecordedMessage& m = t.platform().messages[0];
    EXPECT_EQ(m.icon, MessageIcon::Information);
    EXPECT_EQ(m.title, u8("Korvane"));
    EXPECT_EQ(m.text,
              u8("计算书已写入，但未能打开，请自行打开：\r\n") + QDir::toNativeSeparators(path));
}

TEST_F(BookCommandsInFolder, AnUnwritableFolderIsReportedAndTheWindowStaysUsable) {
    // A file stands where the folder would have to be created.
    const QString blocker = QDir(temporary.path()).filePath(u8("file"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString unwritable = QDir(blocker).filePath(u8("计算书"));
    t.app().setBooksFolder(unwritable);

    for (const char* button : {"Command2", "Command21"}) {
        SCOPED_TRACE(button);
        t.platform().messages.clear();
        t.click(button);
        ASSERT_EQ(t.platform().messages.size(), 1U);
        const RecordedMessage& m = t.platform().messages[0];
        EXPECT_EQ(m.icon, MessageIcon::Warning);
        EXPECT_EQ(m.title, u8("Korvane"));
        EXPECT_EQ(m.text, u8("计算书未能写入：\r\n") + QDir::toNativeSeparators(unwritable));
        EXPECT_TRUE(t.platform().openedDocuments.empty());
    }

    t.app().setBooksFolder(folder);
    t.click("Command2");
    EXPECT_EQ(t.platform().openedDocuments.size(), 1U);
    EXPECT_FALSE(t.app().ended());
}

TEST_F(BookCommandsInFolder, ShortCircuitLoopsOnlyWhenThePageCanCompute) {
    // The page's worked example: 5.3509 kA three-phase at the line end.
    const std::pair<const char*, const char*> fields[] = {
        {"Text55", "4"},    {"Text56", "4.3"},  {"Text57", "400"}, {"Text58", "0.025"},
        {"Text59", "0.15"}, {"Text60", "0.05"}, {"Text61", "0.3"}, {"Text62", "5"},
        {"Text40", "0.3"},  {"Text41", "0.08"}, {"Text46", "0.9"}, {"Text47", "0.16"},
        {"Text49", "0.6"},  {"Text50", "0.15"}, {"Text48", "0.1"},
    };
    t.combo("Combo18").setText(u8("100"));
    for (const auto& [name, text] : fields)
        t.setText(name, u8(text));
    t.click("Command21");
    t.setText("Text49", QString()); // only the page's phase-to-neutral loop needs it
    t.click("Command21");
    ASSERT_EQ(t.platform().openedDocuments.size(), 2U);

    const QString complete = documentXmlOf(t.platform().openedDocuments[0]);
    const QString incomplete = documentXmlOf(t.platform().openedDocuments[1]);
    for (const char* text :
         {">   I″k3 = 5.3509 (kA)<", ">   Id = 2.1826 (kA)<", ">   I″k1 = 3.0321 (kA)<"}) {
        EXPECT_TRUE(complete.contains(u8(text))) << text;
        EXPECT_FALSE(incomplete.contains(u8(text))) << text;
    }
    EXPECT_TRUE(incomplete.contains(u8(">   Xphpt = 15.334399<")));
}

TEST(BookCommands, DefaultFolderIsKorvaneBooksInTheDocuments) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = defaultBooksFolder();
    EXPECT_TRUE(folder.endsWith(u8("/Korvane计算书"))) << folder.toStdString();
    if (!documents.isEmpty()) {
        EXPECT_EQ(QDir(folder).absolutePath(),
                  QDir(documents).absoluteFilePath(u8("Korvane计算书")));
    }
}

} // namespace
} // namespace korvane::testing
