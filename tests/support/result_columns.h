#pragma once

#include "app/project_session.h"

#include <QString>

namespace korvane::testing {

// The result columns the schedule tests read, by their headers in the project's result schema.
namespace ResultColumn {
inline const QString LossPercent = QStringLiteral("Δu(%)");
inline const QString Verdict = QStringLiteral("电压损失");
inline const QString ThreePhaseKa = QStringLiteral("I″k3(kA)");
inline const QString LoadCurrent = QStringLiteral("计算电流Ib(A)");
inline const QString ResidualBreaker = QStringLiteral("QR In(A)");
inline const QString Overall = QStringLiteral("结论");
} // namespace ResultColumn

// The session's column of a result header; -1 when it shows none.
inline int resultColumn(const ProjectSession& s, const QString& header) {
    for (int c = s.schedule().inputColumnCount(); c < s.schedule().columnCount(); ++c)
        if (s.schedule().columnHeader(c) == header)
            return c;
    return -1;
}

} // namespace korvane::testing
