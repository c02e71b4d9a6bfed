#pragma once
// Which way keys and the pointer reach other applications, chosen once at start-up from the
// session the program runs in. X11 sessions keep XTest. On Wayland sessions the
// compositor's own ways are tried in turn (wlroots' virtual keyboard, then the desktop's
// remote-desktop service), and XTest last, which reaches only the X11 clients there.
#include <QByteArray>
#include <QString>
#include <vector>

#include "platform/wayland/remote_desktop_input.h"

namespace vexil::wayland {

enum class InputBackend { X11, Wlroots, RemoteDesktop };

struct SessionEnvironment {
    QByteArray input;           // VEXIL_INPUT: x11, wlroots, portal, gnome, auto (or empty)
    QByteArray sessionType;     // XDG_SESSION_TYPE
    QByteArray waylandDisplay;  // WAYLAND_DISPLAY
    QByteArray display;         // DISPLAY

    static SessionEnvironment current();
};

struct InputChoice {
    std::vector<InputBackend> order;  // tried in this order until one connects
    RemoteDesktopRoute route = RemoteDesktopRoute::Auto;
    bool waylandSession = false;
    QString error;  // a VEXIL_INPUT value the program does not know (then it chooses itself)
};

InputChoice chooseInput(const SessionEnvironment& env);

}  // namespace vexil::wayland
