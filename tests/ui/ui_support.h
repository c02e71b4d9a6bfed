#pragma once
// The application object every widget test needs (offscreen platform, set by CTest).
#include <QApplication>
#include <QImage>

#include "template/template.h"

namespace vexil::test {

inline QApplication& app() {
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    static QApplication instance(argc, argv);
    return instance;
}

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
