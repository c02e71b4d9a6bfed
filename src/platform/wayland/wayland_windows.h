#pragma once
// Windows on a Wayland session. A Wayland client cannot list, activate, move or close the
// windows of other clients unless the compositor offers a protocol for it (wlroots'
// foreign-toplevel); what it offers is used, the rest answers "not done" at once, and the
// program says so once when use mode starts. The keys go to the application that has the
// focus, and the board itself never takes it.
#include <functional>

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

private:
    WindowSystem* toplevels_;
    std::function<QSize()> screen_;
};

}  // namespace vexil::wayland
