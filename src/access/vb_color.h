#pragma once
// Colours as the program's files store them: one number, red in the low byte, then green,
// then blue (255 is pure red).
#include <QColor>
#include <cmath>
#include <cstdint>

namespace vexil {

inline QColor colorFromNumber(double number) {
    // Out-of-range numbers (hand-edited profiles) keep their low 24 bits.
    const auto v = static_cast<std::uint32_t>(std::llround(std::fabs(number)) & 0xFFFFFF);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

inline double numberFromColor(const QColor& c) {
    return double(c.red() | (c.green() << 8) | (c.blue() << 16));
}

}  // namespace vexil
