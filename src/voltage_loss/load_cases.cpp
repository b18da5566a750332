#include "voltage_loss/load_cases.h"

#include <array>

namespace korvane {

namespace {

constexpr std::array kAllLoadCases{
    LoadCase::EndCurrent, LoadCase::UniformCurrent, LoadCase::SeveralCurrent,
    LoadCase::EndPower4,  LoadCase::SeveralPower,   LoadCase::SeveralUnityPower,
    LoadCase::EndPower3,  LoadCase::EndUnityPower,  LoadCase::EndUnityPowerOrDc,
};

} // namespace

QString text(LineKind kind) {
    switch (kind) {
    case LineKind::ThreePhase:
        return line_kind::kThreePhase;
    case LineKind::SinglePhaseLineVoltage:
        return line_kind::kSinglePhaseLineVoltage;
    case LineKind::TwoPhaseNeutral:
        return line_kind::kTwoPhaseNeutral;
    case LineKind::SinglePhasePhaseVoltage:
        return line_kind::kSinglePhasePhaseVoltage;
    }
    return {};
}

QString text(LoadCase loadCase) {
    switch (loadCase) {
    case LoadCase::EndCurrent:
        return load_case::kEndCurrent;
    case LoadCase::UniformCurrent:
        return load_case::kUniformCurrent;
    case LoadCase::SeveralCurrent:
        return load_case::kSeveralCurrent;
    case LoadCase::EndPower4:
        return load_case::kEndPower4;
    case LoadCase::SeveralPower:
        return load_case::kSeveralPower;
    case LoadCase::SeveralUnityPower:
        return load_case::kSeveralUnityPower;
    case LoadCase::EndPower3:
        return load_case::kEndPower3;
    case LoadCase::EndUnityPower:
        return load_case::kEndUnityPower;
    case LoadCase::EndUnityPowerOrDc:
        return load_case::kEndUnityPowerOrDc;
    }
    return {};
}

std::optional<LineKind> lineKindOf(const QString& shown) {
    for (LineKind kind : allLineKinds()) {
        if (text(kind) == shown)
            return kind;
    }
    return std::nullopt;
}

std::optional<LoadCase> loadCaseOf(const QString& shown) {
    for (LoadCase loadCase : kAllLoadCases) {
        if (text(loadCase) == shown)
            return loadCase;
    }
    return std::nullopt;
}

const std::vector<LineKind>& allLineKinds() {
    static const std::vector<LineKind> kinds{LineKind::ThreePhase, LineKind::SinglePhaseLineVoltage,
                                             LineKind::TwoPhaseNeutral,
                                             LineKind::SinglePhasePhaseVoltage};
    return kinds;
}

std::vector<LoadCase> loadCasesOf(LineKind kind) {
    using enum LoadCase;
    switch (kind) {
    case LineKind::ThreePhase:
    case LineKind::SinglePhaseLineVoltage:
        return {EndCurrent, UniformCurrent, SeveralCurrent,
                EndPower4,  SeveralPower,   SeveralUnityPower};
    case LineKind::TwoPhaseNeutral:
        return {EndCurrent, UniformCurrent, EndPower3, EndUnityPower};
    case LineKind::SinglePhasePhaseVoltage:
        return {EndCurrent, UniformCurrent, EndPower3, EndUnityPowerOrDc};
    }
    return {};
}

LoadPlace placeOf(LoadCase loadCase) {
    switch (loadCase) {
    case LoadCase::EndCurrent:
    case LoadCase::UniformCurrent:
        return LoadPlace::EndCurrent;
    case LoadCase::SeveralCurrent:
        return LoadPlace::SeveralCurrents;
    case LoadCase::EndPower4:
    case LoadCase::EndPower3:
    case LoadCase::EndUnityPower:
    case LoadCase::EndUnityPowerOrDc:
        return LoadPlace::EndPower;
    case LoadCase::SeveralPower:
        return LoadPlace::SeveralPowers;
    case LoadCase::SeveralUnityPower:
        return LoadPlace::SeveralUnityPowers;
    }
    return LoadPlace::EndPower;
}

} // namespace korvane
