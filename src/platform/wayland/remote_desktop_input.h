#pragma once
// Keys and the pointer on GNOME and KDE Wayland sessions: one remote-desktop session for
// the life of the program, through the desktop portal (which asks the user's consent once
// and keeps a restore token so that it does not ask again) or, where no portal runs,
// GNOME's own org.gnome.Mutter.RemoteDesktop on the session bus.
#include <QString>
#include <memory>

#include "platform/keyboard.h"
#include "platform/mouse.h"

namespace vexil::wayland {

enum class RemoteDesktopRoute {
    Auto,    // the portal when it offers RemoteDesktop, else GNOME's service
    Portal,  // org.freedesktop.portal.RemoteDesktop only
    Mutter,  // org.gnome.Mutter.RemoteDesktop only
};

class RemoteDesktopInput {
public:
    virtual ~RemoteDesktopInput() = default;
    // Opens the session on the session bus. `dataFolder` is the user's private folder where
    // the portal's restore token is kept. Null, with the reason in `why`, when neither
    // service answers or the user refused.
    static std::unique_ptr<RemoteDesktopInput> connect(RemoteDesktopRoute route,
                                                       const QString& dataFolder, QString* why);

    virtual KeySender& keys() = 0;
    virtual Mouse& mouse() = 0;
};

}  // namespace vexil::wayland
