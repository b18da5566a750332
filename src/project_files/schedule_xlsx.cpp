#include "project_files/schedule_xlsx.h"

#include "base/atomic_file.h"
#include "base/file_text.h"
#include "base/number_format.h"
#include "project/inputs/schedule_columns.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <xlsxwriter.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <tuple>

namespace korvane {

namespace {

// Excel holds at most this many characters in a cell or a comment.
constexpr qsizetype kMaxCellText = 32767;
// The red of a check that did not pass, and the grey of the header row.
constexpr lxw_color_t kFailedFill = 0xFFC7CE;
constexpr lxw_color_t kHeaderFill = 0xD9D9D9;

// The number format of a result column: its decimals, as every output shows them.
QByteArray numberFormatOf(const SchemaColumn& column) {
    if (column.decimals == SchemaColumn::kText)
        return {};
    return column.decimals == 0 ? QByteArray("0") : "0." + QByteArray(column.decimals, '0');
}

// Text as a cell or a comment of the workbook carries it: at most Excel's 32,767 characters (a
// pair of surrogates kept whole), what XML cannot carry replaced, and a "_xHHHH_" of the text
// itself written as "_x005F_xHHHH_": Excel and every reader of its files take "_xHHHH_" in a
// string for the escape of the character U+HHHH (Office Open XML's ST_Xstring), and "_x005F_" for
// the underscore.
QByteArray workbookText(const QString& text) {
    QString kept = text;
    if (kept.size() > kMaxCellText) {
        kept.truncate(kMaxCellText);
        if (kept.back().isHighSurrogate())
            kept.chop(1);
    }
    kept = xmlSafeText(kept);
    if (kept.contains(QLatin1String("_x"), Qt::CaseInsensitive)) {
        static const QRegularExpression escape(QStringLiteral("_(x[0-9A-Fa-f]{4}_)"),
                                               QRegularExpression::CaseInsensitiveOption);
        kept.replace(escape, QStringLiteral("_x005F_\\1"));
    }
    return kept.toUtf8();
}

// The workbook being written, keeping the first error any call reports.
class Workbook {
public:
    explicit Workbook(const QString& path)
        : book_(workbook_new(QFile::encodeName(path).constData())) {}
    ~Workbook() {
        if (book_)
            workbook_close(book_);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    bool opened() const { return book_ != nullptr; }
    const QString& error() const { return error_; }

    lxw_worksheet* addSheet(const QString& name) {
        lxw_worksheet* sheet = workbook_add_worksheet(book_, name.toUtf8().constData());
        if (!sheet)
            fail(QStringLiteral("无法添加工作表“%1”").arg(name));
        return sheet;
    }

    // A format of the cells: bold for the header, red for a check that did not pass, with the
    // number format of the column.
    lxw_format* format(const char* numberFormat, bool failed, bool header = false) {
        const auto key = std::make_tuple(QByteArray(numberFormat), failed, header);
        if (auto it = formats_.find(key); it != formats_.end())
            return it->second;
        lxw_format* f = workbook_add_format(book_);
        if (numberFormat)
            format_set_num_format(f, numberFormat);
        if (failed || header) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, failed ? kFailedFill : kHeaderFill);
        }
        if (header) {
            format_set_bold(f);
            format_set_text_wrap(f);
            format_set_align(f, LXW_ALIGN_CENTER);
            format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        }
        formats_.emplace(key, f);
        return f;
    }

    void text(lxw_worksheet* sheet, int row, int col, const QString& value, lxw_format* f) {
        check(worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(col),
                                     workbookText(value).constData(), f));
    }
    void number(lxw_worksheet* sheet, int row, int col, double value, lxw_format* f) {
        // A value that is not finite has no representation in a workbook; the cell stays empty.
        if (!std::isfinite(value))
            return blank(sheet, row, col, f);
        check(worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(col), value, f));
    }
    void blank(lxw_worksheet* sheet, int row, int col, lxw_format* f) {
        if (f)
            check(worksheet_write_blank(sheet, lxw_row_t(row), lxw_col_t(col), f));
    }
    void cell(lxw_worksheet* sheet, int row, int col, const ScheduleCell& value, lxw_format* f) {
        if (const double* v = std::get_if<double>(&value))
            number(sheet, row, col, *v, f);
        else if (const QString* t = std::get_if<QString>(&value); t && !t->isEmpty())
            text(sheet, row, col, *t, f);
        else
            blank(sheet, row, col, f);
    }
    void comment(lxw_worksheet* sheet, int row, int col, const QString& note) {
        if (note.isEmpty())
            return;
        lxw_comment_options options{};
        options.width = 320;
        options.height = 120;
        check(worksheet_write_comment_opt(sheet, lxw_row_t(row), lxw_col_t(col),
                                          workbookText(note).constData(), &options));
    }
    // A header row, bold and frozen, with the columns wide enough for their headers.
    void header(lxw_worksheet* sheet, const QStringList& headers, int frozenColumns) {
        lxw_format* f = format(nullptr, false, true);
        for (qsizetype c = 0; c < headers.size(); ++c) {
            text(sheet, 0, int(c), headers[c], f);
            const double width = std::max(10.0, std::min(24.0, headers[c].size() * 1.6 + 2.0));
            check(worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), width, nullptr));
        }
        worksheet_freeze_panes(sheet, 1, lxw_col_t(frozenColumns));
    }

    // Closes the workbook, writing the file. Returns the first error met.
    QString close() {
        errno = 0;
        const lxw_error closed = workbook_close(book_);
        const int systemError = errno;
        book_ = nullptr;
        if (error_.isEmpty() && closed != LXW_NO_ERROR)
            error_ = closeError(closed, systemError);
        return error_;
    }

private:
    // The reason of a failed close; for a failed zip operation the system's own reason (a full
    // disk, the file-size limit) when it gave one.
    static QString closeError(lxw_error error, int systemError) {
        switch (error) {
        case LXW_ERROR_CREATING_XLSX_FILE:
            return QStringLiteral("无法创建文件");
        case LXW_ERROR_CREATING_TMPFILE:
            return QStringLiteral("无法在系统临时文件夹中创建临时文件");
        case LXW_ERROR_MEMORY_MALLOC_FAILED:
            return QStringLiteral("内存不足");
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
            if (systemError != 0)
                return QStringLiteral("写入 .xlsx 文件失败：%1")
                    .arg(QString::fromLocal8Bit(std::strerror(systemError)));
            break;
        default:
            break;
        }
        return QStringLiteral("写入 .xlsx 文件失败：%1")
            .arg(QString::fromUtf8(lxw_strerror(error)));
    }
    void fail(const QString& why) {
        if (error_.isEmpty())
            error_ = why;
    }
    void check(lxw_error error) {
        if (error != LXW_NO_ERROR)
            fail(QStringLiteral("写入 .xlsx 文件失败：%1")
                     .arg(QString::fromUtf8(lxw_strerror(error))));
    }

    lxw_workbook* book_ = nullptr;
    QString error_;
    std::map<std::tuple<QByteArray, bool, bool>, lxw_format*> formats_;
};

// The cross-section as a number where its text is a plain number written as the import writes it
// back ("25", "2.5": the general format, '.' and no grouping), so that the column sums and sorts
// in Excel and the import reads the same text again; any other text ("025", "3×25+16") stays text.
ScheduleCell crossSectionCell(const ScheduleCell& cell) {
    const QString* text = std::get_if<QString>(&cell);
    if (!text)
        return cell;
    const std::optional<double> value = readPlainDecimal(*text);
    if (value && scheduleCellText(ScheduleCell{*value}) == *text)
        return *value;
    return cell;
}

void writeSchedule(Workbook& book, lxw_worksheet* sheet, const ProjectRun& run,
                   const ResultSchema& schema) {
    const std::vector<ScheduleColumnInfo>& inputs = scheduleInputColumns();
    QStringList headers;
    for (const ScheduleColumnInfo& info : inputs)
        headers << QString::fromUtf8(info.header);
    for (const SchemaColumn& column : schema.columns)
        headers << column.header;
    book.header(sheet, headers, 1);

    lxw_format* plain = book.format(nullptr, false);
    for (size_t i = 0; i < run.project.circuits.size(); ++i) {
        const ProjectCircuit& circuit = run.project.circuits[i];
        const int row = int(i) + 1;
        int col = 0;
        for (const ScheduleColumnInfo& info : inputs) {
            const ScheduleCell cell = scheduleCell(circuit, info.column);
            book.cell(sheet, row, col++,
                      info.column == ScheduleColumn::CrossSection ? crossSectionCell(cell) : cell,
                      plain);
        }
        if (i >= run.results.size())
            continue;
        const CircuitResult& result = run.results[i];
        // A cell whose check (or, for the verdict, whose circuit) did not pass is red, with what
        // stands behind it as its comment; a figure that was not computed says why.
        for (const SchemaColumn& column : schema.columns) {
            const JudgedResult judged = judgeResult(column, circuit, result);
            const bool failed = judged.judged && judged.state != CheckOutcome::State::Passed;
            QString note = judged.note;
            if (failed && column.check)
                note = checkNote(*column.check, result.check(*column.check));
            const QByteArray numberFormat = numberFormatOf(column);
            book.cell(
                sheet, row, col, judged.value.value,
                book.format(numberFormat.isEmpty() ? nullptr : numberFormat.constData(), failed));
            book.comment(sheet, row, col, note);
            ++col;
        }
    }
}

// The database writes the transformer's voltage as a text; a number is written as one.
ScheduleCell numberOrText(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? ScheduleCell{value} : ScheduleCell{text};
}

void writeSupply(Workbook& book, lxw_worksheet* sheet, const Project& project) {
    book.header(sheet, {QStringLiteral("项目"), QStringLiteral("数值")}, 0);
    worksheet_set_column(sheet, 0, 0, 28, nullptr);
    worksheet_set_column(sheet, 1, 1, 20, nullptr);
    const Supply& s = project.supply;
    const Transformer& t = s.transformer;
    const Busbar& b = s.busbar;
    const InstallationConditions& installation = project.installation;
    const auto optionalCell = [](const std::optional<double>& v) {
        return v ? ScheduleCell{*v} : ScheduleCell{};
    };
    const std::pair<const char*, ScheduleCell> rows[] = {
        {"工程名称", project.name},
        {"设计人", project.engineer},
        {"系统短路容量(MVA)", s.systemCapacityMva},
        {"变压器型号", t.series},
        {"变压器高压侧电压(kV)", numberOrText(t.voltageKv)},
        {"变压器容量(kVA)", t.ratedKva},
        {"阻抗电压uk(%)", t.ukPercent},
        {"负载损耗ΔP(kW)", t.loadLossKw},
        {"母线材质", b.material},
        {"母线规格", b.size},
        {"母线R(mΩ/m)", b.perMetreMilliOhm.resistance},
        {"母线X(mΩ/m)", b.perMetreMilliOhm.reactance},
        {"母线Rphp(mΩ/m)", b.perMetreMilliOhm.loopResistance},
        {"母线Xphp(mΩ/m)", b.perMetreMilliOhm.loopReactance},
        {"母线长度(m)", b.lengthM},
        {"电压损失允许值(%)", project.voltageLossLimitPercent},
        // How the circuits are laid unless a circuit's own columns say otherwise; a value not
        // given stays an empty cell.
        {"敷设方式（工程）",
         installation.method ? ScheduleCell{text(*installation.method)} : ScheduleCell{}},
        {"敷设处温度(℃)（工程）", optionalCell(installation.temperatureC)},
        {"土壤热阻系数(K·m/W)（工程）", optionalCell(installation.soilResistivityKmW)},
        {"并列回路数（工程）", installation.groupedCircuits
                                   ? ScheduleCell{double(*installation.groupedCircuits)}
                                   : ScheduleCell{}},
        {"回路间距(m)（工程）", optionalCell(installation.spacingM)},
        {"导体计算温度(℃)", optionalCell(project.conductorTemperatureC)},
    };
    lxw_format* plain = book.format(nullptr, false);
    int row = 1;
    for (const auto& [label, value] : rows) {
        book.text(sheet, row, 0, QString::fromUtf8(label), plain);
        book.cell(sheet, row, 1, value, plain);
        ++row;
    }
}

// A pole's lamps as the sheet shows them: "2×150W+1×40W"; empty for a pole without a lamp.
QString lampsText(const std::vector<LampGroup>& lamps) {
    QStringList groups;
    for (const LampGroup& lamp : lamps)
        groups << QStringLiteral("%1×%2W").arg(lamp.count).arg(formatGeneral(lamp.powerW, {}));
    return groups.join(u'+');
}

// The poles of a feeder's list in list order (the trunk's, then each branch's), with their run.
std::vector<std::pair<const FeederRun*, const FeederPole*>> listedPoles(const PoleList& list) {
    std::vector<std::pair<const FeederRun*, const FeederPole*>> poles;
    for (const FeederRun& run : list.runs)
        for (const FeederPole& pole : run.poles)
            poles.emplace_back(&run, &pole);
    return poles;
}

const QStringList kFeederPoleHeaders = {
    QStringLiteral("支线"),    QStringLiteral("杆号"),    QStringLiteral("距电源(m)"),
    QStringLiteral("杆距(m)"), QStringLiteral("灯具"),    QStringLiteral("相别"),
    QStringLiteral("ΔuL1(%)"), QStringLiteral("ΔuL2(%)"), QStringLiteral("ΔuL3(%)")};
const QStringList kFeederRunHeaders = {QStringLiteral("线路"),    QStringLiteral("起始杆"),
                                       QStringLiteral("长度(m)"), QStringLiteral("电缆"),
                                       QStringLiteral("IL1(A)"),  QStringLiteral("IL2(A)"),
                                       QStringLiteral("IL3(A)"),  QStringLiteral("IN(A)")};

// A feeder's sheet: every pole (its run, number, distance from the supply, span, lamps, phase and
// the Δu of the three phase voltages at it, the worst pole's judged figure in red), then every
// run (where it starts, its length, its cable and the currents at its start). A feeder that was
// not computed lists the poles its list gives, the computed columns empty, under the reason.
void writeFeeder(Workbook& book, lxw_worksheet* sheet, const ProjectCircuit& circuit,
                 const CircuitResult& result) {
    book.header(sheet, kFeederPoleHeaders, 2);
    lxw_format* plain = book.format(nullptr, false);
    lxw_format* metres = book.format("0.0", false);
    lxw_format* percent = book.format("0.0000", false);
    lxw_format* worst = book.format("0.0000", true);
    lxw_format* amperes = book.format("0.00", false);
    const LampFeeder* feeder = std::get_if<LampFeeder>(&circuit.load);
    const PoleList list = feeder ? feeder->poleList : PoleList{};
    const auto listed = listedPoles(list);
    const QString trunk = QStringLiteral("干线");
    int row = 1;
    if (!result.feeder) {
        const QString why = !result.inputProblems.isEmpty()
                                ? result.inputProblems.join(QStringLiteral("；"))
                                : result.feeder.reason();
        book.text(sheet, row++, 0, QStringLiteral("未计算：") + why, book.format(nullptr, true));
        // What the engineer gave stays in view; nothing computed stands beside it.
        for (const auto& [run, pole] : listed) {
            book.text(sheet, row, 0, run->name, plain);
            book.text(sheet, row, 1, pole->id, plain);
            book.number(sheet, row, 3, pole->spanM, metres);
            book.text(sheet, row, 4, lampsText(pole->lamps), plain);
            if (pole->fixedPhase)
                book.text(sheet, row, 5, phaseText(*pole->fixedPhase), plain);
            ++row;
        }
        return;
    }
    const LampFeederResult& r = *result.feeder;
    // The equal feeder's poles all carry the same lamps.
    const QString equalLamps =
        feeder ? lampsText({LampGroup{feeder->lampsPerPole, feeder->lampPowerW, 1.0, 1.0, {}}})
               : QString();
    for (size_t i = 0; i < r.poles.size(); ++i) {
        const PoleDrop& pole = r.poles[i];
        const bool fromList = listed.size() == r.poles.size();
        const QString runName = size_t(pole.run) < r.runs.size() ? r.runs[size_t(pole.run)].name
                                : fromList                       ? listed[i].first->name
                                                                 : trunk;
        const double previousM =
            pole.parent >= 0 && size_t(pole.parent) < r.poles.size()
                ? r.poles[size_t(pole.parent)].distanceM
                : (i > 0 && pole.parent < 0 && pole.id.isEmpty() ? r.poles[i - 1].distanceM : 0.0);
        book.text(sheet, row, 0, runName, plain);
        book.text(sheet, row, 1, !pole.id.isEmpty() ? pole.id : QString::number(pole.pole), plain);
        book.number(sheet, row, 2, pole.distanceM, metres);
        book.number(sheet, row, 3, fromList ? listed[i].second->spanM : pole.distanceM - previousM,
                    metres);
        book.text(sheet, row, 4, fromList ? lampsText(listed[i].second->lamps) : equalLamps, plain);
        book.text(sheet, row, 5, phaseText(pole.phase), plain);
        const bool isWorst = pole.pole == r.worstPole;
        for (int p = 0; p < 3; ++p) {
            const bool marked = isWorst && Phase(p) == r.worstPhase;
            book.number(sheet, row, 6 + p, pole.lossPercent[size_t(p)], marked ? worst : percent);
            if (marked)
                book.comment(sheet, row, 6 + p, QStringLiteral("本馈线最大电压损失"));
        }
        ++row;
    }

    // The runs, below the poles after an empty row.
    row += 1;
    lxw_format* header = book.format(nullptr, false, true);
    for (qsizetype c = 0; c < kFeederRunHeaders.size(); ++c)
        book.text(sheet, row, int(c), kFeederRunHeaders[c], header);
    ++row;
    const CableIdentity& own = circuit.line.cable;
    const QString circuitCable =
        QStringLiteral("%1 %2").arg(own.cableType, own.crossSection).trimmed();
    auto currents = [&](const std::array<double, 3>& phases, double neutral) {
        for (int p = 0; p < 3; ++p)
            book.number(sheet, row, 4 + p, phases[size_t(p)], amperes);
        book.number(sheet, row, 7, neutral, amperes);
    };
    if (r.runs.empty()) {
        // An equal feeder: its one run from the supply.
        book.text(sheet, row, 0, trunk, plain);
        book.text(sheet, row, 1, QStringLiteral("电源"), plain);
        book.number(sheet, row, 2, r.totalLengthM, metres);
        book.text(sheet, row, 3, circuitCable, plain);
        currents(r.phaseCurrentsA, r.neutralCurrentA);
        return;
    }
    for (size_t k = 0; k < r.runs.size(); ++k) {
        const RunResult& run = r.runs[k];
        book.text(sheet, row, 0, run.name, plain);
        const QString from = run.fromPole >= 0 && size_t(run.fromPole) < r.poles.size()
                                 ? r.poles[size_t(run.fromPole)].id
                                 : QStringLiteral("电源");
        book.text(sheet, row, 1, from, plain);
        book.number(sheet, row, 2, run.lengthM, metres);
        const std::optional<CableIdentity>& cable =
            k < list.runs.size() ? list.runs[k].cable : std::nullopt;
        book.text(sheet, row, 3,
                  k == 0  ? circuitCable
                  : cable ? QStringLiteral("%1 %2").arg(cable->cableType, cable->crossSection)
                          : QStringLiteral("同所接线路"),
                  plain);
        currents(run.phaseCurrentsA, run.neutralCurrentA);
        ++row;
    }
}

// Writes the workbook to `path` (the temporary file).
QString writeWorkbook(const ProjectRun& run, const QString& path, const ResultSchema& schema) {
    Workbook book(path);
    if (!book.opened())
        return QStringLiteral("无法创建 .xlsx 工作簿");
    const QString scheduleName = QStringLiteral("回路表");
    const QString supplyName = QStringLiteral("电源");
    SheetNames names;
    names.take(scheduleName);
    names.take(supplyName);
    lxw_worksheet* schedule = book.addSheet(scheduleName);
    lxw_worksheet* supply = book.addSheet(supplyName);
    if (schedule && supply) {
        writeSchedule(book, schedule, run, schema);
        writeSupply(book, supply, run.project);
    }
    for (size_t i = 0; i < run.project.circuits.size() && book.error().isEmpty(); ++i) {
        const ProjectCircuit& circuit = run.project.circuits[i];
        if (!std::holds_alternative<LampFeeder>(circuit.load) || i >= run.results.size())
            continue;
        if (lxw_worksheet* sheet = book.addSheet(names.add(circuit.id)))
            writeFeeder(book, sheet, circuit, run.results[i]);
    }
    return book.close();
}

} // namespace

SheetNames::SheetNames() {
    // "History" is reserved by Excel for its own sheet.
    taken_.insert(QStringLiteral("history"));
}

void SheetNames::take(const QString& name) {
    taken_.insert(name.toCaseFolded());
}

QString SheetNames::add(const QString& wanted) {
    constexpr qsizetype kMaxLength = 31; // Excel's limit, in UTF-16 units
    // A character Excel refuses in a sheet name, a control character and one XML cannot carry
    // (a lone surrogate among them) become '_'.
    const QString safe = xmlSafeText(wanted.trimmed());
    QString base;
    base.reserve(safe.size());
    for (const QChar c : safe)
        base += QStringLiteral("[]:*?/\\").contains(c) || c.category() == QChar::Other_Control ||
                        c == QChar::ReplacementCharacter
                    ? u'_'
                    : c;
    while (base.startsWith(u'\''))
        base.remove(0, 1);
    while (base.endsWith(u'\''))
        base.chop(1);
    if (base.isEmpty())
        base = QStringLiteral("馈线");
    // Shortened without splitting a character of two UTF-16 units, or leaving an apostrophe last.
    auto fit = [](QString name, qsizetype length) {
        if (name.size() > length) {
            name.truncate(length);
            if (name.back().isHighSurrogate())
                name.chop(1);
        }
        while (name.endsWith(u'\''))
            name.chop(1);
        return name;
    };
    auto isTaken = [this](const QString& name) {
        return name.isEmpty() || taken_.contains(name.toCaseFolded());
    };
    QString name = fit(base, kMaxLength);
    if (isTaken(name)) {
        // Numbers tried before for the same base stay taken: start after them, so that many
        // circuits of one name are numbered in one pass.
        const QString key = base.toCaseFolded();
        int n = nextNumber_.value(key, 2);
        for (;; ++n) {
            const QString suffix = QStringLiteral("(%1)").arg(n);
            name = fit(base, kMaxLength - suffix.size()) + suffix;
            if (!isTaken(name))
                break;
        }
        nextNumber_.insert(key, n + 1);
    }
    taken_.insert(name.toCaseFolded());
    return name;
}

QString uniqueSheetName(const QString& wanted, const QStringList& taken) {
    SheetNames names;
    for (const QString& name : taken)
        names.take(name);
    return names.add(wanted);
}

QString writeScheduleXlsx(const ProjectRun& run, const QString& path, const ResultSchema& schema) {
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    if (!folder.exists())
        return QStringLiteral("文件夹不存在：%1").arg(QDir::toNativeSeparators(folder.path()));
    if (target.isDir())
        return QStringLiteral("这是一个文件夹：%1").arg(QDir::toNativeSeparators(path));

    // The workbook is written beside the target and replaces it only when complete; until then
    // the temporary file is removed on any failure.
    ReplacingFile temporary(path);
    if (const QString why = temporary.create(); !why.isEmpty())
        return QStringLiteral("无法在文件夹“%1”中创建文件：%2")
            .arg(QDir::toNativeSeparators(folder.path()), why);
    if (const QString why = writeWorkbook(run, temporary.path(), schema); !why.isEmpty())
        return why;
    return temporary.replaceTarget();
}

} // namespace korvane
