#pragma once

#include "form/control.h"

namespace korvane {

class PageServices;
struct VerificationInputs;

// The values a run works from, read through the page tables when "校 验" is pressed: page 2's
// protection inputs, mode switches and fault currents, page 1's transformer capacity and busbar,
// page 0's cross-section, voltage loss and whether that could be computed.
VerificationInputs readVerificationInputs(const Form& form);

// Page 2: "校 验" (selection of the line's and the transformer's switchgear, the protection
// checks and the report), "清除数据" and the pickers of K, Rphp and the leakage current.
void installVerificationPage(PageServices& app, Form& form);

// Texts of the page's message boxes.
inline constexpr const char* kVerificationMissingData = "校验参数未输全，请检查：";
inline constexpr const char* kVerificationMissingDataTitle = "输入校验参数 ";
inline constexpr const char* kLoadOutOfRange = " 超出计算范围！重新选择设计参数：";
inline constexpr const char* kTransformerOutOfRange = " 变压器容量超出范围！重新选择：";
inline constexpr const char* kEarthFaultResistanceFailed =
    "选择的电缆截面不符合接地故障保护要求，重新选择电缆截面";
inline constexpr const char* kShortCircuitResistanceFailed =
    "选择的电缆截面不符合短路保护要求，重新选择电缆截面";
inline constexpr const char* kEarthFaultLowSensitivity[] = {
    "断路器灵敏度校验 < 1.3 不合格,单相接地故障", "", "电流Id较小，需扩大导体截面或缩短供电距离："};
inline constexpr const char* kShortCircuitLowSensitivity[] = {
    "断路器灵敏度校验 < 1.3 不合格,单相短路 ", "", "电流Ik1较小，需扩大导体截面或缩短供电距离："};

// Colours of the report text after a run in each mode (0xBBGGRR).
inline constexpr Color kEarthFaultReportColor = 0x0000C0;
inline constexpr Color kShortCircuitReportColor = 0xC000C0;

} // namespace korvane
