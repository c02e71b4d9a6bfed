#include "platform/wayland/wlr_input.h"

namespace vexil::wayland {

std::unique_ptr<WlrInput> WlrInput::connect(const QByteArray&, QString* why) {
    if (why) *why = QStringLiteral("el teclado virtual de wlroots aún no está disponible");
    return nullptr;
}

}  // namespace vexil::wayland
