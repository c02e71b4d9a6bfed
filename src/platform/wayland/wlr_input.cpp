#include "platform/wayland/wlr_input.h"

#include "platform/wayland/wlr_keys.h"
#include "platform/wayland/wlr_pointer.h"
#include "platform/wayland/wlr_session.h"
#include "platform/wayland/wlr_windows.h"

namespace vexil::wayland {
namespace {

class Wlroots : public WlrInput {
public:
    explicit Wlroots(std::unique_ptr<WlrSession> session)
        : session_(std::move(session)), keys_(*session_), mouse_(*session_) {
        if (session_->hasToplevels()) windows_ = std::make_unique<WlrWindows>(*session_);
    }

    bool valid() const { return keys_.valid() && mouse_.valid(); }
    KeySender& keys() override { return keys_; }
    Mouse& mouse() override { return mouse_; }
    WindowSystem* windows() override { return windows_.get(); }

private:
    std::unique_ptr<WlrSession> session_;
    WlrKeySender keys_;
    WlrMouse mouse_;
    std::unique_ptr<WlrWindows> windows_;
};

}  // namespace

std::unique_ptr<WlrInput> WlrInput::connect(const QByteArray& display, QString* why) {
    QString reason;
    std::unique_ptr<WlrSession> session = WlrSession::open(display, &reason);
    if (session && !session->seat())
        reason = QStringLiteral("el compositor Wayland no tiene asiento de entrada");
    else if (session && !session->keyboardManager())
        reason = QStringLiteral(
            "el compositor no ofrece el teclado virtual (zwp_virtual_keyboard_manager_v1)");
    else if (session && !session->pointerManager())
        reason = QStringLiteral(
            "el compositor no ofrece el puntero virtual (zwlr_virtual_pointer_manager_v1)");
    if (!reason.isEmpty()) {
        if (why) *why = reason;
        return nullptr;
    }
    auto input = std::make_unique<Wlroots>(std::move(session));
    if (!input->valid()) {
        if (why) *why = QStringLiteral("el compositor no aceptó el teclado virtual");
        return nullptr;
    }
    return input;
}

}  // namespace vexil::wayland
