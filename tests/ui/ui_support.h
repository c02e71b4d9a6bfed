#pragma once
// Helpers of the widget tests. The application object they need (offscreen platform,
// set by CTest) is made by the test program's main.
#include <QApplication>
#include <QImage>

#include "template/template.h"

namespace vexil::test {

inline Area areaRect(int x0, int y0, int x1, int y1, int level = 1) {
    Area a;
    a.x0 = std::int16_t(x0);
    a.y0 = std::int16_t(y0);
    a.x1 = std::int16_t(x1);
    a.y1 = std::int16_t(y1);
    a.level = std::int16_t(level);
    return a;
}

inline bool isColor(const QImage& image, int x, int y, QColor c) {
    return image.pixelColor(x, y).rgb() == c.rgb();
}

}  // namespace vexil::test
