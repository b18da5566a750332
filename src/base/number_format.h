#pragma once

#include <QString>

#include <optional>

namespace korvane {

// The user's regional number settings: decimal sign and digit grouping. The GUI takes them from
// the system locale; the CLI and the tests use the defaults ('.' and ',' grouping by three).
struct RegionalFormat {
    QChar decimalSign = u'.';
    QChar groupSign = u',';
    int groupSize = 3;
    // The short date as the user's settings write it (QDate::toString pattern).
    QString shortDatePattern = QStringLiteral("yyyy/M/d");

    static RegionalFormat fromSystemLocale();
};

// The format every field reading and writing uses. Set once at start-up.
const RegionalFormat& regionalFormat();
void setRegionalFormat(const RegionalFormat& format);

// Lenient reading of a field: full-width characters count as their ASCII forms; blanks, tabs
// and line feeds anywhere are ignored, then the longest leading decimal number (sign, digits, one
// '.' or regional decimal sign, exponent) is taken; anything else, the empty text included, reads
// as 0. Never fails.
double readLenient(const QString& text, const RegionalFormat& format = regionalFormat());

// Strict reading of a field: the whole text (surrounding blanks allowed, full-width characters
// counting as their ASCII forms) must be a number in the regional format (sign, digits with
// validly placed group signs, regional decimal sign, exponent) or in the program's own form
// ('.' as the decimal sign, no grouping). The empty text and anything else fail.
std::optional<double> readStrict(const QString& text,
                                 const RegionalFormat& format = regionalFormat());

// A number in the program's own form only: sign, digits, '.', exponent; no grouping, no
// full-width characters; surrounding blanks allowed. std::nullopt for anything else.
std::optional<double> readPlainDecimal(const QString& text);

// A number written in the program's own form ("0.0760", as tables and fixed lists hold them)
// with its '.' replaced by the regional decimal sign, every digit kept as written. Any other text
// comes back unchanged.
QString regionalDecimalText(const QString& text, const RegionalFormat& format = regionalFormat());

// Decimal rounding on the value's 15-significant-digit decimal form, so that 8.45725 rounds to
// 8.4573 although the binary double lies a hair below it.
double roundHalfAwayFromZero(double value, int decimals);
double roundHalfEven(double value, int decimals);
// The value as it comes back from its general-format text (15 significant digits).
double roundToSignificant(double value, int digits = 15);

// Fixed-point text with exactly `decimals` decimals, a leading zero, regional grouping and sign;
// halves round away from zero.
QString formatFixed(double value, int decimals, const RegionalFormat& format = regionalFormat());

// General format: the shortest decimal form of up to 15 significant digits, regional decimal
// sign, no grouping, exponent form ("1E-05", "1.5E+20") outside 1e-5 .. 1e15.
QString formatGeneral(double value, const RegionalFormat& format = regionalFormat());

// A value kept as a fixed-point quantity of four decimals (halves to even), written in the
// general format without trailing zeros: 237.11376 gives "237.1138", 250 gives "250".
QString formatFourDecimalsTrimmed(double value, const RegionalFormat& format = regionalFormat());

} // namespace korvane
