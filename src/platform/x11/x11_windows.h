#pragma once
// Top-level windows through the EWMH hints of the window manager.
#include "platform/windows.h"
#include "platform/x11/x11_connection.h"

namespace vexil::x11 {

class X11Windows : public WindowSystem {
public:
    explicit X11Windows(Connection& connection) : x_(connection) {}
    // The longest wait for the window manager to make a window active, in milliseconds.
    void setActivationTimeout(int ms) { activationTimeoutMs_ = ms; }

    std::vector<WindowInfo> topLevelWindows() override;
    QString title(WindowHandle window) override;
    bool activate(WindowHandle window) override;
    bool activateByTitle(const QString& title) override;
    QRect geometry(WindowHandle window) override;
    bool moveResize(WindowHandle window, const QRect& pixels) override;
    bool setTopMost(WindowHandle window, bool on) override;
    bool raise(WindowHandle window) override;
    bool close(WindowHandle window) override;
    QString focusedProgramFile() override;
    QString programFile(WindowHandle window) override;
    bool ownWindowFocused() override;
    QSize screenSize() override;

    WindowHandle activeWindow();
    ProcessId pidOf(WindowHandle window);

private:
    bool exists(WindowHandle window);
    bool isActive(WindowHandle window);
    std::vector<XWindow> clientsTopmostFirst();
    Connection& x_;
    int activationTimeoutMs_ = 2000;
};

// Makes `window`, one of this program's own windows on Qt's X connection, a window that
// never takes the keyboard focus: "No Input" in the window managers' conventions (the input
// hint false and no WM_TAKE_FOCUS, which Qt always offers), and a panel (dock) window. To be
// called before the window is first shown. False when the program does not run on X.
bool refuseKeyboardFocus(WindowHandle window);

}  // namespace vexil::x11
