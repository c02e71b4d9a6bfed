#include "platform/x11/x11_windows.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vexil::x11 {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr long kSourcePager = 2;  // EWMH: the request comes from a pager-like tool
constexpr long kStateRemove = 0, kStateAdd = 1;

// Qt's own Xlib connection; null where Qt draws through another platform (Wayland).
Display* qtDisplay() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

}  // namespace

bool X11Windows::exists(WindowHandle window) {
    Display* d = x_.display();
    if (!d || window <= 0) return false;
    ErrorTrap trap(d);
    XWindowAttributes a{};
    const Status ok = XGetWindowAttributes(d, XWindow(window), &a);
    return !trap.failed() && ok;
}

std::vector<XWindow> X11Windows::clientsTopmostFirst() {
    std::vector<XWindow> out;
    if (!x_.valid()) return out;
    auto list = x_.cardinals(x_.root(), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    if (list.empty()) list = x_.cardinals(x_.root(), "_NET_CLIENT_LIST", XA_WINDOW);
    if (!list.empty()) {
        out.assign(list.rbegin(), list.rend());  // the hint lists bottom to top
        return out;
    }
    // No EWMH window manager: the root's children, top first.
    ErrorTrap trap(x_.display());
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(x_.display(), x_.root(), &rootReturn, &parent, &children, &count) && children) {
        for (unsigned i = count; i > 0; --i) out.push_back(children[i - 1]);
        XFree(children);
    }
    return out;
}

std::vector<WindowInfo> X11Windows::topLevelWindows() {
    std::vector<WindowInfo> out;
    Display* d = x_.display();
    if (!d) return out;
    for (XWindow w : clientsTopmostFirst()) {
        WindowInfo info;
        info.handle = WindowHandle(w);
        info.title = title(info.handle);
        {
            ErrorTrap trap(d);
            Window owner = 0;
            info.hasParent = XGetTransientForHint(d, w, &owner) && owner;
            XWindowAttributes a{};
            const bool ok = XGetWindowAttributes(d, w, &a);
            if (trap.failed() || !ok) continue;  // gone meanwhile
            info.visible = a.map_state == IsViewable;
        }
        const XAtom hidden = x_.atom("_NET_WM_STATE_HIDDEN");
        for (XAtom s : x_.atoms(w, "_NET_WM_STATE"))
            if (s == hidden) info.visible = false;
        info.pid = pidOf(info.handle);
        out.push_back(info);
    }
    return out;
}

QString X11Windows::title(WindowHandle window) {
    if (!x_.valid() || window <= 0) return {};
    const QByteArray utf8 = x_.bytes(XWindow(window), "_NET_WM_NAME", x_.atom("UTF8_STRING"));
    if (!utf8.isEmpty()) return QString::fromUtf8(utf8);
    // WM_NAME is Latin-1 (STRING) or compound text; Xlib turns either into the locale's
    // multibyte text, which Qt reads back.
    Display* d = x_.display();
    ErrorTrap trap(d);
    XTextProperty property{};
    QString out;
    if (XGetWMName(d, XWindow(window), &property) && property.value) {
        if (property.encoding == XA_STRING) {
            out = QString::fromLatin1(reinterpret_cast<const char*>(property.value),
                                      int(property.nitems));
        } else {
            char** list = nullptr;
            int count = 0;
            if (XmbTextPropertyToTextList(d, &property, &list, &count) >= Success && list) {
                if (count > 0) out = QString::fromLocal8Bit(list[0]);
                XFreeStringList(list);
            }
        }
        XFree(property.value);
    }
    return out;
}

WindowHandle X11Windows::activeWindow() {
    auto active = x_.cardinals(x_.root(), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    if (!active.empty() && active.front()) return WindowHandle(active.front());
    Display* d = x_.display();
    if (!d) return 0;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    return focus > PointerRoot ? WindowHandle(focus) : 0;
}

bool X11Windows::isActive(WindowHandle window) {
    if (activeWindow() != window) return false;
    // The window manager may announce the window before the focus has moved to it.
    Display* d = x_.display();
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    ErrorTrap trap(d);
    for (int depth = 0; focus > PointerRoot && depth < 64; ++depth) {
        if (focus == XWindow(window)) return true;
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(d, focus, &root, &parent, &children, &count)) return false;
        if (children) XFree(children);
        focus = parent;
    }
    return false;
}

bool X11Windows::activate(WindowHandle window) {
    Display* d = x_.display();
    if (!d || !exists(window)) return false;
    if (isActive(window)) return true;
    const bool ewmh = x_.wmSupports("_NET_ACTIVE_WINDOW");
    const auto request = [&] {
        if (ewmh) {
            // A window on another desktop is brought to the current one first.
            auto desktop = x_.cardinals(XWindow(window), "_NET_WM_DESKTOP", XA_CARDINAL);
            auto current = x_.cardinals(x_.root(), "_NET_CURRENT_DESKTOP", XA_CARDINAL);
            if (!desktop.empty() && !current.empty() && desktop.front() != current.front() &&
                desktop.front() != 0xFFFFFFFFUL)
                x_.sendRootMessage(XWindow(window), "_NET_WM_DESKTOP", long(current.front()),
                                   kSourcePager);
            x_.sendRootMessage(XWindow(window), "_NET_ACTIVE_WINDOW", kSourcePager, CurrentTime,
                               0);
        } else {
            ErrorTrap trap(d);
            XMapRaised(d, XWindow(window));
            XSetInputFocus(d, XWindow(window), RevertToParent, CurrentTime);
        }
    };
    request();
    // The request is made again now and then while waiting: a request of the board's own
    // window (the toolkit sends it on its connection, which the server may handle after
    // this one) can take the focus back just after the window manager gave it here.
    constexpr auto kRequestAgain = milliseconds(300);
    const auto start = steady_clock::now();
    auto requested = start;
    while (steady_clock::now() - start < milliseconds(activationTimeoutMs_)) {
        if (isActive(window)) return true;
        std::this_thread::sleep_for(milliseconds(5));
        if (steady_clock::now() - requested >= kRequestAgain) {
            request();
            requested = steady_clock::now();
        }
    }
    qWarning("vexil: window 0x%lx did not become the active one (active: 0x%lx)",
             static_cast<unsigned long>(window), static_cast<unsigned long>(activeWindow()));
    return false;
}

bool X11Windows::activateByTitle(const QString& wanted) {
    for (const WindowInfo& w : topLevelWindows())
        if (w.title == wanted) return activate(w.handle);
    return false;
}

QRect X11Windows::geometry(WindowHandle window) {
    Display* d = x_.display();
    if (!d || window <= 0) return {};
    ErrorTrap trap(d);
    XWindowAttributes a{};
    if (!XGetWindowAttributes(d, XWindow(window), &a)) return {};
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(d, XWindow(window), x_.root(), 0, 0, &x, &y, &child);
    if (trap.failed()) return {};
    // The outer rectangle takes in the frame the window manager draws around it.
    auto extents = x_.cardinals(XWindow(window), "_NET_FRAME_EXTENTS", XA_CARDINAL);
    long left = 0, right = 0, top = 0, bottom = 0;
    if (extents.size() == 4) {
        left = long(extents[0]);
        right = long(extents[1]);
        top = long(extents[2]);
        bottom = long(extents[3]);
    }
    return QRect(int(x - left), int(y - top), int(a.width + left + right),
                 int(a.height + top + bottom));
}

bool X11Windows::moveResize(WindowHandle window, const QRect& r) {
    Display* d = x_.display();
    if (!d || !exists(window) || r.width() <= 0 || r.height() <= 0) return false;
    auto extents = x_.cardinals(XWindow(window), "_NET_FRAME_EXTENTS", XA_CARDINAL);
    long left = 0, right = 0, top = 0, bottom = 0;
    if (extents.size() == 4) {
        left = long(extents[0]);
        right = long(extents[1]);
        top = long(extents[2]);
        bottom = long(extents[3]);
    }
    const long width = std::max(1L, long(r.width()) - left - right);
    const long height = std::max(1L, long(r.height()) - top - bottom);
    // A maximised window would ignore the new size.
    x_.sendRootMessage(XWindow(window), "_NET_WM_STATE", kStateRemove,
                       long(x_.atom("_NET_WM_STATE_MAXIMIZED_VERT")),
                       long(x_.atom("_NET_WM_STATE_MAXIMIZED_HORZ")), kSourcePager);
    if (x_.wmSupports("_NET_MOVERESIZE_WINDOW")) {
        // North-west gravity: x and y place the frame's outer corner.
        const long flags = 1 | (1 << 8) | (1 << 9) | (1 << 10) | (1 << 11) | (kSourcePager << 12);
        x_.sendRootMessage(XWindow(window), "_NET_MOVERESIZE_WINDOW", flags, r.x(), r.y(), width,
                           height);
    } else {
        ErrorTrap trap(d);
        XMoveResizeWindow(d, XWindow(window), r.x(), r.y(), unsigned(width), unsigned(height));
    }
    XSync(d, False);
    return true;
}

bool X11Windows::setTopMost(WindowHandle window, bool on) {
    if (!exists(window)) return false;
    x_.sendRootMessage(XWindow(window), "_NET_WM_STATE", on ? kStateAdd : kStateRemove,
                       long(x_.atom("_NET_WM_STATE_ABOVE")), 0, kSourcePager);
    XSync(x_.display(), False);
    return true;
}

bool X11Windows::raise(WindowHandle window) {
    if (!exists(window)) return false;
    // As a pager asks (EWMH _NET_RESTACK_WINDOW: no sibling, Above): the window manager
    // restacks it and leaves the focus where it is.
    x_.sendRootMessage(XWindow(window), "_NET_RESTACK_WINDOW", kSourcePager, 0, 0);
    XSync(x_.display(), False);
    return true;
}

bool X11Windows::close(WindowHandle window) {
    Display* d = x_.display();
    if (!d || !exists(window)) return false;
    if (x_.wmSupports("_NET_CLOSE_WINDOW")) {
        x_.sendRootMessage(XWindow(window), "_NET_CLOSE_WINDOW", CurrentTime, kSourcePager);
        return true;
    }
    // Without a window manager: the window's own close protocol, as its close button does.
    const XAtom deleteWindow = x_.atom("WM_DELETE_WINDOW");
    for (XAtom a : x_.atoms(XWindow(window), "WM_PROTOCOLS")) {
        if (a != deleteWindow) continue;
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = XWindow(window);
        event.xclient.message_type = x_.atom("WM_PROTOCOLS");
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(deleteWindow);
        event.xclient.data.l[1] = CurrentTime;
        ErrorTrap trap(d);
        XSendEvent(d, XWindow(window), False, NoEventMask, &event);
        return !trap.failed();
    }
    return false;
}

ProcessId X11Windows::pidOf(WindowHandle window) {
    auto pid = x_.cardinals(XWindow(window), "_NET_WM_PID", XA_CARDINAL);
    return pid.empty() ? 0 : ProcessId(pid.front());
}

QString X11Windows::focusedProgramFile() { return programFile(activeWindow()); }

QString X11Windows::programFile(WindowHandle window) {
    if (!window) return {};
    const ProcessId pid = pidOf(window);
    if (pid <= 0) return {};
    // The link names the program file; a process of another user gives nothing.
    return QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
}

bool X11Windows::ownWindowFocused() {
    const WindowHandle active = activeWindow();
    return active && pidOf(active) == ProcessId(QCoreApplication::applicationPid());
}

QSize X11Windows::screenSize() {
    // Asked before the window is shown: Qt's connection to the same display answers without
    // opening this one.
    Display* d = qtDisplay();
    if (!d || QString::fromLocal8Bit(DisplayString(d)) != x_.name()) d = x_.display();
    if (!d) return {};
    return QSize(DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d)));
}

// Qt's own connection, so that the window it created exists for these requests. A window
// manager that sees WM_TAKE_FOCUS with a false input hint sends the window the focus on
// every click and lets it decide ("Globally Active"); on XWayland the keyboard focus then
// leaves the Wayland application that was receiving the keys, whatever the window decides.
bool refuseKeyboardFocus(WindowHandle window) {
    Display* d = qtDisplay();
    if (!d || !window) return false;
    const XWindow w = XWindow(window);
    XWMHints* hints = XGetWMHints(d, w);
    XWMHints none{};
    XWMHints* h = hints ? hints : &none;
    h->flags |= InputHint;
    h->input = False;
    XSetWMHints(d, w, h);
    if (hints) XFree(hints);
    Atom* protocols = nullptr;
    int count = 0;
    if (XGetWMProtocols(d, w, &protocols, &count)) {
        const Atom takeFocus = XInternAtom(d, "WM_TAKE_FOCUS", False);
        std::vector<Atom> kept;
        for (int i = 0; i < count; ++i)
            if (protocols[i] != takeFocus) kept.push_back(protocols[i]);
        XSetWMProtocols(d, w, kept.data(), int(kept.size()));
        XFree(protocols);
    }
    // A panel: clicked, a window that takes no focus at all has mutter take the focus from
    // the application (to none: the keys then go nowhere); a panel never does, and stays
    // above the windows it types into, where the program placed it.
    Atom dock = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DOCK", False);
    XChangeProperty(d, w, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&dock), 1);
    XFlush(d);
    return true;
}

}  // namespace vexil::x11
