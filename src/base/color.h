#pragma once

#include <QString>

#include <cstdint>

namespace korvane {

// Colours are 0xBBGGRR values; values with the high bit set name a system colour.
using Color = std::uint32_t;
namespace colors {
inline constexpr Color kWhite = 0xFFFFFF;
inline constexpr Color kBlack = 0x000000;
inline constexpr Color kRed = 0x0000FF;
inline constexpr Color kButtonFace = 0x8000000F;  // system colour of button faces
inline constexpr Color kWindowText = 0x80000008;  // system colour of text in windows
inline constexpr Color kOutOfDateText = 0x808080; // grey text of a result whose inputs changed
} // namespace colors

// A colour as the property listings write it, "0x00FFFFFF".
QString colorText(Color color);

} // namespace korvane
