#pragma once

#include "short_circuit/short_circuit.h"

namespace korvane {

class PageServices;
class Form;

// The inputs of page 1 read strictly; fails, naming the first, when one of them is empty or not a
// number.
Computed<ShortCircuitInput> readShortCircuitInput(const Form& form);

// Page 1: "计  算" and "清  零", the transformer and busbar dialogs and the line-impedance pickers.
void installShortCircuitPage(PageServices& app, Form& form);

inline constexpr const char* kShortCircuitMissingData = "已知数据未输全，请检查： ";
inline constexpr const char* kShortCircuitMissingDataTitle = "输入计算短路电流数据 ";

} // namespace korvane
