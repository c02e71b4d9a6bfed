#pragma once
// Synthetic pointer input with XTest.
#include "platform/mouse.h"
#include "platform/x11/x11_connection.h"

namespace vexil::x11 {

class X11Mouse : public Mouse {
public:
    explicit X11Mouse(Connection& connection) : x_(connection) {}
    void perform(MouseAction action, int x, int y) override;
    QPoint position() override;

private:
    Connection& x_;
};

}  // namespace vexil::x11
