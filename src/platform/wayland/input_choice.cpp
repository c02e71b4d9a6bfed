#include "platform/wayland/input_choice.h"

#include <QtGlobal>

namespace vexil::wayland {

SessionEnvironment SessionEnvironment::current() {
    return {qgetenv("VEXIL_INPUT"), qgetenv("XDG_SESSION_TYPE"), qgetenv("WAYLAND_DISPLAY"),
            qgetenv("DISPLAY")};
}

InputChoice chooseInput(const SessionEnvironment& env) {
    InputChoice c;
    const QByteArray forced = env.input.trimmed().toLower();
    if (forced == "x11") {
        c.order = {InputBackend::X11};
        return c;
    }
    if (forced == "wlroots") {
        c.order = {InputBackend::Wlroots, InputBackend::X11};
        c.waylandSession = true;
        return c;
    }
    if (forced == "portal" || forced == "gnome" || forced == "mutter") {
        c.order = {InputBackend::RemoteDesktop, InputBackend::X11};
        c.route = forced == "portal" ? RemoteDesktopRoute::Portal : RemoteDesktopRoute::Mutter;
        c.waylandSession = true;
        return c;
    }
    if (!forced.isEmpty() && forced != "auto")
        c.error = QStringLiteral("VEXIL_INPUT=%1 no es x11, wlroots, portal, gnome ni auto")
                      .arg(QString::fromLocal8Bit(env.input));
    // A Wayland display, or a session that says it is Wayland, is a Wayland session even
    // though XWayland gives it an X display too.
    c.waylandSession = !env.waylandDisplay.isEmpty() || env.sessionType.toLower() == "wayland";
    if (c.waylandSession)
        c.order = {InputBackend::Wlroots, InputBackend::RemoteDesktop, InputBackend::X11};
    else
        c.order = {InputBackend::X11};
    return c;
}

}  // namespace vexil::wayland
