#include "access/board_walk.h"

#include <cmath>
#include <limits>

namespace vexil {

namespace {

int roundHalfEven(double v) {
    return int(std::nearbyint(v));
}

}  // namespace

std::optional<int> nextScanSlot(const Template& tmpl, int slot, int level) {
    const int count = tmpl.areaCount();
    if (count <= 0) return std::nullopt;
    int s = slot;
    for (int tries = 0; tries < count; ++tries) {
        s = ((s + 1) % count + count) % count;
        if (tmpl.area(s + 1).level == level) return s;
    }
    return std::nullopt;
}

int probeWalk(const Template& tmpl, int from, int keyCode) {
    if (from < 1 || from > tmpl.areaCount()) return 0;
    const Area& a = tmpl.area(from);
    const int cx = roundHalfEven((a.x0 + a.x1) / 2.0);
    const int cy = roundHalfEven((a.y0 + a.y1) / 2.0);
    int x = 0, y = 0, dx = 0, dy = 0;
    switch (keyCode) {
        case kCursorLeft:
            x = a.x0 - 1;
            y = cy;
            dx = -1;
            break;
        case kCursorUp:
            x = cx;
            y = a.y0 - 1;
            dy = -1;
            break;
        case kCursorRight:
            x = a.x1 + 1;
            y = cy;
            dx = 1;
            break;
        case kCursorDown:
            x = cx;
            y = a.y1 + 1;
            dy = 1;
            break;
        default:
            return 0;
    }
    // Board coordinates are 16-bit: past that range nothing can lie under the probe.
    constexpr int lo = std::numeric_limits<std::int16_t>::min();
    constexpr int hi = std::numeric_limits<std::int16_t>::max();
    for (;;) {
        if (x < lo || x > hi || y < lo || y > hi) return 0;
        const int h = tmpl.areaAt(x, y);
        if (h != 1) return h;
        x += dx;
        y += dy;
    }
}

QPointF useModeScale(QSize screenPixels) {
    return {screenPixels.width() / 640.0, screenPixels.height() / 477.0};
}

QPoint boardPointFromPixels(const Template& tmpl, QPointF scale, QPointF pixels) {
    const Area& root = tmpl.areaCount() >= 1 ? tmpl.area(1) : tmpl.area(0);
    const double sx = scale.x() > 0 ? scale.x() : 1.0;
    const double sy = scale.y() > 0 ? scale.y() : 1.0;
    return {roundHalfEven(pixels.x() / sx + root.x0), roundHalfEven(pixels.y() / sy + root.y0)};
}

}  // namespace vexil
