#include "platform/wayland/wlr_windows.h"

#include <algorithm>

#include "platform/wayland/wlr_session.h"

namespace vexil::wayland {

std::vector<WindowInfo> WlrWindows::topLevelWindows() {
    session_.dispatchPending();
    std::vector<const Toplevel*> order;
    for (const auto& t : session_.toplevels())
        if (t->announced) order.push_back(t.get());
    std::stable_sort(order.begin(), order.end(), [](const Toplevel* a, const Toplevel* b) {
        return a->lastActive > b->lastActive;
    });
    std::vector<WindowInfo> out;
    for (const Toplevel* t : order)
        out.push_back({WindowHandle(t->id), t->parent != nullptr, !t->minimized, t->title, 0});
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
