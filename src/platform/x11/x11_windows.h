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

}  // namespace vexil::x11
