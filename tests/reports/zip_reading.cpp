#include "reports/zip_reading.h"

#include <zip.h>

#include <memory>

namespace korvane::testing {

namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

std::unique_ptr<zip_t, ArchiveCloser> openArchive(const QByteArray& bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(
        bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &error);
    zip_t* archive =
        source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    if (source != nullptr && archive == nullptr)
        zip_source_free(source);
    zip_error_fini(&error);
    return std::unique_ptr<zip_t, ArchiveCloser>(archive);
}

} // namespace

std::optional<QStringList> zipEntryNames(const QByteArray& bytes) {
    const auto archive = openArchive(bytes);
    if (!archive)
        return std::nullopt;
    QStringList names;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i)
        names << QString::fromUtf8(zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0));
    return names;
}

std::optional<QByteArray> zipEntry(const QByteArray& bytes, const char* name) {
    const auto archive = openArchive(bytes);
    if (!archive)
        return std::nullopt;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive.get(), name, 0, &stat) < 0)
        return std::nullopt;
    zip_file_t* file = zip_fopen(archive.get(), name, 0);
    if (file == nullptr)
        return std::nullopt;
    QByteArray data(static_cast<qsizetype>(stat.size), '\0');
    const zip_int64_t read = zip_fread(file, data.data(), stat.size);
    zip_fclose(file);
    if (read != static_cast<zip_int64_t>(stat.size))
        return std::nullopt;
    return data;
}

} // namespace korvane::testing
