#pragma once
// Rectangles of areas on the two boards: the edit board in board units, the use-mode board
// in pixels relative to area 1.
#include <QRect>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "template/template.h"

namespace vexil {

// A board value made a 16-bit integer the way the program rounds: to the nearest, halves to
// even, kept within 16 bits.
inline int toInt16(double v) {
    const double r = std::nearbyint(v);
    return int(std::clamp(r, -32768.0, 32767.0));
}

// The rectangle of an area as QPainter::drawRect wants it: the outline runs along x0..x1 and
// y0..y1, both edges included; reversed rectangles are normalised.
inline QRect outlineRect(int x0, int y0, int x1, int y1) {
    return QRect(std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0), std::abs(y1 - y0));
}

inline QRect unitRect(const Area& a) { return outlineRect(a.x0, a.y0, a.x1, a.y1); }

// Area `a` on the use-mode board, whose origin is area 1's top-left corner.
inline QRect scaledRect(const Area& a, const Area& root, double sx, double sy) {
    return outlineRect(toInt16((a.x0 - root.x0) * sx), toInt16((a.y0 - root.y0) * sy),
                       toInt16((a.x1 - root.x0) * sx), toInt16((a.y1 - root.y0) * sy));
}

}  // namespace vexil
