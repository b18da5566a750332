#pragma once

#include "form/number_format.h"

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
    static Computed failed(QString reason) {
        Computed c;
        c.reason_ = std::move(reason);
        return c;
    }

    bool ok() const { return value_.has_value(); }
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
class StepChain {
public:
    explicit StepChain(Rounding rounding = Rounding::Exact) : rounding_(rounding) {}

    double value(double v) {
        if (!std::isfinite(v)) {
            fail(QStringLiteral("计算结果超出数值范围"));
            return v;
        }
        if (rounding_ == Rounding::SixDecimals)
            return readPlainDecimal(formatFixed(v, 6, RegionalFormat{})).value_or(v);
        return v;
    }
    double divide(double numerator, double denominator) {
        if (denominator == 0.0) {
            fail(QStringLiteral("除数为0"));
            return 0.0;
        }
        return value(numerator / denominator);
    }
    double squareRoot(double v) {
        if (v < 0.0) {
            fail(QStringLiteral("负数不能开平方"));
            return 0.0;
        }
        return value(std::sqrt(v));
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
    // The chain's outcome for a value it computed.
    template <typename T> Computed<T> result(T v) const {
        return failed_ ? Computed<T>::failed(reason_) : Computed<T>(std::move(v));
    }

private:
    Rounding rounding_;
    bool failed_ = false;
    QString reason_;
};

} // namespace korvane
