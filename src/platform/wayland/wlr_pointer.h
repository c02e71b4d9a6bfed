#pragma once
// The pointer through a virtual pointer of the program's own (zwlr_virtual_pointer_v1):
// absolute motion over the extent of the output layout, the left and right buttons.
#include "platform/mouse.h"

struct zwlr_virtual_pointer_v1;

namespace vexil::wayland {

class WlrSession;

class WlrMouse : public Mouse {
public:
    explicit WlrMouse(WlrSession& session);
    ~WlrMouse() override;
    WlrMouse(const WlrMouse&) = delete;
    WlrMouse& operator=(const WlrMouse&) = delete;

    bool valid() const { return pointer_ != nullptr; }

    void perform(MouseAction action, int x, int y) override;
    // Where this pointer put the cursor last (the middle of the layout at first): no
    // protocol tells a client where the cursor is.
    QPoint position() override;

private:
    WlrSession& session_;
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    QPoint position_;
    bool moved_ = false;
    bool waitedForClients_ = false;
};

}  // namespace vexil::wayland
