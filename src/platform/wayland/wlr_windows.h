#pragma once
// The compositor's windows through wlroots' foreign-toplevel protocol: their titles,
// activation and closing. Nothing there tells or sets where a window lies, which program
// file is behind it, or keeps it above the others: those answer empty or false.
#include "platform/windows.h"

namespace vexil::wayland {

class WlrSession;

class WlrWindows : public WindowSystem {
public:
    explicit WlrWindows(WlrSession& session) : session_(session) {}

    // The most recently active first: the protocol says nothing of the stacking.
    std::vector<WindowInfo> topLevelWindows() override;
    QString title(WindowHandle window) override;
    bool activate(WindowHandle window) override;
    bool activateByTitle(const QString& title) override;
    QRect geometry(WindowHandle) override { return {}; }
    bool moveResize(WindowHandle, const QRect&) override { return false; }
    bool setTopMost(WindowHandle, bool) override { return false; }
    bool close(WindowHandle window) override;
    QString focusedProgramFile() override { return {}; }
    QString programFile(WindowHandle) override { return {}; }
    bool ownWindowFocused() override { return false; }
    QSize screenSize() override;
    bool boardTakesFocus() override { return false; }

private:
    WlrSession& session_;
};

}  // namespace vexil::wayland
