#include "commands/placement.h"

#include <algorithm>
#include <cmath>

#include "session/session.h"

namespace vexil {

namespace {

double scaleX(QSize screen, int tpp) { return double(screen.width()) * tpp / 9600.0; }
double scaleY(QSize screen, int tpp) { return double(screen.height()) * tpp / 7155.0; }
int px(double v) { return int(std::lround(v)); }

}  // namespace

QRect boardWindowRect(const Area& r, QSize screen, int tpp) {
    // Positions are worked out in twips, as windows are moved, then made pixels.
    const double sx = scaleX(screen, tpp), sy = scaleY(screen, tpp);
    const double left = r.x0 * tpp * sx;
    const double top = (r.y0 >= 1 ? r.y0 - 32 : r.y0) * tpp * sy;
    const double width = (r.x1 - r.x0) * tpp * sx;
    const double height = (r.y1 - r.y0 + 32) * tpp * sy;
    return QRect(px(left / tpp), px(top / tpp), px(width / tpp), px(height / tpp));
}

QRect appWindowRect(const Area& r, QSize screen, int tpp) {
    const double sx = scaleX(screen, tpp), sy = scaleY(screen, tpp);
    int x = 0, y = 0, width = 0, height = 0;
    const bool fullWidth = 640 - (r.x1 - r.x0) < 10;
    const bool fullHeight = 445 - (r.y1 - r.y0) < 10;
    if (fullWidth) {
        width = screen.width();
    } else if (r.x0 >= 10) {
        width = px((r.x0 - 1) * sx);
    } else {
        x = px((r.x1 - 1) * sx);
        width = px((641 - r.x1) * sx);
    }
    if (fullHeight) {
        height = screen.height();
    } else if (r.y0 >= 10) {
        height = px((r.y0 - 33) * sy);
    } else {
        y = px((r.y1 + 33) * sy);
        height = px((480 - (r.y1 + 33)) * sy);
    }
    if (x == 0 && y == 0 && fullWidth && fullHeight) {
        x = width + 1;
        y = height + 1;
    }
    // A frame close to the edge would give no size or a negative one.
    return QRect(x, y, std::max(width, 1), std::max(height, 1));
}

void placeAppWindow(Session& session, WindowHandle window) {
    if (window <= 0 || session.tmpl.areaCount() < 1) return;
    WindowSystem& windows = session.platform.windows;
    if (windows.title(window).contains(QLatin1String("Vexil"))) return;
    const QRect rect = appWindowRect(session.tmpl.area(1), windows.screenSize());
    windows.moveResize(window, rect);
    windows.setTopMost(window, true);
}

}  // namespace vexil
