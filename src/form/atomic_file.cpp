#include "form/atomic_file.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace korvane {

namespace {

// Writes all of `bytes`. A short write (the disk full or the file-size limit reached) is not an
// error to the system until the next write, so the rest is tried again until it is written or the
// system says why not; the temporary file is then flushed to the disk, whose refusal (a full
// disk seen only then) counts as a failed write too.
QString writeWhole(QSaveFile& file, const QByteArray& bytes) {
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
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS)
        return QString::fromLocal8Bit(std::strerror(errno));
#endif
    return {};
}

} // namespace

QString writeFileAtomically(const QString& path, const QByteArray& bytes) {
    // Unbuffered, so that every failing write is seen here and not at an unchecked close.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    const QString why = writeWhole(file, bytes);
    if (!why.isEmpty()) {
        file.cancelWriting(); // the temporary file goes, the target is never touched
        return why;
    }
    if (!file.commit()) {
        const QString error = file.errorString();
        return error.isEmpty() ? QStringLiteral("无法替换原文件") : error;
    }
    return {};
}

} // namespace korvane
