#pragma once

#include <QByteArray>
#include <QString>

namespace korvane {

// Writes the whole file or nothing: the bytes go to a temporary file beside the target, which
// replaces the target only once every byte is written and flushed to the disk. A failed write
// leaves the previous file as it was. Returns an empty string on success, otherwise the reason.
QString writeFileAtomically(const QString& path, const QByteArray& bytes);

// A temporary file beside a target, for a writer (a library writing by file name) whose file is
// to replace the target only when complete. It lies in the target's folder, so that the rename
// replacing the target stays on one file system and is atomic, and its name is short and fixed in
// length (".korvane-" and eight random characters), so that it can be made whatever the length of
// the target's own name, up to the file system's 255 bytes. A symbolic link as the target is
// followed: the file it points to is replaced. The temporary file is removed unless it replaced
// the target.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& target);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file, empty, with the target's permissions (a new target's: those of
    // any new file). Returns the reason when it cannot.
    QString create();
    // The temporary file's path, once created.
    const QString& path() const { return path_; }
    // Flushes the temporary file to the disk and renames it over the target. Returns the reason
    // when either fails; the target is then as it was.
    QString replaceTarget();

private:
    QString target_;
    QString path_;
    bool replaced_ = false;
};

} // namespace korvane
