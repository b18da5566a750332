#include "base/number_format.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

// All conversions between doubles and decimal text go through std::to_chars / std::from_chars:
// they ignore the C locale, which QCoreApplication sets from the environment on Unix and which
// would otherwise turn printf's and strtod's '.' into a ',' behind our back.

namespace korvane {

namespace {

// Significant digits of the general format, as the calculation book has always shown them.
constexpr int kGeneralDigits = 15;

// A finite value as sign, significant decimal digits and the power of ten of the first digit:
// value = d0.d1d2… × 10^exponent. Zero is the single digit "0" with exponent 0.
struct DecimalDigits {
    bool negative = false;
    std::string digits = "0";
    int exponent = 0;

    bool isZero() const { return digits == "0"; }
};

DecimalDigits decimalZero() {
    return DecimalDigits{};
}

// A number as to_chars writes it in scientific form: its sign, its digits (at most 17, the most
// a double needs) and the power of ten of the first.
struct ScientificDigits {
    bool negative = false;
    std::array<char, 24> digits{};
    std::size_t count = 0;
    int exponent = 0;
};

ScientificDigits scannedDigits(const char* p, const char* end) {
    ScientificDigits s;
    s.negative = *p == '-';
    p += s.negative ? 1 : 0;
    for (; p != end && *p != 'e' && s.count < s.digits.size(); ++p) {
        if (*p != '.') {
            s.digits[s.count++] = *p;
        }
    }
    if (p != end && *p == 'e') {
        ++p;
        p += *p == '+' ? 1 : 0;
        std::from_chars(p, end, s.exponent);
    }
    return s;
}

// The first `kept` digits as a decimal; all zeros are the one zero.
DecimalDigits decimalDigitsOf(const ScientificDigits& s, std::size_t kept) {
    if (std::all_of(s.digits.begin(), s.digits.begin() + static_cast<std::ptrdiff_t>(kept),
                    [](char d) { return d == '0'; })) {
        return decimalZero();
    }
    DecimalDigits result;
    result.negative = s.negative;
    result.digits.assign(s.digits.data(), kept); // no allocation up to 15 digits
    result.exponent = s.exponent;
    return result;
}

// The value to `significant` significant digits, rounded to nearest (ties to even) on the exact
// binary value, with trailing zeros to that many digits.
//
// The exact digits need the library's printf-like conversion, several times slower than its
// shortest round-trip one, and every figure of every check of every section sizing tries is
// written; so the shortest digits S come first. S lies within half a unit in the last place of
// the value x, and for up to 15 digits that is less than half a step of the rounding grid:
// - S of no more than `significant` digits is x rounded, there being no other grid point as
//   near;
// - longer, S rounded is x rounded unless the grid's midpoint M lies between them. M would then
//   be as short as S or shorter, and as near to x, which the shortest conversion rules out —
//   except when S is M itself (its digits beyond the grid exactly "5"): the exact conversion
//   decides that tie.
DecimalDigits toDecimalDigits(double value, int significant = kGeneralDigits) {
    std::array<char, 64> buffer{};
    // Normal values only: a subnormal's last place is coarser than 15 digits (5e-324 is
    // 4.94065645841247e-324), and infinities and NaN keep their text.
    if (significant >= 1 && significant <= kGeneralDigits &&
        (std::isnormal(value) || value == 0.0)) {
        const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                             std::chars_format::scientific);
        if (ec == std::errc{}) {
            ScientificDigits shortest = scannedDigits(buffer.data(), end);
            std::array<char, 24>& d = shortest.digits;
            const auto kept = static_cast<std::size_t>(significant);
            const bool tie = shortest.count == kept + 1 && d[kept] == '5';
            if (!tie) {
                if (shortest.count > kept && d[kept] >= '5') {
                    std::size_t i = kept;
                    while (i > 0 && d[i - 1] == '9') {
                        d[--i] = '0';
                    }
                    if (i == 0) { // 9.99… became 10.0…
                        d[0] = '1';
                        ++shortest.exponent;
                    } else {
                        ++d[i - 1];
                    }
                }
                for (std::size_t i = shortest.count; i < kept; ++i) {
                    d[i] = '0';
                }
                return decimalDigitsOf(shortest, kept);
            }
        }
    }
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::scientific, significant - 1);
    if (ec != std::errc{}) {
        return decimalZero();
    }
    const ScientificDigits exact = scannedDigits(buffer.data(), end);
    return decimalDigitsOf(exact, exact.count);
}

enum class Tie { AwayFromZero, ToEven };

// Rounds the decimal digits at the place 10^-decimals. Working on the digits rather than on the
// binary double is what makes 8.45725 (binary 8.45724999…) round up to 8.4573.
DecimalDigits roundDigits(const DecimalDigits& value, int decimals, Tie tie) {
    if (value.isZero()) {
        return value;
    }
    const long long kept = static_cast<long long>(value.exponent) + decimals + 1;
    if (kept >= static_cast<long long>(value.digits.size())) {
        return value; // nothing beyond the wanted place
    }
    if (kept < 0) {
        return decimalZero(); // below half a unit of the wanted place
    }
    const auto keptCount = static_cast<std::size_t>(kept);
    std::string head = value.digits.substr(0, keptCount);
    const char next = value.digits[keptCount];
    const bool restNonZero =
        value.digits.find_first_not_of('0', keptCount + 1) != std::string::npos;
    bool up = false;
    if (tie == Tie::AwayFromZero) {
        up = next >= '5';
    } else {
        const bool lastOdd = !head.empty() && (head.back() - '0') % 2 == 1;
        up = next > '5' || (next == '5' && (restNonZero || lastOdd));
    }
    if (up) {
        auto it = head.rbegin();
        for (; it != head.rend() && *it == '9'; ++it) {
            *it = '0';
        }
        if (it == head.rend()) {
            head.insert(head.begin(), '1');
        } else {
            ++*it;
        }
    }
    if (head.empty()) {
        return decimalZero();
    }
    // `head` now counts units of 10^-decimals; its first digit is non-zero.
    DecimalDigits result;
    result.negative = value.negative;
    result.digits = std::move(head);
    result.exponent = static_cast<int>(result.digits.size()) - 1 - decimals;
    return result;
}

// Reads back a rounded decimal. A value rounded beyond the largest double comes back infinite.
double toDouble(const DecimalDigits& value) {
    if (value.isZero()) {
        return 0.0;
    }
    // Up to 15 digits are an integer m below 2^53, and 10^k up to 10^22 is a double too: then
    // m·10^k or m / 10^-k is one correctly rounded operation, the nearest double (Clinger's
    // fast path of decimal reading).
    static constexpr std::array<double, 23> kPowersOfTen = {
        1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const auto count = static_cast<int>(value.digits.size());
    const int k = value.exponent - (count - 1);
    if (count <= 15 && k >= -22 && k <= 22) {
        std::uint64_t m = 0;
        for (const char d : value.digits) {
            m = m * 10 + static_cast<std::uint64_t>(d - '0');
        }
        const double mantissa = static_cast<double>(m);
        const double result = k >= 0 ? mantissa * kPowersOfTen[static_cast<std::size_t>(k)]
                                     : mantissa / kPowersOfTen[static_cast<std::size_t>(-k)];
        return value.negative ? -result : result;
    }
    std::string text = value.digits.substr(0, 1);
    if (value.digits.size() > 1) {
        text += '.';
        text += value.digits.substr(1);
    }
    text += 'e';
    text += std::to_string(value.exponent);
    double result = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
    if (ec == std::errc::result_out_of_range) {
        result = value.exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value.negative ? -result : result;
}

// The number read by either reader, still as text: mantissa digits (integer and fraction
// concatenated), how many of them stand before the decimal sign, and the written exponent.
struct ScannedNumber {
    bool negative = false;
    std::string digits;
    long long integerDigits = 0;
    long long exponent = 0;
};

// Exponents beyond any double are kept bounded so the arithmetic below cannot overflow.
constexpr long long kExponentCap = 1'000'000'000;

void appendExponentDigit(long long& exponent, char digit) {
    if (exponent < kExponentCap) {
        exponent = exponent * 10 + (digit - '0');
    }
}

// Converts a scanned number; std::nullopt when its magnitude is beyond the largest double.
// A value too small for a double reads as 0, as every field would show it anyway.
std::optional<double> toDouble(const ScannedNumber& number) {
    const std::size_t first = number.digits.find_first_not_of('0');
    if (first == std::string::npos) {
        return 0.0;
    }
    // value = 0.<significant digits> × 10^scale
    long long scale = number.integerDigits - static_cast<long long>(first) + number.exponent;
    scale = std::clamp(scale, -kExponentCap, kExponentCap);
    std::string text = "0." + number.digits.substr(first) + 'e' + std::to_string(scale);
    double result = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), result);
    if (ec == std::errc::result_out_of_range) {
        if (scale > 0) {
            return std::nullopt;
        }
        return 0.0;
    }
    if (ec != std::errc{} || !std::isfinite(result)) {
        return std::nullopt;
    }
    return number.negative ? -result : result;
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A Chinese input method in full-width mode types digits, signs, the decimal point, the exponent
// letter and blanks as their full-width forms (U+FF01 to U+FF5E, the ideographic space U+3000);
// they are taken as the ASCII characters they stand for. So is the minus sign U+2212.
QString foldFullWidth(const QString& text) {
    QString folded = text;
    for (QChar& c : folded) {
        const char16_t u = c.unicode();
        if (u >= 0xFF01 && u <= 0xFF5E) {
            c = QChar(static_cast<char16_t>(u - 0xFEE0));
        } else if (u == 0x3000) {
            c = u' ';
        } else if (u == 0x2212) {
            c = u'-';
        }
    }
    return folded;
}

// The group sign as typed: where the locale groups with a no-break or narrow space, a plain
// space does too, since that is what the keyboard gives.
bool isGroupSign(QChar c, const RegionalFormat& format) {
    if (c == format.groupSign) {
        return true;
    }
    return format.groupSign.isSpace() && c.isSpace();
}

QString nonFiniteText(double value) {
    if (std::isnan(value)) {
        return QStringLiteral("NaN");
    }
    return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
}

// The general format of already rounded digits: plain from 1e-5 up to 1e15, exponent form
// (mantissa, 'E', sign, at least two exponent digits) elsewhere; no grouping.
QString writeGeneral(const DecimalDigits& value, const RegionalFormat& format) {
    if (value.isZero()) {
        return QStringLiteral("0");
    }
    std::string digits = value.digits;
    digits.erase(digits.find_last_not_of('0') + 1);
    const int e = value.exponent;
    const auto count = static_cast<int>(digits.size());
    QString text;
    if (value.negative) {
        text += u'-';
    }
    if (e >= -5 && e < 15) {
        if (e >= 0) {
            for (int i = 0; i <= e; ++i) {
                text += i < count ? QChar::fromLatin1(digits[static_cast<std::size_t>(i)]) : u'0';
            }
            if (count > e + 1) {
                text += format.decimalSign;
                text += QString::fromLatin1(digits.substr(static_cast<std::size_t>(e) + 1));
            }
        } else {
            text += u'0';
            text += format.decimalSign;
            text += QString(-e - 1, u'0');
            text += QString::fromLatin1(digits);
        }
        return text;
    }
    text += QChar::fromLatin1(digits[0]);
    if (count > 1) {
        text += format.decimalSign;
        text += QString::fromLatin1(digits.substr(1));
    }
    text += u'E';
    text += e < 0 ? u'-' : u'+';
    text += QStringLiteral("%1").arg(std::abs(e), 2, 10, QChar(u'0'));
    return text;
}

} // namespace

RegionalFormat RegionalFormat::fromSystemLocale() {
    const QLocale locale = QLocale::system();
    RegionalFormat format;
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    if (!decimal.isEmpty()) {
        format.decimalSign = decimal.front();
    }
    if (!group.isEmpty()) {
        format.groupSign = group.front();
    }
    // A locale without its own group sign must not end up grouping with its decimal sign.
    if (format.groupSign == format.decimalSign) {
        format.groupSign = format.decimalSign == u'.' ? u',' : u'.';
    }
    format.groupSize = 3;
    format.shortDatePattern = locale.dateFormat(QLocale::ShortFormat);
    return format;
}

namespace {
RegionalFormat& currentFormat() {
    static RegionalFormat format;
    return format;
}
} // namespace

const RegionalFormat& regionalFormat() {
    return currentFormat();
}

void setRegionalFormat(const RegionalFormat& format) {
    currentFormat() = format;
}

double readLenient(const QString& text, const RegionalFormat& format) {
    // Blanks go first, wherever they are, so "1 2 . 5" reads as 12.5. The regional decimal sign
    // counts as '.', so that a value the program wrote in the regional format reads back. The
    // scan stops at the first character that cannot be part of an ASCII number.
    const QString folded = foldFullWidth(text);
    std::string compact;
    compact.reserve(static_cast<std::size_t>(folded.size()));
    for (QChar c : folded) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
            continue;
        }
        if (c == format.decimalSign) {
            c = u'.';
        }
        if (c.unicode() >= 0x80) {
            break;
        }
        compact.push_back(static_cast<char>(c.unicode()));
    }

    ScannedNumber number;
    std::size_t p = 0;
    const std::size_t n = compact.size();
    auto isDigitAt = [&](std::size_t i) { return i < n && compact[i] >= '0' && compact[i] <= '9'; };
    if (p < n && (compact[p] == '+' || compact[p] == '-')) {
        number.negative = compact[p] == '-';
        ++p;
    }
    for (; isDigitAt(p); ++p) {
        number.digits.push_back(compact[p]);
    }
    number.integerDigits = static_cast<long long>(number.digits.size());
    if (p < n && compact[p] == '.') {
        for (++p; isDigitAt(p); ++p) {
            number.digits.push_back(compact[p]);
        }
    }
    if (number.digits.empty()) {
        return 0.0;
    }
    // 'D' is the old double-precision exponent letter; it is taken like 'E'. The exponent
    // counts only when a digit follows, so "3e" and "3e+" read as 3.
    if (p < n &&
        (compact[p] == 'e' || compact[p] == 'E' || compact[p] == 'd' || compact[p] == 'D')) {
        std::size_t q = p + 1;
        bool negativeExponent = false;
        if (q < n && (compact[q] == '+' || compact[q] == '-')) {
            negativeExponent = compact[q] == '-';
            ++q;
        }
        if (isDigitAt(q)) {
            for (; isDigitAt(q); ++q) {
                appendExponentDigit(number.exponent, compact[q]);
            }
            if (negativeExponent) {
                number.exponent = -number.exponent;
            }
        }
    }
    // A number too large for a double is no usable field value: it reads as 0 like any other
    // unusable text.
    return toDouble(number).value_or(0.0);
}

namespace {

// The whole text (already trimmed) as one number with `format`'s decimal sign. Group signs are
// taken only where they group validly: a first group of one to `groupSize` digits that does not
// start with 0, then groups of exactly `groupSize` digits, all before the decimal sign. So "1,5"
// and "0,85" are no numbers where ',' groups, rather than 15 and 85.
std::optional<double> readWhole(const QString& trimmed, const RegionalFormat& format) {
    const qsizetype n = trimmed.size();
    const bool grouping = format.groupSize > 0 && !format.groupSign.isNull();
    qsizetype p = 0;
    ScannedNumber number;
    if (p < n && (trimmed[p] == u'+' || trimmed[p] == u'-')) {
        number.negative = trimmed[p] == u'-';
        ++p;
    }
    // Digit counts of the groups of the integer part; one entry when no group sign is written.
    std::vector<long long> groups{0};
    for (; p < n; ++p) {
        const QChar c = trimmed[p];
        if (isAsciiDigit(c)) {
            number.digits.push_back(static_cast<char>(c.unicode()));
            ++groups.back();
        } else if (grouping && c != format.decimalSign && isGroupSign(c, format) &&
                   !number.digits.empty() && p + 1 < n && isAsciiDigit(trimmed[p + 1])) {
            groups.push_back(0);
        } else {
            break;
        }
    }
    if (groups.size() > 1) {
        const bool firstValid = groups.front() <= format.groupSize && number.digits.front() != '0';
        const bool restValid = std::all_of(groups.begin() + 1, groups.end(),
                                           [&](long long g) { return g == format.groupSize; });
        if (!firstValid || !restValid) {
            return std::nullopt;
        }
    }
    number.integerDigits = static_cast<long long>(number.digits.size());
    if (p < n && trimmed[p] == format.decimalSign) {
        for (++p; p < n && isAsciiDigit(trimmed[p]); ++p) {
            number.digits.push_back(static_cast<char>(trimmed[p].unicode()));
        }
    }
    if (number.digits.empty()) {
        return std::nullopt;
    }
    if (p < n && (trimmed[p] == u'e' || trimmed[p] == u'E')) {
        ++p;
        bool negativeExponent = false;
        if (p < n && (trimmed[p] == u'+' || trimmed[p] == u'-')) {
            negativeExponent = trimmed[p] == u'-';
            ++p;
        }
        if (p >= n || !isAsciiDigit(trimmed[p])) {
            return std::nullopt;
        }
        for (; p < n && isAsciiDigit(trimmed[p]); ++p) {
            appendExponentDigit(number.exponent, static_cast<char>(trimmed[p].unicode()));
        }
        if (negativeExponent) {
            number.exponent = -number.exponent;
        }
    }
    if (p != n) {
        return std::nullopt;
    }
    return toDouble(number);
}

// The program's own form: '.' as the decimal sign, no grouping.
const RegionalFormat kPlainFormat{u'.', QChar(), 0};

} // namespace

std::optional<double> readStrict(const QString& text, const RegionalFormat& format) {
    const QString trimmed = foldFullWidth(text).trimmed();
    // Where the regional decimal sign is not '.', a text in the program's own '.' form (fixed
    // list items, values of calculation files and scripts, figures typed from a handbook) is
    // still read as such. This decides the one ambiguous shape too: "1.234" where '.' groups
    // reads as 1.234, not as 1234, since that is how the program's own form writes 1.234. The
    // program never writes that shape in the regional form: its general format does not group
    // and its fixed-point texts always carry the decimal sign ("1.234,0000"). A number with two
    // group signs or with the regional decimal sign ("1.234.567", "1.234,5") is not in the '.'
    // form and is read regionally.
    if (format.decimalSign != u'.') {
        if (const auto plain = readWhole(trimmed, kPlainFormat)) {
            return plain;
        }
    }
    return readWhole(trimmed, format);
}

std::optional<double> readPlainDecimal(const QString& text) {
    return readWhole(text.trimmed(), kPlainFormat);
}

QString regionalDecimalText(const QString& text, const RegionalFormat& format) {
    if (format.decimalSign == u'.' || text.count(u'.') != 1 || !readPlainDecimal(text)) {
        return text;
    }
    QString regional = text;
    regional.replace(u'.', format.decimalSign);
    return regional;
}

double roundHalfAwayFromZero(double value, int decimals) {
    if (!std::isfinite(value)) {
        return value;
    }
    return toDouble(roundDigits(toDecimalDigits(value), decimals, Tie::AwayFromZero));
}

double roundHalfEven(double value, int decimals) {
    if (!std::isfinite(value)) {
        return value;
    }
    return toDouble(roundDigits(toDecimalDigits(value), decimals, Tie::ToEven));
}

double roundToSignificant(double value, int digits) {
    if (!std::isfinite(value)) {
        return value;
    }
    return toDouble(toDecimalDigits(value, std::clamp(digits, 1, 17)));
}

QString formatFixed(double value, int decimals, const RegionalFormat& format) {
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    decimals = std::max(decimals, 0);
    const DecimalDigits rounded = roundDigits(toDecimalDigits(value), decimals, Tie::AwayFromZero);
    const auto count = static_cast<long long>(rounded.digits.size());
    const long long e = rounded.exponent;
    auto digitAt = [&](long long index) {
        return index >= 0 && index < count ? rounded.digits[static_cast<std::size_t>(index)] : '0';
    };
    // The whole text written into one string of its final length: a check's figures are
    // written for every section sizing tries.
    const long long integerCount = std::max(e + 1, 1LL); // "0" below one
    const bool grouping = format.groupSize > 0 && !format.groupSign.isNull();
    const long long separators = grouping ? (integerCount - 1) / format.groupSize : 0;
    const auto length = static_cast<qsizetype>((rounded.negative ? 1 : 0) + integerCount +
                                               separators + (decimals > 0 ? 1 + decimals : 0));
    QString text(length, Qt::Uninitialized);
    QChar* out = text.data();
    if (rounded.negative) { // a value rounded to zero has lost its sign
        *out++ = u'-';
    }
    for (long long i = 0; i < integerCount; ++i) {
        if (grouping && i > 0 && (integerCount - i) % format.groupSize == 0) {
            *out++ = format.groupSign;
        }
        *out++ = QChar::fromLatin1(e < 0 ? '0' : digitAt(i));
    }
    if (decimals > 0) {
        *out++ = format.decimalSign;
        for (long long i = 1; i <= decimals; ++i) {
            *out++ = QChar::fromLatin1(digitAt(e + i));
        }
    }
    return text;
}

QString formatGeneral(double value, const RegionalFormat& format) {
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    return writeGeneral(toDecimalDigits(value), format);
}

QString formatFourDecimalsTrimmed(double value, const RegionalFormat& format) {
    if (!std::isfinite(value)) {
        return nonFiniteText(value);
    }
    return writeGeneral(roundDigits(toDecimalDigits(value), 4, Tie::ToEven), format);
}

} // namespace korvane
