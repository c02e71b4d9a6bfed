#include "platform/wayland/wayland_windows.h"

#include "platform/x11/client_activity.h"
#include "platform/x11/x11_windows.h"

namespace vexil::wayland {

WaylandWindows::WaylandWindows(WindowSystem* toplevels, std::function<QSize()> screen)
    : toplevels_(toplevels), screen_(std::move(screen)) {}

// Without the compositor's window list (GNOME, KDE), the one window known is the
// application that has the focus, where the desktop sends the keys: a target the player
// can type into, and `vexil-tool play --real --window` can name.
std::vector<WindowInfo> WaylandWindows::topLevelWindows() {
    if (toplevels_) return toplevels_->topLevelWindows();
    WindowInfo focused;
    focused.handle = kFocusedApplication;
    focused.visible = true;
    focused.title = focusedApplicationTitle();
    return {focused};
}

QString WaylandWindows::title(WindowHandle window) {
    if (toplevels_) return toplevels_->title(window);
    return window == kFocusedApplication ? focusedApplicationTitle() : QString();
}

bool WaylandWindows::activate(WindowHandle window) {
    if (toplevels_) return toplevels_->activate(window);
    return window == kFocusedApplication;
}

bool WaylandWindows::activateByTitle(const QString& title) {
    if (toplevels_) return toplevels_->activateByTitle(title);
    return title == focusedApplicationTitle();
}

QString WaylandWindows::focusedApplicationTitle() {
    return QStringLiteral("(la aplicación que tiene el foco)");
}

// No Wayland protocol that GNOME or wlroots offers tells or sets where another client's
// window lies, or keeps it above the others.
QRect WaylandWindows::geometry(WindowHandle) { return {}; }
bool WaylandWindows::moveResize(WindowHandle, const QRect&) { return false; }
bool WaylandWindows::setTopMost(WindowHandle, bool) { return false; }

bool WaylandWindows::close(WindowHandle window) {
    return toplevels_ && toplevels_->close(window);
}

QString WaylandWindows::focusedProgramFile() {
    return toplevels_ ? toplevels_->focusedProgramFile() : QString();
}

QString WaylandWindows::programFile(WindowHandle window) {
    return toplevels_ ? toplevels_->programFile(window) : QString();
}

bool WaylandWindows::programReady(ProcessId pid) {
    const auto activity = x11::readProcessActivity(long(pid));
    if (!activity) return true;
    const auto last = lastRun_.find(pid);
    const bool quiet = last != lastRun_.end() && activity->allAsleep &&
                       last->second == activity->timesScheduled;
    lastRun_[pid] = activity->timesScheduled;
    return quiet;
}

void WaylandWindows::refuseFocus(WindowHandle own) {
    x11::refuseKeyboardFocus(own);
}

QSize WaylandWindows::screenSize() { return screen_ ? screen_() : QSize(); }

}  // namespace vexil::wayland
