#include "platform/x11/x11_connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <atomic>

namespace vexil::x11 {
namespace {

using Handler = int (*)(Display*, XErrorEvent*);

// Xlib's error handler takes no context, so the count of trapped errors has to live at
// file level; it is only read while a trap is active.
std::atomic<int> trappedErrors{0};

int countError(Display*, XErrorEvent*) {
    ++trappedErrors;
    return 0;
}

}  // namespace

Connection::Connection(const QByteArray& name) : name_(name) {}

Connection::~Connection() {
    if (display_) XCloseDisplay(display_);
}

void Connection::open() const {
    std::call_once(opened_, [this] {
        display_ = XOpenDisplay(name_.isEmpty() ? nullptr : name_.constData());
        if (!display_) return;
        int event = 0, error = 0, major = 0, minor = 0;
        xtest_ = XTestQueryExtension(display_, &event, &error, &major, &minor);
    });
}

Display* Connection::display() const {
    open();
    return display_;
}

QString Connection::name() const {
    return QString::fromLocal8Bit(XDisplayName(name_.isEmpty() ? nullptr : name_.constData()));
}

bool Connection::hasXTest() const {
    open();
    return xtest_;
}

XWindow Connection::root() const {
    Display* d = display();
    return d ? DefaultRootWindow(d) : 0;
}

XAtom Connection::atom(const char* name) {
    Display* d = display();
    return d ? XInternAtom(d, name, False) : 0;
}

bool Connection::wmSupports(const char* atomName) {
    const XAtom wanted = atom(atomName);
    for (XAtom a : atoms(root(), "_NET_SUPPORTED"))
        if (a == wanted) return true;
    return false;
}

std::vector<unsigned long> Connection::cardinals(XWindow window, const char* property, XAtom type) {
    std::vector<unsigned long> out;
    if (!display() || !window) return out;
    ErrorTrap trap(display_);
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, atom(property), 0, 1 << 16, False, type, &actualType,
                           &format, &count, &after, &data) == Success &&
        data && format == 32) {
        // Xlib hands format-32 items over as longs whatever their type.
        const long* items = reinterpret_cast<const long*>(data);
        out.assign(items, items + count);
    }
    if (data) XFree(data);
    return out;
}

QByteArray Connection::bytes(XWindow window, const char* property, XAtom type) {
    QByteArray out;
    if (!display() || !window) return out;
    ErrorTrap trap(display_);
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, atom(property), 0, 1 << 16, False, type, &actualType,
                           &format, &count, &after, &data) == Success &&
        data && format == 8)
        out = QByteArray(reinterpret_cast<const char*>(data), int(count));
    if (data) XFree(data);
    return out;
}

std::vector<XAtom> Connection::atoms(XWindow window, const char* property) {
    return cardinals(window, property, XA_ATOM);
}

void Connection::sendRootMessage(XWindow window, const char* type, long d0, long d1, long d2,
                                 long d3, long d4) {
    if (!display()) return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.serial = 0;
    event.xclient.send_event = True;
    event.xclient.display = display_;
    event.xclient.window = window;
    event.xclient.message_type = atom(type);
    event.xclient.format = 32;
    event.xclient.data.l[0] = d0;
    event.xclient.data.l[1] = d1;
    event.xclient.data.l[2] = d2;
    event.xclient.data.l[3] = d3;
    event.xclient.data.l[4] = d4;
    ErrorTrap trap(display_);
    XSendEvent(display_, root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display_);
}

ErrorTrap::ErrorTrap(Display* display) : display_(display) {
    if (display_) XSync(display_, False);
    trappedErrors = 0;
    previous_ = reinterpret_cast<void*>(XSetErrorHandler(countError));
}

ErrorTrap::~ErrorTrap() {
    if (display_) XSync(display_, False);
    XSetErrorHandler(reinterpret_cast<Handler>(previous_));
}

bool ErrorTrap::failed() {
    if (display_) XSync(display_, False);
    return trappedErrors > 0;
}

}  // namespace vexil::x11
