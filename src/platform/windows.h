#pragma once
// Top-level windows of the desktop: enumeration, titles, activation and placement.
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

#include "platform/types.h"

namespace vexil {

struct WindowInfo {
    WindowHandle handle = 0;
    bool hasParent = false;  // a transient or owned window (WM_TRANSIENT_FOR on X)
    bool visible = false;    // mapped and not iconic
    QString title;
    ProcessId pid = 0;       // 0 when the window does not say
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Top-level windows in stacking order, topmost first.
    virtual std::vector<WindowInfo> topLevelWindows() = 0;
    // The window's title; empty when it has none or no longer exists.
    virtual QString title(WindowHandle window) = 0;
    // Raise and focus the window; true once it is the active window.
    virtual bool activate(WindowHandle window) = 0;
    // Raise and focus the top-level window whose title is exactly `title`.
    virtual bool activateByTitle(const QString& title) = 0;
    // Outer rectangle in screen pixels; an empty rectangle when unknown.
    virtual QRect geometry(WindowHandle window) = 0;
    virtual bool moveResize(WindowHandle window, const QRect& pixels) = 0;
    virtual bool setTopMost(WindowHandle window, bool on) = 0;
    // Brings the window above the others of its layer without giving it the focus; false
    // where the desktop does not let one program restack another's windows.
    virtual bool raise(WindowHandle window) { (void)window; return false; }
    // Ask the window to close (politely, as the user would).
    virtual bool close(WindowHandle window) = 0;
    // Full path of the program file behind the window that has the keyboard focus; empty
    // when unknown.
    virtual QString focusedProgramFile() = 0;
    // Full path of the program file behind `window`; empty when unknown.
    virtual QString programFile(WindowHandle window) = 0;
    // Whether the window that has the keyboard focus is one of this program's own.
    virtual bool ownWindowFocused() = 0;
    // Screen size in pixels.
    virtual QSize screenSize() = 0;
    // Whether the board may take the keyboard focus in use mode so that switch keys reach
    // it. On Wayland it never does: no client can give the focus back to another.
    virtual bool boardTakesFocus() { return true; }
    // Where the board does not take it: tell the desktop that `own`, a window of this
    // program's, never wants the keyboard focus, not even when it is clicked.
    virtual void refuseFocus(WindowHandle own) { (void)own; }
    // Whether other programs' windows can be listed at all (not on a Wayland desktop that
    // offers no protocol for it).
    virtual bool listsWindows() { return true; }
    // Where windows cannot be listed: whether the started process `pid` has come up and
    // waits for its user, its window shown and given the focus by the desktop.
    virtual bool programReady(ProcessId pid) { (void)pid; return true; }
};

}  // namespace vexil
