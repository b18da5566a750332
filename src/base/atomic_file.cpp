#include "base/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace korvane {

namespace {

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Eight characters of [0-9a-z]: 36⁸ ≈ 2.8 × 10¹² names, so that two writers in one folder
// practically never meet; a name that exists all the same is drawn again.
QString randomCharacters() {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    QString drawn;
    for (int i = 0; i < 8; ++i)
        drawn += QLatin1Char(kDigits[QRandomGenerator::global()->bounded(36)]);
    return drawn;
}

// Writes all of `bytes`. A short write (the disk full or the file-size limit reached) is not an
// error to the system until the next write, so the rest is tried again until it is written or the
// system says why not.
QString writeWhole(QFile& file, const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString error = file.errorString();
            return error.isEmpty() || file.error() == QFileDevice::NoError
                       ? QStringLiteral("只写入了 %1 / %2 字节").arg(done).arg(bytes.size())
                       : error;
        }
        done += n;
    }
    if (!file.flush())
        return file.errorString();
    return {};
}

// Flushes the written file to the disk; its refusal (a full disk seen only then) counts as a
// failed write too.
QString syncToDisk(const QString& path) {
#ifdef Q_OS_UNIX
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS)
        return systemError();
#else
    Q_UNUSED(path);
#endif
    return {};
}

} // namespace

ReplacingFile::ReplacingFile(const QString& target) {
    // A link is followed to the file it points to, at most 128 links deep (a loop ends there).
    QFileInfo info(target);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    target_ = info.isSymLink() ? QFileInfo(target).absoluteFilePath() : info.absoluteFilePath();
}

ReplacingFile::~ReplacingFile() {
    if (!replaced_ && !path_.isEmpty())
        QFile::remove(path_);
}

QString ReplacingFile::create() {
    const QFileInfo target(target_);
    if (target.exists() && !target.isWritable())
        return QStringLiteral("原文件只读，不能替换");
    const QDir folder = target.absoluteDir();
    for (int attempt = 0; attempt < 16; ++attempt) {
        QFile file(folder.filePath(QStringLiteral(".korvane-") + randomCharacters()));
        // Created only when no file has the name, with the permissions of any new file.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            path_ = file.fileName();
            if (target.exists())
                file.setPermissions(target.permissions());
            return {};
        }
        if (!file.exists())
            return file.errorString();
    }
    return QStringLiteral("无法在文件夹中创建临时文件");
}

QString ReplacingFile::replaceTarget() {
    if (path_.isEmpty())
        return QStringLiteral("临时文件未创建");
    if (const QString why = syncToDisk(path_); !why.isEmpty())
        return why;
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(target_).constData()) !=
        0)
        return QStringLiteral("无法替换原文件：%1").arg(systemError());
    replaced_ = true;
    return {};
}

QString writeFileAtomically(const QString& path, const QByteArray& bytes) {
    ReplacingFile replacing(path);
    if (const QString why = replacing.create(); !why.isEmpty())
        return why;
    // Unbuffered, so that every failing write is seen here and not at an unchecked close.
    QFile file(replacing.path());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return file.errorString();
    const QString why = writeWhole(file, bytes);
    file.close();
    if (!why.isEmpty())
        return why; // the temporary file goes, the target is never touched
    return replacing.replaceTarget();
}

} // namespace korvane
