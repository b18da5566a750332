// Seeded mutation runs of what reads files an engineer may hand the program: the project-file
// reader and the circuit-list importers (CSV and .xlsx). Each seed of tests/fuzz/corpus (and the
// .xlsx fixtures of the import tests) is mutated the same way on every run (a fixed seed of the
// generator), so a failure names the round that reproduces it. Whatever the bytes, a reader
// either refuses with a reason or gives what it read, never crashes, hangs or reads past its
// input; the sanitizer build runs the same rounds. KORVANE_FUZZ_ROUNDS sets the rounds per seed
// (default 300, a bounded run of seconds).

#include "project/project_fixtures.h"
#include "project_files/imports/circuit_import.h"
#include "project_files/project_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <random>

namespace korvane::testing {
namespace {

int rounds() {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("KORVANE_FUZZ_ROUNDS", &ok);
    return ok && n > 0 ? n : 300;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList seeds(const QString& folder, const QString& pattern) {
    QStringList paths;
    for (const QString& name : QDir(folder).entryList({pattern}, QDir::Files, QDir::Name))
        paths << QDir(folder).filePath(name);
    return paths;
}

const QString kCorpus = QStringLiteral(KORVANE_SOURCE_DIR "/tests/fuzz/corpus");

// Byte-level and token-level changes of the kinds that break readers: flipped and inserted
// bytes, cut and repeated ranges, and values no file should hold put where values stand.
class Mutator {
public:
    explicit Mutator(unsigned seed) : random_(seed) {}

    QByteArray mutate(QByteArray bytes) {
        const int changes = 1 + int(pick(4));
        for (int i = 0; i < changes; ++i)
            once(bytes);
        return bytes;
    }

private:
    size_t pick(size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(random_);
    }

    void once(QByteArray& b) {
        static const std::array<const char*, 16> kTokens = {"1e308",
                                                            "-1e308",
                                                            "-0",
                                                            "NaN",
                                                            "null",
                                                            "\"\"",
                                                            "[]",
                                                            "{}",
                                                            "\"\\u0001\"",
                                                            "\"\\ud800\"",
                                                            "99999999999999999999",
                                                            ",,,,",
                                                            "\"三十\"",
                                                            "\r\n",
                                                            "\t",
                                                            "\""};
        const size_t at = pick(size_t(b.size()) + 1);
        switch (pick(7)) {
        case 0: // flip a byte
            if (!b.isEmpty())
                b[qsizetype(pick(size_t(b.size())))] ^= char(1 << pick(8));
            break;
        case 1: // insert a few random bytes
            for (size_t n = 1 + pick(8); n > 0; --n)
                b.insert(qsizetype(at), char(pick(256)));
            break;
        case 2: // cut a range
            b.remove(qsizetype(at), qsizetype(pick(64)));
            break;
        case 3: { // repeat a range
            const QByteArray part = b.mid(qsizetype(at), qsizetype(1 + pick(256)));
            b.insert(qsizetype(pick(size_t(b.size()) + 1)), part.repeated(int(1 + pick(4))));
            break;
        }
        case 4: // truncate
            b.truncate(qsizetype(at));
            break;
        case 5: { // a hostile token in place of the next value
            const qsizetype colon = b.indexOf(':', qsizetype(at));
            const qsizetype where = colon < 0 ? qsizetype(at) : colon + 1;
            const qsizetype end = b.indexOf(',', where);
            if (end > where && end - where < 40)
                b.replace(where, end - where, kTokens[pick(kTokens.size())]);
            else
                b.insert(where, kTokens[pick(kTokens.size())]);
            break;
        }
        default: // a field separator or quote of CSV
            b.insert(qsizetype(at), "\";,\n"[pick(4)]);
            break;
        }
    }

    std::mt19937 random_;
};

// The project-file reader on mutated project files. What it reads it can write, and what it
// writes it reads again without an error: nothing it accepted is left unwritable.
TEST(ReadersFuzz, TheProjectFileReaderRefusesOrReadsAnyBytes) {
    const QStringList files = seeds(kCorpus, QStringLiteral("*.kvp"));
    ASSERT_FALSE(files.isEmpty());
    int read = 0;
    for (const QString& path : files) {
        const QByteArray seed = readAll(path);
        ASSERT_FALSE(seed.isEmpty()) << path.toStdString();
        Mutator mutator(20261209u);
        for (int round = 0; round < rounds(); ++round) {
            const QByteArray bytes = mutator.mutate(seed);
            const ProjectReading reading = projectFromJson(bytes);
            if (!reading.error.isEmpty())
                continue;
            ++read;
            const ProjectReading again = projectFromJson(projectToJson(reading.project));
            EXPECT_EQ(again.error, QString())
                << QDir(path).dirName().toStdString() << " round " << round;
            EXPECT_EQ(again.project.circuits.size(), reading.project.circuits.size())
                << QDir(path).dirName().toStdString() << " round " << round;
        }
    }
    // The mutations are small enough that many files still parse: the reader's value checks,
    // not only its syntax check, are exercised.
    EXPECT_GT(read, rounds() / 10);
}

// The CSV importer on mutated circuit lists: imported or refused with a reason, all or nothing.
TEST(ReadersFuzz, TheCsvImporterRefusesOrImportsAnyBytes) {
    const QStringList files = seeds(kCorpus, QStringLiteral("*.csv"));
    ASSERT_FALSE(files.isEmpty());
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("list.csv"));
    for (const QString& path : files) {
        const QByteArray seed = readAll(path);
        Mutator mutator(7u);
        for (int round = 0; round < rounds(); ++round) {
            QFile out(target);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            out.write(mutator.mutate(seed));
            out.close();
            const CircuitImport imported = importCircuits(target, vvCatalogue());
            if (imported.ok) {
                EXPECT_FALSE(imported.circuits.empty()) << round;
            } else {
                EXPECT_TRUE(imported.circuits.empty() && !imported.problems.isEmpty()) << round;
            }
        }
    }
}

struct ZipDeleter {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

// The entries of an .xlsx package, by name.
std::vector<std::pair<QString, QByteArray>> unzip(const QByteArray& bytes) {
    std::vector<std::pair<QString, QByteArray>> entries;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    std::unique_ptr<zip_t, ZipDeleter> archive(
        source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr);
    zip_error_fini(&error);
    if (!archive) {
        zip_source_free(source);
        return entries;
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive.get(), zip_uint64_t(i), 0, &stat) != 0)
            continue;
        zip_file_t* file = zip_fopen_index(archive.get(), zip_uint64_t(i), 0);
        if (!file)
            continue;
        QByteArray data(qsizetype(stat.size), '\0');
        const zip_int64_t got = zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        if (got == zip_int64_t(stat.size))
            entries.emplace_back(QString::fromUtf8(stat.name), data);
    }
    return entries;
}

// Writes the entries as a package at `path`.
bool zipTo(const QString& path, const std::vector<std::pair<QString, QByteArray>>& entries) {
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto& [name, data] : entries) {
        zip_source_t* source =
            zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
        if (!source ||
            zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

// The .xlsx importer on workbooks whose XML parts are mutated inside a valid package (a byte
// changed in the zip itself is refused by its checksum before any XML is read).
TEST(ReadersFuzz, TheXlsxImporterRefusesOrImportsAnyWorkbookXml) {
    const QString fixtures = QStringLiteral(KORVANE_SOURCE_DIR "/tests/project/data");
    const QStringList files = {QDir(fixtures).filePath(QStringLiteral("circuits_openpyxl.xlsx")),
                               QDir(fixtures).filePath(QStringLiteral("circuits_shared.xlsx"))};
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("list.xlsx"));
    for (const QString& path : files) {
        const auto entries = unzip(readAll(path));
        ASSERT_FALSE(entries.empty()) << path.toStdString();
        Mutator mutator(11u);
        std::mt19937 choose(3u);
        for (int round = 0; round < rounds(); ++round) {
            auto mutated = entries;
            // The sheets and the shared strings are what the reader parses.
            std::vector<size_t> xml;
            for (size_t i = 0; i < mutated.size(); ++i)
                if (mutated[i].first.endsWith(QLatin1String(".xml")))
                    xml.push_back(i);
            auto& [name, data] =
                mutated[xml[std::uniform_int_distribution<size_t>(0, xml.size() - 1)(choose)]];
            data = mutator.mutate(data);
            ASSERT_TRUE(zipTo(target, mutated)) << round;
            const CircuitImport imported = importCircuits(target, vvCatalogue());
            if (!imported.ok) {
                EXPECT_TRUE(imported.circuits.empty() && !imported.problems.isEmpty())
                    << name.toStdString() << " round " << round;
            }
        }
    }
}

} // namespace
} // namespace korvane::testing
