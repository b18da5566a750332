#pragma once

#include <QString>

namespace korvane {

class Form;
struct VoltageLossInput;
struct VoltageLossResult;

// The inputs of the voltage-loss computation as page 0 holds them now.
VoltageLossInput readVoltageLossInput(const Form& form);
// "计  算" on page 0: Δu%, the verdict and the maximum length, written through the page's table.
void installVoltageLossAction(Form& form);

inline constexpr const char* kVerdictPass = "电压损失Δu%≤5% 校验通过:";
inline constexpr const char* kVerdictFail = "电压损Δu% ≥5%不符合要求请重新选择导体截面;";
// Start of the verdict when the loss does not come from a real line; the reason follows.
inline constexpr const char* kVerdictNotComputed = "电压损失无法计算：";

// The verdict text: pass, fail, or why the loss could not be computed.
QString voltageLossVerdict(const VoltageLossResult& result);

} // namespace korvane
