// Files written whole or not at all, through a temporary file beside the target: its name is
// short whatever the target's, so that a target named up to the file system's 255 bytes can be
// written and replaced; the permissions of a replaced file are kept and a link is followed.

#include "base/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace korvane {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A name of exactly 250 bytes in UTF-8: 82 Chinese characters of 3 bytes and ".kvp".
QString longName() {
    const QString name = QString(82, u'路') + QStringLiteral(".kvp");
    EXPECT_EQ(name.toUtf8().size(), 250);
    return name;
}

TEST(AtomicFile, ATargetNamedWith250BytesIsWrittenAndReplaced) {
    QTemporaryDir dir;
    const QString path = dir.filePath(longName());
    ASSERT_EQ(writeFileAtomically(path, "first"), QString());
    EXPECT_EQ(contents(path), QByteArray("first"));
    ASSERT_EQ(writeFileAtomically(path, "second"), QString());
    EXPECT_EQ(contents(path), QByteArray("second"));
    // Nothing is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{longName()});
}

TEST(AtomicFile, TheTemporaryFileIsShortBesideTheTargetAndGoesUnlessItReplaces) {
    QTemporaryDir dir;
    const QString path = dir.filePath(longName());
    {
        ReplacingFile file(path);
        ASSERT_EQ(file.create(), QString());
        const QFileInfo temporary(file.path());
        EXPECT_EQ(temporary.absolutePath(), QFileInfo(path).absolutePath());
        EXPECT_TRUE(temporary.fileName().startsWith(QStringLiteral(".korvane-")));
        EXPECT_EQ(temporary.fileName().toUtf8().size(), 17); // ".korvane-" and 8 characters
        EXPECT_TRUE(temporary.exists());
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::Files | QDir::Hidden)) << "removed when not used";
}

TEST(AtomicFile, AReplacedFileKeepsItsPermissionsAndALinkIsFollowed) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("工程.kvp"));
    ASSERT_EQ(writeFileAtomically(target, "old"), QString());
    const QFile::Permissions readOnlyForOthers =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    ASSERT_TRUE(QFile::setPermissions(target, readOnlyForOthers));
    const QString link = dir.filePath(QStringLiteral("链接.kvp"));
    ASSERT_TRUE(QFile::link(target, link));

    ASSERT_EQ(writeFileAtomically(link, "new"), QString());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(target), QByteArray("new"));
    EXPECT_EQ(QFile::permissions(target), readOnlyForOthers);
}

TEST(AtomicFile, AFolderThatDoesNotExistIsRefusedWithTheReason) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("无此文件夹/工程.kvp"));
    EXPECT_NE(writeFileAtomically(path, "x"), QString());
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
} // namespace korvane
