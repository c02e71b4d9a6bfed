#pragma once
// Windows on a Wayland session. A Wayland client cannot list, activate, move or close the
// windows of other clients unless the compositor offers a protocol for it (wlroots'
// foreign-toplevel); what it offers is used, the rest answers "not done" at once, and the
// program says so once when use mode starts. The keys go to the application that has the
// focus, and the board itself never takes it.
#include <cstdint>
#include <functional>
#include <map>

#include "platform/windows.h"

namespace vexil::wayland {

class WaylandWindows : public WindowSystem {
public:
    // `toplevels`: the compositor's window list, or null. `screen`: the size of the screen.
    WaylandWindows(WindowSystem* toplevels, std::function<QSize()> screen);
    // Without a window list: the handle and title of the one window known, the
    // application that has the focus.
    static constexpr WindowHandle kFocusedApplication = 1;
    static QString focusedApplicationTitle();

    std::vector<WindowInfo> topLevelWindows() override;
    QString title(WindowHandle window) override;
    bool activate(WindowHandle window) override;
    bool activateByTitle(const QString& title) override;
    QRect geometry(WindowHandle window) override;
    bool moveResize(WindowHandle window, const QRect& pixels) override;
    bool setTopMost(WindowHandle window, bool on) override;
    bool close(WindowHandle window) override;
    QString focusedProgramFile() override;
    QString programFile(WindowHandle window) override;
    bool ownWindowFocused() override { return false; }
    QSize screenSize() override;
    bool boardTakesFocus() override { return false; }
    // The board shown through XWayland: see x11::refuseKeyboardFocus. A board drawn as a
    // Wayland client has no way to refuse it.
    void refuseFocus(WindowHandle own) override;
    bool listsWindows() override { return toplevels_ && toplevels_->listsWindows(); }
    // Up once every thread of it sleeps and none has run since the last look (/proc): it
    // has drawn its window and waits for input. A process already gone has handed over to
    // another (a running instance): nothing more to wait for.
    bool programReady(ProcessId pid) override;

private:
    WindowSystem* toplevels_;
    std::function<QSize()> screen_;
    std::map<ProcessId, std::uint64_t> lastRun_;
};

}  // namespace vexil::wayland
