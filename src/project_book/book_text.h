#pragma once

#include "base/number_format.h"
#include "project/project_compute.h"

#include <QString>

// Numbers and verdicts as the project book prints them, the same in every part of it: inputs in
// the general format, impedances (mΩ) to six decimals, currents (kA) and Δu (%) to four,
// lengths (m) to one.
namespace korvane::book_text {

inline const QString kNotComputed = QStringLiteral("未计算");

inline QString g(double value) {
    return formatGeneral(value);
}
inline QString fixed1(double value) {
    return formatFixed(value, 1);
}
inline QString fixed4(double value) {
    return formatFixed(value, 4);
}
inline QString fixed6(double value) {
    return formatFixed(value, 6);
}
// A check's verdict with its figures or reason: "通过（Δu = 3.1% ≤ 5%）".
inline QString stateLine(const CheckOutcome& outcome) {
    const QString text = outcome.text();
    return text.isEmpty() ? checkStateText(outcome)
                          : QStringLiteral("%1（%2）").arg(checkStateText(outcome), text);
}

} // namespace korvane::book_text
