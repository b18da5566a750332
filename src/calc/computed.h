#pragma once

#include "base/number_format.h"

#include <QString>

#include <cmath>
#include <optional>
#include <utility>

namespace korvane {

// A quantity a calculation produced, or the reason it could not produce it. Every calculation
// result carries its values this way: a handler writes what was computed and shows the reason
// for what was not, and a book prints the same, from the same result.
template <typename T> class Computed {
public:
    Computed(T value) : value_(std::move(value)) {} // NOLINT: a computed value converts
    // Nothing computed and no reason given: a step that was not taken at all.
    Computed(std::nullopt_t) {} // NOLINT: converts like an empty optional
    static Computed failed(QString reason) {
        Computed c;
        c.reason_ = std::move(reason);
        return c;
    }

    bool ok() const { return value_.has_value(); }
    bool has_value() const { return ok(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *value_; }
    const T& operator*() const { return *value_; }
    const T* operator->() const { return &*value_; }
    T valueOr(T fallback) const { return value_.value_or(std::move(fallback)); }
    // Why the value could not be computed; empty when it was.
    const QString& reason() const { return reason_; }

    // The next step on a computed value; a failure passes on with its reason.
    template <typename F> auto then(F&& step) const -> decltype(step(std::declval<const T&>())) {
        using Next = decltype(step(std::declval<const T&>()));
        if (!ok())
            return Next::failed(reason_);
        return step(*value_);
    }

private:
    Computed() = default;
    std::optional<T> value_;
    QString reason_;
};

// How a chain of steps carries its intermediates: exactly, or each rounded to six decimals
// before the next step uses it, as a calculation book prints every intermediate and computes on
// from the printed figure.
enum class Rounding { Exact, SixDecimals };

// The arithmetic of one chain of calculation steps. Every intermediate is checked: a division by
// zero, the root of a negative number or an overflow fails the chain with the first reason met;
// the remaining steps still run on what came out, but the chain's result is the failure. An
// overflowing divisor (100·Sr → ∞) would otherwise turn a quotient into a harmless-looking zero.
//
// value(), divide() and squareRoot() are the named values of a chain: under the six-decimal
// policy each comes back as its six-decimal text, written in `format`, reads back (grouping
// included).
// checked() and quotient() are the terms inside one formula: checked the same way, never rounded.
class StepChain {
public:
    explicit StepChain(Rounding rounding = Rounding::Exact,
                       const RegionalFormat& format = RegionalFormat{})
        : rounding_(rounding), format_(format) {}

    double value(double v) {
        v = checked(v);
        if (rounding_ == Rounding::SixDecimals && std::isfinite(v))
            return readStrict(formatFixed(v, 6, format_), format_).value_or(v);
        return v;
    }
    double divide(double numerator, double denominator) {
        return value(quotient(numerator, denominator));
    }
    double squareRoot(double v) {
        if (v < 0.0) {
            fail(QStringLiteral("负数不能开平方"));
            return 0.0;
        }
        return value(std::sqrt(v));
    }
    // A term of a formula: checked, not rounded.
    double checked(double v) {
        if (!std::isfinite(v))
            fail(QStringLiteral("计算结果超出数值范围"));
        return v;
    }
    double quotient(double numerator, double denominator) {
        if (denominator == 0.0) {
            fail(QStringLiteral("除数为0"));
            return 0.0;
        }
        return checked(numerator / denominator);
    }
    // Marks the chain failed for a reason of the caller's (an input out of range, say).
    void fail(const QString& reason) {
        if (!failed_)
            reason_ = reason;
        failed_ = true;
    }

    bool failed() const { return failed_; }
    const QString& reason() const { return reason_; }
    Rounding rounding() const { return rounding_; }
    const RegionalFormat& format() const { return format_; }
    // The chain's outcome for a value it computed.
    template <typename T> Computed<T> result(T v) const {
        return failed_ ? Computed<T>::failed(reason_) : Computed<T>(std::move(v));
    }

private:
    Rounding rounding_;
    RegionalFormat format_;
    bool failed_ = false;
    QString reason_;
};

} // namespace korvane
