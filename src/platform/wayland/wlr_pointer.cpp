#include "platform/wayland/wlr_pointer.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <chrono>

#include <wayland-client.h>

#include "platform/wayland/wlr_session.h"
#include "wlr-virtual-pointer-unstable-v1-client.h"

namespace vexil::wayland {
namespace {

std::uint32_t nowMs() {
    using namespace std::chrono;
    return std::uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

WlrMouse::WlrMouse(WlrSession& session) : session_(session) {
    if (!session_.pointerManager()) return;
    pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(session_.pointerManager(),
                                                                      session_.seat());
    session_.flush();
}

WlrMouse::~WlrMouse() {
    if (pointer_) zwlr_virtual_pointer_v1_destroy(pointer_);
    session_.flush();
}

QPoint WlrMouse::position() {
    if (moved_) return position_;
    session_.dispatchPending();
    return session_.layout().center();
}

void WlrMouse::perform(MouseAction action, int x, int y) {
    if (!pointer_ || !session_.alive()) return;
    // As with the keyboard: on a seat that had no pointer before this one, clients bind
    // theirs once told of it.
    if (!waitedForClients_) {
        waitedForClients_ = true;
        if (!(session_.capabilitiesAtStart() & WL_SEAT_CAPABILITY_POINTER)) {
            session_.waitFor(
                [this] { return (session_.capabilities() & WL_SEAT_CAPABILITY_POINTER) != 0; },
                1000);
            session_.waitFor([] { return false; }, 300);
        }
    }
    session_.dispatchPending();
    const QRect box = session_.layout();
    if (!box.isEmpty()) {
        // The compositor spreads 0..extent over the whole layout: one unit a pixel.
        const int px = std::clamp(x, box.left(), box.right()) - box.left();
        const int py = std::clamp(y, box.top(), box.bottom()) - box.top();
        zwlr_virtual_pointer_v1_motion_absolute(pointer_, nowMs(), std::uint32_t(px),
                                                std::uint32_t(py), std::uint32_t(box.width()),
                                                std::uint32_t(box.height()));
        zwlr_virtual_pointer_v1_frame(pointer_);
        position_ = QPoint(px + box.left(), py + box.top());
        moved_ = true;
    }
    std::uint32_t button = 0;
    bool down = false;
    switch (action) {
        case MouseAction::Move: break;
        case MouseAction::LeftDown: button = BTN_LEFT; down = true; break;
        case MouseAction::LeftUp: button = BTN_LEFT; break;
        case MouseAction::RightDown: button = BTN_RIGHT; down = true; break;
        case MouseAction::RightUp: button = BTN_RIGHT; break;
    }
    if (button) {
        zwlr_virtual_pointer_v1_button(pointer_, nowMs(), button,
                                       down ? WL_POINTER_BUTTON_STATE_PRESSED
                                            : WL_POINTER_BUTTON_STATE_RELEASED);
        zwlr_virtual_pointer_v1_frame(pointer_);
    }
    session_.flush();
    session_.roundtrip();
}

}  // namespace vexil::wayland
