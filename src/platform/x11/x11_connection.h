#pragma once
// One connection to the X server shared by the window, key and mouse services, with the
// few helpers they all need. Xlib types stay out of this header so that its macros (None,
// Bool, Status...) never meet the rest of the program.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

struct _XDisplay;

namespace vexil::x11 {

using XWindow = unsigned long;
using XAtom = unsigned long;

class Connection {
public:
    // The display named by `name` (DISPLAY when empty), opened when it is first needed:
    // the program's window is shown before anything asks the server for another window or
    // sends a key. valid() says whether it could be opened.
    explicit Connection(const QByteArray& name = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool valid() const { return display() != nullptr; }
    _XDisplay* display() const;
    // The display's name as it is opened, known without opening it.
    QString name() const;
    XWindow root() const;
    bool hasXTest() const;

    XAtom atom(const char* name);
    // Whether the window manager announces `atomName` in _NET_SUPPORTED.
    bool wmSupports(const char* atomName);

    // Property readers; an absent property or a vanished window gives an empty result.
    std::vector<unsigned long> cardinals(XWindow window, const char* property, XAtom type);
    QByteArray bytes(XWindow window, const char* property, XAtom type);
    std::vector<XAtom> atoms(XWindow window, const char* property);

    // A client message of format 32 to `window`, sent to the root as EWMH asks.
    void sendRootMessage(XWindow window, const char* type, long d0, long d1 = 0, long d2 = 0,
                         long d3 = 0, long d4 = 0);

private:
    void open() const;
    QByteArray name_;
    mutable std::once_flag opened_;
    mutable _XDisplay* display_ = nullptr;
    mutable bool xtest_ = false;
};

// Keeps X errors (a window that vanished between two requests) from ending the process
// while it lives, and says whether any happened.
class ErrorTrap {
public:
    explicit ErrorTrap(_XDisplay* display);
    ~ErrorTrap();
    // Waits for the server's answers and reports whether an error arrived since the start.
    bool failed();

private:
    _XDisplay* display_;
    void* previous_;  // the handler to put back
};

}  // namespace vexil::x11
