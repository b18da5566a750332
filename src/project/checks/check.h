#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string_view>
#include <vector>

namespace korvane {

// Which check of a project circuit: a key that files and tests can name and the name the
// schedule and the books write. Two checks are the same check when their keys are equal. The
// program's own checks are the constants below; a check added elsewhere (a test's) makes its own.
class CircuitCheck {
public:
    constexpr CircuitCheck(std::string_view key, std::string_view nameUtf8)
        : key_(key), name_(nameUtf8) {}

    constexpr std::string_view key() const { return key_; }
    // The check's name as the schedule and the reports write it ("电压损失").
    QString name() const { return QString::fromUtf8(name_.data(), qsizetype(name_.size())); }

    friend constexpr bool operator==(const CircuitCheck& a, const CircuitCheck& b) {
        return a.key_ == b.key_;
    }

    static const CircuitCheck VoltageLoss;      // Δu% within the project's limit
    static const CircuitCheck BreakerSelection; // a residual-current breaker QR and contactor QC
    static const CircuitCheck CurrentCapacity;  // Ib ≤ In ≤ Iz and I2 ≤ 1.45·Iz
    static const CircuitCheck ResidualSetting;  // a rated residual operating current Ivn ≥ 4·Ixn
    static const CircuitCheck LoopResistance;   // Rphp ≤ Rlim
    static const CircuitCheck Sensitivity;      // fault current / Ir2 ≥ 1.3
    static const CircuitCheck ThermalStability; // Smin < S

private:
    std::string_view key_;
    std::string_view name_;
};

inline constexpr CircuitCheck CircuitCheck::VoltageLoss{"voltage_loss", "电压损失"};
inline constexpr CircuitCheck CircuitCheck::BreakerSelection{"breaker_selection", "断路器选择"};
inline constexpr CircuitCheck CircuitCheck::CurrentCapacity{"current_capacity", "载流量"};
inline constexpr CircuitCheck CircuitCheck::ResidualSetting{"residual_setting", "剩余电流整定"};
inline constexpr CircuitCheck CircuitCheck::LoopResistance{"loop_resistance", "相保电阻"};
inline constexpr CircuitCheck CircuitCheck::Sensitivity{"sensitivity", "保护灵敏度"};
inline constexpr CircuitCheck CircuitCheck::ThermalStability{"thermal_stability", "热稳定"};

// The check's name as the schedule and the reports write it.
inline QString checkName(const CircuitCheck& check) {
    return check.name();
}

// How a figure's number is written: to fixed decimals, in the shortest form that reads back
// (a rated current of a series, a limit the engineer typed), or to a tenth of an ampere without
// a trailing ".0" (16 A, 77.4 A).
struct FigureDigits {
    enum class Kind { Fixed, Shortest, TenthTrimmed };
    Kind kind = Kind::Shortest;
    int decimals = 0;

    static constexpr FigureDigits fixed(int decimals) { return {Kind::Fixed, decimals}; }
    static constexpr FigureDigits shortest() { return {Kind::Shortest, 0}; }
    static constexpr FigureDigits tenthTrimmed() { return {Kind::TenthTrimmed, 1}; }
};

// One quantity a check states: its symbol, its value in its unit (absent where it is only named,
// as the Iz of "IN = 5 A ≤ Iz"), and how the value is written.
struct CheckFigure {
    QString symbol; // "Δu", "In", "1.45Iz", "Id / Ir2"; empty for a bare limit
    std::optional<double> value;
    QString unit; // "%", "A", "mA", "Ω/km", "mm²", "kA"; empty for a ratio
    FigureDigits digits;
};

// How two figures of a statement compare.
enum class Relation {
    AtMost,      // ≤
    Below,       // <
    AtLeast,     // ≥
    Above,       // >
    Exceeds,     // 超过: beyond the largest standard value
    BeyondTable, // 超出选择表范围: beyond the largest row of a selection table
};

// One statement of a check: figures with the relations between them ("Ib ≤ In ≤ Iz"), or a
// single figure ("QR In = 100 A"). An aside is written in brackets right after the statement
// before it (the fault the thermal stress is taken at).
struct CheckStatement {
    std::vector<CheckFigure> figures;
    std::vector<Relation> relations; // between figures k and k + 1
    bool aside = false;
};

struct SectionOutcome;

// The outcome of one check, stated truthfully: passed or failed with the figures that decided
// it, or not computed with the reason. A check of a feeder with branches states every cable
// section's own outcome in `sections`, in the order of the pole list's runs.
struct CheckOutcome {
    enum class State { NotComputed, Passed, Failed };
    State state = State::NotComputed;
    QString reason; // why it was not computed
    std::vector<CheckStatement> statements;
    std::vector<SectionOutcome> sections;

    bool passed() const { return state == State::Passed; }
    // The deciding figures in words, or the reason it was not computed (checkWords).
    QString text() const;

    static CheckOutcome pass(std::vector<CheckStatement> statements);
    static CheckOutcome fail(std::vector<CheckStatement> statements);
    static CheckOutcome notComputed(QString reason);
};

struct SectionOutcome {
    QString run; // "干线", "支线1"
    CheckOutcome outcome;
};

// The words of a check's outcome, for the schedule's tips, the notes, the books and korvane-cli
// alike: the statements joined by "，" ("Δu = 1.0479% ≤ 5%"), every section led by its run
// ("干线：…；支线1：…"), or the reason it was not computed.
QString checkWords(const CheckOutcome& outcome);

// The state as the schedule and the reports write it: 通过, 不通过 or 未计算.
QString checkStateText(CheckOutcome::State state);
inline QString checkStateText(const CheckOutcome& outcome) {
    return checkStateText(outcome.state);
}

// A figure and a statement, briefly: figure("Δu", 1.0479, "%", FigureDigits::fixed(4)).
CheckFigure figure(QString symbol, double value, QString unit, FigureDigits digits);
CheckFigure named(QString symbol);
CheckStatement compare(CheckFigure left, Relation relation, CheckFigure right);
CheckStatement state(CheckFigure only);

} // namespace korvane
