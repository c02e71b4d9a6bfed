#include "commands/placement.h"

#include <algorithm>
#include <cmath>
#include <optional>

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

namespace {

// The strip of a 640 x 480 reference screen that the board leaves free, when it is room
// enough to work in (a quarter of the screen across it at least).
std::optional<QRect> stripBeside(const Area& r, QSize screen, int tpp) {
    const double sx = scaleX(screen, tpp), sy = scaleY(screen, tpp);
    int x = 0, y = 0, width = 0, height = 0;
    const bool fullWidth = 640 - (r.x1 - r.x0) < 10;
    const bool fullHeight = 445 - (r.y1 - r.y0) < 10;
    if (fullWidth && fullHeight) return std::nullopt;
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
    if (width < screen.width() / 4 || height < screen.height() / 4) return std::nullopt;
    return QRect(x, y, width, height) & QRect(QPoint(0, 0), screen);
}

}  // namespace

QRect appWindowRect(const Area& r, QSize screen, int tpp) {
    if (const auto strip = stripBeside(r, screen, tpp)) return *strip;
    // No room beside the board: the bottom third of the screen, over the board, so that
    // what is typed into it is seen.
    const int third = screen.height() / 3;
    return QRect(0, screen.height() - third, screen.width(), third);
}

bool appOverBoard(const Area& frame, QSize screen, int tpp) {
    return !stripBeside(frame, screen, tpp).has_value();
}

void focusBoardOverApp(Session& session) {
    WindowSystem& windows = session.platform.windows;
    // The board keeps the focus (every 100 ms in use mode) and is raised only when it had
    // lost it. The window manager may raise it after a request made now (the toolkit sends
    // the activation on a connection of its own), so the target is raised once the board
    // has the focus again.
    // Asking who has the focus costs the window system a round trip: only a target lying
    // over the board needs it, not every tick beside one.
    const WindowHandle target = session.player.targetWindow;
    const bool over = target > 0 && session.tmpl.areaCount() >= 1 &&
                      appOverBoard(session.tmpl.area(1), windows.screenSize());
    const bool hadFocus = over && windows.ownWindowFocused();
    session.view->focusBoard();
    if (!over) return;
    bool& pending = session.access.raiseAppPending;
    if (!hadFocus) {
        pending = true;
    } else if (pending) {
        pending = false;
        windows.raise(target);
    }
}

void placeAppWindow(Session& session, WindowHandle window) {
    if (window <= 0 || session.tmpl.areaCount() < 1) return;
    WindowSystem& windows = session.platform.windows;
    if (windows.title(window).contains(QLatin1String("Vexil"))) return;
    const QRect rect = appWindowRect(session.tmpl.area(1), windows.screenSize());
    // Not kept above other windows: the program's dialogs and the editor must come above
    // it, and so must any window the user brings forward. Typing into it activates it.
    windows.moveResize(window, rect);
    if (appOverBoard(session.tmpl.area(1), windows.screenSize())) windows.raise(window);
}

void keepAppWindowPlaced(Session& session, WindowHandle window) {
    if (window <= 0 || session.tmpl.areaCount() < 1) return;
    WindowSystem& windows = session.platform.windows;
    const QRect now = windows.geometry(window);
    // A window the desktop does not show where it is (Wayland) cannot be told to have moved.
    if (now.isEmpty()) return;
    if (now.topLeft() != appWindowRect(session.tmpl.area(1), windows.screenSize()).topLeft())
        placeAppWindow(session, window);
}

void keepAppWindowPlacedLater(Session& session, WindowHandle window) {
    Timer& timer = *session.settleTimer;
    timer.setEnabled(false);
    if (window <= 0) return;
    timer.onTimeout([&session, &timer, window] {
        timer.setEnabled(false);
        if (session.player.targetWindow == window) keepAppWindowPlaced(session, window);
    });
    timer.setInterval(kWindowSettleMs);
    timer.setEnabled(true);
}

}  // namespace vexil
