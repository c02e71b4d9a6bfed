#include "platform/wayland/remote_desktop_input.h"

namespace vexil::wayland {

std::unique_ptr<RemoteDesktopInput> RemoteDesktopInput::connect(RemoteDesktopRoute,
                                                                 const QString&, QString* why) {
    if (why) *why = QStringLiteral("el escritorio remoto aún no está disponible");
    return nullptr;
}

}  // namespace vexil::wayland
