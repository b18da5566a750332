#pragma once

namespace korvane {

class Form;
struct VoltageLossInput;

// The inputs of the voltage-loss computation as page 0 holds them now.
VoltageLossInput readVoltageLossInput(const Form& form);
// "计  算" on page 0: Δu% into Text6, the verdict into Text3, the maximum length into Text7.
void installVoltageLossAction(Form& form);

inline constexpr const char* kVerdictPass = "电压损失Δu%≤5% 校验通过:";
inline constexpr const char* kVerdictFail = "电压损Δu% ≥5%不符合要求请重新选择导体截面;";

} // namespace korvane
