#include "platform/wayland/wlr_windows.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>
#include <algorithm>

#include "platform/wayland/wlr_session.h"

namespace vexil::wayland {
namespace {

// The protocol names no process: this program's own windows (the board, shown through
// XWayland or not) are known by their titles.
bool isOwnTitle(const QString& title) {
    const QWindowList own = QGuiApplication::topLevelWindows();
    return std::any_of(own.begin(), own.end(),
                       [&](const QWindow* w) { return w->isVisible() && w->title() == title; });
}

}  // namespace

std::vector<WindowInfo> WlrWindows::topLevelWindows() {
    session_.dispatchPending();
    std::vector<const Toplevel*> order;
    for (const auto& t : session_.toplevels())
        if (t->announced) order.push_back(t.get());
    std::stable_sort(order.begin(), order.end(), [](const Toplevel* a, const Toplevel* b) {
        return a->lastActive > b->lastActive;
    });
    std::vector<WindowInfo> out;
    // Of the processes only this program's own is known, as on X11 it tells its own windows
    // apart (the board appearing while a started program's window is awaited).
    const auto self = ProcessId(QCoreApplication::applicationPid());
    for (const Toplevel* t : order)
        out.push_back({WindowHandle(t->id), t->parent != nullptr, !t->minimized, t->title,
                       isOwnTitle(t->title) ? self : 0});
    return out;
}

QString WlrWindows::title(WindowHandle window) {
    session_.dispatchPending();
    const Toplevel* t = session_.toplevel(std::uint64_t(window));
    return t ? t->title : QString();
}

// True once the compositor reports the window active (a second at most).
bool WlrWindows::activate(WindowHandle window) {
    const auto id = std::uint64_t(window);
    if (!session_.toplevel(id)) return false;
    session_.activate(id);
    session_.flush();
    return session_.waitFor(
        [&] {
            const Toplevel* t = session_.toplevel(id);
            return t && t->activated;
        },
        1000);
}

bool WlrWindows::activateByTitle(const QString& title) {
    for (const WindowInfo& w : topLevelWindows())
        if (w.title == title) return activate(w.handle);
    return false;
}

bool WlrWindows::close(WindowHandle window) {
    const auto id = std::uint64_t(window);
    if (!session_.toplevel(id)) return false;
    session_.close(id);
    return session_.flush();
}

QSize WlrWindows::screenSize() {
    session_.dispatchPending();
    return session_.layout().size();
}

}  // namespace vexil::wayland
