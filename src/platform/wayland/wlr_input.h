#pragma once
// Keys and the pointer on wlroots compositors (sway and others): a virtual keyboard that
// carries a keyboard map of the program's own, so that every character has a key whatever
// the user's layout, and a virtual pointer.
#include <QByteArray>
#include <QString>
#include <memory>

#include "platform/keyboard.h"
#include "platform/mouse.h"
#include "platform/windows.h"

namespace vexil::wayland {

class WlrInput {
public:
    virtual ~WlrInput() = default;
    // Connects to the Wayland display `display` (WAYLAND_DISPLAY when empty). Null, with the
    // reason in `why`, when there is no such display or the compositor lacks the
    // virtual-keyboard or the virtual-pointer protocol (GNOME, KDE: the remote-desktop way
    // then does both).
    static std::unique_ptr<WlrInput> connect(const QByteArray& display, QString* why);

    virtual KeySender& keys() = 0;
    virtual Mouse& mouse() = 0;
    // The compositor's list of windows (wlroots' foreign-toplevel protocol); null when the
    // compositor does not offer it.
    virtual WindowSystem* windows() { return nullptr; }
};

}  // namespace vexil::wayland
