#include "app/pole_lists.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvane {

namespace {

// The feeder with its missing values (not a number) made comparable: two lists missing the same
// values are the same list.
LampFeeder comparable(LampFeeder feeder) {
    constexpr double kMissingMark = -std::numeric_limits<double>::infinity();
    auto mark = [](double& value) {
        if (std::isnan(value))
            value = kMissingMark;
    };
    for (FeederRun& run : feeder.poleList.runs)
        for (FeederPole& pole : run.poles) {
            mark(pole.spanM);
            for (LampGroup& lamp : pole.lamps) {
                mark(lamp.powerW);
                mark(lamp.powerFactor);
                mark(lamp.ballastFactor);
            }
        }
    return feeder;
}

} // namespace

bool samePoleId(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

std::pair<int, int> findPole(const PoleList& list, const QString& id) {
    for (size_t r = 0; r < list.runs.size(); ++r)
        for (size_t p = 0; p < list.runs[r].poles.size(); ++p)
            if (samePoleId(list.runs[r].poles[p].id, id))
                return {int(r), int(p)};
    return {-1, -1};
}

QStringList branchesFrom(const PoleList& list, const QString& poleId) {
    QStringList names;
    for (size_t r = 1; r < list.runs.size(); ++r)
        if (samePoleId(list.runs[r].fromPole, poleId))
            names << list.runs[r].name;
    return names;
}

QString nextFreePoleId(const PoleList& list, const QString& id) {
    QString prefix = id.trimmed();
    qsizetype digits = 0;
    while (digits < prefix.size() && prefix.at(prefix.size() - 1 - digits).isDigit())
        ++digits;
    long long number = 0;
    if (digits > 0 && digits <= 12) {
        number = prefix.right(digits).toLongLong();
        prefix.chop(digits);
    } else if (!prefix.isEmpty()) {
        prefix += u'-';
    }
    for (long long n = number + 1;; ++n) {
        const QString candidate = prefix + QString::number(n);
        if (findPole(list, candidate).first < 0)
            return candidate;
    }
}

QString nextFreeRunName(const PoleList& list) {
    for (int n = 1;; ++n) {
        const QString candidate = QStringLiteral("支线%1").arg(n);
        if (std::none_of(list.runs.begin(), list.runs.end(),
                         [&](const FeederRun& r) { return samePoleId(r.name, candidate); }))
            return candidate;
    }
}

bool sameFeeder(const LampFeeder& a, const LampFeeder& b) {
    return comparable(a) == comparable(b);
}

CableIdentity runCable(const PoleList& list, int run, const CableIdentity& circuitCable) {
    for (size_t steps = 0; run > 0 && steps < list.runs.size(); ++steps) {
        const FeederRun& r = list.runs[size_t(run)];
        if (r.cable)
            return *r.cable;
        run = findPole(list, r.fromPole).first;
    }
    return circuitCable;
}

} // namespace korvane
