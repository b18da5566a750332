// Saving when the disk takes only part of a file: korvane-cli runs under a small file-size limit
// (SIGXFSZ ignored, so the system answers with a short write and then EFBIG, as a full disk does
// with ENOSPC). Nothing half-written may be left, the old file stays byte for byte, and the user is
// told the file was not saved.

#include "support/cli_run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <string>

#include <sys/resource.h>

#include <gtest/gtest.h>

namespace korvane::testing {
namespace {

struct CliOutcome {
    int status = -1;
    QString out;
};

// Runs korvane-cli over the test program folder, writing books into `out`; `limit` bytes is the
// largest file it may write (0: no limit).
CliOutcome runLimited(const QString& script, const QString& out, rlim_t limit) {
    std::function<void()> inChild;
    if (limit > 0) {
        inChild = [limit] {
            const rlimit size{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &size);
            ::signal(SIGXFSZ, SIG_IGN);
        };
    }
    const CliRun run =
        runCliProgram({QStringLiteral("--home"), QString::fromUtf8(KORVANE_TEST_HOME),
                       QStringLiteral("--out"), out},
                      script.toUtf8(), inChild);
    return {run.status, QString::fromStdString(run.out)};
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray bookScript() {
    return contents(QString::fromUtf8(KORVANE_SOURCE_DIR "/tests/reports/voltage_loss_book.kvs"));
}

TEST(ShortWrite, AFailedSaveLeavesTheOldFileAndSaysSo) {
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("路灯.korvane"));
    const QString books = dir.filePath(QStringLiteral("books"));
    ASSERT_TRUE(QDir().mkpath(books));

    // A calculation file of about 7 KB, written without a limit.
    const CliOutcome first =
        runLimited(QStringLiteral("set Text4 80\nsave %1\n").arg(saved), books, 0);
    ASSERT_EQ(first.status, 0) << first.out.toStdString();
    const QByteArray old = contents(saved);
    ASSERT_GT(old.size(), 4096);

    struct Case {
        const char* what;
        QString script;
        rlim_t limit;
        const char* message;
        QString file; // the file the attempt aimed at; `old` when it was there before
    };
    const Case cases[] = {
        {"saving over a calculation file", QStringLiteral("set Text4 81\nsave %1\n").arg(saved),
         4096, "文件未保存，原有文件保持不变。", saved},
        {"saving a new calculation file",
         QStringLiteral("save %1\n").arg(dir.filePath(QStringLiteral("新.korvane"))), 4096,
         "文件未保存。", dir.filePath(QStringLiteral("新.korvane"))},
        {"writing a calculation book", QString::fromUtf8(bookScript()), 2048, "计算书未能写入", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliOutcome run = runLimited(c.script, books, c.limit);
        ASSERT_EQ(run.status, 0) << run.out.toStdString();
        const QStringList messages = run.out.split(u'\n').filter(QStringLiteral("msgbox\t"));
        ASSERT_EQ(messages.size(), 1) << run.out.toStdString();
        EXPECT_TRUE(messages[0].contains(QString::fromUtf8(c.message)))
            << messages[0].toStdString();
        EXPECT_FALSE(run.out.contains(QStringLiteral("book\t"))) << "no book announced as written";

        EXPECT_EQ(contents(saved), old) << "the old file stays byte for byte";
        if (!c.file.isEmpty() && c.file != saved) {
            EXPECT_FALSE(QFile::exists(c.file));
        }
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QFileInfo(saved).fileName()})
            << "no temporary file is left";
        EXPECT_EQ(QDir(books).entryList(QDir::Files), QStringList()) << "no half-written book";
    }
}

} // namespace
} // namespace korvane::testing
