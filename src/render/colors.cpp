#include "render/colors.h"

namespace korvane::render {

QColor toQColor(Color color, const QPalette& palette) {
    if ((color & 0x80000000U) != 0) {
        switch (color & 0xFFU) {
        case 0x0F: // button face
            return palette.color(QPalette::Button);
        case 0x08: // window text
            return palette.color(QPalette::WindowText);
        case 0x05: // window background
            return palette.color(QPalette::Base);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return {static_cast<int>(color & 0xFFU), static_cast<int>((color >> 8) & 0xFFU),
            static_cast<int>((color >> 16) & 0xFFU)};
}

} // namespace korvane::render
