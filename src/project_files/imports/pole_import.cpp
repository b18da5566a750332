#include "project_files/imports/pole_import.h"

#include "base/atomic_file.h"
#include "base/number_format.h"
#include "project/feeders/lamp_feeder.h"
#include "project/inputs/schedule_columns.h"
#include "project_files/imports/sheet_reading.h"

#include <QHash>

#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <tuple>

namespace korvane {

namespace {

enum class Col {
    Pole,
    Run,
    FromPole,
    Chainage,
    Span,
    Count1,
    Power1,
    PowerFactor1,
    Ballast1,
    Harmonic1,
    Count2,
    Power2,
    PowerFactor2,
    Ballast2,
    Harmonic2,
    Phase,
    LossType,
    CableType,
    CrossSection,
};
constexpr int kColumns = int(Col::CrossSection) + 1;

// The headers, in the template's order.
const std::array<const char*, kColumns> kHeaders = {
    "杆号",      "支线",         "起始杆号",      "桩号(m)",         "杆距(m)",
    "灯具1数量", "灯具1功率(W)", "灯具1功率因数", "灯具1镇流器系数", "灯具1三次谐波含量(%)",
    "灯具2数量", "灯具2功率(W)", "灯具2功率因数", "灯具2镇流器系数", "灯具2三次谐波含量(%)",
    "相别",      "支线损失类型", "支线电缆类型",  "支线截面(mm²)",
};

QString header(Col c) {
    return QString::fromUtf8(kHeaders[size_t(c)]);
}

const QString kTrunk = QStringLiteral("干线");
const QString kPoleSheetName = QStringLiteral("杆位表");

// The columns of lamp group k (0 or 1): count, power, power factor, ballast factor, harmonic.
std::array<Col, 5> lampColumns(int k) {
    const int first = int(k == 0 ? Col::Count1 : Col::Count2);
    return {Col(first), Col(first + 1), Col(first + 2), Col(first + 3), Col(first + 4)};
}

// A chainage and a span that agree to half a centimetre (surveys give tenths of a metre).
constexpr double kLengthAgreementM = 0.005;

PoleImport failure(const QString& why) {
    PoleImport result;
    result.problems << why;
    return result;
}

// One row's reading: its cells by column, each read once with the reasons it fails.
class RowReader {
public:
    RowReader(const SheetGrid& grid, size_t row,
              const std::array<std::optional<size_t>, kColumns>& at, bool commaDecimals,
              QStringList& reasons)
        : grid_(grid), row_(row), at_(at), commaDecimals_(commaDecimals), reasons_(reasons) {}

    bool has(Col c) const { return at_[size_t(c)].has_value(); }
    bool blank(Col c) const {
        return !has(c) || (isBlankCell(gridCell(grid_, row_, *at_[size_t(c)])) &&
                           !gridCellProblem(grid_, row_, *at_[size_t(c)]));
    }
    // The cell as text, trimmed; a number as the program writes it ("12" for 12).
    QString text(Col c) {
        if (!has(c))
            return {};
        if (const QString* why = gridCellProblem(grid_, row_, *at_[size_t(c)])) {
            reasons_ << QStringLiteral("“%1”无法读出：%2").arg(header(c), *why);
            return {};
        }
        return scheduleCellText(gridCell(grid_, row_, *at_[size_t(c)])).trimmed();
    }
    // The cell as a number; nothing for a blank cell or one that is not a number (with the
    // reason).
    std::optional<double> number(Col c) {
        if (blank(c))
            return std::nullopt;
        if (const QString* why = gridCellProblem(grid_, row_, *at_[size_t(c)])) {
            reasons_ << QStringLiteral("“%1”无法读出：%2").arg(header(c), *why);
            return std::nullopt;
        }
        const ScheduleCell& cell = gridCell(grid_, row_, *at_[size_t(c)]);
        if (const double* v = std::get_if<double>(&cell))
            return *v;
        const QString written = scheduleCellText(cell).trimmed();
        std::optional<double> value = readPlainDecimal(written);
        // A comma as the decimal sign only in a CSV separated by ';' (as Excel writes it where
        // the comma is the decimal sign), and only where it cannot be a thousands separator.
        if (!value && commaDecimals_)
            if (const auto point = commaDecimalAsPoint(written))
                value = readPlainDecimal(*point);
        if (!value || !std::isfinite(*value)) {
            QString why = QStringLiteral("“%1”不是数值：%2").arg(header(c), written.left(40));
            if (commaDecimalAsPoint(written))
                why += QStringLiteral("（小数点请用“.”）");
            reasons_ << why;
            return std::nullopt;
        }
        return value;
    }
    // A number the row must give.
    std::optional<double> required(Col c) {
        if (blank(c)) {
            reasons_ << QStringLiteral("“%1”未填写").arg(header(c));
            return std::nullopt;
        }
        return number(c);
    }

private:
    const SheetGrid& grid_;
    size_t row_;
    const std::array<std::optional<size_t>, kColumns>& at_;
    bool commaDecimals_;
    QStringList& reasons_;
};

// A lamp group of a row: nothing when all its cells are blank.
std::optional<LampGroup> readLamp(RowReader& r, int k, QStringList& reasons) {
    const auto cols = lampColumns(k);
    if (std::all_of(cols.begin(), cols.end(), [&](Col c) { return r.blank(c); }))
        return std::nullopt;
    LampGroup lamp;
    const qsizetype before = reasons.size();
    const auto count = r.required(cols[0]);
    if (count && (*count != std::floor(*count) || *count < 1.0 || *count > kMaxLampsPerPole))
        reasons << QStringLiteral("“%1”应为 1 至 %2 的整数：%3")
                       .arg(header(cols[0]))
                       .arg(kMaxLampsPerPole)
                       .arg(formatGeneral(*count, {}));
    const auto power = r.required(cols[1]);
    const auto powerFactor = r.required(cols[2]);
    const auto ballast = r.required(cols[3]);
    const auto harmonic = r.number(cols[4]);
    if (power && *power <= 0.0)
        reasons
            << QStringLiteral("“%1”应大于0：%2").arg(header(cols[1]), formatGeneral(*power, {}));
    if (powerFactor && !(*powerFactor > 0.0 && *powerFactor <= 1.0))
        reasons << QStringLiteral("“%1”应大于0且不大于1：%2")
                       .arg(header(cols[2]), formatGeneral(*powerFactor, {}));
    if (ballast && *ballast <= 0.0)
        reasons
            << QStringLiteral("“%1”应大于0：%2").arg(header(cols[3]), formatGeneral(*ballast, {}));
    if (harmonic && !(*harmonic >= 0.0 && *harmonic <= 100.0))
        reasons << QStringLiteral("“%1”应在0至100之间：%2")
                       .arg(header(cols[4]), formatGeneral(*harmonic, {}));
    if (reasons.size() != before)
        return std::nullopt;
    lamp.count = int(*count);
    lamp.powerW = *power;
    lamp.powerFactor = *powerFactor;
    lamp.ballastFactor = *ballast;
    lamp.thirdHarmonicPercent = harmonic;
    return lamp;
}

// What the rows say of a run beyond its poles, with the row that first said it.
struct RunFacts {
    size_t firstRow = 0; // of the sheet, from 0
    std::optional<std::pair<QString, size_t>> fromPole;
    std::optional<std::pair<CableIdentity, size_t>> cable;
    double chainageM = 0.0; // of its last pole read
};

QString cableText(const CableIdentity& c) {
    QStringList parts;
    for (const QString& p : {c.lossType, c.cableType, c.crossSection})
        if (!p.isEmpty())
            parts << p;
    return parts.join(QStringLiteral(" "));
}

// The loss type of a cable type and section in the catalogue: the one it holds them under;
// nothing when it holds none or several.
std::optional<QString> onlyLossType(const CableCatalogue& catalogue, const QString& cableType,
                                    const QString& section) {
    std::set<QString> lossTypes;
    for (const CableRow& row : catalogue.rows)
        if (row.cable.cableType == cableType && row.cable.crossSection == section)
            lossTypes.insert(row.cable.lossType);
    if (lossTypes.size() != 1)
        return std::nullopt;
    return *lossTypes.begin();
}

PoleImport polesFromGrid(const SheetGrid& grid, const CableCatalogue* catalogue,
                         bool commaDecimals) {
    const QString poleKey = scheduleHeaderKey(header(Col::Pole));
    std::optional<size_t> headerRow;
    for (size_t row = 0;
         row < grid.rows.size() && row < size_t(kSheetHeaderSearchRows) && !headerRow; ++row)
        for (const ScheduleCell& cell : grid.rows[row])
            if (scheduleHeaderKey(scheduleCellText(cell)) == poleKey)
                headerRow = row;
    if (!headerRow)
        return failure(QStringLiteral("前 %1 行中没有表头“杆号”").arg(kSheetHeaderSearchRows));

    PoleImport result;
    std::array<std::optional<size_t>, kColumns> at{};
    QStringList unknown;
    const std::vector<ScheduleCell>& headers = grid.rows[*headerRow];
    for (size_t index = 0; index < headers.size(); ++index) {
        const QString text = scheduleCellText(headers[index]).trimmed();
        if (text.isEmpty())
            continue;
        const QString key = scheduleHeaderKey(text);
        std::optional<Col> column;
        for (int c = 0; c < kColumns; ++c)
            if (scheduleHeaderKey(header(Col(c))) == key)
                column = Col(c);
        if (!column) {
            unknown << text.left(40);
            continue;
        }
        if (at[size_t(*column)])
            return failure(QStringLiteral("“%1”列出现了两次（%2列和%3列）")
                               .arg(header(*column), columnLetters(int(*at[size_t(*column)])),
                                    columnLetters(int(index))));
        at[size_t(*column)] = index;
    }
    QStringList missing;
    for (const Col c : {Col::Pole, Col::Count1, Col::Power1, Col::PowerFactor1, Col::Ballast1})
        if (!at[size_t(c)])
            missing << header(c);
    if (!at[size_t(Col::Chainage)] && !at[size_t(Col::Span)])
        missing << QStringLiteral("%1或%2").arg(header(Col::Chainage), header(Col::Span));
    // The second lamp group is whole or absent (its harmonic content may be left out).
    const auto second = lampColumns(1);
    if (std::any_of(second.begin(), second.end(), [&](Col c) { return at[size_t(c)]; }))
        for (size_t i = 0; i < 4; ++i)
            if (!at[size_t(second[i])])
                missing << header(second[i]);
    if (!missing.isEmpty())
        return failure(QStringLiteral("第 %1 行的表头缺少必需的列：%2")
                           .arg(*headerRow + 1)
                           .arg(quotedList(missing)));

    PoleList list;
    list.runs.push_back({kTrunk, {}, std::nullopt, {}});
    std::vector<RunFacts> facts(1);
    QHash<QString, int> runOf;                               // case-folded run name → run
    QHash<QString, std::tuple<int, size_t, QString>> poleAt; // case-folded id → run, row, id
    runOf.insert(kTrunk.toCaseFolded(), 0);
    bool trunkSeen = false;
    QStringList failedRows;
    auto fail = [&](size_t row, const QString& why) {
        failedRows << QStringLiteral("第 %1 行：%2").arg(row + 1).arg(why);
    };

    for (size_t row = *headerRow + 1; row < grid.rows.size(); ++row) {
        QStringList reasons;
        RowReader r(grid, row, at, commaDecimals, reasons);
        bool any = false;
        for (int c = 0; c < kColumns; ++c)
            any = any || !r.blank(Col(c));
        if (!any)
            continue;

        FeederPole pole;
        pole.id = r.text(Col::Pole);
        if (pole.id.isEmpty() && reasons.isEmpty())
            reasons << QStringLiteral("“杆号”未填写");
        QString runName = r.text(Col::Run);
        if (runName.isEmpty())
            runName = kTrunk;
        int run = runOf.value(runName.toCaseFolded(), -1);
        if (run < 0) {
            run = int(list.runs.size());
            runOf.insert(runName.toCaseFolded(), run);
            list.runs.push_back({runName, {}, std::nullopt, {}});
            facts.push_back({row, std::nullopt, std::nullopt, 0.0});
        } else if (run == 0 && !trunkSeen) {
            facts[0].firstRow = row;
        }
        trunkSeen = trunkSeen || run == 0;
        FeederRun& theRun = list.runs[size_t(run)];
        RunFacts& runFacts = facts[size_t(run)];
        const bool firstOfRun = theRun.poles.empty() && runFacts.firstRow == row;

        // The pole a branch leaves from: the first row's, repeated alike on any other.
        const QString from = r.text(Col::FromPole);
        if (run == 0 && !from.isEmpty()) {
            reasons << QStringLiteral("干线的杆不填“起始杆号”：%1").arg(from);
        } else if (run > 0 && !from.isEmpty()) {
            if (!runFacts.fromPole) {
                if (!firstOfRun)
                    reasons << QStringLiteral("支线“%1”的起始杆号应填在其第一行（第 %2 行）")
                                   .arg(theRun.name)
                                   .arg(runFacts.firstRow + 1);
                runFacts.fromPole = {{from, row}};
            } else if (from.compare(runFacts.fromPole->first, Qt::CaseInsensitive) != 0) {
                reasons << QStringLiteral("支线“%1”的起始杆号“%2”与第 %3 行的“%4”不同")
                               .arg(theRun.name, from)
                               .arg(runFacts.fromPole->second + 1)
                               .arg(runFacts.fromPole->first);
            }
        } else if (run > 0 && firstOfRun) {
            reasons << QStringLiteral("支线“%1”的第一行缺少“起始杆号”").arg(theRun.name);
        }

        // The branch's own cable, likewise.
        const QString lossType = r.text(Col::LossType);
        const QString cableType = r.text(Col::CableType);
        const QString section = r.text(Col::CrossSection);
        if (!lossType.isEmpty() || !cableType.isEmpty() || !section.isEmpty()) {
            CableIdentity cable{lossType, cableType, section};
            if (run == 0) {
                reasons << QStringLiteral("干线的电缆是回路的电缆，不在杆位表中填写");
            } else if (cableType.isEmpty() || section.isEmpty()) {
                reasons << QStringLiteral("支线电缆应同时填写“%1”和“%2”")
                               .arg(header(Col::CableType), header(Col::CrossSection));
            } else if (!runFacts.cable) {
                if (!firstOfRun)
                    reasons << QStringLiteral("支线“%1”的电缆应填在其第一行（第 %2 行）")
                                   .arg(theRun.name)
                                   .arg(runFacts.firstRow + 1);
                if (catalogue && cable.lossType.isEmpty()) {
                    if (const auto only = onlyLossType(*catalogue, cableType, section))
                        cable.lossType = *only;
                    else
                        reasons << QStringLiteral("电缆数据库中没有唯一的“%1 %2”，请填写“%3”")
                                       .arg(cableType, section, header(Col::LossType));
                }
                if (catalogue && !cable.lossType.isEmpty() && !catalogue->find(cable))
                    reasons << QStringLiteral("支线电缆“%1”不在电缆数据库中").arg(cableText(cable));
                runFacts.cable = {{cable, row}};
            } else if (cableType != runFacts.cable->first.cableType ||
                       section != runFacts.cable->first.crossSection ||
                       (!lossType.isEmpty() && lossType != runFacts.cable->first.lossType)) {
                reasons << QStringLiteral("支线“%1”的电缆“%2”与第 %3 行的“%4”不同")
                               .arg(theRun.name, cableText(cable))
                               .arg(runFacts.cable->second + 1)
                               .arg(cableText(runFacts.cable->first));
            }
        }

        // Where the pole stands: its span, or its chainage along the run.
        const auto chainage = r.number(Col::Chainage);
        const auto span = r.number(Col::Span);
        if (span && *span < 0.0)
            reasons << QStringLiteral("杆距为负数：%1").arg(formatGeneral(*span, {}));
        if (chainage && *chainage < 0.0)
            reasons << QStringLiteral("桩号为负数：%1").arg(formatGeneral(*chainage, {}));
        const double previous = runFacts.chainageM;
        if (chainage && *chainage >= 0.0) {
            if (!theRun.poles.empty() && *chainage <= previous)
                reasons << QStringLiteral("桩号应沿线路递增：%1 不大于前一杆的 %2")
                               .arg(formatGeneral(*chainage, {}), formatGeneral(previous, {}));
            if (span && *span >= 0.0 && std::abs(*chainage - previous - *span) > kLengthAgreementM)
                reasons << QStringLiteral("桩号 %1 与杆距 %2 不符（前一杆桩号 %3）")
                               .arg(formatGeneral(*chainage, {}), formatGeneral(*span, {}),
                                    formatGeneral(previous, {}));
        }
        if (!chainage && !span && r.blank(Col::Chainage) && r.blank(Col::Span))
            reasons
                << QStringLiteral("缺少“%1”或“%2”").arg(header(Col::Span), header(Col::Chainage));
        if (chainage)
            pole.spanM = *chainage - previous;
        else if (span)
            pole.spanM = *span;
        runFacts.chainageM = chainage ? *chainage : previous + span.value_or(0.0);

        for (int k = 0; k < 2; ++k)
            if (const auto lamp = readLamp(r, k, reasons))
                pole.lamps.push_back(*lamp);

        const QString phase = r.text(Col::Phase);
        if (!phase.isEmpty()) {
            for (const Phase p : {Phase::L1, Phase::L2, Phase::L3})
                if (phase.compare(phaseText(p), Qt::CaseInsensitive) == 0)
                    pole.fixedPhase = p;
            if (!pole.fixedPhase)
                reasons
                    << QStringLiteral("相别“%1”无法识别（应为 L1、L2 或 L3）").arg(phase.left(40));
        }

        if (!pole.id.isEmpty()) {
            const QString key = pole.id.toCaseFolded();
            if (const auto it = poleAt.constFind(key); it != poleAt.cend())
                reasons << QStringLiteral("杆号“%1”与第 %2 行重复")
                               .arg(pole.id)
                               .arg(std::get<1>(*it) + 1);
            else
                poleAt.insert(key, {run, row, pole.id});
        }
        if (!reasons.isEmpty())
            fail(row, reasons.join(QStringLiteral("；")));
        theRun.poles.push_back(std::move(pole));
    }

    // The tree: each branch leaves a pole that exists, and no branch leaves its own poles or
    // those of a branch beyond it.
    if (!trunkSeen && list.runs.size() > 1)
        failedRows << QStringLiteral("没有干线的杆（“支线”为空的行）");
    for (size_t i = 1; i < list.runs.size(); ++i) {
        if (!facts[i].fromPole)
            continue;
        const auto [from, row] = *facts[i].fromPole;
        const auto it = poleAt.constFind(from.toCaseFolded());
        if (it == poleAt.cend()) {
            fail(row, QStringLiteral("支线“%1”的起始杆“%2”不存在").arg(list.runs[i].name, from));
            continue;
        }
        list.runs[i].fromPole = std::get<2>(*it);
        // Follow the runs toward the trunk; meeting this run again is a loop.
        int at = std::get<0>(*it);
        for (size_t steps = 0; at > 0 && steps <= list.runs.size(); ++steps) {
            if (size_t(at) == i) {
                fail(row, QStringLiteral("支线“%1”从其自身或其下游的杆“%2”引出，形成环路")
                              .arg(list.runs[i].name, from));
                break;
            }
            const auto& parent = facts[size_t(at)].fromPole;
            const auto next =
                parent ? poleAt.constFind(parent->first.toCaseFolded()) : poleAt.cend();
            at = next == poleAt.cend() ? 0 : std::get<0>(*next);
        }
    }
    for (size_t i = 1; i < list.runs.size(); ++i)
        if (facts[i].cable)
            list.runs[i].cable = facts[i].cable->first;

    if (failedRows.isEmpty() && list.runs.front().poles.empty())
        failedRows << QStringLiteral("表头下没有灯杆");
    if (failedRows.isEmpty()) {
        // Whatever else makes it no feeder (more poles than any feeder has).
        const QStringList tree = poleListProblems(list);
        failedRows << tree;
    }
    if (!failedRows.isEmpty()) {
        result.problems
            << QStringLiteral("杆位表有 %1 处问题，未导入任何灯杆：").arg(failedRows.size());
        result.problems << failedRows;
    } else {
        result.ok = true;
        result.list = std::move(list);
    }
    if (!unknown.isEmpty())
        result.problems
            << QStringLiteral("以下列不是杆位表的列，未读入：%1").arg(quotedList(unknown));
    return result;
}

} // namespace

PoleImport importPoleList(const QString& path, const CableCatalogue* catalogue,
                          const SheetLimits& limits) {
    const ImportSheet sheet = readImportSheet(path, kPoleSheetName, header(Col::Pole), limits);
    if (!sheet.grid.error.isEmpty())
        return failure(sheet.grid.error);
    return polesFromGrid(sheet.grid, catalogue, sheet.commaDecimals);
}

QString writePoleTemplateCsv(const QString& path) {
    // Notes above the header row, which the import does not read.
    const QStringList notes = {
        QStringLiteral("杆位表：每行一根灯杆，按线路从电源侧起依次填写。“支线”留空为干线；支线"
                       "的“起始杆号”为其引出的杆，填在该支线第一行（或每行相同）。"),
        QStringLiteral("“桩号(m)”为自本线路起点的距离，“杆距(m)”为与前一杆的距离，填其一即可（"
                       "两者都填须一致）。灯具2为同杆的第二种灯（如人行道灯），可不填。"),
        QStringLiteral("“三次谐波含量(%)”空：按 IEC 61000-3-2 C 类限值；“相别”空：按接线方式轮换；"
                       "支线电缆空：与其引出的线路相同。表头以下的空行不读。"),
    };
    struct Example {
        const char* pole;
        const char* run;
        const char* from;
        const char* chainage;
        const char* span;
        const char* lamps1; // count, power, power factor, ballast factor, harmonic
        const char* lamps2;
        const char* phase;
        const char* cable; // loss type, cable type, section
    };
    const Example rows[] = {
        {"N1", "", "", "15", "", "1,150,0.95,1,", "", "", ",,"},
        {"N2", "", "", "50", "", "1,150,0.95,1,", "1,40,0.9,1,15", "", ",,"},
        {"N3", "", "", "85", "", "1,150,0.95,1,", "", "", ",,"},
        {"N4", "", "", "145", "", "1,150,0.95,1,", "1,40,0.9,1,15", "L2", ",,"},
        {"N5", "", "", "180", "", "1,150,0.95,1,", "", "", ",,"},
        {"N6", "", "", "215", "", "1,150,0.95,1,", "", "", ",,"},
        {"B1-1", "支线1", "N3", "", "20", "1,100,0.95,1,", "", "",
         "聚氯乙烯绝缘电力电缆(0.6/1kV),VV 四芯 铜芯,16"},
        {"B1-2", "支线1", "", "", "30", "1,100,0.95,1,", "", "", ",,"},
        {"B1-3", "支线1", "", "", "30", "1,100,0.95,1,", "", "", ",,"},
        {"B2-1", "支线2", "N5", "", "25", "1,60,0.9,1.1,", "", "", ",,"},
        {"B2-2", "支线2", "", "", "30", "", "", "", ",,"},
    };
    QString text;
    for (const QString& note : notes)
        text += csvField(note) + QStringLiteral("\r\n");
    QStringList fields;
    for (const char* h : kHeaders)
        fields << csvField(QString::fromUtf8(h));
    text += fields.join(u',') + QStringLiteral("\r\n");
    for (const Example& e : rows) {
        fields = {QString::fromUtf8(e.pole), QString::fromUtf8(e.run), QString::fromUtf8(e.from),
                  QString::fromUtf8(e.chainage), QString::fromUtf8(e.span)};
        for (const char* lamps : {e.lamps1, e.lamps2})
            fields << (*lamps ? QString::fromUtf8(lamps).split(u',') : QStringList(5, QString()));
        fields << QString::fromUtf8(e.phase);
        fields << QString::fromUtf8(e.cable).split(u',');
        for (QString& f : fields)
            f = csvField(f);
        text += fields.join(u',') + QStringLiteral("\r\n");
    }
    return writeFileAtomically(path, QByteArray("\xEF\xBB\xBF") + text.toUtf8());
}

} // namespace korvane
