#include "platform/x11/x11_mouse.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace vexil::x11 {

void X11Mouse::perform(MouseAction action, int x, int y) {
    Display* d = x_.display();
    if (!d || !x_.hasXTest()) return;
    XTestFakeMotionEvent(d, DefaultScreen(d), x, y, CurrentTime);
    switch (action) {
        case MouseAction::Move: break;
        // Button 1 and 3 are the left and right buttons as the user's pointer map sees them.
        case MouseAction::LeftDown: XTestFakeButtonEvent(d, 1, True, CurrentTime); break;
        case MouseAction::LeftUp: XTestFakeButtonEvent(d, 1, False, CurrentTime); break;
        case MouseAction::RightDown: XTestFakeButtonEvent(d, 3, True, CurrentTime); break;
        case MouseAction::RightUp: XTestFakeButtonEvent(d, 3, False, CurrentTime); break;
    }
    XSync(d, False);
}

QPoint X11Mouse::position() {
    Display* d = x_.display();
    if (!d) return {};
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    XQueryPointer(d, DefaultRootWindow(d), &root, &child, &rootX, &rootY, &winX, &winY, &mask);
    return QPoint(rootX, rootY);
}

}  // namespace vexil::x11
